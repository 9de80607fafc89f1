// The converted site as a reader sees it in Chromium: every template set shows its header bar,
// the three frames and its own images; a Chinese title and captions read right in gb2312, utf-8
// and windows-1252 sites. Screenshots are kept in <build>/test-artifacts/output/ for looking at.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { spawnSync } = require('node:child_process');
const h = require('./harness.js');
h.requireTools();

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const SETS = ['general', 'default', 'xpblue', 'xpgreen', 'xpsilver'];
const CHM = path.join(h.BUILD_DIR, 'chm', 'outputsample', 'sample.chm');
const ARTIFACTS = path.join(h.BUILD_DIR, 'test-artifacts', 'output');
const CAPTIONS = ['--caption-contents', 'Contents', '--caption-index', 'Index', '--caption-search', 'Search'];
const CHINESE = {
    title: '\u4e2d\u6587\u5e2e\u52a9', contents: '\u76ee\u5f55', index: '\u7d22\u5f15', search: '\u641c\u7d22',
    home: '\u4e3b\u9875', print: '\u6253\u5370', prev: '\u4e0a\u4e00\u9875', next: '\u4e0b\u4e00\u9875'
};

function skip(why) {
    console.log('SKIPPED: ' + why);
    process.exit(77);
}

// Converts the sample into a folder of root.
const root = h.makeTempDir('whout-');
function convert(name, options) {
    const dir = path.join(root, name);
    const run = spawnSync(path.join(h.BUILD_DIR, 'webhelp'), ['convert', CHM, '-o', dir, '-q'].concat(options),
        { encoding: 'utf8' });
    assert.equal(run.status, 0, 'webhelp convert ' + options.join(' ') + '\n' + run.stdout + run.stderr);
    return dir;
}

if (!fs.existsSync(CHM))
    skip(CHM + ' is not compiled');
for (const set of SETS) {
    if (!fs.existsSync(path.join(h.BUILD_DIR, 'whtemplates', set, 'whheaderc.tmpl')))
        skip('template set "' + set + '" is not in ' + h.BUILD_DIR + '/whtemplates');
}

const sites = {};
for (const set of SETS)
    sites[set] = convert(set, ['--template', set, '--charset', 'utf-8', '--title', 'Output Sample'].concat(CAPTIONS));
const chineseOptions = ['--title', CHINESE.title, '--caption-contents', CHINESE.contents,
    '--caption-index', CHINESE.index, '--caption-search', CHINESE.search, '--tip-home', CHINESE.home,
    '--tip-print', CHINESE.print, '--tip-prev', CHINESE.prev, '--tip-next', CHINESE.next];
const charsets = { 'gb2312': 'GBK', 'utf-8': 'UTF-8', 'windows-1252': 'windows-1252' };
const chineseSites = {};
for (const charset of Object.keys(charsets))
    chineseSites[charset] = convert('zh-' + charset, ['--template', 'xpblue', '--charset', charset].concat(chineseOptions));

let browser;
let server;

before(async () => {
    fs.mkdirSync(ARTIFACTS, { recursive: true });
    browser = await h.launchChromium();
});

after(async () => {
    await browser.close();
    if (server)
        await server.close();
    h.removeDir(root);
});

async function open(base) {
    const page = await h.openSite(browser, base);
    await page.setViewportSize({ width: 900, height: 440 });
    return page;
}

// A frame of the site once its page has loaded with all its images.
async function loaded(page, name) {
    return h.waitFor(async () => {
        const f = h.frame(page, name);
        const ready = f && await f.evaluate(() => document.readyState == 'complete' &&
            Array.from(document.images).every((i) => i.complete));
        return ready ? f : null;
    }, 'the frame ' + name);
}

function images(f) {
    return f.evaluate(() => Array.from(document.images).map((i) => ({
        file: i.getAttribute('src').replace(/.*\//, ''), width: i.naturalWidth, shown: i.offsetWidth > 0
    })));
}

function sameBytes(a, b) {
    return Buffer.compare(fs.readFileSync(a), fs.readFileSync(b)) === 0;
}

describe('every template set in Chromium, opened from disk', () => {
    const barColours = new Set();

    for (const set of SETS) {
        test(set + ': header bar, three frames and the images of the set', async () => {
            const site = sites[set];
            const page = await open(h.fileUrl(site));
            try {
                const frames = await page.mainFrame().evaluate(() => Array.from(document.getElementsByTagName('frame'))
                    .map((f) => ({ name: f.name, rect: f.getBoundingClientRect().toJSON() })));
                assert.deepEqual(frames.map((f) => f.name), ['header', 'toc', 'content']);
                const [head, toc, content] = frames.map((f) => f.rect);
                assert.equal(head.height, 32, 'header frame height');
                assert.equal(head.width, 900);
                assert.equal(toc.top, content.top);
                assert.ok(toc.top >= 32, 'the pane is below the header');
                assert.equal(toc.width, 250, 'pane width');
                assert.ok(content.left >= 250 && content.width > 500, 'content frame beside the pane');

                const header = await loaded(page, 'header');
                const bar = await header.evaluate(() => {
                    const text = (id) => document.getElementById(id).textContent;
                    const css = (c) => { const d = document.createElement('div'); d.style.color = c; return d.style.color; };
                    const style = getComputedStyle(document.body);
                    return {
                        tabs: [text('btncontents'), text('btnindex'), text('btnsearch')],
                        title: text('whtitle'),
                        selected: [document.getElementById('tabcontents1').style.backgroundColor == css(selbtnbordercolor),
                            document.getElementById('tabcontents2').style.backgroundColor == css(selbtnbgcolor),
                            document.getElementById('btncontents').style.color == css(selbtntxtcolor)],
                        others: document.getElementById('tabindex2').style.backgroundColor == css(btnbgcolor),
                        background: style.backgroundImage + ' ' + style.backgroundColor,
                        height: document.getElementById('whbar').offsetHeight
                    };
                });
                assert.deepEqual(bar.tabs, ['Contents', 'Index', 'Search']);
                assert.equal(bar.title, 'Output Sample');
                assert.deepEqual(bar.selected, [true, true, true], 'the Contents tab is marked as current');
                assert.ok(bar.others, 'the other tabs are not marked');
                assert.match(bar.background, /whfiles\/wh_bg\.gif/);
                assert.ok(bar.height <= 30, 'the bar fits its frame');
                barColours.add(bar.background.replace(/url\([^)]*\)/, ''));

                const headerImages = await images(header);
                assert.deepEqual(headerImages.map((i) => i.file), ['wh_home.gif', 'wh_print.gif', 'wh_prev.gif', 'wh_next.gif']);
                const navbarImages = await images(await loaded(page, 'navbar'));
                assert.deepEqual(navbarImages.map((i) => i.file), ['wht_prev.gif', 'wht_next.gif', 'wht_sync.gif', 'wht_hide.gif']);
                for (const img of headerImages.concat(navbarImages)) {
                    assert.ok(img.width > 0 && img.shown, img.file + ' is shown');
                    assert.ok(sameBytes(path.join(site, 'whfiles', img.file), path.join(h.BUILD_DIR, 'whtemplates', set, img.file)),
                        img.file + ' is the set\'s own');
                }

                const tree = await h.waitTree(page);
                for (const id of [1, 4]) {
                    await tree.click('a[href*="toggle(' + id + ')"]');
                    await h.waitFor(() => tree.evaluate((i) => document.getElementById('divtree' + i).style.display == 'block', id), 'node ' + id + ' open');
                }
                await h.waitFor(() => tree.evaluate(() => Array.from(document.images).every((i) => i.complete)), 'tree images');
                const treeImages = await images(tree);
                for (const img of treeImages)
                    assert.ok(img.width == 16, img.file + ' is a 16 pixel picture');
                const files = new Set(treeImages.map((i) => i.file));
                for (const file of ['2.gif', '6.gif', '11.gif', '12.gif', '23.gif', 'wh_4.gif', 'wh_8.gif', 'wh_9.gif', 'wh_3.gif'])
                    assert.ok(files.has(file), file + ' in the tree');
                assert.ok(sameBytes(path.join(site, 'whfiles', '2.gif'), path.join(h.BUILD_DIR, 'whtemplates', set, '2.gif')),
                    'the open book is the set\'s own');

                await page.screenshot({ path: path.join(ARTIFACTS, set + '.png') });
                if (set === 'default') {
                    for (const [tab, name] of [[1, 'index'], [2, 'search']]) {
                        await h.clickCall(page, 'OnClickButton(' + tab + ')', 'header');
                        await h.waitPage(page, 'wh' + name + '.html');
                        await loaded(page, 'navbar');
                        await page.screenshot({ path: path.join(ARTIFACTS, set + '-' + name + '.png') });
                    }
                }
                assert.deepEqual(page.errors, [], 'script errors in the site');
            } finally {
                await page.close();
            }
        });
    }

    test('each set has its own bar colours', () => {
        assert.equal(barColours.size, SETS.length);
    });
});

describe('Chinese title and captions', () => {
    before(async () => {
        server = await h.startServer(root);
    });

    for (const charset of Object.keys(charsets)) {
        for (const mode of ['file', 'http']) {
            test(charset + ' site over ' + mode, async () => {
                const site = chineseSites[charset];
                const base = mode === 'file' ? h.fileUrl(site) : server.url + path.basename(site) + '/';
                const page = await open(base);
                try {
                    assert.equal(await page.title(), CHINESE.title);
                    const header = await loaded(page, 'header');
                    const shown = await header.evaluate(() => {
                        const el = (id) => document.getElementById(id);
                        return {
                            charset: document.characterSet, title: document.title,
                            tabs: [el('btncontents').textContent, el('btnindex').textContent, el('btnsearch').textContent],
                            bar: el('whtitle').textContent,
                            tips: ['whhome', 'whprint', 'whprev', 'whnext'].map((id) => el(id).title),
                            alts: ['whhome', 'whprint', 'whprev', 'whnext'].map((id) => el(id).querySelector('img').alt)
                        };
                    });
                    const tips = [CHINESE.home, CHINESE.print, CHINESE.prev, CHINESE.next];
                    assert.deepEqual(shown, {
                        charset: charsets[charset], title: CHINESE.title,
                        tabs: [CHINESE.contents, CHINESE.index, CHINESE.search], bar: CHINESE.title, tips, alts: tips
                    });
                    const tree = await h.waitTree(page);
                    assert.equal(await tree.evaluate(() => document.title + '|' + document.characterSet),
                        CHINESE.title + '|' + charsets[charset]);
                    if (mode === 'file' && charset !== 'windows-1252')
                        await page.screenshot({ path: path.join(ARTIFACTS, 'chinese-' + charset + '.png') });
                    assert.deepEqual(page.errors, [], 'script errors in the site');
                } finally {
                    await page.close();
                }
            });
        }
    }
});
