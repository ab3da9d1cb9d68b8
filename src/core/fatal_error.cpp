#include "core/fatal_error.h"

#include "core/seam.h"

const char* const index_below_one_message = "数组成员引用下标必须大于等于1";
const char* const index_above_count_message = "数组成员引用下标超出定义范围";

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
