#pragma once

#include "exchange/Pomtrek/FileStop.h"
#include "platform/core/CString.h"

#include <vector>

class Point;

// Splits a line at the separator. A field that starts with a double quote is searched for the
// separator from its closing quote on, so a quoted field keeps its separators. Each field is
// trimmed of blanks, then of double quotes, on both sides. A trailing separator adds no empty
// field. False (out untouched) for an empty line.
bool splitQuotedLine(const CString &separator, const CString &line, std::vector<CString> &out);

// One point of a point CSV file: its name and Tokyo-datum plane X, Y and height.
struct CsvPoint {
    CString name;
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
};

// Reads the points of a CSV file: every line of exactly four fields (name, X, Y, height) is a
// point; lines that start with ";" are comments and blank lines are passed over, other lines are
// skipped and counted. Numbers are read in the C locale whatever the process locale is. The
// file's encoding is decided as for every text file of other software (EncodedTextFile): a
// UTF-8 file is read into cp932.
class PointCsvReader : public FileStop {
  public:
    // False, with the line and the reason, when the file cannot be opened, holds no point line,
    // a number of a point's line does not read or a line cannot be read into cp932 (a character
    // cp932 lacks in a UTF-8 file); points then holds nothing.
    bool Read(const CString &path, std::vector<CsvPoint> &points);

    // The lines the last read skipped, and the first of them (0 when none was).
    int GetSkippedLines() const { return m_skipped; }
    int GetFirstSkippedLine() const { return m_firstSkipped; }

  private:
    int m_skipped = 0;
    int m_firstSkipped = 0;
};

// Why a file gave no point.
inline constexpr char kStopNoPoint[] =
    "点名,X座標,Y座標,標高をカンマ(,)で区切った座標の行がありません。";

// The heading line of the converted-point file.
inline constexpr char kConvertedCsvHeading[] = ";変換後の座標値の点名,X,Y,標高";

// Writes the heading line, then one line per point: its name and its JGD2000 X, Y and height
// of the whole area, three decimals in the C locale. A name holding a comma is quoted so that
// the file reads back. Throws CFileException, the file at path left as it was, when the file
// cannot be written.
void WriteConvertedCsv(const CString &path, const std::vector<const Point *> &points);
