#include "app/program.h"

#include "app/events.h"
#include "core/seam.h"

Bytes page_text;
Converter converter = 0;
Text latest_version;
std::int32_t hotkey_id = 0;
std::uint32_t input_box_handle = 0;
std::uint32_t send_key_handle = 0;
bool sending = false;

const char* const index_below_one_message = "数组成员引用下标必须大于等于1";
const char* const index_above_count_message = "数组成员引用下标超出定义范围";

void on_program_exit() {
    page_text = Bytes();
    page_text.shrink_to_fit();
    latest_version = Text();
    latest_version.shrink_to_fit();
}

Text fatal_error_text(std::int32_t code, const Text& message) {
    Text text = "运行时出错!\r\n\r\n";
    if (code != 0) text += text_join({"错误代码：", int_to_text(code), "\r\n\r\n"});
    if (!message.empty()) text += text_join({"错误信息：", message, "\r\n"});
    return text;
}

void fatal_error(std::int32_t code, const Text& message) {
    seam::message_box(fatal_error_text(code, message), "错误", seam::Buttons::ok, seam::Icon::error);
    // Straight out: the exit handler belongs to a normal end only.
    seam::exit_process(-1);
}

int program_main() {
    // The GUI layer is prepared by the caller, and the exit handler is the
    // call at the end below: the fatal error leaves through exit_process and
    // so never reaches it.
    if (!seam::create_window(Window::main)) fatal_error(0, "载入启动窗口失败");
    update_check();
    // A close asked for by the update check is still queued, so the window
    // shows for a moment and closes on the loop's first pass.
    if (seam::window_exists(Window::main)) seam::show_window(Window::main);
    if (seam::window_exists(Window::main) || seam::window_exists(Window::binding))
        seam::run_message_loop();
    on_program_exit();
    return 0;
}
