// Recall of Chinese, Japanese and Korean words in the Search tab, and the size of searchdata.js,
// on the fixture sites: every word of two to six letters of a page, typed as a reader types it,
// counts as found when its page is among the hits.
// Run: node bench/wide_search.js [BEFORE_BUILD_DIR]  (e.g. a build of main, for the figures before)
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const h = require('../tests/browser/harness.js');
const w = require('../tests/browser/wide_words.js');
h.requireTools();

const fixtures = [
    ['Chinese GBK', 'chm/wide_search/chinese.chm', [], w.kHan],
    ['Chinese UTF-8', 'chm/wide_search/chinese.chm', ['--charset', 'utf-8'], w.kHan],
    ['Japanese Shift-JIS', 'chm/wide_search/japanese.chm', [], w.kHan],
    ['Korean EUC-KR', 'chm/wide_search/korean.chm', [], w.kHangul + w.kHan],
    ['search_gbk', 'chm/search_gbk/gbk.chm', [], w.kHan],
    ['pipeline/chinese', 'chm/pipeline/chinese.chm', [], w.kHan],
    ['names_gbk', 'chm/names_gbk/gbk.chm', [], w.kHan],
    ['names_korean', 'chm/names_korean/korean.chm', [], w.kHangul + w.kHan],
    ['page_charsets/sjis', 'chm/page_charsets/sjis.chm', [], w.kHan],
];

async function measure(browser, host, chm, options, letters) {
    const dir = h.makeTempDir('whbench-');
    const run = spawnSync(host, ['convert', chm, '-o', dir, '-q'].concat(options), { encoding: 'utf8' });
    if (run.status !== 0)
        throw new Error(host + ' could not convert ' + chm + ': ' + run.stdout + run.stderr);
    const size = fs.statSync(path.join(dir, 'whfiles', 'searchdata.js')).size;
    const server = await h.startServer(dir);
    try {
        const page = await h.openSite(browser, server.url);
        await h.clickCall(page, 'OnClickButton(2)', 'header');
        const search = await h.waitPage(page, 'whsearch.html');
        const texts = await w.pageTexts(browser, server.url, search);
        const words = new Set();
        for (const text of texts.values())
            for (const word of w.wordsOf(text, letters))
                words.add(word);
        let wanted = 0;
        let found = 0;
        for (const r of await w.compare(search, texts, Array.from(words))) {
            wanted += r.want.length;
            found += r.want.filter((f) => r.got.includes(f)).length;
        }
        await page.close();
        return { size, words: words.size, recall: wanted ? found / wanted : null };
    } finally {
        await server.close();
        h.removeDir(dir);
    }
}

async function main() {
    const hosts = [['after', path.join(h.BUILD_DIR, 'webhelp')]];
    if (process.argv[2])
        hosts.unshift(['before', path.join(path.resolve(process.argv[2]), 'webhelp')]);
    const browser = await h.launchChromium();
    try {
        for (const [name, chm, options, letters] of fixtures) {
            const file = path.join(h.BUILD_DIR, chm);
            if (!fs.existsSync(file)) {
                console.log(name + ': ' + chm + ' is not compiled');
                continue;
            }
            const cells = [];
            for (const [label, host] of hosts) {
                const m = await measure(browser, host, file, options, letters);
                const recall = m.recall === null ? 'no words' : (100 * m.recall).toFixed(1) + '% of ' + m.words + ' words';
                cells.push(label + ': searchdata.js ' + m.size + ' bytes, recall ' + recall);
            }
            console.log(name.padEnd(20) + cells.join(' | '));
        }
    } finally {
        await browser.close();
    }
}

main().catch((e) => {
    console.error(e);
    process.exit(1);
});
