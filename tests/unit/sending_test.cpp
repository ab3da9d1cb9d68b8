#include "sending/sending.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_seam.h"

namespace {

// The sending's state under the names the cases use.
const bool& sending = sending_state.sending;
std::uint32_t& line_pick_state = sending_state.line_pick_state;

// The counter value whose one generator step gives r as the drawn number:
// the step v * 214013 + 2531011 is inverted on a state with r in bits 16-30.
std::uint64_t counter_for(std::uint32_t r) {
    std::uint32_t inverse = 214013u;  // Newton's iteration for 214013^-1 mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    const std::uint32_t counter = ((r << 16) - 2531011u) * inverse;
    return counter;
}

// Every counter read gives the next of these draws (the last one repeats).
void draw_sequence(std::vector<std::uint32_t> draws) {
    auto next = std::make_shared<std::size_t>(0);
    fake::state().time_stamp_counter = [draws = std::move(draws), next] {
        const std::uint32_t r = draws[std::min(*next, draws.size() - 1)];
        ++*next;
        return counter_for(r);
    };
}

// Posted traffic in short form: the WM_CHAR bytes as characters, '|' for the
// Enter of the send loop, '?' for anything else.
std::string trace() {
    std::string t;
    for (const auto& p : fake::state().posted) {
        if (p.message == wm_char) t.push_back(static_cast<char>(p.wparam));
        else if (p.message == wm_keydown && p.wparam == 13) t.push_back('|');
        else t.push_back('?');
    }
    return t;
}

// --- Keystroke posting ------------------------------------------------------

class Posting : public ::testing::Test {
protected:
    void SetUp() override { fake::reset(); }
};

TEST_F(Posting, TextIsOneUnsignedCharMessagePerGbkByte) {
    struct Case {
        const char* text;
        std::vector<std::uint32_t> bytes;
    };
    // "嗨" is 0xE0 0xCB in GBK: lead byte first, and never a negative value.
    for (const Case& c : {Case{"ab", {97, 98}}, Case{"嗨", {224, 203}}, Case{"", {}}}) {
        fake::reset();
        post_text(0xFFFE1DC0u, c.text);
        std::vector<fake::Posted> want;
        for (auto b : c.bytes) want.push_back({0xFFFE1DC0u, wm_char, b, 0, 0});
        EXPECT_EQ(fake::state().posted, want) << c.text;
    }
}

TEST_F(Posting, KeyFollowsItsTableOfStateAsKeyAndSystem) {
    constexpr std::uint32_t none = 0;
    struct Row {
        std::int32_t state;
        std::uint32_t as_key_set, as_key_set_system;  // as_key 0 always gives WM_CHAR
    };
    const Row table[] = {
        {0, none, none},
        {1, wm_char, wm_char},
        {2, wm_keydown, wm_syskeydown},
        {3, wm_keydown, wm_syskeydown},
        {4, wm_keyup, wm_syskeyup},
        {5, wm_keydown, wm_syskeydown},
        {6, none, none},
        {7, none, none},
    };
    for (const Row& row : table) {
        for (std::int32_t as_key : {0, 1}) {
            for (std::int32_t system : {0, 1}) {
                fake::reset();
                post_key(0, 13, row.state, as_key, system);
                const std::uint32_t want =
                    as_key == 0 ? wm_char : (system == 0 ? row.as_key_set : row.as_key_set_system);
                std::vector<fake::Posted> expected;
                if (want != none) expected.push_back({0, want, 13, 0, 0});
                EXPECT_EQ(fake::state().posted, expected)
                    << "state " << row.state << " as_key " << as_key << " system " << system;
            }
        }
    }
    // The send loop leaves system out: exactly one WM_KEYDOWN 13, no key-up.
    fake::reset();
    post_key(42, 13, 5, 1);
    EXPECT_EQ(fake::state().posted, (std::vector<fake::Posted>{{42, wm_keydown, 13, 0, 0}}));
}

// --- Random letters ---------------------------------------------------------

class Suffix : public Posting {};

TEST_F(Suffix, RandomInRangeTakesOneGeneratorStepOfTheCounterLowBits) {
    struct Case {
        std::int32_t lo, hi;
        std::uint32_t r;
        std::int32_t want;
    };
    const Case cases[] = {
        {97, 122, 0, 'a'},
        {97, 122, 25, 'z'},
        {97, 122, 26, 'a'},  // 26 letters wrap
        {65, 90, 32767, 'A' + 32767 % 26},
        {5, 5, 12345, 5},
        {0, 0, 300, 300},  // hi 0 stands for 2147483647
        // The whole 32-bit range: a span that wraps to 0 must not divide by it.
        {INT_MIN, INT_MAX, 7, INT_MIN + 7},
    };
    for (const Case& c : cases) {
        fake::state().time_stamp_counter = [&] { return counter_for(c.r); };
        EXPECT_EQ(random_in_range(c.lo, c.hi), c.want) << c.lo << ".." << c.hi << " r=" << c.r;
        // Only the low 32 bits of the counter count.
        fake::state().time_stamp_counter = [&] { return counter_for(c.r) + (std::uint64_t{0xABCD} << 32); };
        EXPECT_EQ(random_in_range(c.lo, c.hi), c.want);
    }
}

// The generator is the C runtime's rand(): its published first values after
// srand(1) are 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962,
// 24464.
TEST_F(Suffix, GeneratorGivesTheCRuntimeRandSequenceAfterSrand1) {
    const std::int32_t rand_after_srand_1[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    // The line picks: one process-wide generator, 1 at start.
    for (const std::int32_t value : rand_after_srand_1) EXPECT_EQ(random_pick(0, 32768), value);
    // The letters: one step from the counter's low 32 bits.
    fake::state().time_stamp_counter = [] { return std::uint64_t{1}; };
    EXPECT_EQ(random_in_range(0, 32767), 41);
}

TEST_F(Suffix, RandomLettersByMode) {
    struct Case {
        std::int32_t count, mode;
        std::vector<std::uint32_t> draws;
        const char* want;
    };
    const Case cases[] = {
        {0, 0, {0}, ""},
        {-3, 2, {0}, ""},
        {5, 0, {0, 25, 26, 1, 2}, "azabc"},
        {3, 1, {0, 25, 26}, "AZA"},
        {4, 2, {0, 1, 2, 3}, "aBcD"},
        {5, -9, {25, 25, 25, 25, 25}, "zZzZz"},
    };
    for (const Case& c : cases) {
        int reads = 0;
        draw_sequence(c.draws);
        auto draw = fake::state().time_stamp_counter;
        fake::state().time_stamp_counter = [&] { return ++reads, draw(); };
        EXPECT_EQ(random_letters(c.count, c.mode), c.want) << c.count << " mode " << c.mode;
        // One counter read per letter, none at all for no letters.
        EXPECT_EQ(reads, std::max(c.count, 0));
    }
    // Left out, the mode is lower-case.
    fake::state().time_stamp_counter = nullptr;
    const Text five = random_letters(5);
    ASSERT_EQ(five.size(), 5u);
    for (char ch : five) EXPECT_TRUE(ch >= 'a' && ch <= 'z') << five;
}

// --- Pauses -----------------------------------------------------------------

class Pause : public ::testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        seam::create_window(Window::main);
    }
};

TEST_F(Pause, EndsAtTheFirstCheckPastItsEndAndSleepsMeanwhile) {
    struct Case {
        std::uint32_t start;
        std::int32_t ms;
        std::uint32_t end;
    };
    const Case cases[] = {
        {1000, 100, 1101},
        {1000, 2000, 3001},
        // Across the wrap of the tick count the pause still lasts its length.
        {0xFFFFFFF0u, 100, 0x55},
        {0xFFFFFFF0u, 16, 1},
        {1000, 0, 1000},
        {1000, -5, 1000},
    };
    for (const Case& c : cases) {
        fake::state().now = c.start;
        fake::state().pumps = 0;
        wait_with_events(c.ms);
        EXPECT_EQ(fake::state().now, c.end) << c.start << " + " << c.ms;
        // It blocks until a message or the end instead of polling the queue.
        if (c.ms <= 0) EXPECT_EQ(fake::state().pumps, 0);
        else EXPECT_LE(fake::state().pumps, 8) << c.start << " + " << c.ms;
    }
}

TEST_F(Pause, AnEventAtTheEndTickDoesNotEndItThere) {
    // The check then falls exactly on the end tick, which is not yet past it.
    fake::state().now = 1000;
    bool fired = false;
    fake::at(1100, [&] { fired = true; });
    wait_with_events(100);
    EXPECT_TRUE(fired);
    EXPECT_EQ(fake::state().now, 1101u);
}

TEST_F(Pause, DispatchesEventsAndEndsEarlyWhenTheMainWindowCloses) {
    bool clicked = false;
    fake::at(300, [&] { clicked = true; });
    fake::at(700, [] { seam::queue_close(Window::main); });
    wait_with_events(2000);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(fake::state().now, 700u);
}

// --- The send loop ----------------------------------------------------------

// A main window with its form's defaults, no suffix and no interval pause, so
// that every cycle lasts exactly its typing pause (101 ms on the fake clock).
class SendLoop : public ::testing::Test {
protected:
    static constexpr std::uint32_t cycle_ms = 101;

    void SetUp() override {
        fake::reset();
        seam::create_window(Window::main);
        line_pick_state = 1;
        fake::state().checked[Ctl::选择框1] = false;
        fake::state().texts[Ctl::编辑框2] = "0";
        fake::state().texts[Ctl::编辑框1] = "1\r\n2\r\n3\r\n4";
    }
    // A stop click inside the typing pause of the given cycle.
    static void stop_in_cycle(std::uint32_t cycle) { fake::at((cycle - 1) * cycle_ms + 50, start_or_stop); }
    static void use_random_mode() {
        fake::state().checked[Ctl::单选框2] = false;
        fake::state().checked[Ctl::单选框1] = true;
    }
    static const Text& caption() { return fake::window(Window::main).caption; }
    static Text caption_of(int cycle) { return "正在进行第：" + std::to_string(cycle) + "次自动发送消息...."; }
};

TEST_F(SendLoop, InOrderCyclesUntilAStopClick) {
    fake::state().texts[Ctl::标签2] = "-123456";
    // The list is read once per run: an edit during the run changes nothing.
    fake::at(60, [] { fake::state().texts[Ctl::编辑框1] = "z"; });
    stop_in_cycle(6);
    start_or_stop();

    EXPECT_EQ(trace(), "1|2|3|4|1|2|");
    for (const auto& p : fake::state().posted) {
        EXPECT_EQ(p.handle, 0xFFFE1DC0u);  // the label's signed text, as 32-bit handle bits
        EXPECT_EQ(p.lparam, 0u);
    }
    // Each Enter follows its text after the 100 ms typing pause.
    const auto& posted = fake::state().posted;
    for (std::size_t i = 1; i < posted.size(); i += 2) EXPECT_GE(posted[i].at - posted[i - 1].at, 100u);
    // The stop takes effect at the check of the next cycle, which sent nothing.
    EXPECT_EQ(caption(), caption_of(7));
    ASSERT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_EQ(fake::state().boxes[0].text, "消息已经发送完毕！");
    EXPECT_EQ(fake::state().boxes[0].title, "信息：");
    EXPECT_EQ(fake::state().boxes[0].buttons, seam::Buttons::ok);
    EXPECT_EQ(fake::state().boxes[0].icon, seam::Icon::none);
    EXPECT_EQ(fake::state().texts[Ctl::按钮2], "开始发送消息");
    EXPECT_FALSE(sending);
}

TEST_F(SendLoop, RandomPicksFollowTheProcessGenerator) {
    use_random_mode();
    stop_in_cycle(10);
    start_or_stop();
    // 1 + each of rand()'s first values after srand(1) modulo the 4 lines.
    EXPECT_EQ(trace(), "2|4|3|1|2|1|3|3|3|1|");

    // One line: always that line, and the generator does not move.
    fake::reset();
    seam::create_window(Window::main);
    use_random_mode();
    fake::state().checked[Ctl::选择框1] = false;
    fake::state().texts[Ctl::编辑框2] = "0";
    fake::state().texts[Ctl::编辑框1] = "x";
    const std::uint32_t before = line_pick_state;
    stop_in_cycle(3);
    start_or_stop();
    EXPECT_EQ(trace(), "x|x|x|");
    EXPECT_EQ(line_pick_state, before);
}

TEST_F(SendLoop, EmptyLineSendsOnlyTheSuffixAndEnter) {
    fake::state().texts[Ctl::编辑框1] = "a\r\n\r\nb\r\n";
    fake::state().checked[Ctl::选择框1] = true;
    fake::state().texts[Ctl::编辑框3] = "2";
    draw_sequence({25});
    stop_in_cycle(4);
    start_or_stop();
    // Three lines: the final separator adds none.
    EXPECT_EQ(trace(), "azz|zz|bzz|azz|");
}

TEST_F(SendLoop, EmptyListEndsInCycleOneAndLeavesTheButtonToTheNextClick) {
    fake::state().texts[Ctl::编辑框1] = "";
    start_or_stop();
    EXPECT_EQ(trace(), "");
    EXPECT_EQ(caption(), caption_of(1));
    EXPECT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_EQ(fake::state().texts[Ctl::按钮2], "停止自动发送");
    EXPECT_TRUE(sending);

    start_or_stop();  // only resets
    EXPECT_EQ(fake::state().texts[Ctl::按钮2], "开始发送消息");
    EXPECT_FALSE(sending);
    EXPECT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_EQ(caption(), caption_of(1));
}

TEST_F(SendLoop, SuffixStaysWhileItsSwitchIsCleared) {
    fake::state().texts[Ctl::编辑框1] = "x";
    fake::state().texts[Ctl::编辑框3] = "2";
    fake::state().checked[Ctl::选择框1] = true;
    draw_sequence({0});
    fake::at(cycle_ms + 50, [] {
        fake::state().checked[Ctl::选择框1] = false;
        draw_sequence({1});
    });
    fake::at(3 * cycle_ms + 50, [] { fake::state().checked[Ctl::选择框1] = true; });
    stop_in_cycle(5);
    start_or_stop();
    EXPECT_EQ(trace(), "xaa|xaa|xaa|xaa|xbb|");
}

TEST_F(SendLoop, StopInTheTypingPauseStillSendsEnterAndWaitsTheInterval) {
    fake::state().texts[Ctl::编辑框2] = "1000";
    fake::state().texts[Ctl::标签2] = "5";
    // A binding made during the typing pause already gets the Enter.
    fake::at(40, [] { fake::state().texts[Ctl::标签2] = "777"; });
    fake::at(50, start_or_stop);
    std::optional<std::uint32_t> box_at;
    fake::state().on_box = [&](const fake::Box&) { box_at = fake::state().now; };
    start_or_stop();

    EXPECT_EQ(trace(), "1|");
    ASSERT_EQ(fake::state().posted.size(), 2u);
    EXPECT_EQ(fake::state().posted[0].handle, 5u);
    EXPECT_EQ(fake::state().posted[1].handle, 777u);
    ASSERT_TRUE(box_at);
    EXPECT_GE(*box_at, fake::state().posted[1].at + 1000);
    EXPECT_EQ(caption(), caption_of(2));
}

TEST_F(SendLoop, SecondClickInAPauseStartsANestedRun) {
    fake::state().texts[Ctl::编辑框1] = "a\r\nb\r\nc\r\nd";
    fake::at(50, start_or_stop);  // stop
    fake::at(60, start_or_stop);  // start again, inside the same pause
    fake::at(60 + 2 * cycle_ms + 50, start_or_stop);  // stops both
    start_or_stop();
    // The outer run's first text, the whole nested run, then the outer Enter.
    EXPECT_EQ(trace(), "aa|b|c||");
    EXPECT_EQ(fake::state().boxes.size(), 2u);
    EXPECT_FALSE(sending);
}

TEST_F(SendLoop, UnstoppedRunEndsAfterCycle100000) {
    fake::state().texts[Ctl::编辑框1] = "x";
    start_or_stop();
    EXPECT_EQ(fake::state().posted.size(), 200000u);
    EXPECT_EQ(caption(), caption_of(100000));
    EXPECT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_EQ(fake::state().texts[Ctl::按钮2], "停止自动发送");
}

TEST_F(SendLoop, NoModeSelectedIsTheFatalIndexError) {
    fake::state().checked[Ctl::单选框2] = false;
    fake::state().checked[Ctl::单选框1] = false;
    try {
        start_or_stop();
        FAIL() << "the run went on without a line";
    } catch (const fake::ProcessExit& e) {
        EXPECT_EQ(e.code, -1);
    }
    ASSERT_EQ(fake::state().boxes.size(), 1u);
    EXPECT_NE(fake::state().boxes[0].text.find("错误代码：4"), Text::npos);
    EXPECT_EQ(fake::state().boxes[0].icon, seam::Icon::error);
    EXPECT_EQ(trace(), "");
}

TEST_F(SendLoop, ClosingTheMainWindowInAPauseEndsTheRunSilently) {
    struct Case {
        const char* pause;
        std::uint32_t close_at;
        const char* sent;
    };
    // In the typing pause, and in the interval pause.
    for (const Case& c : {Case{"0", 50, "1"}, Case{"1000", 600, "1|"}}) {
        SetUp();
        fake::state().texts[Ctl::编辑框2] = c.pause;
        fake::at(c.close_at, [] { seam::queue_close(Window::main); });
        start_or_stop();
        EXPECT_EQ(trace(), c.sent) << c.pause;
        EXPECT_TRUE(fake::state().boxes.empty()) << c.pause;
        EXPECT_FALSE(fake::state().touched_closed_main) << c.pause;
    }
}

// --- Long lines, full queues and refusing targets ---------------------------

Text repeat(std::size_t n, const Text& piece) {
    Text t;
    for (std::size_t i = 0; i < n; ++i) t += piece;
    return t;
}

// One line of the given text, no suffix, a 1000 ms interval, bound to 5.
class LongLine : public SendLoop {
protected:
    void SetUp() override {
        SendLoop::SetUp();
        fake::state().texts[Ctl::编辑框2] = "1000";
        fake::state().texts[Ctl::标签2] = "5";
    }
    static void line(const Text& text) { fake::state().texts[Ctl::编辑框1] = text; }
    static std::size_t box_count(const Text& text) {
        return static_cast<std::size_t>(std::count_if(fake::state().boxes.begin(), fake::state().boxes.end(),
                                                      [&](const fake::Box& b) { return b.text == text; }));
    }
};

// 300 double-byte characters: the program looks at its events after the
// first burst, where whatever was scheduled for the start is waiting.
const Text long_text = repeat(300, "嗨");

TEST_F(LongLine, StopOrCloseInTheMiddleEndsItAtTheNextCharacter) {
    struct Case {
        const char* what;
        std::function<void()> event;
        bool box;
    };
    const Case cases[] = {
        {"stop click", start_or_stop, true},
        {"close", [] { seam::queue_close(Window::main); }, false},
    };
    for (const Case& c : cases) {
        SetUp();
        line(long_text);
        fake::at(0, c.event);
        start_or_stop();
        // Whole characters only, and neither the rest of the line nor its Enter.
        EXPECT_EQ(trace(), long_text.substr(0, 2 * characters_per_burst)) << c.what;
        EXPECT_EQ(box_count("消息已经发送完毕！"), c.box ? 1u : 0u) << c.what;
        EXPECT_FALSE(fake::state().touched_closed_main) << c.what;
    }
}

TEST_F(LongLine, ARunStartedInTheMiddleNeverTypesIntoIt) {
    line(long_text);
    fake::at(0, start_or_stop);   // stop
    fake::at(0, start_or_stop);   // and start a second run at once
    fake::at(50, start_or_stop);  // stops it in its typing pause
    start_or_stop();
    // The first run's first burst, the whole second run, and no more of the first.
    EXPECT_EQ(trace(), long_text.substr(0, 2 * characters_per_burst) + long_text + "|");
    EXPECT_EQ(box_count("消息已经发送完毕！"), 2u);
    EXPECT_FALSE(sending);
}

TEST_F(LongLine, AFullQueueIsWaitedForAndEveryByteArrivesOnce) {
    // The queue is full from the 300th message until 200 ms have passed;
    // meanwhile the program's own events go on.
    const Text text = repeat(400, "ab");
    const auto full_for_a_while = [](std::size_t attempt) {
        return attempt >= 300 && fake::state().now < 200 ? seam::PostResult::queue_full : seam::PostResult::queued;
    };
    line(text);
    fake::state().post_answer = full_for_a_while;
    std::optional<std::size_t> posted_at_event;
    fake::at(100, [&] { posted_at_event = fake::state().posted.size(); });
    fake::at(250, start_or_stop);
    start_or_stop();
    ASSERT_TRUE(posted_at_event);
    EXPECT_EQ(*posted_at_event, 300u);
    EXPECT_EQ(trace(), text + "|");

    // A stop click while it waits ends the line there.
    SetUp();
    line(text);
    fake::state().post_answer = full_for_a_while;
    fake::at(50, start_or_stop);
    start_or_stop();
    EXPECT_EQ(trace(), text.substr(0, 300));
    EXPECT_EQ(box_count("消息已经发送完毕！"), 1u);
}

TEST_F(LongLine, ATrailByteFollowsItsLeadWhateverWaits) {
    // The queue fills up right after a lead byte. The wait for the trail
    // answers what is sent to our windows but runs no event of ours, so the
    // stop click waiting there cannot come between lead and trail.
    line(repeat(10, "嗨"));
    fake::state().post_answer = [](std::size_t attempt) {
        return attempt >= 5 && attempt < 40 ? seam::PostResult::queue_full : seam::PostResult::queued;
    };
    std::optional<std::size_t> posted_at_click;
    fake::at(0, [&] {
        posted_at_click = fake::state().posted.size();
        start_or_stop();
    });
    start_or_stop();
    ASSERT_TRUE(posted_at_click);
    EXPECT_EQ(*posted_at_click % 2, 0u);
    EXPECT_GE(*posted_at_click, 6u);
    EXPECT_EQ(fake::state().answering_waits, 35);
}

TEST_F(LongLine, ATargetThatIsGoneOrNeverDrainsLosesOnlyThatLine) {
    struct Case {
        const char* what;
        seam::PostResult answer;
        std::uint32_t answers_until;  // from the fourth message on, until this tick
        std::uint32_t line_ends_at;
    };
    const Case cases[] = {
        {"gone", seam::PostResult::gone, 1, 0},
        {"never drains", seam::PostResult::queue_full, full_queue_patience_ms + 500, full_queue_patience_ms},
    };
    for (const Case& c : cases) {
        SetUp();
        line("abcdef\r\nxyz");
        fake::state().post_answer = [c](std::size_t attempt) {
            return attempt >= 3 && fake::state().now < c.answers_until ? c.answer : seam::PostResult::queued;
        };
        // The typing pause and the interval follow as ever.
        const std::uint32_t next_line_at = c.line_ends_at + 101 + 1001;
        fake::at(next_line_at + 50, start_or_stop);  // in the next line's typing pause
        start_or_stop();
        // The rest of the line and its Enter are dropped; the next line goes
        // out whole.
        EXPECT_EQ(trace(), "abcxyz|") << c.what;
        ASSERT_EQ(fake::state().posted.size(), 7u) << c.what;
        EXPECT_EQ(fake::state().posted[3].at, next_line_at) << c.what;
    }
}

TEST_F(LongLine, CyclesThatTypeNothingStillTakeTheirTypingPause) {
    // Without it a run with no interval would never look at its events
    // again: no stop click, no answer to anyone, the window hung.
    line("abc");
    fake::state().texts[Ctl::编辑框2] = "0";
    fake::state().post_answer = [](std::size_t) { return seam::PostResult::gone; };
    stop_in_cycle(3);
    start_or_stop();
    EXPECT_EQ(caption(), caption_of(4));
    EXPECT_EQ(box_count("消息已经发送完毕！"), 1u);
}

TEST_F(LongLine, ARefusingTargetIsToldOncePerRun) {
    line("ab");
    fake::state().post_answer = [](std::size_t) { return seam::PostResult::refused; };
    const Text refused =
        "绑定的窗口拒绝接收本软件的消息：它所在的程序是以管理员身份运行的。\r\n"
        "请以管理员身份运行本软件，然后重新绑定窗口。";
    fake::at(2500, start_or_stop);  // in the third cycle
    start_or_stop();
    EXPECT_EQ(box_count(refused), 1u);
    EXPECT_EQ(box_count("消息已经发送完毕！"), 1u);
    EXPECT_EQ(fake::state().boxes[0].text, refused);
    EXPECT_EQ(fake::state().boxes[0].title, "信息：");
    EXPECT_EQ(trace(), "");
    EXPECT_EQ(caption(), caption_of(4));

    // The next run tells it again.
    fake::at(fake::state().now + 500, start_or_stop);
    start_or_stop();
    EXPECT_EQ(box_count(refused), 2u);
}

TEST_F(LongLine, AHugeSuffixCountIsCappedNotFatal) {
    line("x");
    fake::state().checked[Ctl::选择框1] = true;
    fake::state().texts[Ctl::编辑框3] = "2147483647";
    draw_sequence({0});
    stop_in_cycle(1);
    start_or_stop();
    EXPECT_EQ(trace(), "x" + Text(static_cast<std::size_t>(max_suffix_letters), 'a') + "|");
}

}  // namespace
