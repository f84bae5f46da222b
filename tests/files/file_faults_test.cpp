// Faults between the user's choice of a file and its use: files that vanish
// or change kind after the dialog, read-only targets, folders out of reach.
// Each case checks the message the command ends with and that the previous
// good file is still there, byte for byte.
#include "files/keyword_import.h"
#include "files/number_merge.h"
#include "files/result_export.h"
#include "files/settings_file.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vellumax {
namespace {

std::string failureOf(const std::function<void()>& step)
{
    try {
        step();
        return "done";
    } catch (const Error& e) {
        return e.what();
    }
}

std::vector<std::string> someNumbers()
{
    std::vector<std::string> list;
    for (int i = 0; i < 50; ++i)
        list.push_back("0512-" + std::to_string(12'345'600 + i));
    return list;
}

TEST(FileFaults, KeywordFileChangedBetweenCountAndLoad)
{
    test::TempDir dir;
    const std::string path = dir.file("keywords.txt");
    test::writeBytes(path, "a\r\nb\r\nc\r\n");
    EXPECT_EQ(countKeywordLines(path), 3);

    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_EQ(failureOf([&] { loadKeywordList(path); }), "Cannot open file " + path);

    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0); // a folder of that name
    EXPECT_EQ(failureOf([&] { loadKeywordList(path); }), "Cannot open file " + path);
}

// Root ignores permission bits, so the writes run as "nobody" in a folder
// open to every user, on files owned by root and marked read-only.
TEST(FileFaults, ReadOnlyTargetsKeepTheirBytes)
{
    test::TempDir dir;
    const std::string results = dir.file("numbers.txt"), merged = dir.file("merged.txt"),
                      input = dir.file("in.txt"), settings = dir.file(kSettingsFileName),
                      snapshot = dir.file(kAutosaveFileName);
    const std::string previous = "previous\r\n";
    for (const std::string& path : {results, merged, settings, snapshot}) {
        test::writeBytes(path, previous);
        ::chmod(path.c_str(), 0444);
    }
    test::writeBytes(input, "1\r\n2\r\n");
    const std::vector<std::string> numbers = someNumbers();

    const std::string report = test::runAsNobody([&] {
        Settings s;
        s.keywordFile = "k.txt";
        return failureOf([&] { WriteResultList(results, numbers); }) + " | " +
               failureOf([&] { mergeNumberFiles({input}, merged); }) + " | " +
               failureOf([&] { writeSettingsFile(dir.path(), s); }) + " | " +
               failureOf([&] { writeAutosave(dir.path(), numbers); });
    });
    EXPECT_EQ(report, "File access denied | Cannot create file " + merged +
                          " | File access denied | File access denied");
    for (const std::string& path : {results, merged, settings, snapshot})
        EXPECT_EQ(test::readBytes(path), previous) << path;
}

TEST(FileFaults, SettingsFileOutOfReach)
{
    test::TempDir dir;
    // A folder in the settings file's place.
    const std::string asFolder = dir.file("as-folder");
    ASSERT_EQ(::mkdir(asFolder.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((asFolder + "/" + kSettingsFileName).c_str(), 0755), 0);
    Settings s;
    EXPECT_EQ(failureOf([&] { readSettingsFile(asFolder + "/", s); }), "File access denied");
    EXPECT_EQ(failureOf([&] { writeSettingsFile(asFolder + "/", s); }), "File access denied");
    struct stat st {};
    EXPECT_TRUE(::stat((asFolder + "/" + kSettingsFileName).c_str(), &st) == 0 && S_ISDIR(st.st_mode));

    VELLUMAX_SKIP_UNLESS_ROOT();
    const std::string locked = dir.file("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0); // not searchable by nobody
    const std::string good = "keywords.txt\r\n4\r\nqcyes\r\n20\r\n";
    test::writeBytes(locked + "/" + kSettingsFileName, good);

    // A file that cannot be reached is reported, not taken for a missing one.
    EXPECT_EQ(test::runAsNobody([&] {
                  Settings s;
                  const std::string failure = failureOf([&] { readSettingsFile(locked + "/", s); });
                  return failure + (s.keywordFile.empty() && s.interval == 8 ? " untouched" : " changed");
              }),
              "File access denied untouched");
    EXPECT_EQ(test::runAsNobody([&] { return failureOf([&] { writeSettingsFile(locked + "/", Settings{}); }); }),
              "File access denied");
    EXPECT_EQ(test::readBytes(locked + "/" + kSettingsFileName), good);
}

TEST(FileFaults, MergedFileThatCannotBeCreatedTouchesNoInput)
{
    test::TempDir dir;
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    test::writeBytes(a, "2\r\n1\r\n");
    test::writeBytes(b, "3\r\n");
    const std::string output = dir.file("out");
    ASSERT_EQ(::mkdir(output.c_str(), 0755), 0);
    EXPECT_EQ(failureOf([&] { mergeNumberFiles({a, b}, output); }), "Cannot create file " + output);

    // The output's folder removed after the dialog.
    const std::string gone = dir.file("gone");
    ASSERT_EQ(::mkdir(gone.c_str(), 0755), 0);
    ASSERT_EQ(::rmdir(gone.c_str()), 0);
    EXPECT_EQ(failureOf([&] { mergeNumberFiles({a, b}, gone + "/merged.txt"); }),
              "Cannot create file " + gone + "/merged.txt");

    EXPECT_EQ(test::readBytes(a), "2\r\n1\r\n");
    EXPECT_EQ(test::readBytes(b), "3\r\n");
}

} // namespace
} // namespace vellumax
