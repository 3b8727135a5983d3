#include "zentrova/PointCsv.h"

#include "platform/core/CStdioFile.h"
#include "platform/core/EncodedTextFile.h"
#include "platform/core/Numbers.h"
#include "veltrane/model/Point.h"

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

bool PointCsvReader::Read(const CString &path, std::vector<CsvPoint> &points) {
    ClearStop();
    points.clear();
    m_skipped = 0;
    m_firstSkipped = 0;
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
            return stop(lineNo, TextLineFaultReason(fault));
        if (line.GetLength() > 0 && line[0] == ';')
            continue;
        if (CString(line).Trim(" \t").IsEmpty())
            continue;
        if (!splitQuotedLine(",", line, fields) || fields.size() != 4) {
            if (m_skipped++ == 0)
                m_firstSkipped = lineNo;
            continue;
        }
        CsvPoint point;
        point.name = fields[0];
        double *values[] = {&point.x, &point.y, &point.h};
        for (int i = 0; i < 3; ++i) {
            if (!ParseDouble(fields[i + 1].Bytes(), *values[i]))
                return stop(
                    lineNo,
                    FileStop::FieldReason(
                        kWhat[i], fields[i + 1].IsEmpty() ? FIELD_EMPTY : FIELD_NOT_NUMBER, 0));
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
