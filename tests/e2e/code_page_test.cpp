// The program's own windows show their texts right where the system's ANSI
// code page is not 936. ctest runs this suite with the locale en_US.UTF-8
// (KESTRUNE_WINE_LC_ALL, tools/wine/run), whose ANSI code page is 1252: the
// program under test inherits it from the driver.
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

}  // namespace
