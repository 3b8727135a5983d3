#include "tests/support/TextForms.h"

#include "platform/core/CString.h"

#include <stdexcept>

namespace testsupport {

std::string WrittenAs(const std::vector<std::string> &cp932Lines, TextForm form) {
    const bool utf8 = form != TextForm::Cp932CrLf && form != TextForm::Cp932Lf;
    const bool crlf =
        form == TextForm::Cp932CrLf || form == TextForm::Utf8CrLf || form == TextForm::Utf8MarkCrLf;
    std::string out;
    if (form == TextForm::Utf8MarkLf || form == TextForm::Utf8MarkCrLf)
        out = "\xEF\xBB\xBF";
    for (const std::string &line : cp932Lines) {
        std::string text = line;
        if (utf8 && !Cp932ToUtf8(line, text))
            throw std::invalid_argument("a line that is not cp932");
        out += text + (crlf ? "\r\n" : "\n");
    }
    return out;
}

std::string WrittenAsUtf16(const std::vector<std::string> &cp932Lines, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto unit = [&](char32_t u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    std::string utf8;
    for (const std::string &line : cp932Lines) {
        if (!Cp932ToUtf8(line + "\r\n", utf8))
            throw std::invalid_argument("a line that is not cp932");
        for (std::size_t i = 0; i < utf8.size();) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            char32_t c = n == 1 ? lead : lead & (0x7F >> n);
            for (std::size_t k = 1; k < n; ++k)
                c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
            i += n;
            unit(c); // every character of cp932 lies in the first plane
        }
    }
    return out;
}

} // namespace testsupport
