// Where the benchmarks leave the files they measure on, so that bench/compare.sh can run the peer
// tools on the very same files: $STILLSET_BENCH_DIR, or /tmp/stillset-bench.
#ifndef BENCH_BENCH_FILES_H
#define BENCH_BENCH_FILES_H

#include <string>

std::string benchFile(const std::string& name);

#endif
