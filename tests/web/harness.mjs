// What the web test needs around the page: a static HTTP server on
// 127.0.0.1, Debian's chromium or firefox-esr through puppeteer-core, a PNG
// reader and the frame comparison.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// Serves the files below root at a free port until close().
export async function serve(root) {
    const server = http.createServer((request, response) => {
        let name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
        if (name.endsWith('/')) name += 'index.html';
        let body; // a normalised absolute path cannot climb above the root
        try {
            body = readFileSync(path.join(root, path.posix.normalize(name)));
        } catch {
            return response.writeHead(404).end();
        }
        const type = types[path.extname(name)] || 'application/octet-stream';
        response.writeHead(200, { 'Content-Type': type }).end(body);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

export const browserNames = ['chromium', 'firefox'];

// A display of its own for headful Firefox, shared by every Firefox this
// process starts, and ended with the process.
let display;
function virtualDisplay() {
    display ??= new Promise((resolve, reject) => {
        const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24',
                                      '-nolisten', 'tcp'],
                             { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
        let said = '', number = '';
        server.stderr.on('data', (text) => { said += text; });
        server.stdio[3].on('data', (text) => {
            number += text;
            if (!number.includes('\n')) return;
            resolve(`:${number.trim()}`);
            server.unref(); // it does not keep this process alive
            server.stdio.slice(2).forEach((stream) => stream.unref());
        });
        server.on('error', reject);
        server.on('exit', (code) => reject(new Error(`Xvfb ended (${code}): ${said}`)));
        process.on('exit', () => server.kill());
    });
    return display;
}

// The browser `name` (one of browserNames). Chromium runs headless, WebGL on
// SwiftShader. Firefox runs in a window on Xvfb, WebGL on Mesa's llvmpipe
// (headless, it has no WebGL here), entering and leaving full screen at once,
// without the notice over the page.
export async function launch(name) {
    if (name === 'chromium') {
        const args = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'];
        if (process.getuid() === 0) args.push('--no-sandbox');
        return puppeteer.launch({
            executablePath: process.env.QUARNEL_CHROMIUM || '/usr/bin/chromium', headless: true,
            args, protocolTimeout: 300000 });
    }
    if (name !== 'firefox') throw new Error(`no browser named ${name}: ${browserNames}`);
    const prefs = { 'full-screen-api.transition-duration.enter': '0 0',
                    'full-screen-api.transition-duration.leave': '0 0',
                    'full-screen-api.warning.timeout': 0 };
    return puppeteer.launch({
        browser: 'firefox', executablePath: process.env.QUARNEL_FIREFOX || '/usr/bin/firefox-esr',
        headless: false, env: { ...process.env, DISPLAY: await virtualDisplay() },
        extraPrefsFirefox: prefs, protocolTimeout: 300000 });
}

// A new tab whose console errors, page errors and failed requests land in
// page.errors.
export async function openTab(browser, width, height, ratio = 1) {
    const page = await browser.newPage();
    await page.setViewport({ width, height, deviceScaleFactor: ratio });
    page.errors = [];
    page.on('console', (m) => m.type() === 'error' &&
        page.errors.push(`console: ${m.text()} (${m.location().url || 'page'})`));
    page.on('pageerror', (e) => page.errors.push(`page error: ${e.message}`));
    page.on('requestfailed', (r) => page.errors.push(`request failed: ${r.url()}`));
    return page;
}

export const state = (page) => page.evaluate(() => document.body?.dataset.state);

export async function waitForState(page, want, timeout) {
    try {
        await page.waitForFunction((w) => document.body?.dataset.state === w,
                                   { timeout, polling: 50 }, want);
    } catch {
        const now = await state(page).catch(() => '?');
        throw new Error(`the state stayed ${now}, never ${want}; ${page.errors.join('; ')}`);
    }
}

// An 8-bit RGB or RGBA PNG without interlacing, as { width, height, rgb }.
export function readPng(bytes) {
    const idat = [];
    let width, height, channels;
    for (let at = 8; at < bytes.length; at += 12 + bytes.readUInt32BE(at)) {
        const kind = bytes.toString('latin1', at + 4, at + 8), data = bytes.subarray(at + 8);
        if (kind === 'IDAT') idat.push(data.subarray(0, bytes.readUInt32BE(at)));
        if (kind !== 'IHDR') continue;
        [width, height] = [data.readUInt32BE(0), data.readUInt32BE(4)];
        channels = data[9] === 6 ? 4 : 3;
        if (data[8] !== 8 || (data[9] !== 2 && data[9] !== 6) || data[12] !== 0)
            throw new Error('not an 8-bit RGB(A) PNG without interlacing');
    }
    const raw = zlib.inflateSync(Buffer.concat(idat)), n = width * channels;
    const rows = Buffer.alloc(n * height), rgb = Buffer.alloc(width * height * 3);
    for (let y = 0, o = 0; y < height; y++) {
        const filter = raw[y * (n + 1)], line = raw.subarray(y * (n + 1) + 1), at = y * n;
        for (let i = 0; i < n; i++) {
            const a = i >= channels ? rows[at + i - channels] : 0, b = y ? rows[at - n + i] : 0;
            const c = y && i >= channels ? rows[at - n + i - channels] : 0;
            const pa = Math.abs(b - c), pb = Math.abs(a - c), pc = Math.abs(a + b - 2 * c);
            const paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            rows[at + i] = line[i] + [0, a, b, (a + b) >> 1, paeth][filter];
            if (i % channels < 3) rgb[o++] = rows[at + i];
        }
    }
    return { width, height, rgb };
}

// Per pixel, with `tolerance` per channel: `near` when within it of the native
// colour; `edge` when not, but within the range the native 3 x 3
// neighbourhood spans in each channel, widened by it (an edge or a line
// rasterised a pixel away, a colour between two mipmap levels); else
// `other`. `worst` is the largest channel difference.
export function compareFrames(native, web, tolerance) {
    const { width: w, height: h } = native, a = native.rgb, b = web.rgb;
    const result = { edge: 0, other: 0, worst: 0, firstOther: null };
    for (let y = 0, i = 0; y < h; y++)
        for (let x = 0; x < w; x++, i += 3) {
            let near = true, inRange = true;
            for (let c = i; c < i + 3; c++) {
                const difference = Math.abs(a[c] - b[c]);
                result.worst = Math.max(result.worst, difference);
                if (difference <= tolerance) continue;
                near = false;
                let low = 255, high = 0;
                for (let dy = Math.max(-y, -1); dy <= Math.min(h - 1 - y, 1); dy++)
                    for (let dx = Math.max(-x, -1); dx <= Math.min(w - 1 - x, 1); dx++) {
                        const v = a[c + (dy * w + dx) * 3];
                        [low, high] = [Math.min(low, v), Math.max(high, v)];
                    }
                inRange &&= b[c] >= low - tolerance && b[c] <= high + tolerance;
            }
            if (near) continue;
            if (inRange) result.edge++;
            else if (result.other++ === 0) result.firstOther = [x, y];
        }
    return result;
}
