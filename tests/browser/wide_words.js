// Words of Chinese, Japanese and Korean pages as readers type them, and what the Search tab finds
// for them: shared by the search test and the benchmark.
'use strict';

// Letters of these scripts; punctuation between them ends a word as a reader sees it.
const kHan = '\u3041-\u30ff\u3400-\u9fff\uff66-\uff9f';
const kHangul = '\uac00-\ud7af';

// Every run of two to six letters inside a run of the text.
function wordsOf(text, letters) {
    const words = new Set();
    for (const run of text.match(new RegExp('[' + letters + ']+', 'g')) || []) {
        for (let i = 0; i < run.length; i++) {
            for (let n = 2; n <= 6 && i + n <= run.length; n++)
                words.add(run.substr(i, n));
        }
    }
    return words;
}

// The visible text of every topic page the search tab lists, by address, as Chromium shows it.
async function pageTexts(browser, base, search) {
    const files = await search.evaluate(() => SearchFiles.slice());
    const texts = new Map();
    const reader = await browser.newPage();
    for (const file of files.filter((f) => /\.html?$/i.test(f))) {
        await reader.goto(base + file);
        texts.set(file, await reader.evaluate(() => (document.body ? document.body.innerText : '')));
    }
    await reader.close();
    return texts;
}

// The addresses each request lists, as the reader's Search fills the list.
function searchAll(search, requests) {
    return search.evaluate((list) => {
        const alert = window.alert;
        window.alert = function () {};
        const out = list.map((q) => {
            Search(q);
            return Array.from(document.forms['searchform'].founddocslist.options).map((o) => o.value);
        });
        window.alert = alert;
        return out;
    }, requests);
}

// For each request, the pages whose text holds it and the pages the search found, both sorted.
async function compare(search, texts, requests) {
    const found = await searchAll(search, requests);
    return requests.map((w, i) => ({
        word: w,
        want: Array.from(texts.keys()).filter((f) => texts.get(f).includes(w)).sort(),
        got: found[i].slice().sort()
    }));
}

module.exports = { kHan, kHangul, wordsOf, pageTexts, searchAll, compare };
