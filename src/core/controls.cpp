#include "core/controls.h"

#include "binding/binding.h"
#include "app/events.h"
#include "core/seam.h"
#include "sending/sending.h"

std::int32_t read_control_int(Ctl c) { return text_to_int(seam::control_text(c)); }

void on_click(Ctl button) {
    if (button == Ctl::按钮1) ask_to_bind();
    if (button == Ctl::按钮2) start_or_stop();
}
