// The web build in Debian's chromium, headless, WebGL on SwiftShader, in a
// 640 x 480 window: frames per second in every scene window of the timeline
// (quarnel.timeFrames draws frames evenly spaced through the window flat out,
// with one read-back at the end that waits for the GPU), beside the native
// demo's rates on llvmpipe when bench/demo_timings left them in a file; the
// time from opening the page to its prompt, served from 127.0.0.1 and as the
// one file from file://; and the sizes of the files a viewer downloads.
// Reuses the web tests' server and browser launch (tests/web/harness.mjs),
// with the puppeteer-core its lock file pins.
//   node bench/web_bench.mjs WEB_BUILD NATIVE_BUILD [SECONDS] [NATIVE_RATES.json]
// SECONDS (default 3) is the length of each of three timed stretches a scene.
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync, statSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, openTab, serve, waitForState } from '../tests/web/harness.mjs';

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

const [server, browser] = await Promise.all([serve(site), launch()]);
try {
    const page = await openTab(browser, 640, 480);
    await page.goto(server.url);
    await waitForState(page, 'prompt', 120000);
    const frames = (from, to, count) =>
        page.evaluate((a, b, n) => quarnel.timeFrames(a, b, n), from, to, count);

    console.log('frames per second per scene window, 640 x 480: the native demo on llvmpipe');
    console.log('(whole runs under Xvfb, bench/demo_timings), the web build in headless chromium');
    console.log('on SwiftShader (frames evenly spaced through the window, median of 3 stretches');
    console.log(`of about ${seconds} s)`);
    console.log(`${'scene window'.padEnd(28)}${'native'.padStart(10)}${'native'.padStart(12)}` +
                `${'web'.padStart(10)}${'web / native'.padStart(14)}`);
    console.log(`${''.padEnd(28)}${'paced'.padStart(10)}${'--no-vsync'.padStart(12)}` +
                `${''.padStart(10)}${'--no-vsync'.padStart(14)}`);
    for (const { name, from, to } of scenes) {
        const [a, b] = [from + 0.5, to - 0.5];
        const guess = 10 / ((await frames(a, b, 10)) / 1000); // also the scene's first use
        const count = Math.max(10, Math.round(guess * seconds));
        const rates = [];
        for (let i = 0; i < 3; i++) rates.push(count / ((await frames(a, b, count)) / 1000));
        const web = median(rates), paced = native[name]?.paced, free = native[name]?.free;
        const shown = (rate) => (rate ? rate.toFixed(1) : '-');
        const ratio = free ? (web / free).toFixed(2) : '-';
        console.log(`${name.padEnd(28)}${shown(paced).padStart(10)}${shown(free).padStart(12)}` +
                    `${web.toFixed(1).padStart(10)}${ratio.padStart(14)}`);
    }
    if (page.errors.length) throw new Error(page.errors.join('; '));
    await page.close();

    const loads = 5;
    console.log(`time from opening the page to its prompt, median of ${loads} loads (least-most):`);
    for (const [label, url] of [['site/ from http://127.0.0.1', server.url],
                                ['quarnel.html from file://', pathToFileURL(single).href]]) {
        const times = [];
        for (let i = 0; i < loads; i++) times.push(await timeToPrompt(browser, url));
        console.log(`  ${label.padEnd(30)}${median(times).toFixed(0).padStart(6)} ms` +
                    `  (${Math.min(...times).toFixed(0)}-${Math.max(...times).toFixed(0)})`);
    }
} finally {
    await Promise.all([browser.close(), server.close()]);
}

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
