#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// The wall time in seconds of each of `runs` runs of `step`, fastest first.
inline std::vector<double> WallTimes(int runs, const std::function<void()>& step) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        step();
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds;
}
