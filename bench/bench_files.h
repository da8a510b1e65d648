// Where the benchmarks leave the files they measure on, so that bench/compare.sh can run the peer
// tools on the very same files: $STILLSET_BENCH_DIR, or /tmp/stillset-bench.
#ifndef BENCH_BENCH_FILES_H
#define BENCH_BENCH_FILES_H

#include <cstdint>
#include <string>

std::string benchFile(const std::string& name);

// A fresh host with a temporary installation whose scene bin holds the benchmarks' 12-megapixel
// photo; removed again with the object.
class BenchPhotoHome {
public:
    BenchPhotoHome();
    ~BenchPhotoHome();
    uint32_t record() const { return record_; } // 0 when the set-up failed, see error()
    const std::string& error() const { return error_; }

private:
    std::string home_;
    uint32_t record_ = 0;
    std::string error_;
};

#endif
