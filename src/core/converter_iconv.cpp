// The converter where iconv exists: a handle is iconv's own descriptor.
#include <iconv.h>

#include "core/seam.h"

namespace {

iconv_t descriptor(seam::Converter handle) { return reinterpret_cast<iconv_t>(handle); }

}  // namespace

namespace seam {

Converter open_converter(const Text& from, const Text& to) {
    // iconv names the target first.
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return converter_failed;
    return reinterpret_cast<Converter>(cd);
}

Bytes convert_bytes(Converter handle, std::string_view input) {
    if (handle == converter_failed || handle == 0 || input.empty()) return Bytes();
    iconv_t cd = descriptor(handle);
    // Back to the initial shift state, so nothing of an earlier call carries over.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    // UTF-8 to GBK never grows; the slack covers encodings that might.
    Bytes output(input.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    // One call over the whole input: an invalid sequence (EILSEQ), a cut
    // character at the end (EINVAL), a character the target lacks (EILSEQ, or
    // a count of irreversible conversions) all give nothing at all.
    const std::size_t done = iconv(cd, &in, &in_left, &out, &out_left);
    // An error gives (size_t)-1 and irreversible conversions a count: both not 0.
    if (done != 0 || in_left != 0) return Bytes();
    // Ends a stateful target encoding's output in its initial state.
    if (iconv(cd, nullptr, nullptr, &out, &out_left) == static_cast<std::size_t>(-1)) return Bytes();
    output.resize(output.size() - out_left);
    return output;
}

bool close_converter(Converter handle) {
    if (handle == converter_failed || handle == 0) return false;
    return iconv_close(descriptor(handle)) == 0;
}

}  // namespace seam
