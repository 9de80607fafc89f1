// Pages of a help written for a file system that ignores case, over http: the index and the
// search open them, and everything they load is found under the spelling they use.
'use strict';

const h = require('./harness.js');
const fs = require('node:fs');
const path = require('node:path');

const chm = path.join(h.BUILD_DIR, 'chm', 'lettercase', 'case.chm');
h.requireTools([chm, path.join(h.BUILD_DIR, 'webhelp')]);

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

describe('pages named in another letter case, over http', () => {
    const env = h.convertedSiteInChromium(before, after, chm, ['--charset', 'windows-1252', '-q']);
    const failed = [];

    // Opens the site afresh, runs open() in the named tab, and checks the page shown and all it loaded.
    async function check(button, file, open, shown) {
        failed.length = 0;
        const site = await h.openSite(env.browser, env.server.url);
        // The frames loaded so far show no page of the help's own; every load from here on is watched.
        site.on('response', (r) => {
            if (r.status() >= 400 && !r.url().endsWith('/favicon.ico'))
                failed.push(r.status() + ' ' + r.url());
        });
        site.on('requestfailed', (r) => failed.push('failed ' + r.url()));
        await h.clickCall(site, 'OnClickButton(' + button + ')', 'header');
        const tab = await h.waitPage(site, file);
        // The page shown first may be the one to open: wait for a new document, not the old one.
        const content = h.frame(site, 'content');
        await content.evaluate(() => { window.shownBefore = true; });
        await tab.evaluate(open);
        await h.waitContent(site, shown);
        await h.waitFor(() => content.evaluate(() => !window.shownBefore && document.readyState === 'complete'), 'the page ' + shown);
        await h.waitFor(() => content.evaluate(() => Array.from(document.images).every((i) => i.complete)), 'images');
        const broken = await content.evaluate(() =>
            Array.from(document.images).filter((i) => i.naturalWidth === 0).map((i) => i.src)
                .concat(Array.from(document.styleSheets).filter((s) => { try { return !s.cssRules; } catch (e) { return true; } }).map((s) => s.href)));
        await new Promise((r) => setTimeout(r, 200));
        assert.deepEqual(broken, [], 'images and style sheets that did not load');
        assert.deepEqual(failed, [], 'requests that failed');
        assert.deepEqual(site.errors, [], 'script errors');
        await site.close();
    }

    const pickKeyword = (keyword) => `(() => {
        const list = document.forms[0].indexlist;
        for (let i = 0; i < list.options.length; i++)
            if (IndexItems[list.options[i].value][0] === ${JSON.stringify(keyword)})
                list.selectedIndex = i;
        return ShowMatch();
    })()`;
    const openHit = (word, file) => `(() => {
        Search(${JSON.stringify(word)});
        const list = document.forms['searchform'].founddocslist;
        list.selectedIndex = Array.from(list.options).findIndex((o) => o.value === ${JSON.stringify(file)});
        if (list.selectedIndex < 0)
            throw new Error('no hit ' + ${JSON.stringify(file)});
        OpenFoundDoc();
    })()`;

    const cases = [
        ['an index entry spelled in another case', 1, 'whindex.html', pickKeyword('casetopic'), 'source/Pages/Topic.htm?view=1'],
        ['an index entry into a merged file', 1, 'whindex.html', pickKeyword('part page'), 'source/merge/part/Docs/Page.htm'],
        ['a search hit whose page loads images and styles in other cases', 2, 'whsearch.html',
            openHit('introcase', 'source/intro.htm'), 'source/intro.htm'],
        ['a search hit in a folder of another case', 2, 'whsearch.html',
            openHit('topiccase', 'source/Pages/Topic.htm'), 'source/Pages/Topic.htm'],
    ];
    for (const [name, button, file, open, shown] of cases)
        test(name, () => check(button, file, open, shown));
});
