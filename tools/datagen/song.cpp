// The score: intro, first theme, battle build, climax, breakdown and return,
// outro. Melodies are written like tracker rows, one token per sixteenth.
#include "song.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

namespace {

enum class Section { intro, theme, build, climax, breakdown, outro, ending };

Section sectionOf(int bar) {
    if (bar < 4) return Section::intro;
    if (bar < 15) return Section::theme;
    if (bar < 21) return Section::build;
    if (bar < 26) return Section::climax;
    if (bar < 34) return Section::breakdown;
    if (bar < finalBar) return Section::outro;
    return Section::ending;
}

struct Chord {
    int bass;   // root for the bass line
    int pad[3]; // voicing, led smoothly from chord to chord
};

const Chord chordAm = {45, {57, 60, 64}};
const Chord chordF = {41, {57, 60, 65}};
const Chord chordC = {48, {55, 60, 64}};
const Chord chordG = {43, {55, 59, 62}};
const Chord chordDm = {50, {57, 62, 65}};

// i - VI - III - VII, with turns of its own in the build and at phrase ends.
Chord chordOf(int bar) {
    const Chord loop[4] = {chordAm, chordF, chordC, chordG};
    switch (sectionOf(bar)) {
    case Section::intro:
        return loop[bar % 4];
    case Section::theme: {
        const Chord tail[3] = {chordAm, chordF, chordG};
        return bar < 12 ? loop[bar % 4] : tail[bar - 12];
    }
    case Section::build: {
        const Chord rise[6] = {chordDm, chordDm, chordF, chordF, chordG, chordG};
        return rise[bar - 15];
    }
    case Section::climax:
        return bar < 25 ? loop[(bar - 21) % 4] : chordG;
    case Section::breakdown: {
        const Chord slow[4] = {chordAm, chordAm, chordF, chordF};
        return bar < 30 ? slow[bar - 26] : loop[(bar - 30) % 4];
    }
    case Section::outro:
        return bar < 38 ? loop[(bar - 34) % 4] : chordG;
    case Section::ending:
        return chordAm;
    }
    return chordAm;
}

// The lead. "A5" starts a note, "--" holds it, ".." rests. 16 tokens a bar.
// The motif of the first bar comes back in every section.
const char* const themeA = "A5 -- -- G5 -- -- E5 -- -- -- D5 -- E5 -- -- -- "
                           "C5 -- -- D5 -- -- E5 -- -- -- F5 -- E5 -- C5 -- "
                           "G4 -- -- C5 -- -- E5 -- -- -- G5 -- E5 -- D5 -- "
                           "D5 -- -- B4 -- -- G4 -- -- -- B4 -- D5 -- E5 -- ";
const char* const themeB = "A5 -- -- G5 -- -- E5 -- -- -- D5 -- E5 -- A4 -- "
                           "C5 -- -- D5 -- -- F5 -- -- -- E5 -- D5 -- C5 -- "
                           "E5 -- -- G5 -- -- C6 -- -- -- B5 -- G5 -- E5 -- "
                           "G5 -- -- F5 -- -- D5 -- -- -- B4 -- D5 -- E5 -- ";
const char* const themeTurn = "A5 -- -- G5 -- -- E5 -- -- -- D5 -- E5 -- -- -- "
                              "C5 -- -- D5 -- -- E5 -- -- -- F5 -- E5 -- C5 -- "
                              "D5 -- -- -- -- -- .. .. B4 -- C5 -- D5 -- E5 -- ";
const char* const motifOpening = "A5 -- -- G5 -- -- E5 -- -- -- D5 -- E5 -- -- -- "
                                 "C5 -- -- D5 -- -- E5 -- -- -- F5 -- E5 -- C5 -- ";
const char* const climaxBreak = "D6 -- -- -- -- -- B5 -- -- -- -- -- .. .. .. .. ";
const char* const outroRun = "D5 -- -- -- -- -- B4 -- -- -- D5 -- E5 -- G5 -- ";

struct MelodyNote {
    int step;  // sixteenths from the start of the line
    int steps; // held for
    int note;  // MIDI
};

int parseNoteName(const std::string& name) {
    static const char letters[] = "CDEFGAB";
    static const int semitones[] = {0, 2, 4, 5, 7, 9, 11};
    const char* at = std::strchr(letters, name[0]);
    int note = semitones[at - letters];
    size_t i = 1;
    if (name[i] == '#') note++, i++;
    return note + 12 * (name[i] - '0' + 1);
}

std::vector<MelodyNote> parseMelody(const char* text) {
    std::vector<MelodyNote> notes;
    std::istringstream tokens(text);
    std::string token;
    bool holding = false;
    for (int step = 0; tokens >> token; step++) {
        if (token == "--") {
            if (holding) notes.back().steps++;
        } else if (token == "..") {
            holding = false;
        } else {
            notes.push_back({step, 1, parseNoteName(token)});
            holding = true;
        }
    }
    return notes;
}

// Collects the events, with a running seed so every noise hit differs.
struct Score {
    std::vector<NoteEvent> events;
    uint32_t seed = 1;

    void add(NoteEvent e) {
        e.seed = seed++;
        events.push_back(e);
    }
};

double stepTime(int bar, double step) {
    return barStart(bar) + step * stepSeconds;
}

void addLeadLine(Score& score, int firstBar, const char* text, int transpose, double stretch,
                 float gain, float cutoff) {
    for (const MelodyNote& m : parseMelody(text)) {
        NoteEvent e;
        e.instrument = Instrument::lead;
        e.start = stepTime(firstBar, m.step * stretch);
        e.length = (m.steps * stretch - 0.25) * stepSeconds;
        e.note = m.note + transpose;
        e.gain = gain;
        e.cutoff = cutoff;
        e.echo = 0.38f;
        score.add(e);
    }
}

void addDrum(Score& score, Instrument instrument, int bar, double step, float gain,
             float pan = 0.0f) {
    NoteEvent e;
    e.instrument = instrument;
    e.start = stepTime(bar, step);
    e.gain = gain;
    e.pan = pan;
    if (instrument == Instrument::snare) e.echo = 0.06f;
    score.add(e);
}

void addPad(Score& score, int bar, double bars, float gain, float cutoff, float cutoffEnd) {
    for (int note : chordOf(bar).pad) {
        NoteEvent e;
        e.instrument = Instrument::pad;
        e.start = barStart(bar);
        e.length = bars * barSeconds - 0.05;
        e.note = note;
        e.gain = gain;
        e.cutoff = cutoff;
        e.cutoffEnd = cutoffEnd;
        score.add(e);
    }
}

// Off-beat chord stabs, an octave above the pad.
void addStabs(Score& score, int bar, float gain) {
    for (int step : {2, 6, 10, 14})
        for (int note : chordOf(bar).pad) {
            NoteEvent e;
            e.instrument = Instrument::stab;
            e.start = stepTime(bar, step);
            e.length = stepSeconds * 1.5;
            e.note = note + 12;
            e.gain = gain;
            e.cutoff = 1400.0f;
            e.echo = 0.3f;
            score.add(e);
        }
}

// The bass locks to the kick: roots on the beats, octave notes between them.
// "R" root, "O" octave up, "--" hold, ".." rest.
void addBassLine(Score& score, int bar, const char* pattern, float gain) {
    std::istringstream tokens(pattern);
    std::string token;
    const int root = chordOf(bar).bass;
    std::vector<MelodyNote> notes;
    for (int step = 0; tokens >> token; step++) {
        if (token == "--" && !notes.empty())
            notes.back().steps++;
        else if (token == "R")
            notes.push_back({step, 1, root});
        else if (token == "O")
            notes.push_back({step, 1, root + 12});
    }
    for (const MelodyNote& m : notes) {
        NoteEvent e;
        e.instrument = Instrument::bass;
        e.start = stepTime(bar, m.step);
        e.length = (m.steps - 0.3) * stepSeconds;
        e.note = m.note;
        e.gain = m.note == root ? gain : gain * 0.8f;
        score.add(e);
    }
}

const char* const bassDrive = "R -- O R R -- O .. R -- O R R -- O O";
const char* const bassEighths = "R -- O -- R -- O -- R -- O -- R -- O --";
const char* const bassHalfTime = "R -- -- -- .. .. .. .. .. .. R -- -- .. O ..";

// Sixteenth arpeggio over the chord, rising to the octave and back.
void addArp(Score& score, int bar, float gain, float cutoff, float cutoffEnd) {
    const Chord chord = chordOf(bar); // held here: pad must not point into a temporary
    const int* pad = chord.pad;
    const int shape[8] = {pad[0], pad[1], pad[2], pad[0] + 12, pad[2], pad[1], pad[0] + 12, pad[2]};
    for (int step = 0; step < 16; step++) {
        NoteEvent e;
        e.instrument = Instrument::arp;
        e.start = stepTime(bar, step);
        e.length = stepSeconds * 0.8;
        e.note = shape[step % 8] + 12;
        e.gain = gain;
        float x = step / 16.0f;
        e.cutoff = cutoff * std::pow(cutoffEnd / cutoff, x);
        e.pan = step % 2 ? 0.45f : -0.45f;
        e.echo = 0.3f;
        score.add(e);
    }
}

void addFourOnTheFloor(Score& score, int bar, float gain) {
    for (int beat = 0; beat < 4; beat++)
        addDrum(score, Instrument::kick, bar, beat * 4, gain);
}

void addBackbeat(Score& score, int bar) {
    addDrum(score, Instrument::snare, bar, 4, 0.5f);
    addDrum(score, Instrument::snare, bar, 12, 0.5f);
}

void addSixteenthHats(Score& score, int bar, bool openOffbeats) {
    for (int step = 0; step < 16; step++) {
        bool offbeat = step % 4 == 2;
        if (offbeat && openOffbeats)
            addDrum(score, Instrument::openHat, bar, step, 0.15f, 0.25f);
        else
            addDrum(score, Instrument::closedHat, bar, step, offbeat ? 0.2f : 0.11f, 0.25f);
    }
}

void addSnareFill(Score& score, int bar, int fromStep) {
    for (int step = fromStep; step < 16; step++)
        addDrum(score, Instrument::snare, bar, step, 0.3f + 0.2f * (step - fromStep) / 16.0f);
}

void addCrash(Score& score, int bar) {
    addDrum(score, Instrument::crash, bar, 0, 0.22f);
}

void composeIntro(Score& score) {
    // A noise swell leads in; pads open up over four bars, hats thicken.
    NoteEvent swell;
    swell.instrument = Instrument::riser;
    swell.start = 0.0;
    swell.length = firstBarSeconds;
    swell.gain = 0.18f;
    swell.cutoff = 400.0f;
    swell.cutoffEnd = 5000.0f;
    score.add(swell);
    for (int bar = 0; bar < 4; bar++) {
        float from = 350.0f * std::pow(2.0f, float(bar)), to = from * 2.0f;
        addPad(score, bar, 1, 0.24f, from, to);
        for (int step = 2; step < 16; step += 4)
            addDrum(score, Instrument::closedHat, bar, step, 0.16f, 0.25f);
        if (bar >= 2)
            for (int step = 0; step < 16; step += 4)
                addDrum(score, Instrument::closedHat, bar, step + 3, 0.08f, 0.25f);
        if (bar >= 2) addArp(score, bar, 0.08f + 0.03f * (bar - 2), 600.0f, 1400.0f);
    }
    addFourOnTheFloor(score, 3, 0.7f);
    addBassLine(score, 3, bassEighths, 0.35f);
    addSnareFill(score, 3, 12);
}

void composeTheme(Score& score) {
    addCrash(score, 4);
    for (int bar = 4; bar < 15; bar++) {
        addFourOnTheFloor(score, bar, 0.9f);
        addBackbeat(score, bar);
        addSixteenthHats(score, bar, false);
        if (bar % 2 == 1) addDrum(score, Instrument::openHat, bar, 14, 0.14f, 0.25f);
        addBassLine(score, bar, bassDrive, 0.5f);
        addPad(score, bar, 1, 0.16f, 1500.0f, 1500.0f);
        addStabs(score, bar, 0.2f);
        if (bar >= 8) addArp(score, bar, 0.07f, 1800.0f, 2400.0f);
    }
    addLeadLine(score, 4, themeA, 0, 1.0, 0.3f, 2400.0f);
    addLeadLine(score, 8, themeB, 0, 1.0, 0.3f, 2400.0f);
    addLeadLine(score, 12, themeTurn, 0, 1.0, 0.3f, 2400.0f);
    addSnareFill(score, 14, 12);
}

void composeBuild(Score& score) {
    // Snare rolls tighten, the filters open, a noise riser climbs.
    NoteEvent riser;
    riser.instrument = Instrument::riser;
    riser.start = barStart(15);
    riser.length = 6 * barSeconds;
    riser.gain = 0.3f;
    riser.cutoff = 300.0f;
    riser.cutoffEnd = 9000.0f;
    score.add(riser);
    for (int bar = 15; bar < 21; bar++) {
        const int i = bar - 15;
        const float x0 = i / 6.0f, x1 = (i + 1) / 6.0f;
        const float lowest = 400.0f, highest = 6000.0f;
        const float cut0 = lowest * std::pow(highest / lowest, x0);
        const float cut1 = lowest * std::pow(highest / lowest, x1);
        addFourOnTheFloor(score, bar, 0.9f);
        addBassLine(score, bar, bassEighths, 0.5f);
        addPad(score, bar, 1, 0.2f, cut0, cut1);
        addArp(score, bar, 0.1f, cut0, cut1);
        for (int step = 2; step < 16; step += 4)
            addDrum(score, Instrument::closedHat, bar, step, 0.17f, 0.25f);
        const double spacing = i < 2 ? 4.0 : i < 4 ? 2.0 : i < 5 ? 1.0 : 0.5;
        for (double step = 0.0; step < 16.0; step += spacing) {
            float gain = 0.22f + 0.33f * (i + float(step) / 16.0f) / 6.0f;
            addDrum(score, Instrument::snare, bar, step, gain);
        }
    }
}

void composeClimax(Score& score) {
    addCrash(score, 21);
    for (int bar = 21; bar < 25; bar++) {
        addFourOnTheFloor(score, bar, 0.9f);
        addBackbeat(score, bar);
        addSixteenthHats(score, bar, true);
        addBassLine(score, bar, bassDrive, 0.5f);
        addPad(score, bar, 1, 0.17f, 2500.0f, 2500.0f);
        addStabs(score, bar, 0.22f);
        addArp(score, bar, 0.07f, 2500.0f, 3200.0f);
    }
    addLeadLine(score, 21, themeA, 12, 1.0, 0.26f, 3200.0f);
    // A one-bar break: the lead hangs on, the drums fill into the breakdown.
    for (int step : {0, 4, 8})
        addDrum(score, Instrument::kick, 25, step, 0.9f);
    addBassLine(score, 25, "R -- O R R -- O .. R -- .. .. .. .. .. ..", 0.5f);
    addPad(score, 25, 1, 0.17f, 2500.0f, 1200.0f);
    addLeadLine(score, 25, climaxBreak, 0, 1.0, 0.26f, 3200.0f);
    addSnareFill(score, 25, 8);
}

void composeBreakdown(Score& score) {
    // Half-time: kick on one and the "and" of three, snare on three, the motif
    // slowed to half speed over open pads; then the beat returns.
    addCrash(score, 26);
    for (int bar = 26; bar < 30; bar += 2)
        addPad(score, bar, 2, 0.22f, 1800.0f, 2600.0f);
    for (int bar = 26; bar < 30; bar++) {
        addDrum(score, Instrument::kick, bar, 0, 0.9f);
        addDrum(score, Instrument::kick, bar, 10, 0.8f);
        addDrum(score, Instrument::snare, bar, 8, 0.5f);
        for (int step = 0; step < 16; step += 2)
            addDrum(score, Instrument::closedHat, bar, step, step % 4 ? 0.15f : 0.08f, 0.25f);
        addBassLine(score, bar, bassHalfTime, 0.45f);
    }
    addLeadLine(score, 26, motifOpening, 0, 2.0, 0.24f, 1500.0f);
    for (int bar = 30; bar < 34; bar++) {
        addFourOnTheFloor(score, bar, 0.9f);
        addBackbeat(score, bar);
        addSixteenthHats(score, bar, bar >= 32);
        addBassLine(score, bar, bassDrive, 0.5f);
        addPad(score, bar, 1, 0.16f, 1600.0f, 2000.0f);
        addStabs(score, bar, 0.18f);
    }
    addLeadLine(score, 30, themeB, 0, 1.0, 0.3f, 2400.0f);
    addSnareFill(score, 33, 12);
}

void composeOutro(Score& score) {
    addCrash(score, 34);
    for (int bar = 34; bar < 39; bar++) {
        addFourOnTheFloor(score, bar, 0.9f);
        addSixteenthHats(score, bar, bar < 38);
        addBassLine(score, bar, bassDrive, 0.5f);
        addPad(score, bar, 1, 0.17f, 2200.0f, 2200.0f);
        addArp(score, bar, 0.07f, 2200.0f, 2800.0f);
        if (bar < 38) {
            addBackbeat(score, bar);
            addStabs(score, bar, 0.2f);
        }
    }
    addLeadLine(score, 34, themeA, 0, 1.0, 0.3f, 2600.0f);
    addLeadLine(score, 38, outroRun, 0, 1.0, 0.3f, 2600.0f);
    addSnareFill(score, 38, 4);

    // The final hit: everything on A, then the echo and the pads ring out.
    addDrum(score, Instrument::kick, finalBar, 0, 0.95f);
    addCrash(score, finalBar);
    NoteEvent bass;
    bass.instrument = Instrument::bass;
    bass.start = barStart(finalBar);
    bass.length = 0.6;
    bass.note = chordAm.bass;
    bass.gain = 0.5f;
    score.add(bass);
    for (int note : chordAm.pad) {
        NoteEvent pad;
        pad.instrument = Instrument::pad;
        pad.start = barStart(finalBar);
        pad.length = 2.6;
        pad.note = note;
        pad.gain = 0.2f;
        pad.cutoff = 2600.0f;
        pad.cutoffEnd = 500.0f;
        score.add(pad);
        NoteEvent stab = pad;
        stab.instrument = Instrument::stab;
        stab.length = 0.3;
        stab.note = note + 12;
        stab.echo = 0.4f;
        stab.gain = 0.25f;
        score.add(stab);
    }
    addLeadLine(score, finalBar, "A5 -- -- -- -- -- -- -- -- -- -- -- -- -- -- --", 0, 1.0, 0.28f,
                2400.0f);
}

} // namespace

std::vector<NoteEvent> composeSong() {
    Score score;
    composeIntro(score);
    composeTheme(score);
    composeBuild(score);
    composeClimax(score);
    composeBreakdown(score);
    composeOutro(score);
    return score.events;
}

std::vector<double> kickTimes(const std::vector<NoteEvent>& events) {
    std::vector<double> kicks;
    for (const NoteEvent& e : events)
        if (e.instrument == Instrument::kick) kicks.push_back(e.start);
    std::sort(kicks.begin(), kicks.end());
    return kicks;
}
