// Result files and the progress snapshot: the format, the snapshot's
// removal for an empty list, and that a failed write keeps the previous file.
#include "files/result_export.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellumax {
namespace {

ResultList listOf(std::initializer_list<const char*> captions)
{
    ResultList list;
    for (const char* caption : captions)
        list.append(caption);
    return list;
}

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
    WriteResultList(path, listOf({"051212345678", "13912345678", "0755-88886666"}));
    EXPECT_EQ(test::readBytes(path), "051212345678\r\n13912345678\r\n0755-88886666\r\n");
}

TEST(ResultExport, SnapshotFollowsTheList)
{
    test::TempDir dir;
    const std::string snapshot = dir.file(kAutosaveFileName);
    const ResultList five = listOf({"01011111111", "01022222222", "01033333333", "01044444444", "01055555555"});

    writeAutosave(dir.path() + "/", five);
    const std::string first = test::readBytes(snapshot);
    EXPECT_EQ(first, "01011111111\r\n01022222222\r\n01033333333\r\n01044444444\r\n01055555555\r\n");
    writeAutosave(dir.path(), five);
    EXPECT_EQ(test::readBytes(snapshot), first);

    writeAutosave(dir.path() + "/", ResultList{});
    EXPECT_FALSE(test::fileExists(snapshot));
    writeAutosave(dir.path() + "/", ResultList{}); // nothing to remove is fine
    EXPECT_FALSE(test::fileExists(snapshot));
}

TEST(ResultExport, FailuresKeepThePreviousFile)
{
    test::TempDir dir;
    const std::string result = dir.file("result.txt");
    const std::string snapshot = dir.file(kAutosaveFileName);
    const std::string previous = "02011111111\r\n02022222222\r\n";
    test::writeBytes(result, previous);
    test::writeBytes(snapshot, previous);

    ResultList many;
    for (int i = 0; i < 10'000; ++i)
        many.append("0512" + std::to_string(10'000'000 + i));

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
