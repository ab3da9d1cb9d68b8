#include "core/text.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/fatal_error.h"
#include "core/forms.h"
#include "fake_seam.h"

namespace {

using namespace std::string_literals;

std::vector<Text> items_of(const Array<Text>& array) {
    std::vector<Text> items;
    for (std::int32_t i = 1; i <= element_count(array); ++i) items.push_back(array.at(i));
    return items;
}

// Shows the bytes of a text in failure messages, double-byte ones included.
std::string hex(std::string_view t) {
    std::string out;
    for (unsigned char c : t) {
        static const char digits[] = "0123456789ABCDEF";
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

// Two characters whose bytes, read across their border, spell 呵 (BA C7):
// the trail byte of the first and the lead byte of the second.
const Text straddling_he = "\xB0\xBA\xC7\xB0";

TEST(Literals, ChineseLiteralsAreGbkBytes) {
    EXPECT_EQ(hex("嗨"), hex("\xE0\xCB"));
    EXPECT_EQ(hex("呵"), hex("\xBA\xC7"));
    // The labels of a binding start with eight em dashes, each A1 AA.
    Text eight_dashes;
    for (int i = 0; i < 8; ++i) eight_dashes += "\xA1\xAA";
    EXPECT_EQ(hex(unbound_text), hex(eight_dashes));
}

struct CompareCase {
    std::string_view a, b;
    int expected;
};

class TextCompare : public testing::TestWithParam<CompareCase> {};

TEST_P(TextCompare, OrdersByUnsignedBytes) {
    const auto& c = GetParam();
    EXPECT_EQ(text_compare(c.a, c.b), c.expected) << hex(c.a) << "vs " << hex(c.b);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextCompare, testing::Values(
    CompareCase{std::string_view(), "", 0},
    CompareCase{"1.0", "1.0", 0},
    CompareCase{"", "1.0", -1},
    CompareCase{"1.0", "", 1},
    CompareCase{"1.0", "1.01", -1},
    CompareCase{"1.1", "1.0", 1},
    // A double-byte character sorts after every ASCII byte.
    CompareCase{"\xB0\xA1", "\x7F", 1},
    CompareCase{"\x7F", "\xB0\xA1", -1}));

struct IntTextCase {
    std::int32_t n;
    const char* text;
};

class IntToText : public testing::TestWithParam<IntTextCase> {};

TEST_P(IntToText, WritesSignedDecimalAndReadsItBack) {
    const auto& c = GetParam();
    EXPECT_EQ(int_to_text(c.n), c.text);
    EXPECT_EQ(text_to_int(int_to_text(c.n)), c.n);
}

INSTANTIATE_TEST_SUITE_P(Cases, IntToText, testing::Values(
    IntTextCase{0, "0"},
    IntTextCase{-1, "-1"},
    IntTextCase{120, "120"},
    IntTextCase{std::numeric_limits<std::int32_t>::max(), "2147483647"},
    IntTextCase{std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    // A window handle of 0x80000001 is shown as a negative number.
    IntTextCase{static_cast<std::int32_t>(0x80000001u), "-2147483647"}));

struct ToIntCase {
    std::string_view text;
    std::int32_t expected;
};

class TextToInt : public testing::TestWithParam<ToIntCase> {};

TEST_P(TextToInt, ReadsLeadingNumber) {
    const auto& c = GetParam();
    EXPECT_EQ(text_to_int(c.text), c.expected) << hex(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextToInt, testing::Values(
    ToIntCase{"  42abc", 42},
    ToIntCase{"-7", -7},
    ToIntCase{"+5", 5},
    ToIntCase{"--5", 0},
    ToIntCase{"- 5", 0},
    ToIntCase{"", 0},
    ToIntCase{std::string_view(), 0},
    ToIntCase{"————————", 0},
    ToIntCase{"\t\n\v\f\r 9", 9},
    ToIntCase{"12 34", 12},
    ToIntCase{"4294967297", 1},  // 2^32 + 1 wraps
    ToIntCase{"2147483648", std::numeric_limits<std::int32_t>::min()},
    ToIntCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
    ToIntCase{"4294967295", -1},
    ToIntCase{"99999999999999999999", static_cast<std::int32_t>(0x630FFFFFu)},
    // Full-width digits, signs and the ideographic space count as ASCII.
    ToIntCase{"１２０", 120},
    ToIntCase{"　－１２", -12},
    ToIntCase{"＋３", 3},
    // A lead byte at the very end is dropped, not read past.
    ToIntCase{"8\xA3", 8}));

struct HalfwidthCase {
    std::string_view text, expected;
};

class ToHalfwidth : public testing::TestWithParam<HalfwidthCase> {};

TEST_P(ToHalfwidth, FoldsWholeCharacters) {
    const auto& c = GetParam();
    EXPECT_EQ(hex(to_halfwidth(c.text)), hex(c.expected)) << hex(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToHalfwidth, testing::Values(
    HalfwidthCase{"\xA1\xA1", " "},
    HalfwidthCase{"\xA1\xAB", "~"},
    HalfwidthCase{"\xA1\xEE\xA1\xEF", "**"},
    HalfwidthCase{"\xA3\xA1", "!"},
    HalfwidthCase{"\xA3\xFE", "~"},
    HalfwidthCase{"Ａｚ", "Az"},
    // Neighbours of the table and other characters stay as they are.
    HalfwidthCase{"\xA3\xA0\xA3\xFF\xA1\xAA", "\xA3\xA0\xA3\xFF\xA1\xAA"},
    HalfwidthCase{"嗨x", "嗨x"},
    // A3 as a trail byte does not start a full-width form.
    HalfwidthCase{"\xB0\xA3\xA3\xB1", "\xB0\xA3" "1"},
    HalfwidthCase{"a\xA3", "a"},
    HalfwidthCase{"\xB0", ""}));

struct SplitCase {
    std::string_view text, delimiter;
    std::vector<Text> expected;
};

class TextSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(TextSplit, GivesItemsInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(items_of(text_split(c.text, c.delimiter)), c.expected) << hex(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextSplit, testing::Values(
    SplitCase{"", "\r\n", {}},
    SplitCase{"a", "\r\n", {"a"}},
    SplitCase{"a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
    SplitCase{"\r\nx", "\r\n", {"", "x"}},
    SplitCase{"\r\n", "\r\n", {""}},
    SplitCase{"第一行\r\n第二行", "\r\n", {"第一行", "第二行"}},
    SplitCase{"a\r\nb", "", {"a\r\nb"}},
    // "@" is 0x40, also a trail byte: inside 81 40 it is no delimiter.
    SplitCase{"a\x81\x40" "b@c", "@", {"a\x81\x40" "b", "c"}},
    // A lead byte at the end stops the scan and stays in the last item.
    SplitCase{"a@\xB0", "@", {"a", "\xB0"}},
    SplitCase{"a\xB0", "x", {"a\xB0"}},
    SplitCase{"a\xB0", "\r\n", {"a\xB0"}}));

TEST(TextSplitSize, SplitsTenMegabytesOfLinesInOneGo) {
    constexpr std::int32_t lines = 1'000'000;
    Text text;
    text.reserve(static_cast<std::size_t>(lines) * 10);
    for (std::int32_t i = 0; i < lines; ++i) text += "第一行\r\n";
    text += "末";
    const Array<Text> items = text_split(text, "\r\n");
    ASSERT_EQ(element_count(items), lines + 1);
    EXPECT_EQ(items.at(1), "第一行");
    EXPECT_EQ(items.at(lines), "第一行");
    EXPECT_EQ(items.at(lines + 1), "末");
}

struct FindCase {
    std::string_view text, sub;
    std::int32_t start;
    bool ignore_case;
    std::int32_t expected;
};

class TextFind : public testing::TestWithParam<FindCase> {};

TEST_P(TextFind, FindsAtCharacterStarts) {
    const auto& c = GetParam();
    EXPECT_EQ(text_find(c.text, c.sub, c.start, c.ignore_case), c.expected)
        << hex(c.text) << "/ " << hex(c.sub) << "from " << c.start;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextFind, testing::Values(
    FindCase{straddling_he, "呵", 1, false, -1},
    FindCase{"版本呵1.0呵", "呵", 1, false, 5},
    FindCase{"版本呵1.0呵", "呵", 6, false, 10},
    FindCase{"abcabc", "abc", 0, false, 1},
    FindCase{"abcabc", "abc", 1, false, 1},
    FindCase{"abcabc", "abc", -5, false, 1},
    FindCase{"abcabc", "abc", 2, false, 4},
    FindCase{"abcabc", "c", 6, false, 6},
    FindCase{"abcabc", "c", 7, false, -1},  // one past the last byte
    FindCase{"abcabc", "abcd", 1, false, -1},
    FindCase{"abc", "", 3, false, 1},
    FindCase{"abc", "", 4, false, -1},
    FindCase{"", "", 1, false, -1},
    FindCase{"", "a", 1, false, -1},
    FindCase{"xHeLLo", "hEllO", 1, true, 2},
    FindCase{"xHeLLo", "hEllO", 1, false, -1},
    // Only letters fold: "[" and "{" differ by the same bit as "A" and "a".
    FindCase{"{", "[", 1, true, -1},
    FindCase{"@", "`", 1, true, -1},
    // A lead byte as the last byte ends the search.
    FindCase{"a\xB0", "b", 1, false, -1},
    FindCase{"\xB0", "x", 1, true, -1}));

struct MidCase {
    std::int32_t start, length;
    std::string_view expected;
};

class TextMid : public testing::TestWithParam<MidCase> {};

TEST_P(TextMid, CutsBytesWithinTheText) {
    const auto& c = GetParam();
    EXPECT_EQ(text_mid("abcdef", c.start, c.length), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextMid, testing::Values(
    MidCase{3, 2, "cd"},
    MidCase{5, 10, "ef"},
    MidCase{1, 6, "abcdef"},
    MidCase{6, 1, "f"},
    MidCase{7, 1, ""},
    MidCase{0, 3, ""},
    MidCase{-1, 3, ""},
    MidCase{2, 0, ""},
    MidCase{2, -3, ""},
    MidCase{2, std::numeric_limits<std::int32_t>::max(), "bcdef"},
    MidCase{std::numeric_limits<std::int32_t>::max(), 1, ""}));

TEST(TextMidBytes, MayCutADoubleByteCharacter) {
    EXPECT_EQ(hex(text_mid("呵呵", 2, 2)), hex("\xC7\xBA"));
}

struct ReplaceCase {
    std::string_view text, find, replacement, expected;
};

class TextReplace : public testing::TestWithParam<ReplaceCase> {};

TEST_P(TextReplace, ReplacesEveryOccurrenceOnce) {
    const auto& c = GetParam();
    EXPECT_EQ(hex(text_replace(c.text, c.find, c.replacement)), hex(c.expected)) << hex(c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextReplace, testing::Values(
    ReplaceCase{"a#引号b", "#引号", "\"", "a\"b"},
    ReplaceCase{"呵", "#引号", "\"", "呵"},
    ReplaceCase{"你好世界", "#引号", "\"", "你好世界"},
    ReplaceCase{"#引号#引号", "#引号", "", ""},
    ReplaceCase{"aaa", "aa", "b", "ba"},
    ReplaceCase{"aa", "a", "aa", "aaaa"},  // the replacement is not searched again
    ReplaceCase{straddling_he, "呵", "x", straddling_he},
    ReplaceCase{"a\x81\x40@", "@", "-", "a\x81\x40-"},
    ReplaceCase{"abc", "", "x", "abc"},
    ReplaceCase{"", "a", "x", ""},
    ReplaceCase{"a\xB0", "x", "y", "a\xB0"}));

TEST(SmallHelpers, JoinCopyBytesAndBlanks) {
    EXPECT_EQ(text_join({"a", "", "b", "呵"}), "ab呵");
    EXPECT_EQ(text_join({"", ""}), "");
    EXPECT_EQ(text_copy("x呵"), "x呵");
    EXPECT_EQ(text_length("呵a"), 3);
    EXPECT_EQ(bytes_to_text("A\0B"s), "A");
    EXPECT_EQ(bytes_to_text("A\0B\0C"s), "A");  // the first zero byte, not the last
    EXPECT_EQ(bytes_to_text("\0A"s), "");
    EXPECT_EQ(bytes_to_text("AB"), "AB");
    EXPECT_EQ(bytes_to_text(""), "");
    EXPECT_EQ(text_blank(0), "");
    EXPECT_EQ(text_blank(-2), "");
    EXPECT_EQ(text_blank(3), "   ");
}

struct TruncateCase {
    double x;
    std::int64_t expected;
};

class TruncateToInt : public testing::TestWithParam<TruncateCase> {};

TEST_P(TruncateToInt, RoundsTowardZeroInEveryRoundingMode) {
    const auto& c = GetParam();
    for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        const volatile double x = c.x;
        const std::int64_t result = truncate_to_int(x);
        std::fesetround(FE_TONEAREST);
        EXPECT_EQ(result, c.expected) << c.x << " in rounding mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TruncateToInt, testing::Values(
    TruncateCase{2.5, 2},
    TruncateCase{2.9, 2},
    TruncateCase{-2.5, -2},
    TruncateCase{-0.9, 0},
    TruncateCase{4294967296.0, 4294967296},
    TruncateCase{-2147483649.0, -2147483649},
    // Outside the 64-bit range: saturated; NaN: 0.
    TruncateCase{1e300, std::numeric_limits<std::int64_t>::max()},
    TruncateCase{-1e300, std::numeric_limits<std::int64_t>::min()},
    TruncateCase{INFINITY, std::numeric_limits<std::int64_t>::max()},
    TruncateCase{std::nan(""), 0}));

TEST(TruncateToIntSums, LowBitsWrapLike32BitIntegers) {
    const double sum = 2147483647.0 + 1.0;
    EXPECT_EQ(static_cast<std::int32_t>(truncate_to_int(sum)), std::numeric_limits<std::int32_t>::min());
}

struct FatalTextCase {
    std::int32_t code;
    const char* message;
    const char* expected;
};

class FatalErrorText : public testing::TestWithParam<FatalTextCase> {};

TEST_P(FatalErrorText, HasOptionalCodeAndMessageLines) {
    const auto& c = GetParam();
    EXPECT_EQ(fatal_error_text(c.code, c.message), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FatalErrorText, testing::Values(
    FatalTextCase{0, "", "运行时出错!\r\n\r\n"},
    FatalTextCase{4, "", "运行时出错!\r\n\r\n错误代码：4\r\n\r\n"},
    FatalTextCase{0, "载入启动窗口失败", "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
    FatalTextCase{-3, "坏", "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n错误信息：坏\r\n"}));

struct IndexCase {
    std::int32_t index;
    std::int32_t code;
    const char* message;
};

class ArrayIndex : public testing::TestWithParam<IndexCase> {
protected:
    void SetUp() override { fake::reset(); }
};

TEST_P(ArrayIndex, OutOfRangeEndsTheProcessAfterTheBox) {
    const auto& c = GetParam();
    const Array<Text> array(std::vector<Text>{"a", "b"});
    try {
        (void)array.at(c.index);
        FAIL() << "index " << c.index << " was accepted";
    } catch (const fake::ProcessExit& e) {
        EXPECT_EQ(e.code, -1);
    }
    const auto& boxes = fake::state().boxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, fatal_error_text(c.code, c.message));
    EXPECT_EQ(boxes[0].title, "错误");
    EXPECT_EQ(boxes[0].icon, seam::Icon::error);
    EXPECT_EQ(boxes[0].buttons, seam::Buttons::ok);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArrayIndex, testing::Values(
    IndexCase{0, 4, "数组成员引用下标必须大于等于1"},
    IndexCase{std::numeric_limits<std::int32_t>::min(), 4, "数组成员引用下标必须大于等于1"},
    IndexCase{3, 1, "数组成员引用下标超出定义范围"},
    IndexCase{std::numeric_limits<std::int32_t>::max(), 1, "数组成员引用下标超出定义范围"}));

TEST(ArrayAccess, EmptyArrayHasNoFirstElement) {
    fake::reset();
    const Array<Text> empty;
    EXPECT_EQ(element_count(empty), 0);
    EXPECT_THROW((void)empty.at(1), fake::ProcessExit);
    ASSERT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_EQ(fake::state().boxes[0].text, fatal_error_text(1, "数组成员引用下标超出定义范围"));
}

}  // namespace
