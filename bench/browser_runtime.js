// Measures the browser runtime on a large site in headless Chromium and prints the figures:
// a contents of 5,050 entries, an index of 20,000 keywords, search data of 5,000 pages and
// 40,000 keywords. Run: node bench/browser_runtime.js [site-dir]
// With a site folder (a converted site) its own data is measured instead of the generated one.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const h = require('../tests/browser/harness.js');
h.requireTools();

function words(i) {
    const syllables = ['ka', 'lo', 'mi', 'ne', 'ru', 'sa', 'ti', 'vo', 'ze', 'pa'];
    let s = '';
    do {
        s += syllables[i % 10];
        i = Math.floor(i / 10);
    } while (i > 0);
    return s;
}

function writeLargeData(dir) {
    const contents = [];
    let page = 0;
    for (let b = 0; b < 50; b++) {
        const book = ['Book ' + b, 'source/p' + page++ + '.htm', '1'];
        for (let c = 0; c < 10; c++) {
            const chapter = ['Chapter ' + b + '.' + c, null, '5'];
            for (let p = 0; p < 9; p++)
                chapter.push(['Topic ' + b + '.' + c + '.' + p, 'source/p' + page++ + '.htm', '11']);
            book.push(chapter);
        }
        contents.push(book);
    }
    fs.writeFileSync(path.join(dir, 'whfiles', 'contentsdata.js'),
        'var ContentItems = ' + JSON.stringify(contents) + ';\r\n\r\nvar gInitURL = "source/p0.htm"');

    const keys = [];
    for (let i = 0; i < 20000; i++)
        keys.push((i % 7 == 6 ? ' ' : '') + words(i) + ' ' + i);
    keys.sort((a, b) => a.trim().toUpperCase() < b.trim().toUpperCase() ? -1 : 1);
    fs.writeFileSync(path.join(dir, 'whfiles', 'indexdata.js'),
        'var IndexItems = ' + JSON.stringify(keys.map((k, i) => [k, 'source/p' + (i % page) + '.htm'])) + ';\r\n\r\n');

    const files = [];
    const titles = [];
    for (let i = 0; i < 5000; i++) {
        files.push('source/p' + i + '.htm');
        titles.push('Topic ' + i);
    }
    const index = [];
    for (let k = 0; k < 40000; k++) {
        // Few words in many pages, most in few: about a million page numbers in all.
        const size = Math.min(5000, Math.floor(60000 / (k + 1))) + 1 + (k % 20);
        const step = Math.max(1, Math.floor(5000 / size));
        const list = [];
        for (let p = k % step; p < 5000 && list.length < size; p += step)
            list.push(p);
        index.push([words(k), list]);
    }
    fs.writeFileSync(path.join(dir, 'whfiles', 'searchdata.js'),
        'var SearchFiles = ' + JSON.stringify(files) + ';\r\n\r\nvar SearchTitles = ' + JSON.stringify(titles)
        + ';\r\n\r\nvar SearchIndexes = ' + JSON.stringify(index) + ';\r\n');
    for (let i = 0; i < page; i++)
        fs.writeFileSync(path.join(dir, 'source', 'p' + i + '.htm'), '<html><body><p>Topic ' + i + ' ' + words(i) + '</p></body></html>');
}

// Clicks a tab button of the header and returns the milliseconds until ready() holds in the tab's
// page (polled), then runs after(frame, start) while the clock goes on.
async function tabReady(page, button, file, ready, after) {
    const t0 = performance.now();
    await h.frame(page, 'header').click(button);
    let took = 0;
    await h.waitFor(async () => {
        for (const f of page.frames()) {
            if (f.url().split('?')[0].endsWith('/' + file) && await f.evaluate(ready).catch(() => false)) {
                took = performance.now() - t0;
                if (after)
                    await after(f, t0);
                return true;
            }
        }
        return false;
    }, file + ' ready', 60000);
    return took;
}

function ms(x) {
    return x.toFixed(1).padStart(8) + ' ms';
}

(async () => {
    const given = process.argv[2];
    const dir = given ? path.resolve(given) : h.makeFixtureSite();
    if (!given)
        writeLargeData(dir);
    const server = await h.startServer(dir);
    const browser = await h.launchChromium();
    try {
        const page = await browser.newPage();
        const t0 = Date.now();
        await page.goto(server.url + 'index.html');
        const tree = await h.waitTree(page);
        const loaded = Date.now() - t0;
        // MakeTree again, its markup caught and put into a detached division.
        const treeBuilt = await tree.evaluate(() => {
            const write = document.write;
            let markup = '';
            document.write = function (text) { markup += text; };
            const s = performance.now();
            const extra = new MakeTree(ContentItems, false);
            const div = document.createElement('div');
            div.innerHTML = markup;
            const built = performance.now() - s;
            document.write = write;
            trees.length = 1;
            return built + (extra ? 0 : 0);
        });
        const t = await tree.evaluate(() => {
            const tr = trees[0];
            const last = tr.nodes.length - 1;
            let s = performance.now();
            const r1 = tr.dOpenTreeNode(last);
            const openDeep = performance.now() - s;
            s = performance.now();
            tr.OpenTreeNode(ContentFiles[Math.floor(last / 2)]);
            const openByName = performance.now() - s;
            s = performance.now();
            for (let i = 0; i < tr.children.length; i++)
                tr.children[i].expand();
            const openAllBooks = performance.now() - s;
            return { entries: tr.nodes.length, openDeep, openByName, openAllBooks, r1 };
        });
        console.log('contents entries      ' + String(t.entries).padStart(8));
        console.log('site loaded, tree     ' + ms(loaded) + '  (navigation to tree written, whole frameset)');
        console.log('tree built (MakeTree) ' + ms(treeBuilt));
        console.log('open deepest entry    ' + ms(t.openDeep));
        console.log('find entry by address ' + ms(t.openByName));
        console.log('open every book       ' + ms(t.openAllBooks));

        const indexReady = await tabReady(page, '#btnindex', 'whindex.html', () => {
            const list = document.forms[0] && document.forms[0].indexlist;
            if (!list || typeof IndexItems == 'undefined' || WhIndexCount(list) < IndexItems.length)
                return false;
            gWhLastMatch = null;
            SelectMatch(String(IndexItems[IndexItems.length >> 1][0]).trim());
            return true;
        });
        console.log('index tab ready       ' + ms(indexReady) + '  (click to the whole list answering a typed word)');
        const index = await h.waitPage(page, 'whindex.html');
        const ix = await index.evaluate(() => {
            const list = document.forms[0].indexlist;
            list.options.length = 0;
            let s = performance.now();
            Startup();
            const startup = performance.now() - s;
            const probes = [];
            for (let i = 0; i < 50; i++) {
                const text = IndexItems[(i * 397) % IndexItems.length][0].trim().substring(0, 3 + (i % 4));
                probes.push(text);
            }
            let found = 0;
            s = performance.now();
            for (const p of probes) {
                gWhLastMatch = null;
                if (SelectMatch(p))
                    found++;
            }
            const lookup = (performance.now() - s) / probes.length;
            return { count: WhIndexCount(list), startup, lookup, found, probes: probes.length };
        });
        console.log('index keywords        ' + String(ix.count).padStart(8));
        console.log('index list filled     ' + ms(ix.startup));
        console.log('index lookup, mean    ' + ms(ix.lookup) + '  (' + ix.found + ' of ' + ix.probes + ' prefixes found)');

        const searchData = fs.readFileSync(path.join(dir, 'whfiles', 'searchdata.js'), 'latin1');
        const firstKey = (/SearchIndexes\s*=\s*\[\s*\["([^"]*)"/.exec(searchData) || [])[1];
        let searchAnswered = 0;
        const searchReady = await tabReady(page, '#btnsearch', 'whsearch.html', () => {
            const form = document.forms['searchform'];
            return !!(form && form.elements['searchtext'] && form.elements['founddocslist'] && typeof Search == 'function');
        }, async (frame, t0) => {
            // A keyword typed as soon as the tab answers: its pages listed.
            if (firstKey === undefined)
                return;
            await frame.evaluate((key) => {
                window.alert = function () {};
                Search(key);
            }, firstKey);
            await h.waitFor(() => frame.evaluate(() => document.forms['searchform'].founddocslist.options.length > 0),
                'the first results', 60000);
            searchAnswered = performance.now() - t0;
        });
        console.log('search tab ready      ' + ms(searchReady) + '  (click to the search form answering)');
        console.log('first search listed  ' + ms(searchAnswered) + '  (click, then a keyword searched at once)');
        const search = await h.waitPage(page, 'whsearch.html');
        const sr = await search.evaluate(() => {
            window.alert = function () {};
            const key = (i) => SearchIndexes[i % SearchIndexes.length][0];
            const requests = [key(1), key(7) + ' ' + key(13), key(3) + ' OR ' + key(49), key(10) + ' OR ' + key(20) + ' OR ' + key(30) + ' ' + key(2)];
            let s = performance.now();
            Search(requests[0]);
            const first = performance.now() - s;
            const each = [];
            for (const r of requests) {
                s = performance.now();
                request = PrepareRequest(r).split(' ');
                RecursiveSearch(0, true, []);
                const match = performance.now() - s;
                s = performance.now();
                Search(r);
                each.push({ r, match, t: performance.now() - s, n: document.forms['searchform'].founddocslist.options.length });
            }
            return { keywords: SearchIndexes.length, pages: SearchFiles.length, first, each };
        });
        console.log('search keywords       ' + String(sr.keywords).padStart(8) + '  pages ' + sr.pages);
        console.log('first search          ' + ms(sr.first) + '  (builds the keyword map)');
        for (const e of sr.each)
            console.log('search ' + ('"' + e.r + '"').padEnd(34) + ms(e.t) + '  ' + String(e.n).padStart(5) + ' pages, of which matching' + ms(e.match));
        await page.close();
    } finally {
        await browser.close();
        await server.close();
        if (!given)
            h.removeDir(dir);
    }
})().catch((e) => {
    console.error(e);
    process.exit(1);
});
