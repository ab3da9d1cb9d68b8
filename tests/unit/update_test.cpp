// The update check against the fake system, text_between, and the
// character-set converter. The converter cases run natively (iconv) and in
// the Windows build under Wine (code page 936): both must agree.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/events.h"
#include "core/seam.h"
#include "fake_seam.h"
#include "update/addresses.h"
#include "update/update.h"

using namespace std::literals;

// Page bodies arrive as UTF-8, while the literals of this file compile to GBK:
// UTF-8 is spelled out byte by byte.
#define U8_HE "\xE5\x91\xB5"            // 呵
#define U8_SMILE "\xF0\x9F\x98\x80"     // U+1F600, which GBK lacks
#define U8_ZHONG "\xE4\xB8\xAD"         // 中
#define U8_PRIVATE_USE "\xEE\x80\x80"  // U+E000, which iconv's GBK lacks

namespace {

using seam::close_converter;
using seam::convert_bytes;
using seam::Converter;
using seam::converter_failed;
using seam::open_converter;

// The update check's state under the names the cases use.
const Bytes& page_text = update_state.page_text;
const Text& latest_version = update_state.latest_version;

struct CheckCase {
    const char* name;
    std::optional<std::string_view> body;  // nullopt: the fetch fails
    const char* version;                   // GBK
    bool prompts;                          // otherwise the update path
};

const CheckCase check_cases[] = {
    {"no body", std::nullopt, "", false},
    {"error page without markers", "<html><title>404 Not Found</title></html>"sv, "", false},
    {"one marker", "version " U8_HE "1.0"sv, "", false},
    {"two markers, nothing between", "x" U8_HE U8_HE "y"sv, "", false},
    {"invalid UTF-8", "\xFF" U8_HE "1.0" U8_HE ""sv, "", false},
    {"emoji anywhere", U8_HE "1.0" U8_HE " " U8_SMILE ""sv, "", false},
    {"private-use character anywhere", U8_HE "1.0" U8_HE U8_PRIVATE_USE ""sv, "", false},
    {"zero byte before the markers", "ab\0" U8_HE "1.0" U8_HE ""sv, "", false},
    {"1.00", U8_HE "1.00" U8_HE ""sv, "1.00", false},
    {"space before", U8_HE " 1.0" U8_HE ""sv, " 1.0", false},
    {"1.1", U8_HE "1.1" U8_HE ""sv, "1.1", false},
    {"an earlier lone marker", U8_HE "abc" U8_HE "1.0" U8_HE ""sv, "abc", false},
    {"exactly 1.0", "<p>" U8_ZHONG U8_HE "1.0" U8_HE "</p>"sv, "1.0", true},
};

TEST(UpdateCheck, OutcomeByPage) {
    for (const auto& c : check_cases) {
        SCOPED_TRACE(c.name);
        fake::reset();
        ASSERT_TRUE(seam::create_window(Window::main));
        if (c.body) fake::state().pages[update_page_address] = Bytes(*c.body);
        // What had happened by the time the box was open.
        std::vector<Text> opened_at_box;
        int close_requests_at_box = -1;
        fake::state().on_box = [&](const fake::Box&) {
            opened_at_box = fake::state().opened;
            close_requests_at_box = fake::window(Window::main).close_requests;
        };

        // The main window's created event: the check, and on its outcome the prompt.
        on_event(Window::main, Event::created);

        const auto& s = fake::state();
        EXPECT_EQ(s.fetched, std::vector<Text>{update_page_address});
        EXPECT_EQ(latest_version, c.version);
        ASSERT_EQ(s.boxes.size(), 1u);
        EXPECT_TRUE(opened_at_box.empty());
        EXPECT_EQ(close_requests_at_box, 0);
        if (c.prompts) {
            EXPECT_EQ(s.boxes[0].buttons, seam::Buttons::yes_no);
            EXPECT_TRUE(s.opened.empty());
            EXPECT_EQ(fake::window(Window::main).close_requests, 0);
        } else {
            EXPECT_EQ(s.boxes[0].text, "已为你跳转最新下载地址");
            EXPECT_EQ(s.boxes[0].title, "信息：");
            EXPECT_EQ(s.boxes[0].buttons, seam::Buttons::ok);
            EXPECT_EQ(s.boxes[0].icon, seam::Icon::none);
            EXPECT_EQ(s.opened, std::vector<Text>{download_address});
            EXPECT_EQ(fake::window(Window::main).close_requests, 1);
            // Queued, not carried out: the window still exists for start-up to show.
            EXPECT_TRUE(fake::window(Window::main).exists);
            EXPECT_TRUE(fake::window(Window::main).close_queued);
        }
    }
}

TEST(UpdateCheck, KeepsTheConvertedPage) {
    fake::reset();
    ASSERT_TRUE(seam::create_window(Window::main));
    fake::state().pages[update_page_address] = "v" U8_HE "1.0" U8_HE;
    update_check();
    EXPECT_EQ(page_text, "v呵1.0呵");
}

struct BetweenCase {
    const char* text;
    const char* start_marker;
    const char* end_marker;
    std::int32_t start;
    bool ignore_case;
    const char* expected;
};

TEST(TextBetween, Cases) {
    const BetweenCase cases[] = {
        {"呵abc呵1.0呵", "呵", "呵", 0, false, "abc"},
        {"x呵呵y", "呵", "呵", 0, false, ""},
        {"only 呵 one", "呵", "呵", 0, false, ""},
        {"no markers", "呵", "呵", 0, false, ""},
        {"]a[", "[", "]", 0, false, ""},
        {"", "[", "]", 0, false, ""},
        // "#引号" in a marker stands for a double quote, and only there.
        {"a\"mid b", "a#引号", "b", 0, false, "mid "},
        {"a#引号mid b", "a#引号", "b", 0, false, ""},
        {"k=\"v\"", "#引号", "#引号", 0, false, "v"},
        // The search starts at start; the end marker is looked for after the start marker.
        {"[1][2]", "[", "]", 0, false, "1"},
        {"[1][2]", "[", "]", 2, false, "2"},
        {"[1][2]", "[", "]", 99, false, ""},
        {"KEY=v;", "key=", ";", 0, true, "v"},
        {"KEY=v;", "key=", ";", 0, false, ""},
        {"a=b;", "=", "b", 0, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " | " << c.start_marker << " | " << c.end_marker << " | "
                                        << c.start);
        EXPECT_EQ(text_between(c.text, c.start_marker, c.end_marker, c.start, c.ignore_case), c.expected);
    }
}

struct ConvertCase {
    const char* name;
    std::string_view input;  // UTF-8
    std::string_view gbk;    // empty: the conversion fails as a whole
};

TEST(Converter, Utf8ToGbk) {
    const ConvertCase cases[] = {
        {"plain ASCII", "Hello, 1.0!"sv, "Hello, 1.0!"sv},
        {"Chinese", U8_HE "1.0" U8_HE ""sv, "\xBA\xC7" "1.0\xBA\xC7"sv},
        {"a zero byte is a byte", "a\0" U8_ZHONG ""sv, "a\0\xD6\xD0"sv},
        {"invalid byte", "ok\xFFok"sv, ""sv},
        {"cut character", "ok\xE5\x91"sv, ""sv},
        {"character GBK lacks", "ok" U8_SMILE "ok"sv, ""sv},
        // Code page 936 maps its user-defined area here; iconv's GBK has none.
        {"private-use character", "ok" U8_PRIVATE_USE "ok"sv, ""sv},
        {"empty input", ""sv, ""sv},
    };
    const Converter handle = open_converter("UTF-8", "GBK");
    ASSERT_NE(handle, converter_failed);
    ASSERT_NE(handle, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(convert_bytes(handle, c.input), c.gbk);
    }
    EXPECT_TRUE(close_converter(handle));
}

TEST(Converter, Open) {
    const Converter lower_case = open_converter("utf-8", "gbk");
    EXPECT_NE(lower_case, converter_failed);
    EXPECT_TRUE(close_converter(lower_case));
    EXPECT_EQ(open_converter("UTF-8", "NOPE"), converter_failed);
    EXPECT_EQ(convert_bytes(converter_failed, "abc"), "");
}

}  // namespace
