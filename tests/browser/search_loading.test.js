// The Search tab of a converted site answers before its search data has arrived: a request made
// meanwhile runs when the data comes, and a refused one is refused at once.
'use strict';

const path = require('node:path');
const h = require('./harness.js');

const chm = path.join(h.BUILD_DIR, 'chm', 'browsersite', 'browsersite.chm');
h.requireTools([chm, path.join(h.BUILD_DIR, 'webhelp')]);

const { describe, test, before, after } = require('node:test');
const assert = require('node:assert/strict');

describe('search data that arrives late, over http', () => {
    const env = h.convertedSiteInChromium(before, after, chm, ['-q']);

    test('requests made before the data run when it arrives', async () => {
        const alpha = ['scripted', 'setup', 'start'].map((n) => 'source/html/' + n + '.htm');
        // Requests typed in order before the data comes; the results and messages once it has.
        const cases = [
            { typed: ['alpha'], atOnce: [], listed: alpha, after: [] },
            { typed: ['beta', 'alpha'], atOnce: [], listed: alpha, after: [] },
            { typed: ['nothinglikethis'], atOnce: [], listed: [], after: ['No matches found!'] },
            { typed: ['a-b'], atOnce: ['Invalid character at position 2!'], listed: [], after: [] },
        ];
        for (const c of cases) {
            const name = c.typed.join(', ');
            const page = await h.openSite(env.browser, env.server.url);
            let release;
            const held = new Promise((r) => { release = r; });
            await page.route('**/searchdata.js', async (route) => {
                await held;
                await route.continue();
            });
            await h.clickCall(page, 'OnClickButton(2)', 'header');
            const search = await h.waitFor(async () => {
                const f = page.frames().find((x) => x.url().endsWith('/whsearch.html'));
                return f && await f.evaluate(() => typeof Search == 'function' && !!document.forms['searchform']).catch(() => false) ? f : null;
            }, 'the search form before its data');
            const early = await search.evaluate((typed) => {
                const answers = typed.map((t) => Search(t));
                return { answers, defined: typeof SearchIndexes != 'undefined', listed: document.forms['searchform'].founddocslist.options.length };
            }, c.typed);
            assert.deepEqual(early, { answers: c.typed.map((t) => t !== 'a-b'), defined: false, listed: 0 }, name);
            assert.deepEqual(page.dialogs, c.atOnce, name);
            release();
            await h.waitPage(page, 'whsearch.html');
            await new Promise((r) => setTimeout(r, 100));
            const listed = await search.evaluate(() => Array.from(document.forms['searchform'].founddocslist.options, (o) => o.value));
            assert.deepEqual(listed.sort(), c.listed, name);
            assert.deepEqual(page.dialogs, c.atOnce.concat(c.after), name);
            assert.deepEqual(page.errors, [], name);
            await page.close();
        }
    });
});
