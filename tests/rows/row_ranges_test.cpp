// Rows split between the pixel threads, built here from the host's sources: every row once in
// whole ranges, each thread's own share of a loop, what a range throws reaching the caller, and a
// loop inside a range.
#include "hxhost/setup.h"
#include "runtime/pixel_threads.h"
#include "runtime/reset_hook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

namespace {

struct Range {
    int32_t begin, end;
    std::thread::id thread;
};

std::vector<Range> rangesOf(int32_t rows, int32_t least)
{
    std::mutex mutex;
    std::vector<Range> ranges;
    hx::forRowRanges(rows, least, [&](int32_t begin, int32_t end) {
        const std::lock_guard<std::mutex> lock(mutex);
        ranges.push_back({begin, end, std::this_thread::get_id()});
    });
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.begin < b.begin; });
    return ranges;
}

TEST(RowRangesTest, RowsAreSplitIntoWholeRangesOnceEach)
{
    hx::ResetHook::runAll();
    EXPECT_EQ(rangesOf(100, 10).size(), 1u) << "one thread unless the host is told otherwise";
    hxhost::setPixelThreads(3);
    // At most four ranges a thread.
    for (auto [rows, least, parts] : {std::tuple{100, 10, 10}, {1000, 10, 12}, {25, 10, 2}, {9, 10, 1}, {0, 10, 1}, {7, 0, 7}}) {
        const std::vector<Range> ranges = rangesOf(rows, least);
        ASSERT_EQ(ranges.size(), static_cast<size_t>(parts)) << rows << " rows, at least " << least;
        EXPECT_EQ(ranges.front().begin, 0);
        EXPECT_EQ(ranges.back().end, rows);
        for (size_t i = 0; i < ranges.size(); ++i) {
            if (i > 0) {
                EXPECT_EQ(ranges[i].begin, ranges[i - 1].end);
            }
            if (parts > 1) {
                EXPECT_GE(ranges[i].end - ranges[i].begin, std::max(least, 1));
            }
        }
    }
    hx::ResetHook::runAll();
    EXPECT_EQ(rangesOf(100, 10).size(), 1u) << "a reset goes back to one thread";
}

TEST(RowRangesTest, WhatARangeThrowsReachesTheCallerOnceEveryRangeHasEnded)
{
    hxhost::setPixelThreads(4);
    std::atomic<int> ended{0};
    auto throwing = [&](int32_t begin, int32_t) {
        if (begin > 0 && begin < 50) {
            ++ended;
            throw std::runtime_error("no memory for this range");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++ended;
    };
    EXPECT_THROW(hx::forRowRanges(100, 1, throwing), std::runtime_error);
    EXPECT_EQ(ended.load(), 16);
    // The helpers serve the next loop as before.
    EXPECT_EQ(rangesOf(100, 1).size(), 16u);
}

TEST(RowRangesTest, EachThreadStartsOnItsOwnShareOfEveryLoop)
{
    hxhost::setPixelThreads(2);
    const std::thread::id caller = std::this_thread::get_id();
    int helped = 0;
    for (int loop = 0; loop < 3; ++loop) {
        // Slow ranges, so that the helper comes while its own share is still there.
        std::mutex mutex;
        std::vector<Range> taken; // in the order they were taken
        hx::forRowRanges(80, 1, [&](int32_t begin, int32_t end) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                taken.push_back({begin, end, std::this_thread::get_id()});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        });
        ASSERT_EQ(taken.size(), 8u);
        // The caller begins at the top, the helper at the middle: the other's share is taken from its
        // end, so a helper that takes any range at all begins with its own first one.
        const auto own = std::find_if(taken.begin(), taken.end(), [&](const Range& r) { return r.thread == caller; });
        ASSERT_NE(own, taken.end());
        EXPECT_EQ(own->begin, 0) << "loop " << loop;
        const auto helper = std::find_if(taken.begin(), taken.end(), [&](const Range& r) { return r.thread != caller; });
        if (helper != taken.end()) {
            ++helped;
            EXPECT_EQ(helper->begin, 40) << "loop " << loop;
        }
    }
    EXPECT_GT(helped, 0) << "the helper took no range of three loops of 160 ms";
}

TEST(RowRangesTest, ALoopInsideARangeRunsOnThatRangesThread)
{
    hxhost::setPixelThreads(2);
    std::atomic<int> outer{0}, inner{0}, elsewhere{0};
    hx::forRowRanges(64, 1, [&](int32_t, int32_t) {
        ++outer;
        const std::thread::id here = std::this_thread::get_id();
        hx::forRowRanges(64, 1, [&](int32_t begin, int32_t end) {
            inner += end - begin;
            elsewhere += std::this_thread::get_id() != here;
        });
    });
    EXPECT_EQ(inner.load(), 64 * outer.load());
    EXPECT_EQ(elsewhere.load(), 0);
}

} // namespace
