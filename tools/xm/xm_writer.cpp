// FastTracker 2 extended module writer (format version 0x0104). All
// multi-byte fields are little-endian; strings are space- or zero-padded to
// their fixed widths.
#include "xm/xm_writer.h"

#include <cstdio>

namespace xm {

namespace {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void u8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
    void u16(uint32_t v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // Fixed-width text, truncated or padded with `pad`.
    void text(const std::string& s, size_t width, char pad = '\0') {
        for (size_t i = 0; i < width; ++i) u8(static_cast<uint8_t>(i < s.size() ? s[i] : pad));
    }
    void bytes(const std::vector<uint8_t>& b) { out_.insert(out_.end(), b.begin(), b.end()); }

private:
    std::vector<uint8_t>& out_;
};

bool fail(std::string* error, const std::string& what) {
    if (error) *error = "XM writer: " + what;
    return false;
}

bool checkEnvelope(const Envelope& e, const std::string& where, std::string* error) {
    if (e.points.size() > static_cast<size_t>(kMaxEnvelopePoints))
        return fail(error, where + " has more than 12 envelope points");
    for (size_t i = 1; i < e.points.size(); ++i)
        if (e.points[i].tick <= e.points[i - 1].tick) return fail(error, where + " envelope ticks do not increase");
    size_t n = e.points.size();
    if (e.enabled && n == 0) return fail(error, where + " envelope is enabled but has no points");
    if ((e.sustain && e.sustainPoint >= n) || (e.loop && (e.loopStart > e.loopEnd || e.loopEnd >= n)))
        return fail(error, where + " envelope sustain or loop point outside its points");
    return true;
}

bool check(const Module& m, std::string* error) {
    if (m.channels < 1 || m.channels > kMaxChannels) return fail(error, "channel count must be 1..32");
    if (m.orders.empty() || m.orders.size() > static_cast<size_t>(kMaxOrders))
        return fail(error, "song length must be 1..256");
    if (m.restartPosition < 0 || m.restartPosition >= static_cast<int>(m.orders.size()))
        return fail(error, "restart position outside the order table");
    if (m.patterns.empty() || m.patterns.size() > 256) return fail(error, "pattern count must be 1..256");
    if (m.instruments.size() > 128) return fail(error, "more than 128 instruments");
    if (m.tempo < 1 || m.tempo > 31) return fail(error, "tempo must be 1..31 ticks per row");
    if (m.bpm < 32 || m.bpm > 255) return fail(error, "BPM must be 32..255");
    for (uint8_t o : m.orders)
        if (o >= m.patterns.size()) return fail(error, "order names a missing pattern " + std::to_string(o));
    for (size_t p = 0; p < m.patterns.size(); ++p) {
        const Pattern& pat = m.patterns[p];
        std::string where = "pattern " + std::to_string(p);
        if (pat.rows < 1 || pat.rows > kMaxRows) return fail(error, where + " must have 1..256 rows");
        if (pat.channels != m.channels) return fail(error, where + " has the wrong channel count");
        if (pat.cells.size() != static_cast<size_t>(pat.rows * pat.channels))
            return fail(error, where + " cell count does not match rows * channels");
        for (const Cell& c : pat.cells) {
            if (c.note > kKeyOff) return fail(error, where + " holds a note above 97");
            if (c.effect > 35) return fail(error, where + " holds an effect type above 35");
            if (c.instrument > m.instruments.size()) return fail(error, where + " names a missing instrument");
        }
    }
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const Instrument& ins = m.instruments[i];
        std::string where = "instrument " + std::to_string(i + 1);
        if (ins.samples.size() > 16) return fail(error, where + " has more than 16 samples");
        for (uint8_t s : ins.noteToSample)
            if (!ins.samples.empty() && s >= ins.samples.size())
                return fail(error, where + " maps a note to a missing sample");
        if (!checkEnvelope(ins.volumeEnvelope, where + " volume", error)) return false;
        if (!checkEnvelope(ins.panningEnvelope, where + " panning", error)) return false;
        if (ins.fadeout > 0xFFF) return fail(error, where + " fadeout above 4095");
        for (const Sample& s : ins.samples) {
            uint64_t frames = s.data.size();
            if (frames * 2 > 0x7FFFFFFFu) return fail(error, where + " sample is too long");
            if (s.volume > 64) return fail(error, where + " sample volume above 64");
            if (s.loopType != LoopType::None &&
                (s.loopLength == 0 || uint64_t(s.loopStart) + s.loopLength > frames))
                return fail(error, where + " sample loop lies outside the sample");
        }
    }
    return true;
}

void writeEnvelopePoints(ByteWriter& w, const Envelope& e) {
    for (int i = 0; i < kMaxEnvelopePoints; ++i) {
        bool has = i < static_cast<int>(e.points.size());
        w.u16(has ? e.points[static_cast<size_t>(i)].tick : 0);
        w.u16(has ? e.points[static_cast<size_t>(i)].value : 0);
    }
}

uint8_t envelopeFlags(const Envelope& e) {
    return static_cast<uint8_t>((e.enabled ? 1 : 0) | (e.sustain ? 2 : 0) | (e.loop ? 4 : 0));
}

}  // namespace

std::vector<uint8_t> packPattern(const Pattern& pattern) {
    std::vector<uint8_t> out;
    out.reserve(pattern.cells.size() * 2);
    for (const Cell& c : pattern.cells) {
        uint8_t mask = static_cast<uint8_t>((c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                                            (c.effect ? 8 : 0) | (c.param ? 16 : 0));
        if (mask == 0x1F) {
            // All five present: the plain form is as short as the packed one
            // and is what FT2 itself writes.
            out.insert(out.end(), {c.note, c.instrument, c.volume, c.effect, c.param});
            continue;
        }
        out.push_back(static_cast<uint8_t>(0x80 | mask));
        if (mask & 1) out.push_back(c.note);
        if (mask & 2) out.push_back(c.instrument);
        if (mask & 4) out.push_back(c.volume);
        if (mask & 8) out.push_back(c.effect);
        if (mask & 16) out.push_back(c.param);
    }
    return out;
}

std::vector<uint8_t> deltaEncode(const Sample& sample) {
    std::vector<uint8_t> out;
    out.reserve(sample.data.size() * (sample.bits16 ? 2 : 1));
    int32_t previous = 0;
    for (int16_t v : sample.data) {
        if (sample.bits16) {
            uint16_t d = static_cast<uint16_t>(static_cast<int32_t>(v) - previous);
            out.push_back(static_cast<uint8_t>(d & 0xFF));
            out.push_back(static_cast<uint8_t>(d >> 8));
            previous = v;
        } else {
            int32_t v8 = static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF));
            out.push_back(static_cast<uint8_t>((v8 - previous) & 0xFF));
            previous = v8;
        }
    }
    return out;
}

std::vector<uint8_t> encodeXm(const Module& m, std::string* error) {
    std::vector<uint8_t> out;
    if (!check(m, error)) return out;
    ByteWriter w(out);

    w.text("Extended Module: ", 17);
    w.text(m.name, 20, ' ');
    w.u8(0x1A);
    w.text(m.tracker, 20, ' ');
    w.u16(0x0104);
    w.u32(276);  // header size, counted from this field: 20 bytes + 256 orders
    w.u16(static_cast<uint32_t>(m.orders.size()));
    w.u16(static_cast<uint32_t>(m.restartPosition));
    w.u16(static_cast<uint32_t>(m.channels));
    w.u16(static_cast<uint32_t>(m.patterns.size()));
    w.u16(static_cast<uint32_t>(m.instruments.size()));
    w.u16(m.linearFrequencies ? 1 : 0);
    w.u16(static_cast<uint32_t>(m.tempo));
    w.u16(static_cast<uint32_t>(m.bpm));
    for (int i = 0; i < kMaxOrders; ++i) w.u8(i < static_cast<int>(m.orders.size()) ? m.orders[static_cast<size_t>(i)] : 0);

    for (const Pattern& p : m.patterns) {
        std::vector<uint8_t> packed = packPattern(p);
        if (packed.size() > 0xFFFF) {
            fail(error, "a pattern packs to more than 65535 bytes");
            return {};
        }
        w.u32(9);  // pattern header size
        w.u8(0);   // packing type
        w.u16(static_cast<uint32_t>(p.rows));
        w.u16(static_cast<uint32_t>(packed.size()));
        w.bytes(packed);
    }

    for (const Instrument& ins : m.instruments) {
        const bool hasSamples = !ins.samples.empty();
        w.u32(hasSamples ? 263 : 29);  // instrument header size, this field included
        w.text(ins.name, 22);
        w.u8(0);
        w.u16(static_cast<uint32_t>(ins.samples.size()));
        if (!hasSamples) continue;
        w.u32(40);  // sample header size
        for (uint8_t s : ins.noteToSample) w.u8(s);
        writeEnvelopePoints(w, ins.volumeEnvelope);
        writeEnvelopePoints(w, ins.panningEnvelope);
        w.u8(static_cast<uint32_t>(ins.volumeEnvelope.points.size()));
        w.u8(static_cast<uint32_t>(ins.panningEnvelope.points.size()));
        w.u8(ins.volumeEnvelope.sustainPoint);
        w.u8(ins.volumeEnvelope.loopStart);
        w.u8(ins.volumeEnvelope.loopEnd);
        w.u8(ins.panningEnvelope.sustainPoint);
        w.u8(ins.panningEnvelope.loopStart);
        w.u8(ins.panningEnvelope.loopEnd);
        w.u8(envelopeFlags(ins.volumeEnvelope));
        w.u8(envelopeFlags(ins.panningEnvelope));
        w.u8(ins.vibratoType);
        w.u8(ins.vibratoSweep);
        w.u8(ins.vibratoDepth);
        w.u8(ins.vibratoRate);
        w.u16(ins.fadeout);
        w.text("", 22);  // reserved

        for (const Sample& s : ins.samples) {
            const uint32_t bytesPerFrame = s.bits16 ? 2 : 1;
            const bool looped = s.loopType != LoopType::None;
            w.u32(static_cast<uint32_t>(s.data.size()) * bytesPerFrame);
            w.u32(looped ? s.loopStart * bytesPerFrame : 0);
            w.u32(looped ? s.loopLength * bytesPerFrame : 0);
            w.u8(s.volume);
            w.u8(static_cast<uint8_t>(s.finetune));
            w.u8(static_cast<uint32_t>(s.loopType) | (s.bits16 ? 0x10 : 0));
            w.u8(s.panning);
            w.u8(static_cast<uint8_t>(s.relativeNote));
            w.u8(0);  // plain delta coding
            w.text(s.name, 22);
        }
        for (const Sample& s : ins.samples) w.bytes(deltaEncode(s));
    }
    return out;
}

bool saveXm(const Module& module, const std::string& path, std::string* error) {
    std::vector<uint8_t> bytes = encodeXm(module, error);
    if (bytes.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return fail(error, "cannot open " + path + " for writing");
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) return fail(error, "cannot write " + path);
    return true;
}

}  // namespace xm
