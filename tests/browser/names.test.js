// Pages with non-ASCII names in sites that are not UTF-8, and sitemaps in a sub-folder, opened
// from the Search and Index tabs (and the contents tree) over http: every page is found.
'use strict';

const h = require('./harness.js');
h.requireTools();

const fs = require('node:fs');
const path = require('node:path');
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

// fixture, charset, then what to open: [tab, search request or index keyword, page below the site]
const SITES = [
    ['names_gbk/gbk', 'gb2312', [
        ['search', 'hangulpage', 'source/\ud55c\uae00.htm'],
        ['search', 'options', 'source/\u8bbe\u7f6e/\u9009\u9879.htm'],
        ['index', '\u65e0\u6807\u9898', 'source/\u8bbe\u7f6e/\u65e0\u6807\u9898.htm']]],
    ['names_korean/korean', 'euc-kr', [
        ['search', 'thaipage', 'source/\ub3c4\uc6c0\ub9d0/\u0e20\u0e32\u0e29\u0e32.htm'],
        ['search', 'picture', 'source/\uadf8\ub9bc\ud83d\ude00.htm'],
        ['index', '\uc124\uc815', 'source/\ub3c4\uc6c0\ub9d0/\uc124\uc815.htm']]],
    ['names_subfolder/subfolder', 'windows-1252', [
        ['search', 'first', 'source/page 1.html'],
        ['index', 'first page', 'source/page 1.html'],
        ['index', 'sub x', 'source/Documents/sub/x.htm'],
        ['contents', 'Up one', 'source/page 1.html']]],
    ['names_subfolder/merging', 'windows-1252', [
        ['contents', 'Below', 'source/merge/subfolder/Documents/sub/x.htm']]],
];

for (const [fixture, charset, opens] of SITES) {
    describe(fixture + ' in ' + charset + ' over http', () => {
        const chm = path.join(h.BUILD_DIR, 'chm', fixture + '.chm');
        const env = h.convertedSiteInChromium(before, after, chm, ['--charset', charset, '-q']);
        let page;
        const failed = [];

        before(async () => {
            page = await h.openSite(env.browser, env.server.url);
            page.on('response', (r) => {
                if (r.status() >= 400)
                    failed.push(r.status() + ' ' + r.url());
            });
        });

        async function openTab(button, file) {
            const header = h.frame(page, 'header');
            if (!header.url().endsWith(['whheaderc.html', 'whheaderi.html', 'whheaders.html'][button]))
                await h.clickCall(page, 'OnClickButton(' + button + ')', 'header');
            return h.waitPage(page, file);
        }

        for (const [tab, request, file] of opens) {
            test(tab + ' "' + request + '" opens ' + file, async () => {
                // From a blank page, so that a page shown already is seen to open again.
                await h.frame(page, 'content').goto('about:blank');
                const before = h.frame(page, 'content').url();
                if (tab === 'search') {
                    const search = await openTab(2, 'whsearch.html');
                    const found = await search.evaluate(([q, f]) => {
                        Search(q);
                        const list = document.forms['searchform'].founddocslist;
                        list.selectedIndex = Array.from(list.options).findIndex((o) => o.value === f);
                        if (list.selectedIndex < 0)
                            return Array.from(list.options).map((o) => o.value);
                        OpenFoundDoc();
                        return true;
                    }, [request, file]);
                    assert.equal(found, true);
                } else if (tab === 'index') {
                    const index = await openTab(1, 'whindex.html');
                    const shown = await index.evaluate((k) => {
                        const list = document.forms[0].indexlist;
                        list.selectedIndex = Array.from(list.options).findIndex((o) => IndexItems[o.value][0] === k);
                        return ShowMatch();
                    }, request);
                    assert.equal(shown, true);
                } else {
                    await openTab(0, 'whcontents.html');
                    const tree = await h.waitTree(page);
                    await tree.click('text=' + request);
                }
                const url = await h.waitFor(async () => {
                    const u = h.frame(page, 'content').url();
                    const ready = await h.frame(page, 'content').evaluate(() => document.readyState == 'complete');
                    return u !== before && ready ? u : null;
                }, 'the page of ' + request);
                assert.equal(decodeURIComponent(url), env.server.url + file);
                assert.ok(fs.existsSync(path.join(env.site, file)), file + ' on disk');
                assert.deepEqual(failed, [], 'requests that failed');
                assert.deepEqual(page.errors, [], 'script errors in the site');
            });
        }
    });
}
