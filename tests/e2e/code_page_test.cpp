// The program's own windows show their texts right where the system's ANSI
// code page is not 936, and so does the title of a target it binds to. ctest
// runs this suite with the locale en_US.UTF-8 (KESTRUNE_WINE_LC_ALL,
// tools/wine/run), whose ANSI code page is 1252: the programs under test
// inherit it from the driver.
#include <gtest/gtest.h>

#include "driver.h"
#include "kestrune.h"
#include "core/forms.h"

namespace {

using namespace e2e;

TEST(CodePage, TextsReadRightUnderAWesternCodePage) {
    if (GetACP() == 936) GTEST_SKIP() << "needs another ANSI code page: KESTRUNE_WINE_LC_ALL=en_US.UTF-8";

    HttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve(update_path, Reply::page(utf8(u8"呵1.0呵")));
    Process kestrune = Process::launch(kestrune_exe());
    const auto prompt = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(prompt);
    EXPECT_EQ(text_wide(prompt->window), L"信息：");
    EXPECT_EQ(text_wide(GetDlgItem(prompt->window, 0xFFFF)),
              L"您的软件还未绑定需要喊话的窗口，请先绑定！\r\n您问您现在是否需要立即绑定窗口？");
    answer(*prompt, IDNO);

    HWND main = nullptr;
    ASSERT_TRUE(wait_until([&] {
        main = find_top_window(kestrune.id(), nullptr, "暂未绑定窗口");
        return main && visible(main);
    }));
    EXPECT_EQ(text_wide(main), L"暂未绑定窗口");
    EXPECT_EQ(text_wide(control(main, Ctl::按钮1)), L"重新绑定");
    EXPECT_EQ(text_wide(control(main, Ctl::标签9)), L"————————");
}

// 标签9 shows the text of the window the first F2 takes. Read as the system's
// code page gives it, a Latin-1 title would be misread as GBK and a Chinese
// one would come as question marks; read as GBK, each shows as titled, and
// only what GBK lacks becomes "?".
TEST(CodePage, ATargetsTitleReadsRightUnderAWesternCodePage) {
    if (GetACP() == 936) GTEST_SKIP() << "needs another ANSI code page: KESTRUNE_WINE_LC_ALL=en_US.UTF-8";

    Process target = Process::launch(bare_window_exe());
    HWND window = nullptr;
    ASSERT_TRUE(wait_until([&] { return (window = find_top_window(target.id(), L"BareWindow")) && visible(window); }))
        << "the target did not come up";
    // Bottom left, under the main window and clear of the topmost binding window.
    SetWindowPos(window, nullptr, 0, 400, 300, 180, SWP_NOZORDER | SWP_NOACTIVATE);

    struct Case {
        const wchar_t* title;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"Café", L"Café"},
        {L"练习聊天窗口", L"练习聊天窗口"},
        {L"Crème brûlée ✓ 聊天", L"Crème br?lée ? 聊天"},  // GBK lacks û and ✓
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(to_gbk(c.title));
        SetWindowTextW(window, c.title);
        ASSERT_EQ(text_wide(window), c.title);
        StartedKestrune kestrune(IDYES);
        ASSERT_TRUE(kestrune.main) << "the main window did not come up";
        const HWND binding = wait_for_top_window(kestrune.process.id(), L"Kestrune.Binding");
        ASSERT_TRUE(binding && wait_until([&] { return visible(binding); })) << "no binding window";

        const POINT p = centre(window);
        ASSERT_TRUE(move_pointer(p));
        ASSERT_TRUE(uncover(window, p));
        press(VK_F2);
        ASSERT_TRUE(wait_until([&] { return text(control(kestrune.main, Ctl::标签2)) == handle_text(window); }))
            << "the press did not take the target";
        EXPECT_EQ(text_wide(control(kestrune.main, Ctl::标签9)), c.shown);
    }
}

}  // namespace
