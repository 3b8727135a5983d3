#include "platform/core/NativeText.h"

#include <algorithm>

namespace NativeText {

namespace {

// Reserved characters in order of their index: trail bytes 40-7E, then 80-C1.
constexpr int kFirstRun = 0x7E - 0x40 + 1;
constexpr int kBackslashIndex = 0x80; // bytes 80-FF take the indexes below it

unsigned char trailOf(int index) {
    return static_cast<unsigned char>(index < kFirstRun ? 0x40 + index : 0x80 + index - kFirstRun);
}

// The byte the two bytes at text[at] stand for, or -1 when they are no reserved character.
int reservedByte(std::string_view text, std::size_t at) {
    if (at + 1 >= text.size() || static_cast<unsigned char>(text[at]) != kReservedLead)
        return -1;
    const auto trail = static_cast<unsigned char>(text[at + 1]);
    int index = -1;
    if (trail >= 0x40 && trail <= 0x7E)
        index = trail - 0x40;
    else if (trail >= 0x80)
        index = trail - 0x80 + kFirstRun;
    if (index < 0 || index > kBackslashIndex)
        return -1;
    return index == kBackslashIndex ? '\\' : 0x80 + index;
}

void appendReserved(std::string &cp932, unsigned char byte) {
    cp932 += static_cast<char>(kReservedLead);
    cp932 += static_cast<char>(trailOf(byte == '\\' ? kBackslashIndex : byte - 0x80));
}

// The length of the well-formed UTF-8 sequence at text[at]; 0 when none starts there.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : low;   // no overlong form
        high = c == 0xED ? 0x9F : high; // no surrogate
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : low;
        high = c == 0xF4 ? 0x8F : high; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto t = static_cast<unsigned char>(text[at + i]);
        if (i == 1 ? (t < low || t > high) : (t & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Whether the UTF-8 character must be written byte by byte; its cp932 form in cp932 otherwise.
bool needsBytes(std::string_view character, Kind kind, CString *cp932 = nullptr) {
    if (character.size() == 1)
        return kind == Kind::Path && character[0] == '\\';
    CString converted;
    std::string back;
    if (!Utf8ToCp932(character, converted) || !Cp932ToUtf8(converted.Bytes(), back) ||
        back != character)
        return true;
    if (kind == Kind::Path && static_cast<unsigned char>(converted[0]) == kReservedLead)
        return true;
    if (cp932 != nullptr)
        *cp932 = std::move(converted);
    return false;
}

bool hasReserved(std::string_view cp932) {
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp932[i]);
        if (c == kReservedLead)
            return true;
        if (CString::IsLeadByte(c))
            ++i;
    }
    return false;
}

// Calls plain(piece) for each run of ordinary characters and reserved(bytes, piece) for each run
// of reserved characters (the bytes they stand for, and the cp932 text of the run).
template <typename Plain, typename Reserved>
bool visit(std::string_view cp932, Plain plain, Reserved reserved) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < cp932.size()) {
        if (reservedByte(cp932, i) < 0) {
            i += CString::IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
            continue;
        }
        if (i > start && !plain(cp932.substr(start, i - start)))
            return false;
        std::string bytes;
        start = i;
        for (int byte; (byte = reservedByte(cp932, i)) >= 0; i += 2)
            bytes += static_cast<char>(byte);
        if (!reserved(std::string_view(bytes), cp932.substr(start, i - start)))
            return false;
        start = i;
    }
    i = std::min(i, cp932.size());
    return start >= i || plain(cp932.substr(start, i - start));
}

// The cp932 text converted to UTF-8; strict answers false on bytes that are no cp932, else
// each such character becomes U+FFFD.
bool plainToUtf8(std::string_view cp932, bool strict, std::string &utf8) {
    std::string out;
    if (Cp932ToUtf8(cp932, out)) {
        utf8 += out;
        return true;
    }
    if (strict)
        return false;
    for (std::size_t i = 0; i < cp932.size();) {
        // A lead byte and a byte of the trail range make one character; anything else is one.
        std::size_t length = 1;
        if (i + 1 < cp932.size() && CString::IsLeadByte(static_cast<unsigned char>(cp932[i]))) {
            const auto trail = static_cast<unsigned char>(cp932[i + 1]);
            if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))
                length = 2;
        }
        utf8 += Cp932ToUtf8(cp932.substr(i, length), out) ? out : "\xEF\xBF\xBD";
        i += length;
    }
    return true;
}

// Splits the bytes of a run of reserved characters (run, two cp932 bytes for each) into the
// characters they spell under the kind, given to spelled(character), and the rest, given to
// other(reserved characters of run).
template <typename Spelled, typename Other>
bool splitRun(std::string_view bytes, std::string_view run, Kind kind, Spelled spelled,
              Other other) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = utf8Length(bytes, i);
        if (length > 0 && needsBytes(bytes.substr(i, length), kind)) {
            if (!spelled(bytes.substr(i, length)))
                return false;
        } else {
            length = std::max<std::size_t>(length, 1);
            if (!other(run.substr(2 * i, 2 * length)))
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

CString FromNative(std::string_view native, Kind kind) {
    const bool backslash = kind == Kind::Path && native.find('\\') != std::string_view::npos;
    const bool ascii = std::all_of(native.begin(), native.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii && !backslash)
        return CString(native);
    if (!backslash) {
        CString whole;
        std::string back;
        if (Utf8ToCp932(native, whole) && Cp932ToUtf8(whole.Bytes(), back) && back == native &&
            (kind == Kind::Text || !hasReserved(whole.Bytes())))
            return whole;
    }
    std::string cp932;
    for (std::size_t i = 0; i < native.size();) {
        const std::size_t length = utf8Length(native, i);
        const std::string_view character = native.substr(i, std::max<std::size_t>(length, 1));
        CString converted;
        if (length == 0 || needsBytes(character, kind, &converted)) {
            for (const char byte : character)
                appendReserved(cp932, static_cast<unsigned char>(byte));
        } else {
            cp932 += length == 1 ? std::string(character) : converted.Bytes();
        }
        i += character.size();
    }
    return CString(std::move(cp932));
}

bool PathToNative(std::string_view cp932, std::string &native) {
    std::string out;
    const bool converted = visit(
        cp932,
        [&out](std::string_view plain) {
            std::string utf8;
            if (!Cp932ToUtf8(plain, utf8))
                return false;
            // Converted first: a trail byte of cp932 may be 0x5C.
            std::replace(utf8.begin(), utf8.end(), '\\', '/');
            out += utf8;
            return true;
        },
        [&out](std::string_view bytes, std::string_view) {
            out += bytes;
            return true;
        });
    if (!converted)
        return false;
    native = std::move(out);
    return true;
}

bool ToShownUtf8(std::string_view cp932, Kind kind, bool strict, std::string &utf8) {
    std::string out;
    if (!hasReserved(cp932)) {
        if (!plainToUtf8(cp932, strict, out))
            return false;
        utf8 = std::move(out);
        return true;
    }
    const auto plain = [&](std::string_view piece) { return plainToUtf8(piece, strict, out); };
    const bool converted = visit(cp932, plain, [&](std::string_view bytes, std::string_view run) {
        return splitRun(
            bytes, run, kind,
            [&out](std::string_view character) {
                out += character;
                return true;
            },
            plain);
    });
    if (!converted)
        return false;
    utf8 = std::move(out);
    return true;
}

CString ShownInCp932(const CString &text) {
    if (!hasReserved(text.Bytes()))
        return text;
    std::string out;
    visit(
        text.Bytes(),
        [&out](std::string_view plain) {
            out += plain;
            return true;
        },
        [&out](std::string_view bytes, std::string_view run) {
            return splitRun(
                bytes, run, Kind::Path,
                [&out](std::string_view character) {
                    out += FromUtf8(character).Bytes();
                    return true;
                },
                [&out](std::string_view other) {
                    out += other;
                    return true;
                });
        });
    return CString(std::move(out));
}

std::size_t CharacterLength(std::string_view cp932, std::size_t at) {
    if (at >= cp932.size())
        return 0;
    if (reservedByte(cp932, at) < 0)
        return CString::IsLeadByte(static_cast<unsigned char>(cp932[at])) && at + 1 < cp932.size()
                   ? 2
                   : 1;
    std::string bytes;
    for (std::size_t i = at; i < cp932.size() && bytes.size() < 4; i += 2) {
        const int byte = reservedByte(cp932, i);
        if (byte < 0)
            break;
        bytes += static_cast<char>(byte);
    }
    return 2 * std::max<std::size_t>(utf8Length(bytes, 0), 1);
}

} // namespace NativeText
