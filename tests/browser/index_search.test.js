// Index and search tabs in Chromium, over http and from disk.
'use strict';

const h = require('./harness.js');
h.requireTools();

const { describe, test, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');

const env = h.siteInChromium(before, after);

for (const mode of ['http', 'file']) {
    describe('index and search over ' + mode, () => {
        let page;
        const base = () => env.base(mode);

        async function openTab(button, file) {
            if (!page)
                page = await h.openSite(env.browser, base());
            const header = h.frame(page, 'header');
            if (!header.url().endsWith(button === 1 ? 'whheaderi.html' : 'whheaders.html'))
                await h.clickCall(page, 'OnClickButton(' + button + ')', 'header');
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
            const index = await openTab(1, 'whindex.html');
            assert.equal(await index.evaluate(() => document.forms[0].indexlist.options.length), 11);
            const cases = [['fo', 'fonts'], ['INS', 'install'], ['c++', 'c++ language'], ['\u4e2d', '\u4e2d\u6587'],
                ['pr', 'printing'], ['s', 'setup']];
            for (const [typed, selected] of cases) {
                // Text from an input method arrives at once; its committing key still ends in a keyup.
                await index.fill('form input[type=text]', typed);
                await index.dispatchEvent('form input[type=text]', 'keyup');
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
            const index = await openTab(1, 'whindex.html');
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
            const index = await openTab(1, 'whindex.html');
            const r = await index.evaluate(() => {
                const keep = IndexItems;
                const list = document.forms[0].indexlist;
                IndexItems = [];
                for (let i = 0; i < 250; i++)
                    IndexItems.push(['k' + String(i).padStart(3, '0'), 'source/html/start.htm']);
                IndexItems[50] = ['k15x', 'source/html/start.htm'];   // out of order, outside the bucket
                IndexItems[1] = ['a1', 'source/html/start.htm'];      // before option 0: only option 0 is tried
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
            const index = await openTab(1, 'whindex.html');
            const pick = (text) => index.evaluate((t) => {
                const list = document.forms[0].indexlist;
                for (let i = 0; i < list.options.length; i++) {
                    if (IndexItems[list.options[i].value][0] === t)
                        list.selectedIndex = i;
                }
                return ShowMatch();
            }, text);
            assert.equal(await pick('install'), true);
            await h.waitContent(page, 'source/html/install.htm');
            await h.waitFor(async () => (await h.topState(page)).pageid === 'source/html/install.htm', 'pageid');
            assert.equal(await pick('typefaces'), true);
            const moved = await index.evaluate(() => {
                const list = document.forms[0].indexlist;
                return IndexItems[list.options[list.selectedIndex].value][0];
            });
            assert.equal(moved, 'fonts');
            assert.equal(await pick('printing'), true);
            await h.waitFor(async () => (await h.topState(page)).pageid === '', 'empty pageid');
            await new Promise((r) => setTimeout(r, 200));
            assert.equal(await h.contentUrl(page), base() + 'source/html/install.htm');
            await index.evaluate(() => { document.forms[0].indexlist.selectedIndex = -1; });
            assert.equal(await index.evaluate(() => ShowMatch()), false);
            await index.dblclick('select[name=indexlist] >> option:nth-child(6)');
            await h.waitFor(async () => (await h.topState(page)).pageid === 'source/html/install.htm', 'double-click opens');
        });

        test('search requests combine words with AND and OR', async () => {
            const search = await openTab(2, 'whsearch.html');
            // Result order follows the site's page numbers; the unit tests check the order itself.
            const alpha = ['start', 'setup', 'scripted'];
            const beta = ['setup', 'overview', 'ref'];
            const cases = [
                ['alpha  beta ', ['setup']], ['alpha OR beta', alpha.concat(beta)], ['alpha or beta', []],
                ['missing OR beta', beta], ['alpha OR missing AND beta', alpha], ['AND alpha', []],
                ['OR alpha', alpha], ['beta', beta], ['ALPHA', alpha], ['\u4e2d\u6587', ['setup']], ['   ', []]];
            for (const [request, names] of cases) {
                page.dialogs.length = 0;
                const r = await search.evaluate((q) => {
                    const ok = Search(q);
                    const list = document.forms['searchform'].founddocslist;
                    return { ok: ok, values: Array.from(list.options).map((o) => o.value), texts: Array.from(list.options).map((o) => o.text) };
                }, request);
                const files = Array.from(new Set(names)).map((n) => 'source/html/' + n + '.htm').sort();
                assert.equal(r.ok, true, request);
                assert.deepEqual(r.values.slice().sort(), files, request);
                assert.equal(r.values.length, files.length, request);
                assert.deepEqual(page.dialogs, names.length ? [] : ['No matches found!'], request);
            }
            const titles = await search.evaluate(() => { Search('gamma'); return Array.from(document.forms['searchform'].founddocslist.options).map((o) => o.text); });
            assert.deepEqual(titles, ['Install']);
            assert.equal(await search.evaluate(() => Search('')), false);
        });

        test('a request with a forbidden character is refused with its position', async () => {
            const search = await openTab(2, 'whsearch.html');
            await search.fill('form[name=searchform] input[type=text]', 'beta');
            await search.press('form[name=searchform] input[type=text]', 'Enter');
            await h.waitFor(() => search.evaluate(() => document.forms['searchform'].founddocslist.options.length === 3), 'results');
            for (const [request, position] of [['alpha-beta', 6], ['a.b', 2], ['x "y"', 3], ['ok\\', 3]]) {
                page.dialogs.length = 0;
                await search.fill('form[name=searchform] input[type=text]', request);
                await search.press('form[name=searchform] input[type=text]', 'Enter');
                await h.waitFor(() => page.dialogs.length === 1, 'the message');
                assert.deepEqual(page.dialogs, ['Invalid character at position ' + position + '!']);
                assert.equal(await search.evaluate(() => document.forms['searchform'].founddocslist.options.length), 3);
            }
        });

        test('an opened result shows its words highlighted, at most 100 of each', async () => {
            const search = await openTab(2, 'whsearch.html');
            const marks = () => h.highlights(page);
            const open = async (request, file) => {
                await search.evaluate((q) => Search(q), request);
                await h.openFoundDoc(search, file);
                await h.waitContent(page, file);
                await h.waitFor(async () => (await h.topState(page)).pageid === file, 'pageid ' + file);
            };
            await open('alpha OR gamma', 'source/html/start.htm');
            if (mode === 'http') {
                await h.waitFor(async () => (await marks()).length > 0, 'highlights');
                assert.deepEqual(await marks(), ['Alpha', 'alpha', 'alpha', 'alpha']);
                await open('beta', 'source/html/ref.htm');
                await h.waitFor(async () => (await marks()).length > 0, 'highlights');
                assert.equal((await marks()).length, 100);
            } else {
                // A plain topic page opened from disk is another origin: it stays as it is.
                await new Promise((r) => setTimeout(r, 500));
                assert.deepEqual(await marks(), []);
            }
            await open('alpha', 'source/html/scripted.htm');
            await h.waitFor(async () => (await marks()).length > 0, 'highlights in a page with the runtime');
            assert.deepEqual(await marks(), ['alpha', 'alpha']);
        });
    });
}
