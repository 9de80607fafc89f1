// The Index tab of a large site, over http and from disk: every entry is listed and typed words
// select their entries in every part of the list.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const h = require('./harness.js');
h.requireTools();

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const COUNT = 20000;

// Distinct keywords in the list's own order (upper-cased), as the converter sorts them.
function keywords() {
    const syllables = ['ka', 'lo', 'mi', 'ne', 'ru', 'sa', 'ti', 'vo', 'ze', 'pa'];
    const keys = [];
    for (let i = 0; i < COUNT; i++) {
        let s = '';
        for (let n = i; ; n = Math.floor(n / 10)) {
            s += syllables[n % 10];
            if (n < 10)
                break;
        }
        keys.push((i % 3 ? s : s.toUpperCase()) + ' ' + i);
    }
    return keys.sort((a, b) => (a.toUpperCase() < b.toUpperCase() ? -1 : 1));
}

const keys = keywords();
const site = h.makeFixtureSite();
fs.writeFileSync(path.join(site, 'whfiles', 'indexdata.js'),
    'var IndexItems = ' + JSON.stringify(keys.map((k) => [k, 'source/html/start.htm'])) + ';\r\n');
let server;
let browser;

before(async () => {
    server = await h.startServer(site);
    browser = await h.launchChromium();
});

after(async () => {
    await browser.close();
    await server.close();
    h.removeDir(site);
});

for (const mode of ['http', 'file']) {
    describe('a large index over ' + mode, () => {
        test('lists every entry and selects what is typed', async () => {
            const page = await h.openSite(browser, mode === 'http' ? server.url : h.fileUrl(site));
            await h.clickCall(page, 'OnClickButton(1)', 'header');
            const index = await h.waitPage(page, 'whindex.html');
            const listed = await index.evaluate(() => Array.from(document.forms[0].indexlist.options, (o) => o.text));
            assert.deepEqual(listed, keys);
            // The first, last and a middle entry of a bucket, typed whole or in part, in any case.
            for (const at of [0, 1, 99, 100, 4321, 12050, COUNT - 101, COUNT - 1]) {
                for (const typed of [keys[at], keys[at].toLowerCase(), keys[at].substring(0, keys[at].length - 1)]) {
                    await index.fill('form input[type=text]', typed);
                    await index.dispatchEvent('form input[type=text]', 'keyup');
                    const got = await index.evaluate(() => {
                        const list = document.forms[0].indexlist;
                        return list.selectedIndex < 0 ? null : list.options[list.selectedIndex].text;
                    });
                    const want = keys.find((k) => k.toUpperCase().startsWith(typed.toUpperCase()));
                    assert.equal(got, want, typed);
                }
            }
            assert.deepEqual(page.errors, [], 'script errors in the site');
            await page.close();
        });
    });
}
