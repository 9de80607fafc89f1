// A converted fixture served by `webhelp serve` and shown in Chromium: the two features that need
// the site over HTTP, highlighting the searched words and Print, work against it.
'use strict';

const h = require('./harness.js');
h.requireTools();

const fs = require('node:fs');
const path = require('node:path');
const { spawn } = require('node:child_process');
const { describe, test, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');

const CHM = path.join(h.BUILD_DIR, 'chm', 'browsersite', 'browsersite.chm');

// Starts `webhelp serve SITE --port 0`; resolves with the process and the address it printed.
function startServe(site) {
    const proc = spawn(path.join(h.BUILD_DIR, 'webhelp'), ['serve', site, '--port', '0'], { stdio: ['ignore', 'pipe', 'pipe'] });
    let output = '';
    proc.exited = new Promise((resolve) => proc.on('exit', (code, signal) => resolve({ code, signal })));
    return new Promise((resolve, reject) => {
        const timer = setTimeout(() => reject(new Error('no address printed: ' + output)), 10000);
        const take = (chunk) => {
            output += chunk;
            const m = /^Serving .* at (http:\/\/127\.0\.0\.1:\d+\/)/m.exec(output);
            if (m) {
                clearTimeout(timer);
                resolve({ proc, url: m[1] });
            }
        };
        proc.stdout.on('data', take);
        proc.stderr.on('data', take);
        proc.exited.then(() => reject(new Error('webhelp serve ended: ' + output)));
    });
}

describe('a converted site served by webhelp serve', () => {
    let site;
    let serve;
    let browser;
    let page;

    before(async () => {
        if (!fs.existsSync(CHM)) {
            console.log('SKIPPED: ' + CHM + ' is not compiled');
            process.exit(77);
        }
        site = h.convertSite(CHM, ['--charset', 'utf-8', '-q']);
        assert.ok(site, 'the conversion of ' + CHM);
        serve = await startServe(site);
        browser = await h.launchChromium();
        page = await h.openSite(browser, serve.url);
    });

    after(async () => {
        if (page)
            await page.close();
        if (browser)
            await browser.close();
        if (serve) {
            serve.proc.kill('SIGINT');
            assert.deepEqual(await serve.proc.exited, { code: 0, signal: null }, 'Ctrl-C ends the server cleanly');
        }
        h.removeDir(site);
    });

    afterEach(() => {
        assert.deepEqual(page.errors, [], 'script errors in the site');
    });

    test('a search hit shows the searched word highlighted in its topic', async () => {
        await h.clickCall(page, 'OnClickButton(2)', 'header');
        const search = await h.waitPage(page, 'whsearch.html');
        await search.fill('form[name=searchform] input[type=text]', 'alpha');
        await search.press('form[name=searchform] input[type=text]', 'Enter');
        const file = 'source/html/start.htm';
        await h.waitFor(() => search.evaluate((f) => Array.from(document.forms['searchform'].founddocslist.options).some((o) => o.value === f), file), 'the hit');
        await h.openFoundDoc(search, file);
        await h.waitContent(page, file);
        const marks = async () => (await h.highlights(page)).map((t) => t.toLowerCase());
        await h.waitFor(async () => (await marks()).length > 0, 'highlights');
        const found = await marks();
        assert.deepEqual(found, found.map(() => 'alpha'));
    });

    test('Print prints the topic page itself, without the message for pages it cannot reach', async () => {
        const content = h.frame(page, 'content');
        await content.evaluate(() => {
            window.printed = 0;
            window.print = () => { window.printed++; };
        });
        page.dialogs.length = 0;
        await h.clickCall(page, 'conPrint()', 'header');
        await h.waitFor(() => content.evaluate(() => window.printed === 1), 'the topic printed');
        await new Promise((r) => setTimeout(r, 800));
        assert.deepEqual(page.dialogs, []);
        assert.equal(await content.evaluate(() => window.printed), 1);
    });
});
