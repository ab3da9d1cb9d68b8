// Bad input, end to end: whatever the user puts into the main window's boxes,
// and whatever goes away while a run is in progress. Each case shows what
// arrives at the practice target (or that nothing does), that the program
// lives on and ends its run as usual, and that the boxes still hold exactly
// what the user put there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "kestrune.h"
#include "practice_target.h"
#include "core/forms.h"

namespace {

using namespace e2e;

std::string test_name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

// A handle as the program shows it: the signed decimal text of its 32 bits.
std::wstring handle_text(HWND w) {
    return std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(w)));
}

// One cycle as the target saw it: the bytes typed, then Return.
struct SentLine {
    std::string bytes;
    DWORD first_tick = 0;  // of the first byte; of Return for an empty line
    DWORD return_tick = 0;
};

// The complete lines (ended by Return) among the messages from index `from` on.
std::vector<SentLine> sent_lines(const std::vector<KeyMessage>& messages, std::size_t from) {
    std::vector<SentLine> lines;
    SentLine line;
    bool typing = false;
    for (std::size_t i = from; i < messages.size(); ++i) {
        const KeyMessage& m = messages[i];
        if (!typing) {
            line = SentLine{};
            line.first_tick = m.tick;
            typing = true;
        }
        if (m.name == "WM_CHAR") {
            line.bytes += static_cast<char>(m.wparam);
        } else if (m.name == "WM_KEYDOWN" && m.wparam == VK_RETURN) {
            line.return_tick = m.tick;
            lines.push_back(line);
            typing = false;
        }
    }
    return lines;
}

std::string shown(const std::string& bytes) {
    if (bytes.size() <= 80) return "\"" + bytes + "\"";
    return std::to_string(bytes.size()) + " bytes \"" + bytes.substr(0, 40) + "...\"";
}

bool all_lower_case(const std::string& s) {
    for (char c : s)
        if (c < 'a' || c > 'z') return false;
    return true;
}

class BadInput : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.window) << "no practice target";
        ASSERT_TRUE(server.listening());
        server.serve(update_path, Reply::page(utf8(u8"呵1.0呵")));
        start_program();
    }

    // Kestrune with the bind prompt answered No, bound to the practice
    // target's input box as a capture binds (its handle in 标签2), sending
    // the line "x" without suffix and without a pause.
    void start_program() {
        kestrune = Process::launch(kestrune_exe());
        ASSERT_TRUE(kestrune.running());
        const auto prompt = wait_for_message_box(kestrune.id());
        ASSERT_TRUE(prompt) << "no bind prompt";
        answer(*prompt, IDNO);
        ASSERT_TRUE(wait_until([&] {
            main = find_top_window(kestrune.id(), L"Kestrune.Main");
            return main && visible(main);
        })) << "no main window";
        bind(target.input);
        set(Ctl::编辑框1, L"x");
        set(Ctl::编辑框2, L"0");
        set(Ctl::编辑框3, L"0");
    }

    HWND control(Ctl c) const { return e2e::control(main, c); }

    // As the user's typing or pasting would leave the box. Generous time:
    // a box of megabytes takes a while to lay out its lines.
    bool set(Ctl c, const std::wstring& text) const {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                   120000, &result) != 0;
    }
    void bind(HWND w) const { set(Ctl::标签2, handle_text(w)); }

    // Wine ends a process that receives a message carrying 2 MB or more from
    // another process, so megabytes go in as a paste would put them, a piece
    // at a time at the end. A paste obeys the box's length limit, as typing does.
    bool set_in_pieces(Ctl c, const std::wstring& text) const {
        // Whole lines of 98 characters: no piece ends between CR and LF.
        const std::size_t piece = 98 * 2000;
        if (!set(c, L"")) return false;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            const std::wstring part = text.substr(at, piece);
            DWORD_PTR result = 0;
            SendMessageTimeoutW(control(c), EM_SETSEL, at, at, SMTO_NORMAL, 60000, &result);
            if (!SendMessageTimeoutW(control(c), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()),
                                     SMTO_NORMAL, 120000, &result))
                return false;
        }
        return true;
    }

    // The box holds the text: its length and its first thousand characters
    // (reading, too, has to stay below 2 MB a message).
    testing::AssertionResult holds(Ctl c, const std::wstring& text) const {
        const HWND box = control(c);
        DWORD_PTR length = 0, copied = 0;
        SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length);
        if (length != text.size())
            return testing::AssertionFailure() << "the box holds " << length << " characters of " << text.size();
        std::wstring start(1001, L'\0');
        SendMessageTimeoutW(box, WM_GETTEXT, start.size(), reinterpret_cast<LPARAM>(start.data()), SMTO_NORMAL,
                            60000, &copied);
        start.resize(copied);
        if (start != text.substr(0, 1000)) return testing::AssertionFailure() << "the box starts differently";
        return testing::AssertionSuccess();
    }

    // The number of messages the target has recorded, once it has taken in
    // what was posted to it: the count stays put for 200 ms.
    std::size_t settled_count() const {
        std::size_t last = static_cast<std::size_t>(-1), now = 0;
        for (int i = 0; i < 100; ++i) {
            now = read_transcript(target.transcript).messages.size();
            if (now == last) break;
            last = now;
            Sleep(200);
        }
        return now;
    }

    // Starts a run, waits until `cycles` complete lines have arrived, stops
    // the run and answers its end box. The lines that arrived.
    std::vector<SentLine> run_cycles(std::size_t cycles, DWORD timeout_ms = 15000) {
        const std::size_t before = settled_count();
        click(control(Ctl::按钮2));
        std::vector<SentLine> lines;
        const bool arrived = wait_until([&] {
            return (lines = sent_lines(read_transcript(target.transcript).messages, before)).size() >= cycles;
        }, timeout_ms);
        click(control(Ctl::按钮2));
        EXPECT_TRUE(arrived) << lines.size() << " of " << cycles << " lines arrived";
        end_of_run();
        return lines;
    }

    void end_of_run() const {
        const auto end = wait_for_message_box(kestrune.id(), 30000);
        ASSERT_TRUE(end) << "no end box";
        EXPECT_EQ(end->text, "消息已经发送完毕！");
        answer(*end, IDOK);
        EXPECT_TRUE(wait_until([&] { return !find_message_box(kestrune.id()); }));
        EXPECT_EQ(text(control(Ctl::按钮2)), "开始发送消息");
    }

    // The cycle number of the main window's caption; -1 when it shows none.
    int cycle_shown() const {
        const std::string caption = text(main), prefix = "正在进行第：";
        if (caption.rfind(prefix, 0) != 0) return -1;
        return std::atoi(caption.c_str() + prefix.size());
    }

    PracticeTarget target{test_name()};
    HttpServer server;
    Process kestrune;
    HWND main = nullptr;
};

// The large inputs: a suite of their own, so that each suite stays well
// inside its time limit.
using BadInputLarge = BadInput;

// 编辑框3 is read as the number at its start: full-width forms folded, blanks
// and one sign taken, wrapping at 2^32; not a positive number means no suffix.
TEST_F(BadInput, SuffixLengthIsTheNumberAtTheStartOfItsBox) {
    const struct {
        const wchar_t* box;
        std::size_t letters;
    } rows[] = {
        {L"", 0},           {L"abc", 0},        {L"３", 3},          {L"+3", 3},
        {L"-3", 0},         {L"－３", 0},       {L"   3", 3},        {L"\x3000" L"3", 3},
        {L"3abc", 3},       {L"0", 0},          {L"4294967299", 3},  // 2^32 + 3
        {L"-4294967293", 3},                                          // -(2^32 - 3)
        {L"2147483651", 0},                                           // 2^31 + 3: negative
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(to_gbk(L"编辑框3 \"" + std::wstring(row.box) + L"\""));
        ASSERT_TRUE(set(Ctl::编辑框3, row.box));
        const auto lines = run_cycles(1);
        ASSERT_FALSE(lines.empty());
        const std::string& line = lines[0].bytes;
        EXPECT_EQ(line.size(), 1 + row.letters) << shown(line);
        EXPECT_EQ(line.substr(0, 1), "x") << shown(line);
        EXPECT_TRUE(all_lower_case(line.substr(1))) << shown(line);
        EXPECT_EQ(text_wide(control(Ctl::编辑框3)), row.box);
    }
}

// 编辑框2 likewise; not a positive number means no pause after Return, and
// the stop click still gets through in the fixed 100 ms typing pause.
TEST_F(BadInput, PauseIsTheNumberAtTheStartOfItsBox) {
    const struct {
        const wchar_t* box;
        bool pauses;  // 500 ms, or none
    } rows[] = {
        {L"", false},          {L"abc", false},        {L"-500", false},
        {L"0", false},         {L"５００", true},       {L"+500", true},
        {L"  500", true},      {L"500ms", true},
        {L"4294967796", true},                           // 2^32 + 500
        {L"-4294966796", true},                          // -(2^32 - 500)
        {L"2147484148", false},                          // 2^31 + 500: negative
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(to_gbk(L"编辑框2 \"" + std::wstring(row.box) + L"\""));
        ASSERT_TRUE(set(Ctl::编辑框2, row.box));
        const auto lines = run_cycles(2);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0].bytes, "x");
        // From a cycle's Return to the next cycle's first byte.
        const DWORD gap = lines[1].first_tick - lines[0].return_tick;
        if (row.pauses) {
            EXPECT_GE(gap, 490u);
        } else {
            EXPECT_LT(gap, 300u);
        }
        EXPECT_EQ(text_wide(control(Ctl::编辑框2)), row.box);
    }
}

// 编辑框1 is split at CR LF only; the lines go out byte for byte as GBK, with
// nothing folded or trimmed. Characters GBK lacks go out as "?".
TEST_F(BadInput, LinesGoOutAsTheBoxHoldsThem) {
    const struct {
        const wchar_t* box;
        std::vector<std::string> lines;  // the first cycles, GBK
    } rows[] = {
        {L"abc", {"abc", "abc"}},
        {L"２０００", {"２０００"}},
        {L"-5\r\n+5", {"-5", "+5", "-5"}},
        {L"  x \r\n\x3000y", {"  x ", "　y"}},
        {L"4294967296", {"4294967296"}},
        {L"\r\na\r\n\r\nb\r\n", {"", "a", "", "b", ""}},
        {L"a\nb\rc", {"a\nb\rc"}},
        {L"a\xD800" L"b\xDE00", {"a?b?"}},  // lone halves of a surrogate pair
        {L"\x20AC\xFFFD", {"\x80?"}},        // the euro sign is GBK 0x80
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(to_gbk(L"编辑框1 \"" + std::wstring(row.box) + L"\""));
        ASSERT_TRUE(set(Ctl::编辑框1, row.box));
        const auto lines = run_cycles(row.lines.size());
        ASSERT_GE(lines.size(), row.lines.size());
        for (std::size_t i = 0; i < row.lines.size(); ++i)
            EXPECT_EQ(lines[i].bytes, row.lines[i]) << "cycle " << i + 1;
        EXPECT_EQ(text_wide(control(Ctl::编辑框1)), row.box);
    }
}

// Bytes that the ANSI code page cannot read as a whole character, set by a
// program through the ANSI message: the box shows what the system made of
// them, and the run sends exactly that.
TEST_F(BadInput, LoneLeadBytesSentThroughTheAnsiMessage) {
    const char bytes[] = "a\x81\r\n\xFE\r\nb\x81";
    DWORD_PTR result = 0;
    ASSERT_TRUE(SendMessageTimeoutA(control(Ctl::编辑框1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes),
                                    SMTO_NORMAL, 10000, &result));
    // Wine reads a lead byte and the byte after it as one unknown character
    // "?", CR included: the box holds "a?\n?\nb?", a single line of the list.
    const std::wstring held = text_wide(control(Ctl::编辑框1));
    const std::string as_gbk = to_gbk(held);
    std::vector<std::string> expected;
    for (std::size_t start = 0;;) {
        const std::size_t at = as_gbk.find("\r\n", start);
        expected.push_back(as_gbk.substr(start, at - start));
        if (at == std::string::npos) break;
        start = at + 2;
    }
    const auto lines = run_cycles(expected.size());
    ASSERT_GE(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i].bytes, expected[i]) << "cycle " << i + 1;
    EXPECT_EQ(text_wide(control(Ctl::编辑框1)), held);
}

// An empty list ends the run in its first cycle: nothing is typed, the end
// box comes at once, and the button keeps 停止自动发送 until the next click.
TEST_F(BadInput, EmptyLinesEndTheRunInItsFirstCycle) {
    ASSERT_TRUE(set(Ctl::编辑框1, L""));
    const std::size_t before = settled_count();
    click(control(Ctl::按钮2));
    const auto end = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->text, "消息已经发送完毕！");
    EXPECT_EQ(cycle_shown(), 1);
    answer(*end, IDOK);
    ASSERT_TRUE(wait_until([&] { return !find_message_box(kestrune.id()); }));
    EXPECT_EQ(text(control(Ctl::按钮2)), "停止自动发送");
    click(control(Ctl::按钮2));
    EXPECT_TRUE(wait_until([&] { return text(control(Ctl::按钮2)) == "开始发送消息"; }));
    Sleep(300);  // time for a wrong run to show
    EXPECT_EQ(find_message_box(kestrune.id()), std::nullopt);
    EXPECT_EQ(settled_count(), before);
    EXPECT_EQ(text_wide(control(Ctl::编辑框1)), L"");
}

// The edit boxes take typing past the system's default of 32767 characters.
TEST_F(BadInputLarge, BoxesTakeTypingPastTheSystemsDefaultLimit) {
    for (Ctl box : {Ctl::编辑框1, Ctl::编辑框2, Ctl::编辑框3}) {
        SCOPED_TRACE(form_of(box).name);
        // Short lines for the list: a single line of this length takes the
        // multi-line box minutes to lay out under Wine (see ALineOf20000Bytes).
        std::wstring long_text;
        while (long_text.size() < 40000) long_text += box == Ctl::编辑框1 ? L"7777777\r\n" : L"777777777";
        ASSERT_TRUE(set(box, long_text));
        SendMessageW(control(box), EM_SETSEL, long_text.size(), long_text.size());
        PostMessageW(control(box), WM_CHAR, L'8', 0);
        EXPECT_TRUE(wait_until([&] { return text_wide(control(box)) == long_text + L"8"; }, 5000))
            << text_wide(control(box)).size() << " characters";
    }
}

// Megabytes of lines: set, sent from the first line on, and kept whole.
// KESTRUNE_E2E_LINES_BYTES sets the size (default 1 MB, about 2 s to put
// into the box under Wine; 10 MB takes half a minute there, while the run
// itself reads and splits them in under a second).
TEST_F(BadInputLarge, MegabytesOfLines) {
    const char* size_setting = std::getenv("KESTRUNE_E2E_LINES_BYTES");
    const std::size_t size = size_setting ? std::strtoul(size_setting, nullptr, 10) : 1u << 20;
    // Lines of 98 characters, 100 GBK bytes, with their CR LF: "第000001行"
    // (8 characters, 10 bytes) and 88 letters.
    std::wstring box;
    box.reserve(size);
    std::vector<std::string> first_lines;
    for (unsigned n = 1; std::size_t{n - 1} * 100 < size; ++n) {
        wchar_t head[16];
        std::swprintf(head, 16, L"第%06u行", n);
        const std::wstring line = head + std::wstring(88, static_cast<wchar_t>(L'a' + n % 26));
        if (n <= 2) first_lines.push_back(to_gbk(line));
        box += line + L"\r\n";
    }
    const std::size_t bytes = to_gbk(box).size();
    ULONGLONG t0 = GetTickCount64();
    ASSERT_TRUE(set_in_pieces(Ctl::编辑框1, box)) << "setting " << bytes << " bytes timed out";
    const ULONGLONG set_ms = GetTickCount64() - t0;
    t0 = GetTickCount64();
    const auto lines = run_cycles(2, 120000);
    const ULONGLONG run_ms = GetTickCount64() - t0;
    std::printf("%zu bytes of lines: set in %llu ms, two cycles run in %llu ms\n", bytes, set_ms, run_ms);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].bytes, first_lines[0]);
    EXPECT_EQ(lines[1].bytes, first_lines[1]);
    EXPECT_TRUE(holds(Ctl::编辑框1, box));
}

// One line of 20 000 bytes (10 000 double-byte characters) arrives whole,
// every byte in order, then Return.
TEST_F(BadInputLarge, ALineOf20000Bytes) {
    const std::wstring line(10000, L'长');
    ASSERT_TRUE(set(Ctl::编辑框1, line));
    const auto lines = run_cycles(1, 60000);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].bytes, to_gbk(line)) << shown(lines[0].bytes);
    EXPECT_EQ(text_wide(control(Ctl::编辑框1)), line);
}

// A suffix of 100 000 letters: one line of 100 001 bytes arrives whole,
// about 20 s under Wine on two busy cores, as every post is a round trip to
// the Wine server.
TEST_F(BadInputLarge, ASuffixOf100000Letters) {
    ASSERT_TRUE(set(Ctl::编辑框3, L"100000"));
    const std::size_t before = settled_count();
    const ULONGLONG t0 = GetTickCount64();
    click(control(Ctl::按钮2));
    ASSERT_TRUE(wait_until([&] { return read_transcript(target.transcript).messages.size() > before; }));
    std::vector<SentLine> lines;
    EXPECT_TRUE(wait_until([&] {
        return !(lines = sent_lines(read_transcript(target.transcript).messages, before)).empty();
    }, 120000));
    std::printf("a suffix of 100000 letters: arrived in %llu ms\n", GetTickCount64() - t0);
    click(control(Ctl::按钮2));
    end_of_run();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].bytes.size(), 100001u);
    EXPECT_EQ(lines[0].bytes.substr(0, 1), "x");
    EXPECT_TRUE(all_lower_case(lines[0].bytes.substr(1)));
    EXPECT_EQ(text_wide(control(Ctl::编辑框3)), L"100000");
}

// The bound window goes away in the middle of a run, by closing itself or by
// its process being killed: the posts fail unseen and the cycles go on; a
// binding made during the run takes over from the next read of 标签2.
TEST_F(BadInput, TargetGoesAwayMidRun) {
    const struct {
        const char* how;
        void (*end)(PracticeTarget&);
    } rows[] = {
        {"closed", [](PracticeTarget& t) { PostMessageW(t.window, WM_CLOSE, 0, 0); }},
        {"killed", [](PracticeTarget& t) { t.process.kill(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        PracticeTarget doomed(test_name() + "-" + row.how);
        ASSERT_TRUE(doomed.input);
        bind(doomed.input);
        const std::size_t before = settled_count();
        click(control(Ctl::按钮2));
        EXPECT_TRUE(wait_until([&] { return sent_lines(read_transcript(doomed.transcript).messages, 0).size() >= 2; }));
        row.end(doomed);
        ASSERT_TRUE(wait_until([&] { return !IsWindow(doomed.input); }));
        const int gone_at = cycle_shown();
        EXPECT_TRUE(wait_until([&] { return cycle_shown() >= gone_at + 3; })) << "the run stopped at " << gone_at;
        EXPECT_EQ(find_message_box(kestrune.id()), std::nullopt) << "a failed post was reported";
        bind(target.input);
        // The first line may be a bare Return: its text went to the old
        // handle before the new binding, its Return to the new one.
        std::vector<SentLine> lines;
        EXPECT_TRUE(wait_until([&] {
            return (lines = sent_lines(read_transcript(target.transcript).messages, before)).size() >= 3;
        })) << "nothing reached the new binding";
        click(control(Ctl::按钮2));
        end_of_run();
        for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].bytes, "x") << "cycle " << i + 1;
        EXPECT_TRUE(kestrune.running());
    }
}

// The main window closed (as by its close box) inside either pause of a
// run: the run ends there without touching the window, posting nothing
// more and showing no end box, and the program ends with exit code 0.
TEST_F(BadInput, MainWindowClosedInAPauseEndsTheProgram) {
    const struct {
        const char* pause;
        const wchar_t* interval;
        bool close_after_return;  // in the interval pause; else in the typing pause
    } rows[] = {
        {"the 100 ms typing pause", L"0", false},
        {"a 5000 ms interval pause", L"5000", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pause);
        if (!kestrune.running()) start_program();
        ASSERT_TRUE(set(Ctl::编辑框2, row.interval));
        const std::size_t before = settled_count();
        click(control(Ctl::按钮2));
        ASSERT_TRUE(wait_until([&] {
            const auto m = read_transcript(target.transcript).messages;
            if (m.size() <= before) return false;
            return !row.close_after_return || m.back().name == "WM_KEYDOWN";
        }));
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        const ULONGLONG closed_at = GetTickCount64();
        bool box_seen = false;
        EXPECT_TRUE(wait_until([&] {
            box_seen = box_seen || find_message_box(kestrune.id());
            return !kestrune.running();
        }, 10000));
        const ULONGLONG exit_ms = GetTickCount64() - closed_at;
        EXPECT_EQ(kestrune.wait_for_exit(0), std::optional<DWORD>(0));
        EXPECT_FALSE(box_seen);
        if (row.close_after_return) {
            EXPECT_LT(exit_ms, 3000u) << "the interval pause ran on";
        }
        const auto m = read_transcript(target.transcript).messages;
        const auto lines = sent_lines(m, before);
        if (row.close_after_return) {
            EXPECT_EQ(lines.size(), 1u) << "a cycle began after the close";
            EXPECT_EQ(m.back().name, "WM_KEYDOWN");
        } else {
            // The line typed when the window went stays without its Return.
            ASSERT_FALSE(m.empty());
            EXPECT_EQ(m.back().name, "WM_CHAR") << "Return posted after the close";
        }
    }
}

// The binding window closed after the first F2 press: the first capture
// stays in 标签2 and 标签9, 标签4 keeps its text, F2 takes nothing more, and
// a run sends to the captured box.
TEST_F(BadInput, BindingWindowClosedBetweenPresses) {
    bind(target.frame);  // anything but the input box, to see the capture change it
    click(control(Ctl::按钮1));
    const auto prompt = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(prompt);
    answer(*prompt, IDYES);
    const HWND binding = wait_for_top_window(kestrune.id(), L"Kestrune.Binding");
    ASSERT_TRUE(binding && wait_until([&] { return visible(binding); }));
    ASSERT_TRUE(activate(target.window));
    ASSERT_TRUE(move_pointer(centre(target.input)));
    press(VK_F2);
    ASSERT_TRUE(wait_until([&] { return text_wide(control(Ctl::标签2)) == handle_text(target.input); }));
    PostMessageW(binding, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(binding); }));
    ASSERT_TRUE(move_pointer(centre(target.send)));
    press(VK_F2);
    Sleep(500);  // time for a capture that must not happen
    EXPECT_EQ(text(control(Ctl::标签4)), unbound_text);
    EXPECT_EQ(text(control(Ctl::标签9)), practice::input_text);
    EXPECT_EQ(text_wide(control(Ctl::标签2)), handle_text(target.input));
    EXPECT_TRUE(kestrune.running());
    const auto lines = run_cycles(1);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].bytes, "x");
}

}  // namespace
