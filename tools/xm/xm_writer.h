// A small writer for FastTracker 2 extended modules (XM, version 0x0104).
// The asset generator builds the demo's music with it; the tests build tiny
// modules with it to exercise the module player.
//
// A module is plain data: fill a Module, then encodeXm() it to bytes or
// saveXm() it to a file. Example, one channel, one pattern, a beat sync on
// row 0 and a note on row 4:
//
//     xm::Module m;
//     m.channels = 1;
//     m.orders = {0};
//     m.patterns.push_back(xm::Pattern(16, m.channels));
//     m.patterns[0].at(0, 0) = xm::syncCell(19);          // effect W, param 19
//     m.patterns[0].at(4, 0) = xm::Cell{xm::noteNumber(4, 0), 1, xm::setVolume(48), 0, 0};
//     xm::Instrument ins;
//     ins.name = "square";
//     xm::Sample s;
//     s.bits16 = false;
//     for (int i = 0; i < 64; ++i) s.data.push_back(i < 32 ? 60 : -60);
//     s.loopType = xm::LoopType::Forward;
//     s.loopStart = 0;
//     s.loopLength = 64;
//     ins.samples.push_back(s);
//     m.instruments.push_back(ins);
//     std::string error;
//     if (!xm::saveXm(m, "/tmp/square.xm", &error)) std::fprintf(stderr, "%s\n", error.c_str());
//
// Conventions of the format that show through here: notes are 1..96 (1 =
// C-0), 97 is key-off, 0 is "no note"; instruments are numbered from 1 in
// pattern cells (0 = none); effects are (type, param) pairs with the types
// 0..35 of FT2's 0-9, A-Z notation. Sample loops are given in sample frames
// (the file stores bytes; the writer converts for 16-bit samples).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

constexpr uint8_t kKeyOff = 97;
constexpr int kMaxChannels = 32;
constexpr int kMaxOrders = 256;
constexpr int kMaxRows = 256;
constexpr int kMaxEnvelopePoints = 12;

// FT2 effect types (the number stored in the file).
enum Effect : uint8_t {
    kArpeggio = 0x0,
    kPortaUp = 0x1,
    kPortaDown = 0x2,
    kTonePorta = 0x3,
    kVibrato = 0x4,
    kSetPanning = 0x8,     // param 0 = left .. 0xFF = right
    kVolumeSlide = 0xA,
    kPositionJump = 0xB,   // param = order position
    kSetVolume = 0xC,
    kPatternBreak = 0xD,   // param = row, written as two BCD digits
    kExtended = 0xE,
    kSetSpeed = 0xF,       // param < 32: ticks per row, else BPM
    kSetGlobalVolume = 16, // 'G'
    kKeyOffEffect = 20,    // 'K'
    kSync = 32,            // 'W': a sync command, param = sync value
};

// One pattern cell. Zero in a field means "empty".
struct Cell {
    uint8_t note = 0;        // 1..96, 97 = key off
    uint8_t instrument = 0;  // 1..128
    uint8_t volume = 0;      // volume column byte (see setVolume)
    uint8_t effect = 0;      // effect type 0..35
    uint8_t param = 0;
};

// Note number for an octave 0..7 and semitone 0..11 (C = 0).
constexpr uint8_t noteNumber(int octave, int semitone) {
    return static_cast<uint8_t>(octave * 12 + semitone + 1);
}
// Volume column "set volume" for a level 0..64.
constexpr uint8_t setVolume(int level) {
    return static_cast<uint8_t>(0x10 + (level < 0 ? 0 : level > 64 ? 64 : level));
}
// A cell holding only the sync command with the given value.
constexpr Cell syncCell(uint8_t value) { return Cell{0, 0, 0, kSync, value}; }

struct Pattern {
    int rows = 64;
    int channels = 0;
    std::vector<Cell> cells;  // row-major, rows * channels

    Pattern() = default;
    Pattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(static_cast<size_t>(rowCount * channelCount)) {}
    Cell& at(int row, int channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
    const Cell& at(int row, int channel) const { return cells[static_cast<size_t>(row * channels + channel)]; }
};

enum class LoopType : uint8_t { None = 0, Forward = 1, PingPong = 2 };

// Sample data is kept as plain signed values; the writer delta-codes it.
// For 8-bit samples only the low byte of each value is stored (-128..127).
struct Sample {
    std::string name;
    bool bits16 = true;
    std::vector<int16_t> data;
    LoopType loopType = LoopType::None;
    uint32_t loopStart = 0;   // in sample frames
    uint32_t loopLength = 0;  // in sample frames
    uint8_t volume = 64;      // 0..64
    int8_t finetune = 0;      // -128..127, 1/128 semitone
    uint8_t panning = 128;
    int8_t relativeNote = 0;  // semitones added to the played note
};

struct EnvelopePoint {
    uint16_t tick = 0;   // x: ticks from note start
    uint16_t value = 0;  // y: 0..64
};

struct Envelope {
    std::vector<EnvelopePoint> points;  // at most kMaxEnvelopePoints
    bool enabled = false;
    bool sustain = false;
    bool loop = false;
    uint8_t sustainPoint = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
};

struct Instrument {
    std::string name;
    std::vector<Sample> samples;
    // Which sample (index into samples) plays for each note 1..96.
    uint8_t noteToSample[96] = {};
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    uint16_t fadeout = 0;  // volume fade per tick after key off (0..4095)
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct Module {
    std::string name;
    std::string tracker = "plivak-data";
    int channels = 8;               // 1..32
    std::vector<uint8_t> orders;    // pattern index per position, 1..256 entries
    int restartPosition = 0;
    bool linearFrequencies = true;
    int tempo = 6;                  // ticks per row
    int bpm = 125;
    std::vector<Pattern> patterns;  // at most 256, each with `channels` channels
    std::vector<Instrument> instruments;  // at most 128
};

// Encodes the module. Returns an empty vector and sets *error when the
// module cannot be written as it stands (counts out of range, a pattern
// with the wrong channel count, a loop outside its sample, an order that
// names a missing pattern).
std::vector<uint8_t> encodeXm(const Module& module, std::string* error = nullptr);

// encodeXm, then writes the bytes to a file. False (and *error) on failure.
bool saveXm(const Module& module, const std::string& path, std::string* error = nullptr);

// The packed form of one pattern's cells, as stored in the file: a byte with
// bit 7 set says which of note, instrument, volume, effect and param follow
// (bits 0..4); a cell with all five fields is stored as five plain bytes.
std::vector<uint8_t> packPattern(const Pattern& pattern);

// Delta coding of sample data as stored in the file (8-bit: one byte per
// frame, 16-bit: little-endian words).
std::vector<uint8_t> deltaEncode(const Sample& sample);

}  // namespace xm
