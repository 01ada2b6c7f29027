// Sample synthesis for the demo music. Everything is computed in double
// precision from closed formulas and a fixed-seed integer noise source, so
// the samples are the same on every run.
#include "gen/music_synth.h"

#include <cmath>
#include <string>

namespace music {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDrumRate = 44100.0;  // recording rate of the drum samples
constexpr double kC4 = 261.6255653005986;
constexpr double kXmBaseRate = 8363.0;  // FT2 plays note C-4 of an untuned sample at this rate

// Deterministic white noise in [-1, 1).
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

// One-pole high-pass and low-pass filters with a cutoff in Hz.
struct OnePole {
    double a = 0, state = 0, lastIn = 0;
    OnePole(double cutoff, double rate) : a(std::exp(-2.0 * kPi * cutoff / rate)) {}
    double lowPass(double x) { return state = (1.0 - a) * x + a * state; }
    double highPass(double x) {
        double y = a * (state + x - lastIn);
        lastIn = x;
        return state = y;
    }
};

// Relative note and finetune that make a sample of `rate` frames per second
// play back at that rate for note C-4 (used as rate * 2^(semitones/12)).
void tuneToRate(xm::Sample& s, double rate) {
    double semis = 12.0 * std::log2(rate / kXmBaseRate);
    int units = static_cast<int>(std::lround(semis * 128.0));
    int rel = units >= 0 ? units / 128 : -((-units + 127) / 128);
    s.relativeNote = static_cast<int8_t>(rel);
    s.finetune = static_cast<int8_t>(units - rel * 128);
}

// Scales to a peak of `peak` (of full scale) and converts to 16-bit.
xm::Sample toSample(const std::vector<double>& v, const char* name, double peak = 0.98) {
    double maxAbs = 1e-9;
    for (double x : v) maxAbs = std::fmax(maxAbs, std::fabs(x));
    xm::Sample s;
    s.name = name;
    s.bits16 = true;
    s.data.reserve(v.size());
    for (double x : v) s.data.push_back(static_cast<int16_t>(std::lround(x / maxAbs * peak * 32767.0)));
    return s;
}

// A short fade over the last few milliseconds, so one-shot samples end at zero.
void fadeTail(std::vector<double>& v, double rate, double seconds = 0.004) {
    size_t n = static_cast<size_t>(seconds * rate);
    if (n > v.size()) n = v.size();
    for (size_t i = 0; i < n; ++i) v[v.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(n);
}

xm::Instrument drum(const char* name, xm::Sample s) {
    tuneToRate(s, kDrumRate);
    xm::Instrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(s));
    return ins;
}

xm::Instrument kick() {
    std::vector<double> v(static_cast<size_t>(0.42 * kDrumRate));
    Noise noise(11);
    double phase = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / kDrumRate;
        double f = 44.0 + 120.0 * std::exp(-t / 0.028);
        phase += 2.0 * kPi * f / kDrumRate;
        double body = std::sin(phase) * std::exp(-t / 0.19);
        double click = noise.next() * std::exp(-t / 0.0015) * 0.35;
        v[i] = std::tanh(1.6 * body) + click;
    }
    fadeTail(v, kDrumRate);
    return drum("kick", toSample(v, "kick"));
}

xm::Instrument snare() {
    std::vector<double> v(static_cast<size_t>(0.30 * kDrumRate));
    Noise noise(23);
    OnePole hp(900.0, kDrumRate), lp(7000.0, kDrumRate);
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / kDrumRate;
        double tone = 0.55 * std::sin(2.0 * kPi * 186.0 * t) * std::exp(-t / 0.045) +
                      0.25 * std::sin(2.0 * kPi * 334.0 * t) * std::exp(-t / 0.03);
        double rattle = lp.lowPass(hp.highPass(noise.next())) * std::exp(-t / 0.085);
        v[i] = tone + 1.4 * rattle;
    }
    fadeTail(v, kDrumRate);
    return drum("snare", toSample(v, "snare"));
}

xm::Instrument hat(const char* name, double seconds, double decay, uint32_t seed) {
    std::vector<double> v(static_cast<size_t>(seconds * kDrumRate));
    Noise noise(seed);
    OnePole hp1(6500.0, kDrumRate), hp2(6500.0, kDrumRate);
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / kDrumRate;
        // A few square partials at inharmonic ratios give the metallic edge.
        double metal = 0;
        static const double kPartials[4] = {3140.0, 4470.0, 5930.0, 8210.0};
        for (double f : kPartials) metal += std::sin(2.0 * kPi * f * t) > 0 ? 0.12 : -0.12;
        v[i] = hp2.highPass(hp1.highPass(noise.next() + metal)) * std::exp(-t / decay);
    }
    fadeTail(v, kDrumRate);
    return drum(name, toSample(v, name));
}

xm::Instrument crash() {
    std::vector<double> v(static_cast<size_t>(1.7 * kDrumRate));
    Noise noise(37);
    OnePole hp(3800.0, kDrumRate), lp(12000.0, kDrumRate);
    for (size_t i = 0; i < v.size(); ++i) {
        double t = static_cast<double>(i) / kDrumRate;
        double env = std::exp(-t / 0.5) * (1.0 - std::exp(-t / 0.002));
        double shimmer = 0;
        static const double kPartials[5] = {2870.0, 3710.0, 5110.0, 6430.0, 7390.0};
        for (double f : kPartials) shimmer += 0.08 * std::sin(2.0 * kPi * f * t + f);
        v[i] = lp.lowPass(hp.highPass(noise.next() + shimmer)) * env;
    }
    fadeTail(v, kDrumRate, 0.05);
    return drum("crash", toSample(v, "crash"));
}

// One period of `period` frames from harmonic amplitudes amp[h] (sine
// phase), appended to v.
void appendCycle(std::vector<double>& v, int period, const std::vector<double>& amp) {
    for (int n = 0; n < period; ++n) {
        double x = 0;
        for (size_t h = 1; h < amp.size(); ++h)
            x += amp[h] * std::sin(2.0 * kPi * static_cast<double>(h) * n / period);
        v.push_back(x);
    }
}

// Tonal samples: `period` frames per cycle of the played note; tuned so that
// note C-4 plays the cycle at 261.63 Hz.
void tuneTonal(xm::Sample& s, int period) { tuneToRate(s, kC4 * period); }

xm::Instrument tonal(const char* name, xm::Sample s, int period) {
    tuneTonal(s, period);
    xm::Instrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(s));
    return ins;
}

void setEnvelope(xm::Envelope& e, std::vector<xm::EnvelopePoint> points, int sustainPoint) {
    e.points = std::move(points);
    e.enabled = true;
    e.sustain = sustainPoint >= 0;
    e.sustainPoint = static_cast<uint8_t>(sustainPoint < 0 ? 0 : sustainPoint);
}

// Saw bass whose brightness falls over its first cycles (a filter sweep
// baked into the sample), then one steady cycle loops.
xm::Instrument bass() {
    const int period = 128;
    const int cycles = 48;
    std::vector<double> v;
    for (int c = 0; c < cycles; ++c) {
        double cut = 2.5 + 20.0 * std::exp(-c / 7.0);
        std::vector<double> amp(48);
        for (size_t h = 1; h < amp.size(); ++h) {
            double hd = static_cast<double>(h);
            amp[h] = (1.0 / hd) / std::sqrt(1.0 + std::pow(hd / cut, 4.0));
        }
        amp[1] += 0.35;  // a little extra fundamental for weight
        appendCycle(v, period, amp);
    }
    xm::Sample s = toSample(v, "bass");
    s.loopType = xm::LoopType::Forward;
    s.loopStart = static_cast<uint32_t>((cycles - 1) * period);
    s.loopLength = period;
    xm::Instrument ins = tonal("bass", s, period);
    setEnvelope(ins.volumeEnvelope, {{0, 64}, {8, 50}, {40, 40}}, 2);
    ins.fadeout = 2400;
    return ins;
}

// Chorus pad: five detuned band-limited saws. Each voice makes a whole
// number of cycles over the loop (199..202 cycles in 200 periods), so the
// beating repeats exactly and the loop has no seam.
xm::Instrument pad() {
    const int period = 128;
    const int cycles = 200;
    const int length = period * cycles;
    static const int kVoiceCycles[5] = {200, 201, 199, 202, 198};
    static const double kVoiceGain[5] = {1.0, 0.8, 0.8, 0.5, 0.5};
    std::vector<double> v(static_cast<size_t>(length), 0.0);
    for (int voice = 0; voice < 5; ++voice) {
        double offset = 1.3 * voice;
        for (int h = 1; h <= 36; ++h) {
            double amp = kVoiceGain[voice] / h / (1.0 + (h / 7.0) * (h / 7.0));
            double w = 2.0 * kPi * h * kVoiceCycles[voice] / length;
            for (int n = 0; n < length; ++n) v[static_cast<size_t>(n)] += amp * std::sin(w * n + offset * h);
        }
    }
    xm::Sample s = toSample(v, "pad");
    s.loopType = xm::LoopType::Forward;
    s.loopStart = 0;
    s.loopLength = static_cast<uint32_t>(length);
    xm::Instrument ins = tonal("pad", s, period);
    setEnvelope(ins.volumeEnvelope, {{0, 0}, {18, 64}, {50, 54}}, 2);
    ins.fadeout = 700;
    return ins;
}

// Bell-like pluck: phase modulation at twice the note, the index falling
// from bright to nearly pure; the last cycle loops under a decaying envelope.
xm::Instrument pluck() {
    const int period = 64;
    const int cycles = 90;
    std::vector<double> v;
    v.reserve(static_cast<size_t>(period * cycles));
    for (int c = 0; c < cycles; ++c) {
        double index = 0.25 + 2.2 * std::exp(-c / 12.0);
        for (int n = 0; n < period; ++n) {
            double th = 2.0 * kPi * n / period;
            v.push_back(std::sin(th + index * std::sin(2.0 * th)));
        }
    }
    xm::Sample s = toSample(v, "pluck");
    s.loopType = xm::LoopType::Forward;
    s.loopStart = static_cast<uint32_t>((cycles - 1) * period);
    s.loopLength = period;
    xm::Instrument ins = tonal("pluck", s, period);
    setEnvelope(ins.volumeEnvelope, {{0, 64}, {3, 44}, {14, 20}, {40, 6}, {70, 0}}, -1);
    ins.fadeout = 3000;
    return ins;
}

// Lead: a soft pulse (odd harmonics plus some even ones) with a gentle
// roll-off and a delayed vibrato.
xm::Instrument lead() {
    const int period = 128;
    std::vector<double> amp(40);
    for (size_t h = 1; h < amp.size(); ++h) {
        double hd = static_cast<double>(h);
        double odd = (h % 2) ? 1.0 : 0.35;
        amp[h] = odd / hd / (1.0 + (hd / 9.0) * (hd / 9.0));
    }
    std::vector<double> v;
    appendCycle(v, period, amp);
    xm::Sample s = toSample(v, "lead");
    s.loopType = xm::LoopType::Forward;
    s.loopStart = 0;
    s.loopLength = period;
    xm::Instrument ins = tonal("lead", s, period);
    setEnvelope(ins.volumeEnvelope, {{0, 0}, {2, 64}, {12, 50}}, 2);
    ins.fadeout = 1400;
    ins.vibratoType = 0;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 22;
    return ins;
}

}  // namespace

std::vector<xm::Instrument> synthesizeInstruments() {
    std::vector<xm::Instrument> out;
    out.push_back(kick());
    out.push_back(snare());
    out.push_back(hat("closed hat", 0.09, 0.018, 51));
    out.push_back(hat("open hat", 0.5, 0.13, 67));
    out.push_back(crash());
    out.push_back(bass());
    out.push_back(pad());
    out.push_back(pluck());
    out.push_back(lead());
    return out;
}

}  // namespace music
