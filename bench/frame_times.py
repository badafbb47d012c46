#!/usr/bin/env python3
"""Frame times of whole runs, from the swap probe's logs (bench/swap_probe.c).

A frame lasts from one buffer swap to the next and is counted at the demo time
it began (the previous swap, on the clock the demo's timer starts with, about
when the libraries are loaded). The first swap ends start-up and is left out.
Per scene window: the median, 99th percentile and worst frame time and the
long frames, each the median over the runs (every run's own count in
brackets); the long frames within half a second of a scene change or of an
element's edge; the ten worst frames of all runs with their demo times and
the llvmpipe programs compiled while they were drawn.

A long frame is one that misses a refresh of a 60 Hz display. Unpaced
(--no-vsync) that is any frame over 1/60 s; paced, every frame waits for its
refresh, so a frame misses one when it lasts over 1.5 refresh periods (25 ms).

Usage: bench/frame_times.py [--paced] LOG...   (each LOG as QUARNEL_SWAP_LOG named it)
The scene windows come from quarnel-capture --timeline in BUILD (default build/).
"""
import os
import statistics
import subprocess
import sys



def read_timeline(build):
    """The scene windows as (name, from, to), the end and every edge of a scene
    or element window, as the capture tool lists the demo's own timeline."""
    listing = subprocess.run([os.path.join(build, "quarnel-capture"), "--timeline"], check=True,
                             capture_output=True, text=True).stdout
    scenes, edges, end = [], [], None
    for line in listing.splitlines():
        kind, rest = line.split(" ", 1)
        if kind == "scene":
            lo, hi, name = rest.split(" ", 2)
            scenes.append((name, float(lo), float(hi)))
        elif kind == "edge":
            edges.append(float(rest))
        elif kind == "end":
            end = float(rest)
    return scenes, edges, end


# BUILD names the build folder with quarnel-capture (default build/).
BUILD = os.environ.get("BUILD") or os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                                "build")
SCENES, _EDGES, END = read_timeline(BUILD)
SCENE_CHANGES = [lo for _, lo, _ in SCENES[1:]]
# Where an element appears or goes inside a scene (the slides, the two monster
# sets, the attack pictures): the edges that are not scene changes.
ELEMENT_EDGES = [e for e in _EDGES if e not in {x for _, lo, hi in SCENES for x in (lo, hi)}]
NEAR = 0.5
REFRESH = 1000.0 / 60.0  # ms: one refresh of a 60 Hz display
DROPPED = REFRESH  # ms: an unpaced frame longer than this misses a refresh
MISSED = 1.5 * REFRESH  # ms: a paced frame longer than this missed its refresh


class Run:
    """One run's frames as (demo time it began, ms) and its compiles."""

    def __init__(self, log):
        steps = dict(line.split() for line in open(log + ".steps"))
        self.zero = float(steps["libraries-loaded"])
        swaps = [[float(v) for v in line.split()] for line in open(log)]
        self.startup_ms = (swaps[0][0] - self.zero) * 1000 if swaps else float("nan")
        # (began, wall ms, process CPU ms, drawing thread's CPU ms)
        self.cpu = [(a[0] - self.zero, (b[0] - a[0]) * 1000, (b[1] - a[1]) * 1000,
                     (b[2] - a[2]) * 1000) for a, b in zip(swaps, swaps[1:])]
        self.frames = [(t, ms) for t, ms, _, _ in self.cpu]
        self.compiles = []  # (name, made, ready) in demo time
        try:
            for line in open(log + ".compiles"):
                name, made, ready, _ = line.split()
                self.compiles.append((name, float(made) - self.zero, float(ready) - self.zero))
        except FileNotFoundError:
            pass

        self.threads = {}  # CPU seconds by thread name, threads of one name summed
        try:
            for line in open(log + ".threads"):
                name, seconds = line.split()
                self.threads[name] = self.threads.get(name, 0.0) + float(seconds)
        except FileNotFoundError:
            pass

    def times(self, lo, hi):
        return sorted(ms for t, ms in self.frames if lo <= t < hi)

    def near(self, edges, limit=DROPPED):
        return [(t, ms) for t, ms in self.frames
                if ms > limit and any(abs(t - e) <= NEAR or abs(t + ms / 1000 - e) <= NEAR
                                        for e in edges)]

    def compiled_during(self, t, ms):
        return [(name, ready - made) for name, made, ready in self.compiles
                if t <= made < t + ms / 1000]


def percentile(sorted_values, fraction):
    """Nearest rank: the smallest value with at least that fraction at or below it."""
    if not sorted_values:
        return float("nan")
    rank = max(1, -(-len(sorted_values) * fraction // 1))
    return sorted_values[int(rank) - 1]


def scene_of(t):
    for name, lo, hi in SCENES:
        if lo <= t < hi:
            return name
    return "after the end"


def counts(values):
    return f"{statistics.median(values):g} [{' '.join(str(v) for v in values)}]"


def report(runs, out=sys.stdout, paced=False):
    n = len(runs)
    limit = MISSED if paced else DROPPED
    long = f"missed refresh (over {limit:.1f} ms)" if paced else f"over {limit:.1f} ms"
    print(f"frame times from swap to swap, {'paced' if paced else 'unpaced'}, ms, medians of"
          f" {n} runs; beside them the CPU time of a frame (all threads, ms), which hardly"
          f" depends on the machine's load; counts {long} as median [each run]", file=out)
    print(f"{'scene window':<28}{'frames':>7}{'median':>8}{'p99':>8}{'worst':>8}"
          f"{'CPU med':>9}{'p99':>7}{'worst':>7}   {long}", file=out)
    for name, lo, hi in SCENES:
        per_run = [r.times(lo, hi) for r in runs]
        cpu = [sorted(c for t, _, c, _ in r.cpu if lo <= t < hi) for r in runs]

        def med(values):
            return statistics.median(values)

        over = [sum(ms > limit for ms in v) for v in per_run]
        print(f"{name + f' {lo:g}-{hi:g} s':<28}{med([len(v) for v in per_run]):>7g}"
              f"{med([percentile(v, 0.5) for v in per_run]):>8.2f}"
              f"{med([percentile(v, 0.99) for v in per_run]):>8.2f}"
              f"{med([percentile(v, 1.0) for v in per_run]):>8.2f}"
              f"{med([percentile(v, 0.5) for v in cpu]):>9.2f}"
              f"{med([percentile(v, 0.99) for v in cpu]):>7.2f}"
              f"{med([percentile(v, 1.0) for v in cpu]):>7.2f}"
              f"   {counts(over)}", file=out)
    whole = [sum(ms > limit for t, ms in r.frames if t < END) for r in runs]
    print(f"{long} in the whole run, 0-{END:g} s: {counts(whole)}"
          f"   (goal: at most 2 in every run)", file=out)
    changes = [len(r.near(SCENE_CHANGES, limit)) for r in runs]
    print(f"  within {NEAR} s of a scene change ({', '.join(f'{e:g}' for e in SCENE_CHANGES)} s):"
          f" {counts(changes)}   (goal: none)", file=out)
    elements = [len(r.near(ELEMENT_EDGES, limit)) for r in runs]
    print(f"  within {NEAR} s of an element's edge"
          f" ({', '.join(f'{e:g}' for e in ELEMENT_EDGES)} s): {counts(elements)}"
          f"   (goal: none)", file=out)

    late = [[c for c in r.compiles if r.frames and c[1] > r.frames[0][0]] for r in runs]
    print(f"llvmpipe programs built after the first frame: {counts([len(c) for c in late])},"
          f" {statistics.median(sum(b - a for _, a, b in c) * 1000 for c in late):.1f} ms"
          f" in all (median); in run 1:", file=out)
    for name, made, ready in late[0] if late else []:
        print(f"    at {made:7.3f} s  {name:<24}{(ready - made) * 1000:6.1f} ms", file=out)

    names = sorted({n for r in runs for n in r.threads},
                   key=lambda n: -statistics.median(r.threads.get(n, 0.0) for r in runs))
    if names:
        print("CPU seconds of each thread in a whole run (median): " + ", ".join(
            f"{n} {statistics.median(r.threads.get(n, 0.0) for r in runs):.2f}" for n in names),
            file=out)
    print("ten worst frames of all runs (wall and CPU ms):", file=out)
    worst = sorted(((ms, cpu, t, i) for i, r in enumerate(runs) for t, ms, cpu, _ in r.cpu
                    if t < END), reverse=True)[:10]
    for ms, cpu, t, i in worst:
        made = runs[i].compiled_during(t, ms)
        note = ", ".join(f"{name} {s * 1000:.1f} ms" for name, s in made)
        print(f"  run {i + 1}  at {t:7.3f} s  {ms:6.2f} {cpu:6.2f}  {scene_of(t):<22}"
              f"{'  built: ' + note if note else ''}", file=out)


if __name__ == "__main__":
    paced = sys.argv[1:2] == ["--paced"]
    logs = sys.argv[2:] if paced else sys.argv[1:]
    if not logs:
        sys.exit(__doc__)
    report([Run(log) for log in logs], paced=paced)
