// Result files and the progress snapshot: the format, the snapshot's
// removal for an empty list, and that a failed write keeps the previous file.
#include "files/result_export.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <list>
#include <ranges>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vellumax {
namespace {

std::string failureOf(const std::function<void()>& write)
{
    try {
        write();
        return "written";
    } catch (const FileError& e) {
        return e.what();
    }
}

TEST(ResultExport, OneCrLfLinePerEntryInListOrder)
{
    test::TempDir dir;
    const std::string path = dir.file("37.txt");
    test::writeBytes(path, "an older and longer result file\r\n");
    WriteResultList(path, std::vector<std::string>{"051212345678", "13912345678", "0755-88886666"});
    EXPECT_EQ(test::readBytes(path), "051212345678\r\n13912345678\r\n0755-88886666\r\n");
}

TEST(ResultExport, SnapshotFollowsTheList)
{
    test::TempDir dir;
    const std::string snapshot = dir.file(kAutosaveFileName);
    const std::vector<std::string> five = {"01011111111", "01022222222", "01033333333", "01044444444", "01055555555"};

    writeAutosave(dir.path() + "/", five);
    const std::string first = test::readBytes(snapshot);
    EXPECT_EQ(first, "01011111111\r\n01022222222\r\n01033333333\r\n01044444444\r\n01055555555\r\n");
    writeAutosave(dir.path(), five);
    EXPECT_EQ(test::readBytes(snapshot), first);

    writeAutosave(dir.path() + "/", std::vector<std::string>{});
    EXPECT_FALSE(test::fileExists(snapshot));
    writeAutosave(dir.path() + "/", std::vector<std::string>{}); // nothing to remove is fine
    EXPECT_FALSE(test::fileExists(snapshot));
}

// Both writers read the entries where they are kept. The snapshot looks at
// the first entry before it decides to write, and a single-pass range keeps
// its current entry inside the iterator: the first entry must still be
// written once, the others each after it.
TEST(ResultExport, EntriesFromAnyRangeOfStrings)
{
    const std::vector<std::string> three = {"051212345678", "13912345678", "0755-88886666"};
    const std::string threeLines = "051212345678\r\n13912345678\r\n0755-88886666\r\n";
    const std::deque<std::string> deque(three.begin(), three.end());
    const std::list<std::string> list(three.begin(), three.end());
    std::vector<std::string> withBlanks = {"", "051212345678", "", "13912345678", "0755-88886666", ""};
    auto filled = withBlanks | std::views::filter([](const std::string& entry) { return !entry.empty(); });
    const std::vector<std::string> one = {"13912345678"};

    struct Case {
        const char* entries;
        std::function<void(const std::string& path)> writeList;
        std::function<void(const std::string& folder)> writeSnapshot;
        std::string bytes; // empty: no snapshot
    };
    auto caseOf = [](const char* entries, auto& range, std::string bytes) {
        return Case{entries, [&range](const std::string& path) { WriteResultList(path, range); },
                    [&range](const std::string& folder) { writeAutosave(folder, range); }, std::move(bytes)};
    };
    // A stream is read once: each write gets a fresh one.
    auto fromStream = [](const char* text, std::string bytes) {
        return Case{"a stream of words",
                    [text](const std::string& path) {
                        std::istringstream in(text);
                        WriteResultList(path, std::views::istream<std::string>(in));
                    },
                    [text](const std::string& folder) {
                        std::istringstream in(text);
                        writeAutosave(folder, std::views::istream<std::string>(in));
                    },
                    std::move(bytes)};
    };
    const Case cases[] = {
        caseOf("a deque", deque, threeLines),
        caseOf("a list", list, threeLines),
        caseOf("a filtered view", filled, threeLines),
        caseOf("a single entry", one, "13912345678\r\n"),
        fromStream("051212345678 13912345678\n0755-88886666", threeLines),
        fromStream("", ""),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        test::TempDir dir;
        const std::string result = dir.file("result.txt"), snapshot = dir.file(kAutosaveFileName);
        test::writeBytes(snapshot, "an older snapshot\r\n");
        c.writeList(result);
        EXPECT_EQ(test::readBytes(result), c.bytes);
        c.writeSnapshot(dir.path());
        if (c.bytes.empty())
            EXPECT_FALSE(test::fileExists(snapshot));
        else
            EXPECT_EQ(test::readBytes(snapshot), c.bytes);
    }
}

TEST(ResultExport, FailuresKeepThePreviousFile)
{
    test::TempDir dir;
    const std::string result = dir.file("result.txt");
    const std::string snapshot = dir.file(kAutosaveFileName);
    const std::string previous = "02011111111\r\n02022222222\r\n";
    test::writeBytes(result, previous);
    test::writeBytes(snapshot, previous);

    std::vector<std::string> many;
    for (int i = 0; i < 10'000; ++i)
        many.push_back("0512" + std::to_string(10'000'000 + i));

    EXPECT_EQ(test::runWithFileSizeLimit(4096, [&] { return failureOf([&] { WriteResultList(result, many); }); }),
              "Disk full");
    EXPECT_EQ(test::runWithFileSizeLimit(4096, [&] { return failureOf([&] { writeAutosave(dir.path(), many); }); }),
              "Disk full");
    EXPECT_EQ(test::readBytes(result), previous);
    EXPECT_EQ(test::readBytes(snapshot), previous);
    EXPECT_EQ(failureOf([&] { WriteResultList("/dev/full", many); }), "Disk full");

    // A folder and files the user may not write.
    VELLUMAX_SKIP_UNLESS_ROOT();
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(result.c_str(), 0644);
    ::chmod(snapshot.c_str(), 0644);
    EXPECT_EQ(test::runAsNobody([&] { return failureOf([&] { WriteResultList(result, many); }); }),
              "File access denied");
    EXPECT_EQ(test::runAsNobody([&] { return failureOf([&] { writeAutosave(dir.path(), many); }); }),
              "File access denied");
    EXPECT_EQ(test::readBytes(result), previous);
    EXPECT_EQ(test::readBytes(snapshot), previous);
}

} // namespace
} // namespace vellumax
