// Pages that declare a charset of their own, in a Shift-JIS and a windows-1252 site over http: a
// word of such a page, typed as a reader types it, finds it under its right title, and the hit and
// the page's index entry open it.
'use strict';

const h = require('./harness.js');
h.requireTools();

const path = require('node:path');
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const cases = [
    { help: 'sjis', word: '検索の説明', file: 'source/sjis/utf8meta.htm', title: '検索の手引き', keyword: '検索の手引き' },
    { help: 'sjis', word: 'equivword', file: 'source/sjis/httpequiv.htm', title: '設定の画面', keyword: '設定の画面' },
    // A single-byte site keeps an accented letter apart from the ASCII letters around it (as it does
    // for its own pages), so the reader types the pieces the index holds.
    { help: 'latin', word: 'caf é', file: 'source/latin/cafe.htm', title: 'Café crème', keyword: 'Café crème' },
    { help: 'latin', word: 'gr öß', file: 'source/latin/xmldecl.htm', title: 'Übersicht', keyword: 'Übersicht' },
];

for (const help of ['sjis', 'latin']) {
    describe('pages with a declared charset in the ' + help + ' site', () => {
        const chm = path.join(h.BUILD_DIR, 'chm', 'page_charsets', help + '.chm');
        const env = h.convertedSiteInChromium(before, after, chm, ['-q']);

        for (const c of cases.filter((x) => x.help === help)) {
            test('"' + c.word + '" finds ' + c.file + ' and its index entry opens it', async () => {
                const page = await h.openSite(env.browser, env.server.url);
                const failed = [];
                page.on('response', (r) => {
                    if (r.status() >= 400)
                        failed.push(r.status() + ' ' + r.url());
                });
                await h.clickCall(page, 'OnClickButton(2)', 'header');
                const search = await h.waitPage(page, 'whsearch.html');
                await search.fill('form[name=searchform] input[type=text]', c.word);
                await search.press('form[name=searchform] input[type=text]', 'Enter');
                const hit = await h.waitFor(() => search.evaluate((f) => {
                    const list = document.forms['searchform'].founddocslist;
                    const i = Array.from(list.options).findIndex((o) => o.value === f);
                    return i < 0 ? null : { i: i, text: list.options[i].text };
                }, c.file), 'the hit');
                assert.equal(hit.text, c.title);
                await search.evaluate((i) => {
                    document.forms['searchform'].founddocslist.selectedIndex = i;
                    OpenFoundDoc();
                }, hit.i);
                await h.waitContent(page, c.file);
                assert.equal(await h.frame(page, 'content').title(), c.title);

                await h.clickCall(page, 'OnClickButton(1)', 'header');
                const index = await h.waitPage(page, 'whindex.html');
                await index.fill('form input[type=text]', c.keyword);
                await index.dispatchEvent('form input[type=text]', 'keyup');
                await index.evaluate(() => ShowMatch());
                await h.waitFor(async () => (await h.topState(page)).pageid === c.file, 'pageid ' + c.file);
                await h.waitContent(page, c.file);

                assert.deepEqual(failed, []);
                assert.deepEqual(page.errors, [], 'script errors in the site');
                await page.close();
            });
        }
    });
}
