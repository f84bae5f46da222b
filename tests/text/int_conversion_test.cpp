#include "text/error.h"
#include "text/int_conversion.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

TEST(IntConversion, AcceptedForms)
{
    const std::pair<const char*, int32_t> accepted[] = {
        {"0", 0},           {"12", 12},         {"007", 7},           {"+5", 5},
        {"-1", -1},         {"   42", 42},      {"$1F", 31},          {"$ff", 255},
        {"x10", 16},        {"X10", 16},        {"0x1a", 26},         {"0X1A", 26},
        {"  $10", 16},      {"2147483647", INT32_MAX},                {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},               {"0000000000000000000012", 12},
    };
    for (const auto& [text, value] : accepted) {
        auto result = tryStrToInt(text);
        ASSERT_TRUE(result.has_value()) << text;
        EXPECT_EQ(*result, value) << text;
    }
}

TEST(IntConversion, RefusedForms)
{
    const char* refused[] = {
        "",           " ",          "12 ",         "12a",        "abc",        "1.5",       "-",
        "+",          "$",          "0x",          "x",          "- 1",        "--1",       "+-1",
        "-$10",       "$-10",       "\t12",        "2147483648", "-2147483649", "$80000000", "$FFFFFFFF",
        "99999999999999999999",    "１２" /* full-width digits */,
    };
    for (const char* text : refused)
        EXPECT_FALSE(tryStrToInt(text).has_value()) << '"' << text << '"';
}

TEST(IntConversion, FailureMessageQuotesTheText)
{
    try {
        strToInt("abc");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(invalidIntegerMessage(""), "'' is not a valid integer value");
}

} // namespace
} // namespace vellumax
