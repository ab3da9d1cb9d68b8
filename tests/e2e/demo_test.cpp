// The session tools/run.sh plays when nobody is at the screen: the program
// with a published page, bound to the practice target with F2, sending three
// of its default lines, stopped and closed. Screenshots of each stage and the
// target's transcript go to the folder named by KESTRUNE_DEMO_DIR; without
// it the suite skips itself (it is not one of the suites ctest runs).
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver.h"
#include "kestrune.h"
#include "core/forms.h"

namespace {

using namespace e2e;


std::size_t returns_in(const std::vector<KeyMessage>& messages) {
    std::size_t n = 0;
    for (const KeyMessage& m : messages) n += m.name == "WM_KEYDOWN" && m.wparam == VK_RETURN;
    return n;
}

TEST(Demo, BindsSendsAndStops) {
    const char* dir = std::getenv("KESTRUNE_DEMO_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "KESTRUNE_DEMO_DIR names no folder";
    // A Unix path reaches Windows programs through the Z: drive.
    std::wstring folder = dir[0] == '/' ? L"Z:" : L"";
    for (const char* c = dir; *c; ++c) folder += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    const auto shot = [&](const wchar_t* name) {
        Sleep(500);  // the desktop redraws a moment after a window moves in the Z order
        EXPECT_TRUE(save_screenshot(folder + L"\\" + name + L".bmp")) << "screenshot " << name;
    };

    HttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve(update_path, Reply::page(utf8(u8"<p>Kestrune 呵1.0呵</p>")));
    const PracticeTarget target("demo");
    ASSERT_TRUE(target.window);

    Process kestrune = Process::launch(kestrune_exe());
    const auto prompt = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(prompt);
    answer(*prompt, IDYES);
    const HWND binding = wait_for_top_window(kestrune.id(), nullptr, "获取绑定窗口句柄");
    ASSERT_TRUE(binding);
    HWND main = nullptr;
    ASSERT_TRUE(wait_until([&] {
        main = find_top_window(kestrune.id(), nullptr, "暂未绑定窗口");
        return main && visible(main) && visible(binding);
    }));
    // Wine's virtual desktop draws the main window, shown after the topmost
    // binding window, over it, though the binding window stands above it in
    // the Z order; moving it out of the topmost band and back redraws it on top.
    for (HWND place : {HWND_NOTOPMOST, HWND_TOPMOST})
        SetWindowPos(binding, place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    shot(L"1-binding");

    // F2 over the input box, then over Send, as a user would.
    ASSERT_TRUE(activate(target.window));
    ASSERT_TRUE(move_pointer(centre(target.input)));
    press(VK_F2);
    ASSERT_TRUE(wait_until([&] { return text(control(main, Ctl::标签2)) == handle_text(target.input); }));
    ASSERT_TRUE(move_pointer(centre(target.send)));
    press(VK_F2);
    ASSERT_TRUE(wait_until([&] { return text(control(main, Ctl::标签4)) == handle_text(target.send); }));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(binding); }));
    shot(L"2-bound");

    // The default lines and suffix, a short pause so that the demo is quick.
    SendMessageW(control(main, Ctl::编辑框2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"500"));
    click(control(main, Ctl::按钮2));
    EXPECT_TRUE(wait_until([&] { return returns_in(read_transcript(target.transcript).messages) >= 3; }, 30000));
    // The target in front, its history showing the lines that arrived.
    activate(target.window);
    SetWindowPos(target.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    shot(L"3-sending");
    click(control(main, Ctl::按钮2));
    const auto end = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->text, "消息已经发送完毕！");
    shot(L"4-done");
    answer(*end, IDOK);

    ASSERT_TRUE(wait_until([&] { return !find_message_box(kestrune.id()) && enabled(main); }));
    post(main, WM_CLOSE);
    EXPECT_EQ(kestrune.wait_for_exit(10000), std::optional<DWORD>(0));
    EXPECT_TRUE(CopyFileW(target.transcript.c_str(), (folder + L"\\transcript.txt").c_str(), FALSE));
}

}  // namespace
