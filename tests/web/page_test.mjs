// The page as a viewer meets it, in Debian's chromium: loading with its
// progress, the prompt, a click that starts the run, Escape and the end that
// return to the prompt, the demo clock following the audio clock, the single
// file from file://, and the sentence where WebGL is missing. No console
// errors anywhere.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, test } from 'node:test';
import * as web from './harness.mjs';

let server, browser;
before(async () => {
    server = await web.serve(web.site);
    browser = await web.launch();
});
after(async () => {
    await browser?.close();
    await server?.close();
});

const visible = (page, selector) => page.$eval(selector, (e) => e.checkVisibility());
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Clicks the prompt and samples quarnel.clock() every 100 ms until the state
// leaves `running` or `seconds` have passed.
async function run(page, seconds) {
    await page.click('#prompt');
    await web.waitForState(page, 'running', 10000);
    const samples = [], started = Date.now();
    while (Date.now() - started < seconds * 1000 && (await web.state(page)) === 'running') {
        const clock = await page.evaluate(() => quarnel.clock());
        if (clock) samples.push(clock);
        await sleep(100);
    }
    return samples;
}

test('loads with progress, prompts, runs on a click and stops on Escape', async () => {
    const page = await web.openTab(browser, 400, 300);
    await page.evaluateOnNewDocument(() => {
        // Every state and progress text the page shows, in order.
        window.seen = [];
        const note = () => {
            const body = document.body, progress = document.getElementById('progress');
            if (!body || !body.dataset.state) return;
            const shown = progress && progress.checkVisibility() ? progress.textContent.trim() : '';
            const entry = `${body.dataset.state}: ${shown}`;
            if (seen[seen.length - 1] !== entry) seen.push(entry);
        };
        new MutationObserver(note).observe(document, { subtree: true, childList: true,
                                                       attributes: true, characterData: true });
    });
    await page.setViewport({ width: 400, height: 300, deviceScaleFactor: 2 });
    await page.goto(server.url);
    await web.waitForState(page, 'prompt', 120000);
    const seen = await page.evaluate(() => seen);
    const percents = seen.filter((s) => s.startsWith('loading: ')).map((s) => s.slice(9))
                         .filter((s) => s).map((s) => +/^Loading (\d+) %$/.exec(s)?.[1]);
    assert.ok(Math.max(...percents) > 0 && percents.every((p, i) => p <= 100 && p >= (percents[i - 1] ?? 0)),
              `progress shown: ${seen.join(', ')}`);
    assert.equal(seen.at(-1), 'prompt: ', `states: ${seen.join(', ')}`);
    assert.deepEqual([await visible(page, '#prompt'), await visible(page, '#progress'),
                      await visible(page, '#nowebgl')], [true, false, false]);
    // The canvas covers the window at the screen's pixel ratio.
    assert.deepEqual(await page.$eval('#canvas', (c) => [c.width, c.height, c.clientWidth, c.clientHeight]),
                     [800, 600, 400, 300]);
    assert.ok((await run(page, 1)).length > 0, 'no clock while running');
    await page.keyboard.press('Escape');
    await web.waitForState(page, 'prompt', 10000);
    assert.deepEqual(page.errors, []);
    assert.deepEqual(server.missing, []);
    await page.close();
});

test('the demo clock follows the audio clock, from ?from=14.5', async () => {
    const page = await web.openTab(browser, 320, 240);
    await page.goto(server.url + '?from=14.5');
    await web.waitForState(page, 'prompt', 120000);
    const samples = await run(page, 4);
    await page.keyboard.press('Escape');
    await web.waitForState(page, 'prompt', 10000);
    const first = samples[0], last = samples.at(-1);
    const drift = Math.max(...samples.map((s) => Math.abs(s.demo - first.demo - (s.audio - first.audio))));
    console.log(`clock: ${samples.length} samples, demo ${first.demo.toFixed(3)} to ${last.demo.toFixed(3)} s, ` +
                `audio ${first.audio.toFixed(3)} to ${last.audio.toFixed(3)} s, worst drift ${drift.toFixed(4)} s`);
    assert.ok(first.demo >= 14.5 && first.demo < 16, `first frame at ${first.demo} s`);
    assert.ok(last.audio - first.audio > 2, 'the audio clock stood still');
    assert.ok(drift < 0.05, `the demo clock drifted ${drift} s from the audio clock`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('?from=88 ends by itself at the prompt', async () => {
    const page = await web.openTab(browser, 320, 240);
    await page.goto(server.url + '?from=88');
    await web.waitForState(page, 'prompt', 120000);
    const samples = await run(page, 15);
    assert.equal(await web.state(page), 'prompt');
    assert.ok(samples.at(-1).demo > 89.5, `the last frame seen was at ${samples.at(-1).demo} s`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('quarnel.html plays from file://', async () => {
    const page = await web.openTab(browser, 320, 240);
    await page.goto('file://' + path.resolve(web.webBuild, 'quarnel.html'));
    await web.waitForState(page, 'prompt', 120000);
    await page.click('#prompt');
    await web.waitForState(page, 'running', 10000);
    await page.waitForFunction(() => quarnel.clock()?.demo > 1.5, { timeout: 20000 });
    const shot = web.readPng(Buffer.from(await page.screenshot({ type: 'png' })));
    let lit = 0;
    for (let i = 0; i < shot.rgb.length; i += 3) if (shot.rgb[i] + shot.rgb[i + 1] + shot.rgb[i + 2] > 30) lit++;
    assert.ok(lit > shot.width * shot.height / 20, `${lit} lit pixels`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('without WebGL the page says so', async () => {
    const plain = await web.launch(['--disable-webgl', '--disable-3d-apis']);
    try {
        const page = await web.openTab(plain, 320, 240);
        await page.goto(server.url);
        await web.waitForState(page, 'nowebgl', 60000);
        await sleep(1000); // a late failure would show now
        assert.equal(await web.state(page), 'nowebgl');
        assert.deepEqual([await visible(page, '#nowebgl'), await visible(page, '#prompt'),
                          await visible(page, '#progress')], [true, false, false]);
        assert.match(await page.$eval('#nowebgl', (e) => e.textContent), /WebGL/);
        assert.deepEqual(page.errors, []);
    } finally {
        await plain.close();
    }
});
