// The colour-map decoder: baseline sequential Huffman-coded JPEG in a JFIF wrapper, three
// components (Y, Cb, Cr) with 8-bit samples, turned into 32-bit pixels 0x00RRGGBB, top row
// first. It decodes exactly what terrain colour maps use and refuses everything else
// (progressive and other frame types, greyscale and four-component files, files without the
// JFIF segment), so that the terrain loader can fall back to the other colour-map forms.
//
// The inverse DCT is the accurate integer one (13-bit constants) and chroma is replicated
// over the sampling ratio without smoothing; the colour conversion is the JFIF one in 16-bit
// fixed point. Every marker length is checked against the buffer, sizes are capped and bad
// entropy-coded data never makes the decoder read or write outside its buffers.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest side and largest pixel count the decoder accepts in allocate mode.
constexpr int kJpegMaxSide = 16384;
constexpr std::uint64_t kJpegMaxPixels = std::uint64_t(1) << 26;  // 256 MiB of pixels

// 1 with *width and *height set when a JFIF APP0 segment is followed by a baseline frame
// header (SOF0) with non-zero sides; 0 otherwise (no JFIF segment, another frame type, a
// scan before any frame header, or the data runs out).
int jpeg_ReadSize(const std::uint8_t* data, std::size_t length, int* width, int* height);

// Decodes the picture in data.
//  allocate false: *width and *height give the expected size and *pixels an area of
//    width x height pixels; a frame of another size is refused.
//  allocate true: the decoder allocates the area itself (free it with jpeg_FreePixels) and
//    gives it back in *pixels with the size in *width and *height; on refusal it releases the
//    area again and *pixels is nullptr.
// 1 when the end-of-image marker is reached after a complete frame and scan; 0 when the file is
// refused or ends early. A refusal may leave the caller's area partly written.
int jpeg_Decode(const std::uint8_t* data, std::size_t length, int* width, int* height, std::uint32_t** pixels,
                bool allocate);

// Releases an area that jpeg_Decode allocated. nullptr is ignored.
void jpeg_FreePixels(std::uint32_t* pixels);
