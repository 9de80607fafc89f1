// Smoke run in Firefox ESR (headless, over WebDriver BiDi): the site loads over http and from
// disk, its tabs work, and no frame reports a script error.
'use strict';

const h = require('./harness.js');
const FIREFOX = process.env.WEBHELP_FIREFOX || '/usr/bin/firefox-esr';
h.requireTools([FIREFOX]);

// Node before 22 has no WebSocket of its own; playwright-core carries one.
const WebSocketClient = typeof WebSocket == 'undefined' ? require('playwright-core/lib/utilsBundle').ws : WebSocket;

const fs = require('node:fs');
const path = require('node:path');
const { spawn } = require('node:child_process');
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const { dir: site, owned } = h.siteUnderTest();
let server;
let firefox;
let profile;
let bidi;

// A minimal WebDriver BiDi client: commands by id, events to listeners.
function connect(url) {
    return new Promise((resolve, reject) => {
        const ws = new WebSocketClient(url);
        const pending = new Map();
        const listeners = [];
        let next = 1;
        ws.onmessage = (event) => {
            const msg = JSON.parse(event.data);
            if (msg.id && pending.has(msg.id)) {
                const { ok, fail } = pending.get(msg.id);
                pending.delete(msg.id);
                if (msg.type === 'error')
                    fail(new Error(msg.error + ': ' + msg.message));
                else
                    ok(msg.result);
            } else if (msg.type === 'event') {
                for (const fn of listeners)
                    fn(msg);
            }
        };
        ws.onerror = () => reject(new Error('cannot connect to ' + url));
        ws.onopen = () => resolve({
            send(method, params) {
                const id = next++;
                ws.send(JSON.stringify({ id, method, params: params || {} }));
                return new Promise((ok, fail) => pending.set(id, { ok, fail }));
            },
            on(fn) {
                listeners.push(fn);
            },
            close() {
                ws.close();
            }
        });
    });
}

function startFirefox() {
    profile = h.makeTempDir('whff-');
    // The remote agent relaxes file:// origins; users have them strict.
    fs.writeFileSync(path.join(profile, 'user.js'), 'user_pref("security.fileuri.strict_origin_policy", true);\n');
    firefox = spawn(FIREFOX, ['--headless', '--remote-debugging-port=0', '--profile', profile, '--no-remote'],
        { stdio: ['ignore', 'ignore', 'pipe'] });
    return new Promise((resolve, reject) => {
        let text = '';
        const timer = setTimeout(() => reject(new Error('firefox did not start:\n' + text)), 60000);
        firefox.stderr.on('data', (chunk) => {
            text += chunk;
            const m = /WebDriver BiDi listening on (ws:\/\/[^\s]+)/.exec(text);
            if (m) {
                clearTimeout(timer);
                resolve(m[1]);
            }
        });
    });
}

// Every context below root with its url (frames included).
async function contexts(root) {
    const { contexts: tree } = await bidi.send('browsingContext.getTree', { root });
    const all = [];
    const walk = (list) => {
        for (const c of list) {
            all.push(c);
            walk(c.children || []);
        }
    };
    walk(tree);
    return all;
}

async function evaluate(context, expression) {
    const r = await bidi.send('script.evaluate', { expression, target: { context }, awaitPromise: false });
    if (r.type === 'exception')
        throw new Error(r.exceptionDetails.text);
    return r.result.value;
}

async function frameOf(root, file) {
    return h.waitFor(async () => {
        for (const c of await contexts(root)) {
            if (c.url.split('?')[0].endsWith('/' + file) && await evaluate(c.context, 'document.readyState == "complete"'))
                return c.context;
        }
        return null;
    }, file, 15000);
}

before(async () => {
    server = await h.startServer(site);
    const url = await startFirefox();
    bidi = await connect(url.replace(/\/?$/, '') + '/session');
    await bidi.send('session.new', { capabilities: {} });
});

after(async () => {
    if (bidi) {
        await bidi.send('browser.close').catch(() => {});
        bidi.close();
    }
    if (firefox)
        await new Promise((resolve) => {
            const timer = setTimeout(() => { firefox.kill('SIGKILL'); resolve(); }, 5000);
            firefox.on('exit', () => { clearTimeout(timer); resolve(); });
        });
    await server.close();
    h.removeDir(profile);
    if (owned)
        h.removeDir(site);
});

for (const mode of ['http', 'file']) {
    test('Firefox shows the site over ' + mode + ' without script errors', async () => {
        const base = mode === 'http' ? server.url : h.fileUrl(site);
        const errors = [];
        bidi.on((msg) => {
            if (msg.method === 'log.entryAdded' && msg.params.level === 'error' && !/favicon\.ico/.test(msg.params.text || ''))
                errors.push(msg.params.text);
        });
        await bidi.send('session.subscribe', { events: ['log.entryAdded'] });
        const { context } = await bidi.send('browsingContext.create', { type: 'tab' });
        await bidi.send('browsingContext.navigate', { context, url: base + 'index.html', wait: 'complete' });

        const tree = await frameOf(context, 'whcontents.html');
        await h.waitFor(() => evaluate(tree, 'trees.length == 1 && trees[0].selected != null && trees[0].selected.n_id == 0'), 'the start page selected', 15000);
        const header = await frameOf(context, 'whheaderc.html');
        assert.equal(await evaluate(header, 'WhTopFrame() !== null'), mode === 'http');

        await evaluate(header, 'OnClickButton(1)');
        const index = await frameOf(context, 'whindex.html');
        assert.equal(await evaluate(index, 'SelectMatch("fo") && document.forms[0].indexlist.selectedIndex'), 3);
        await evaluate(index, 'ShowMatch()');
        await h.waitFor(async () => (await contexts(context)).some((c) => c.url.endsWith('/source/html/overview.htm')), 'overview page', 15000);

        await evaluate(await frameOf(context, 'whheaderi.html'), 'OnClickButton(2)');
        const search = await frameOf(context, 'whsearch.html');
        assert.equal(await evaluate(search, 'Search("alpha OR beta") && document.forms["searchform"].founddocslist.options.length'), 5);

        await evaluate(await frameOf(context, 'whheaders.html'), 'OnClickButton(0)');
        const tree2 = await frameOf(context, 'whcontents.html');
        await h.waitFor(() => evaluate(tree2, 'trees[0].selected != null && trees[0].selected.n_id == 5'), 'the shown page selected', 15000);
        await evaluate(await frameOf(context, 'whheaderc.html'), 'navDelta(1)');
        await h.waitFor(async () => (await contexts(context)).some((c) => c.url.endsWith('/source/html/deep.htm')), 'next page', 15000);

        await bidi.send('browsingContext.close', { context });
        assert.deepEqual(errors, []);
    });
}
