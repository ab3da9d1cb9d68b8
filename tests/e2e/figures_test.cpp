// Figures under Wine, for tools/figures.sh: processor use during pauses,
// pause overshoot, time to a visible window, posting rate, how the program
// answers and stops while it types a very long line, and a long run of 2000
// cycles with its memory. Not checks of behaviour, except that the long
// run's lines must all arrive whole and in order. They take minutes, so they
// run only when KESTRUNE_FIGURES is set; each figure is printed as
//     FIGURE|<suite.test>|<name>|<value>|<how it was measured>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "kestrune.h"
#include "practice_target.h"
#include "core/forms.h"

#include <psapi.h>  // after <windows.h>

namespace {

using namespace e2e;

std::string test_name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

void figure(const std::string& name, const std::string& value, const std::string& how) {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::printf("FIGURE|%s.%s|%s|%s|%s\n", test->test_suite_name(), test->name(), name.c_str(), value.c_str(),
                how.c_str());
    std::fflush(stdout);
}

std::string fixed(double v, int decimals = 1) {
    char s[64];
    std::snprintf(s, sizeof s, "%.*f", decimals, v);
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::wstring windows_path(const std::string& unix_path) {
    std::wstring path = L"Z:";
    for (char c : unix_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

// --- The Linux side of a Wine process, read through the Z: drive ---------------
// Wine runs every Windows process as a Linux process whose command line starts
// with the path it was started by; processor time and resident memory are
// read from its /proc entry, as Wine reports neither across processes.
int linux_pid_of(const std::wstring& exe) {
    const std::string wanted(exe.begin(), exe.end());  // ASCII build paths
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            continue;
        const std::string cmdline = read_file(L"Z:\\proc\\" + name + L"\\cmdline");
        if (cmdline.c_str() == wanted) found = std::stoi(std::string(name.begin(), name.end()));
    } while (!found && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

// User and system time of the process, in clock ticks of 1/100 s.
long cpu_ticks(int pid) {
    const std::string stat = read_file(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i) fields >> skip;  // state .. cmajflt
    long utime = 0, stime = 0;
    fields >> utime >> stime;
    return utime + stime;
}

long resident_kb(int pid) {
    std::istringstream status(read_file(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// The working set as Windows reports it, where Wine reports it across processes.
long working_set_kb(DWORD pid) {
    const HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p) return -1;
    PROCESS_MEMORY_COUNTERS counters{};
    const BOOL ok = GetProcessMemoryInfo(p, &counters, sizeof counters);
    CloseHandle(p);
    return ok ? static_cast<long>(counters.WorkingSetSize / 1024) : -1;
}

// Complete lines (ended by Return) that arrived, with the tick of each Return.
struct Arrived {
    std::vector<std::string> lines;
    std::vector<std::uint32_t> return_ticks;
    std::vector<std::uint32_t> char_ticks;
};
Arrived arrived(const std::wstring& transcript) {
    Arrived a;
    std::string line;
    for (const KeyMessage& m : read_transcript(transcript).messages) {
        if (m.name == "WM_CHAR") {
            line += static_cast<char>(m.wparam);
            a.char_ticks.push_back(m.tick);
        } else if (m.name == "WM_KEYDOWN" && m.wparam == VK_RETURN) {
            a.lines.push_back(line);
            a.return_ticks.push_back(m.tick);
            line.clear();
        }
    }
    return a;
}

// The transcript's size in bytes: it grows by one line per message.
ULONGLONG file_size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Whether the last message the target recorded is a Return: read from the
// end of the file, as the whole transcript of a long line is megabytes.
bool ends_with_return(const std::wstring& transcript) {
    FILE* f = _wfopen(transcript.c_str(), L"rb");
    if (!f) return false;
    char tail[128] = {};
    std::fseek(f, -static_cast<long>(sizeof tail - 1), SEEK_END);
    const std::size_t n = std::fread(tail, 1, sizeof tail - 1, f);
    std::fclose(f);
    const std::string last(tail, n);
    const std::size_t start = last.rfind('\n', last.size() >= 2 ? last.size() - 2 : 0);
    return last.compare(start == std::string::npos ? 0 : start + 1, 14, "WM_KEYDOWN 13 ") == 0;
}

class Figures : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("KESTRUNE_FIGURES")) GTEST_SKIP() << "figures: run tools/figures.sh";
        ASSERT_TRUE(target.window);
        ASSERT_TRUE(server.listening());
        server.serve(update_path, Reply::page(utf8(u8"呵1.0呵")));
        kestrune = Process::launch(kestrune_exe());
        const auto prompt = wait_for_message_box(kestrune.id());
        ASSERT_TRUE(prompt);
        answer(*prompt, IDNO);
        ASSERT_TRUE(wait_until([&] {
            main = find_top_window(kestrune.id(), L"Kestrune.Main");
            return main && visible(main);
        }));
        // Bound as a capture binds it.
        set(Ctl::标签2, std::to_wstring(static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(target.input))));
        set(Ctl::编辑框1, L"x");
        set(Ctl::编辑框2, L"0");
        set(Ctl::编辑框3, L"0");
        linux_pid = linux_pid_of(kestrune_exe());
    }

    HWND control(Ctl c) const { return e2e::control(main, c); }
    void set(Ctl c, const std::wstring& text) const {
        SendMessageW(control(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void stop() const {
        click(control(Ctl::按钮2));
        const auto end = wait_for_message_box(kestrune.id(), 60000);
        ASSERT_TRUE(end);
        answer(*end, IDOK);
    }

    PracticeTarget target{test_name()};
    HttpServer server;
    Process kestrune;
    HWND main = nullptr;
    int linux_pid = 0;
};

using LongRun = Figures;

TEST_F(Figures, ProcessorUseAndOvershootOfPauses) {
    ASSERT_NE(linux_pid, 0) << "no /proc entry for " << KESTRUNE_E2E_PROGRAM;
    constexpr DWORD window_ms = 10000;
    long before = cpu_ticks(linux_pid);
    Sleep(window_ms);  // measuring: the idle program
    const double idle = (cpu_ticks(linux_pid) - before) * 10.0 / window_ms * 100.0;
    figure("cpu_idle_percent", fixed(idle), "Kestrune idle in its message loop, 10 s, /proc/PID/stat utime+stime");

    set(Ctl::编辑框2, L"2000");
    click(control(Ctl::按钮2));
    ASSERT_TRUE(wait_until([&] { return !arrived(target.transcript).lines.empty(); }));
    before = cpu_ticks(linux_pid);
    Sleep(window_ms);  // measuring: a run in its 2000 ms pauses
    const double pausing = (cpu_ticks(linux_pid) - before) * 10.0 / window_ms * 100.0;
    figure("cpu_pausing_percent", fixed(pausing),
           "Kestrune in a run with pause 2000 ms, line \"x\", 10 s, /proc/PID/stat utime+stime");
    ASSERT_TRUE(wait_until([&] { return arrived(target.transcript).lines.size() >= 7; }, 30000));
    stop();

    const auto ticks = arrived(target.transcript).return_ticks;
    std::vector<double> over;
    for (std::size_t i = 1; i < ticks.size(); ++i) over.push_back(double(ticks[i] - ticks[i - 1]) - 2000 - 100);
    const double mean = std::accumulate(over.begin(), over.end(), 0.0) / over.size();
    figure("pause_overshoot_ms", fixed(mean) + " mean, " + fixed(*std::max_element(over.begin(), over.end()), 0) +
                                     " max (" + std::to_string(over.size()) + " intervals)",
           "interval between consecutive Returns at the target minus 2000 ms pause minus 100 ms typing pause");
}

TEST_F(Figures, TimeToAVisibleWindow) {
    kestrune.kill();
    const auto ms_since = [](ULONGLONG t0) { return double(GetTickCount64() - t0); };
    std::vector<double> bare, prompt, shown;
    for (int i = 0; i < 5; ++i) {
        ULONGLONG t0 = GetTickCount64();
        Process b = Process::launch(windows_path(KESTRUNE_E2E_BARE_WINDOW));
        HWND w = nullptr;
        while (!(w = find_top_window(b.id(), L"BareWindow")) || !visible(w)) Sleep(1);
        bare.push_back(ms_since(t0));
        b.kill();

        t0 = GetTickCount64();
        Process k = Process::launch(kestrune_exe());
        std::optional<MessageBoxInfo> box;
        while (!(box = find_message_box(k.id()))) Sleep(1);
        prompt.push_back(ms_since(t0));
        answer(*box, IDNO);
        while (!(w = find_top_window(k.id(), L"Kestrune.Main")) || !visible(w)) Sleep(1);
        shown.push_back(ms_since(t0));
        k.kill();
    }
    // The session's display scale, as tools/figures.sh started it.
    const char* dpi_setting = std::getenv("KESTRUNE_FIGURES_DPI");
    const std::string dpi = dpi_setting ? dpi_setting : "96";
    const std::string at = "_at_" + dpi + "dpi", at_scale = ", at " + dpi + " dpi";
    figure("start_bare_window_ms" + at, fixed(median(bare), 0),
           "BareWindow.exe: start to visible window, median of 5" + at_scale);
    figure("start_to_prompt_ms" + at, fixed(median(prompt), 0),
           "Kestrune: start to the bind prompt (update page fetched from loopback), median of 5" + at_scale);
    figure("start_to_main_window_ms" + at, fixed(median(shown), 0),
           "Kestrune: start to visible main window, prompt answered No at once, median of 5" + at_scale);
    figure("start_ratio" + at, fixed(median(shown) / median(bare), 2),
           "Kestrune main window / bare window" + at_scale);
}

TEST_F(Figures, PostingRate) {
    constexpr int letters = 20000;
    set(Ctl::编辑框3, std::to_wstring(letters));
    click(control(Ctl::按钮2));
    Arrived a;
    ASSERT_TRUE(wait_until([&] { return !(a = arrived(target.transcript)).lines.empty(); }, 120000));
    stop();
    ASSERT_EQ(a.lines[0].size(), std::size_t{letters} + 1);
    const double arriving_s = double(a.char_ticks[letters] - a.char_ticks[0]) / 1000.0;
    figure("posting_rate_arriving", fixed(letters / arriving_s, 0) + " WM_CHAR/s",
           "practice target: first to last WM_CHAR of one line of 20001 bytes (suffix 20000), pause 0, "
           "by its own tick stamps");
}

// One line of "x" and 200 000 suffix letters: far longer than a posting
// takes between two events, so it shows whether typing keeps the window
// answering and how soon a stop takes effect.
constexpr int long_suffix = 200000;
constexpr std::size_t long_line_bytes = long_suffix + 1;
// Bounds, so that a program that never answers or never stops ends the
// measurement with a figure saying so instead of hanging it.
constexpr DWORD answer_bound_ms = 120000;
constexpr DWORD line_bound_ms = 300000;

std::string ms_or_bound(double ms, bool bounded_out, DWORD bound_ms) {
    if (bounded_out) return "no answer within " + std::to_string(bound_ms / 1000) + " s";
    return fixed(ms, 0) + " ms";
}

// The main window asked with WM_NULL again as soon as it has answered, from
// the click that starts typing the long line until its Return reaches the
// target; the figure is the longest wait for an answer.
TEST_F(Figures, AnswerTimeWhileTypingALongLine) {
    set(Ctl::编辑框3, std::to_wstring(long_suffix));
    set(Ctl::编辑框2, L"60000");  // the run rests after the line, where a stop is quick
    const ULONGLONG t0 = GetTickCount64();
    click(control(Ctl::按钮2));
    double worst = 0;
    bool timed_out = false, returned = false;
    std::size_t answers = 0;
    ULONGLONG last_check = 0;
    while (GetTickCount64() - t0 < line_bound_ms) {
        const ULONGLONG asked = GetTickCount64();
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, answer_bound_ms, &result) != 0;
        const ULONGLONG now = GetTickCount64();
        worst = std::max(worst, double(now - asked));
        if (answered)
            ++answers;
        else
            timed_out = true;
        if (now - last_check >= 100) {  // the transcript is a file: read it ten times a second
            last_check = now;
            if ((returned = ends_with_return(target.transcript))) break;
        }
        Sleep(1);
    }
    const std::string how = "SendMessageTimeout(WM_NULL) to the main window again 1 ms after each answer, from the "
                            "click until the Return of one line of " +
                            std::to_string(long_line_bytes) + " bytes (suffix " + std::to_string(long_suffix) +
                            ") reached the practice target; each wait bounded at " +
                            std::to_string(answer_bound_ms / 1000) + " s";
    figure("long_line_worst_answer_ms",
           ms_or_bound(worst, timed_out, answer_bound_ms) + " worst, " + std::to_string(answers) + " answers" +
               (returned ? "" : ", no Return within " + std::to_string(line_bound_ms / 1000) + " s"),
           how);
    stop();
}

// A stop click in the middle of the long line, and how long until the run
// shows its end box.
TEST_F(Figures, StopInTheMiddleOfALongLine) {
    set(Ctl::编辑框3, std::to_wstring(long_suffix));
    set(Ctl::编辑框2, L"0");
    click(control(Ctl::按钮2));
    // Some 10 000 bytes have arrived (a transcript line is about 21 bytes),
    // far from the end of the line.
    ASSERT_TRUE(wait_until([&] { return file_size(target.transcript) > 10000 * 21; }, 60000));
    const ULONGLONG clicked = GetTickCount64();
    click(control(Ctl::按钮2));
    const auto end = wait_for_message_box(kestrune.id(), line_bound_ms);
    const double ms = double(GetTickCount64() - clicked);
    std::string value;
    if (!end) {
        value = "no end box within " + std::to_string(line_bound_ms / 1000) + " s";
    } else {
        value = fixed(ms, 0) + " ms";
        if (end->text != to_gbk(L"消息已经发送完毕！")) value += " (a box other than the end box)";
        answer(*end, IDOK);
        // What the target had by then: a cut line, or the whole line and its
        // Return. It takes them more slowly than they are posted: wait until
        // its queue is empty, that is its transcript has stopped growing.
        for (ULONGLONG size = 0, t = GetTickCount64(); GetTickCount64() - t < line_bound_ms;) {
            const ULONGLONG now_size = file_size(target.transcript);
            if (now_size == size) break;
            size = now_size;
            Sleep(1000);
        }
        const Arrived a = arrived(target.transcript);
        const std::size_t typed = a.lines.empty() ? a.char_ticks.size() : a.lines[0].size();
        value += a.lines.empty() ? ", line cut after " + std::to_string(typed) + " of " +
                                       std::to_string(long_line_bytes) + " bytes, no Return"
                                 : ", the whole line (" + std::to_string(typed) + " bytes) and its Return typed first";
    }
    figure("long_line_stop_ms", value,
           "posted BM_CLICK on the start/stop button once about 10000 bytes of a line of " +
               std::to_string(long_line_bytes) + " bytes (pause 0) had arrived, to the end box (polled every 20 ms)");
}

// The rate at which the long line's characters reach the practice target.
TEST_F(Figures, PostingRateOfALongLine) {
    set(Ctl::编辑框3, std::to_wstring(long_suffix));
    set(Ctl::编辑框2, L"60000");
    click(control(Ctl::按钮2));
    const bool returned = wait_until([&] { return ends_with_return(target.transcript); }, line_bound_ms);
    stop();
    const Arrived a = arrived(target.transcript);
    ASSERT_GE(a.char_ticks.size(), 2u);
    const std::size_t bytes = a.lines.empty() ? a.char_ticks.size() : a.lines[0].size();
    const double seconds = double(a.char_ticks[bytes - 1] - a.char_ticks[0]) / 1000.0;
    figure("long_line_arriving_rate",
           fixed(double(bytes - 1) / seconds, 0) + " WM_CHAR/s, " + std::to_string(bytes) + " of " +
               std::to_string(long_line_bytes) + " bytes arrived" +
               (returned ? "" : ", no Return within " + std::to_string(line_bound_ms / 1000) + " s"),
           "practice target: first to last WM_CHAR of one line of " + std::to_string(long_line_bytes) +
               " bytes, by its own tick stamps; nothing else asks the program meanwhile");
}

// 2000 cycles with pause 0: every line arrives whole and in order, and the
// memory of the process stays flat.
TEST_F(LongRun, TwoThousandCycles) {
    const std::vector<std::wstring> list{L"第一行 one", L"second line", L"第三行", L"4", L"下雨了，大家回家收衣服去吧！",
                                         L"six six six", L"七"};
    std::wstring box;
    for (const auto& l : list) box += l + L"\r\n";
    set(Ctl::编辑框1, box);
    set(Ctl::编辑框3, L"5");
    constexpr std::size_t cycles = 2000;
    const ULONGLONG t0 = GetTickCount64();
    click(control(Ctl::按钮2));
    std::size_t done = 0;
    long rss_start = 0, ws_start = 0;
    while (done < cycles && GetTickCount64() - t0 < 900000) {
        Sleep(1000);  // a poll a second: the transcript grows to 30 000 lines
        done = arrived(target.transcript).lines.size();
        if (!rss_start && done >= 20) {
            rss_start = resident_kb(linux_pid);
            ws_start = working_set_kb(kestrune.id());
        }
    }
    const long rss_end = resident_kb(linux_pid), ws_end = working_set_kb(kestrune.id());
    const double seconds = double(GetTickCount64() - t0) / 1000.0;
    stop();
    const Arrived a = arrived(target.transcript);
    ASSERT_GE(a.lines.size(), cycles);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < cycles; ++i) {
        const std::string want = [&] {
            const std::wstring& w = list[i % list.size()];
            std::string g(w.size() * 2, '\0');
            g.resize(static_cast<std::size_t>(WideCharToMultiByte(936, 0, w.data(), static_cast<int>(w.size()),
                                                                  g.data(), static_cast<int>(g.size()), nullptr,
                                                                  nullptr)));
            return g;
        }();
        const std::string& got = a.lines[i];
        const bool whole = got.size() == want.size() + 5 && got.compare(0, want.size(), want) == 0 &&
                           std::all_of(got.begin() + static_cast<std::ptrdiff_t>(want.size()), got.end(),
                                       [](char c) { return c >= 'a' && c <= 'z'; });
        if (!whole && ++wrong <= 5) ADD_FAILURE() << "cycle " << i + 1 << ": \"" << got << "\"";
    }
    EXPECT_EQ(wrong, 0u);
    figure("long_run_cycles", std::to_string(cycles) + " in " + fixed(seconds, 0) + " s, " +
                                  std::to_string(wrong) + " lines wrong or out of order",
           "7 lines in order with a 5-letter suffix, pause 0, checked at the practice target");
    figure("long_run_rss_kb", std::to_string(rss_start) + " -> " + std::to_string(rss_end),
           "VmRSS of the Kestrune Linux process at cycle 20 and at cycle 2000 (/proc/PID/status)");
    figure("long_run_working_set_kb", std::to_string(ws_start) + " -> " + std::to_string(ws_end),
           "GetProcessMemoryInfo WorkingSetSize from the driver, same moments (-1: not available)");
}

}  // namespace
