// The program's file work at full size:
// - the merge of 2,000,000 fax numbers (1,000,000 distinct) over 4 files against
//   `LC_ALL=C sort -f -u` on the same files, with the merge's peak memory
//   against the size of its input;
// - the keyword import of 1,000,000 lines against `wc -l`;
// - the export of 1,000,000 results against `cp` of the same bytes.
//
// The merge runs in a fresh process (this program again, by exec), so that
// its peak memory is its own.
#include "files/keyword_import.h"
#include "files/number_merge.h"
#include "files/result_export.h"
#include "search/result_list.h"
#include "support/timing.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vellumax;

namespace {

const std::string kFolder = "/tmp/vellumax-files-bench/";

// A fax number of 11 to 29 bytes: an area code, a number, and now and then
// an extension spelled with letters.
std::string faxNumber(std::mt19937& random)
{
    static const char* areas[] = {"010", "021", "0512", "0755", "020", "0571", "027", "0731"};
    std::string n = areas[random() % 8];
    if (random() % 2)
        n += '-';
    const int digits = 7 + static_cast<int>(random() % 2);
    for (int i = 0; i < digits; ++i)
        n += static_cast<char>('0' + random() % 10);
    switch (random() % 8) {
    case 0:
        n += " ext " + std::to_string(random() % 10'000);
        break;
    case 1:
        n += " Fax line " + std::to_string(random() % 100);
        break;
    default:
        break;
    }
    return n;
}

// The numbers of the merge: "0ddd-dddddddd", 2% with "-ext" appended and 1%
// with a letter appended, each written twice in the other letter case half
// of the time, so that `lines` lines hold `lines / 2` distinct numbers. They
// are shuffled over four files. Returns the paths.
std::vector<std::string> writeMergeInputs(long lines)
{
    std::mt19937_64 random(42);
    const long distinct = lines / 2;
    std::vector<std::string> numbers;
    numbers.reserve(static_cast<size_t>(distinct));
    for (long i = 0; i < distinct; ++i) {
        // Multiplying by a number prime to 10 mixes the 11 digits and keeps
        // them distinct.
        const unsigned long long digits = static_cast<unsigned long long>(i) * 7'368'787'613ull % 100'000'000'000ull;
        char text[32];
        std::snprintf(text, sizeof text, "0%03llu-%08llu", digits / 100'000'000ull, digits % 100'000'000ull);
        std::string number = text;
        const auto kind = random() % 100;
        if (kind < 2)
            number += "-ext";
        else if (kind == 2)
            number += static_cast<char>('a' + random() % 26);
        numbers.push_back(std::move(number));
    }
    std::vector<uint32_t> order(static_cast<size_t>(2 * distinct));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<uint32_t>(i / 2);
    std::shuffle(order.begin(), order.end(), random);

    std::vector<std::string> paths;
    for (int f = 0; f < 4; ++f) {
        paths.push_back(kFolder + "numbers" + std::to_string(f) + ".txt");
        std::string text;
        for (size_t i = order.size() * f / 4; i < order.size() * (f + 1) / 4; ++i) {
            std::string number = numbers[order[i]];
            if (random() % 2)
                for (char& c : number)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            text += number;
            text += "\r\n";
        }
        std::ofstream(paths.back(), std::ios::binary) << text;
    }
    return paths;
}

long fileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

struct ChildRun {
    double seconds = 0;
    long peakKiB = 0;
};

// Runs this program as `--merge OUT IN...` and waits for it.
ChildRun runMergeChild(const std::string& output, const std::vector<std::string>& inputs)
{
    std::vector<std::string> words = {"files_bench", "--merge", output};
    words.insert(words.end(), inputs.begin(), inputs.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "the merge failed\n");
    return run;
}

int mergeChild(int argc, char** argv)
{
    const std::vector<std::string> inputs(argv + 3, argv + argc);
    const MergeOutcome outcome = mergeNumberFiles(inputs, argv[2]);
    return outcome.joinFailure ? 1 : 0;
}

bool benchMerge(long lines)
{
    const std::vector<std::string> inputs = writeMergeInputs(lines);
    long inputBytes = 0;
    std::string files;
    for (const std::string& p : inputs) {
        inputBytes += fileSize(p);
        files += " " + p;
    }
    const std::string ours = kFolder + "merged.txt", theirs = kFolder + "sorted.txt";

    const double sort = bench::medianCommandSeconds(3, "LC_ALL=C sort -f -u -o " + theirs + files);
    std::vector<ChildRun> runs;
    const double merge = bench::medianSeconds(3, [&] { runs.push_back(runMergeChild(ours, inputs)); });
    long peakKiB = 0;
    for (const ChildRun& r : runs)
        peakKiB = std::max(peakKiB, r.peakKiB);

    long mergedLines = 0, sortedLines = 0;
    {
        std::ifstream a(ours, std::ios::binary), b(theirs, std::ios::binary);
        std::string line;
        while (std::getline(a, line))
            ++mergedLines;
        while (std::getline(b, line))
            ++sortedLines;
    }
    const double inputMiB = inputBytes / 1048576.0, peakMiB = peakKiB / 1024.0;
    std::printf("merge: %ld lines, %.1f MiB in 4 files -> %ld distinct (sort -f -u: %ld)\n", lines, inputMiB,
                mergedLines, sortedLines);
    std::printf("  LC_ALL=C sort -f -u: %8.3f s\n", sort);
    std::printf("  merge:               %8.3f s  (%.2f x sort)\n", merge, merge / sort);
    std::printf("  merge peak memory:   %8.1f MiB  (%.2f x input)\n", peakMiB, peakMiB / inputMiB);
    return peakMiB < 4 * inputMiB;
}

bool benchImport(long lines)
{
    const std::string path = kFolder + "keywords.txt";
    {
        std::ofstream out(path, std::ios::binary);
        const char* cities[] = {"\xC9\xCF\xBA\xA3", "\xB1\xB1\xBE\xA9", "\xB9\xE3\xD6\xDD", "\xCB\xD5\xD6\xDD"};
        for (long i = 0; i < lines; ++i)
            out << cities[i % 4] << "\xB4\xAB\xD5\xE6 fax " << i << "\r\n";
    }
    const double wc = bench::medianCommandSeconds(5, "wc -l " + path);
    int32_t count = 0;
    size_t entries = 0;
    const double counting = bench::medianSeconds(5, [&] { count = countKeywordLines(path); });
    const double loading = bench::medianSeconds(5, [&] { entries = loadKeywordList(path).size(); });
    std::printf("keyword import: %ld lines (count %d, list %zu)\n", lines, count, entries);
    std::printf("  wc -l:          %8.3f s\n", wc);
    std::printf("  count:          %8.3f s  (%.2f x wc -l)\n", counting, counting / wc);
    std::printf("  list:           %8.3f s  (%.2f x wc -l)\n", loading, loading / wc);
    std::printf("  import (both):  %8.3f s\n", counting + loading);
    return counting + loading < 1.0 && count == lines && entries == static_cast<size_t>(lines);
}

bool benchExport(long entries)
{
    ResultList results;
    std::mt19937 random(7);
    for (long i = 0; i < entries; ++i)
        results.append(faxNumber(random));
    const std::string path = kFolder + "results.txt", copy = kFolder + "copy.txt";
    const double writing = bench::medianSeconds(5, [&] { WriteResultList(path, results); });
    const double cp = bench::medianCommandSeconds(5, "cp " + path + " " + copy);
    std::printf("export: %ld entries, %.1f MiB\n", entries, fileSize(path) / 1048576.0);
    std::printf("  cp:              %8.3f s\n", cp);
    std::printf("  WriteResultList: %8.3f s  (%.2f x cp)\n", writing, writing / cp);
    return writing < 1.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--merge") == 0)
        return mergeChild(argc, argv);
    const long scale = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    std::system(("mkdir -p " + kFolder).c_str());
    const bool merge = benchMerge(2 * scale);
    const bool import = benchImport(scale);
    const bool exported = benchExport(scale);
    std::system(("rm -rf " + kFolder).c_str());
    return merge && import && exported ? 0 : 1;
}
