#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// The median time of `rounds` calls of `f`, in milliseconds.
template <class F> double medianMs(int rounds, F f) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
