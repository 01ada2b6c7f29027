// Lighting of an 8-bit palettised picture moved into a table.
#pragma once

#include <cstdint>
#include <memory>

// 65536 colours indexed by palette index * 256 + level. Level 0 is the low
// colour, level 128 the palette colour itself, level 255 one 128th short of
// the high colour.
class ShadeTable {
public:
    static constexpr int kLevels = 256;
    static constexpr int kEntries = 256 * kLevels;

    // palette: 256 colours 0x00RRGGBB.
    ShadeTable(const uint32_t* palette, uint32_t low, uint32_t high);

    uint32_t colour(uint8_t index, uint8_t level) const { return table_[index * kLevels + level]; }
    const uint32_t* data() const { return table_.get(); }

private:
    std::unique_ptr<uint32_t[]> table_;
};
