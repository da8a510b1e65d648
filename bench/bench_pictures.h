// Pictures the benchmarks work on, made in the benchmark so every run sees the same input.
#ifndef BENCH_BENCH_PICTURES_H
#define BENCH_BENCH_PICTURES_H

#include "host/hxopcommon.h"

#include <string>

// A width x height format-1 picture with detail in luma and chroma. Owned: opFreeImage.
OpImage* makeDetailedPicture(int width, int height);
// Writes a width x height baseline JPEG of a detailed scene; the path of the file.
std::string writeDetailedJpeg(const std::string& path, int width, int height);

#endif
