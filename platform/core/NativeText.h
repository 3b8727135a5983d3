#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <string>
#include <string_view>

// Names and texts as the operating system and other programs spell them ("native": UTF-8, or
// bytes that are no UTF-8 at all), carried exactly inside the system's cp932 text. A character
// that cp932 holds and converts back to the very same bytes is its cp932 character. Every byte
// of any other character ("〜" U+301C and "−" U+2212, which cp932 holds only as the look-alikes
// "～" and "－"; "𠮷", emoji and the combining marks of decomposed kana, which it lacks), and
// every byte that is no UTF-8, becomes one user-defined character of lead byte F9, the reserved
// row: the bytes 80-FF are F940-F97E and F980-F9C0, "\" is F9C1. Nothing else in the system
// writes those characters.
namespace NativeText {

inline constexpr unsigned char kReservedLead = 0xF9;

enum class Kind {
    // A path or a file name: "\" (a separator of cp932 paths) and the characters of the
    // reserved row itself (U+E69C to U+E757, as a name the Windows program wrote holds them)
    // are written byte by byte too, so that the text gives back exactly the native bytes.
    Path,
    // A text that is read back as written (a settings value): "\" is itself, and a character of
    // the reserved row stands for itself.
    Text,
};

// The cp932 text of native bytes, by the rule above.
CString FromNative(std::string_view native, Kind kind);

// The native bytes of a path: each reserved character as the byte it stands for, everything
// else converted from cp932, a "\" of the text (a separator) as "/". False, with native
// untouched, when the text holds bytes that are no cp932.
bool PathToNative(std::string_view cp932, std::string &native);

// The text in UTF-8 for people and for UTF-8 files: a run of reserved characters that spells
// characters written byte by byte under the kind shows those characters; a reserved character
// that spells none (a byte that is no UTF-8) and every other character convert as cp932 gives
// them (a reserved character is then a user-defined character). Strict: false (utf8 untouched)
// on bytes that are no cp932; otherwise such a character becomes U+FFFD.
bool ToShownUtf8(std::string_view cp932, Kind kind, bool strict, std::string &utf8);

// The text as a cp932 file shows it: the characters that reserved characters spell (as a path
// writes them) become their cp932 form, the look-alike or "?" for a character cp932 lacks;
// everything else stays byte for byte.
CString ShownInCp932(const CString &text);

// The bytes of the character at index at: all the reserved characters of a native character
// written byte by byte, a double-byte character, or one byte.
std::size_t CharacterLength(std::string_view cp932, std::size_t at);

} // namespace NativeText
