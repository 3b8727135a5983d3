#pragma once

#include <string>
#include <vector>

namespace testsupport {

// How other programs write a text file: in cp932 as the Windows programs do, or in UTF-8 with
// or without the mark, each with CR LF or LF line ends (numbered so in a test's messages).
enum class TextForm { Cp932CrLf, Cp932Lf, Utf8Lf, Utf8CrLf, Utf8MarkLf, Utf8MarkCrLf };

inline constexpr TextForm kAllTextForms[] = {TextForm::Cp932CrLf,  TextForm::Cp932Lf,
                                             TextForm::Utf8Lf,     TextForm::Utf8CrLf,
                                             TextForm::Utf8MarkLf, TextForm::Utf8MarkCrLf};

// The bytes of a u8"" literal, as a UTF-8 file of other software holds them, and as Linux
// programs and input methods give file names (typed, listed or chosen).
inline std::string Utf8Bytes(const char8_t *text) { return reinterpret_cast<const char *>(text); }

// The bytes of a file of the lines (cp932, as the tests' literals are) in the form, every line
// ended.
std::string WrittenAs(const std::vector<std::string> &cp932Lines, TextForm form);

// The bytes of a file of the lines as "Unicode text" of Windows editors and spreadsheets:
// UTF-16 with its mark (FF FE little-endian, FE FF big-endian), every line ended with CR LF.
std::string WrittenAsUtf16(const std::vector<std::string> &cp932Lines, bool bigEndian);

} // namespace testsupport
