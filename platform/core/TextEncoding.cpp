#include "platform/core/TextEncoding.h"

#include <algorithm>

namespace {

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
        if (c < 0x80 && m_pending == 0 && m_head < 0 && m_fed >= 2) {
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
    if (m_fed < 2) {
        if (m_fed == 1)
            m_utf16 = (m_first == 0xFF && c == 0xFE) || (m_first == 0xFE && c == 0xFF);
        m_first = c;
        ++m_fed;
    }
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
            else if (m_code >= 0x800)
                m_wide = true;
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
    if (m_utf16)
        return TextEncoding::Utf16;
    if (m_mark)
        return TextEncoding::Utf8;
    return m_valid && m_pending == 0 && m_wide ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

bool TextEncodingDetector::IsValidUtf8(std::string_view bytes) {
    std::size_t length = 0;
    return FirstInvalidUtf8(bytes, length) == std::string_view::npos;
}

std::size_t TextEncodingDetector::FirstInvalidUtf8(std::string_view bytes, std::size_t &length) {
    TextEncodingDetector detector;
    // A mark is a character like any other here.
    detector.m_head = -1;
    detector.m_fed = 2;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool within = detector.m_pending > 0;
        if (!within)
            start = i;
        detector.feedByte(c);
        if (!detector.m_valid) {
            // A byte that breaks off a sequence is no part of it.
            const bool broken = within && (c & 0xC0) != 0x80;
            length = i - start + (broken ? 0 : 1);
            return start;
        }
    }
    if (detector.m_pending > 0) {
        length = bytes.size() - start;
        return start;
    }
    length = 0;
    return std::string_view::npos;
}

TextLineFault DecodeTextLine(TextEncoding encoding, CString &line) {
    if (encoding == TextEncoding::Utf16)
        return TextLineFault::Utf16;
    if (isAscii(line.Bytes()))
        return TextLineFault::None;
    if (encoding == TextEncoding::Cp932) {
        if (FirstInvalidCp932(line.Bytes()) != std::string_view::npos)
            return TextLineFault::BadCp932;
        // In valid UTF-8 a byte from E0 up starts a character of three or four bytes.
        CString utf8Reading;
        const bool wide = std::any_of(line.Bytes().begin(), line.Bytes().end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0xE0; });
        if (wide && TextEncodingDetector::IsValidUtf8(line.Bytes()) &&
            Utf8ToCp932(line.Bytes(), utf8Reading))
            return TextLineFault::MixedUtf8;
        return TextLineFault::None;
    }
    CString cp932;
    if (Utf8ToCp932(line.Bytes(), cp932)) {
        line = std::move(cp932);
        return TextLineFault::None;
    }
    return TextEncodingDetector::IsValidUtf8(line.Bytes()) ? TextLineFault::NotCp932
                                                           : TextLineFault::NotUtf8;
}

CString TextLineFaultReason(TextLineFault fault, const CString &line) {
    const std::string &bytes = line.Bytes();
    CString reason;
    switch (fault) {
    case TextLineFault::None:
        break;
    case TextLineFault::NotUtf8: {
        std::size_t length = 0;
        std::size_t at = TextEncodingDetector::FirstInvalidUtf8(bytes, length);
        if (at == std::string_view::npos)
            at = bytes.size();
        reason.Format("UTF-8として正しくないバイト列(%s)があります。",
                      HexBytes(std::string_view(bytes).substr(at, length)).GetString());
        break;
    }
    case TextLineFault::NotCp932: {
        CString codes;
        for (const char32_t c : Cp932LackedCharacters(bytes))
            codes.AppendFormat(codes.IsEmpty() ? "U+%04X" : "、U+%04X", static_cast<unsigned>(c));
        reason.Format("シフトJISで表せない文字(%s)があります。", codes.GetString());
        break;
    }
    case TextLineFault::BadCp932: {
        // A lead byte is named with the byte after it, which cannot follow it.
        std::size_t at = FirstInvalidCp932(bytes);
        if (at == std::string_view::npos)
            at = bytes.size();
        const bool lead =
            at < bytes.size() && CString::IsLeadByte(static_cast<unsigned char>(bytes[at]));
        reason.Format("シフトJISとして正しくないバイト列(%s)があります。",
                      HexBytes(std::string_view(bytes).substr(at, lead ? 2 : 1)).GetString());
        break;
    }
    case TextLineFault::Utf16:
        reason = "UTF-16のファイルは読み込めません。Shift_JISかUTF-8で保存し直してください。";
        break;
    case TextLineFault::MixedUtf8:
        reason = "UTF-8の行とShift_JISの行が混在しています。Shift_JISかUTF-8のどちらかにそろえて"
                 "保存し直してください。";
        break;
    }
    return reason;
}
