#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace vellumax {

// The order and equality of the merged number file: the user's locale
// collation with letter case ignored, and nothing else ignored. Width,
// accents and signs still count, as strictly as the locale has them.
//
// The collator cannot ignore case alone: at secondary strength it would drop
// width differences too, since both are tertiary. So a line is case-folded
// first (full Unicode case folding: "A" and "a" become one, "ß" matches
// "SS", while a full-width letter stays full-width) and the folded text is
// compared at tertiary strength. Two lines are equal exactly when their sort
// keys are, and sort keys order as the collator does, so one key per line
// answers every comparison by a byte compare.
class LineCollation {
public:
    // `locale` is an ICU locale name; "" is the root collation.
    explicit LineCollation(const std::string& locale);
    ~LineCollation();
    LineCollation(const LineCollation&) = delete;
    LineCollation& operator=(const LineCollation&) = delete;

    // The sort key of a GBK line, without its closing zero byte. `key` is
    // overwritten and keeps its capacity between calls.
    void sortKey(std::string_view gbkLine, std::string& key);

    // <0, 0 or >0, as `a` sorts before, equal to, or after `b`.
    int compare(std::string_view gbkA, std::string_view gbkB);

private:
    UCollator* collator_ = nullptr;
    std::u16string text_;
    std::u16string folded_;
    std::string scratch_;
};

// The locale whose collation the user expects, from the environment as the C
// library reads it: LC_ALL, then LC_COLLATE, then LANG. The encoding and any
// modifier are dropped ("zh_CN.UTF-8" gives "zh_CN"); "C", "POSIX" and an
// unset environment give the root collation "".
std::string userCollationLocale();

} // namespace vellumax
