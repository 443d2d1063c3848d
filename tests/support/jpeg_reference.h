// Reference JPEG files and pixels from the system's libjpeg, for comparing our decoder with
// an independent one. Only built when CMake finds libjpeg (SORTIE_HAVE_LIBJPEG).
#pragma once

#include <cstdint>
#include <vector>

struct JpegEncodeOptions {
    int width = 64;
    int height = 64;
    int hSampY = 2, vSampY = 2;  // luminance sampling factors
    int hSampCb = 1, vSampCb = 1, hSampCr = 1, vSampCr = 1;
    int quality = 85;
    int restartInterval = 0;  // in MCUs; 0 for none
    bool optimize = false;    // optimised Huffman tables
    bool progressive = false;
    bool greyscale = false;
    bool jfif = true;  // false drops the APP0 JFIF segment
};

// A test picture with gradients, edges and noise, so every coefficient band is exercised.
std::vector<std::uint8_t> jpegref_TestPicture(int width, int height, unsigned seed);
// Encodes rgb (width x height x 3) as the options say.
std::vector<std::uint8_t> jpegref_Encode(const std::vector<std::uint8_t>& rgb, const JpegEncodeOptions& options);
// Decodes with the accurate integer IDCT and without fancy upsampling; pixels 0x00RRGGBB.
// Empty on failure.
std::vector<std::uint32_t> jpegref_Decode(const std::vector<std::uint8_t>& file, int* width, int* height);
