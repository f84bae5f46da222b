#pragma once

// Resident memory of this process, and of it with every process below it
// (the browser engine's helpers), from /proc. The tree's is the sum of each
// process's proportional share (Pss): the engine's libraries, mapped by
// every helper, count once, not once a process.

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>

namespace vellumax::test {

inline long statusKiB(pid_t pid, const char* field)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* status = std::fopen(path.c_str(), "r");
    if (!status)
        return 0;
    char line[256];
    long kib = 0;
    const std::string format = std::string(field) + ": %ld kB";
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, format.c_str(), &kib) == 1)
            break;
    std::fclose(status);
    return kib;
}

// The process's share of the pages it maps, or its resident size where
// the kernel does not tell the share.
inline long proportionalKiB(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
    FILE* rollup = std::fopen(path.c_str(), "r");
    if (!rollup)
        return statusKiB(pid, "VmRSS");
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, rollup))
        if (std::sscanf(line, "Pss: %ld kB", &kib) == 1)
            break;
    std::fclose(rollup);
    return kib >= 0 ? kib : statusKiB(pid, "VmRSS");
}

// This process and every process below it (the engine's helpers).
inline std::pair<long, long> residentKiB()
{
    std::map<pid_t, pid_t> parents;
    if (DIR* proc = ::opendir("/proc")) {
        while (const dirent* entry = ::readdir(proc)) {
            const pid_t pid = std::atoi(entry->d_name);
            if (pid <= 0)
                continue;
            const std::string path = std::string("/proc/") + entry->d_name + "/stat";
            if (FILE* stat = std::fopen(path.c_str(), "r")) {
                int parent = 0;
                if (std::fscanf(stat, "%*d (%*[^)]) %*c %d", &parent) == 1)
                    parents[pid] = parent;
                std::fclose(stat);
            }
        }
        ::closedir(proc);
    }
    const pid_t self = ::getpid();
    long tree = 0;
    for (const auto& [pid, parent] : parents) {
        for (pid_t p = pid; p > 1; p = parents.count(p) ? parents[p] : 0) {
            if (p == self) {
                tree += proportionalKiB(pid);
                break;
            }
        }
    }
    return {statusKiB(self, "VmRSS"), tree};
}

} // namespace vellumax::test
