// Kestrune as the end-to-end tests meet it: its controls by name, window
// handles as it shows them, a started program with its main window up, and
// the key messages that typing a line should leave at the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "driver.h"
#include "core/forms.h"

namespace e2e {

// The GUI layer gives each control the id 1000 + its row in the form.
inline HWND control(HWND main, Ctl c) { return child_by_id(main, 1000 + static_cast<int>(c)); }

// A handle as the program shows it: the signed decimal text of its 32 bits.
inline std::string handle_text(HWND w) {
    return std::to_string(static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(w)));
}

// Both windows' frame: caption, system menu and minimise box, but neither
// maximised nor resized; top-level, owned by nothing.
inline void expect_fixed_dialog_frame(HWND w) {
    const LONG s = style(w);
    EXPECT_EQ(s & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(s & WS_SYSMENU);
    EXPECT_TRUE(s & WS_MINIMIZEBOX);
    EXPECT_FALSE(s & WS_MAXIMIZEBOX) << "it must not be maximised";
    EXPECT_FALSE(s & WS_THICKFRAME) << "it must not be resized";
    EXPECT_FALSE(s & WS_CHILD);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
}

// Kestrune started against the fixture server publishing its own version,
// the bind prompt answered with the given button. main stays null when the
// main window did not come up; a failed ASSERT inside says why.
struct StartedKestrune {
    explicit StartedKestrune(int answer_to_bind_prompt) {
        if (!server.listening()) return;
        server.serve(update_path, Reply::page(utf8(u8"呵1.0呵")));
        process = Process::launch(kestrune_exe());
        const auto prompt = wait_for_message_box(process.id());
        if (!prompt) return;
        answer(*prompt, answer_to_bind_prompt);
        HWND shown = nullptr;
        if (wait_until([&] { return (shown = find_top_window(process.id(), L"Kestrune.Main")) && visible(shown); }))
            main = shown;
    }

    HttpServer server;
    Process process;
    HWND main = nullptr;
};

// What typing one line leaves at the target: a WM_CHAR per GBK byte, lead
// byte first, then a key-down of Return; lParam 0 throughout, no key-up.
inline void append_typed(std::vector<KeyMessage>& messages, std::string_view line) {
    for (const char byte : line) messages.push_back({"WM_CHAR", static_cast<unsigned char>(byte), 0});
    messages.push_back({"WM_KEYDOWN", VK_RETURN, 0});
}

}  // namespace e2e
