// The soundtrack's instruments: each turns one note event into samples,
// built from plain oscillators, noise, envelopes and a state-variable filter.
#pragma once

#include <cstdint>
#include <vector>

constexpr int sampleRate = 44100;

enum class Instrument {
    kick,      // pitch-swept sine, ~50 Hz body
    snare,     // noise plus a short tone
    closedHat, // short bright noise
    openHat,   // the same, ringing longer
    crash,     // long wide noise wash on section starts
    bass,      // filtered saw, short plucked notes
    pad,       // three detuned saws through a slow low-pass
    stab,      // two detuned saws, short, bright attack
    lead,      // pulse and saw with vibrato
    arp,       // short pluck for arpeggios
    riser,     // noise through a band-pass sweeping upwards
};

struct NoteEvent {
    Instrument instrument = Instrument::kick;
    double start = 0.0;     // seconds from the start of the track
    double length = 0.0;    // seconds held; tails ring on after
    int note = 69;          // MIDI note number, 69 = A4 = 440 Hz
    float gain = 1.0f;      // linear
    float cutoff = 0.0f;    // low-pass at the start of the note, Hz (0: the instrument's own)
    float cutoffEnd = 0.0f; // ... at the end of length (0: same as cutoff)
    float pan = 0.0f;       // -1 left .. 1 right
    float echo = 0.0f;      // share sent to the echo
    uint32_t seed = 1;      // noise seed, so every hit is the same on every run
};

struct StereoBuffer {
    std::vector<float> left, right;
};

// Renders one event from its own start: the left and right samples of the
// note and its tail, gain and pan applied. Deterministic.
void renderNote(const NoteEvent& note, StereoBuffer& out);

// 440 * 2^((note - 69) / 12).
double noteHz(double note);
