#pragma once

#include "exchange/Pomtrek/FileStop.h"
#include "platform/core/CString.h"

#include <vector>

class Point;

// Splits a line at the separator. A field that starts with a double quote is searched for the
// separator from its closing quote on, so a quoted field keeps its separators; a quoted field
// that ends at its closing quote (blanks aside) is taken as written between the quotes, with each
// doubled quote read as one. Any other field is trimmed of blanks, then of double quotes, on both
// sides. A trailing separator adds no empty field. False (out untouched) for an empty line.
bool splitQuotedLine(const CString &separator, const CString &line, std::vector<CString> &out);

// One point of a point CSV file: its name and Tokyo-datum plane X, Y and height.
struct CsvPoint {
    CString name;
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
};

// Reads the points of a CSV file: every line of exactly four fields (name, X, Y, height) is a
// point; lines that start with ";" are comments and blank lines are passed over. Other lines,
// a line before the first point whose three number fields are none of them numbers (a heading)
// and a point written with decimal commas (its fields between semicolons or tabs) are passed over
// and counted (GetPassedOverCount). Numbers are read in the C locale whatever the process locale
// is. The file's encoding is decided as for every text file of other software (EncodedTextFile): a
// UTF-8 file is read into cp932, a cp932 file is checked to be cp932.
class PointCsvReader : public FileStop {
  public:
    // False, with the line and the reason, when the file cannot be opened, holds no point line,
    // a number of a point's line does not read or lies outside +-kCoordinateLimit, a line holds
    // a NUL, or a line cannot be read into cp932 (a character cp932 lacks in a UTF-8 file, bytes
    // that are no cp932, a UTF-16 file); points then holds nothing.
    bool Read(const CString &path, std::vector<CsvPoint> &points);

    // Of the lines passed over, those taken for a heading.
    int GetHeadingCount() const { return m_headings; }

  private:
    int m_headings = 0;
};

// The largest X, Y or height a target may have, in either direction (the point dialog's range).
inline constexpr double kCoordinateLimit = 100000.0;

// Why a file gave no point.
inline constexpr char kStopNoPoint[] =
    "点名,X座標,Y座標,標高をカンマ(,)で区切った座標の行がありません。";

// The heading line of the converted-point file.
inline constexpr char kConvertedCsvHeading[] = ";変換後の座標値の点名,X,Y,標高";

// A coordinate as the program shows and writes it: three decimals in the C locale, never
// "-0.000".
CString CoordText(double value);

// A name as a field of the converted-point file: as it stands, or quoted, with its double
// quotes doubled, when it starts with ";", has blanks at either end or holds a double quote or
// a comma, so that PointCsvReader reads it back unchanged.
CString CsvNameField(const CString &name);

// Writes the heading line, then one line per point: its name (CsvNameField) and its JGD2000 X,
// Y and height of the whole area (CoordText). Throws CFileException, the file at path left as
// it was, when the file cannot be written.
void WriteConvertedCsv(const CString &path, const std::vector<const Point *> &points);
