// The XM writer: modules it writes load in libopenmpt with what was put in,
// and the file's own bytes (packed cells, delta-coded samples, loops) read
// back to the same values with an independent little reader.
#include <gtest/gtest.h>

#include <libopenmpt/libopenmpt.hpp>

#include <cstring>
#include <string>
#include <vector>

#include "xm/xm_writer.h"

namespace {

xm::Sample rampSample(bool bits16, int frames) {
    xm::Sample s;
    s.bits16 = bits16;
    for (int i = 0; i < frames; ++i) {
        // Large jumps both ways so the deltas wrap in 8 and 16 bits.
        int v = (i * 37) % 200 - 100;
        s.data.push_back(static_cast<int16_t>(bits16 ? v * 327 : v));
    }
    return s;
}

// Three orders over two patterns, two channels, two instruments, the second
// with an 8-bit and a 16-bit looped sample.
xm::Module smallModule() {
    xm::Module m;
    m.name = "writer test";
    m.channels = 2;
    m.tempo = 5;
    m.bpm = 140;
    m.orders = {0, 1, 0};
    m.restartPosition = 1;
    m.patterns.push_back(xm::Pattern(32, 2));
    m.patterns.push_back(xm::Pattern(16, 2));
    xm::Pattern& p0 = m.patterns[0];
    p0.at(0, 0) = xm::Cell{xm::noteNumber(4, 0), 1, xm::setVolume(40), xm::kVibrato, 0x34};  // all five
    p0.at(0, 1) = xm::syncCell(19);
    p0.at(3, 0) = xm::Cell{xm::noteNumber(3, 7), 0, 0, 0, 0};      // note only
    p0.at(3, 1) = xm::Cell{0, 2, 0, xm::kSetVolume, 0};             // instrument and effect C00
    p0.at(5, 1) = xm::Cell{xm::kKeyOff, 0, 0, 0, 0};
    p0.at(7, 0) = xm::Cell{0, 0, xm::setVolume(64), 0, 0};          // volume column only
    p0.at(9, 1) = xm::syncCell(1);
    m.patterns[1].at(15, 0) = xm::Cell{0, 0, 0, xm::kPositionJump, 1};

    xm::Instrument a;
    a.name = "one";
    a.samples.push_back(rampSample(true, 300));
    a.volumeEnvelope.points = {{0, 64}, {10, 32}, {40, 0}};
    a.volumeEnvelope.enabled = true;
    a.volumeEnvelope.sustain = true;
    a.volumeEnvelope.sustainPoint = 1;
    a.fadeout = 512;
    m.instruments.push_back(a);

    xm::Instrument b;
    b.name = "two";
    b.samples.push_back(rampSample(false, 257));
    b.samples.push_back(rampSample(true, 1001));
    b.samples[0].loopType = xm::LoopType::Forward;
    b.samples[0].loopStart = 17;
    b.samples[0].loopLength = 200;
    b.samples[1].loopType = xm::LoopType::PingPong;
    b.samples[1].loopStart = 100;
    b.samples[1].loopLength = 900;
    b.samples[1].relativeNote = -12;
    for (int n = 48; n < 96; ++n) b.noteToSample[n] = 1;
    m.instruments.push_back(b);
    return m;
}

// What the test reader takes back out of the file.
struct ReadSample {
    uint32_t length = 0, loopStart = 0, loopLength = 0;  // bytes, as stored
    uint8_t type = 0;
    std::vector<int16_t> values;
};

struct Reader {
    const std::vector<uint8_t>& b;
    size_t pos = 0;
    bool ok = true;
    uint32_t u8() {
        if (pos + 1 > b.size()) { ok = false; return 0; }
        return b[pos++];
    }
    uint32_t u16() { uint32_t lo = u8(); return lo | (u8() << 8); }
    uint32_t u32() { uint32_t lo = u16(); return lo | (u16() << 16); }
};

// Walks the file by its own size fields and undoes the delta coding.
std::vector<std::vector<ReadSample>> readSamples(const std::vector<uint8_t>& bytes,
                                                 std::vector<std::vector<uint8_t>>* packedPatterns) {
    Reader r{bytes};
    r.pos = 60;
    uint32_t headerSize = r.u32();
    r.pos = 64 + 6;
    uint32_t patterns = r.u16(), instruments = r.u16();
    r.pos = 60 + headerSize;
    for (uint32_t p = 0; p < patterns && r.ok; ++p) {
        size_t start = r.pos;
        uint32_t len = r.u32();
        r.pos = start + 7;
        uint32_t packed = r.u16();
        r.pos = start + len;
        if (packedPatterns && r.pos + packed <= bytes.size())
            packedPatterns->emplace_back(bytes.begin() + static_cast<long>(r.pos),
                                         bytes.begin() + static_cast<long>(r.pos + packed));
        r.pos += packed;
    }
    std::vector<std::vector<ReadSample>> out;
    for (uint32_t i = 0; i < instruments && r.ok; ++i) {
        size_t start = r.pos;
        uint32_t size = r.u32();
        r.pos = start + 27;
        uint32_t count = r.u16();
        uint32_t sampleHeader = count ? r.u32() : 0;
        r.pos = start + size;
        std::vector<ReadSample> samples(count);
        for (ReadSample& s : samples) {
            size_t h = r.pos;
            s.length = r.u32();
            s.loopStart = r.u32();
            s.loopLength = r.u32();
            r.u8();
            r.u8();
            s.type = static_cast<uint8_t>(r.u8());
            r.pos = h + sampleHeader;
        }
        for (ReadSample& s : samples) {
            int32_t acc = 0;
            bool wide = s.type & 0x10;
            for (uint32_t k = 0; k < s.length / (wide ? 2 : 1); ++k) {
                if (wide) {
                    acc = static_cast<int16_t>(acc + static_cast<int16_t>(r.u16()));
                } else {
                    acc = static_cast<int8_t>(acc + static_cast<int8_t>(r.u8()));
                }
                s.values.push_back(static_cast<int16_t>(acc));
            }
        }
        out.push_back(samples);
    }
    EXPECT_TRUE(r.ok) << "file ends early";
    EXPECT_EQ(r.pos, bytes.size()) << "bytes left over after the last sample";
    return out;
}

}  // namespace

TEST(XmWriter, ModuleLoadsInLibopenmptWithItsLayout) {
    xm::Module m = smallModule();
    std::string error;
    std::vector<uint8_t> bytes = xm::encodeXm(m, &error);
    ASSERT_FALSE(bytes.empty()) << error;
    EXPECT_EQ(0, std::memcmp(bytes.data(), "Extended Module: ", 17));
    EXPECT_EQ(bytes[58] | (bytes[59] << 8), 0x0104);

    openmpt::module mod(bytes);
    EXPECT_EQ(mod.get_metadata("type"), "xm");
    EXPECT_EQ(mod.get_metadata("title"), "writer test");
    EXPECT_EQ(mod.get_num_orders(), 3);
    EXPECT_EQ(mod.get_num_patterns(), 2);
    EXPECT_EQ(mod.get_num_instruments(), 2);
    EXPECT_EQ(mod.get_num_samples(), 3);
    EXPECT_EQ(mod.get_num_channels(), 2);
    EXPECT_EQ(mod.get_order_pattern(1), 1);
    EXPECT_EQ(mod.get_order_pattern(2), 0);
    EXPECT_EQ(mod.get_pattern_num_rows(0), 32);
    EXPECT_EQ(mod.get_pattern_num_rows(1), 16);
    EXPECT_EQ(mod.get_current_speed(), 5);
    EXPECT_EQ(mod.get_current_tempo(), 140);
    EXPECT_EQ(mod.get_instrument_names()[1], "two");
    EXPECT_EQ(mod.get_metadata("warnings"), "");
    // 32 + 16 rows; the jump in the last row of pattern 1 goes back to
    // order 1, a loop, so the song ends there: 48 rows of 5 ticks of 2.5/140 s.
    EXPECT_NEAR(mod.get_duration_seconds(), 48 * 5 * 2.5 / 140, 0.01);  // ticks are whole samples
}

TEST(XmWriter, PackedCellsRoundTripThroughLibopenmpt) {
    xm::Module m = smallModule();
    std::vector<uint8_t> bytes = xm::encodeXm(m);
    openmpt::module mod(bytes);
    using M = openmpt::module;
    // libopenmpt counts notes from C-0 = 1 an octave below FT2's numbering.
    auto note = [&](int row, int ch) { return mod.get_pattern_row_channel_command(0, row, ch, M::command_note); };
    auto ins = [&](int row, int ch) { return mod.get_pattern_row_channel_command(0, row, ch, M::command_instrument); };
    EXPECT_EQ(note(0, 0), xm::noteNumber(4, 0) + 12);
    EXPECT_EQ(ins(0, 0), 1);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, M::command_volume), 40);
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 0, M::command_parameter), 0x34);
    EXPECT_EQ(note(3, 0), xm::noteNumber(3, 7) + 12);
    EXPECT_EQ(ins(3, 0), 0);
    EXPECT_EQ(ins(3, 1), 2);
    EXPECT_EQ(mod.format_pattern_row_channel_command(0, 3, 1, M::command_effect), "C");
    EXPECT_EQ(mod.format_pattern_row_channel_command(0, 5, 1, M::command_note), "===");
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 7, 0, M::command_volume), 64);
    EXPECT_EQ(note(7, 0), 0);
    EXPECT_EQ(note(1, 0), 0);  // an empty cell between filled ones stays empty
    EXPECT_EQ(mod.format_pattern_row_channel_command(1, 15, 0, M::command_effect), "B");
    EXPECT_EQ(mod.get_pattern_row_channel_command(1, 15, 0, M::command_parameter), 1);
}

TEST(XmWriter, SyncCommandsAreEffectWInThePatternData) {
    openmpt::module mod(xm::encodeXm(smallModule()));
    using M = openmpt::module;
    EXPECT_EQ(mod.format_pattern_row_channel_command(0, 0, 1, M::command_effect), "W");
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 0, 1, M::command_parameter), 19);
    EXPECT_EQ(mod.format_pattern_row_channel_command(0, 9, 1, M::command_effect), "W");
    EXPECT_EQ(mod.get_pattern_row_channel_command(0, 9, 1, M::command_parameter), 1);
    EXPECT_NE(mod.format_pattern_row_channel_command(0, 3, 1, M::command_effect), "W");
}

TEST(XmWriter, PackingChoosesTheShortForm) {
    xm::Pattern p(1, 4);
    p.at(0, 1) = xm::Cell{49, 0, 0, 0, 0};
    p.at(0, 2) = xm::Cell{49, 3, 0x30, 0xA, 0x0F};
    p.at(0, 3) = xm::Cell{0, 0, 0, xm::kSync, 19};
    std::vector<uint8_t> want = {0x80, 0x81, 49, 49, 3, 0x30, 0xA, 0x0F, 0x98, 32, 19};
    EXPECT_EQ(xm::packPattern(p), want);
}

TEST(XmWriter, SamplesAndLoopsRoundTripThroughTheFile) {
    xm::Module m = smallModule();
    std::vector<std::vector<uint8_t>> packed;
    std::vector<uint8_t> bytes = xm::encodeXm(m);
    std::vector<std::vector<ReadSample>> got = readSamples(bytes, &packed);
    ASSERT_EQ(got.size(), 2u);
    ASSERT_EQ(got[0].size(), 1u);
    ASSERT_EQ(got[1].size(), 2u);
    ASSERT_EQ(packed.size(), 2u);
    EXPECT_EQ(packed[1], xm::packPattern(m.patterns[1]));

    const xm::Sample& s8 = m.instruments[1].samples[0];
    EXPECT_EQ(got[1][0].length, 257u);
    EXPECT_EQ(got[1][0].loopStart, 17u);
    EXPECT_EQ(got[1][0].loopLength, 200u);
    EXPECT_EQ(got[1][0].type, 0x01);
    EXPECT_EQ(got[1][0].values, s8.data);

    const xm::Sample& s16 = m.instruments[1].samples[1];
    EXPECT_EQ(got[1][1].length, 2002u);     // bytes
    EXPECT_EQ(got[1][1].loopStart, 200u);
    EXPECT_EQ(got[1][1].loopLength, 1800u);
    EXPECT_EQ(got[1][1].type, 0x12);
    EXPECT_EQ(got[1][1].values, s16.data);
    EXPECT_EQ(got[0][0].values, m.instruments[0].samples[0].data);
    EXPECT_EQ(got[0][0].loopLength, 0u);
}

TEST(XmWriter, RefusesModulesItCannotWrite) {
    std::string error;
    xm::Module m = smallModule();
    m.orders.push_back(7);
    EXPECT_TRUE(xm::encodeXm(m, &error).empty());
    EXPECT_NE(error.find("missing pattern"), std::string::npos);

    m = smallModule();
    m.instruments[1].samples[0].loopLength = 241;  // 17 + 241 > 257
    EXPECT_TRUE(xm::encodeXm(m, &error).empty());
    EXPECT_NE(error.find("loop"), std::string::npos);

    m = smallModule();
    m.patterns[1] = xm::Pattern(16, 3);
    EXPECT_TRUE(xm::encodeXm(m, &error).empty());

    m = smallModule();
    m.patterns[0].at(2, 0).instrument = 3;
    EXPECT_TRUE(xm::encodeXm(m, &error).empty());

    m = smallModule();
    m.instruments[0].volumeEnvelope.sustainPoint = 3;
    EXPECT_TRUE(xm::encodeXm(m, &error).empty());

    EXPECT_FALSE(xm::saveXm(smallModule(), "/nonexistent-dir/x.xm", &error));
}
