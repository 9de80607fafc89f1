// Frames, contents tree, previous/next, pane and tabs in Chromium, over http and from disk.
'use strict';

const h = require('./harness.js');
h.requireTools();

const { describe, test, before, after, afterEach } = require('node:test');
const assert = require('node:assert/strict');

const env = h.siteInChromium(before, after);

for (const mode of ['http', 'file']) {
    describe('contents over ' + mode, () => {
        let page;
        let tree;
        const base = () => env.base(mode);

        async function open(query) {
            if (page)
                await page.close();
            page = await h.openSite(env.browser, base(), query);
            tree = await h.waitTree(page);
            await h.waitFor(() => h.selectedTreeEntry(tree), 'the start page selected');
        }

        async function header() {
            return h.waitFor(async () => {
                const f = h.frame(page, 'header');
                return (await f.evaluate(() => document.readyState == 'complete' && typeof OnClickButton == 'function')) ? f : null;
            }, 'the header page');
        }

        function click(call, preferred) {
            return h.clickCall(page, call, preferred || 'header');
        }

        async function expand(id) {
            await tree.click('a[href*="toggle(' + id + ')"]');
            await h.waitFor(() => tree.evaluate((i) => document.getElementById('divtree' + i).style.display == 'block', id), 'node ' + id + ' open');
        }

        afterEach(() => {
            if (page)
                assert.deepEqual(page.errors, [], 'script errors in the site');
        });

        after(async () => {
            if (page)
                await page.close();
        });

        test('frames of the site reach each other only where the browser allows it', async () => {
            await open();
            const reachable = await (await header()).evaluate(() => WhTopFrame() !== null);
            assert.equal(reachable, mode === 'http');
            assert.equal(await h.contentUrl(page), base() + 'source/html/start.htm');
        });

        test('the tree shows the top-level entries closed, the start page selected', async () => {
            await open();
            const shown = await tree.evaluate(() => {
                const r = [];
                for (let i = 0; i < trees[0].nodes.length; i++) {
                    const el = document.getElementById('i_txt' + i);
                    if (el && el.offsetParent !== null)
                        r.push(i);
                }
                return r;
            });
            assert.deepEqual(shown, [0, 4, 8, 9]);
            assert.deepEqual(await h.selectedTreeEntry(tree), { id: 0, bold: 'bold', text: 'Getting Started' });
            const icons = await tree.evaluate(() => [document.images['j_img0'].src, document.images['i_img0'].src, document.images['i_img8'].src]);
            assert.match(icons[0], /whfiles\/wh_7\.gif$/);
            assert.match(icons[1], /whfiles\/1\.gif$/);
            assert.match(icons[2], /whfiles\/11\.gif$/);
        });

        test('a book opens and closes with its junction, showing its children', async () => {
            await open();
            await expand(0);
            const open0 = await tree.evaluate(() => ({
                kids: [1, 2, 3].map((i) => document.getElementById('i_txt' + i).textContent.replace(/\u00a0/g, ' ').trim()),
                junction: document.images['j_img0'].src, icon: document.images['i_img0'].src,
                lines: Array.from(document.getElementById('divtree0').querySelectorAll('img:not([name])')).map((i) => i.src.replace(/.*\//, ''))
            }));
            assert.deepEqual(open0.kids, ['Install', 'Notes', 'Setup \u4e2d\u6587 <b>']);
            assert.match(open0.junction, /wh_10\.gif$/);
            assert.match(open0.icon, /\/2\.gif$/);
            assert.deepEqual(open0.lines, ['wh_1.gif', 'wh_2.gif', 'wh_1.gif', 'wh_2.gif', 'wh_1.gif', 'wh_3.gif']);
            await tree.click('a[href*="toggle(0)"]');
            // A javascript: address runs after the click returns.
            await h.waitFor(() => tree.evaluate(() => document.getElementById('divtree0').style.display == 'none'), 'node 0 closed');
            const closed = await tree.evaluate(() => [document.getElementById('divtree0').style.display, document.images['j_img0'].src]);
            assert.equal(closed[0], 'none');
            assert.match(closed[1], /wh_7\.gif$/);
            await tree.dblclick('#i_txt4');
            assert.equal(await tree.evaluate(() => trees[0].nodes[4].isOpen), true);
        });

        test('a click opens the entry\'s page and selects it', async () => {
            await open();
            await expand(4);
            await tree.click('#i_txt5');
            await h.waitContent(page, 'source/html/overview.htm');
            assert.deepEqual(await h.selectedTreeEntry(tree), { id: 5, bold: 'bold', text: 'Overview' });
            assert.equal(await tree.evaluate(() => document.getElementById('i_txt0').style.fontWeight), 'normal');
            await h.waitFor(async () => (await h.topState(page)).pagenum === 5, 'pagenum 5');
            assert.equal((await h.topState(page)).pageid, 'source/html/overview.htm');
        });

        test('a click on an entry without a page changes only the selection', async () => {
            await open();
            await expand(0);
            await tree.click('#i_txt2');
            assert.equal((await h.selectedTreeEntry(tree)).id, 2);
            await h.waitFor(async () => (await h.topState(page)).pagenum === 2, 'pagenum 2');
            await new Promise((r) => setTimeout(r, 200));
            assert.equal(await h.contentUrl(page), base() + 'source/html/start.htm');
            assert.equal((await h.topState(page)).pageid, 'source/html/start.htm');
        });

        test('next and previous skip entries without pages and stop at the ends', async () => {
            await open();
            const forward = ['install', 'setup', 'overview', 'deep', 'leaf', 'ref'];
            for (const name of forward) {
                await click('navDelta(1)');
                await h.waitContent(page, 'source/html/' + name + '.htm');
            }
            assert.deepEqual(await h.selectedTreeEntry(tree), { id: 8, bold: 'bold', text: 'Reference' });
            await click('navDelta(1)');
            await new Promise((r) => setTimeout(r, 300));
            assert.equal(await h.contentUrl(page), base() + 'source/html/ref.htm');
            assert.equal((await h.topState(page)).pagenum, 8);
            for (const name of ['leaf', 'deep', 'overview', 'setup', 'install', 'start']) {
                await click('navDelta(-1)', 'navbar');
                await h.waitContent(page, 'source/html/' + name + '.htm');
            }
            await click('navDelta(-1)', 'navbar');
            await new Promise((r) => setTimeout(r, 300));
            assert.equal(await h.contentUrl(page), base() + 'source/html/start.htm');
            const state = await h.topState(page);
            assert.equal(state.pagenum, 0);
            assert.equal(state.pageid, 'source/html/start.htm');
            assert.deepEqual(await h.selectedTreeEntry(tree), { id: 0, bold: 'bold', text: 'Getting Started' });
        });

        test('hiding the pane and clicking the current tab restore its width', async () => {
            await open();
            await page.mainFrame().evaluate(() => { document.getElementById('whPfset').cols = '320,*'; });
            await click('hidePane()');
            await h.waitFor(async () => (await h.topState(page)).cols === '0,*', 'pane hidden');
            assert.equal((await h.topState(page)).gbShow, false);
            await click('OnClickButton(0)');
            await h.waitFor(async () => (await h.topState(page)).cols === '320,*', 'pane shown');
            assert.equal((await h.topState(page)).gbShow, true);
            const colours = await (await header()).evaluate(() => {
                const css = (c) => { const d = document.createElement('div'); d.style.color = c; return d.style.color; };
                return [[document.getElementById('tabcontents1').style.backgroundColor, css(selbtnbordercolor)],
                    [document.getElementById('tabcontents2').style.backgroundColor, css(selbtnbgcolor)],
                    [document.getElementById('btncontents').style.color, css(selbtntxtcolor)], css(btnbordercolor)];
            });
            for (const [shown, wanted] of colours.slice(0, 3))
                assert.equal(shown, wanted);
            await click('hidePane()', 'navbar');
            await h.waitFor(async () => (await h.topState(page)).cols === '0,*', 'pane hidden from its bar');
            const unselected = await (await header()).evaluate(() => document.getElementById('tabcontents1').style.backgroundColor);
            assert.equal(unselected, colours[3]);
            await click('OnClickButton(0)');
            await h.waitFor(async () => (await h.topState(page)).cols === '320,*', 'pane shown again');
            await click('OnClickButton(0)');
            await new Promise((r) => setTimeout(r, 200));
            assert.equal(h.frame(page, 'header').url(), base() + 'whheaderc.html');
        });

        test('tabs load their navigation and header pages', async () => {
            await open();
            const steps = [['whnavi.html', 'whheaderi.html', 1], ['whnavs.html', 'whheaders.html', 2],
                ['whnavc.html', 'whheaderc.html', 0]];
            for (const [nav, head, tab] of steps) {
                await click('OnClickButton(' + tab + ')');
                await h.waitFor(() => h.frame(page, 'toc').url() === base() + nav, nav);
                await h.waitFor(() => h.frame(page, 'header').url() === base() + head, head);
                await h.waitFor(async () => (await h.topState(page)).gcurpage === tab, 'tab ' + tab);
            }
            tree = await h.waitTree(page);
            await h.waitFor(async () => (await h.selectedTreeEntry(tree) || {}).id === 0, 'the shown page selected again');
        });

        test('a deep link opens the first page parameter and selects its entry', async () => {
            await open('?x=1&page=source%2Fhtml%2Fleaf.htm&page=source/html/ref.htm');
            await h.waitContent(page, 'source/html/leaf.htm');
            await h.waitFor(async () => (await h.selectedTreeEntry(tree) || {}).id === 7, 'leaf selected');
            assert.deepEqual(await tree.evaluate(() => [trees[0].nodes[4].isOpen, trees[0].nodes[6].isOpen, trees[0].nodes[0].isOpen]), [true, true, false]);
            await h.waitFor(async () => (await h.topState(page)).pagenum === 7, 'pagenum 7');
            await click('navDelta(1)');
            await h.waitContent(page, 'source/html/ref.htm');
        });

        test('a deep link cannot put markup or a script address into the frameset', async () => {
            for (const query of ['?page=%22%3E%3Cscript%3Ealert(1)%3C/script%3E', '?page=javascript:alert(2)']) {
                if (page)
                    await page.close();
                page = await h.openSite(env.browser, base(), query);
                await new Promise((r) => setTimeout(r, 300));
                assert.deepEqual(page.dialogs, [], query);
                assert.equal(await page.mainFrame().evaluate(() => frames.length), 3, query);
            }
        });

        test('the top window ignores messages from windows that are not its frames', async () => {
            await open();
            const shown = (await h.topState(page)).cols;
            assert.notEqual(shown, '0,*');
            const hide = { whmsg: 'call', fn: 'hidePane', args: ['0,*'] };
            await page.mainFrame().evaluate((msg) => {
                const foreign = window.open('about:blank', 'foreign');
                foreign.eval('opener.postMessage(' + JSON.stringify(msg) + ', "*")');
                setTimeout(() => foreign.close(), 500);
            }, hide);
            await new Promise((r) => setTimeout(r, 400));
            assert.equal((await h.topState(page)).cols, shown);
            // The same message from one of its own frames is obeyed.
            await h.frame(page, 'header').evaluate((msg) => top.postMessage(msg, '*'), hide);
            await h.waitFor(async () => (await h.topState(page)).cols === '0,*', 'pane hidden by its own frame');
        });

        test('sync shows the contents tab with the current page selected', async () => {
            await open();
            await click('OnClickButton(1)');
            const index = await h.waitPage(page, 'whindex.html');
            await index.evaluate(() => { document.forms[0].indexlist.selectedIndex = 3; ShowMatch(); });
            await h.waitContent(page, 'source/html/overview.htm');
            await click('syncTopic()', 'navbar');
            await h.waitFor(() => h.frame(page, 'header').url() === base() + 'whheaderc.html', 'contents header');
            tree = await h.waitTree(page);
            await h.waitFor(async () => (await h.selectedTreeEntry(tree) || {}).id === 5, 'overview selected');
        });

        test('print prints the content page, or says it cannot', async () => {
            await open();
            await click('conPrint()');
            await new Promise((r) => setTimeout(r, 800));
            // From disk a plain topic page belongs to another origin: nothing can print it.
            assert.deepEqual(page.dialogs, mode === 'http' ? [] : ['Sorry, your browser does not support the print feature.']);
            page.dialogs.length = 0;
            await page.mainFrame().evaluate(() => { frames['content'].location.href = 'source/html/scripted.htm'; });
            await h.waitContent(page, 'source/html/scripted.htm');
            await click('conPrint()');
            await new Promise((r) => setTimeout(r, 800));
            assert.deepEqual(page.dialogs, []);
        });
    });
}

describe('tree without a changeable page', () => {
    test('is written fully open without toggle links or double-click handlers', async () => {
        const page = await env.browser.newPage();
        const errors = [];
        page.on('pageerror', (e) => errors.push(e.message));
        const base = env.server.url;
        await page.goto(base + 'whcontents.html');
        await page.setContent(`<html><head><script src="${base}whfiles/whhelper.js"></script>
            <script src="${base}whfiles/contentsdata.js"></script><script src="${base}whfiles/whtree.js"></script>
            <script>var contree = new MakeTree(ContentItems, false);</script></head><body></body></html>`);
        const r = await page.evaluate(() => ({
            mode: gWhStaticTree, open: trees[0].nodes.map((x) => x.isOpen || x.children.length == 0),
            texts: trees[0].nodes.map((x, i) => document.getElementById('i_txt' + i) !== null),
            toggles: document.querySelectorAll('a[href*="toggle"], a[ondblclick]').length
        }));
        assert.equal(r.mode, true);
        assert.ok(r.open.every(Boolean));
        assert.ok(r.texts.every(Boolean));
        assert.equal(r.toggles, 0);
        assert.deepEqual(errors, []);
        await page.close();
    });
});
