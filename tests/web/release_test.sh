#!/usr/bin/env bash
# The web release files as scripts/release makes them from a web build: the
# archive staged and packed twice, the second time from a copy of the page's
# folder with other file times, gives the same bytes; it holds the page's
# files, their licences (no mpg123: the browser decodes the music) and a
# readme in one top folder; unpacked and served as its readme says
# (python3 -m http.server), the page reaches its prompt in chromium with no
# console errors; the one-file page stays within 8 MB and carries the
# folder's icon inside.
#   tests/web/release_test.sh WEB_BUILD
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill "$server"; rm -rf "$work"' EXIT
failed=0
check() { "${@:2}" || { echo "FAILED: $1" >&2; failed=1; }; } # check WHAT COMMAND...

mkdir -p "$work/copy"
cp -R "$build/site" "$work/copy/site"
grep '^QUARNEL_WEB_PREFIX:' "$build/CMakeCache.txt" >"$work/copy/CMakeCache.txt"
touch -d '2001-02-03 04:05:06' "$work/copy/site"/*
for from in "$build" "$work/copy"; do
    out=$work/$(basename "$from")
    "$source_dir/release/stage-web" "$from" "$out/stage"
    "$source_dir/release/pack" web 1.0 "$out/stage" "$out/quarnel-1.0-web.zip" >/dev/null
done
one=$work/$(basename "$build")/quarnel-1.0-web.zip
check "the same bytes from the same page" cmp "$one" "$work/copy/quarnel-1.0-web.zip"

listed=$(unzip -Z1 "$one" | grep -v /licences/)
expected=$(printf 'quarnel-1.0-web/%s\n' index.html quarnel.data quarnel.js quarnel.png quarnel.wasm readme.txt)
check "the page's files and readme in one top folder: $listed" [ "$listed" = "$expected" ]
licences=$(unzip -Z1 "$one" | sed -n 's|^quarnel-1.0-web/licences/||p' | grep -v -e -COPYING -e -LICEN |
    paste -s -d ' ')
check "each library's licence and Emscripten's, none of mpg123: $licences" [ "$licences" = \
    "emscripten.txt kissfft.txt libjpeg-turbo.txt libpng1.6.txt libsdl2.txt sources.txt zlib.txt" ]
mkdir "$work/unpacked"
unzip -q "$one" -d "$work/unpacked"
(cd "$work/unpacked/quarnel-1.0-web" && exec python3 -u -m http.server 0 --bind 127.0.0.1) \
    >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do grep -q 'port [0-9]' "$work/server.log" && break; sleep 0.1; done
url=$(grep -o 'http://127.0.0.1:[0-9]*/' "$work/server.log")
check "the unpacked folder served at $url reaches the prompt" node --input-type=module -e "
    import { launch, openTab, waitForState } from '$source_dir/tests/web/harness.mjs';
    const browser = await launch('chromium');
    try {
        const page = await openTab(browser, 640, 480);
        await page.goto('$url');
        await waitForState(page, 'prompt', 120000);
        if (page.errors.length) throw new Error(page.errors.join('; '));
    } finally { await browser.close(); }"
size=$(stat -c %s "$build/quarnel.html")
check "quarnel.html's $size bytes within 8 MB" [ "$size" -le $((8 * 1024 * 1024)) ]
icon=$(sed -n 's|^<link rel="icon" type="image/png" href="data:image/png;base64,\([^"]*\)">$|\1|p' "$build/quarnel.html")
check "the one-file page carries the folder's icon inside" cmp <(base64 -d <<<"$icon") "$build/site/quarnel.png"
exit $failed
