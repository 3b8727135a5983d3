#include "zentrova/PointCsv.h"

#include "platform/core/CStdioFile.h"
#include "platform/core/Numbers.h"
#include "veltrane/model/Point.h"

#include <QStringDecoder>

#include <algorithm>

bool splitQuotedLine(const CString &separator, const CString &line, std::vector<CString> &out) {
    if (line.IsEmpty())
        return false;
    out.clear();
    const int length = line.GetLength();
    int start = 0;
    while (true) {
        int from = start;
        if (line[start] == '"') {
            const int close = line.Find('"', start + 1);
            from = close >= 0 ? close : start + 1;
        }
        const int sep = separator.IsEmpty() ? -1 : line.Find(separator, from);
        CString field = sep < 0 ? line.Mid(start) : line.Mid(start, sep - start);
        field.TrimLeft();
        field.TrimLeft('"');
        field.TrimRight();
        field.TrimRight('"');
        out.push_back(field);
        if (sep < 0)
            break;
        start = sep + separator.GetLength();
        if (start >= length)
            break;
    }
    return true;
}

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool isValidUtf8(const std::string &bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), bytes.size()));
    return !decoder.hasError();
}

// Whether the lines are UTF-8 text: valid throughout and beyond ASCII somewhere.
bool isUtf8Text(const std::vector<CString> &lines) {
    bool beyondAscii = false;
    for (const CString &line : lines) {
        const std::string &bytes = line.Bytes();
        if (!std::all_of(bytes.begin(), bytes.end(),
                         [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            if (!isValidUtf8(bytes))
                return false;
            beyondAscii = true;
        }
    }
    return beyondAscii;
}

} // namespace

bool PointCsvReader::Read(const CString &path, std::vector<CsvPoint> &points) {
    ClearStop();
    points.clear();
    m_skipped = 0;
    m_firstSkipped = 0;
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeText)) {
        SetStop(0, kStopOpen);
        return false;
    }
    std::vector<CString> lines;
    for (CString line; file.ReadString(line);)
        lines.push_back(line);
    file.Close();
    bool utf8 = false;
    if (!lines.empty() && lines[0].Bytes().starts_with(kUtf8Mark)) {
        lines[0] = lines[0].Mid(3);
        utf8 = true;
    }
    utf8 = utf8 || isUtf8Text(lines);

    static const char *const kWhat[] = {"X座標", "Y座標", "標高"};
    std::vector<CString> fields;
    int lineNo = 0;
    for (const CString &read : lines) {
        ++lineNo;
        if (read.GetLength() > 0 && read[0] == ';')
            continue;
        if (CString(read).Trim(" \t").IsEmpty())
            continue;
        CString line = read;
        // A character cp932 lacks is only a fault in a point's name; the line is still split
        // to tell.
        const bool exact = !utf8 || Utf8ToCp932(read.Bytes(), line);
        if (!exact)
            line = FromUtf8(read.Bytes());
        if (!splitQuotedLine(",", line, fields) || fields.size() != 4) {
            if (m_skipped++ == 0)
                m_firstSkipped = lineNo;
            continue;
        }
        CsvPoint point;
        point.name = fields[0];
        double *values[] = {&point.x, &point.y, &point.h};
        for (int i = 0; i < 3; ++i) {
            if (!ParseDouble(fields[i + 1].Bytes(), *values[i])) {
                SetStop(lineNo,
                        FileStop::FieldReason(
                            kWhat[i], fields[i + 1].IsEmpty() ? FIELD_EMPTY : FIELD_NOT_NUMBER, 0));
                points.clear();
                return false;
            }
        }
        if (!exact) {
            SetStop(lineNo, kStopNameNotCp932);
            points.clear();
            return false;
        }
        points.push_back(point);
    }
    if (points.empty()) {
        SetStop(0, kStopNoPoint);
        return false;
    }
    return true;
}

void WriteConvertedCsv(const CString &path, const std::vector<const Point *> &points) {
    CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    file.WriteString(kConvertedCsvHeading);
    file.WriteString("\n");
    CString line;
    for (const Point *p : points) {
        const Coordinate c = p->GetJGD2000(0);
        const CString &name = p->GetName();
        if (name.Find(',') >= 0)
            line.Format("\"%s\",%.3f,%.3f,%.3f\n", name.GetString(), c.GetX(), c.GetY(), c.GetH());
        else
            line.Format("%s,%.3f,%.3f,%.3f\n", name.GetString(), c.GetX(), c.GetY(), c.GetH());
        file.WriteString(line);
    }
    file.Close();
}
