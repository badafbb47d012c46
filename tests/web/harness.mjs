// What the web tests share: the build folders, a static HTTP server for the
// page's folder, Debian's chromium through puppeteer-core, a PNG reader and
// the frame comparison the OpenGL 1.1 layer's test uses.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

export const webBuild = process.env.QUARNEL_WEB_BUILD || 'build-web';
export const nativeBuild = process.env.QUARNEL_BUILD || 'build';
export const site = path.join(webBuild, 'site');

const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.data': 'application/octet-stream',
    '.css': 'text/css; charset=utf-8',
};

// Serves the files below root on 127.0.0.1 at a free port; the requests for
// missing files are listed in `missing`.
export async function serve(root) {
    const missing = [];
    const server = http.createServer((request, response) => {
        let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
        if (name.endsWith('/')) name += 'index.html';
        // An absolute path normalised cannot climb above the root.
        const file = path.join(root, path.posix.normalize(name));
        let body = null;
        try {
            body = readFileSync(file);
        } catch {}
        if (!body) {
            missing.push(name);
            response.writeHead(404).end();
            return;
        }
        const type = types[path.extname(file)] || 'application/octet-stream';
        response.writeHead(200, { 'Content-Type': type, 'Content-Length': body.length }).end(body);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const url = `http://127.0.0.1:${server.address().port}/`;
    return { url, missing, close: () => new Promise((resolve) => server.close(resolve)) };
}

// Headless chromium with WebGL on SwiftShader; more switches in `extra`.
export function launch(extra = []) {
    const args = ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', ...extra];
    if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
    return puppeteer.launch({
        executablePath: process.env.QUARNEL_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args,
        protocolTimeout: 300000,
    });
}

// A new tab at width x height whose console errors, page errors and failed
// requests land in `errors`.
export async function openTab(browser, width, height) {
    const page = await browser.newPage();
    await page.setViewport({ width, height, deviceScaleFactor: 1 });
    page.errors = [];
    page.on('console', (m) => m.type() === 'error' &&
                              page.errors.push(`console: ${m.text()} (${m.location().url || 'page'})`));
    page.on('pageerror', (e) => page.errors.push(`page error: ${e.message}`));
    page.on('requestfailed', (r) => page.errors.push(`request failed: ${r.url()}`));
    return page;
}

export const state = (page) => page.evaluate(() => document.body && document.body.dataset.state);

// Waits until the page's state is `want` (a page error or the timeout fails it).
export async function waitForState(page, want, timeout = 60000) {
    try {
        await page.waitForFunction((w) => document.body && document.body.dataset.state === w,
                                   { timeout, polling: 50 }, want);
    } catch (e) {
        const now = await state(page).catch(() => '?');
        throw new Error(`state stayed ${now}, never ${want}: ${page.errors.join('; ')}`);
    }
}

// The scene windows as `quarnel-capture --timeline` lists them.
export function timeline() {
    const text = execFileSync(path.join(nativeBuild, 'quarnel-capture'), ['--timeline'],
                              { encoding: 'utf8' });
    const scenes = [], edges = [];
    for (const line of text.trim().split('\n')) {
        const [kind, ...rest] = line.split(' ');
        if (kind === 'scene') scenes.push({ from: +rest[0], to: +rest[1], name: rest.slice(2).join(' ') });
        if (kind === 'edge') edges.push(+rest[0]);
    }
    return { scenes, edges };
}

// An 8-bit RGB or RGBA PNG, not interlaced, as { width, height, rgb }.
export function readPng(bytes) {
    const chunks = [];
    let width, height, channels;
    for (let at = 8; at < bytes.length;) {
        const length = bytes.readUInt32BE(at), kind = bytes.toString('latin1', at + 4, at + 8);
        const data = bytes.subarray(at + 8, at + 8 + length);
        if (kind === 'IHDR') {
            width = data.readUInt32BE(0), height = data.readUInt32BE(4);
            if (data[8] !== 8 || (data[9] !== 2 && data[9] !== 6) || data[12] !== 0)
                throw new Error('not an 8-bit RGB(A) PNG without interlacing');
            channels = data[9] === 6 ? 4 : 3;
        }
        if (kind === 'IDAT') chunks.push(data);
        at += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(chunks));
    const stride = width * channels, rows = Buffer.alloc(stride * height);
    for (let y = 0; y < height; y++) {
        const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1);
        for (let i = 0; i < stride; i++) {
            const a = i >= channels ? rows[y * stride + i - channels] : 0;
            const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
            const c = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
            const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
            const predict = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
            rows[y * stride + i] = line[i] + predict;
        }
    }
    if (channels === 3) return { width, height, rgb: rows };
    const rgb = Buffer.alloc(width * height * 3);
    for (let i = 0, o = 0; i < rows.length; i += 4, o += 3) rows.copy(rgb, o, i, i + 3);
    return { width, height, rgb };
}

// The OpenGL 1.1 layer test's rules: a pixel agrees when every channel is
// within 2 of the native one; one that does not is `oneOver` when the native
// colour lies at one of its eight neighbours (an edge rasterised a pixel
// away), else `other`. `worst` is the largest channel difference anywhere.
export function compareFrames(native, web) {
    const { width: w, height: h } = native;
    const a = native.rgb, b = web.rgb;
    const near = (i, j) => Math.abs(a[i] - b[j]) <= 2 && Math.abs(a[i + 1] - b[j + 1]) <= 2 &&
                           Math.abs(a[i + 2] - b[j + 2]) <= 2;
    const result = { oneOver: 0, other: 0, worst: 0, firstOther: null };
    for (let y = 0; y < h; y++)
        for (let x = 0; x < w; x++) {
            const i = (y * w + x) * 3;
            for (let c = 0; c < 3; c++) result.worst = Math.max(result.worst, Math.abs(a[i + c] - b[i + c]));
            if (near(i, i)) continue;
            let shifted = false;
            for (let dy = -1; dy <= 1 && !shifted; dy++)
                for (let dx = -1; dx <= 1 && !shifted; dx++) {
                    const nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h) shifted = near((ny * w + nx) * 3, i);
                }
            if (shifted) result.oneOver++;
            else if (result.other++ === 0) result.firstOther = [x, y];
        }
    return result;
}
