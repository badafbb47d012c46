// The soundtrack's instruments. Every note starts and ends on short ramps so
// nothing clicks; noise comes from a seeded generator so each run is the same.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

// xorshift32: white noise in [-1, 1).
struct NoiseSource {
    uint32_t state;
};

float nextNoise(NoiseSource& noise) {
    uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return float(x) * (2.0f / 4294967296.0f) - 1.0f;
}

NoiseSource seededNoise(uint32_t seed) {
    uint32_t state = seed * 2654435761u + 0x9e3779b9u;
    return {state ? state : 1u}; // xorshift never leaves 0
}

// Zero-delay-feedback state-variable filter: low, band and high outputs.
// tune() sets the cutoff; callers that sweep it retune every controlStep samples.
struct Svf {
    double ic1 = 0.0, ic2 = 0.0;
    double k = 2.0, a1 = 1.0, a2 = 0.0, a3 = 0.0;
};
struct SvfOut {
    double low, band, high;
};
constexpr size_t controlStep = 16;

void tune(Svf& f, double cutoffHz, double damping) {
    cutoffHz = std::clamp(cutoffHz, 20.0, sampleRate * 0.45);
    const double g = std::tan(pi * cutoffHz / sampleRate);
    f.k = damping; // 2 = no resonance, small = ringing
    f.a1 = 1.0 / (1.0 + g * (g + f.k));
    f.a2 = g * f.a1;
    f.a3 = g * f.a2;
}

Svf tuned(double cutoffHz, double damping) {
    Svf f;
    tune(f, cutoffHz, damping);
    return f;
}

SvfOut runSvf(Svf& f, double in) {
    const double v3 = in - f.ic2;
    const double v1 = f.a1 * f.ic1 + f.a2 * v3;
    const double v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
    f.ic1 = 2.0 * v1 - f.ic1;
    f.ic2 = 2.0 * v2 - f.ic2;
    return {v2, v1, in - f.k * v1 - v2};
}

// Band-limited step correction for a discontinuity at phase 0.
double polyBlep(double phase, double inc) {
    if (phase < inc) {
        double t = phase / inc;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - inc) {
        double t = (phase - 1.0) / inc;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// One oscillator with a phase in [0, 1).
struct Oscillator {
    double phase = 0.0;
};

double saw(Oscillator& osc, double hz) {
    const double inc = hz / sampleRate;
    double out = 2.0 * osc.phase - 1.0 - polyBlep(osc.phase, inc);
    osc.phase += inc;
    if (osc.phase >= 1.0) osc.phase -= 1.0;
    return out;
}

double pulse(Oscillator& osc, double hz, double width) {
    const double inc = hz / sampleRate;
    double out = osc.phase < width ? 1.0 : -1.0;
    out += polyBlep(osc.phase, inc);
    double shifted = osc.phase - width;
    if (shifted < 0.0) shifted += 1.0;
    out -= polyBlep(shifted, inc);
    osc.phase += inc;
    if (osc.phase >= 1.0) osc.phase -= 1.0;
    return out;
}

// Linear ramps at both ends of a note: in over `attack`, out over `release`
// after `held` seconds. 0 outside the note.
double gate(double t, double held, double attack, double release) {
    if (t < 0.0) return 0.0;
    double in = t < attack ? t / attack : 1.0;
    double out = t <= held ? 1.0 : std::max(0.0, 1.0 - (t - held) / release);
    return in * out;
}

double cutoffAt(const NoteEvent& note, double t, double fallback) {
    double from = note.cutoff > 0.0f ? note.cutoff : fallback;
    double to = note.cutoffEnd > 0.0f ? note.cutoffEnd : from;
    double x = note.length > 0.0 ? std::clamp(t / note.length, 0.0, 1.0) : 1.0;
    return from * std::pow(to / from, x); // exponential glide
}

size_t framesFor(double seconds) {
    return size_t(std::ceil(seconds * sampleRate));
}

void resize(StereoBuffer& out, double seconds) {
    out.left.assign(framesFor(seconds), 0.0f);
    out.right.assign(out.left.size(), 0.0f);
}

// Equal-power pan of a mono sample into both channels.
void putPanned(StereoBuffer& out, size_t i, double sample, double pan) {
    double angle = (pan + 1.0) * pi / 4.0;
    out.left[i] += float(sample * std::cos(angle));
    out.right[i] += float(sample * std::sin(angle));
}

void renderKick(const NoteEvent& note, StereoBuffer& out) {
    const double length = 0.36;
    resize(out, length);
    NoiseSource noise = seededNoise(note.seed);
    Svf clickFilter = tuned(3000.0, 1.4);
    double phase = 0.0;
    for (size_t i = 0; i < out.left.size(); i++) {
        double t = double(i) / sampleRate;
        double hz = 48.0 + 130.0 * std::exp(-t / 0.022);
        phase += 2.0 * pi * hz / sampleRate;
        double body = std::sin(phase);
        double env = t < 0.03 ? 1.0 : std::exp(-(t - 0.03) / 0.055);
        double click = 0.0;
        if (t < 0.03)
            click = runSvf(clickFilter, nextNoise(noise)).low * std::exp(-t / 0.004) * 0.35;
        double s = std::tanh(1.6 * (body * env + click)) / std::tanh(1.6);
        s *= gate(t, length - 0.012, 0.001, 0.012) * note.gain * 1.45;
        putPanned(out, i, s, 0.0);
    }
}

void renderSnare(const NoteEvent& note, StereoBuffer& out) {
    const double length = 0.4;
    resize(out, length);
    NoiseSource noise = seededNoise(note.seed);
    Svf bright = tuned(1500.0, 1.2), body = tuned(4200.0, 0.9);
    double phase = 0.0;
    for (size_t i = 0; i < out.left.size(); i++) {
        double t = double(i) / sampleRate;
        double hz = 175.0 + 60.0 * std::exp(-t / 0.01);
        phase += 2.0 * pi * hz / sampleRate;
        double tone = std::sin(phase) * std::exp(-t / 0.045) * 0.55;
        double n = nextNoise(noise);
        double rattle = runSvf(bright, n).high * std::exp(-t / 0.11);
        double crack = runSvf(body, n).band * std::exp(-t / 0.03) * 0.4;
        double s = (tone + rattle * 0.7 + crack) * gate(t, length - 0.02, 0.0008, 0.02);
        putPanned(out, i, s * note.gain * 0.65, note.pan);
    }
}

void renderHat(const NoteEvent& note, StereoBuffer& out, double decay, double length) {
    resize(out, length);
    NoiseSource noise = seededNoise(note.seed);
    Svf high = tuned(7500.0, 1.3), ring = tuned(10500.0, 0.5);
    // A few square partials at inharmonic ratios give the metal.
    const double partials[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Oscillator oscs[6];
    const double fall = std::exp(-1.0 / (decay * sampleRate));
    double env = 1.0;
    for (size_t i = 0; i < out.left.size(); i++, env *= fall) {
        double t = double(i) / sampleRate;
        double metal = 0.0;
        for (int p = 0; p < 6; p++)
            metal += pulse(oscs[p], partials[p] * 1.7, 0.5);
        double n = nextNoise(noise) * 0.8 + metal * 0.08;
        double h = runSvf(high, n).high;
        double r = runSvf(ring, n).band * 0.4;
        double s = (h + r) * env * gate(t, length - 0.01, 0.0005, 0.01);
        putPanned(out, i, s * note.gain, note.pan);
    }
}

void renderCrash(const NoteEvent& note, StereoBuffer& out) {
    const double length = 3.2;
    resize(out, length);
    NoiseSource noiseL = seededNoise(note.seed), noiseR = seededNoise(note.seed + 7);
    Svf highL = tuned(5000.0, 1.2), highR = highL;
    Svf ringL = tuned(8200.0, 0.3), ringR = tuned(7600.0, 0.3);
    const double fall = std::exp(-1.0 / (0.8 * sampleRate));
    double decay = 1.0;
    for (size_t i = 0; i < out.left.size(); i++, decay *= fall) {
        double t = double(i) / sampleRate;
        double env = decay * gate(t, length - 0.3, 0.001, 0.3) * note.gain * 0.7;
        double nl = nextNoise(noiseL), nr = nextNoise(noiseR);
        double l = runSvf(highL, nl).high + runSvf(ringL, nl).band * 0.3;
        double r = runSvf(highR, nr).high + runSvf(ringR, nr).band * 0.3;
        out.left[i] += float(l * env);
        out.right[i] += float(r * env);
    }
}

void renderBass(const NoteEvent& note, StereoBuffer& out) {
    const double release = 0.02;
    resize(out, note.length + release);
    const double hz = noteHz(note.note);
    Oscillator a, b;
    Svf filter;
    for (size_t i = 0; i < out.left.size(); i++) {
        double t = double(i) / sampleRate;
        if (i % controlStep == 0)
            tune(filter, cutoffAt(note, t, 380.0) + 1600.0 * std::exp(-t / 0.05), 0.7);
        double raw = saw(a, hz) * 0.7 + pulse(b, hz, 0.5) * 0.3;
        double s = runSvf(filter, raw).low;
        double env = (0.75 + 0.25 * std::exp(-t / 0.06)) * gate(t, note.length, 0.003, release);
        putPanned(out, i, s * env * note.gain, 0.0);
    }
}

// Detuned saws spread across the stereo field, through a low-pass and a
// high-pass that leaves the low end to the kick and bass.
void renderSaws(const NoteEvent& note, StereoBuffer& out, int voices, double attack, double release,
                double decay, double envCutoff) {
    resize(out, note.length + release);
    const double hz = noteHz(note.note);
    // The outer pair first, so two voices sit left and right of centre.
    const double detune[3] = {-0.11, 0.12, 0.0}; // semitones
    const double spread[3] = {-0.7, 0.7, 0.0};
    Oscillator osc[3];
    double voiceHz[3], panL[3], panR[3];
    for (int v = 0; v < voices; v++) {
        osc[v].phase = 0.31 * v + 0.17 * (note.seed % 5);
        voiceHz[v] = hz * std::pow(2.0, detune[v] / 12.0);
        double angle = (std::clamp(spread[v] + note.pan, -1.0, 1.0) + 1.0) * pi / 4.0;
        panL[v] = std::cos(angle);
        panR[v] = std::sin(angle);
    }
    Svf lowL, lowR, highL = tuned(160.0, 1.4), highR = highL;
    const double fall = decay > 0.0 ? std::exp(-1.0 / (decay * sampleRate)) : 1.0;
    double decayEnv = 1.0;
    for (size_t i = 0; i < out.left.size(); i++, decayEnv *= fall) {
        double t = double(i) / sampleRate;
        if (i % controlStep == 0) {
            double cutoff = cutoffAt(note, t, 1800.0) + envCutoff * std::exp(-t / 0.07);
            tune(lowL, cutoff, 1.0);
            tune(lowR, cutoff, 1.0);
        }
        double l = 0.0, r = 0.0;
        for (int v = 0; v < voices; v++) {
            double s = saw(osc[v], voiceHz[v]);
            l += s * panL[v];
            r += s * panR[v];
        }
        l = runSvf(highL, runSvf(lowL, l).low).high;
        r = runSvf(highR, runSvf(lowR, r).low).high;
        double env = gate(t, note.length, attack, release) * decayEnv * note.gain / voices;
        out.left[i] += float(l * env);
        out.right[i] += float(r * env);
    }
}

void renderLead(const NoteEvent& note, StereoBuffer& out) {
    const double release = 0.07;
    resize(out, note.length + release);
    const double hz = noteHz(note.note);
    Oscillator square, sawOsc;
    Svf filter, high = tuned(200.0, 1.4);
    double f = hz, width = 0.35;
    for (size_t i = 0; i < out.left.size(); i++) {
        double t = double(i) / sampleRate;
        if (i % controlStep == 0) {
            // Vibrato creeps in after the attack, as on a held tracker note.
            double depth = std::clamp((t - 0.15) / 0.3, 0.0, 1.0) * 0.25;
            f = hz * std::pow(2.0, depth * std::sin(2.0 * pi * 5.6 * t) / 12.0);
            width = 0.5 - 0.15 * std::exp(-t / 0.2);
            tune(filter, cutoffAt(note, t, 2600.0) + 2400.0 * std::exp(-t / 0.12), 0.8);
        }
        double raw = pulse(square, f, width) * 0.6 + saw(sawOsc, f * 1.004) * 0.4;
        double s = runSvf(high, runSvf(filter, raw).low).high;
        double env = (0.8 + 0.2 * std::exp(-t / 0.1)) * gate(t, note.length, 0.004, release);
        putPanned(out, i, s * env * note.gain, note.pan);
    }
}

void renderArp(const NoteEvent& note, StereoBuffer& out) {
    resize(out, note.length + 0.02);
    const double hz = noteHz(note.note);
    Oscillator a, b;
    Svf filter, high = tuned(220.0, 1.4);
    const double fall = std::exp(-1.0 / (0.09 * sampleRate));
    double env = 1.0;
    for (size_t i = 0; i < out.left.size(); i++, env *= fall) {
        double t = double(i) / sampleRate;
        if (i % controlStep == 0)
            tune(filter, cutoffAt(note, t, 1500.0) * (0.6 + 0.8 * std::exp(-t / 0.04)), 0.5);
        double raw = saw(a, hz) * 0.5 + pulse(b, hz * 2.0 * 1.003, 0.3) * 0.3;
        double s = runSvf(high, runSvf(filter, raw).low).high;
        putPanned(out, i, s * env * gate(t, note.length, 0.002, 0.02) * note.gain, note.pan);
    }
}

void renderRiser(const NoteEvent& note, StereoBuffer& out) {
    const double release = 0.05;
    resize(out, note.length + release);
    NoiseSource noiseL = seededNoise(note.seed), noiseR = seededNoise(note.seed + 3);
    Svf bandL, bandR;
    for (size_t i = 0; i < out.left.size(); i++) {
        double t = double(i) / sampleRate;
        if (i % controlStep == 0) {
            double cutoff = cutoffAt(note, t, 300.0);
            tune(bandL, cutoff, 0.6);
            tune(bandR, cutoff * 1.05, 0.6);
        }
        double x = std::clamp(t / note.length, 0.0, 1.0);
        double env = x * x * gate(t, note.length, 0.01, release) * note.gain;
        out.left[i] += float(runSvf(bandL, nextNoise(noiseL)).band * env);
        out.right[i] += float(runSvf(bandR, nextNoise(noiseR)).band * env);
    }
}

} // namespace

double noteHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void renderNote(const NoteEvent& note, StereoBuffer& out) {
    switch (note.instrument) {
    case Instrument::kick:
        renderKick(note, out);
        break;
    case Instrument::snare:
        renderSnare(note, out);
        break;
    case Instrument::closedHat:
        renderHat(note, out, 0.028, 0.15);
        break;
    case Instrument::openHat:
        renderHat(note, out, 0.2, 0.55);
        break;
    case Instrument::crash:
        renderCrash(note, out);
        break;
    case Instrument::bass:
        renderBass(note, out);
        break;
    case Instrument::pad:
        renderSaws(note, out, 3, 0.25, 0.45, 0.0, 0.0);
        break;
    case Instrument::stab:
        renderSaws(note, out, 2, 0.003, 0.06, 0.16, 2600.0);
        break;
    case Instrument::lead:
        renderLead(note, out);
        break;
    case Instrument::arp:
        renderArp(note, out);
        break;
    case Instrument::riser:
        renderRiser(note, out);
        break;
    }
}
