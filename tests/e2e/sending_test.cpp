// Runs of the send loop against the practice target: what arrives there, in
// which order and when, what the windows show while it runs and after a stop,
// and how a run ends when its settings or its window go away.
//
// The target is bound from outside by writing its input box's handle into
// 标签2, as the hot-key capture would (the loop reads the handle from that
// caption every cycle); BindAndSend covers the binding by F2 itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <optional>
#include <vector>

#include "kestrune.h"
#include "practice_target.h"

namespace {

using namespace e2e;

const char* const start_caption = "开始发送消息";
const char* const stop_caption = "停止自动发送";
const char* const end_text = "消息已经发送完毕！";

const std::string progress_prefix = "正在进行第：";
std::string progress_caption(std::size_t cycle) {
    return progress_prefix + std::to_string(cycle) + "次自动发送消息....";
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    if (from < text.size()) lines.push_back(text.substr(from));
    return lines;
}

bool is_enter(const KeyMessage& m) { return m == KeyMessage{"WM_KEYDOWN", VK_RETURN, 0}; }

std::size_t enters(const std::vector<KeyMessage>& messages) {
    return static_cast<std::size_t>(std::count_if(messages.begin(), messages.end(), is_enter));
}

// The messages up to and including the given cycle's Return.
std::vector<KeyMessage> first_cycles(const std::vector<KeyMessage>& messages, std::size_t cycles) {
    std::vector<KeyMessage> first;
    for (std::size_t seen = 0; seen < cycles && first.size() < messages.size();) {
        first.push_back(messages[first.size()]);
        seen += is_enter(first.back());
    }
    return first;
}

// The lines typed for the given 1-based picks, with no suffix.
std::vector<KeyMessage> typed(const std::vector<std::string>& lines, const std::vector<std::size_t>& picks) {
    std::vector<KeyMessage> messages;
    for (std::size_t pick : picks) append_typed(messages, lines.at(pick - 1));
    return messages;
}

std::vector<std::size_t> in_order(std::size_t line_count, std::size_t cycles) {
    std::vector<std::size_t> picks;
    for (std::size_t i = 0; i < cycles; ++i) picks.push_back(i % line_count + 1);
    return picks;
}

// A Return is posted at least 100 ms after the line's last character. The
// target stamps each message with its own tick count when it takes it from
// its queue, and recording a line of 60 bytes takes it several milliseconds,
// so its stamp on the last character runs late by that much. The characters
// are posted back to back within one millisecond, though, and the stamp on
// the first one lags only by the target's wake-up: the delay is measured from
// there. Tolerance: 1 ms for two tick reads falling at different points of a
// millisecond (Wine's tick has 1 ms steps) and 2 ms for that wake-up. On
// Windows, whose tick moves in 15.6 ms steps, it would have to be 16 ms.
constexpr std::uint32_t enter_delay_tolerance_ms = 3;

// How long to watch for something that must not happen: longer than two
// cycles at the 200 ms pause these tests set.
constexpr DWORD quiet_ms = 800;

class Sending : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.window) << "the practice target did not come up";
        ASSERT_TRUE(kestrune.main) << "Kestrune's main window did not come up";
        // Deterministic, quick cycles: no suffix, a short pause.
        set_text(Ctl::编辑框2, L"200");
        set_check(Ctl::选择框1, false);
        lines = split_lines(text(control(Ctl::编辑框1)));
        ASSERT_EQ(lines.size(), 4u) << text(control(Ctl::编辑框1));
    }

    HWND control(Ctl c) const { return e2e::control(kestrune.main, c); }
    void set_text(Ctl c, const std::wstring& s) const {
        SendMessageW(control(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    void set_check(Ctl c, bool checked) const {
        SendMessageW(control(c), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    // What the hot-key capture writes for the target's input box.
    void bind() const {
        const std::string shown = handle_text(target.input);
        set_text(Ctl::标签2, std::wstring(shown.begin(), shown.end()));
    }
    void start_or_stop() const { click(control(Ctl::按钮2)); }
    std::string caption() const { return text(kestrune.main); }
    std::string button_caption() const { return text(control(Ctl::按钮2)); }
    std::vector<KeyMessage> arrived() const { return read_transcript(target.transcript).messages; }

    // Waits until the target has seen the given number of Returns; meanwhile
    // keeps each new main caption.
    std::vector<KeyMessage> wait_for_cycles(std::size_t cycles, std::vector<std::string>* captions = nullptr) const {
        std::vector<KeyMessage> messages;
        wait_until([&] {
            // The click is posted, so the first reads may come before the
            // run has written its first progress caption.
            const std::string now = caption();
            if (captions && now.rfind(progress_prefix, 0) == 0 && (captions->empty() || captions->back() != now))
                captions->push_back(now);
            return enters(messages = arrived()) >= cycles;
        }, 20000);
        return messages;
    }

    // The stop click: the button turns back at once, the end box follows when
    // the cycle under way is done, and it is answered.
    void stop() const {
        start_or_stop();
        EXPECT_TRUE(wait_until([&] { return button_caption() == start_caption; }, 3000)) << button_caption();
        expect_end_box();
    }

    void expect_end_box() const {
        const auto box = wait_for_message_box(kestrune.process.id(), 5000);
        ASSERT_TRUE(box) << "no end box";
        EXPECT_EQ(box->title, "信息：");
        EXPECT_EQ(box->text, end_text);
        EXPECT_FALSE(shows_icon(*box));
        answer(*box, IDOK);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(box->window); }, 3000)) << "the end box stayed";
    }

    // Nothing more reaches the target for a while.
    void expect_quiet_target(std::size_t count_so_far) const {
        Sleep(quiet_ms);  // bounded: showing that nothing happens
        const auto now = arrived();
        EXPECT_EQ(now.size(), count_so_far)
            << side_by_side({}, {now.begin() + static_cast<std::ptrdiff_t>(std::min(count_so_far, now.size())), now.end()});
    }

    const PracticeTarget target{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const StartedKestrune kestrune{IDNO};
    std::vector<std::string> lines;  // the default list, as 编辑框1 shows it
};

TEST_F(Sending, TypesTheLinesInOrderUntilStopped) {
    bind();
    start_or_stop();
    std::vector<std::string> captions;
    wait_for_cycles(5, &captions);
    stop();
    const auto actual = arrived();
    expect_quiet_target(actual.size());

    // Whole cycles only: the one under way at the stop still gets its Return.
    const std::size_t cycles = enters(actual);
    ASSERT_GE(cycles, 5u);
    const auto expected = typed(lines, in_order(lines.size(), cycles));
    EXPECT_TRUE(actual == expected) << side_by_side(expected, actual);

    // The caption counted the cycles one by one, and keeps the number of the
    // cycle that found the stop and sent nothing.
    ASSERT_FALSE(captions.empty());
    for (std::size_t i = 0; i < captions.size(); ++i) EXPECT_EQ(captions[i], progress_caption(i + 1)) << i;
    EXPECT_EQ(caption(), progress_caption(cycles + 1));
    EXPECT_EQ(button_caption(), start_caption);

    std::size_t line_start = 0, cycle = 1;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!is_enter(actual[i])) continue;
        const std::uint32_t delay = actual[i].tick - actual[line_start].tick;
        EXPECT_GE(delay, 100u - enter_delay_tolerance_ms)
            << "the Return of cycle " << cycle << " came " << delay << " ms after the line's first character";
        line_start = i + 1;
        ++cycle;
    }
}

TEST_F(Sending, AppendsLowerCaseLettersOfTheSetCountToEachLine) {
    bind();
    set_check(Ctl::选择框1, true);
    set_text(Ctl::编辑框3, L"3");
    start_or_stop();
    wait_for_cycles(3);
    stop();
    const auto actual = arrived();

    // Each line, three letters a-z, Return. The letters are random: the
    // expected row takes the actual one where it is a lower-case letter.
    std::vector<KeyMessage> expected;
    std::size_t at = 0;
    for (std::size_t cycle = 0; cycle < enters(actual); ++cycle) {
        const std::string& line = lines[cycle % lines.size()];
        for (const char byte : line) expected.push_back({"WM_CHAR", static_cast<unsigned char>(byte), 0});
        at += line.size();
        for (int letter = 0; letter < 3; ++letter, ++at) {
            const bool fits = at < actual.size() && actual[at].name == "WM_CHAR" && actual[at].lparam == 0 &&
                              actual[at].wparam >= 'a' && actual[at].wparam <= 'z';
            expected.push_back(fits ? actual[at] : KeyMessage{"WM_CHAR a-z", 0, 0});
        }
        expected.push_back({"WM_KEYDOWN", VK_RETURN, 0});
        ++at;
    }
    EXPECT_GE(enters(actual), 3u);
    EXPECT_TRUE(actual == expected) << side_by_side(expected, actual);
}

TEST_F(Sending, RandomModePicksLinesFromTheSameSequenceInEveryFreshProcess) {
    bind();
    set_text(Ctl::编辑框2, L"50");
    click(control(Ctl::单选框1));
    ASSERT_TRUE(wait_until([&] {
        return check_state(control(Ctl::单选框1)) == BST_CHECKED && check_state(control(Ctl::单选框2)) == BST_UNCHECKED;
    }));
    start_or_stop();
    wait_for_cycles(10);
    stop();
    const auto actual = arrived();
    const std::vector<std::size_t> picks{2, 4, 3, 1, 2, 1, 3, 3, 3, 1};
    ASSERT_GE(enters(actual), picks.size());
    const auto first_ten = first_cycles(actual, picks.size());
    const auto expected = typed(lines, picks);
    EXPECT_TRUE(first_ten == expected) << side_by_side(expected, first_ten);
}

TEST_F(Sending, WithoutATargetTheCyclesRunAndNothingArrives) {
    ASSERT_EQ(text(control(Ctl::标签2)), "————————");
    start_or_stop();
    std::optional<MessageBoxInfo> box;
    EXPECT_TRUE(wait_until([&] {
        box = find_message_box(kestrune.process.id());
        return box || caption() == progress_caption(3);
    })) << caption();
    ASSERT_FALSE(box) << "a box during the run: " << box->title << " / " << box->text;
    stop();
    const auto actual = arrived();
    EXPECT_TRUE(actual.empty()) << side_by_side({}, actual);
}

TEST_F(Sending, NeitherModeSelectedIsAFatalIndexError) {
    bind();
    set_check(Ctl::单选框1, false);
    set_check(Ctl::单选框2, false);
    start_or_stop();
    const auto box = wait_for_message_box(kestrune.process.id(), 5000);
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(box->title, "错误");
    EXPECT_EQ(box->text, "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
    EXPECT_TRUE(shows_error_icon(*box));
    answer(*box, IDOK);
    EXPECT_EQ(kestrune.process.wait_for_exit(5000), std::optional<DWORD>(0xFFFFFFFFu));
    const auto actual = arrived();
    EXPECT_TRUE(actual.empty()) << side_by_side({}, actual);
}

TEST_F(Sending, ClosingTheMainWindowDuringAPauseEndsTheProgram) {
    bind();
    set_text(Ctl::编辑框2, L"30000");
    start_or_stop();
    ASSERT_EQ(enters(wait_for_cycles(1)), 1u);
    // In the 30 s pause after the first Return. The program ends without
    // sitting the pause out; 10 s leaves room for a loaded machine.
    post(kestrune.main, WM_CLOSE);
    std::optional<MessageBoxInfo> box;
    EXPECT_TRUE(wait_until([&] {
        box = find_message_box(kestrune.process.id());
        return box || !kestrune.process.running();
    }, 10000)) << "still running 10 s after the close, inside a 30 s pause";
    EXPECT_FALSE(box) << box->title << " / " << box->text;
    EXPECT_EQ(kestrune.process.wait_for_exit(0), std::optional<DWORD>(0u));
    const auto actual = arrived();
    const auto expected = typed(lines, {1});
    EXPECT_TRUE(actual == expected) << side_by_side(expected, actual);
}

// A suffix count far beyond what a line may hold: the line is long (the count
// is capped, the program goes on), the window keeps answering while it is
// typed, and a stop click ends it in the middle, on a character boundary,
// without its Return.
TEST_F(Sending, AHugeLineKeepsTheWindowAnsweringAndStopsInTheMiddle) {
    bind();
    set_check(Ctl::选择框1, true);
    set_text(Ctl::编辑框3, L"2147483647");
    start_or_stop();
    ASSERT_TRUE(wait_until([&] { return arrived().size() >= 2000; }, 20000)) << "typing did not begin";
    for (int probe = 0; probe < 5; ++probe) {
        DWORD_PTR result = 0;
        EXPECT_NE(SendMessageTimeoutW(kestrune.main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result), 0)
            << "the main window did not answer within a second while typing";
        Sleep(100);
    }
    start_or_stop();
    EXPECT_TRUE(wait_until([&] { return button_caption() == start_caption; }, 3000)) << button_caption();
    ASSERT_NO_FATAL_FAILURE(expect_end_box());
    ASSERT_TRUE(kestrune.process.running());
    // Letters posted before the stop may still wait in the target's queue.
    std::vector<KeyMessage> actual = arrived();
    EXPECT_TRUE(wait_until([&] {
        Sleep(300);
        const std::size_t before = actual.size();
        return (actual = arrived()).size() == before;
    }, 30000)) << "the target never stopped receiving";
    expect_quiet_target(actual.size());

    // The first line, then letters, cut short; no Return.
    EXPECT_EQ(enters(actual), 0u);
    EXPECT_LT(actual.size(), lines[0].size() + 1000000u);
    std::vector<KeyMessage> start;
    append_typed(start, lines[0]);
    start.pop_back();
    ASSERT_GT(actual.size(), start.size());
    const std::vector<KeyMessage> head(actual.begin(), actual.begin() + static_cast<std::ptrdiff_t>(start.size()));
    EXPECT_TRUE(head == start) << side_by_side(start, head);
    for (std::size_t i = start.size(); i < actual.size(); ++i)
        ASSERT_TRUE(actual[i].name == "WM_CHAR" && actual[i].wparam >= 'a' && actual[i].wparam <= 'z') << i;
}

TEST_F(Sending, AnEmptyListEndsTheRunAtOnceAndTheNextClickOnlyResetsTheButton) {
    bind();
    set_text(Ctl::编辑框1, L"");
    start_or_stop();
    // Cycle 1 ends before anything is typed or any pause begins.
    const auto box = wait_for_message_box(kestrune.process.id(), 5000);
    ASSERT_TRUE(box) << "no end box";
    EXPECT_EQ(box->title, "信息：");
    EXPECT_EQ(box->text, end_text);
    EXPECT_EQ(caption(), progress_caption(1));
    EXPECT_EQ(button_caption(), stop_caption);
    answer(*box, IDOK);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(box->window); }, 3000)) << "the end box stayed";
    EXPECT_EQ(button_caption(), stop_caption);

    start_or_stop();
    EXPECT_TRUE(wait_until([&] { return button_caption() == start_caption; }, 3000)) << button_caption();
    Sleep(quiet_ms);  // bounded: no run, so no box
    EXPECT_FALSE(find_message_box(kestrune.process.id()));
    EXPECT_EQ(caption(), progress_caption(1));
    EXPECT_TRUE(arrived().empty());
}

}  // namespace
