// The harness itself: what the other end-to-end tests take for granted about
// the practice target and the driver's keyboard.
#include <gtest/gtest.h>

#include "driver.h"
#include "practice_target.h"

#include <wininet.h>  // after <windows.h>

namespace {

using namespace e2e;

std::string test_name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

TEST(Harness, PracticeTargetRecordsPostedBytesAsTheyWerePosted) {
    PracticeTarget target(test_name());
    ASSERT_TRUE(target.input);
    // "你a" and Return, as the program posts a line: the GBK lead and trail
    // byte of 你 must arrive as two messages, and nothing may be added.
    const std::vector<KeyMessage> expected{
        {"WM_CHAR", 0xC4, 0}, {"WM_CHAR", 0xE3, 0}, {"WM_CHAR", 'a', 0}, {"WM_KEYDOWN", VK_RETURN, 0}};
    for (const KeyMessage& m : expected)
        post(target.input, m.name == "WM_CHAR" ? WM_CHAR : WM_KEYDOWN, m.wparam, m.lparam);

    const auto actual = target.wait_for_messages(expected.size());
    EXPECT_EQ(actual, expected) << side_by_side(expected, actual);
    EXPECT_EQ(read_transcript(target.transcript).code_page, 936u);

    // Return moved the line to the history.
    const HWND history = target.history;
    ASSERT_TRUE(history);
    wchar_t line[64] = {};
    ASSERT_TRUE(wait_until([&] { return SendMessageW(history, LB_GETCOUNT, 0, 0) == 1; }));
    SendMessageW(history, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ(line, L"你a");
}

// The window at the input box's centre is the compose frame above it; the
// input box and the Send button are smaller visible siblings below the frame
// that also contain their own centres, so the window-under-pointer rule has a
// choice to make there.
TEST(Harness, PracticeTargetCoversItsInputBoxWithALargerSibling) {
    PracticeTarget target(test_name());
    ASSERT_TRUE(target.input && target.frame && target.send);
    EXPECT_EQ(window_rect(target.window).left, practice::left);
    EXPECT_EQ(window_rect(target.window).top, practice::top);
    EXPECT_EQ(text(target.input), practice::input_text);

    const auto siblings = children(target.window);
    const auto z = [&](HWND w) { return std::find(siblings.begin(), siblings.end(), w) - siblings.begin(); };
    EXPECT_LT(z(target.frame), z(target.input));
    EXPECT_LT(z(target.input), z(target.send));

    EXPECT_TRUE(move_pointer(centre(target.input)));
    const RECT frame = window_rect(target.frame);
    for (HWND inner : {target.input, target.send}) {
        const RECT r = window_rect(inner);
        RECT both{};
        IntersectRect(&both, &frame, &r);
        EXPECT_TRUE(EqualRect(&both, &r)) << describe(r) << " not inside the frame " << describe(frame);
        EXPECT_EQ(WindowFromPoint(centre(inner)), target.frame) << "at " << describe(r);
    }
}

// SendInput reaches the focused window of the foreground program, the way
// the program's hot key and keyboard tests need it.
TEST(Harness, KeysReachTheForegroundWindow) {
    PracticeTarget target(test_name());
    ASSERT_TRUE(target.input);
    ASSERT_TRUE(activate(target.window));
    ASSERT_TRUE(wait_until([&] { return focus_in_thread_of(target.window) == target.input; }));
    press('A');

    const auto actual = target.wait_for_messages(3);
    ASSERT_GE(actual.size(), 3u);
    EXPECT_EQ(actual[0].name, "WM_KEYDOWN");
    EXPECT_EQ(actual[0].wparam, 'A');
    EXPECT_EQ(actual[1].name, "WM_CHAR");
    EXPECT_EQ(actual[1].wparam, 'a');
    EXPECT_EQ(actual[2].name, "WM_KEYUP");
    EXPECT_EQ(actual[2].wparam, 'A');
}

struct CloseInternetFn {
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using unique_internet = unique_handle<HINTERNET, CloseInternetFn>;

// What a client reads from the fixture server, up to a limit; nullopt when
// the request failed.
std::optional<std::string> fetch(const std::string& path, std::size_t limit = 1 << 20) {
    unique_internet session(InternetOpenA("e2e", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    const std::string url = "http://127.0.0.1:" + std::to_string(KESTRUNE_E2E_PORT) + path;
    unique_internet request(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0,
                                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) return std::nullopt;
    std::string body;
    char buffer[4096];
    DWORD n = 0;
    while (body.size() < limit && InternetReadFile(request.get(), buffer, sizeof buffer, &n) && n > 0)
        body.append(buffer, n);
    return body;
}

// The server's answers as the update tests use them.
TEST(Harness, ServerAnswersEachPathWithItsReply) {
    HttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve("/page", Reply::page("hello"));
    server.serve("/moved", Reply::redirect("/page"));
    server.serve("/error", Reply::page("gone", "HTTP/1.1 404 Not Found"));
    server.serve("/endless", Reply::endless());
    server.serve("/silent", Reply::no_answer());

    EXPECT_EQ(fetch("/page"), "hello");
    EXPECT_EQ(fetch("/moved"), "hello");
    EXPECT_EQ(fetch("/error"), "gone");
    EXPECT_EQ(fetch("/unknown"), "");
    const auto endless = fetch("/endless", 100000);
    ASSERT_TRUE(endless);
    EXPECT_GE(endless->size(), 100000u);
    EXPECT_NE(fetch("/silent"), std::optional<std::string>("hello"));

    // Every request is recorded with its head; the redirect made two.
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].rfind("GET /page HTTP/1.1\r\n", 0), 0u) << requests[0];
    EXPECT_NE(requests[0].find("User-Agent: e2e\r\n"), std::string::npos) << requests[0];
    EXPECT_EQ(requests[2].rfind("GET /page ", 0), 0u) << requests[2];
}

}  // namespace
