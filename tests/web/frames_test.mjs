// The page's test hook against the native capture tool: frames at a dozen
// moments, in every scene, at 640 x 480 and in a 1920 x 1080 window (black
// bars), and the spectrum that drives the picture after the music starts.
//
// Frame tolerance, as between OpenGL and the OpenGL 1.1 layer natively (the
// page draws through the same layer; only the GPU differs, SwiftShader for
// llvmpipe): every channel within 2, at most 0.1 % of the pixels off by more
// but with the native colour one pixel over (edges rasterised a pixel away),
// at most 128 other pixels (mipmap level picks) in a picture of 640 x 480,
// and as many more as the picture's area grows.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import * as web from './harness.mjs';

const { scenes, edges } = web.timeline();
// A moment 45 % into every stretch between two scene or element edges that
// lasts two seconds or more.
const moments = [];
for (let i = 1; i < edges.length; i++)
    if (edges[i] - edges[i - 1] >= 2)
        moments.push(Math.round((edges[i - 1] + 0.45 * (edges[i] - edges[i - 1])) * 1000) / 1000);

const stills = mkdtempSync(path.join(os.tmpdir(), 'quarnel-web-frames-'));
let server, browser, page;
before(async () => {
    server = await web.serve(web.site);
    browser = await web.launch();
    page = await web.openTab(browser, 640, 480);
    await page.goto(server.url);
    await web.waitForState(page, 'prompt', 120000);
});
after(async () => {
    await browser?.close();
    await server?.close();
    rmSync(stills, { recursive: true, force: true });
});

// The native stills at one size, in the build folder where data/ is.
function capture(width, height) {
    const out = path.join(stills, `${width}x${height}`);
    const args = ['--size', `${width}x${height}`, '--out', out];
    for (const t of moments) args.push('--at', String(t));
    const env = { ...process.env }; // offscreen, even where a display exists
    delete env.DISPLAY, delete env.WAYLAND_DISPLAY;
    execFileSync(path.resolve(web.nativeBuild, 'quarnel-capture'), args, { cwd: web.nativeBuild, stdio: 'ignore', env });
    return (t) => web.readPng(readFileSync(path.join(out, `at-${String(Math.round(t * 1000)).padStart(6, '0')}.png`)));
}

for (const [width, height] of [[640, 480], [1920, 1080]])
    test(`frames at ${width} x ${height} match the native stills`, async () => {
        for (const scene of scenes)
            assert.ok(moments.some((t) => t > scene.from && t < scene.to), `no moment in ${scene.name}`);
        assert.ok(moments.length >= 12, `${moments.length} moments`);
        const native = capture(width, height);
        await page.setViewport({ width, height, deviceScaleFactor: 1 });
        await page.waitForFunction((w, h) => { const c = document.getElementById('canvas'); return c.width === w && c.height === h; }, {}, width, height);
        // The 4:3 picture and its bars.
        const pictureWidth = Math.min(width, Math.floor(height * 4 / 3)), left = (width - pictureWidth) / 2;
        const scale = (width * height) / (640 * 480);
        const failures = [];
        for (const t of moments) {
            const drawn = await page.evaluate((t) => quarnel.drawAt(t), t);
            assert.equal(drawn.width, width);
            assert.equal(drawn.height, height);
            const frame = { width, height, rgb: Buffer.from(drawn.rgb, 'base64') };
            assert.equal(frame.rgb.length, width * height * 3);
            let lit = 0;
            for (let y = 0; y < height; y++)
                for (let x = 0; x < width; x++)
                    if ((x < left || x >= width - left) && frame.rgb.readUIntBE((y * width + x) * 3, 3)) lit++;
            const a = web.compareFrames(native(t), frame);
            console.log(`${width}x${height} at ${t} s: worst channel ${a.worst}, ` +
                        `${a.oneOver} one over, ${a.other} other, ${lit} lit in the bars`);
            if (lit || a.oneOver > (width * height) / 1000 || a.other > 128 * scale)
                failures.push(`${t} s: ${JSON.stringify(a)}, ${lit} lit bar pixels`);
        }
        assert.deepEqual(failures, []);
        assert.deepEqual(page.errors, []);
    });

// The spectrum tolerance: Chromium's MP3 decoder and mpg123 give the same
// samples to within float rounding (measured: 4e-6 of the spectrum's size at
// worst), while a window one sample off changes it by up to 4e-3 and two
// samples off by 2e-3 to 8e-3 (measured on the native spectrum). So the page's
// spectrum must be within 1e-3 of the native one (root mean square over the
// bands, relative to the native spectrum's).
test('the spectrum matches the native one', async () => {
    const times = [15.3, 20.77, 31.2, 47.9, 58.05, 62.4, 77.7, 88.1];
    const native = execFileSync(process.env.QUARNEL_SPECTRUM_AT || path.join(web.nativeBuild, 'tests/web/web_spectrum_at'),
                                times.map(String), { cwd: web.nativeBuild, encoding: 'utf8' })
                       .trim().split('\n').map((line) => line.split(' ').map(Number));
    const silent = await page.evaluate(() => Promise.all([0, 9.5, 14].map((t) => quarnel.spectrumAt(t))));
    for (const s of silent) assert.deepEqual(Array.from(s), new Array(256).fill(0));
    let worst = 0, worstRelative = 0;
    for (const [i, t] of times.entries()) {
        const ours = Array.from(await page.evaluate((t) => quarnel.spectrumAt(t), t));
        assert.equal(ours.length, 256);
        let difference = 0, size = 0;
        for (let k = 0; k < 256; k++) {
            worst = Math.max(worst, Math.abs(ours[k] - native[i][k]));
            difference += (ours[k] - native[i][k]) ** 2, size += native[i][k] ** 2;
        }
        const relative = Math.sqrt(difference / size);
        worstRelative = Math.max(worstRelative, relative);
        console.log(`spectrum at ${t} s: largest band ${Math.max(...native[i]).toFixed(4)}, ` +
                    `relative difference ${relative.toExponential(2)}`);
    }
    console.log(`spectrum: worst band difference ${worst.toExponential(2)}, worst relative ${worstRelative.toExponential(2)}`);
    assert.ok(worstRelative < 1e-3, `relative difference ${worstRelative}`);
    assert.deepEqual(page.errors, []);
});
