// Index and search tabs in Chromium, over http and from disk.
'use strict';

const h = require('./harness.js');
h.requireTools();

const { describe, test, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');

const site = process.env.WEBHELP_SITE_DIR || h.makeFixtureSite();
let browser;
let server;

before(async () => {
    server = await h.startServer(site);
    browser = await h.launchChromium();
});

after(async () => {
    await browser.close();
    await server.close();
    if (!process.env.WEBHELP_SITE_DIR)
        h.removeDir(site);
});

for (const mode of ['http', 'file']) {
    describe('index and search over ' + mode, () => {
        let page;
        const base = () => (mode === 'http' ? server.url : h.fileUrl(site));

        async function openTab(button, file) {
            if (!page)
                page = await h.openSite(browser, base());
            const header = h.frame(page, 'header');
            if (!header.url().endsWith(button === 'btnindex' ? 'whheaderi.html' : 'whheaders.html'))
                await header.click('#' + button);
            return h.waitPage(page, file);
        }

        afterEach(() => {
            if (page) {
                assert.deepEqual(page.errors, [], 'script errors in the site');
                page.dialogs.length = 0;
            }
        });

        after(async () => {
            if (page)
                await page.close();
        });

        test('typing a keyword\'s beginning selects it', async () => {
            const index = await openTab('btnindex', 'whindex.html');
            assert.equal(await index.evaluate(() => document.forms[0].indexlist.options.length), 11);
            const cases = [['fo', 'fonts'], ['INS', 'install'], ['c++', 'c++ language'], ['\u4e2d', '\u4e2d\u6587'],
                ['pr', 'printing'], ['s', 'setup']];
            for (const [typed, selected] of cases) {
                // Typed through an input method, text arrives without key events.
                await index.fill('input[name=indextext]', typed);
                const got = await index.evaluate(() => {
                    const list = document.forms[0].indexlist;
                    return list.selectedIndex < 0 ? null : IndexItems[list.options[list.selectedIndex].value][0];
                });
                assert.equal(got, selected, typed);
                await h.waitFor(async () => (await h.topState(page)).indexquery === typed, 'indexquery ' + typed);
            }
            const sub = await index.evaluate(() => document.forms[0].indexlist.options[4].text);
            assert.equal(sub, '\u00a0\u00a0size');
        });

        test('the same text twice moves nothing; a text matching nothing selects nothing', async () => {
            const index = await openTab('btnindex', 'whindex.html');
            const r = await index.evaluate(() => {
                const list = document.forms[0].indexlist;
                const first = SelectMatch('be');
                list.selectedIndex = 0;
                const again = SelectMatch('BE');
                const none = SelectMatch('zzz');
                return [first, again, list.selectedIndex, none, SelectMatch('')];
            });
            assert.deepEqual(r, [true, false, 0, false, false]);
        });

        test('the lookup searches one bucket of 100 options', async () => {
            const index = await openTab('btnindex', 'whindex.html');
            const r = await index.evaluate(() => {
                const keep = IndexItems;
                const list = document.forms[0].indexlist;
                IndexItems = [];
                for (let i = 0; i < 250; i++)
                    IndexItems.push(['k' + String(i).padStart(3, '0'), 'source/start.htm']);
                IndexItems[50] = ['k15x', 'source/start.htm'];   // out of order, outside the bucket
                IndexItems[1] = ['a1', 'source/start.htm'];      // before option 0: only option 0 is tried
                list.options.length = 0;
                Startup();
                const found = SelectMatch('k15') ? list.selectedIndex : -1;
                const before = SelectMatch('a') ? list.selectedIndex : -1;
                const last = SelectMatch('k24') ? list.selectedIndex : -1;
                IndexItems = keep;
                list.options.length = 0;
                Startup();
                return [found, before, last];
            });
            assert.deepEqual(r, [150, -1, 240]);
        });

        test('a keyword opens its page; a see-also moves to its keyword; a heading opens nothing', async () => {
            const index = await openTab('btnindex', 'whindex.html');
            const pick = (text) => index.evaluate((t) => {
                const list = document.forms[0].indexlist;
                for (let i = 0; i < list.options.length; i++) {
                    if (IndexItems[list.options[i].value][0] === t)
                        list.selectedIndex = i;
                }
                return ShowMatch();
            }, text);
            assert.equal(await pick('install'), true);
            await h.waitContent(page, 'source/install.htm');
            await h.waitFor(async () => (await h.topState(page)).pageid === 'source/install.htm', 'pageid');
            assert.equal(await pick('typefaces'), true);
            const moved = await index.evaluate(() => {
                const list = document.forms[0].indexlist;
                return IndexItems[list.options[list.selectedIndex].value][0];
            });
            assert.equal(moved, 'fonts');
            assert.equal(await pick('printing'), true);
            await h.waitFor(async () => (await h.topState(page)).pageid === '', 'empty pageid');
            await new Promise((r) => setTimeout(r, 200));
            assert.equal(await h.contentUrl(page), base() + 'source/install.htm');
            await index.evaluate(() => { document.forms[0].indexlist.selectedIndex = -1; });
            assert.equal(await index.evaluate(() => ShowMatch()), false);
            await index.dblclick('select[name=indexlist] >> option:nth-child(6)');
            await h.waitFor(async () => (await h.topState(page)).pageid === 'source/install.htm', 'double-click opens');
        });

        test('search requests combine words with AND and OR', async () => {
            const search = await openTab('btnsearch', 'whsearch.html');
            const cases = [
                ['alpha  beta ', [2]], ['alpha OR beta', [2, 3, 4, 0, 5]], ['alpha or beta', []],
                ['missing OR beta', [2, 3, 4]], ['alpha OR missing AND beta', [0, 2, 5]], ['AND alpha', []],
                ['OR alpha', [0, 2, 5]], ['beta', [2, 3, 4]], ['ALPHA', [0, 2, 5]], ['\u4e2d\u6587', [2]], ['   ', []]];
            for (const [request, pages] of cases) {
                page.dialogs.length = 0;
                const r = await search.evaluate((q) => {
                    const ok = Search(q);
                    const list = document.forms['searchform'].founddocslist;
                    return { ok: ok, values: Array.from(list.options).map((o) => o.value), texts: Array.from(list.options).map((o) => o.text) };
                }, request);
                const files = await search.evaluate((p) => p.map((i) => SearchFiles[i]), pages);
                assert.equal(r.ok, true, request);
                assert.deepEqual(r.values, files, request);
                assert.deepEqual(page.dialogs, pages.length ? [] : ['No matches found!'], request);
            }
            assert.equal(await search.evaluate(() => Search('')), false);
        });

        test('a request with a forbidden character is refused with its position', async () => {
            const search = await openTab('btnsearch', 'whsearch.html');
            await search.fill('input[name=searchtext]', 'beta');
            await search.press('input[name=searchtext]', 'Enter');
            await h.waitFor(() => search.evaluate(() => document.forms['searchform'].founddocslist.options.length === 3), 'results');
            for (const [request, position] of [['alpha-beta', 6], ['a.b', 2], ['x "y"', 3], ['ok\\', 3]]) {
                page.dialogs.length = 0;
                await search.fill('input[name=searchtext]', request);
                await search.press('input[name=searchtext]', 'Enter');
                await h.waitFor(() => page.dialogs.length === 1, 'the message');
                assert.deepEqual(page.dialogs, ['Invalid character at position ' + position + '!']);
                assert.equal(await search.evaluate(() => document.forms['searchform'].founddocslist.options.length), 3);
            }
        });

        test('an opened result shows its words highlighted, at most 100 of each', async () => {
            const search = await openTab('btnsearch', 'whsearch.html');
            const marks = () => h.frame(page, 'content').evaluate(() =>
                Array.from(document.querySelectorAll('span[style]')).filter((s) => /background-color:\s*#FFFF00/i.test(s.getAttribute('style'))).map((s) => s.textContent));
            const open = async (request, file) => {
                await search.evaluate((q) => Search(q), request);
                await search.evaluate((f) => {
                    const list = document.forms['searchform'].founddocslist;
                    list.selectedIndex = Array.from(list.options).findIndex((o) => o.value === f);
                    OpenFoundDoc();
                }, file);
                await h.waitContent(page, file);
                await h.waitFor(async () => (await h.topState(page)).pageid === file, 'pageid ' + file);
            };
            await open('alpha OR gamma', 'source/start.htm');
            if (mode === 'http') {
                await h.waitFor(async () => (await marks()).length > 0, 'highlights');
                assert.deepEqual(await marks(), ['Alpha', 'alpha', 'alpha', 'alpha']);
                await open('beta', 'source/ref.htm');
                await h.waitFor(async () => (await marks()).length > 0, 'highlights');
                assert.equal((await marks()).length, 100);
            } else {
                // A plain topic page opened from disk is another origin: it stays as it is.
                await new Promise((r) => setTimeout(r, 500));
                assert.deepEqual(await marks(), []);
            }
            await open('alpha', 'source/scripted.htm');
            await h.waitFor(async () => (await marks()).length > 0, 'highlights in a page with the runtime');
            assert.deepEqual(await marks(), ['alpha', 'alpha']);
        });
    });
}
