// The life of the process: start-up order, the normal end and the fatal end.
#include <gtest/gtest.h>

#include <new>

#include "app/events.h"
#include "app/program.h"
#include "fake_seam.h"
#include "update/update.h"

namespace {

using fake::state;

// The update check's texts, which the exit handler frees.
const Bytes& page_text = update_state.page_text;
Text& latest_version = update_state.latest_version;

const char* const page_1_0 = "<p>\xE5\x91\xB5" "1.0\xE5\x91\xB5</p>";  // UTF-8
const char* const page_1_1 = "<p>\xE5\x91\xB5" "1.1\xE5\x91\xB5</p>";

class Program : public testing::Test {
protected:
    void SetUp() override { fake::reset(); }
};

TEST_F(Program, PublishedVersionEqualShowsThePromptBeforeTheMainWindowAndEndsWithZero) {
    state().pages[TEST_UPDATE_URL] = page_1_0;
    bool main_visible_at_prompt = true;
    state().on_box = [&](const fake::Box&) { main_visible_at_prompt = fake::window(Window::main).shown; };
    state().answers.push_back(seam::yes);
    // The user closes both windows later on.
    fake::at(1000, [] { seam::queue_close(Window::binding); });
    fake::at(2000, [] { seam::queue_close(Window::main); });

    EXPECT_EQ(program_main(), 0);
    EXPECT_FALSE(main_visible_at_prompt);
    EXPECT_EQ(state().shown_in_order, (std::vector<Window>{Window::binding, Window::main}));
    EXPECT_TRUE(state().loop_ran);
    // The exit handler has freed the shared texts.
    EXPECT_TRUE(page_text.empty());
    EXPECT_TRUE(latest_version.empty());
}

TEST_F(Program, AHandlerThatThrowsEndsAloneAndTheUserIsTold) {
    // Memory runs out in the middle of a run's first post.
    seam::create_window(Window::main);
    state().texts[Ctl::编辑框2] = "0";
    state().post_answer = [](std::size_t) -> seam::PostResult { throw std::bad_alloc(); };
    on_event(Window::main, Event::click, Ctl::按钮2);
    ASSERT_EQ(state().boxes.size(), 1u);
    EXPECT_EQ(state().boxes[0].text, "内存不足，刚才的操作没有完成。");
    EXPECT_EQ(state().boxes[0].icon, seam::Icon::none);

    // The program goes on: the next click is handled as ever.
    state().post_answer = nullptr;
    on_event(Window::main, Event::click, Ctl::按钮2);
    EXPECT_EQ(state().texts[Ctl::按钮2], "开始发送消息");
}

TEST_F(Program, UpdatePathShowsTheMainWindowThenClosesItInTheLoop) {
    state().pages[TEST_UPDATE_URL] = page_1_1;
    bool main_visible_at_box = true;
    state().on_box = [&](const fake::Box&) { main_visible_at_box = fake::window(Window::main).shown; };

    EXPECT_EQ(program_main(), 0);
    EXPECT_FALSE(main_visible_at_box);
    EXPECT_EQ(state().shown_in_order, std::vector<Window>{Window::main});
    EXPECT_FALSE(fake::window(Window::main).exists);
    EXPECT_TRUE(state().loop_ran);
}

TEST_F(Program, MainWindowThatCannotBeMadeIsFatalAndSkipsTheExitHandler) {
    state().main_creation_fails = true;
    latest_version = "kept";  // the exit handler would free it
    try {
        program_main();
        FAIL() << "the process should have ended";
    } catch (const fake::ProcessExit& exit) {
        EXPECT_EQ(exit.code, -1);
    }
    ASSERT_EQ(state().boxes.size(), 1u);
    EXPECT_EQ(state().boxes[0].text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(state().boxes[0].title, "错误");
    EXPECT_EQ(state().boxes[0].icon, seam::Icon::error);
    EXPECT_EQ(latest_version, "kept");
    EXPECT_TRUE(state().fetched.empty());
}

TEST_F(Program, ClosingTheMainWindowFirstKeepsTheProcessUntilTheBindingWindowGoes) {
    state().pages[TEST_UPDATE_URL] = page_1_0;
    state().answers.push_back(seam::yes);
    bool binding_open_after_main_closed = false;
    fake::at(1000, [] { seam::queue_close(Window::main); });
    fake::at(2000, [&] { binding_open_after_main_closed = fake::window(Window::binding).exists; });
    fake::at(3000, [] { seam::queue_close(Window::binding); });

    EXPECT_EQ(program_main(), 0);
    EXPECT_TRUE(binding_open_after_main_closed);
    EXPECT_EQ(state().now, 3000u);
}

// The event table: clicks on 按钮1 and 按钮2, nothing for the other controls
// or for events the table does not name.
TEST_F(Program, OnlyTheTablesEventsRunAHandler) {
    seam::create_window(Window::main);
    for (std::size_t row = 0; row < main_form().controls.size(); ++row) {
        const auto c = static_cast<Ctl>(row);
        if (c != Ctl::按钮1 && c != Ctl::按钮2) on_event(Window::main, Event::click, c);
    }
    on_event(Window::main, Event::hot_key, {}, 1);
    on_event(Window::binding, Event::click, Ctl::按钮1);
    EXPECT_TRUE(state().boxes.empty());
    EXPECT_EQ(state().texts[Ctl::按钮2], "开始发送消息");

    on_event(Window::main, Event::click, Ctl::按钮1);
    ASSERT_EQ(state().boxes.size(), 1u);
    EXPECT_EQ(state().boxes[0].buttons, seam::Buttons::yes_no);

    state().texts[Ctl::编辑框1] = "";  // a run that ends in its first cycle
    on_event(Window::main, Event::click, Ctl::按钮2);
    EXPECT_EQ(state().texts[Ctl::按钮2], "停止自动发送");
    ASSERT_EQ(state().boxes.size(), 2u);
    EXPECT_EQ(state().boxes[1].text, "消息已经发送完毕！");
}

}  // namespace
