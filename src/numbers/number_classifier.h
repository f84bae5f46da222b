#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vellumax {

// The kinds of number the phone-number library tells apart.
enum class NumberKind {
    FixedLine,
    Mobile,
    FixedLineOrMobile,
    TollFree,
    PremiumRate,
    SharedCost,
    Voip,
    PersonalNumber,
    Pager,
    Uan,
    Voicemail,
    Unknown,
};

// The kind's name as the user reads it ("固定电话", "手机", ..., "未知"), GBK.
const std::string& numberKindName(NumberKind kind);

// What the phone-number library says of one stored number.
struct NumberFacts {
    bool valid = false;
    NumberKind kind = NumberKind::Unknown;
    // "+86 512 8765 4321", with " ext. 801" for an extension; empty when the
    // text holds no number at all.
    std::string international;
    // The region in Chinese ("江苏省苏州市"), GBK; empty when the library
    // knows none, always for an invalid number.
    std::string region;
};

// Classifies numbers as the result list stores them: the domestic dialling
// form, digits and dashes ("0512-87654321", "013912345678"), maybe with an
// extension after a last dash ("0512-12345678-801"). They are read as Chinese
// numbers. Every answer is the library's own.
//
// One classifier may be shared; classify() is safe to call from several
// threads at once.
class NumberClassifier {
public:
    NumberClassifier();
    ~NumberClassifier();
    NumberClassifier(const NumberClassifier&) = delete;
    NumberClassifier& operator=(const NumberClassifier&) = delete;

    // `storedNumber` is GBK, as the result list holds it.
    NumberFacts classify(std::string_view storedNumber) const;

private:
    struct Library;
    std::unique_ptr<Library> library_;
};

// "江苏省苏州市 · 固定电话", "北京市 · 手机", "手机" when the region is
// unknown, or "无效号码"; GBK.
std::string numberSummary(const NumberFacts& facts);

} // namespace vellumax
