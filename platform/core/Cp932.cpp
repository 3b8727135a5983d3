#include "platform/core/CString.h"
#include "platform/core/NativeText.h"
#include "platform/core/TextEncoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <string>

namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
  public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
        }
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts as much of in as it can, appending to out. Answers 0 when all of
    // in is converted, else the errno that stopped it (in then starts at the
    // offending bytes).
    int Run(std::string_view &in, std::string &out) {
        char buffer[1024];
        while (!in.empty()) {
            char *src = const_cast<char *>(in.data());
            std::size_t srcLeft = in.size();
            char *dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            in.remove_prefix(in.size() - srcLeft);
            if (rc == static_cast<std::size_t>(-1) && err != E2BIG) {
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
                return err;
            }
        }
        return 0;
    }

  private:
    iconv_t m_cd;
};

// The descriptors of the two directions, one of each per thread, opened once and kept: opening
// one costs far more than converting a name.
Converter &toUtf8() {
    thread_local Converter conv("UTF-8", "CP932");
    return conv;
}

Converter &fromUtf8() {
    thread_local Converter conv("CP932", "UTF-8");
    return conv;
}

// Bytes of the UTF-8 sequence that failed to convert: a well-formed sequence
// is skipped whole, a malformed byte alone.
std::size_t Utf8SkipLength(std::string_view in) {
    const auto c = static_cast<unsigned char>(in[0]);
    std::size_t len = 1;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
    }
    if (len > in.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < len; ++i) {
        if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return len;
}

// The character at the start of a non-empty UTF-8 text and the bytes it takes; U+FFFD for a
// byte that starts no well-formed sequence, taken alone.
char32_t utf8Character(std::string_view utf8, std::size_t &length) {
    length = Utf8SkipLength(utf8);
    const auto lead = static_cast<unsigned char>(utf8[0]);
    if (length == 1)
        return lead < 0x80 ? lead : U'\uFFFD';
    char32_t c = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < length; ++i)
        c = (c << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    return c;
}

} // namespace

bool Cp932ToUtf8(std::string_view cp932, std::string &utf8) {
    Converter &conv = toUtf8();
    std::string out;
    if (conv.Run(cp932, out) != 0) {
        return false;
    }
    utf8 = std::move(out);
    return true;
}

bool Utf8ToCp932(std::string_view utf8, CString &cp932) {
    Converter &conv = fromUtf8();
    std::string out;
    if (conv.Run(utf8, out) != 0) {
        return false;
    }
    cp932 = CString(std::move(out));
    return true;
}

std::size_t FirstInvalidCp932(std::string_view cp932) {
    Converter &conv = toUtf8();
    std::string_view rest = cp932;
    std::string out;
    if (conv.Run(rest, out) == 0)
        return std::string_view::npos;
    return cp932.size() - rest.size();
}

std::string ToUtf8(const CString &cp932) {
    std::string out;
    NativeText::ToShownUtf8(cp932.Bytes(), NativeText::Kind::Path, false, out);
    return out;
}

CString FromUtf8(std::string_view utf8) {
    Converter &conv = fromUtf8();
    std::string out;
    while (conv.Run(utf8, out) != 0) {
        out += '?';
        utf8.remove_prefix(Utf8SkipLength(utf8));
    }
    return CString(std::move(out));
}

std::u32string Cp932LackedCharacters(std::string_view utf8) {
    Converter &conv = fromUtf8();
    std::string out;
    std::u32string lacked;
    while (conv.Run(utf8, out) != 0) {
        std::size_t n = 0;
        const char32_t c = utf8Character(utf8, n);
        if (lacked.find(c) == std::u32string::npos)
            lacked += c;
        utf8.remove_prefix(n);
    }
    return lacked;
}

CString Utf8CharacterCode(std::string_view utf8, std::size_t &length) {
    const char32_t c = utf8Character(utf8, length);
    CString text;
    if (c == U'\uFFFD' && length == 1)
        text.Format("0x%02X", static_cast<unsigned>(static_cast<unsigned char>(utf8[0])));
    else
        text.Format("U+%04X", static_cast<unsigned>(c));
    return text;
}

CString HexBytes(std::string_view bytes) {
    CString text;
    for (const char c : bytes)
        text.AppendFormat(text.IsEmpty() ? "%02X" : " %02X", static_cast<unsigned char>(c));
    return text;
}
