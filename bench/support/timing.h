#pragma once

// Small timing helpers for the benchmark programs. Every figure is the median
// of several runs, and is reported beside a baseline measured in the same run,
// since these machines are shared and noisy.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace vellumax::bench {

inline double medianSeconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median wall time of a shell command, its output thrown away.
inline double medianCommandSeconds(int runs, const std::string& command)
{
    return medianSeconds(runs, [&] {
        if (std::system((command + " >/dev/null").c_str()) != 0)
            std::fprintf(stderr, "baseline command failed: %s\n", command.c_str());
    });
}

// A memory figure of this process from /proc/self/status ("VmHWM",
// "VmRSS"), in MiB.
inline double statusMiB(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    const std::string format = std::string(field) + ": %ld kB";
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, format.c_str(), &kib) == 1)
            break;
    std::fclose(status);
    return kib / 1024.0;
}

// Peak resident memory of this process so far, in MiB.
inline double peakResidentMiB() { return statusMiB("VmHWM"); }
// Resident memory of this process now, in MiB.
inline double residentMiB() { return statusMiB("VmRSS"); }

} // namespace vellumax::bench
