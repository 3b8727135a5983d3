#include "zentrova/PointCsv.h"

#include "platform/core/CStdioFile.h"
#include "platform/core/EncodedTextFile.h"
#include "platform/core/Numbers.h"
#include "veltrane/model/Point.h"

#include <cmath>
#include <string>

namespace {

// A field that starts with a quote at start and ends at its closing quote, blanks aside, before
// the separator or the line's end: its text between the quotes, doubled quotes read as one, and
// where the next field starts (-1 when none follows). False for any other field. A quote or a
// comma is never the trail byte of a cp932 character, so the bytes can be walked one by one.
bool quotedField(const CString &separator, const CString &line, int start, CString &field,
                 int &next) {
    const std::string &bytes = line.Bytes();
    std::string text;
    std::size_t i = static_cast<std::size_t>(start) + 1;
    for (;; ++i) {
        if (i >= bytes.size())
            return false; // never closed
        if (bytes[i] != '"') {
            text += bytes[i];
        } else if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            break;
        }
    }
    const int sep = separator.IsEmpty() ? -1 : line.Find(separator, static_cast<int>(i) + 1);
    const int tailEnd = sep < 0 ? line.GetLength() : sep;
    if (!line.Mid(static_cast<int>(i) + 1, tailEnd - static_cast<int>(i) - 1).Trim().IsEmpty())
        return false;
    field = CString(text);
    next = sep < 0 ? -1 : sep + separator.GetLength();
    return true;
}

} // namespace

bool splitQuotedLine(const CString &separator, const CString &line, std::vector<CString> &out) {
    if (line.IsEmpty())
        return false;
    out.clear();
    const int length = line.GetLength();
    int start = 0;
    while (true) {
        CString field;
        int next = -1;
        if (line[start] != '"' || !quotedField(separator, line, start, field, next)) {
            int from = start;
            if (line[start] == '"') {
                const int close = line.Find('"', start + 1);
                from = close >= 0 ? close : start + 1;
            }
            const int sep = separator.IsEmpty() ? -1 : line.Find(separator, from);
            field = sep < 0 ? line.Mid(start) : line.Mid(start, sep - start);
            field.TrimLeft();
            field.TrimLeft('"');
            field.TrimRight();
            field.TrimRight('"');
            next = sep < 0 ? -1 : sep + separator.GetLength();
        }
        out.push_back(field);
        if (next < 0 || next >= length)
            break;
        start = next;
    }
    return true;
}

namespace {

// A point (name, X, Y, height) as spreadsheets with decimal commas write it: four fields between
// semicolons or tabs, the three numbers with a decimal comma or point.
bool isDecimalCommaPoint(const CString &line) {
    std::vector<CString> fields;
    for (const char *separator : {";", "\t"}) {
        if (!splitQuotedLine(separator, line, fields) || fields.size() != 4)
            continue;
        bool numbers = true;
        for (int i = 1; i < 4 && numbers; ++i) {
            CString text = fields[static_cast<std::size_t>(i)];
            text.Replace(',', '.');
            double value = 0.0;
            numbers = ParseDouble(text.Bytes(), value);
        }
        if (numbers)
            return true;
    }
    return false;
}

} // namespace

bool PointCsvReader::Read(const CString &path, std::vector<CsvPoint> &points) {
    ClearStop();
    points.clear();
    m_headings = 0;
    EncodedTextFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        SetStop(0, kStopOpen);
        return false;
    }
    static const char *const kWhat[] = {"X座標", "Y座標", "標高"};
    const auto stop = [&](int line, const CString &reason) {
        SetStop(line, reason);
        points.clear();
        return false;
    };
    std::vector<CString> fields;
    int lineNo = 0;
    CString line;
    TextLineFault fault = TextLineFault::None;
    while (file.ReadLine(line, fault)) {
        ++lineNo;
        if (fault != TextLineFault::None)
            return stop(lineNo, TextLineFaultReason(fault, line));
        // A NUL would cut the name where a writer measures it.
        if (line.Bytes().find('\0') != std::string::npos)
            return stop(lineNo, kStopNul);
        if (line.GetLength() > 0 && line[0] == ';')
            continue;
        if (CString(line).Trim(" \t").IsEmpty())
            continue;
        if (!splitQuotedLine(",", line, fields) || fields.size() != 4) {
            NotePassedOver(lineNo);
            continue;
        }
        CsvPoint point;
        point.name = fields[0];
        double *values[] = {&point.x, &point.y, &point.h};
        bool numbers[3];
        for (int i = 0; i < 3; ++i)
            numbers[i] = ParseDouble(fields[i + 1].Bytes(), *values[i]);
        // A heading ("点名,X,Y,標高") before the first point, and a point of the form of
        // spreadsheets with decimal commas, are lines of another form.
        const bool heading = !numbers[0] && !numbers[1] && !numbers[2] && points.empty();
        if (heading || (!(numbers[0] && numbers[1] && numbers[2]) && isDecimalCommaPoint(line))) {
            m_headings += heading;
            NotePassedOver(lineNo);
            continue;
        }
        for (int i = 0; i < 3; ++i) {
            if (!numbers[i])
                return stop(
                    lineNo,
                    FileStop::FieldReason(
                        kWhat[i], fields[i + 1].IsEmpty() ? FIELD_EMPTY : FIELD_NOT_NUMBER, 0));
            // The point dialog's range, with its tolerance; a value that is not finite fails too.
            if (!(std::fabs(*values[i]) <= kCoordinateLimit + 1e-8)) {
                CString reason;
                reason.Format("%sが範囲（±%.0f）を超えています。", kWhat[i], kCoordinateLimit);
                return stop(lineNo, reason);
            }
        }
        points.push_back(point);
    }
    file.Close();
    if (points.empty()) {
        SetStop(0, kStopNoPoint);
        return false;
    }
    return true;
}

CString CoordText(double value) {
    CString text;
    text.Format("%.3f", value);
    if (text == "-0.000")
        text = "0.000";
    return text;
}

CString CsvNameField(const CString &name) {
    const bool quote = (name.GetLength() > 0 && name[0] == ';') || CString(name).Trim() != name ||
                       name.Find('"') >= 0 || name.Find(',') >= 0;
    if (!quote)
        return name;
    CString doubled = name;
    doubled.Replace("\"", "\"\"");
    return "\"" + doubled + "\"";
}

void WriteConvertedCsv(const CString &path, const std::vector<const Point *> &points) {
    CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    file.WriteString(kConvertedCsvHeading);
    file.WriteString("\n");
    for (const Point *p : points) {
        const Coordinate c = p->GetJGD2000(0);
        const CString line = CsvNameField(p->GetName()) + "," + CoordText(c.GetX()) + "," +
                             CoordText(c.GetY()) + "," + CoordText(c.GetH()) + "\n";
        file.WriteString(line);
    }
    file.Close();
}
