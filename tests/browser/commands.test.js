// The top window's command table driven from the frames, over http (called directly, and posted)
// and from disk (posted): each command does its work, refuses bad arguments and reaches nothing
// outside the table.
'use strict';

const h = require('./harness.js');
h.requireTools();

const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const env = h.siteInChromium(before, after);

// The state as it was before the command.
const SAME = Symbol('unchanged');

// A frame of the site by name; "tree" is the one that shows the contents tree.
async function frameNamed(page, name) {
    return name === 'tree' ? h.waitTree(page) : h.frame(page, name);
}

// Readers of the state, run in the window of index.html or in a frame.
const top = (fn) => (page) => page.mainFrame().evaluate(fn);
const inFrame = (name, fn) => async (page) => (await frameNamed(page, name)).evaluate(fn);
const pane = top(() => [document.gbShow, document.getElementById('whPfset').cols, document.gstrFrameLastSetting]);

// Run in order on one page: each case starts from the state the one before it left.
const CASES = [
    { fn: 'set', args: ['searchquery', 'alpha beta'], read: top(() => searchquery), want: 'alpha beta' },
    { fn: 'set', args: ['searchquery', 7], read: top(() => searchquery), want: SAME },
    { fn: 'set', args: ['F', 'x.htm'], read: top(() => F), want: SAME },
    { fn: 'tab', args: [2], read: top(() => document.gcurpage), want: 2 },
    { fn: 'tab', args: ['1'], read: top(() => document.gcurpage), want: SAME },
    // Called over http, the array is the header's own: no instance of the top window's Array.
    { fn: 'hilight', args: [['alpha', 'beta']], read: top(() => gWhHilight), want: ['alpha', 'beta'] },
    { fn: 'hilight', args: ['alpha'], read: top(() => gWhHilight), want: null },
    { fn: 'navDelta', args: [1], read: top(() => [pagenum, pageid]), want: [1, 'source/html/install.htm'] },
    { fn: 'navDelta', args: ['1'], read: top(() => pagenum), want: SAME },
    { fn: 'hidePane', args: ['123,*'], read: pane, want: [false, '0,*', '123,*'] },
    { fn: 'showPane', args: [], read: pane, want: [true, '123,*', '123,*'] },
    { fn: 'hidePane', args: ['1,*;x'], read: pane, want: [false, '0,*', '123,*'] },
    { fn: 'showPane', args: [], read: pane, want: [true, '123,*', '123,*'] },
    // The tree shows the top window's page again, whatever it shows itself.
    { fn: 'treeready', from: 'tree', prepare: inFrame('tree', () => trees[0].dOpenTreeNode(5)),
        read: inFrame('tree', () => trees[0].selected.n_id), want: 1 },
    // The content page's first message takes the words to highlight; only a page that cannot
    // read the top window highlights them from the answer.
    { fn: 'hello', from: 'content', prepare: openScriptedWithWords,
        read: async (page) => [await top(() => gWhHilight)(page),
            await inFrame('content', () => document.querySelectorAll('span[style*="background-color"]').length)(page)],
        want: (mode) => [null, mode === 'file' ? 2 : 0] },
    // Names outside the table: the object's own, and a function of the runtime.
    { fn: '__defineGetter__', args: ['x'], read: top(() => searchquery), want: SAME },
    { fn: 'WhStepPage', args: [1], read: top(() => pagenum), want: SAME }
];

async function openScriptedWithWords(page) {
    await page.mainFrame().evaluate(() => { frames['content'].location.href = 'source/html/scripted.htm'; });
    await h.waitContent(page, 'source/html/scripted.htm');
    await h.frame(page, 'header').evaluate(() => WhRunOnTop('hilight', [['alpha']]));
    await h.waitFor(() => top(() => Array.isArray(gWhHilight))(page), 'words to highlight');
}

// How a frame gives the top window a command: the runtime's own way, or a message of its own.
const WAYS = {
    call: (f, fn, args) => f.evaluate(([n, a]) => WhRunOnTop(n, a), [fn, args]),
    post: (f, fn, args) => f.evaluate(([n, a]) => top.postMessage({ whmsg: 'call', fn: n, args: a }, '*'), [fn, args])
};

// Runs the cases on a fresh site, which must report no script error.
async function runCases(mode, way) {
    const page = await h.openSite(env.browser, env.base(mode));
    try {
        const tree = await h.waitTree(page);
        await h.waitFor(() => h.selectedTreeEntry(tree), 'the start page selected');
        const table = await page.mainFrame().evaluate(() => Object.keys(gWhTopCommands).sort());
        assert.deepEqual(Array.from(new Set(CASES.map((c) => c.fn).filter((fn) => table.includes(fn)))).sort(), table,
            'a case for every command');
        for (const [i, c] of CASES.entries()) {
            const what = i + ': ' + c.fn + ' ' + JSON.stringify(c.args || []);
            if (c.prepare)
                await c.prepare(page);
            const read = () => c.read(page);
            const before = await read();
            const from = await frameNamed(page, c.from || 'header');
            await WAYS[way](from, c.fn, c.args || []);
            let want = typeof c.want == 'function' ? c.want(mode) : c.want;
            if (want === SAME) {
                // Commands of one frame run in order: once the next one is done, this one is.
                await WAYS[way](from, 'set', ['indexquery', 'after ' + i]);
                await h.waitFor(() => page.mainFrame().evaluate((q) => indexquery === q, 'after ' + i), 'after ' + what);
                want = before;
            } else {
                await h.waitFor(async () => JSON.stringify(await read()) === JSON.stringify(want), what, 3000).catch(() => {});
            }
            assert.deepEqual(await read(), want, what);
        }
        assert.deepEqual(page.errors, [], 'script errors in the site');
    } finally {
        await page.close();
    }
}

for (const mode of ['http', 'file']) {
    // From disk every frame posts, so the runtime's way is a message too.
    for (const way of mode === 'http' ? ['call', 'post'] : ['call']) {
        test('every command of the top window does its work for a frame, and no more, over ' + mode + ' (' + way + ')',
            () => runCases(mode, way));
    }
}
