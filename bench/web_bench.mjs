// The web build in Debian's chromium (headless, WebGL on SwiftShader) and
// firefox-esr (in a window on Xvfb, WebGL on llvmpipe), in a 640 x 480
// window: frames per second in every scene window of the timeline
// (quarnel.timeFrames draws frames evenly spaced through the window flat out,
// with one read-back at the end that waits for the GPU), beside the native
// demo's rates on llvmpipe when bench/demo_timings left them in a file; the
// time from opening the page to its prompt, served from 127.0.0.1 and as the
// one file from file://; and the sizes of the files a viewer downloads. Beside
// the rates, the WebGL calls a frame of the window takes, as the GL 1.1 layer
// counts them (the same in either browser).
// Reuses the web tests' server and browser launches (tests/web/harness.mjs),
// with the puppeteer-core its lock file pins.
//   node bench/web_bench.mjs WEB_BUILD NATIVE_BUILD [SECONDS] [NATIVE_RATES.json]
// SECONDS (default 3) is the length of each of three timed stretches a scene.
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync, statSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { browserNames, launch, openTab, serve, waitForState } from '../tests/web/harness.mjs';

const [webBuild, nativeBuild, secondsText, ratesFile] = process.argv.slice(2);
if (!webBuild || !nativeBuild) {
    console.error('usage: node bench/web_bench.mjs WEB_BUILD NATIVE_BUILD [SECONDS] ' +
                  '[NATIVE_RATES.json]');
    process.exit(2);
}
const seconds = Number(secondsText || 3);
const site = path.join(webBuild, 'site'), single = path.join(webBuild, 'quarnel.html');
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// The scene windows as the native capture tool lists them, each measured
// inside the half seconds at its edges (as the native whole runs are).
const timeline = execFileSync(path.join(nativeBuild, 'quarnel-capture'), ['--timeline'],
                              { encoding: 'utf8' });
const scenes = timeline.split('\n').filter((line) => line.startsWith('scene ')).map((line) => {
    const [, from, to, ...name] = line.split(' ');
    return { name: name.join(' '), from: Number(from), to: Number(to) };
});
const native = ratesFile && existsSync(ratesFile) ? JSON.parse(readFileSync(ratesFile, 'utf8'))
                                                  : {};

// Milliseconds from the start of navigation to the prompt, taken in the page.
async function timeToPrompt(browser, url) {
    const page = await openTab(browser, 640, 480);
    await page.evaluateOnNewDocument(() => new MutationObserver(() => {
        if (document.body?.dataset.state === 'prompt' && !window.promptAt)
            window.promptAt = performance.now();
    }).observe(document, { subtree: true, attributes: true, childList: true }));
    await page.goto(url);
    await waitForState(page, 'prompt', 120000);
    const took = await page.evaluate(() => window.promptAt);
    if (page.errors.length) throw new Error(page.errors.join('; '));
    await page.close();
    return took;
}

// Frames per second in every scene window, in one browser's page; the WebGL
// calls a frame takes go into calls.
const calls = {};
async function sceneRates(browser) {
    const page = await openTab(browser, 640, 480);
    await page.goto(server.url);
    await waitForState(page, 'prompt', 120000);
    const frames = (from, to, count) =>
        page.evaluate((a, b, n) => quarnel.timeFrames(a, b, n), from, to, count);
    const rates = {};
    for (const { name, from, to } of scenes) {
        const [a, b] = [from + 0.5, to - 0.5];
        const guess = 10 / ((await frames(a, b, 10)) / 1000); // also the scene's first use
        const count = Math.max(10, Math.round(guess * seconds));
        const times = [], before = await page.evaluate(() => (quarnel.webglCalls?.() ?? NaN));
        for (let i = 0; i < 3; i++) times.push(count / ((await frames(a, b, count)) / 1000));
        rates[name] = median(times);
        calls[name] = (await page.evaluate(() => (quarnel.webglCalls?.() ?? NaN)) - before) / (3 * count);
    }
    if (page.errors.length) throw new Error(page.errors.join('; '));
    await page.close();
    return rates;
}

const server = await serve(site), web = {}, loads = {}, loadCount = 5;
try {
    for (const name of browserNames) {
        const browser = await launch(name);
        try {
            web[name] = await sceneRates(browser);
            for (const [label, url] of [['site/ from http://127.0.0.1', server.url],
                                        ['quarnel.html from file://', pathToFileURL(single).href]]) {
                const times = [];
                for (let i = 0; i < loadCount; i++) times.push(await timeToPrompt(browser, url));
                (loads[label] ??= {})[name] = times;
            }
        } finally {
            await browser.close();
        }
    }
} finally {
    server.close();
}

const column = (text, width = 10) => String(text).padStart(width);
const shown = (rate) => (rate ? rate.toFixed(1) : '-');
console.log('frames per second per scene window, 640 x 480: the native demo on llvmpipe (whole');
console.log('runs under Xvfb, bench/demo_timings); the web build in headless chromium on');
console.log('SwiftShader and in firefox-esr on Xvfb with llvmpipe (frames evenly spaced through');
console.log(`the window, median of 3 stretches of about ${seconds} s); web / native --no-vsync`);
console.log(`${'scene window'.padEnd(28)}${column('native')}${column('native', 12)}` +
            browserNames.map((name) => column(name)).join('') +
            browserNames.map((name) => column(name)).join('') + column('WebGL', 8));
console.log(`${''.padEnd(28)}${column('paced')}${column('--no-vsync', 12)}` +
            browserNames.map(() => column('')).join('') +
            browserNames.map(() => column('/ native')).join('') + column('calls', 8));
for (const { name } of scenes) {
    const paced = native[name]?.paced, free = native[name]?.free;
    console.log(`${name.padEnd(28)}${column(shown(paced))}${column(shown(free), 12)}` +
                browserNames.map((b) => column(shown(web[b][name]))).join('') +
                browserNames.map((b) => column(free ? (web[b][name] / free).toFixed(2) : '-'))
                    .join('') + column(calls[name].toFixed(0), 8));
}
console.log(`time from opening the page to its prompt, median of ${loadCount} loads (least-most):`);
for (const [label, times] of Object.entries(loads))
    for (const name of browserNames)
        console.log(`  ${label.padEnd(30)}${name.padEnd(10)}` +
                    `${median(times[name]).toFixed(0).padStart(6)} ms  ` +
                    `(${Math.min(...times[name]).toFixed(0)}-${Math.max(...times[name]).toFixed(0)})`);

console.log('sizes (bytes):');
let total = 0;
for (const name of ['index.html', 'quarnel.js', 'quarnel.wasm', 'quarnel.data']) {
    const size = statSync(path.join(site, name)).size;
    total += size;
    console.log(`  site/${name.padEnd(24)}${String(size).padStart(10)}`);
}
console.log(`  ${'site/ together'.padEnd(29)}${String(total).padStart(10)}`);
const singleSize = statSync(single).size;
console.log(`  ${'quarnel.html'.padEnd(29)}${String(singleSize).padStart(10)}` +
            `  (${(singleSize / 1048576).toFixed(2)} MB of the 8 MB limit)`);
