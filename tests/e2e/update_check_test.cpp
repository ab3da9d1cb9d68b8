// The update check against the fixture server: which pages lead on to the
// bind prompt and which send the user to the download.
#include <gtest/gtest.h>

#include <cctype>
#include <optional>

#include "driver.h"

namespace {

using namespace e2e;

struct PageCase {
    const char* name;
    std::vector<std::pair<std::string, Reply>> replies;  // path and reply
    bool goes_on;  // to the bind prompt, else the update path
    bool listening = true;  // false: nothing listens on the update address at all
};

std::ostream& operator<<(std::ostream& out, const PageCase& c) { return out << c.name; }

const std::string published = utf8(u8"<p>当前版本：呵1.0呵</p>");

class UpdateCheck : public testing::TestWithParam<PageCase> {};

TEST_P(UpdateCheck, GoesOnOnlyWhenThePagePublishesThisVersion) {
    std::optional<HttpServer> server;
    if (GetParam().listening) {
        server.emplace();
        ASSERT_TRUE(server->listening());
        for (const auto& [path, reply] : GetParam().replies) server->serve(path, reply);
    }
    clear_browser_log();

    Process kestrune = Process::launch(kestrune_exe());
    const auto box = wait_for_message_box(kestrune.id());
    ASSERT_TRUE(box);
    // Whatever the page, reading it stops at a few megabytes: under Wine the
    // program peaks near 25 MB on a short page and 40 MB on an endless one.
    if (const auto peak = peak_working_set(kestrune.id())) {
        EXPECT_LT(*peak, 64u << 20) << "peak working set";
    }
    EXPECT_EQ(box->title, "信息：");
    for (HWND w : top_windows(kestrune.id()))
        EXPECT_FALSE(w != box->window && visible(w)) << "visible during the box: " << text(w);

    if (GetParam().goes_on) {
        EXPECT_EQ(box->text.rfind("您的软件还未绑定需要喊话的窗口", 0), 0u) << box->text;
        answer(*box, IDNO);
        EXPECT_TRUE(wait_until([&] {
            const HWND main = find_top_window(kestrune.id(), nullptr, "暂未绑定窗口");
            return main && visible(main);
        }));
        EXPECT_TRUE(kestrune.running());
        return;
    }
    EXPECT_EQ(box->text, "已为你跳转最新下载地址");
    answer(*box, IDOK);
    EXPECT_EQ(kestrune.wait_for_exit(10000), std::optional<DWORD>(0));
    EXPECT_TRUE(wait_until([] { return !browser_log().empty(); }, 5000)) << "the browser was not opened";
    EXPECT_EQ(browser_log(), std::vector<std::string>{download_url()});
}

const PageCase pages[] = {
    {"Published", {{update_path, Reply::page(published)}}, true},
    {"Newer", {{update_path, Reply::page(utf8(u8"呵1.1呵"))}}, false},
    {"LoneMarkerFirst", {{update_path, Reply::page(utf8(u8"呵abc呵1.0呵"))}}, false},
    // An error page is read like any other.
    {"NotFoundPage", {{update_path, Reply::page(published, "HTTP/1.1 404 Not Found")}}, true},
    {"Redirected", {{update_path, Reply::redirect("/elsewhere")}, {"/elsewhere", Reply::page(published)}}, true},
    // A character GBK lacks spoils the whole page.
    {"EmojiInPage", {{update_path, Reply::page(published + utf8(u8"\U0001F600"))}}, false},
    {"NoAnswer", {{update_path, Reply::no_answer()}}, false},
    {"NoServer", {}, false, false},
    // The program stops reading at its cap and finds no version in the bytes.
    {"EndlessPage", {{update_path, Reply::endless()}}, false},
};
INSTANTIATE_TEST_SUITE_P(Pages, UpdateCheck, testing::ValuesIn(pages),
                         [](const auto& p) { return std::string(p.param.name); });

// One plain request, shaped the way the published page has always been
// fetched, and nothing about the user in it.
TEST(UpdateRequest, IsOneBareHttp10Get) {
    HttpServer server;
    ASSERT_TRUE(server.listening());
    server.serve(update_path, Reply::page(published));
    Process kestrune = Process::launch(kestrune_exe());
    ASSERT_TRUE(wait_for_message_box(kestrune.id()));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_EQ(head.rfind(std::string("GET ") + update_path + " HTTP/1.0\r\n", 0), 0u) << head;
    const auto has_line = [&](const std::string& line) {
        return head.find("\r\n" + line + "\r\n") != std::string::npos;
    };
    EXPECT_TRUE(has_line("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)")) << head;
    EXPECT_TRUE(has_line("Accept: */*")) << head;
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lower.find("\r\nreferer:"), std::string::npos) << head;
    EXPECT_EQ(lower.find("\r\ncookie:"), std::string::npos) << head;
}

}  // namespace
