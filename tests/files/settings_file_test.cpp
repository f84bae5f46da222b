// The settings file: what a read restores, also when it stops part-way, what
// a write produces, and that a failed write keeps the previous file.
#include "files/settings_file.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellumax {
namespace {

struct ReadOutcome {
    Settings settings;
    std::string failure; // empty when the read went through
};

// Reads `bytes` as the settings file over `before`.
ReadOutcome readFrom(const std::string& bytes, Settings before = {})
{
    test::TempDir dir;
    test::writeBytes(dir.file(kSettingsFileName), bytes);
    ReadOutcome outcome{before, {}};
    try {
        readSettingsFile(dir.path() + "/", outcome.settings);
    } catch (const Error& e) {
        outcome.failure = e.what();
    }
    return outcome;
}

std::string written(const Settings& settings)
{
    test::TempDir dir;
    writeSettingsFile(dir.path() + "/", settings);
    return test::readBytes(dir.file(kSettingsFileName));
}

void expectSettings(const Settings& s, const std::string& file, int32_t cursor, bool dedup, int32_t interval)
{
    EXPECT_EQ(s.keywordFile, file);
    EXPECT_EQ(s.keywordCursor, cursor);
    EXPECT_EQ(s.deduplicate, dedup);
    EXPECT_EQ(s.interval, interval);
}

TEST(SettingsRead, MissingFileKeepsTheInitialState)
{
    test::TempDir dir;
    Settings s;
    readSettingsFile(dir.path() + "/", s);
    expectSettings(s, "", 0, false, 8);
}

TEST(SettingsRead, FourLinesRestoreEveryValue)
{
    const ReadOutcome r = readFrom("D:\\kw\\list.txt\r\n12\r\nqcyes\r\n30\r\n");
    EXPECT_EQ(r.failure, "");
    expectSettings(r.settings, "D:\\kw\\list.txt", 12, true, 30);

    // LF ends and a missing final break read the same.
    expectSettings(readFrom("list.txt\n12\nqcyes\n30").settings, "list.txt", 12, true, 30);
}

TEST(SettingsRead, IntervalIsClampedAndCursorTakenAsRead)
{
    expectSettings(readFrom("a\r\n-1\r\nqcno\r\n0\r\n").settings, "a", -1, false, 1);
    expectSettings(readFrom("a\r\n5\r\nqcno\r\n5000\r\n").settings, "a", 5, false, 1000);
    expectSettings(readFrom("a\r\n0x10\r\nqcno\r\n-2147483648\r\n").settings, "a", 16, false, 1);
    expectSettings(readFrom("a\r\n 7\r\nqcno\r\n$3E8\r\n").settings, "a", 7, false, 1000);
}

TEST(SettingsRead, OnlyTheExactSwitchTextChecksDeduplication)
{
    EXPECT_TRUE(readFrom("a\r\n0\r\nqcyes\r\n8\r\n").settings.deduplicate);
    for (const char* line : {"qcno", "QCYES", "", "qcyes ", " qcyes", "qcyesx"})
        EXPECT_FALSE(readFrom(std::string("a\r\n0\r\n") + line + "\r\n8\r\n", {"", 0, true, 8}).settings.deduplicate)
            << '"' << line << '"';
}

TEST(SettingsRead, AFailingLineLeavesTheEarlierValuesSet)
{
    const Settings before{"old.txt", 3, true, 20};

    // An empty file clears the field, then stops at the empty second line.
    ReadOutcome r = readFrom("", before);
    EXPECT_EQ(r.failure, "'' is not a valid integer value");
    expectSettings(r.settings, "", 3, true, 20);

    r = readFrom("new.txt\r\n12 \r\nqcno\r\n9\r\n", before);
    EXPECT_EQ(r.failure, "'12 ' is not a valid integer value");
    expectSettings(r.settings, "new.txt", 3, true, 20);

    // A missing fourth line: everything before it is taken.
    r = readFrom("new.txt\r\n12\r\nqcno\r\n", before);
    EXPECT_EQ(r.failure, "'' is not a valid integer value");
    expectSettings(r.settings, "new.txt", 12, false, 20);

    r = readFrom("new.txt\r\n12\r\nqcno\r\n99999999999\r\n", before);
    EXPECT_EQ(r.failure, "'99999999999' is not a valid integer value");
    expectSettings(r.settings, "new.txt", 12, false, 20);
}

TEST(SettingsRead, UnreadableFileIsReportedAndChangesNothing)
{
    test::TempDir dir;
    const std::string path = dir.file(kSettingsFileName);
    test::writeBytes(path, "a\r\n1\r\nqcyes\r\n9\r\n");
    VELLUMAX_SKIP_UNLESS_ROOT();
    ::chmod(path.c_str(), 0600);
    const std::string report = test::runAsNobody([&] {
        Settings s;
        try {
            readSettingsFile(dir.path() + "/", s);
            return std::string("read");
        } catch (const FileError& e) {
            return e.what() + std::string(s.keywordFile.empty() && s.interval == 8 ? " untouched" : " changed");
        }
    });
    EXPECT_EQ(report, "File access denied untouched");
}

TEST(SettingsWrite, FourLinesWithTheCursorMinusOne)
{
    EXPECT_EQ(written({"D:\\kw\\list.txt", 12, true, 30}), "D:\\kw\\list.txt\r\n11\r\nqcyes\r\n30\r\n");
    EXPECT_EQ(written({}), "\r\n-1\r\nqcno\r\n8\r\n");
    // The interval is stored as given; reading brings it back into range.
    EXPECT_EQ(written({"k", -1, false, 5000}), "k\r\n-2\r\nqcno\r\n5000\r\n");
    EXPECT_EQ(written({"k", INT32_MIN, false, 8}), "k\r\n-2147483648\r\nqcno\r\n8\r\n");
}

TEST(SettingsWrite, WhatIsWrittenReadsBack)
{
    struct Case {
        int32_t cursor;
        int32_t restored; // the cursor minus one, as far as 32 bits go
    };
    const Case cases[] = {
        {INT32_MIN, INT32_MIN}, {INT32_MIN + 1, INT32_MIN}, {-1, -2}, {0, -1}, {1, 0}, {INT32_MAX, INT32_MAX - 1},
    };
    for (const Case& c : cases) {
        const ReadOutcome r = readFrom(written({"k", c.cursor, true, 8}));
        EXPECT_EQ(r.failure, "") << c.cursor;
        EXPECT_EQ(r.settings.keywordCursor, c.restored) << c.cursor;
    }
}

TEST(SettingsWrite, ChinesePathComesBackUnchanged)
{
    test::TempDir dir;
    const std::string folder = dir.path() + "/";
    const Settings saved{gbk("E:\\资料\\关键字列表.txt"), 6, true, 15};
    writeSettingsFile(folder, saved);
    Settings restored;
    readSettingsFile(folder, restored);
    expectSettings(restored, saved.keywordFile, 5, true, 15);

    // A folder given without its separator means the same folder.
    Settings again;
    readSettingsFile(dir.path(), again);
    EXPECT_EQ(again.keywordFile, saved.keywordFile);
}

TEST(SettingsWrite, FailuresKeepThePreviousFile)
{
    test::TempDir dir;
    const std::string folder = dir.path() + "/";
    const std::string path = dir.file(kSettingsFileName);
    const std::string previous = "keywords.txt\r\n11\r\nqcyes\r\n8\r\n";
    const Settings next{std::string(200, 'k'), 40, false, 9};
    const auto attempt = [&] {
        try {
            writeSettingsFile(folder, next);
            return std::string("written");
        } catch (const FileError& e) {
            return std::string(e.what());
        }
    };

    test::writeBytes(path, previous);
    EXPECT_EQ(test::runWithFileSizeLimit(100, attempt), "Disk full");
    EXPECT_EQ(test::readBytes(path), previous);

    VELLUMAX_SKIP_UNLESS_ROOT();
    ::chmod(path.c_str(), 0644);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(test::runAsNobody(attempt), "File access denied");
    EXPECT_EQ(test::readBytes(path), previous);
}

} // namespace
} // namespace vellumax
