// Shared helpers of the browser tests: a site to test, a loopback server, Chromium through
// playwright-core, error collection in every frame.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const http = require('node:http');
const { spawnSync } = require('node:child_process');

const SOURCE_DIR = process.env.WEBHELP_SOURCE_DIR || path.resolve(__dirname, '..', '..');
const BUILD_DIR = process.env.WEBHELP_BUILD_DIR || path.join(SOURCE_DIR, 'build');
const RUNTIME_DIR = path.join(SOURCE_DIR, 'output', 'runtime');
const CHROMIUM = process.env.WEBHELP_CHROMIUM || '/usr/bin/chromium';
const SKIP_CODE = 77;

// Exits with CTest's skip code when the browser tools are not installed.
function requireTools(extra) {
    const missing = [];
    try {
        require.resolve('playwright-core');
    } catch (e) {
        missing.push('playwright-core (run "npm ci" in ' + SOURCE_DIR + ')');
    }
    for (const file of [CHROMIUM].concat(extra || [])) {
        if (!fs.existsSync(file))
            missing.push(file);
    }
    if (missing.length) {
        console.log('SKIPPED: missing ' + missing.join(', '));
        process.exit(SKIP_CODE);
    }
}

// A transparent 16x16 GIF stands in for images the hand-made site does not carry.
function blankGif() {
    // LZW with a minimum code size of 2: "clear, 0, 0" keeps every code 3 bits wide.
    const codes = [];
    for (let i = 0; i < 128; i++)
        codes.push(4, 0, 0);
    codes.push(5);
    const data = [];
    let acc = 0;
    let bits = 0;
    for (const code of codes) {
        acc |= code << bits;
        bits += 3;
        while (bits >= 8) {
            data.push(acc & 0xff);
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        data.push(acc & 0xff);
    const blocks = [];
    for (let i = 0; i < data.length; i += 255) {
        const chunk = data.slice(i, i + 255);
        blocks.push(chunk.length, ...chunk);
    }
    return Buffer.from([
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 16, 0, 16, 0, 0x80, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff,
        0x21, 0xf9, 4, 1, 0, 0, 0, 0,
        0x2c, 0, 0, 0, 0, 16, 0, 16, 0, 0, 2, ...blocks, 0, 0x3b]);
}
const BLANK_GIF = blankGif();

function makeTempDir(prefix) {
    return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}

// The hand-made site with the runtime files of this source tree in whfiles/.
function makeFixtureSite(fixture) {
    const dir = makeTempDir('whsite-');
    fs.cpSync(path.join(__dirname, fixture || 'site'), dir, { recursive: true });
    const whfiles = path.join(dir, 'whfiles');
    for (const name of fs.readdirSync(RUNTIME_DIR)) {
        if (/\.(js|css|gif)$/.test(name))
            fs.copyFileSync(path.join(RUNTIME_DIR, name), path.join(whfiles, name));
    }
    for (let i = 0; i <= 11; i++) {
        for (const name of ['wh_' + i + '.gif', i + '.gif']) {
            const file = path.join(whfiles, name);
            if (!fs.existsSync(file))
                fs.writeFileSync(file, BLANK_GIF);
        }
    }
    return dir;
}

// A site converted by the built host program; null when the host cannot convert it.
function convertSite(chm, options) {
    const dir = makeTempDir('whconv-');
    const host = path.join(BUILD_DIR, 'webhelp');
    const args = ['convert', chm, '-o', dir].concat(options || []);
    const run = spawnSync(host, args, { encoding: 'utf8' });
    if (run.status !== 0 || !fs.existsSync(path.join(dir, 'index.html'))) {
        console.log('conversion failed: ' + host + ' ' + args.join(' ') + '\n' + run.stdout + run.stderr);
        return null;
    }
    return dir;
}

// The site a test file checks: the hand-made one, or with WEBHELP_TEMPLATE=<set> the compiled
// fixture "browsersite" converted with that template set. Skips (exit 77) while the converter
// cannot make such a site yet, naming what is missing.
function siteUnderTest() {
    if (process.env.WEBHELP_SITE_DIR)
        return { dir: process.env.WEBHELP_SITE_DIR, owned: false };
    const set = process.env.WEBHELP_TEMPLATE;
    if (!set)
        return { dir: makeFixtureSite(), owned: true };
    const skip = (why) => {
        console.log('SKIPPED: ' + why);
        process.exit(SKIP_CODE);
    };
    if (!fs.existsSync(path.join(BUILD_DIR, 'whtemplates', set, 'whheaderc.tmpl')))
        skip('template set "' + set + '" is not in ' + BUILD_DIR + '/whtemplates');
    const chm = path.join(BUILD_DIR, 'chm', 'browsersite', 'browsersite.chm');
    if (!fs.existsSync(chm))
        skip(chm + ' is not compiled');
    const dir = convertSite(chm, ['--template', set, '--charset', 'utf-8', '-q']);
    if (!dir)
        throw new Error('the conversion of ' + chm + ' failed');
    const missing = ['index.html', 'whnavc.html', 'whcontents.html', 'whindex.html', 'whsearch.html',
        'whfiles/whtree.js', 'whfiles/contentsdata.js', 'whfiles/indexdata.js', 'whfiles/searchdata.js',
        'source/html/start.htm'].filter((f) => !fs.existsSync(path.join(dir, f)));
    const data = (f) => (fs.existsSync(path.join(dir, f)) ? fs.readFileSync(path.join(dir, f), 'latin1') : '');
    if (!/source\/html\/start\.htm/.test(data('whfiles/contentsdata.js')))
        missing.push('contents entries');
    if (!/source\/html\/start\.htm/.test(data('whfiles/indexdata.js')))
        missing.push('index entries');
    if (!/"alpha"/.test(data('whfiles/searchdata.js')))
        missing.push('search keywords');
    if (missing.length) {
        removeDir(dir);
        skip('the converter does not write ' + missing.join(', ') + ' yet');
    }
    return { dir, owned: true };
}

function removeDir(dir) {
    if (dir)
        fs.rmSync(dir, { recursive: true, force: true });
}

const MIME = {
    '.html': 'text/html', '.htm': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
    '.gif': 'image/gif', '.png': 'image/png', '.jpg': 'image/jpeg'
};

// Static files of root on 127.0.0.1; the query string is ignored and ".." refused.
function startServer(root) {
    const server = http.createServer((req, res) => {
        let name;
        try {
            name = decodeURIComponent(req.url.split('?')[0].split('#')[0]);
        } catch (e) {
            name = '';
        }
        if (!name || name.split('/').includes('..')) {
            res.writeHead(403);
            res.end();
            return;
        }
        if (name.endsWith('/'))
            name += 'index.html';
        fs.readFile(path.join(root, name), (err, data) => {
            if (err) {
                res.writeHead(404);
                res.end();
                return;
            }
            res.writeHead(200, { 'Content-Type': MIME[path.extname(name).toLowerCase()] || 'application/octet-stream' });
            res.end(data);
        });
    });
    return new Promise((resolve) => {
        server.listen(0, '127.0.0.1', () => {
            resolve({
                url: 'http://127.0.0.1:' + server.address().port + '/',
                close: () => new Promise((done) => server.close(done))
            });
        });
    });
}

async function launchChromium() {
    const { chromium } = require('playwright-core');
    return chromium.launch({
        executablePath: CHROMIUM,
        headless: true,
        args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
            '--disable-component-update', '--disable-sync']
    });
}

function fileUrl(dir) {
    return 'file://' + dir.split(path.sep).map(encodeURIComponent).join('/') + '/';
}

// Opens index.html (plus query) in a fresh page; collects script errors of every frame and
// answers alerts, recording their texts.
async function openSite(browser, base, query) {
    const page = await browser.newPage();
    page.setDefaultTimeout(10000);
    page.errors = [];
    page.dialogs = [];
    page.on('pageerror', (err) => page.errors.push('pageerror: ' + err.message));
    page.on('console', (msg) => {
        // The browser's own favicon request is not the site's.
        if (msg.type() === 'error' && !(msg.location().url || '').endsWith('/favicon.ico'))
            page.errors.push('console: ' + msg.text() + ' @ ' + (msg.location().url || ''));
    });
    page.on('dialog', (dialog) => {
        page.dialogs.push(dialog.message());
        dialog.dismiss().catch(() => {});
    });
    await page.goto(base + 'index.html' + (query || ''));
    await waitTree(page);
    return page;
}

function frame(page, name) {
    return page.frame({ name: name });
}

async function waitFor(fn, what, timeout) {
    const end = Date.now() + (timeout || 10000);
    for (;;) {
        let value;
        try {
            value = await fn();
        } catch (e) {
            value = undefined;
        }
        if (value)
            return value;
        if (Date.now() > end)
            throw new Error('timed out waiting for ' + what);
        await new Promise((r) => setTimeout(r, 25));
    }
}

// The frame that shows the contents tree, once the tree is written.
async function waitTree(page) {
    return waitFor(async () => {
        for (const f of page.frames()) {
            if (await f.evaluate(() => typeof trees != 'undefined' && trees.length > 0 && !!document.getElementById('i_txt0')).catch(() => false))
                return f;
        }
        return null;
    }, 'the contents tree');
}

// The frame whose page loads the given file (whindex.html, whsearch.html, ...).
async function waitPage(page, file) {
    return waitFor(async () => {
        for (const f of page.frames()) {
            if (f.url().split('?')[0].endsWith('/' + file) && await f.evaluate(() => document.readyState == 'complete').catch(() => false))
                return f;
        }
        return null;
    }, file);
}

// Clicks the first visible element that calls the given runtime function (its onclick or its
// javascript: address), looking in the preferred frame first, then in every frame.
async function clickCall(page, call, preferred) {
    const selector = '[onclick*="' + call + '"], [href*="' + call + '"]';
    const target = await waitFor(async () => {
        const frames = page.frames().slice();
        frames.sort((a, b) => (b.name() === preferred) - (a.name() === preferred));
        for (const f of frames) {
            const handles = await f.$$(selector).catch(() => []);
            for (const el of handles) {
                if (await el.isVisible())
                    return { f, el };
            }
        }
        return null;
    }, 'an element calling ' + call);
    await target.el.click();
}

async function contentUrl(page) {
    return frame(page, 'content').url();
}

async function waitContent(page, suffix) {
    return waitFor(async () => {
        const url = await contentUrl(page);
        const ok = url.endsWith(suffix) && await frame(page, 'content').evaluate(() => document.readyState == 'complete');
        return ok ? url : null;
    }, 'content ' + suffix);
}

// State of the window of index.html, read with the test's own access.
async function topState(page) {
    return page.mainFrame().evaluate(() => ({
        pageid: pageid, pagenum: pagenum, indexquery: indexquery, F: F,
        gbShow: document.gbShow, gcurpage: document.gcurpage, cols: document.getElementById('whPfset').cols
    }));
}

async function selectedTreeEntry(tree) {
    return tree.evaluate(() => {
        const m = trees[0].selected;
        if (!m)
            return null;
        const el = document.getElementById('i_txt' + m.n_id);
        return { id: m.n_id, bold: el.style.fontWeight, text: el.textContent.replace(/\u00a0/g, ' ').trim() };
    });
}

// Opens the search hit whose address is file from the Search tab's frame.
async function openFoundDoc(search, file) {
    await search.evaluate((f) => {
        const list = document.forms['searchform'].founddocslist;
        list.selectedIndex = Array.from(list.options).findIndex((o) => o.value === f);
        OpenFoundDoc();
    }, file);
}

// The words highlighted in the content frame.
async function highlights(page) {
    return frame(page, 'content').evaluate(() =>
        Array.from(document.querySelectorAll('span[style]')).filter((s) => /background-color:\s*#FFFF00/i.test(s.getAttribute('style'))).map((s) => s.textContent));
}

// The site under test, served on 127.0.0.1 and shown in one Chromium for the whole file: the
// caller's before/after hooks start and end both. base(mode) is the site's address over 'http'
// or from 'file'.
function siteInChromium(before, after) {
    const { dir, owned } = siteUnderTest();
    const env = { site: dir, server: null, browser: null };
    env.base = (mode) => (mode === 'http' ? env.server.url : fileUrl(dir));
    before(async () => {
        env.server = await startServer(dir);
        env.browser = await launchChromium();
    });
    after(async () => {
        await env.browser.close();
        await env.server.close();
        if (owned)
            removeDir(dir);
    });
    return env;
}

// A compiled fixture converted with options (the converter's command-line options), served on
// 127.0.0.1 and shown in one Chromium for the caller's describe block; the caller's before/after
// hooks start and end all three.
function convertedSiteInChromium(before, after, chm, options) {
    const env = { site: null, server: null, browser: null };
    before(async () => {
        if (!fs.existsSync(chm)) {
            console.log('SKIPPED: ' + chm + ' is not compiled');
            process.exit(77);
        }
        env.site = convertSite(chm, options);
        if (!env.site)
            throw new Error('the conversion of ' + chm + ' failed');
        env.server = await startServer(env.site);
        env.browser = await launchChromium();
    });
    after(async () => {
        if (env.browser)
            await env.browser.close();
        if (env.server)
            await env.server.close();
        if (env.site)
            removeDir(env.site);
    });
    return env;
}

module.exports = {
    SOURCE_DIR, BUILD_DIR, RUNTIME_DIR, requireTools, makeFixtureSite, siteUnderTest, convertSite, removeDir, startServer,
    launchChromium, siteInChromium, convertedSiteInChromium, fileUrl, openSite, frame, waitFor, clickCall, waitTree, waitPage, contentUrl, waitContent, topState,
    selectedTreeEntry, makeTempDir, openFoundDoc, highlights
};
