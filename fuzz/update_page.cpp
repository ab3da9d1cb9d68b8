// The update page's way from downloaded bytes to a decision, as the update
// check takes it: UTF-8 to GBK, the text up to the first zero byte, the
// version between the first two markers, the comparison with our version.
#include <cstddef>
#include <cstdint>
#include <string>

#include "check.h"
#include "core/text.h"
#include "update/update.h"

using seam::close_converter;
using seam::convert_bytes;
using seam::Converter;
using seam::converter_failed;
using seam::open_converter;

namespace {

// The marker character in GBK, spelt as bytes: this build's compiler writes
// literals in UTF-8.
constexpr std::string_view marker = "\xBA\xC7";

// Converts GBK back to UTF-8; opened once for the whole run.
Converter back_to_utf8() {
    static const Converter back = open_converter("GBK", "UTF-8");
    return back;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const Converter to_gbk = open_converter("UTF-8", "GBK");
    require(to_gbk != converter_failed, "UTF-8 to GBK opens");
    const Bytes gbk = convert_bytes(to_gbk, input);
    require(close_converter(to_gbk), "the converter closes");
    // All or nothing: whatever comes out is the whole page, unchanged.
    if (!gbk.empty())
        require(convert_bytes(back_to_utf8(), gbk) == input, "a converted page converts back to itself");
    if (is_ascii(input)) require(gbk == input, "an ASCII page stays as it is");

    const Text page = bytes_to_text(gbk);
    require(page.find('\0') == Text::npos && gbk.compare(0, page.size(), page) == 0,
            "the page text is the bytes up to the first zero byte");

    const Text version = text_between(page, marker, marker);
    if (!version.empty()) {
        const std::int32_t first = text_find(page, marker);
        require(first != -1, "a version comes after a marker");
        const std::size_t after = static_cast<std::size_t>(first) - 1 + marker.size();
        require(page.compare(after, version.size(), version) == 0 &&
                    page.compare(after + version.size(), marker.size(), marker) == 0,
                "the version is what stands between the first marker and the next");
        require(text_find(version, marker) == -1, "the version holds no marker");
    }

    const int order = text_compare(version, own_version);
    require(order >= -1 && order <= 1, "text_compare gives -1, 0 or 1");
    require((order == 0) == (version == own_version), "text_compare gives 0 for equal texts only");
    return 0;
}
