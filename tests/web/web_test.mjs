// The web page in one browser, Debian's chromium or firefox-esr, as a
// viewer meets it and through its test hook: loading, the prompt, a click,
// Escape and the end; the demo clock against the audio clock; the single file
// from file://; the sentence without WebGL; frames and the spectrum against
// the native capture tool's. No console errors anywhere.
//   node web_test.mjs chromium|firefox [shared|own]
// shared: only the cases every browser runs; own: only those this browser
// alone runs here (ctest runs Chromium's two parts side by side).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { after, before, test } from 'node:test';
import { browserNames, compareFrames, launch, openTab, readPng, serve, state, waitForState }
    from './harness.mjs';

const [browserName, part = 'all'] = process.argv.slice(2);
if (!browserNames.includes(browserName) || !['all', 'shared', 'own'].includes(part)) {
    console.error(`usage: node web_test.mjs ${browserNames.join('|')} [shared|own]`);
    process.exit(2);
}
const shared = { skip: part === 'own' && 'in the other part' };

const webBuild = process.env.QUARNEL_WEB_BUILD, nativeBuild = process.env.QUARNEL_BUILD;
const offscreen = { ...process.env, DISPLAY: '', WAYLAND_DISPLAY: '' };
const native = (program, args) =>
    execFileSync(path.join(nativeBuild, program), args, { cwd: nativeBuild, env: offscreen })
        .toString();
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const visible = (page, ...ids) => page.evaluate((ids) => ids.map((id) =>
    document.getElementById(id).checkVisibility()), ids);

let server, browser;
before(async () => {
    [server, browser] = await Promise.all([serve(path.join(webBuild, 'site')), launch(browserName)]);
});
after(() => Promise.all([browser?.close(), server?.close()]));

async function open(query, width = 320, height = 240, ratio = 1) {
    const page = await openTab(browser, width, height, ratio);
    await page.goto(server.url + query);
    await waitForState(page, 'prompt', 120000);
    return page;
}

// Clicks the prompt, then samples quarnel.clock() with the page's steady
// clock (in seconds) about every 100 ms until the run ends or `seconds` have
// passed.
async function run(page, seconds) {
    await page.click('#prompt');
    await waitForState(page, 'running', 10000);
    const samples = [], started = Date.now();
    while (Date.now() - started < seconds * 1000 && (await state(page)) === 'running') {
        const clock = await page.evaluate(() => new Promise((resolve) => {
            const sample = () => resolve({ ...quarnel.clock(), steady: performance.now() / 1000 });
            requestAnimationFrame(sample); // just after a frame: the steady clock at its time
            setTimeout(sample, 500); // a hidden page draws none
        }));
        if (clock?.demo > 0) samples.push(clock); // a frame of this run is drawn
        await sleep(100);
    }
    return samples;
}

test('loads with progress, prompts, runs full screen on a click, stops on Escape', shared, async () => {
    const page = await openTab(browser, 400, 300, 2);
    await page.evaluateOnNewDocument(() => { // every state and progress text shown, in order
        window.seen = [];
        new MutationObserver(() => {
            const state = document.body?.dataset.state, shown = document.getElementById('progress');
            const entry = `${state}: ${shown?.checkVisibility() ? shown.textContent.trim() : ''}`;
            if (state && seen.at(-1) !== entry) seen.push(entry);
        }).observe(document, { subtree: true, childList: true, attributes: true,
                               characterData: true });
    });
    await page.goto(server.url);
    await waitForState(page, 'prompt', 120000);
    const seen = await page.evaluate(() => seen);
    const percents = seen.map((s) => /^loading: Loading (\d+) %$/.exec(s)?.[1]).filter((p) => p)
                         .map(Number);
    assert.ok(Math.max(...percents) > 0 &&
              percents.every((p, i) => p <= 100 && p >= (percents[i - 1] ?? 0)),
              `shown: ${seen.join(', ')}`);
    assert.equal(seen.at(-1), 'prompt: ');
    assert.deepEqual(await visible(page, 'prompt', 'progress', 'nowebgl'), [true, false, false]);
    const canvas = (c) => [c.width, c.height, c.clientWidth, c.clientHeight];
    assert.deepEqual(await page.$eval('#canvas', canvas), [800, 600, 400, 300]); // ratio 2
    const fullScreen = () => page.evaluate(() => document.fullscreenElement !== null);
    assert.ok((await run(page, 1)).length > 0);
    assert.ok(await fullScreen());
    await page.keyboard.press('Escape');
    await waitForState(page, 'prompt', 10000);
    assert.ok(!(await fullScreen()));
    // Leaving full screen ends a run too.
    assert.ok((await run(page, 1)).length > 0);
    await page.evaluate(() => document.exitFullscreen());
    await waitForState(page, 'prompt', 10000);
    assert.deepEqual(page.errors, []);
    await page.close();
});

// Chromium's headless output always runs; Firefox's runs only with a sound
// server (there is none here), and without one the run keeps the steady clock.
test('the demo clock follows the audio clock, or the steady one without sound, from ?from=14.5',
     shared, async () => {
    const page = await open('?from=14.5');
    const clicked = await page.evaluate(() => performance.now() / 1000);
    let samples = await run(page, 4);
    const heard = samples.filter((s) => s.audio > 0), clock = heard.length ? 'audio' : 'steady';
    if (browserName === 'chromium') assert.ok(heard.length, 'the audio output never ran');
    if (heard.length) samples = heard; // from the first frame drawn with the audio output running
    const first = samples[0], last = samples.at(-1);
    await page.keyboard.press('Escape');
    await waitForState(page, 'prompt', 10000);
    const offset = (s) => s.demo - s[clock] - first.demo + first[clock];
    const drift = Math.max(...samples.map((s) => Math.abs(offset(s))));
    const span = (key) => `${first[key].toFixed(3)} to ${last[key].toFixed(3)} s`;
    console.log(`clock: ${samples.length} samples, demo ${span('demo')}, ${clock} ` +
                `${span(clock)}, worst drift ${drift.toFixed(4)} s`);
    const late = first.steady - clicked; // a busy machine draws the first frames late
    assert.ok(first.demo >= 14.5 && first.demo < 14.6 + late,
              `first frame seen at ${first.demo} s, ${late} s after the click`);
    assert.ok(last[clock] - first[clock] > 2, `the ${clock} clock stood still`);
    assert.ok(drift < 0.05, `the demo clock drifted ${drift} s from the ${clock} clock`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

// Chromium here plays sound; firefox-esr has no sound server, and opens a
// folder's files from disk.
const chromiumOnly = {
    skip: browserName !== 'chromium' ? 'chromium only' : part === 'shared' && 'in the other part',
};

// Put into a page before its scripts: keeps every AudioContext, every start
// of the soundtrack (with when it was made) and, for each frame of a run, its
// clock and the soundtrack's position at the speakers then, as the browser
// reports the output's timing (null when not heard).
// `refuse`: full screen, or the sound (every context stays suspended).
function probe(refuse) {
    const Real = AudioContext, begin = AudioBufferSourceNode.prototype.start;
    const p = window.probe = { contexts: [], starts: [], frames: [] };
    window.AudioContext = class extends Real {
        constructor() { super(); p.contexts.push(this); if (refuse.sound) this.suspend(); }
        resume() { return refuse.sound ? new Promise(() => {}) : super.resume(); }
    };
    AudioBufferSourceNode.prototype.start = function (when, offset) {
        p.starts.push({ context: this.context, when, offset, made: performance.now() });
        return begin.call(this, when, offset);
    };
    if (refuse.fullScreen) Element.prototype.requestFullscreen = () => Promise.reject(new Error());
    const heard = (s, at) => {
        // Until the output's first report its timestamp is all zeros, and a
        // report from before a stall runs ahead of what the context has made:
        // neither says what is heard (undefined: such a frame is not judged).
        const stamp = s?.context.state === 'running' && s.context.getOutputTimestamp();
        if (!stamp) return null;
        const out = stamp.contextTime + (at - stamp.performanceTime) / 1000;
        if (!(stamp.performanceTime > 0) || out > s.context.currentTime) return undefined;
        return out >= s.when ? s.offset + out - s.when : null;
    };
    const frame = requestAnimationFrame; // each frame sampled right after it is drawn
    window.requestAnimationFrame = (f) => frame((t) => {
        f(t);
        const c = document.body.dataset.state === 'running' && quarnel.clock();
        if (c && c.at !== p.frames.at(-1)?.at)
            p.frames.push({ ...c, track: heard(p.starts.findLast((s) => s.made <= c.at), c.at) });
    });
}

// A run from `query` with the probe in, its tab hidden over each span of demo
// time in `hidden` (another tab in front: its frames stop, the sound plays
// on), then `after` seconds more.
async function probedRun(query, refuse, hidden, after) {
    const page = await openTab(browser, 320, 240);
    await page.evaluateOnNewDocument(probe, refuse);
    await page.goto(server.url + query);
    await waitForState(page, 'prompt', 120000);
    await page.click('#prompt');
    for (const [from, to] of hidden) {
        await page.waitForFunction((t) => quarnel.clock().demo >= t, { timeout: 60000 }, from);
        const cover = await openTab(browser, 320, 240);
        await cover.bringToFront();
        await sleep((to - from) * 1000);
        await page.bringToFront();
        await cover.close();
    }
    await sleep(after * 1000);
    return page;
}

// A probed run's frames, its page then closed: each with the soundtrack heard
// (but one that started it again) shows 14 s, the music's start, plus its
// position, within a frame; where it or the one before is not heard (a
// hidden tab's gap included) the picture moved as the steady clock did,
// within a frame; no console errors; with `heardAtEnd`, heard in the last second.
const frame = 1 / 60;
async function inStep(page, heardAtEnd = true) {
    const { frames, starts } = await page.evaluate(() => ({ ...probe, contexts: 0 }));
    let worstJump = 0, worstOff = 0, heard = 0, restarts = 0;
    frames.forEach((f, i) => {
        const g = frames[i - 1] ?? f;
        if (f.track === null || g.track === null)
            worstJump = Math.max(worstJump, Math.abs(f.demo - g.demo - (f.at - g.at) / 1000));
        if (starts.some((s) => s.made > f.at && s.made <= (frames[i + 1]?.at ?? Infinity))) restarts++;
        else if (typeof f.track === 'number' && ++heard)
            worstOff = Math.max(worstOff, Math.abs(f.demo - 14 - f.track));
    });
    console.log(`in step: ${frames.length} frames, ${heard} heard, ${restarts} starting the track,` +
                ` worst jump ${worstJump.toFixed(4)} s, worst off the track ${worstOff.toFixed(4)} s`);
    assert.ok(worstJump < frame && worstOff < frame, `${worstJump} s jump, ${worstOff} s off`);
    const end = frames.filter((f) => f.at > frames.at(-1).at - 1000);
    assert.ok(!heardAtEnd || end.every((f) => f.track !== null), 'not heard at the end');
    assert.deepEqual(page.errors, []);
    await page.close();
    return { frames, heard };
}

test('a hidden tab: the music plays on, the picture catches up when it shows', chromiumOnly, async () => {
    for (const hidden of [[[13, 21], [22, 24]], [[13, 24]]])
        await inStep(await probedRun('?from=12.5', { fullScreen: true }, hidden, 1.5));
});

test('without sound the picture keeps time and the page says why', chromiumOnly, async () => {
    const note = (page) => page.$eval('#sound-note', (e) => [e.textContent, getComputedStyle(e).opacity]);
    let page = await probedRun('?from=12.5', { fullScreen: true, sound: true }, [], 3);
    assert.match((await note(page))[0], /without sound: the browser has not started its sound output\.$/);
    await sleep(4000);
    assert.equal((await note(page))[1], '0'); // faded
    let { frames, heard } = await inStep(page, false);
    assert.ok(heard === 0 && frames.at(-1).demo > 19 && frames.length > 30);
    // From 14.5 s, half a second into the music: the picture shows where the
    // music is from the first frame, the sound suspended for two seconds, and
    // after it is back.
    page = await probedRun('?from=14.5', { fullScreen: true }, [], 1.5);
    await page.evaluate(() => probe.contexts[0].suspend());
    await sleep(2000);
    assert.match((await note(page))[0], /without sound: the browser suspended its sound output\.$/);
    await page.evaluate(() => probe.contexts[0].resume());
    await sleep(1500);
    ({ frames, heard } = await inStep(page));
    assert.ok(heard > 50 && frames[0].demo < 14.6, `${heard} heard, from ${frames[0].demo} s`);
});

test('?from=88 ends by itself at the prompt', shared, async () => {
    const page = await open('?from=88');
    const samples = await run(page, 15);
    assert.equal(await state(page), 'prompt');
    assert.ok(samples.at(-1).demo > 89.5, `the last frame seen was at ${samples.at(-1).demo} s`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

test('quarnel.html plays from file://', shared, async () => {
    const page = await openTab(browser, 320, 240);
    await page.goto('file://' + path.resolve(webBuild, 'quarnel.html'));
    await waitForState(page, 'prompt', 120000);
    await page.click('#prompt');
    await waitForState(page, 'running', 10000);
    // The picture fades in two seconds into the run.
    await page.waitForFunction(() => quarnel.clock().demo > 2.5, { timeout: 20000 });
    const shot = readPng(Buffer.from(await page.screenshot({ type: 'png' })));
    let lit = 0;
    for (let i = 0; i < shot.rgb.length; i += 3)
        lit += shot.rgb[i] + shot.rgb[i + 1] + shot.rgb[i + 2] > 30;
    assert.ok(lit > shot.width * shot.height / 20, `${lit} lit pixels`);
    assert.deepEqual(page.errors, []);
    await page.close();
});

// Without WebGL a browser answers the page's request for a context with null,
// as this stand-in does (a second browser launched without it took 9 to 15 s).
test('without WebGL the page says so', shared, async () => {
    const page = await openTab(browser, 320, 240);
    await page.evaluateOnNewDocument(() => {
        const real = HTMLCanvasElement.prototype.getContext;
        HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
            return /webgl/i.test(kind) ? null : real.call(this, kind, ...rest);
        };
    });
    await page.goto(server.url);
    await waitForState(page, 'nowebgl', 60000);
    await sleep(1000); // a late failure would show by now
    assert.equal(await state(page), 'nowebgl');
    const shown = await visible(page, 'nowebgl', 'prompt', 'progress');
    assert.deepEqual(shown, [true, false, false]);
    assert.match(await page.$eval('#nowebgl', (e) => e.textContent), /WebGL/);
    assert.deepEqual(page.errors, []);
    await page.close();
});

// Each failure against a broken stand-in: a page of the served folder with
// a file missing or cut in half, the folder's page opened from disk, the
// start-up and a run made to throw. Each ends in its sentence.
test('every failure is said in a sentence', chromiumOnly, async () => {
    const site = path.join(webBuild, 'site'), servers = [];
    const broken = async (name, cut) => {
        const dir = mkdtempSync(path.join(os.tmpdir(), 'quarnel-broken-'));
        for (const file of readdirSync(site))
            if (file !== name) symlinkSync(path.join(site, file), path.join(dir, file));
        const whole = readFileSync(path.join(site, name));
        if (cut) writeFileSync(path.join(dir, name), whole.subarray(0, whole.length >> 1));
        servers.push([dir, await serve(dir)]);
        return servers.at(-1)[1].url;
    };
    const throwIn = (object, name) => { // once a run has started
        const real = object[name];
        object[name] = function (...args) {
            if (document.body.dataset.state === 'running') throw new Error('made to throw');
            return real.apply(this, args);
        };
    };
    const cases = [
        [await broken('quarnel.data'), /^The demo's data \(quarnel.data\) could not be loaded .*serve the/],
        [await broken('quarnel.data', true), /^The demo's data \(quarnel.data\) is damaged \(\d+ bytes, n/],
        [await broken('quarnel.wasm', true), /^The demo's program could not start \(.*copy the whole/],
        ['file://' + path.join(site, 'index.html'), /^Opened from disk, .*one-file page \(quarnel.html\)/],
        [server.url + '?from=1', /^The demo could not get ready \(made to throw\): reload/,
         () => { URLSearchParams.prototype.get = () => { throw new Error('made to throw'); }; }],
        [server.url, /^The demo stopped on an error \(.*made to throw\): reload the page/,
         () => { throwIn(WebGLRenderingContext.prototype, 'drawElements'); }],
    ];
    for (const [url, sentence, breakIt] of cases) {
        const page = await openTab(browser, 320, 240);
        if (breakIt) await page.evaluateOnNewDocument(`const throwIn = ${throwIn};\n(${breakIt})();`);
        await page.goto(url);
        await page.waitForFunction(() => ['failed', 'prompt'].includes(document.body.dataset.state),
                                   { timeout: 120000 });
        if ((await state(page)) === 'prompt') await page.click('#prompt');
        await waitForState(page, 'failed', 60000);
        assert.match(await page.$eval('#failed', (e) => e.textContent), sentence);
        assert.deepEqual(await visible(page, 'failed', 'progress', 'prompt'), [true, false, false]);
        await page.close();
    }
    for (const [dir, server] of servers) {
        server.close();
        rmSync(dir, { recursive: true });
    }
});

// Frames at a moment 45 % into every stretch of two seconds or more between
// scene or element edges, against quarnel-capture's stills; the bars black.
// The page draws through the same OpenGL 1.1 layer that matches OpenGL on
// llvmpipe to 2 levels. Pixels further off their native colour are `edge`
// when within the range of its 3 x 3 neighbourhood (widened by the same
// levels), else `other`; a missing, misplaced or miscoloured element or a
// frame from another moment (a frame later: thousands) exceeds the limits.
// Chromium draws on SwiftShader, which filters textures, picks mipmap levels
// and interpolates along lines a little otherwise. Measured over these
// frames with 12 levels: `other` at most 0.04 % of the frame (121 pixels, in
// the wobble's lines at 640 x 480), `edge` at most 0.46 %; the limits are
// 0.05 % and 1 %. Firefox draws on llvmpipe, as the native stills are: with 2
// levels, `other` at most 0.012 % (38 pixels, in the battle's tunnel at 640 x
// 480), `edge` at most 0.095 %; the limits are 0.025 % and 0.5 %.
const frameRule = { chromium: { levels: 12, edge: 1 / 100, other: 1 / 2000 },
                    firefox: { levels: 2, edge: 1 / 200, other: 1 / 4000 } }[browserName];
const timeline = native('quarnel-capture', ['--timeline']).trim().split('\n')
                     .map((line) => line.split(' '));
const edges = timeline.filter(([kind]) => kind === 'edge').map(([, t]) => +t), moments = [];
for (let i = 1; i < edges.length; i++)
    if (edges[i] - edges[i - 1] >= 2)
        moments.push(+(edges[i - 1] + 0.45 * (edges[i] - edges[i - 1])).toFixed(3));

// One page for the hook, made at the first use: the frames resize it.
let hook;
const hookPage = () => (hook ??= open('', 640, 480));

for (const [width, height] of [[640, 480], [1920, 1080]])
    test(`frames at ${width} x ${height} match the native stills`, shared, async () => {
        for (const [, from, to, ...name] of timeline.filter(([kind]) => kind === 'scene'))
            assert.ok(moments.some((t) => t > +from && t < +to), `no moment in ${name.join(' ')}`);
        assert.ok(moments.length >= 12);
        const stills = mkdtempSync(path.join(os.tmpdir(), 'quarnel-web-'));
        native('quarnel-capture', ['--size', `${width}x${height}`, '--out', stills,
                                   ...moments.flatMap((t) => ['--at', String(t)])]);
        const page = await hookPage();
        await page.setViewport({ width, height });
        await page.waitForFunction((w, h) => { const c = document.getElementById('canvas');
                                                return c.width === w && c.height === h; },
                                   {}, width, height);
        const area = width * height, picture = Math.min(width, Math.floor((height * 4) / 3));
        const inBar = (i) => Math.abs(i % width + 0.5 - width / 2) > picture / 2;
        const failures = [];
        for (const t of moments) {
            const drawn = await page.evaluate((t) => quarnel.drawAt(t), t);
            const frame = { width, height,
                            rgb: zlib.inflateSync(Buffer.from(drawn.rgb, 'base64')) };
            assert.deepEqual([drawn.width, drawn.height, frame.rgb.length],
                             [width, height, area * 3]);
            let lit = 0;
            for (let i = 0; i < area; i++)
                lit += inBar(i) && frame.rgb.readUIntBE(i * 3, 3) > 0;
            const name = `at-${String(Math.round(t * 1000)).padStart(6, '0')}.png`;
            const a = compareFrames(readPng(readFileSync(path.join(stills, name))), frame,
                                    frameRule.levels);
            console.log(`${width}x${height} at ${t} s: worst channel ${a.worst}, ${a.edge} edge,` +
                        ` ${a.other} other, ${lit} lit in the bars`);
            if (lit || a.edge > area * frameRule.edge || a.other > area * frameRule.other)
                failures.push(`${t} s: ${JSON.stringify(a)}, ${lit} lit bar pixels`);
        }
        rmSync(stills, { recursive: true });
        assert.deepEqual(failures, []);
        assert.deepEqual(page.errors, []);
    });

// Chromium's MP3 decoder and mpg123 give the same samples to within float
// rounding (measured: 4e-6 of the spectrum's size at worst), while a window
// one sample off changes the spectrum by up to 4e-3 and two samples off by
// 2e-3 to 8e-3 (measured on the native one). So the page's spectrum must be
// within 1e-3 of the native one (root mean square over the bands, relative).
test('the spectrum matches the native one', shared, async () => {
    const times = [15.3, 20.77, 31.2, 47.9, 58.05, 62.4, 77.7, 88.1];
    const expected = native('tests/web/web_native_spectrum', times.map(String)).trim().split('\n')
                         .map((line) => line.split(' ').map(Number));
    const page = await hookPage();
    const got = await page.evaluate((times) => times.map((t) => quarnel.spectrumAt(t)),
                                    [0, 9.5, 14, ...times]);
    for (const silent of got.splice(0, 3)) assert.deepEqual(silent, new Array(256).fill(0));
    const relative = got.map((bands, i) => {
        assert.equal(bands.length, 256);
        const square = (f) => bands.reduce((sum, _, k) => sum + f(k) ** 2, 0);
        return Math.sqrt(square((k) => bands[k] - expected[i][k]) / square((k) => expected[i][k]));
    });
    console.log(`spectrum: relative differences ${relative.map((r) => r.toExponential(1))}`);
    assert.ok(Math.max(...relative) < 1e-3);
    assert.deepEqual(page.errors, []);
});
