// PNG files of 0x00RRGGBB pixels for the tests that compare whole pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row after row
};

// Reads an 8-bit RGB or RGBA PNG (alpha dropped). false when the file is missing or not such
// a PNG.
bool png_ReadTestImage(const std::string& path, TestImage& image);
// Writes image as an 8-bit RGB PNG. false on failure.
bool png_WriteTestImage(const std::string& path, const TestImage& image);
