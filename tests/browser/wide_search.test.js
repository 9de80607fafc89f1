// Search in Chromium as readers of Chinese, Japanese and Korean type it: any word of two or more
// characters taken from a page finds that page, whether or not it is a whole run of the page's
// text; a word that no page holds finds nothing. And a term with no keyword of its own finds the
// keywords that begin with it.
'use strict';

const h = require('./harness.js');
h.requireTools();

const fs = require('node:fs');
const path = require('node:path');
const { describe, test } = require('node:test');
const assert = require('node:assert/strict');

// The letters of a site: those its code page has (a Korean page of a Japanese site loses its
// Hangul before the harvest).
const { kHan, kHangul, wordsOf, pageTexts, searchAll, compare } = require('./wide_words.js');
const sites = [
    { name: 'Chinese, GBK', chm: 'chm/wide_search/chinese.chm', options: [], letters: kHan },
    { name: 'Chinese, UTF-8', chm: 'chm/wide_search/chinese.chm', options: ['--charset', 'utf-8'], letters: kHan },
    { name: 'Chinese names, GBK', chm: 'chm/search_gbk/gbk.chm', options: [], letters: kHan },
    { name: 'Japanese, Shift-JIS', chm: 'chm/wide_search/japanese.chm', options: [], letters: kHan },
    { name: 'Japanese pages of other charsets, Shift-JIS', chm: 'chm/page_charsets/sjis.chm', options: [], letters: kHan },
    { name: 'Korean, EUC-KR', chm: 'chm/wide_search/korean.chm', options: [], letters: kHangul + kHan },
];

async function withSite(chm, options, body) {
    const file = path.join(h.BUILD_DIR, chm);
    if (!fs.existsSync(file)) {
        console.log('SKIPPED: ' + file + ' is not compiled');
        process.exit(77);
    }
    const dir = h.convertSite(file, ['-q'].concat(options));
    assert.ok(dir, 'the conversion of ' + chm);
    const server = await h.startServer(dir);
    const browser = await h.launchChromium();
    try {
        const page = await h.openSite(browser, server.url);
        await h.clickCall(page, 'OnClickButton(2)', 'header');
        const search = await h.waitPage(page, 'whsearch.html');
        await body(browser, server, search);
        assert.deepEqual(page.errors, [], 'script errors in the site');
        await page.close();
    } finally {
        await browser.close();
        await server.close();
        h.removeDir(dir);
    }
}

for (const site of sites) {
    describe('words typed into the search of the ' + site.name + ' site', () => {
        test('every word of two or more characters finds the pages that hold it and no other', async () => {
            await withSite(site.chm, site.options, async (browser, server, search) => {
                const texts = await pageTexts(browser, server.url, search);
                const words = new Set();
                for (const text of texts.values())
                    for (const w of wordsOf(text, site.letters))
                        words.add(w);
                assert.ok(words.size >= 10, 'words in the site: ' + words.size);
                // A word no page holds: two letters of the site in an order no page has.
                const letters = Array.from(new Set(Array.from(words).join('')));
                const absent = [];
                for (let i = 0; i < letters.length && absent.length < 20; i++) {
                    const w = letters[i] + letters[(i * 7 + 3) % letters.length] + letters[i];
                    if (!Array.from(texts.values()).some((t) => t.includes(w)))
                        absent.push(w);
                }
                assert.ok(absent.length > 0, 'words that no page holds');
                const requests = Array.from(words).concat(absent);
                const missed = (await compare(search, texts, requests)).filter((r) => JSON.stringify(r.got) !== JSON.stringify(r.want))
                    .map((r) => r.word + ': ' + JSON.stringify(r.got) + ' for ' + JSON.stringify(r.want));
                assert.deepEqual(missed, [], requests.length + ' words');
            });
        });
    });
}

describe('beginnings of words in the guide', () => {
    test('a term with no keyword finds the keywords that begin with it; a keyword only itself', async () => {
        await withSite('webhelp-guide.chm', [], async (browser, server, search) => {
            // The pages the data lists under a keyword.
            const pagesOf = (keyword) => search.evaluate((k) => {
                const entry = SearchIndexes.find((e) => e[0] === k);
                return entry ? entry[1].map((n) => SearchFiles[n]).sort() : [];
            }, keyword);
            const convert = await pagesOf('convert');
            const conversion = await pagesOf('conversion');
            assert.ok(convert.length > 0 && conversion.length > 0);
            assert.ok(conversion.some((f) => !convert.includes(f)), 'conversion has pages of its own');
            const union = Array.from(new Set(convert.concat(conversion))).sort();
            const cases = [
                ['conv', union], ['CONV', union], ['convert', convert], ['conversion', conversion],
                // too short to stand for its words, and no word begins with the last
                ['co', []], ['convx', []],
                // AND and OR still combine what each term finds
                ['conv AND conversion', conversion], ['convert conversi', convert.filter((f) => conversion.includes(f))],
                ['co OR conversion', conversion]];
            const found = await searchAll(search, cases.map((c) => c[0]));
            cases.forEach(([request, want], i) => assert.deepEqual(found[i].slice().sort(), want, request));
        });
    });
});
