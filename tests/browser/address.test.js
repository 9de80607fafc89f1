// The top window's address names the topic shown (index.html?page=...), over http and from disk:
// each way of opening a topic names it, a reload shows it again, and Back and Forward still move
// through the topics.
'use strict';

const h = require('./harness.js');
h.requireTools();

const path = require('node:path');
const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

const MODES = ['http', 'file'];

function base(env, mode) {
    return mode === 'http' ? env.server.url : h.fileUrl(env.site);
}

// The page the top window's address names, read as a browser reads the query, and its anchor.
function addressOf(page) {
    const url = new URL(page.url());
    return { page: url.searchParams.get('page'), hash: url.hash };
}

async function waitAddress(page, address) {
    await h.waitFor(() => addressOf(page).page === address, 'the address naming ' + address, 5000).catch(() => {});
    assert.deepEqual(addressOf(page), { page: address, hash: '' });
}

// The content frame shows base + address (compared decoded: the names may be non-ASCII).
async function waitShown(page, prefix, address) {
    const want = decodeURIComponent(prefix) + address;
    await h.waitFor(async () => {
        const f = h.frame(page, 'content');
        return f && decodeURIComponent(f.url()) === want && await f.evaluate(() => document.readyState == 'complete');
    }, 'the content frame showing ' + address);
}

async function openTab(page, button, file) {
    const header = h.frame(page, 'header');
    if (!header.url().endsWith(['whheaderc.html', 'whheaderi.html', 'whheaders.html'][button]))
        await h.clickCall(page, 'OnClickButton(' + button + ')', 'header');
    return h.waitPage(page, file);
}

// A link of the page shown, clicked as a reader would.
async function followLink(page, href) {
    const content = h.frame(page, 'content');
    await content.evaluate((target) => {
        const a = document.createElement('a');
        a.href = target;
        a.id = 'whtestlink';
        a.textContent = 'link';
        document.body.appendChild(a);
    }, href);
    await content.click('#whtestlink');
}

// Reloads the site and checks that it shows the topic again, its tree entry selected.
async function reloadShows(page, prefix, address, entry) {
    await page.reload();
    const tree = await h.waitTree(page);
    await waitShown(page, prefix, address);
    assert.equal(addressOf(page).page, address, 'the address after the reload');
    if (entry) {
        await h.waitFor(async () => ((await h.selectedTreeEntry(tree)) || {}).text === entry, 'the entry ' + entry + ' selected', 5000).catch(() => {});
        assert.equal(((await h.selectedTreeEntry(tree)) || {}).text, entry);
    }
}

describe('the address of the converted site names the topic shown', () => {
    const chm = path.join(h.BUILD_DIR, 'chm', 'browsersite', 'browsersite.chm');
    const env = h.convertedSiteInChromium(before, after, chm, ['--charset', 'utf-8', '-q']);

    // Each way starts on the start page; want is the topic it shows, entry its tree entry.
    const WAYS = [
        { name: 'the contents tree', want: 'source/html/ref.htm', entry: 'Reference',
            open: async (page) => (await h.waitTree(page)).click('text=Reference') },
        { name: 'the index', want: 'source/html/install.htm', entry: 'Install',
            open: async (page) => (await openTab(page, 1, 'whindex.html')).evaluate(() => {
                const list = document.forms[0].indexlist;
                list.selectedIndex = Array.from(list.options).findIndex((o) => IndexItems[o.value][0] === 'install');
                ShowMatch();
            }) },
        { name: 'a search hit', want: 'source/html/overview.htm', entry: 'Overview',
            open: async (page) => (await openTab(page, 2, 'whsearch.html')).evaluate(() => {
                Search('beta');
                const list = document.forms['searchform'].founddocslist;
                list.selectedIndex = Array.from(list.options).findIndex((o) => /overview\.htm$/.test(o.value));
                OpenFoundDoc();
            }) },
        { name: 'Next', want: 'source/html/install.htm', entry: 'Install',
            open: (page) => h.clickCall(page, 'navDelta(1)', 'header') },
        { name: 'Home', want: 'source/html/start.htm', entry: 'Getting Started',
            open: async (page) => {
                await (await h.waitTree(page)).click('text=Reference');
                await waitAddress(page, 'source/html/ref.htm');
                await h.frame(page, 'header').click('#whhome');
            } },
        // A page that carries the runtime says where it is, also to a top window it cannot read.
        { name: 'a link to a page that carries the runtime', want: 'source/html/scripted.htm', entry: null,
            open: (page) => followLink(page, 'scripted.htm') },
        // From disk the top window cannot read where a plain page's link led.
        { name: 'a link to a plain page', modes: ['http'], want: 'source/html/setup.htm', entry: 'Setup \u4e2d\u6587 <b>',
            open: (page) => followLink(page, 'setup.htm') }
    ];

    for (const mode of MODES) {
        test('each way of opening a topic names it in the address, and a reload shows it, over ' + mode, async () => {
            for (const way of WAYS.filter((w) => (w.modes || MODES).includes(mode))) {
                const page = await h.openSite(env.browser, base(env, mode));
                try {
                    await waitAddress(page, 'source/html/start.htm');
                    await way.open(page);
                    await waitShown(page, base(env, mode), way.want);
                    await waitAddress(page, way.want);
                    await reloadShows(page, base(env, mode), way.want, way.entry);
                    assert.deepEqual(page.errors, [], 'script errors in the site');
                } catch (e) {
                    e.message = way.name + ': ' + e.message;
                    throw e;
                } finally {
                    await page.close();
                }
            }
        });

        test('Back and Forward move through the topics opened, over ' + mode, async () => {
            const page = await h.openSite(env.browser, base(env, mode));
            try {
                const tree = await h.waitTree(page);
                await waitShown(page, base(env, mode), 'source/html/start.htm');
                await tree.click('text=Reference');
                await waitShown(page, base(env, mode), 'source/html/ref.htm');
                await h.clickCall(page, 'navDelta(-1)', 'header');
                await waitShown(page, base(env, mode), 'source/html/leaf.htm');
                await waitAddress(page, 'source/html/leaf.htm');
                const STEPS = [['back', 'source/html/ref.htm'], ['back', 'source/html/start.htm'], ['forward', 'source/html/ref.htm']];
                for (const [step, want] of STEPS) {
                    await page.mainFrame().evaluate((s) => history[s](), step);
                    await waitShown(page, base(env, mode), want);
                    // Chromium keeps one address for the frameset's entries from disk: only a
                    // top window that reads the content frame can name the page gone back to.
                    if (mode === 'http')
                        await waitAddress(page, want);
                }
                assert.deepEqual(page.errors, [], 'script errors in the site');
            } finally {
                await page.close();
            }
        });
    }
});

// Addresses with a space, an anchor, ".." resolved by the converter, non-ASCII names in sites that
// are not UTF-8: each comes back from the address exactly as the contents entry spells it.
const SITES = [
    ['names_subfolder/subfolder', 'windows-1252', [
        ['Below', 'source/Documents/sub/x.htm'],
        // An anchor of the page shown: over http the frame moves to it without loading.
        ['Back and forth', 'source/Documents/sub/x.htm#part'],
        ['Beyond the top', 'source/page 1.html']]],
    ['names_korean/korean', 'euc-kr', [
        ['\uc124\uc815', 'source/\ub3c4\uc6c0\ub9d0/\uc124\uc815.htm']]]
];

for (const [fixture, charset, entries] of SITES) {
    describe(fixture + ' in ' + charset, () => {
        const chm = path.join(h.BUILD_DIR, 'chm', fixture + '.chm');
        const env = h.convertedSiteInChromium(before, after, chm, ['--charset', charset, '-q']);

        for (const mode of MODES) {
            test('an entry\'s address comes back from the top window\'s address, over ' + mode, async () => {
                const page = await h.openSite(env.browser, base(env, mode));
                try {
                    for (const [entry, address] of entries) {
                        await (await h.waitTree(page)).click('text=' + entry);
                        await waitShown(page, base(env, mode), address);
                        await waitAddress(page, address);
                        await reloadShows(page, base(env, mode), address, entry);
                    }
                    assert.deepEqual(page.errors, [], 'script errors in the site');
                } finally {
                    await page.close();
                }
            });
        }
    });
}
