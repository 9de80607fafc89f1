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
const PAGES = ['start', 'setup', 'install', 'ref', 'overview'];

// Distinct keywords in the list's own order (upper-cased), as the converter sorts them. Some
// have sub-entries (a leading blank) in their own order, which the keywords' order does not
// follow: one keyword has enough of them to fill whole buckets of 100.
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
    keys.sort((a, b) => (a.toUpperCase() < b.toUpperCase() ? -1 : 1));
    const all = [];
    keys.forEach((k, i) => {
        all.push(k);
        if (i % 40 == 0)
            all.push(' zz under ' + i, ' aa under ' + i);
        if (i == 7000) {
            for (let n = 0; n < 250; n++)
                all.push(' part ' + n);
        }
    });
    return all;
}

const keys = keywords();
const tops = keys.filter((k) => k[0] != ' ');
const label = (k) => k.replace(/^ +/, (lead) => lead.replace(/ /g, '\u00a0\u00a0'));
const site = h.makeFixtureSite();
fs.writeFileSync(path.join(site, 'whfiles', 'indexdata.js'),
    'var IndexItems = ' + JSON.stringify(keys.map((k, i) => [k, 'source/html/' + PAGES[i % PAGES.length] + '.htm'])) + ';\r\n');
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

// The drawn rows in view, top to bottom, and the selected one's text and place.
function shown(index) {
    return index.evaluate(() => {
        const box = document.getElementById('indexrows');
        const rows = Array.from(box.querySelectorAll('div[role=option]')).filter((r) => r.style.display != 'none');
        rows.sort((a, b) => a.offsetTop - b.offsetTop);
        const sel = rows.find((r) => r.className == 'whselected');
        const inView = (r) => r.offsetTop >= box.scrollTop && r.offsetTop + r.offsetHeight <= box.scrollTop + box.clientHeight;
        return {
            texts: rows.filter((r) => r.offsetTop + r.offsetHeight > box.scrollTop && r.offsetTop < box.scrollTop + box.clientHeight).map((r) => r.textContent),
            selected: sel ? sel.textContent : null,
            selectedInView: sel ? inView(sel) : false,
            full: box.scrollHeight,
            rowHeight: rows.length ? rows[0].offsetHeight : 0,
        };
    });
}

for (const mode of ['http', 'file']) {
    describe('a large index over ' + mode, () => {
        let page;
        let index;

        before(async () => {
            page = await h.openSite(browser, mode === 'http' ? server.url : h.fileUrl(site));
            await h.clickCall(page, 'OnClickButton(1)', 'header');
            index = await h.waitPage(page, 'whindex.html');
        });

        after(async () => {
            assert.deepEqual(page.errors, [], 'script errors in the site');
            await page.close();
        });

        test('lists every entry in order, wherever the list is scrolled', async () => {
            for (const at of [0, 1, 4321, 12050, keys.length - 1]) {
                await index.evaluate((i) => {
                    const box = document.getElementById('indexrows');
                    box.scrollTop = i * box.scrollHeight / IndexItems.length;
                }, at);
                await new Promise((r) => setTimeout(r, 50));
                const s = await shown(index);
                assert.equal(s.full, s.rowHeight * keys.length, 'the height of every row');
                assert.ok(s.texts.length >= 10, 'a list full of rows at ' + at);
                const from = keys.findIndex((k) => label(k) === s.texts[0]);
                assert.ok(from <= at && at - from < s.texts.length, 'the rows at ' + at + ' start at ' + from);
                assert.deepEqual(s.texts, keys.slice(from, from + s.texts.length).map(label));
            }
        });

        test('a typed word selects its first entry and shows it', async () => {
            // The first, last and a middle entry of a bucket, typed whole or in part, in any case.
            for (const at of [0, 1, 99, 100, 4321, 7000, 7001, 12050, tops.length - 101, tops.length - 1]) {
                for (const typed of [tops[at], tops[at].toLowerCase(), tops[at].substring(0, tops[at].length - 1)]) {
                    await index.fill('form input[type=text]', typed);
                    await index.dispatchEvent('form input[type=text]', 'keyup');
                    const s = await shown(index);
                    const want = keys.find((k) => k.toUpperCase().startsWith(typed.toUpperCase()));
                    assert.equal(s.selected, want, typed);
                    assert.ok(s.selectedInView, 'scrolled to ' + typed);
                }
            }
            // Keywords all over the list, typed whole or in part: a sub-entry first in a bucket
            // must not send the lookup past them.
            const upper = tops.map((k) => k.toUpperCase());
            const cases = [];
            for (let i = 0; i < tops.length; i += 7) {
                for (const typed of [tops[i], tops[i].substring(0, 4)]) {
                    let lo = 0;
                    for (let hi = tops.length; lo < hi;) {
                        const mid = (lo + hi) >> 1;
                        if (upper[mid] < typed.toUpperCase())
                            lo = mid + 1;
                        else
                            hi = mid;
                    }
                    cases.push([typed, keys.indexOf(tops[lo], lo)]);
                }
            }
            const wrong = await index.evaluate((list) => {
                const missed = [];
                for (const [typed, want] of list) {
                    gWhLastMatch = null;
                    SelectMatch(typed);
                    if (WhIndexSelected(WhIndexList()) !== IndexItems[want])
                        missed.push(typed);
                }
                return missed;
            }, cases);
            assert.deepEqual(wrong, []);
        });

        test('keys and the mouse move the selection; Enter and a double click open the entry', async () => {
            const box = '#indexrows';
            const selected = async () => (await shown(index)).selected;
            await index.fill('form input[type=text]', tops[5000]);
            await index.dispatchEvent('form input[type=text]', 'keyup');
            const at = keys.indexOf(tops[5000]);
            await index.focus(box);
            const rows = await index.evaluate(() => {
                const b = document.getElementById('indexrows');
                return Math.floor(b.clientHeight / b.querySelector('div[role=option]').offsetHeight);
            });
            const cases = [['ArrowDown', at + 1], ['ArrowDown', at + 2], ['ArrowUp', at + 1], ['PageDown', at + rows],
                ['PageUp', at + 1], ['End', keys.length - 1], ['ArrowDown', keys.length - 1], ['Home', 0], ['ArrowUp', 0]];
            for (const [key, want] of cases) {
                await index.press(box, key);
                assert.equal(await selected(), label(keys[want]), key + ' to ' + want);
                assert.ok((await shown(index)).selectedInView, key + ' shows the entry');
            }
            await index.click(box + ' div[role=option]:text-is("' + label(keys[3]) + '")');
            assert.equal(await selected(), label(keys[3]));
            await index.press(box, 'Enter');
            await h.waitContent(page, 'source/html/' + PAGES[3] + '.htm');
            await index.dblclick(box + ' div[role=option]:text-is("' + label(keys[4]) + '")');
            await h.waitContent(page, 'source/html/' + PAGES[4] + '.htm');
        });
    });
}
