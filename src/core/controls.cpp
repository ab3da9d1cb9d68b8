#include "core/controls.h"

#include "core/seam.h"

std::int32_t read_control_int(Ctl c) { return text_to_int(seam::control_text(c)); }
