// Binding: the prompt, the F2 captures and the window-under-pointer rule,
// against a fake window tree.
#include <gtest/gtest.h>

#include <utility>

#include "binding/binding.h"
#include "app/events.h"
#include "fake_seam.h"

namespace {

using fake::state;

// The binding's state under the names the cases use (the handlers change it).
std::int32_t& hotkey_id = binding_state.hotkey_id;
std::uint32_t& input_box_handle = binding_state.input_box_handle;
std::uint32_t& send_key_handle = binding_state.send_key_handle;

constexpr seam::Handle parent = 0x100;

// A window of the fake tree: its place in the Z order is the order of adding.
void add_window(seam::Handle h, seam::Rect r, seam::Handle owner = parent, bool visible = true,
                const Text& text = "") {
    state().others[h] = {owner, r, visible, text};
    state().z_order.push_back(h);
}

struct PointerCase {
    const char* name;
    std::function<void()> tree;  // builds the tree; the pointer is at 50, 50
    seam::Handle reported;       // what WindowFromPoint gives
    seam::Handle expected;
};

class WindowUnderPointer : public testing::TestWithParam<PointerCase> {};

TEST_P(WindowUnderPointer, Picks) {
    fake::reset();
    state().cursor = {50, 50};
    GetParam().tree();
    state().at_point = GetParam().reported;
    EXPECT_EQ(window_under_pointer(), GetParam().expected);
}

const PointerCase pointer_cases[] = {
    {"nothing_at_the_pointer", [] {}, 0, 0},
    {"top_level_window_is_taken_as_it_is",
     [] {
         add_window(1, {0, 0, 200, 200}, 0);
         add_window(2, {40, 40, 60, 60}, 0);
     },
     1, 1},
    {"smallest_later_sibling_wins",
     [] {
         add_window(1, {0, 0, 200, 200});   // a frame over the others
         add_window(2, {20, 20, 100, 100});  // 80 x 80
         add_window(3, {40, 40, 60, 60});    // 20 x 20: the input box
         add_window(4, {30, 30, 90, 90});    // 60 x 60, after the smallest
     },
     1, 3},
    {"siblings_above_are_never_looked_at",
     [] {
         add_window(2, {45, 45, 55, 55});
         add_window(1, {0, 0, 200, 200});
     },
     1, 1},
    {"other_parents_hidden_windows_and_misses_are_ignored",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {40, 40, 60, 60}, 0x200);         // another parent
         add_window(3, {40, 40, 60, 60}, parent, false);  // hidden
         add_window(4, {0, 0, 50, 50});                   // the pointer is on its right edge: outside
         add_window(5, {50, 50, 51, 51});                 // holds it: its top-left pixel
     },
     1, 5},
    // Each exclusion on a tree of its own, with no smaller window that holds
    // the pointer: the excluded window would win on its area alone.
    {"a_sibling_under_another_parent_is_ignored",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {40, 40, 60, 60}, 0x200);
     },
     1, 1},
    {"a_hidden_sibling_is_ignored",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {40, 40, 60, 60}, parent, false);
     },
     1, 1},
    {"the_right_edge_is_outside",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {0, 0, 50, 60});
     },
     1, 1},
    {"the_bottom_edge_is_outside",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {0, 0, 60, 50});
     },
     1, 1},
    {"a_tie_keeps_the_earlier_window",
     [] {
         add_window(1, {0, 0, 200, 200});
         add_window(2, {40, 40, 60, 60});
         add_window(3, {30, 30, 50 + 1, 50 + 1});  // 21 x 21: larger than 2
         add_window(4, {41, 41, 61, 61});           // 20 x 20 like 2
     },
     1, 2},
    {"equal_area_to_the_reported_window_does_not_replace_it",
     [] {
         add_window(1, {0, 0, 100, 100});
         add_window(2, {0, 0, 100, 100});
     },
     1, 1},
};

INSTANTIATE_TEST_SUITE_P(Trees, WindowUnderPointer, testing::ValuesIn(pointer_cases),
                         [](const auto& p) { return std::string(p.param.name); });

class Binding : public testing::Test {
protected:
    void SetUp() override {
        fake::reset();
        seam::create_window(Window::main);
        state().cursor = {50, 50};
    }
    // A click on 按钮1, the prompt answered with Yes: the binding window opens.
    void open_binding_window() {
        state().answers.push_back(seam::yes);
        on_event(Window::main, Event::click, Ctl::按钮1);
    }
    void pointer_over(seam::Handle h, const Text& text = "") {
        add_window(h, {0, 0, 100, 100}, 0, true, text);
        state().at_point = h;
    }
    // A press as a user makes it: down, then up again.
    void press_f2() {
        on_hotkey(hotkey_id);
        release_f2();
    }
    void release_f2() {
        if (std::exchange(state().f2_watched, false)) on_f2_released();
    }
    void dispatch() { seam::process_pending_events(); }
};

TEST_F(Binding, PromptAnsweredNoChangesNothing) {
    ask_to_bind();
    ASSERT_EQ(state().boxes.size(), 1u);
    EXPECT_EQ(state().boxes[0].text,
              "您的软件还未绑定需要喊话的窗口，请先绑定！\r\n您问您现在是否需要立即绑定窗口？");
    EXPECT_EQ(state().boxes[0].title, "信息：");
    EXPECT_EQ(state().boxes[0].buttons, seam::Buttons::yes_no);
    EXPECT_EQ(state().boxes[0].icon, seam::Icon::none);
    EXPECT_FALSE(fake::window(Window::binding).exists);
    EXPECT_TRUE(state().registrations.empty());
}

TEST_F(Binding, YesOpensTheWindowTopmostHoldingF2) {
    open_binding_window();
    const auto& w = fake::window(Window::binding);
    EXPECT_TRUE(w.exists);
    EXPECT_TRUE(w.topmost);
    EXPECT_TRUE(w.shown);
    ASSERT_EQ(state().registrations.size(), 1u);
    EXPECT_NE(hotkey_id, 0);
    EXPECT_EQ(hotkey_id, state().registrations[0]);
}

TEST_F(Binding, YesWhileOpenOnlyBringsItToTheFront) {
    open_binding_window();
    pointer_over(0x1234, "chat");
    press_f2();
    open_binding_window();
    EXPECT_EQ(fake::window(Window::binding).openings, 1);
    EXPECT_EQ(fake::window(Window::binding).brought_to_front, 1);
    EXPECT_EQ(state().registrations.size(), 1u);
    EXPECT_EQ(input_box_handle, 0x1234u);  // the half-finished binding goes on
}

TEST_F(Binding, TwoPressesTakeTheInputBoxThenTheSendKeyAndClose) {
    open_binding_window();
    pointer_over(0x80000010, "practice input");  // top bit set: shown negative
    press_f2();
    EXPECT_EQ(state().texts[Ctl::标签2], "-2147483632");
    EXPECT_EQ(state().texts[Ctl::标签9], "practice input");
    EXPECT_EQ(state().texts[Ctl::标签4], unbound_text);
    EXPECT_TRUE(fake::window(Window::binding).exists);
    EXPECT_EQ(state().answers.size(), 0u);

    pointer_over(0x4242);
    press_f2();
    EXPECT_EQ(state().texts[Ctl::标签4], "16962");
    EXPECT_EQ(send_key_handle, 0x4242u);
    // The close waits for the loop; the captured state is final already.
    EXPECT_TRUE(fake::window(Window::binding).exists);
    dispatch();
    EXPECT_FALSE(fake::window(Window::binding).exists);
    EXPECT_EQ(fake::window(Window::main).caption, "暂未绑定窗口");
}

TEST_F(Binding, AHeldF2IsOnePress) {
    open_binding_window();
    pointer_over(0x1111, "input");
    // The keyboard repeats a held key's key-down; each repeat is a hot-key event.
    for (int repeat = 0; repeat < 10; ++repeat) on_hotkey(hotkey_id);
    EXPECT_EQ(state().texts[Ctl::标签2], "4369");
    EXPECT_EQ(state().texts[Ctl::标签4], unbound_text);
    EXPECT_EQ(send_key_handle, 0u);
    EXPECT_EQ(fake::window(Window::binding).close_requests, 0);

    release_f2();
    pointer_over(0x2222);
    press_f2();
    EXPECT_EQ(state().texts[Ctl::标签4], "8738");
    EXPECT_EQ(fake::window(Window::binding).close_requests, 1);
}

TEST_F(Binding, FirstPressOverNothingKeepsWaiting) {
    open_binding_window();
    press_f2();
    EXPECT_EQ(input_box_handle, 0u);
    EXPECT_EQ(state().texts[Ctl::标签2], unbound_text);
    EXPECT_EQ(fake::window(Window::binding).close_requests, 0);
    pointer_over(0x55, "box");
    press_f2();
    EXPECT_EQ(input_box_handle, 0x55u);
}

TEST_F(Binding, SecondPressOverNothingStillCloses) {
    open_binding_window();
    pointer_over(0x55);
    press_f2();
    state().at_point = 0;
    press_f2();
    EXPECT_EQ(send_key_handle, 0u);
    EXPECT_EQ(state().texts[Ctl::标签4], unbound_text);
    dispatch();
    EXPECT_FALSE(fake::window(Window::binding).exists);
}

TEST_F(Binding, ExtraPressBeforeTheCloseTakesNothingAndClosesOnce) {
    open_binding_window();
    pointer_over(0x55);
    press_f2();
    pointer_over(0x66);
    press_f2();
    pointer_over(0x77);
    press_f2();
    EXPECT_EQ(send_key_handle, 0x66u);
    EXPECT_EQ(state().texts[Ctl::标签4], "102");
    dispatch();
    EXPECT_FALSE(fake::window(Window::binding).exists);
    EXPECT_EQ(fake::window(Window::binding).openings, 1);
}

TEST_F(Binding, ReopeningClearsTheHandlesButNotTheCaptions) {
    open_binding_window();
    pointer_over(0x55, "first");
    press_f2();
    pointer_over(0x66);
    press_f2();
    dispatch();
    const std::int32_t first_id = hotkey_id;

    open_binding_window();
    EXPECT_NE(hotkey_id, first_id);
    EXPECT_EQ(input_box_handle, 0u);
    EXPECT_EQ(send_key_handle, 0u);
    EXPECT_EQ(state().texts[Ctl::标签2], "85");
    EXPECT_EQ(state().texts[Ctl::标签9], "first");
    EXPECT_EQ(state().texts[Ctl::标签4], "102");

    on_hotkey(first_id);  // a press meant for the earlier registration
    EXPECT_EQ(input_box_handle, 0u);
    pointer_over(0x77, "second");
    press_f2();
    EXPECT_EQ(state().texts[Ctl::标签2], "119");
    EXPECT_EQ(state().texts[Ctl::标签9], "second");
}

TEST_F(Binding, RefusedF2LeavesTheWindowOpenAndPressesDoNothing) {
    state().refuse_hot_key = true;
    open_binding_window();
    EXPECT_TRUE(fake::window(Window::binding).shown);
    EXPECT_EQ(hotkey_id, 0);
    pointer_over(0x55);
    on_hotkey(0);
    EXPECT_EQ(input_box_handle, 0u);
    EXPECT_EQ(state().texts[Ctl::标签2], unbound_text);
}

TEST_F(Binding, PressesAfterTheMainWindowClosedWriteNothingAndStillClose) {
    open_binding_window();
    seam::queue_close(Window::main);
    dispatch();
    pointer_over(0x55);
    press_f2();
    pointer_over(0x66);
    press_f2();
    EXPECT_FALSE(state().touched_closed_main);
    dispatch();
    EXPECT_FALSE(fake::window(Window::binding).exists);
}

TEST(ReadWindowText, WholeTextOrEmpty) {
    fake::reset();
    add_window(7, {}, 0, true, "a longer window text");
    EXPECT_EQ(read_window_text(7), "a longer window text");
    EXPECT_EQ(read_window_text(8), "");  // not a window
}

}  // namespace
