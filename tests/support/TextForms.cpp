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

} // namespace testsupport
