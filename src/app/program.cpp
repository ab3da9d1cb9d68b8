#include "app/program.h"

#include "app/events.h"
#include "core/seam.h"
#include "update/update.h"

void on_program_exit() {
    update_state.page_text = Bytes();
    update_state.page_text.shrink_to_fit();
    update_state.latest_version = Text();
    update_state.latest_version.shrink_to_fit();
}

int program_main() {
    // The GUI layer is prepared by the caller, and the exit handler is the
    // call at the end below: the fatal error leaves through exit_process and
    // so never reaches it.
    //
    // The created event (the update check) runs inside the opening. A close
    // it asks for is still queued, so the window shows for a moment and
    // closes on the loop's first pass.
    if (!open_window(Window::main)) fatal_error(0, "载入启动窗口失败");
    if (seam::window_exists(Window::main) || seam::window_exists(Window::binding))
        seam::run_message_loop();
    on_program_exit();
    return 0;
}
