#pragma once

#include "exchange/Pomtrek/DivisionString.h"

#include <cstdint>
#include <vector>

// Where one field stood in the line: its first index (blanks included) and the
// distance from there to the character that ended it.
struct JDivStrElmInfo {
    std::int32_t start;
    std::int32_t length;
};

// A splitter that can record the span of every field it reads or skips, empty
// fields included, so that entry i is the span of field i of the line.
class JDivisionString : public DivisionString {
  public:
    JDivisionString(unsigned capacity, int mode);

    int setString(const char *line) override;
    int removeString() override;
    int readString(unsigned max, char *out) override;
    int skip() override;
    int toTop() override;

    void SetElmInfoFlag(bool on);
    // The spans of the fields taken from the current line so far.
    const std::vector<JDivStrElmInfo> &GetStrElmInfoVector() const;
    // The whole current line.
    CString GetBufferStr() const;

  private:
    void record(unsigned start);

    std::vector<JDivStrElmInfo> m_elmInfo;
    bool m_elmInfoFlag = false;
};
