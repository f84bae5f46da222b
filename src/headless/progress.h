#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vellumax {

// Where a headless search stands, for the person watching it.
struct Progress {
    int32_t keywordNumber = 0; // 1-based number of the keyword being searched
    int32_t keywordCount = 0;
    std::string keyword;       // GBK, as the list holds it
    int32_t page = 0;          // pages of this keyword read so far
    int64_t numbersInAll = 0;  // found in this run
    int64_t numbersInKeyword = 0;
    int64_t pagesRead = 0;     // in this run
    int32_t keywordsTaken = 0; // in this run, the one in progress included
    int32_t intervalSeconds = 8;
    // With the results' own sites read: their pages read and still to read.
    bool readsSites = false;
    int64_t sitePagesRead = 0;
    int64_t sitePagesWaiting = 0;

    // The run has moved on to the keyword `number` (1-based), `text` as the
    // list holds it.
    void keywordBegun(int32_t number, std::string text);
    // A page of the keyword was read, with `added` new numbers and the
    // run's `found` in all.
    void pageRead(int64_t added, int64_t found);
};

// The time the run is expected to take still: the pages a keyword took on
// average so far, for the rest of the keyword in progress and every keyword
// after it, one interval each.
int64_t remainingSeconds(const Progress& progress);

// "1:02:03", "4:05"; days are counted in hours.
std::string durationText(int64_t seconds);

// What the user is told, once, when a verification page holds the run up
// (UTF-8): when, at which keyword, and how to get past it.
std::string verificationNotice(const Progress& progress, int64_t nowUnixMs);

// One line of progress in UTF-8, without a line break.
std::string progressText(const Progress& progress);

// Shows the progress on stderr: on a terminal one line that is rewritten in
// place, otherwise one plain line per page, for a log. Messages (a retry,
// the end) go on lines of their own.
class ProgressDisplay {
public:
    ProgressDisplay(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void show(const Progress& progress);
    void message(const std::string& utf8Text);
    // Leaves the live line as it is and moves below it.
    void end();

private:
    std::FILE* out_;
    bool terminal_;
    bool lineOpen_ = false;
};

} // namespace vellumax
