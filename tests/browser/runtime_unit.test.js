// The runtime's data functions, run in Node without a browser.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { test } = require('node:test');
const assert = require('node:assert/strict');

const RUNTIME = path.resolve(__dirname, '..', '..', 'output', 'runtime');

// A window of its own with the given scripts loaded, as a page would load them.
function load(globals, ...files) {
    const sandbox = Object.assign({ alerts: [] }, globals);
    sandbox.window = sandbox;
    sandbox.top = sandbox;
    sandbox.parent = sandbox;
    sandbox.name = '';
    sandbox.frames = { length: 0 };
    sandbox.addEventListener = () => {};
    sandbox.alert = (text) => sandbox.alerts.push(text);
    sandbox.navigator = { appVersion: '5.0 (X11)', userAgent: 'Mozilla/5.0', appName: 'Netscape' };
    sandbox.location = { search: globals.search || '' };
    sandbox.document = {};
    vm.createContext(sandbox);
    for (const file of files)
        vm.runInContext(fs.readFileSync(path.join(RUNTIME, file), 'utf8'), sandbox, { filename: file });
    return sandbox;
}

test('getfilesarray lists every entry\'s address in tree order', () => {
    const cases = [
        [null, []],
        [[], []],
        [[['A', 'a.htm', '1']], ['a.htm']],
        [[['A', null, '1', ['B', 'b.htm', '11'], ['C', 'c.htm', '11', ['D', null, '11']]], ['E', 'e.htm', '11']],
            [null, 'b.htm', 'c.htm', null, 'e.htm']],
        [[['A', 'a.htm', '1', null, ['B', 'b.htm', '11']]], ['a.htm', 'b.htm']]
    ];
    const w = load({}, 'whcontents.js');
    for (const [items, files] of cases)
        assert.deepEqual(Array.from(w.getfilesarray(items)), files, JSON.stringify(items));
});

test('the start page comes from the first "page" pair, decoded and made safe', () => {
    const cases = [
        ['', 'source/html/intro.htm'],
        ['?page=source%2Fa.htm', 'source/a.htm'],
        ['?x=1&page=a.htm&page=b.htm', 'a.htm'],
        ['?pages=x&page=my%20page.htm&y', 'my page.htm'],
        ['?page=%E4%B8%AD%E6%96%87.htm', '\u4e2d\u6587.htm'],
        ['?page=%u4E2D.htm', '\u4e2d.htm'],
        ['?page=', ''],
        ['?page=a%22%3E%3Cscript%3E.htm', 'a%22%3E%3Cscript%3E.htm'],
        ['?page=JavaScript:alert(1)', ''],
        ['?page=%20data:text/html,x', '']
    ];
    for (const [search, start] of cases) {
        const w = load({ search, gInitURL: 'source/html/intro.htm' }, 'whhelper.js', 'index.js');
        assert.equal(w.F, start, search);
        assert.equal(w.pageid, start, search);
        assert.equal(vm.runInContext('webhelptop.whtopframe === window && document.gbShow === true', w), true);
    }
});

test('the query that names a page gives the page back, whatever its characters', () => {
    const cases = [
        ['source/a.htm', '?page=source/a.htm'],
        ['source/my page.htm', '?page=source/my%20page.htm'],
        ['source/a.htm#part', '?page=source/a.htm%23part'],
        ['source/a&page=b.htm', '?page=source/a%26page%3Db.htm'],
        ['source/a+b%20c.htm', '?page=source/a%2Bb%2520c.htm'],
        ['source/q.htm?x=1', '?page=source/q.htm%3Fx%3D1'],
        ['source/\u4e2d\u6587/\ud55c.htm', '?page=source/%E4%B8%AD%E6%96%87/%ED%95%9C.htm'],
        ['source/\ud800.htm', null]
    ];
    const w = load({ gInitURL: '' }, 'whhelper.js', 'index.js');
    for (const [address, query] of cases) {
        assert.equal(w.WhPageQuery(address), query, address);
        if (query !== null)
            assert.equal(w.WhPageParam(query.substring(1)), address, address);
    }
});

test('search requests are tidied, checked and evaluated left to right', () => {
    const data = {
        SearchIndexes: [['a', [1, 2, 3]], ['b', [3, 4]], ['c', [5]], ['a', [9]]],
        SearchFiles: [], SearchTitles: []
    };
    const w = load(data, 'whhelper.js', 'whsearch.js');
    assert.equal(w.PrepareRequest('  a   b  '), 'a b');
    assert.equal(w.PrepareRequest('a\tb'), 'a\tb');
    const cases = [
        ['a b', [3]], ['a OR b', [3, 4, 1, 2]], ['b OR a', [1, 2, 3, 4]], ['a OR x AND b', [1, 2, 3]],
        ['x b', []], ['x OR b', [3, 4]], ['a AND', [1, 2, 3]], ['OR', []], ['a b OR c', [5, 3]], ['A', [1, 2, 3]],
        ['a x', []], ['a and b', []]
    ];
    for (const [req, pages] of cases) {
        w.request = w.PrepareRequest(req).split(' ');
        assert.deepEqual(Array.from(w.RecursiveSearch(0, true, [])), pages, req);
    }
    assert.deepEqual(Array.from(data.SearchIndexes[0][1]), [1, 2, 3], 'keyword lists stay as they were');
    assert.deepEqual(Array.from(data.SearchIndexes[1][1]), [3, 4]);
    w.request = Array(20000).fill('a');
    assert.deepEqual(Array.from(w.RecursiveSearch(0, true, [])), [1, 2, 3], 'a long request');
    assert.equal(w.ValidateRequest('plain words 123'), true);
    const refused = '`~!@#$%^&*()-+={}[]|\\<>,.?/;:\'"';
    assert.equal(refused.length, 31);
    for (const ch of refused) {
        w.alerts.length = 0;
        assert.equal(w.ValidateRequest('ab' + ch + 'c' + ch), false, ch);
        assert.deepEqual(Array.from(w.alerts), ['Invalid character at position 3!'], ch);
    }
});

test('browsers are classed as the search script expects', () => {
    const cases = [
        [{ appVersion: '5.0 (X11)', userAgent: 'Mozilla/5.0 Chrome/120', appName: 'Netscape' }, 'netscape'],
        [{ appVersion: '4.0 (compatible; MSIE 6.0; Windows NT 5.1)', userAgent: 'Mozilla/4.0 (compatible; MSIE 6.0)', appName: 'Microsoft Internet Explorer' }, 'ie'],
        [{ appVersion: '9.80 (Windows NT 6.1)', userAgent: 'Opera/9.80', appName: 'Opera' }, 'opera'],
        [{ appVersion: '3.0 (Windows)', userAgent: 'Opera/3.0', appName: 'Opera' }, 'ie']
    ];
    for (const [nav, kind] of cases) {
        const w = load({}, 'whhelper.js');
        w.navigator = nav;
        vm.runInContext(fs.readFileSync(path.join(RUNTIME, 'whsearch.js'), 'utf8'), w);
        assert.equal(w.browser, kind, nav.userAgent);
    }
});
