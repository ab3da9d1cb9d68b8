// The main window as the user first meets it: started against the fixture
// server publishing 1.0, the bind prompt answered with No.
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver.h"
#include "kestrune.h"
#include "core/forms.h"

namespace {

using namespace e2e;

const wchar_t* class_of(Kind kind) {
    switch (kind) {
        case Kind::label:
        case Kind::wrapping_label: return L"Static";
        case Kind::line_edit:
        case Kind::lines_edit: return L"Edit";
        default: return L"Button";
    }
}

const char* const main_caption = "暂未绑定窗口";
const char* const prompt_text = "您的软件还未绑定需要喊话的窗口，请先绑定！\r\n您问您现在是否需要立即绑定窗口？";

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listening());
        clear_browser_log();
        server.serve(update_path, Reply::page(utf8(u8"<html><body>最新版本：呵1.0呵</body></html>")));
        kestrune = Process::launch(kestrune_exe());
        ASSERT_TRUE(kestrune.running());
        prompt = wait_for_message_box(kestrune.id());
        ASSERT_TRUE(prompt) << "no bind prompt";
        // The window exists, hidden, while its created event shows the prompt.
        main_at_prompt = find_top_window(kestrune.id(), nullptr, main_caption);
        main_visible_at_prompt = main_at_prompt && visible(main_at_prompt);
        answer(*prompt, IDNO);
        ASSERT_TRUE(wait_until([&] {
            main = find_top_window(kestrune.id(), nullptr, main_caption);
            return main && visible(main);
        })) << "the main window was not shown";
    }

    HWND control(Ctl c) const { return e2e::control(main, c); }
    HWND focus() const { return focus_in_thread_of(main); }
    bool focus_becomes(Ctl c) const {
        return wait_until([&] { return focus() == control(c); }, 3000);
    }
    std::string focus_name() const {
        const HWND f = focus();
        for (const ControlForm& c : main_form().controls)
            if (f == control(static_cast<Ctl>(&c - main_form().controls.data()))) return c.name;
        return f ? "another window" : "nothing";
    }

    HttpServer server;
    Process kestrune;
    std::optional<MessageBoxInfo> prompt;
    HWND main = nullptr;
    HWND main_at_prompt = nullptr;
    bool main_visible_at_prompt = true;
};

TEST_F(MainWindow, AsksToBindBeforeTheWindowIsShown) {
    EXPECT_EQ(prompt->title, "信息：");
    EXPECT_EQ(prompt->text, prompt_text);
    EXPECT_EQ(main_at_prompt, main) << "the prompt came before the main window was made";
    EXPECT_FALSE(main_visible_at_prompt) << "the main window was visible while the prompt was open";
    ASSERT_FALSE(server.requests().empty());
    EXPECT_EQ(server.requests()[0].rfind(std::string("GET ") + update_path + " ", 0), 0u) << server.requests()[0];
    // No opens no binding window.
    EXPECT_EQ(find_top_window(kestrune.id(), nullptr, "获取绑定窗口句柄"), nullptr);
    EXPECT_TRUE(browser_log().empty()) << browser_log().front();
}

TEST_F(MainWindow, StandsCentredWithAFixedDialogFrame) {
    const RECT r = window_rect(main);
    EXPECT_EQ(describe(r), describe(RECT{108, 58, 108 + 584, 58 + 484}));
    EXPECT_EQ(text(main), main_caption);
    expect_fixed_dialog_frame(main);
    EXPECT_FALSE(ex_style(main) & WS_EX_TOPMOST);
}

TEST_F(MainWindow, ControlsMatchTheirForm) {
    const auto& form = main_form().controls;
    EXPECT_EQ(children(main).size(), form.size());
    for (std::size_t row = 0; row < form.size(); ++row) {
        const ControlForm& c = form[row];
        SCOPED_TRACE(c.name);
        const HWND w = control(static_cast<Ctl>(row));
        ASSERT_TRUE(w) << "no control with id " << 1000 + row;
        EXPECT_TRUE(class_is(w, class_of(c.kind))) << "class " << text(w);
        EXPECT_EQ(describe(rect_in_parent(w)), describe(RECT{c.x, c.y, c.x + c.width, c.y + c.height}));
        EXPECT_EQ(text(w), c.text);
        EXPECT_TRUE(visible(w));
        EXPECT_TRUE(enabled(w));
        if (c.kind == Kind::check_box || c.kind == Kind::radio_button) {
            EXPECT_EQ(check_state(w), c.checked ? BST_CHECKED : BST_UNCHECKED);
        }
    }
    // Stacking order: the form's rows from the top.
    const auto stack = children(main);
    for (std::size_t row = 0; row < form.size() && row < stack.size(); ++row)
        EXPECT_EQ(stack[row], control(static_cast<Ctl>(row))) << "at stacking position " << row;
}

TEST_F(MainWindow, TabWalksTheTabOrderBothWays) {
    ASSERT_TRUE(activate(main));
    const auto order = main_form().tab_order;
    ASSERT_TRUE(focus_becomes(order[0])) << "focus on " << focus_name();
    for (std::size_t i = 1; i <= order.size(); ++i) {
        press(VK_TAB);
        const Ctl next = order[i % order.size()];
        EXPECT_TRUE(focus_becomes(next)) << "Tab " << i << ": expected " << form_of(next).name << ", focus on "
                                         << focus_name();
    }
    for (std::size_t i = 1; i <= order.size(); ++i) {
        press(VK_TAB, {VK_SHIFT});
        const Ctl previous = order[(order.size() - i) % order.size()];
        EXPECT_TRUE(focus_becomes(previous)) << "Shift+Tab " << i << ": expected " << form_of(previous).name
                                             << ", focus on " << focus_name();
    }
}

TEST_F(MainWindow, EscapeInTheLinesEndsTheProgram) {
    ASSERT_TRUE(activate(main));
    ASSERT_TRUE(focus_becomes(Ctl::按钮1));
    press(VK_TAB);
    ASSERT_TRUE(focus_becomes(Ctl::编辑框1)) << "focus on " << focus_name();
    press(VK_ESCAPE);
    EXPECT_EQ(kestrune.wait_for_exit(10000), std::optional<DWORD>(0));
    EXPECT_EQ(find_message_box(kestrune.id()), std::nullopt);
}

TEST_F(MainWindow, EnterBreaksTheLineInTheLinesOnly) {
    ASSERT_TRUE(activate(main));
    ASSERT_TRUE(focus_becomes(Ctl::按钮1));
    press(VK_TAB);
    ASSERT_TRUE(focus_becomes(Ctl::编辑框1)) << "focus on " << focus_name();
    const std::string lines = form_of(Ctl::编辑框1).text;
    // The caret to the end, wherever the focus change left it.
    const int end = static_cast<int>(text_wide(control(Ctl::编辑框1)).size());
    SendMessageW(control(Ctl::编辑框1), EM_SETSEL, end, end);
    press(VK_RETURN);
    EXPECT_TRUE(wait_until([&] { return text(control(Ctl::编辑框1)) == lines + "\r\n"; }, 3000))
        << text(control(Ctl::编辑框1));
    EXPECT_EQ(focus(), control(Ctl::编辑框1));

    // Elsewhere Enter does nothing: no default button, the focus stays.
    press(VK_TAB);
    ASSERT_TRUE(focus_becomes(Ctl::按钮2));
    press(VK_RETURN);
    Sleep(300);  // time for a wrong reaction to show
    EXPECT_EQ(focus(), control(Ctl::按钮2));
    EXPECT_EQ(text(control(Ctl::按钮2)), "开始发送消息") << "Enter started sending";
    EXPECT_EQ(text(control(Ctl::编辑框1)), lines + "\r\n");
}

// Clicks and arrow keys on the two radio buttons; after each step exactly
// the expected one is selected, and keys leave the focus where expected.
TEST_F(MainWindow, RadioGroupNeverLeavesBothCleared) {
    ASSERT_TRUE(activate(main));
    ASSERT_TRUE(focus_becomes(Ctl::按钮1));
    struct Step {
        const char* what;
        std::function<void()> act;
        bool random_selected;  // 单选框1, else 单选框2
        Ctl focus;
    };
    // A click moves the focus to the button, as a click with the mouse does.
    const std::vector<Step> steps{
        {"click 单选框1", [&] { click(control(Ctl::单选框1)); }, true, Ctl::单选框1},
        {"click 单选框1 again", [&] { click(control(Ctl::单选框1)); }, true, Ctl::单选框1},
        {"click 单选框2", [&] { click(control(Ctl::单选框2)); }, false, Ctl::单选框2},
        {"click 单选框2 again", [&] { click(control(Ctl::单选框2)); }, false, Ctl::单选框2},
        {"Up", [&] { press(VK_UP); }, true, Ctl::单选框1},
        {"Down", [&] { press(VK_DOWN); }, false, Ctl::单选框2},
        {"Left", [&] { press(VK_LEFT); }, true, Ctl::单选框1},
        {"Right", [&] { press(VK_RIGHT); }, false, Ctl::单选框2},
        {"Up again", [&] { press(VK_UP); }, true, Ctl::单选框1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const int want1 = step.random_selected ? BST_CHECKED : BST_UNCHECKED;
        const int want2 = step.random_selected ? BST_UNCHECKED : BST_CHECKED;
        EXPECT_TRUE(wait_until([&] {
            return check_state(control(Ctl::单选框1)) == want1 && check_state(control(Ctl::单选框2)) == want2 &&
                   focus() == control(step.focus);
        }, 3000)) << "单选框1 " << check_state(control(Ctl::单选框1)) << ", 单选框2 "
                  << check_state(control(Ctl::单选框2)) << ", focus on " << focus_name();
    }
    EXPECT_EQ(check_state(control(Ctl::选择框1)), BST_CHECKED) << "the check box is not part of the group";
}

// tools/screenshot.sh: the main window for the README, when asked for.
using Screenshot = MainWindow;
TEST_F(Screenshot, MainWindowForTheReadme) {
    if (!std::getenv("KESTRUNE_SCREENSHOT")) GTEST_SKIP() << "set KESTRUNE_SCREENSHOT=1";
    ASSERT_TRUE(activate(main));
    ASSERT_TRUE(focus_becomes(Ctl::按钮1));
    Sleep(500);  // let every control paint
    CreateDirectoryW(build_path("e2e-artifacts").c_str(), nullptr);
    EXPECT_TRUE(save_screenshot(build_path("e2e-artifacts/main-window.bmp"), window_rect(main)));
}

}  // namespace
