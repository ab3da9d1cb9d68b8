// The binding window and the F2 captures against the real program and the
// practice target. The update page publishes 1.0, so every start asks to bind.
#include <gtest/gtest.h>

#include "kestrune.h"
#include "practice_target.h"

namespace {

using namespace e2e;

const char* const main_caption = "暂未绑定窗口";
const char* const binding_caption = "获取绑定窗口句柄";
// Time for a press or key that must do nothing to show a wrong reaction.
constexpr DWORD no_reaction_ms = 500;

// What GetWindowTextA gives for another program's window, as the program
// reads it for 标签9.
std::string ansi_window_text(HWND w) {
    char buffer[512] = {};
    const int n = GetWindowTextA(w, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string current_test_name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

// F2 held by another program: this one, for as long as the owner lives.
class HeldF2 {
public:
    static constexpr int id = 0x4B32;
    HeldF2() : held_(RegisterHotKey(nullptr, id, 0, VK_F2) != FALSE) {}
    HeldF2(const HeldF2&) = delete;
    HeldF2& operator=(const HeldF2&) = delete;
    ~HeldF2() {
        if (held_) UnregisterHotKey(nullptr, id);
    }
    bool held() const { return held_; }

private:
    bool held_;
};

// Kestrune started beside the practice target, its bind prompt open.
class Binding : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(target.window && target.input && target.send && target.history)
            << "the practice target did not come up";
        ASSERT_TRUE(server.listening());
        server.serve(update_path, Reply::page(utf8(u8"呵1.0呵")));
        kestrune = Process::launch(kestrune_exe());
        prompt = wait_for_message_box(kestrune.id());
        ASSERT_TRUE(prompt) << "no bind prompt";
        main = find_top_window(kestrune.id(), L"Kestrune.Main");
        ASSERT_TRUE(main) << "no main window behind the prompt";
    }

    // Yes to the prompt at start-up: the binding window comes up, then the
    // main window.
    void open_at_start() {
        answer(*prompt, IDYES);
        ASSERT_TRUE(binding_comes_up());
        ASSERT_TRUE(wait_until([&] { return visible(main); })) << "the main window was not shown";
        // Showing the main window activates it; that ends the start-up.
        ASSERT_TRUE(wait_until([&] { return GetForegroundWindow() == main; }));
    }

    bool binding_comes_up() {
        binding = wait_for_top_window(kestrune.id(), L"Kestrune.Binding");
        return binding && wait_until([&] { return visible(binding); });
    }

    // 按钮1 and Yes to its prompt.
    void rebind() {
        click(control(Ctl::按钮1));
        const auto box = wait_for_message_box(kestrune.id());
        ASSERT_TRUE(box) << "no prompt after 按钮1";
        answer(*box, IDYES);
        ASSERT_TRUE(wait_until([&] { return !IsWindow(box->window); }));
    }

    // F2 with the pointer resting on the centre of a window of the practice
    // target, raised above the main window, which overlaps it.
    void press_f2_over(HWND w) {
        const POINT p = centre(w);
        ASSERT_TRUE(move_pointer(p));
        ASSERT_TRUE(uncover(target.window, p)) << "the pointer rests on \""
                                               << text(GetAncestor(WindowFromPoint(p), GA_ROOT))
                                               << "\", not the practice target";
        press(VK_F2);
    }

    HWND control(Ctl c) const { return e2e::control(main, c); }
    std::string caption(Ctl c) const { return text(control(c)); }
    bool caption_becomes(Ctl c, const std::string& want) const {
        return wait_until([&] { return caption(c) == want; });
    }
    bool binding_closes() const {
        return wait_until([&] { return !IsWindow(binding); });
    }
    // The three captions that show a binding: 标签2, 标签9, 标签4.
    std::vector<std::string> binding_captions() const {
        return {caption(Ctl::标签2), caption(Ctl::标签9), caption(Ctl::标签4)};
    }

    PracticeTarget target{current_test_name()};
    HttpServer server;
    Process kestrune;
    std::optional<MessageBoxInfo> prompt;
    HWND main = nullptr, binding = nullptr;
};

const std::vector<std::string> unbound{unbound_text, unbound_text, unbound_text};

TEST_F(Binding, NoOpensNothing) {
    answer(*prompt, IDNO);
    ASSERT_TRUE(wait_until([&] { return visible(main); })) << "the main window was not shown";
    Sleep(no_reaction_ms);  // time for a binding window to come up
    EXPECT_EQ(find_top_window(kestrune.id(), L"Kestrune.Binding"), nullptr);
    EXPECT_EQ(binding_captions(), unbound);
    EXPECT_EQ(text(main), main_caption);
}

TEST_F(Binding, YesOpensTheBindingWindowBeforeTheMainWindowShows) {
    answer(*prompt, IDYES);
    // Polled without pause: the main window must never be seen shown while
    // the binding window is not.
    bool main_shown_first = false;
    const ULONGLONG end = GetTickCount64() + 15000;
    while (GetTickCount64() < end) {
        if (!binding) binding = find_top_window(kestrune.id(), L"Kestrune.Binding");
        const bool binding_shown = binding && visible(binding);
        if (visible(main) && !binding_shown) main_shown_first = true;
        if (binding_shown) break;
    }
    ASSERT_TRUE(binding && visible(binding)) << "no binding window";
    EXPECT_FALSE(main_shown_first) << "the main window was shown before the binding window";
    EXPECT_TRUE(wait_until([&] { return visible(main); })) << "the main window was not shown";

    EXPECT_EQ(text(binding), binding_caption);
    // Centred on the 800x600 desktop: (800 - 221) / 2, (600 - 167) / 2.
    EXPECT_EQ(describe(window_rect(binding)), describe(RECT{289, 216, 289 + 221, 216 + 167}));
    expect_fixed_dialog_frame(binding);
    EXPECT_TRUE(ex_style(binding) & WS_EX_TOPMOST);
    EXPECT_EQ(GetParent(binding), nullptr);

    const auto labels = children(binding);
    ASSERT_EQ(labels.size(), 1u);
    const HWND label = labels.front();
    const ControlForm& form = binding_form().controls[0];
    EXPECT_TRUE(class_is(label, L"Static")) << "class " << text(label);
    EXPECT_EQ(describe(rect_in_parent(label)), describe(RECT{8, 8, 8 + 200, 8 + 120}));
    EXPECT_EQ(text(label), form.text);
    EXPECT_TRUE(visible(label));
}

TEST_F(Binding, TwoPressesTakeTheInputBoxAndTheSendButton) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    // The compose frame lies over both: the rule picks the smallest visible
    // sibling below it that holds the pointer, the input box, then Send.
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    EXPECT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)))
        << "标签2 shows " << caption(Ctl::标签2) << ", the input box is " << handle_text(target.input)
        << ", the frame " << handle_text(target.frame);
    EXPECT_EQ(caption(Ctl::标签9), ansi_window_text(target.input));
    EXPECT_EQ(caption(Ctl::标签4), unbound_text);
    EXPECT_TRUE(IsWindow(binding)) << "the first press closed the binding window";

    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    EXPECT_TRUE(caption_becomes(Ctl::标签4, handle_text(target.send)))
        << "标签4 shows " << caption(Ctl::标签4) << ", Send is " << handle_text(target.send);
    EXPECT_TRUE(binding_closes());
    EXPECT_EQ(caption(Ctl::标签2), handle_text(target.input));
    EXPECT_EQ(text(main), main_caption);
    EXPECT_TRUE(kestrune.running());
}

// F3 and Tab do nothing; Esc closes the window and keeps what the first
// press took.
TEST_F(Binding, KeysInTheBindingWindow) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    ASSERT_TRUE(move_pointer(centre(target.input)));
    press(VK_F3);
    Sleep(no_reaction_ms);  // time for a capture to show
    EXPECT_EQ(binding_captions(), unbound) << "F3 captured";
    ASSERT_TRUE(IsWindow(binding));

    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    ASSERT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)));

    ASSERT_TRUE(activate(binding));
    const HWND focus = focus_in_thread_of(binding);
    press(VK_TAB);
    Sleep(no_reaction_ms);  // time for the focus to move or the window to go
    EXPECT_TRUE(IsWindow(binding));
    EXPECT_EQ(focus_in_thread_of(binding), focus);

    press(VK_ESCAPE);
    EXPECT_TRUE(binding_closes()) << "Esc did not close the binding window";
    EXPECT_TRUE(IsWindow(main) && visible(main));
    EXPECT_TRUE(kestrune.running());
    EXPECT_EQ(caption(Ctl::标签2), handle_text(target.input));
    EXPECT_EQ(caption(Ctl::标签9), ansi_window_text(target.input));
    EXPECT_EQ(caption(Ctl::标签4), unbound_text);
}

TEST_F(Binding, AHeldF2IsOnePress) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    const POINT p = centre(target.input);
    ASSERT_TRUE(move_pointer(p));
    ASSERT_TRUE(uncover(target.window, p));
    // Held: the keyboard repeats the key-down, then the key comes up once.
    for (int repeat = 0; repeat < 10; ++repeat) key_down(VK_F2);
    key_up(VK_F2);
    EXPECT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)));
    Sleep(no_reaction_ms);  // time for a wrong second capture
    EXPECT_EQ(caption(Ctl::标签4), unbound_text);
    EXPECT_TRUE(IsWindow(binding)) << "one held press closed the binding window";

    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    EXPECT_TRUE(caption_becomes(Ctl::标签4, handle_text(target.send)));
    EXPECT_TRUE(binding_closes());
}

// The binding window is topmost; every box of ours must still come up above
// it, or its buttons could not be reached and the program would look hung.
TEST_F(Binding, BoxesShowAboveTheBindingWindow) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    ASSERT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)));
    ASSERT_TRUE(IsWindow(binding));
    // Both boxes come up centred, where the binding window lies too.
    const auto expect_buttons_reachable = [&](const MessageBoxInfo& box) {
        std::size_t buttons = 0;
        for (HWND b : children(box.window)) {
            if (!class_is(b, L"Button") || !visible(b)) continue;
            ++buttons;
            const HWND hit = WindowFromPoint(centre(b));
            EXPECT_EQ(GetAncestor(hit, GA_ROOT), box.window)
                << "the centre of \"" << text(b) << "\" belongs to \"" << text(GetAncestor(hit, GA_ROOT)) << "\"";
        }
        EXPECT_GT(buttons, 0u);
    };

    click(control(Ctl::按钮1));
    const auto prompt_again = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(prompt_again) << "no prompt after 按钮1";
    ASSERT_TRUE(wait_until([&] { return visible(prompt_again->window); }));
    expect_buttons_reachable(*prompt_again);
    answer(*prompt_again, IDNO);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(prompt_again->window); }));

    // The end box of a run stopped while the binding window is open.
    SendMessageW(control(Ctl::编辑框2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"100"));
    click(control(Ctl::按钮2));
    ASSERT_TRUE(caption_becomes(Ctl::按钮2, "停止自动发送"));
    click(control(Ctl::按钮2));
    const auto end_box = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(end_box) << "no end box";
    EXPECT_EQ(end_box->text, "消息已经发送完毕！");
    ASSERT_TRUE(wait_until([&] { return visible(end_box->window); }));
    expect_buttons_reachable(*end_box);
    answer(*end_box, IDOK);
    EXPECT_TRUE(IsWindow(binding));
}

TEST_F(Binding, F2HeldByAnotherProgramHasNoEffect) {
    const HeldF2 f2;
    ASSERT_TRUE(f2.held());
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    Sleep(no_reaction_ms);  // time for a capture to show
    EXPECT_EQ(binding_captions(), unbound);
    EXPECT_TRUE(IsWindow(binding));
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    Sleep(no_reaction_ms);
    EXPECT_EQ(binding_captions(), unbound);
    EXPECT_TRUE(IsWindow(binding)) << "a press closed the binding window";
}

TEST_F(Binding, RebindingWhileOpenBringsTheWindowForwardAndGoesOn) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    ASSERT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)));
    ASSERT_NE(GetForegroundWindow(), binding);

    ASSERT_NO_FATAL_FAILURE(rebind());
    EXPECT_TRUE(wait_until([&] { return GetForegroundWindow() == binding; }, 5000))
        << "the binding window was not brought to the front";
    EXPECT_EQ(top_windows(kestrune.id(), L"Kestrune.Binding"), std::vector<HWND>{binding});

    // The first press still counts: the next one is the second.
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    EXPECT_TRUE(caption_becomes(Ctl::标签4, handle_text(target.send)));
    EXPECT_TRUE(binding_closes());
    EXPECT_EQ(caption(Ctl::标签2), handle_text(target.input));
}

TEST_F(Binding, TheBindingWindowOutlivesTheMainWindow) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    post(main, WM_CLOSE);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(main); })) << "the main window stayed";
    Sleep(no_reaction_ms);  // time for the process to end, wrongly
    ASSERT_TRUE(kestrune.running());
    ASSERT_TRUE(IsWindow(binding));

    // Nothing to write into: the first press takes the input box quietly.
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    Sleep(no_reaction_ms);  // time for a crash
    ASSERT_TRUE(kestrune.running());
    EXPECT_TRUE(IsWindow(binding));

    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    EXPECT_TRUE(binding_closes());
    EXPECT_EQ(kestrune.wait_for_exit(10000), std::optional<DWORD>(0));
}

TEST_F(Binding, ReopeningAfterAFullBindingOverwritesTheCaptions) {
    ASSERT_NO_FATAL_FAILURE(open_at_start());
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    ASSERT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.input)));
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.send));
    ASSERT_TRUE(caption_becomes(Ctl::标签4, handle_text(target.send)));
    ASSERT_TRUE(binding_closes());
    const auto first_binding = binding_captions();

    ASSERT_NO_FATAL_FAILURE(rebind());
    ASSERT_TRUE(binding_comes_up()) << "no new binding window";
    EXPECT_EQ(binding_captions(), first_binding) << "opening again changed the captions";

    // The first press after opening again takes the input box anew; each
    // caption changes only with its own press.
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.history));
    EXPECT_TRUE(caption_becomes(Ctl::标签2, handle_text(target.history)));
    EXPECT_EQ(caption(Ctl::标签9), ansi_window_text(target.history));
    EXPECT_EQ(caption(Ctl::标签4), handle_text(target.send));
    ASSERT_NO_FATAL_FAILURE(press_f2_over(target.input));
    EXPECT_TRUE(caption_becomes(Ctl::标签4, handle_text(target.input)));
    EXPECT_TRUE(binding_closes());
}

}  // namespace
