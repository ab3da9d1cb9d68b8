// The whole road: bind the practice target's input box with F2, send two
// lines into it, stop. What arrived is read from the target's transcript.
#include <gtest/gtest.h>

#include <cstdlib>

#include "kestrune.h"
#include "practice_target.h"

namespace {

using namespace e2e;

// What a label's handle names, for failure messages.
std::string named_window(HWND label) {
    const std::string shown = text(label);
    const HWND w = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::atoi(shown.c_str())));
    std::string cls;
    for (wchar_t c : class_name(w)) cls += static_cast<char>(c);
    return shown + " (class " + cls + ", " + describe(window_rect(w)) + ")";
}

TEST(BindAndSend, TypesEachLineIntoTheBoundInputBox) {
    const PracticeTarget target("bind-and-send");
    ASSERT_TRUE(target.window);
    const HWND input = target.input, send = target.send;

    const StartedKestrune started(IDYES);
    const HWND main = started.main;
    ASSERT_TRUE(main);
    const Process& kestrune = started.process;
    const HWND binding = wait_for_top_window(kestrune.id(), nullptr, "获取绑定窗口句柄");
    ASSERT_TRUE(binding);
    ASSERT_TRUE(wait_until([&] { return visible(binding); }));

    // The target above the main window, so that the pointer rests on it.
    ASSERT_TRUE(move_pointer(centre(input)));
    ASSERT_TRUE(uncover(target.window, centre(input))) << "the main window stays over the practice target";
    press(VK_F2);
    EXPECT_TRUE(wait_until([&] { return text(control(main, Ctl::标签2)) == handle_text(input); }))
        << "标签2 shows " << named_window(control(main, Ctl::标签2)) << ", the input box is " << handle_text(input)
        << " " << describe(window_rect(input));
    EXPECT_EQ(text(control(main, Ctl::标签9)), practice::input_text);
    // Again: the main window can come back over the target in between.
    ASSERT_TRUE(move_pointer(centre(send)));
    ASSERT_TRUE(uncover(target.window, centre(send))) << "the main window stays over the practice target";
    press(VK_F2);
    EXPECT_TRUE(wait_until([&] { return text(control(main, Ctl::标签4)) == handle_text(send); }))
        << "标签4 shows " << named_window(control(main, Ctl::标签4)) << ", Send is " << handle_text(send);
    EXPECT_TRUE(wait_until([&] { return !IsWindow(binding); })) << "the binding window stayed";

    // Two lines, no suffix, a short pause.
    SendMessageW(control(main, Ctl::编辑框1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"你好\r\nab"));
    SendMessageW(control(main, Ctl::编辑框2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"50"));
    click(control(main, Ctl::选择框1));
    ASSERT_TRUE(wait_until([&] { return check_state(control(main, Ctl::选择框1)) == BST_UNCHECKED; }));

    click(control(main, Ctl::按钮2));
    const std::vector<KeyMessage> expected{
        {"WM_CHAR", 0xC4, 0}, {"WM_CHAR", 0xE3, 0}, {"WM_CHAR", 0xBA, 0}, {"WM_CHAR", 0xC3, 0},
        {"WM_KEYDOWN", VK_RETURN, 0}, {"WM_CHAR", 'a', 0}, {"WM_CHAR", 'b', 0}, {"WM_KEYDOWN", VK_RETURN, 0},
    };
    std::vector<KeyMessage> actual;
    EXPECT_TRUE(wait_until([&] { return (actual = read_transcript(target.transcript).messages).size() >= expected.size(); }));
    EXPECT_EQ(text(main).rfind("正在进行第：", 0), 0u) << text(main);
    click(control(main, Ctl::按钮2));
    const auto end = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->text, "消息已经发送完毕！");
    answer(*end, IDOK);

    actual = read_transcript(target.transcript).messages;
    ASSERT_GE(actual.size(), expected.size()) << side_by_side(expected, actual);
    const std::vector<KeyMessage> first(actual.begin(), actual.begin() + static_cast<std::ptrdiff_t>(expected.size()));
    EXPECT_EQ(first, expected) << side_by_side(expected, actual);
    // Return follows a line's last byte after the 100 ms pause.
    EXPECT_GE(actual[4].tick - actual[3].tick, 90u);
}

}  // namespace
