#pragma once

#include "exchange/Dorrimet/JDivisionString.h"
#include "exchange/Pomtrek/ReadTextFile.h"

#include <cstdint>
#include <vector>

// A CSV reader that also knows the file's size and read position (for
// progress) and can record where each field of the current line stood, so
// that a line can be copied with some of its fields replaced.
class JReadCSVFile : public ReadCSVFile {
  public:
    JReadCSVFile(CString path, int mode, bool elmInfo);

    // The size when the file was opened; 0 when it did not open.
    std::uint64_t GetFileSize() const;
    // The byte position in the file; 0 when no file is open.
    std::uint64_t GetCurrentPos() const;
    // The current line as read, with its line feed; a line over the limit too.
    const CString &GetBufferStr() const;
    const std::vector<JDivStrElmInfo> &GetStrElmInfoVector() const;

  private:
    JDivisionString *m_fields; // the splitter owned by the base
    std::uint64_t m_fileSize = 0;
};
