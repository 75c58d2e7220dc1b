#pragma once
// One measurement of a benchmark: its timings in the unit its label names, printed as the
// median with the extremes.
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct Samples {
    std::string name;
    const char* unit;  // "us" or "ms", printed after each figure
    std::vector<double> values;

    Samples(std::string label, const char* unitName) : name(std::move(label)), unit(unitName) {}

    double Median() const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    void Print() const {
        auto [low, high] = std::minmax_element(values.begin(), values.end());
        std::printf("  %-32s median %9.3f %s   (min %9.3f, max %9.3f; %zu samples)\n", name.c_str(), Median(), unit,
                    *low, *high, values.size());
    }
};
