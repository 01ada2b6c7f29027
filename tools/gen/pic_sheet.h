// plivak-data OUTDIR --contact-sheet FILE.png: after writing the data, one PNG
// with every picture of OUTDIR read back from its file at full size, labelled.
#pragma once

#include <string>

bool writeContactSheet(const std::string& outDir, const std::string& pngFile);
