// A 320x200 frame with guard bands before and after it, so that a test can
// see a write outside the buffer, and small picture helpers.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kW = 320;
constexpr int kH = 200;
constexpr int kPixels = kW * kH;

class GuardedFrame {
public:
    static constexpr int kGuard = 4 * kW;  // four rows each side
    static constexpr uint32_t kGuardValue = 0xA5C3E1F7u;

    explicit GuardedFrame(uint32_t fill = 0) : store_(kPixels + 2 * kGuard, kGuardValue) {
        for (int i = 0; i < kPixels; ++i) px()[i] = fill;
    }
    uint32_t* px() { return store_.data() + kGuard; }
    uint32_t& at(int x, int y) { return px()[y * kW + x]; }
    bool guardsIntact() const {
        for (int i = 0; i < kGuard; ++i)
            if (store_[i] != kGuardValue || store_[kGuard + kPixels + i] != kGuardValue) return false;
        return true;
    }

private:
    std::vector<uint32_t> store_;
};

// FNV-1a over the pixels, for whole-picture comparisons.
inline uint64_t checksum(const uint32_t* p, int n) {
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}

// A picture in which every pixel differs: useful as a source.
inline std::vector<uint32_t> numberedPicture(int w, int h, uint32_t base = 0x100000) {
    std::vector<uint32_t> p(static_cast<size_t>(w) * h);
    for (int i = 0; i < w * h; ++i) p[i] = (base + static_cast<uint32_t>(i) * 7u) & 0xFFFFFF;
    return p;
}
