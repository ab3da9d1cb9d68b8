// The system's half of posting and of the clocks the send loop reads.
#include <windows.h>

#include <intrin.h>

#include "core/seam.h"

namespace seam {

void post(Handle h, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam) {
    // A handle that is no longer a window, or a full queue, loses the message;
    // typing goes on with the next one, so the result is not examined.
    // Handles are 32-bit values; 64-bit Windows sign-extends them.
    PostMessageA(reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h))), message,
                 static_cast<WPARAM>(wparam), static_cast<LPARAM>(static_cast<std::int32_t>(lparam)));
}

std::uint32_t tick_count() { return GetTickCount(); }

std::uint64_t read_time_stamp_counter() { return __rdtsc(); }

}  // namespace seam
