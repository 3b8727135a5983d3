#include "platform/core/TextEncoding.h"

#include <algorithm>

namespace {

bool isJapanese(char32_t c) {
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

void TextEncodingDetector::Feed(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsDecided())
            return;
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 && m_pending == 0 && m_head < 0) {
            // A run of ASCII needs nothing but its length.
            const auto it =
                std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(i) + 1, bytes.end(),
                             [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
            i = static_cast<std::size_t>(it - bytes.begin()) - 1;
            continue;
        }
        feedByte(c);
    }
}

void TextEncodingDetector::feedByte(unsigned char c) {
    if (m_head >= 0) {
        if (c == static_cast<unsigned char>(MARK[static_cast<std::size_t>(m_head)])) {
            if (++m_head == static_cast<int>(MARK.size()))
                m_mark = true;
        } else {
            m_head = -1;
        }
    }
    if (!m_valid)
        return;
    if (m_pending > 0) {
        if ((c & 0xC0) != 0x80) {
            m_valid = false;
            return;
        }
        m_code = (m_code << 6) | (c & 0x3F);
        if (--m_pending == 0) {
            // No overlong form, no surrogate, nothing beyond U+10FFFF.
            if (m_code < m_least || (m_code >= 0xD800 && m_code <= 0xDFFF) || m_code > 0x10FFFF)
                m_valid = false;
            else if (isJapanese(m_code))
                m_japanese = true;
        }
        return;
    }
    if (c < 0x80)
        return;
    if (c >= 0xC2 && c <= 0xDF) {
        m_pending = 1;
        m_code = c & 0x1F;
        m_least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        m_pending = 2;
        m_code = c & 0x0F;
        m_least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        m_pending = 3;
        m_code = c & 0x07;
        m_least = 0x10000;
    } else {
        m_valid = false;
    }
}

TextEncoding TextEncodingDetector::GetEncoding() const {
    if (m_mark)
        return TextEncoding::Utf8;
    return m_valid && m_pending == 0 && m_japanese ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

bool TextEncodingDetector::IsValidUtf8(std::string_view bytes) {
    TextEncodingDetector detector;
    detector.m_head = -1; // a mark is a character like any other here
    detector.Feed(bytes);
    return detector.m_valid && detector.m_pending == 0;
}

TextLineFault DecodeTextLine(TextEncoding encoding, CString &line) {
    if (encoding == TextEncoding::Cp932 || isAscii(line.Bytes()))
        return TextLineFault::None;
    CString cp932;
    if (Utf8ToCp932(line.Bytes(), cp932)) {
        line = std::move(cp932);
        return TextLineFault::None;
    }
    return TextEncodingDetector::IsValidUtf8(line.Bytes()) ? TextLineFault::NotCp932
                                                           : TextLineFault::NotUtf8;
}

const char *TextLineFaultReason(TextLineFault fault) {
    switch (fault) {
    case TextLineFault::None:
        break;
    case TextLineFault::NotUtf8:
        return "UTF-8として正しくない文字があります。";
    case TextLineFault::NotCp932:
        return "シフトJISで表せない文字があります。";
    }
    return "";
}
