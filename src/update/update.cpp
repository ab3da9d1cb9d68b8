#include "update/update.h"

#include "core/seam.h"
#include "update/addresses.h"

UpdateState update_state;

Text text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                  std::int32_t start, bool ignore_case) {
    // A marker cannot hold a double quote literally where the page format
    // came from, so "#引号" stands for one.
    const Text s = text_replace(start_marker, "#引号", "\"");
    const Text e = text_replace(end_marker, "#引号", "\"");
    std::int32_t p = text_find(text, s, start, ignore_case);
    if (p != -1) p += text_length(s);
    // From just after the start marker, so the end marker is never the start
    // marker itself.
    const std::int32_t q = text_find(text, e, p, ignore_case);
    if (p == -1 || q == -1) return Text();
    return text_mid(text, p, q - p);
}

bool update_check() {
    auto& page_text = update_state.page_text;
    auto& converter = update_state.converter;
    auto& latest_version = update_state.latest_version;
    page_text = seam::fetch_url(update_page_address);
    converter = seam::open_converter("UTF-8", "GBK");
    page_text = seam::convert_bytes(converter, page_text);
    seam::close_converter(converter);
    {
        const Text page = bytes_to_text(page_text);
        latest_version = text_between(page, "呵", "呵");
    }
    if (text_compare(latest_version, own_version) == 0) return true;
    // Every failure (no page, no markers, a page that does not convert) ends
    // here too: the user is sent to the download rather than left with a
    // version that could not be checked.
    seam::message_box("已为你跳转最新下载地址", "信息：", seam::Buttons::ok, seam::Icon::none);
    seam::open_url(download_address);
    seam::queue_close(Window::main);
    return false;
}
