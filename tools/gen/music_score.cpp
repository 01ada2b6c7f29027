// The score of the demo music. The show plan (SHOW_PLAN.md beside this
// file) fixes where every beat sync falls: each section below starts with a
// beat (except the first), and the section lengths are what make each part
// of the demo last as long as it does. A section is a whole number of bars,
// sometimes with a half bar at its end, so every cut lands on the first beat
// of a bar.
#include "gen/music_score.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gen/music_synth.h"

namespace music {

namespace {

enum Channel : int {
    kChKick,
    kChSnare,
    kChHat,
    kChCymbal,  // crash and open hat
    kChBass,
    kChPad0,
    kChPad1,
    kChPad2,
    kChPluck,
    kChLead,
    kChEcho,
    kChControl,  // sync commands and position jumps only
    kChannelCount
};

enum class Style { Intro, Build, Fill, Theme, Break, Drive, Soar, Stabs, Drift, Hold, Riser, Outro, Finale };

struct Chord {
    int root;      // pitch class, C = 0
    int tones[3];  // pitch classes
};

constexpr Chord kAm{9, {9, 0, 4}};
constexpr Chord kC{0, {0, 4, 7}};
constexpr Chord kDm{2, {2, 5, 9}};
constexpr Chord kE{4, {4, 8, 11}};
constexpr Chord kEm{4, {4, 7, 11}};
constexpr Chord kF{5, {5, 9, 0}};
constexpr Chord kG{7, {7, 11, 2}};

// Four-bar progressions, one chord per bar.
const Chord kProgressions[][4] = {
    {kAm, kF, kC, kG},   // 0: the main theme
    {kF, kG, kEm, kAm},  // 1: drive
    {kDm, kAm, kE, kAm}, // 2: soar
    {kDm, kC, kF, kE},   // 3: drift (the raytraced parts)
    {kAm, kG, kF, kE},   // 4: closing music
    {kF, kG, kE, kE},    // 5: the last rise
};

struct Section {
    int rows;
    Style style;
    int cues[5];   // rows (from the section start) of cue syncs, -1 = none
};

// The show before the closing part. Times are at 0.12 s per row; see
// SHOW_PLAN.md for what each beat ends.
const Section kShow[] = {
    {16, Style::Intro, {-1, -1, -1, -1, -1}},          //    0  0.00 s  blinds open; first beat closes them
    {80, Style::Build, {-1, -1, -1, -1, -1}},          //   16  1.92 s  black blinds, fade to white, dissolve
    {8, Style::Fill, {-1, -1, -1, -1, -1}},            //   96 11.52 s  white blinds
    {192, Style::Theme, {16, 48, 80, 112, 144}},      //  104 12.48 s  warped texture; five captions
    {24, Style::Break, {-1, -1, -1, -1, -1}},          //  296 35.52 s  bars close the screen
    {192, Style::Drive, {-1, -1, -1, -1, -1}},         //  320 38.40 s  banner, wire cube and lattice
    {24, Style::Fill, {-1, -1, -1, -1, -1}},           //  512 61.44 s  dissolve to white
    {160, Style::Soar, {-1, -1, -1, -1, -1}},          //  536 64.32 s  dot cube
    {16, Style::Fill, {-1, -1, -1, -1, -1}},           //  696 83.52 s  band reveal
    {128, Style::Theme, {-1, -1, -1, -1, -1}},         //  712 85.44 s  portrait parade
    {24, Style::Stabs, {8, 16, -1, -1, -1}},           //  840 100.8 s  freeze, two quadrant reveals
    {128, Style::Drift, {-1, -1, -1, -1, -1}},         //  864 103.7 s  raytraced atom
    {128, Style::Drive, {-1, -1, -1, -1, -1}},         //  992 119.0 s  lit text plane
    {16, Style::Fill, {-1, -1, -1, -1, -1}},           // 1120 134.4 s  shutters
    {128, Style::Soar, {-1, -1, -1, -1, -1}},          // 1136 136.3 s  blob layers
    {16, Style::Fill, {-1, -1, -1, -1, -1}},           // 1264 151.7 s  checkerboard
    {128, Style::Theme, {-1, -1, -1, -1, -1}},         // 1280 153.6 s  greetings scroller
    {128, Style::Drive, {-1, -1, -1, -1, -1}},         // 1408 169.0 s  layered maps
    {128, Style::Soar, {-1, -1, -1, -1, -1}},          // 1536 184.3 s  studio, spinning curve
    {128, Style::Theme, {-1, -1, -1, -1, -1}},         // 1664 199.7 s  wandering maps
    {32, Style::Break, {-1, -1, -1, -1, -1}},          // 1792 215.0 s  staircase wipe
    {128, Style::Drive, {-1, -1, -1, -1, -1}},         // 1824 218.9 s  spline snake
    {128, Style::Drift, {-1, -1, -1, -1, -1}},         // 1952 234.2 s  raytraced mirrors
    {176, Style::Soar, {-1, -1, -1, -1, -1}},          // 2080 249.6 s  gadgets, wave-warped logo
    {12, Style::Fill, {-1, -1, -1, -1, -1}},           // 2256 270.7 s  band reveal (three beats)
    {4, Style::Hold, {-1, -1, -1, -1, -1}},            // 2268 272.2 s  held picture (one beat)
    {24, Style::Riser, {-1, -1, -1, -1, -1}},          // 2272 272.6 s  centre smear, white 0.75 s
};
// After the show: two-bar sections with a beat each, looping among
// themselves, so a late show still gets its beats; the demo normally jumps
// to the closing music at the first of them (2296, 275.52 s).
constexpr int kTailRows = 32;
constexpr int kFinalPatterns = 8;  // 64 rows each, a beat on every bar

// ---- the song grid -------------------------------------------------------

// Pitches below are semitone indices, C-0 = 0 (the XM note number less one).
constexpr int kDrumPitch = kDrumNote - 1;

class Grid {
public:
    explicit Grid(int rows) : rows_(rows), cells_(static_cast<size_t>(rows * kChannelCount)) {}
    int rows() const { return rows_; }
    xm::Cell& at(int row, int ch) { return cells_[static_cast<size_t>(row * kChannelCount + ch)]; }
    void note(int row, int ch, int semitone, uint8_t instrument, int volume) {
        if (row < 0 || row >= rows_) return;
        xm::Cell& c = at(row, ch);
        c.note = static_cast<uint8_t>(semitone + 1);
        c.instrument = instrument;
        c.volume = xm::setVolume(volume);
    }
    void keyOff(int row, int ch) {
        if (row < 0 || row >= rows_) return;
        xm::Cell& c = at(row, ch);
        if (c.note == 0) c = xm::Cell{xm::kKeyOff, 0, 0, c.effect, c.param};
    }
    void effect(int row, int ch, uint8_t type, uint8_t param) {
        xm::Cell& c = at(row, ch);
        c.effect = type;
        c.param = param;
    }

private:
    int rows_;
    std::vector<xm::Cell> cells_;
};

// Semitone index (octave * 12 + pitch class, C-0 = 0) of pitch class pc
// in the octave starting at `low`.
int inWindow(int pc, int low) {
    int s = (low / 12) * 12 + pc;
    if (s < low) s += 12;
    return s;
}

// Deterministic choices for the melodies.
class Dice {
public:
    explicit Dice(uint32_t seed) : state_(seed) {}
    int roll(int n) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(n));
    }

private:
    uint32_t state_;
};

// ---- melodies ------------------------------------------------------------

struct NoteEvent {
    int row;       // from the start of the four-bar theme
    int semitone;
    int length;    // rows
};

struct Step { int start, length; };
// One-bar rhythms; the last bar of a theme always uses a long closing note.
const std::vector<Step> kRhythms[] = {
    {{0, 4}, {4, 2}, {6, 2}, {8, 6}, {14, 2}},
    {{0, 6}, {6, 2}, {8, 4}, {12, 4}},
    {{0, 2}, {2, 2}, {4, 4}, {8, 2}, {10, 2}, {12, 4}},
    {{2, 2}, {4, 4}, {8, 3}, {11, 5}},
};
const std::vector<Step> kSlowRhythms[] = {
    {{0, 8}, {8, 8}},
    {{0, 12}, {12, 4}},
    {{0, 6}, {6, 10}},
};
const std::vector<Step> kClosing = {{0, 10}};
const std::vector<Step> kSlowClosing = {{0, 16}};

bool inScale(int pc, const Chord& chord) {
    // A minor, with G sharp over the E major chord.
    bool sharpSeventh = chord.tones[1] == 8;
    switch (pc) {
        case 9: case 11: case 0: case 2: case 4: case 5: return true;
        case 7: return !sharpSeventh;
        case 8: return sharpSeventh;
        default: return false;
    }
}

bool isChordTone(int pc, const Chord& chord) {
    return pc == chord.tones[0] || pc == chord.tones[1] || pc == chord.tones[2];
}

int pitchClass(int semitone) { return ((semitone % 12) + 12) % 12; }

// Moves `steps` scale steps up (steps > 0) or down from `pitch`.
int scaleStep(int pitch, int steps, const Chord& chord) {
    int dir = steps > 0 ? 1 : -1;
    for (int k = 0; k < steps * dir; ++k) {
        do pitch += dir; while (!inScale(pitchClass(pitch), chord));
    }
    return pitch;
}

// A four-bar melody over a progression. Strong rows (0 and 8 of a bar) take
// a chord tone, possibly a leap of up to a fifth; the rows between move by
// one or two scale steps. Bar 2 restates bar 0 moved to its own chord (a
// sequence, so the phrase has a shape a listener can hold) and bar 3 closes
// on a long chord tone. An answer phrase keeps the first two bars of the
// theme it answers and writes new closing bars.
std::vector<NoteEvent> makeTheme(uint32_t seed, const Chord* progression, int low, int high, bool slow,
                                 const std::vector<NoteEvent>* answerTo = nullptr) {
    Dice dice(seed);
    std::vector<NoteEvent> out;
    const auto& rhythms = slow ? kSlowRhythms : kRhythms;
    const int rhythmCount = slow ? 3 : 4;
    int pitch = (low + high) / 2;
    int firstBar = 0;
    if (answerTo) {
        for (const NoteEvent& e : *answerTo)
            if (e.row < 2 * kRowsPerBar) {
                out.push_back(e);
                pitch = e.semitone;
            }
        firstBar = 2;
    }
    for (int bar = firstBar; bar < 4; ++bar) {
        const Chord& chord = progression[bar];
        if (bar == 2 && !answerTo) {
            int shift = pitchClass(chord.root - progression[0].root);
            if (shift > 6) shift -= 12;
            for (size_t i = 0, n = out.size(); i < n; ++i) {
                const NoteEvent& e = out[i];
                if (e.row >= kRowsPerBar) break;
                int p = e.semitone + shift;
                while (!inScale(pitchClass(p), chord)) ++p;
                while (p > high) p -= 12;
                while (p < low) p += 12;
                out.push_back(NoteEvent{e.row + 2 * kRowsPerBar, p, e.length});
                pitch = p;
            }
            continue;
        }
        const std::vector<Step>& rhythm = bar == 3 ? (slow ? kSlowClosing : kClosing) : rhythms[dice.roll(rhythmCount)];
        for (const Step& st : rhythm) {
            bool strong = st.start == 0 || st.start == 8;
            int best = pitch;
            if (strong || bar == 3) {
                // Chord tones within a fifth either way, not the note itself;
                // the closing note prefers the nearest.
                int candidates[16], count = 0;
                for (int p = pitch - 7; p <= pitch + 7; ++p)
                    if (p != pitch && p >= low && p <= high && isChordTone(pitchClass(p), chord) && count < 16)
                        candidates[count++] = p;
                if (count > 0) {
                    if (bar == 3) {
                        best = candidates[0];
                        for (int k = 1; k < count; ++k)
                            if (std::abs(candidates[k] - pitch) < std::abs(best - pitch)) best = candidates[k];
                    } else {
                        best = candidates[dice.roll(count)];
                    }
                }
            } else {
                int size = dice.roll(3) == 0 ? 2 : 1;
                int dir = pitch > high - 3 ? -1 : pitch < low + 3 ? 1 : (dice.roll(2) ? 1 : -1);
                best = scaleStep(pitch, dir * size, chord);
            }
            while (best > high) best -= 12;
            while (best < low) best += 12;
            pitch = best;
            out.push_back(NoteEvent{bar * kRowsPerBar + st.start, pitch, st.length});
        }
    }
    return out;
}

// ---- arrangement ---------------------------------------------------------

// Drum patterns: one character per row; 'X' loud, 'x' normal, 'o' soft.
int hitVolume(char c, int loud) {
    switch (c) {
        case 'X': return loud;
        case 'x': return loud * 3 / 4;
        case 'o': return loud / 2;
        default: return 0;
    }
}

void drumLine(Grid& g, int row0, int rows, int ch, uint8_t instrument, const char* pattern, int loud) {
    for (int r = 0; r < rows && pattern[r % kRowsPerBar]; ++r) {
        int v = hitVolume(pattern[r % kRowsPerBar], loud);
        if (v > 0) g.note(row0 + r, ch, kDrumPitch, instrument, v);
    }
}

// A snare roll over `rows` rows: 16ths rising from `from` to `to`.
void snareRoll(Grid& g, int row0, int rows, int from, int to) {
    for (int r = 0; r < rows; ++r) g.note(row0 + r, kChSnare, kDrumPitch, kSnare, from + (to - from) * r / (rows > 1 ? rows - 1 : 1));
}

struct Voicing { int notes[3]; };
// Pad voicing of a chord: every tone in the octave from G-3 up.
Voicing padVoicing(const Chord& c) {
    const int low = 3 * 12 + 7;
    return Voicing{{inWindow(c.tones[0], low), inWindow(c.tones[1], low), inWindow(c.tones[2], low)}};
}

void padChord(Grid& g, int row, const Chord& c, int volume) {
    Voicing v = padVoicing(c);
    for (int i = 0; i < 3; ++i) g.note(row, kChPad0 + i, v.notes[i], kPad, volume);
}

void padOff(Grid& g, int row) {
    for (int i = 0; i < 3; ++i) g.keyOff(row, kChPad0 + i);
}

// Bass lines: 'R' root in octave 2, 'r' root an octave up, '-' key off.
void bassLine(Grid& g, int row0, int rows, const Chord& c, const char* pattern, int volume) {
    int root = 2 * 12 + c.root;
    for (int r = 0; r < rows; ++r) {
        char ch = pattern[r % kRowsPerBar];
        if (ch == 'R') g.note(row0 + r, kChBass, root, kBass, volume);
        if (ch == 'r') g.note(row0 + r, kChBass, root + 12, kBass, volume * 7 / 8);
        if (ch == '-') g.keyOff(row0 + r, kChBass);
    }
}

// Sixteenth-note arpeggio over the chord tones from C-5 up.
void arpeggio(Grid& g, int row0, int rows, const Chord& c, int volume, int stride) {
    static const int kShape[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 4, 3};
    int tones[3] = {inWindow(c.tones[0], 5 * 12), inWindow(c.tones[1], 5 * 12), inWindow(c.tones[2], 5 * 12)};
    // Sort so index 0 is the lowest.
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j)
            if (tones[j] < tones[i]) std::swap(tones[i], tones[j]);
    for (int r = 0; r < rows; r += stride) {
        int k = kShape[r % 16];
        g.note(row0 + r, kChPluck, tones[k % 3] + 12 * (k / 3), kPluck, (r % 4 == 0) ? volume : volume * 3 / 4);
    }
}

struct Themes {
    std::vector<NoteEvent> main[2], drive[2], soar[2], drift[2], finale[2];
};

Themes makeThemes() {
    Themes t;
    const int low = 4 * 12 + 7, high = 5 * 12 + 9;  // G-4 .. A-5
    t.main[0] = makeTheme(0x5eed01, kProgressions[0], low, high, false);
    t.main[1] = makeTheme(0x5eed02, kProgressions[0], low, high, false, &t.main[0]);
    t.drive[0] = makeTheme(0x5eed11, kProgressions[1], low, high, false);
    t.drive[1] = makeTheme(0x5eed12, kProgressions[1], low, high, false, &t.drive[0]);
    t.soar[0] = makeTheme(0x5eed21, kProgressions[2], low + 5, high + 3, false);
    t.soar[1] = makeTheme(0x5eed22, kProgressions[2], low + 5, high + 3, false, &t.soar[0]);
    t.drift[0] = makeTheme(0x5eed31, kProgressions[3], low, high, true);
    t.drift[1] = makeTheme(0x5eed32, kProgressions[3], low, high, true, &t.drift[0]);
    t.finale[0] = makeTheme(0x5eed41, kProgressions[4], low, high, false);
    t.finale[1] = makeTheme(0x5eed42, kProgressions[4], low, high, false, &t.finale[0]);
    return t;
}

// Plays four-bar theme pairs from `row0` for `bars` bars; the echo channel
// repeats each note three rows later, quieter and panned right.
void melody(Grid& g, int row0, int bars, const std::vector<NoteEvent>* pair, int volume) {
    for (int cycle = 0; cycle * 4 < bars; ++cycle) {
        const std::vector<NoteEvent>& theme = pair[cycle % 2];
        int base = row0 + cycle * 4 * kRowsPerBar;
        int end = row0 + bars * kRowsPerBar;
        for (const NoteEvent& e : theme) {
            int row = base + e.row;
            if (row >= end) break;
            g.note(row, kChLead, e.semitone, kLead, volume);
            g.keyOff(row + e.length, kChLead);
            if (row + 3 < end) {
                g.note(row + 3, kChEcho, e.semitone, kLead, volume * 3 / 8);
                g.keyOff(row + 3 + e.length, kChEcho);
            }
        }
    }
}

// Writes one section into the grid from row0. `occurrence` counts earlier
// sections of the same style; a section that starts on a beat opens with a
// crash so the cut is heard. Sections of whole bars end in a drum fill; a
// trailing half bar belongs to the fill styles.
void arrange(Grid& g, int row0, const Section& s, const Themes& th, int occurrence, bool beatAtStart) {
    const int rows = s.rows;
    const int wholeBars = rows / kRowsPerBar;
    const int half = rows % kRowsPerBar;
    auto chordAt = [](int prog, int bar) -> const Chord& { return kProgressions[prog][bar % 4]; };
    const bool crashAtStart = beatAtStart && s.style != Style::Hold;
    if (crashAtStart) g.note(row0, kChCymbal, kDrumPitch, kCrash, 36);

    switch (s.style) {
        case Style::Intro: {
            g.note(row0, kChKick, kDrumPitch, kKick, 60);
            g.note(row0, kChCymbal, kDrumPitch, kCrash, 30);
            padChord(g, row0, kAm, 24);
            bassLine(g, row0, rows, kAm, "R...............", 50);
            arpeggio(g, row0, rows, kAm, 15, 2);
            break;
        }
        case Style::Build: {
            for (int b = 0; b < wholeBars; ++b) {
                int r = row0 + b * kRowsPerBar;
                const Chord& c = chordAt(0, b + 1);
                padChord(g, r, c, 24);
                arpeggio(g, r, kRowsPerBar, c, 12 + 4 * b, b < 2 ? 2 : 1);
                if (b >= 1) drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "..x...x...x...x.", 27);
                if (b >= 2 && b < wholeBars - 1) drumLine(g, r, kRowsPerBar, kChKick, kKick, "X...X...X...X...", 56);
                bassLine(g, r, kRowsPerBar, c, b < 2 ? "R.............-." : "R.r.R.r.R.r.R.r.", 50);
                if (b == wholeBars - 1) {
                    drumLine(g, r, 8, kChKick, kKick, "X...X...", 56);
                    snareRoll(g, r, 8, 16, 30);
                    snareRoll(g, r + 8, 8, 30, 50);
                }
            }
            break;
        }
        case Style::Fill:
        case Style::Hold: {
            g.note(row0, kChKick, kDrumPitch, kKick, 62);
            padChord(g, row0, kE, 24);
            bassLine(g, row0, 1, kE, "R", 52);
            if (s.style == Style::Hold) {
                g.note(row0, kChCymbal, kDrumPitch, kCrash, 26);
                break;
            }
            if (rows > 8) {
                drumLine(g, row0, rows - 8, kChHat, kClosedHat, "x.o.x.o.x.o.x.o.", 27);
                drumLine(g, row0, rows - 8, kChSnare, kSnare, "....X.......X...", 58);
            }
            snareRoll(g, row0 + rows - 8, 8, 20, 52);
            break;
        }
        case Style::Break: {
            padChord(g, row0, kF, 26);
            bassLine(g, row0, 1, kF, "R", 45);
            g.note(row0, kChLead, 5 * 12 + 4, kLead, 40);  // a held E-5
            g.keyOff(row0 + rows - 8, kChLead);
            drumLine(g, row0, rows - 8, kChHat, kClosedHat, "o.o.x.o.o.o.x.o.", 25);
            padChord(g, row0 + rows - 8, kE, 24);
            bassLine(g, row0 + rows - 8, 1, kE, "R", 45);
            snareRoll(g, row0 + rows - 8, 8, 18, 50);
            break;
        }
        case Style::Stabs: {
            // Three hits, one at the beat and one at each cue; the pads ring
            // out under their long release between them.
            const Chord* hits[3] = {&kAm, &kF, &kE};
            for (int k = 0; k < 3; ++k) {
                int r = row0 + 8 * k;
                g.note(r, kChKick, kDrumPitch, kKick, 62);
                g.note(r, kChSnare, kDrumPitch, kSnare, 44);
                if (k > 0) g.note(r, kChCymbal, kDrumPitch, kOpenHat, 30);
                padChord(g, r, *hits[k], 31);
                padOff(g, r + 3);
                bassLine(g, r, 1, *hits[k], "R", 52);
                g.keyOff(r + 4, kChBass);
                arpeggio(g, r, 8, *hits[k], 18, 1);
            }
            break;
        }
        case Style::Riser: {
            // Bars of the last progression, the final one (a half bar when
            // the section has one) on E so the closing music's A minor
            // resolves it. The rise keeps its four-bar shape however short
            // the section: each bar takes a step of `level` 0..3, the last
            // bar always the top one (a sixteenth-note snare roll, no kick).
            const int bars = wholeBars + (half > 0 ? 1 : 0);
            for (int b = 0; b < bars; ++b) {
                const int r = row0 + b * kRowsPerBar;
                const int len = std::min(kRowsPerBar, rows - b * kRowsPerBar);
                const bool last = b == bars - 1;
                const int level = (b + 1) * 3 / bars;
                const Chord& c = kProgressions[5][last ? 3 : b % 4];
                if (b == 0 || c.root != kProgressions[5][(b - 1) % 4].root) padChord(g, r, c, 26);
                arpeggio(g, r, len, c, 14 + 3 * level, 1);
                drumLine(g, r, len, kChHat, kClosedHat, "xoxoxoxoxoxoxoxo", 18 + 2 * level);
                bassLine(g, r, len, c, "R.r.R.r.R.r.R.r.", 50);
                if (!last) drumLine(g, r, len, kChKick, kKick, "X...X...X...X...", 56);
                static const char* kRoll[4] = {"x...x...x...x...", "x.x.x.x.x.x.x.x.", "xxxxxxxxxxxxxxxx",
                                               "xxxxxxxxxxxxxxxx"};
                drumLine(g, r, len, kChSnare, kSnare, kRoll[level], 30 + 7 * level);
            }
            break;
        }
        case Style::Theme:
        case Style::Drive:
        case Style::Soar:
        case Style::Drift:
        case Style::Outro:
        case Style::Finale: {
            int prog = s.style == Style::Theme ? 0 : s.style == Style::Drive ? 1 : s.style == Style::Soar ? 2
                     : s.style == Style::Drift ? 3 : s.style == Style::Outro ? 0 : 4;
            const std::vector<NoteEvent>* pair = s.style == Style::Theme ? th.main : s.style == Style::Drive ? th.drive
                                               : s.style == Style::Soar ? th.soar : s.style == Style::Drift ? th.drift
                                               : th.finale;
            // The first time the main theme plays (under the captions) the
            // lead waits four bars; later sections start with it.
            int leadFrom = (s.style == Style::Theme && occurrence == 0) ? 4 : 0;
            bool lead = s.style != Style::Outro;
            for (int b = 0; b < wholeBars; ++b) {
                int r = row0 + b * kRowsPerBar;
                const Chord& c = chordAt(prog, b);
                bool last = b == wholeBars - 1 && half == 0;
                bool same = b > 0 && chordAt(prog, b - 1).root == c.root && chordAt(prog, b - 1).tones[1] == c.tones[1];
                if (!same) padChord(g, r, c, s.style == Style::Drift ? 26 : 22);
                switch (s.style) {
                    case Style::Theme:
                        drumLine(g, r, kRowsPerBar, kChKick, kKick, last ? "X...X...X...X.x." : "X...X...X...X...", 58);
                        drumLine(g, r, kRowsPerBar, kChSnare, kSnare, last ? "....X.......Xxxx" : "....X.......X...", 58);
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "xoxoXoxoxoxoXoxo", 27);
                        bassLine(g, r, kRowsPerBar, c, "R.r.R.r.R.r.R.r.", 50);
                        arpeggio(g, r, kRowsPerBar, c, 20, 1);
                        break;
                    case Style::Drive:
                        drumLine(g, r, kRowsPerBar, kChKick, kKick, last ? "X...X...X.x.X.x." : "X...X...X...X.x.", 58);
                        drumLine(g, r, kRowsPerBar, kChSnare, kSnare, last ? "....X.......Xxxx" : "....X.......X...", 58);
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "xoxoxoxoxoxoxoxo", 25);
                        if (b > 0 || !crashAtStart) drumLine(g, r, kRowsPerBar, kChCymbal, kOpenHat, "..o...o...o...o.", 30);
                        bassLine(g, r, kRowsPerBar, c, "R..rR.r.R..rR.r.", 52);
                        break;
                    case Style::Soar:
                        drumLine(g, r, kRowsPerBar, kChKick, kKick, last ? "X.....X...X.X..." : "X.....X...X.....", 58);
                        drumLine(g, r, kRowsPerBar, kChSnare, kSnare, last ? "....X.......X.xx" : "....X.......X...", 58);
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "x.x.x.x.x.x.x.x.", 27);
                        bassLine(g, r, kRowsPerBar, c, "R.....R...r.R...", 52);
                        arpeggio(g, r, kRowsPerBar, c, 18, 2);
                        break;
                    case Style::Drift:
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "..o...o...o...o.", 25);
                        if (b >= 4) drumLine(g, r, kRowsPerBar, kChKick, kKick, "X.........X.....", 52);
                        if (b >= 4) drumLine(g, r, kRowsPerBar, kChSnare, kSnare, last ? "........X...xxxx" : "........X.......", 48);
                        bassLine(g, r, kRowsPerBar, c, "R.............-.", 48);
                        arpeggio(g, r, kRowsPerBar, c, 15, 2);
                        break;
                    case Style::Outro:
                        drumLine(g, r, kRowsPerBar, kChKick, kKick, "X.........X.....", 54);
                        drumLine(g, r, kRowsPerBar, kChSnare, kSnare, "........X.......", 52);
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "x.x.x.x.x.x.x.x.", 22);
                        bassLine(g, r, kRowsPerBar, c, "R.......R.....-.", 48);
                        arpeggio(g, r, kRowsPerBar, c, 15, 2);
                        break;
                    default:  // Finale
                        drumLine(g, r, kRowsPerBar, kChKick, kKick, "X...X...X...X.x.", 58);
                        drumLine(g, r, kRowsPerBar, kChSnare, kSnare, (b % 4 == 3) ? "....X.......Xxxx" : "....X.......X...", 58);
                        drumLine(g, r, kRowsPerBar, kChHat, kClosedHat, "xoxoXoxoxoxoXoxo", 25);
                        if (b % 4 != 0) drumLine(g, r, kRowsPerBar, kChCymbal, kOpenHat, "..o...o...o...o.", 28);
                        bassLine(g, r, kRowsPerBar, c, "R.rrR.r.R.rrR.r.", 52);
                        arpeggio(g, r, kRowsPerBar, c, 18, 1);
                        break;
                }
            }
            if (lead && wholeBars > leadFrom)
                melody(g, row0 + leadFrom * kRowsPerBar, wholeBars - leadFrom, pair, s.style == Style::Drift ? 38 : 40);
            break;
        }
    }
}

// Spreads the band across the stereo field: every note on these channels
// carries a set-panning command (XM has no per-channel default), unless
// the cell already holds an effect.
void applyPanning(Grid& g) {
    static const struct { int channel; uint8_t pan; } kPans[] = {
        {kChHat, 0x68}, {kChCymbal, 0x98}, {kChPad0, 0x50}, {kChPad2, 0xB0},
        {kChPluck, 0xA8}, {kChLead, 0x70}, {kChEcho, 0xC8},
    };
    for (int r = 0; r < g.rows(); ++r)
        for (const auto& p : kPans) {
            xm::Cell& c = g.at(r, p.channel);
            if (c.note != 0 && c.note != xm::kKeyOff && c.effect == 0 && c.param == 0) {
                c.effect = xm::kSetPanning;
                c.param = p.pan;
            }
        }
}

// ---- assembly ------------------------------------------------------------

void fail(const char* what) {
    std::fprintf(stderr, "demo music: %s\n", what);
    std::abort();
}

}  // namespace

xm::Module composeMusic() {
    const Themes themes = makeThemes();
    xm::Module m;
    m.name = "plivak";
    m.tracker = "plivak-data";
    m.channels = kChannelCount;
    m.tempo = kTempo;
    m.bpm = kBpm;
    m.instruments = synthesizeInstruments();

    // Patterns are cut at section boundaries and every 64 rows; identical
    // ones are stored once.
    auto addPattern = [&m](Grid& g, int row0, int rows) {
        xm::Pattern p(rows, kChannelCount);
        for (int r = 0; r < rows; ++r)
            for (int ch = 0; ch < kChannelCount; ++ch) p.at(r, ch) = g.at(row0 + r, ch);
        for (size_t i = 0; i < m.patterns.size(); ++i) {
            const xm::Pattern& q = m.patterns[i];
            if (q.rows != p.rows) continue;
            bool same = true;
            for (size_t k = 0; k < q.cells.size() && same; ++k) {
                const xm::Cell &a = q.cells[k], &b = p.cells[k];
                same = a.note == b.note && a.instrument == b.instrument && a.volume == b.volume &&
                       a.effect == b.effect && a.param == b.param;
            }
            if (same) {
                m.orders.push_back(static_cast<uint8_t>(i));
                return;
            }
        }
        m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(m.patterns.size() - 1));
    };

    // The show.
    int showRows = 0;
    for (const Section& s : kShow) showRows += s.rows;
    Grid show(showRows);
    int row = 0, occurrences[13] = {};
    for (size_t i = 0; i < sizeof kShow / sizeof kShow[0]; ++i) {
        const Section& s = kShow[i];
        bool beat = i > 0;
        arrange(show, row, s, themes, occurrences[static_cast<int>(s.style)]++, beat);
        if (beat) show.effect(row, kChControl, xm::kSync, kBeatSync);
        for (int cue : s.cues)
            if (cue >= 0) show.effect(row + cue, kChControl, xm::kSync, kCueSync);
        row += s.rows;
    }
    applyPanning(show);
    row = 0;
    for (const Section& s : kShow) {
        for (int r = 0; r < s.rows; r += 64) addPattern(show, row + r, s.rows - r < 64 ? s.rows - r : 64);
        row += s.rows;
    }

    // The tail: two-bar sections up to order 55, alternating the halves of
    // a four-bar outro, the last jumping back to the first of them.
    const int tailStart = static_cast<int>(m.orders.size());
    if (tailStart > kFinalOrder - 2) fail("the show needs more than 54 orders");
    const int tailCount = kFinalOrder - tailStart;
    Grid outro(2 * kTailRows);
    arrange(outro, 0, Section{2 * kTailRows, Style::Outro, {-1, -1, -1, -1, -1}}, themes, 0, false);
    applyPanning(outro);
    Grid tail(tailCount * kTailRows);
    for (int k = 0; k < tailCount; ++k) {
        int r0 = k * kTailRows;
        for (int r = 0; r < kTailRows; ++r)
            for (int ch = 0; ch < kChannelCount; ++ch) tail.at(r0 + r, ch) = outro.at((k % 2) * kTailRows + r, ch);
        tail.note(r0, kChCymbal, kDrumPitch, kCrash, 30);
        tail.effect(r0, kChControl, xm::kSync, kBeatSync);
    }
    tail.effect(tailCount * kTailRows - 1, kChControl, xm::kPositionJump, static_cast<uint8_t>(tailStart));
    for (int k = 0; k < tailCount; ++k) addPattern(tail, k * kTailRows, kTailRows);

    // The closing music: a beat on every bar, looping back to order 56.
    Grid fin(kFinalPatterns * 64);
    Section finale{kFinalPatterns * 64, Style::Finale, {-1, -1, -1, -1, -1}};
    arrange(fin, 0, finale, themes, 0, true);
    applyPanning(fin);
    for (int r = 0; r < fin.rows(); r += kRowsPerBar) fin.effect(r, kChControl, xm::kSync, kBeatSync);
    fin.effect(fin.rows() - 1, kChControl, xm::kPositionJump, kFinalOrder);
    for (int k = 0; k < kFinalPatterns; ++k) addPattern(fin, k * 64, 64);

    m.restartPosition = kFinalOrder;
    return m;
}

}  // namespace music
