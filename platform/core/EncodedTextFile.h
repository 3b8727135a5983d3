#pragma once

#include "platform/core/CStdioFile.h"
#include "platform/core/TextEncoding.h"

// A text file of other software, opened for reading. Open decides the file's encoding once for
// the whole file (TextEncodingDetector, in one pass that stops as soon as the bytes decide) and
// leaves the file at its first line, after the UTF-8 mark; ReadLine gives every line in cp932,
// each found to be cp932 or turned into it. A UTF-16 file gives one empty line at fault and
// ends there. Text mode as CStdioFile's: CR LF and a lone CR end a line, 0x1A ends the file.
class EncodedTextFile : public CStdioFile {
  public:
    // Refuses the write modes (invalidFile): this file is only read.
    bool Open(const CString &path, UINT flags, CFileException *error = nullptr) override;

    TextEncoding GetEncoding() const { return m_encoding; }

    // The next line in cp932 without its line end; false at the end of the file. lineEnd (may be
    // null) tells whether a line end followed the line. A line that cannot be read into cp932 is
    // given as it stands in the file and fault says why (TextLineFaultReason tells the user); it
    // is None otherwise.
    bool ReadLine(CString &line, TextLineFault &fault, bool *lineEnd = nullptr);

  private:
    // Reads the file through once for its encoding and goes back to its first line.
    void decideEncoding();

    TextEncoding m_encoding = TextEncoding::Cp932;
    bool m_refused = false; // the fault of a UTF-16 file was given
};
