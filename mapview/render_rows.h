// Splitting a frame's rows over the processor's cores. The rows are cut into contiguous
// bands, a few per worker, which the workers (the calling thread among them) take in turn.
// Every band is drawn exactly as a one-thread pass would draw its rows, so the picture does
// not depend on how many workers there are or which band each one took.
#pragma once

#include <cstdint>
#include <functional>

// How many workers draw a frame of that many pixels: render_Tuning().threads when it is set,
// else the processor's cores (at most 4); a small frame is not worth the hand-over.
int render_RowWorkers(std::int64_t pixels);

// Calls band(first, end) for the rows first .. end - 1 of [0, height), over at most workers
// threads, and returns once every band is done.
void render_ForRowBands(std::int32_t height, int workers, const std::function<void(std::int32_t, std::int32_t)>& band);
