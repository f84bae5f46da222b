#pragma once

#include <concepts>
#include <memory>
#include <ranges>
#include <string>
#include <type_traits>

namespace vellumax {

inline constexpr const char* kAutosaveFileName = "autosave.txt";

// Any range of strings that stay where they are while they are written: the
// writers walk the caller's entries, since copying a million results only
// to save them would take their memory twice over.
template <typename Lines>
concept LineRange =
    std::ranges::input_range<Lines> && std::is_lvalue_reference_v<std::ranges::range_reference_t<Lines>> &&
    std::same_as<std::remove_cvref_t<std::ranges::range_reference_t<Lines>>, std::string>;

// The lines to write, handed out one at a time: nullptr after the last.
class LineSource {
public:
    virtual const std::string* next() = 0;

protected:
    ~LineSource() = default;
};

template <LineRange Lines>
class RangeLines final : public LineSource {
public:
    explicit RangeLines(Lines& lines) : at_(std::ranges::begin(lines)), end_(std::ranges::end(lines)) {}

    const std::string* next() override
    {
        // Steps on only when the next line is asked for: a single-pass range
        // may keep its current line inside the iterator.
        if (started_ && at_ != end_)
            ++at_;
        started_ = true;
        return at_ == end_ ? nullptr : std::addressof(*at_);
    }

private:
    std::ranges::iterator_t<Lines> at_;
    std::ranges::sentinel_t<Lines> end_;
    bool started_ = false;
};

void writeResultLines(const std::string& path, LineSource& lines);
void writeAutosaveLines(const std::string& folder, LineSource& lines);

// Writes every entry of the list, each followed by CR LF. The previous file
// survives a failure (FileError).
template <LineRange Lines>
void WriteResultList(const std::string& path, Lines&& results)
{
    RangeLines<std::remove_reference_t<Lines>> lines(results);
    writeResultLines(path, lines);
}

// The progress snapshot "autosave.txt" in `folder`: replaced by the list's
// entries, or deleted (and none written) when the list is empty.
template <LineRange Lines>
void writeAutosave(const std::string& folder, Lines&& results)
{
    RangeLines<std::remove_reference_t<Lines>> lines(results);
    writeAutosaveLines(folder, lines);
}

} // namespace vellumax
