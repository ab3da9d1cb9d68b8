// The system's half of posting and of the clocks the send loop reads.
#include <windows.h>

#include <intrin.h>

#include "core/seam.h"

namespace seam {

PostResult post(Handle h, std::uint32_t message, std::uint32_t wparam, std::uint32_t lparam) {
    // Handles are 32-bit values; 64-bit Windows sign-extends them.
    if (PostMessageA(reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h))), message,
                     static_cast<WPARAM>(wparam), static_cast<LPARAM>(static_cast<std::int32_t>(lparam))))
        return PostResult::queued;
    switch (GetLastError()) {
        case ERROR_NOT_ENOUGH_QUOTA: return PostResult::queue_full;  // 10 000 posted messages by default
        case ERROR_INVALID_WINDOW_HANDLE: return PostResult::gone;
        case ERROR_ACCESS_DENIED: return PostResult::refused;  // user interface privilege isolation
        default: return PostResult::failed;
    }
}

std::uint32_t tick_count() { return GetTickCount(); }

std::uint64_t read_time_stamp_counter() { return __rdtsc(); }

}  // namespace seam
