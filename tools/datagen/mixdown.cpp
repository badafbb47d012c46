// The mixdown: every note rendered onto its bus, the chords ducked under the
// kick, the echo added, the end faded to silence.
#include <algorithm>
#include <cmath>

#include "song.h"

namespace {

// The pads and chords pump under the kick; the lead sings over it.
bool isDucked(Instrument i) {
    return i == Instrument::pad || i == Instrument::stab || i == Instrument::arp;
}

void addAt(std::vector<float>& bus, const std::vector<float>& part, size_t offset, float gain) {
    size_t n = std::min(part.size(), bus.size() > offset ? bus.size() - offset : 0);
    for (size_t i = 0; i < n; i++)
        bus[offset + i] += part[i] * gain;
}

// Ping-pong echo of three sixteenths: first repeat left, then right, each
// darker than the last.
void addEcho(const StereoBuffer& send, StereoBuffer& out) {
    const size_t delay = size_t(std::lround(3.0 * stepSeconds * sampleRate));
    const float feedback = 0.42f;
    const size_t n = send.left.size();
    std::vector<float> tapL(n, 0.0f), tapR(n, 0.0f);
    float darkL = 0.0f, darkR = 0.0f, lowCut = 0.0f;
    const float dark = 0.25f; // one-pole low-pass in the loop
    const float cut = 0.045f; // one-pole high-pass on the way in (~300 Hz)
    for (size_t i = 0; i < n; i++) {
        float in = 0.5f * (send.left[i] + send.right[i]);
        lowCut += cut * (in - lowCut);
        in -= lowCut;
        float fromL = i >= delay ? tapL[i - delay] : 0.0f;
        float fromR = i >= delay ? tapR[i - delay] : 0.0f;
        darkL += dark * (fromL - darkL);
        darkR += dark * (fromR - darkR);
        tapL[i] = in + feedback * darkR;
        tapR[i] = feedback * darkL;
        out.left[i] += darkL * 0.8f;
        out.right[i] += darkR * 0.8f;
    }
}

// Gain of the ducked parts: dips by up to 35 % after each kick, in over 5 ms
// and back over ~0.15 s, so the chords breathe with the beat and leave the
// kick room.
std::vector<float> duckCurve(const std::vector<double>& kicks, size_t frames) {
    std::vector<float> gain(frames, 1.0f);
    for (double k : kicks) {
        size_t from = size_t(k * sampleRate);
        for (size_t i = from; i < std::min(frames, from + size_t(0.5 * sampleRate)); i++) {
            double t = double(i - from) / sampleRate;
            double dip = 0.35 * std::min(t / 0.005, 1.0) * std::exp(-t / 0.15);
            gain[i] = std::min(gain[i], float(1.0 - dip));
        }
    }
    return gain;
}

} // namespace

StereoBuffer renderSong(const std::vector<NoteEvent>& events) {
    const size_t frames = size_t(std::ceil(songSeconds * sampleRate));
    StereoBuffer dry{std::vector<float>(frames), std::vector<float>(frames)};
    StereoBuffer ducked = dry, send = dry;
    StereoBuffer note;
    for (const NoteEvent& e : events) {
        renderNote(e, note);
        const size_t offset = size_t(std::lround(e.start * sampleRate));
        StereoBuffer& bus = isDucked(e.instrument) ? ducked : dry;
        addAt(bus.left, note.left, offset, 1.0f);
        addAt(bus.right, note.right, offset, 1.0f);
        if (e.echo > 0.0f) {
            addAt(send.left, note.left, offset, e.echo);
            addAt(send.right, note.right, offset, e.echo);
        }
    }
    const std::vector<float> duck = duckCurve(kickTimes(events), frames);
    for (size_t i = 0; i < frames; i++) {
        dry.left[i] += ducked.left[i] * duck[i];
        dry.right[i] += ducked.right[i] * duck[i];
    }
    addEcho(send, dry);
    // The last 50 ms fade to silence so the file ends cleanly.
    const size_t fade = size_t(0.05 * sampleRate);
    for (size_t i = frames - fade; i < frames; i++) {
        float g = float(frames - 1 - i) / float(fade);
        dry.left[i] *= g;
        dry.right[i] *= g;
    }
    return dry;
}
