// Shared by the targets of the readers that write and convert their format: what a write
// makes of a value, a transformer chosen by the input, and the lines of an output file.
#pragma once

#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/Numbers.h"

#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A conversion that failed says why; one that went through says at most that it converted no
// point.
inline void CheckConvertMessages(bool result, const std::vector<CString> &messages) {
    if (result)
        FUZZ_CHECK(messages.empty() ||
                   (messages.size() == 1 && messages[0] == ConvertTally::NO_POINT));
    else
        FUZZ_CHECK(!messages.empty());
}

// The value a read gives back after a write with the given decimals.
inline double Written(double value, int decimals) {
    CString text;
    text.Format("%.*f", decimals, value);
    double parsed = 0.0;
    FUZZ_CHECK(ParseDouble(text.Bytes(), parsed));
    return parsed;
}

// The transformer of a conversion, chosen by two bits: 0 shifts (grid status); 1 scales by
// 1e12, so that converted values outgrow the formats (Helmert status); 2 shifts with the
// 3-parameter status; 3 fails for a negative X and keeps the rest.
class FuzzTransformer : public ICoordTransformer {
  public:
    explicit FuzzTransformer(int kind) : m_kind(kind & 3) {}
    bool Transform(const Coordinate &from, Coordinate *to,
                   CoordConvStatusD *status) const override {
        return move(from, to, status, false);
    }
    bool ReverseTransform(const Coordinate &from, Coordinate *to,
                          CoordConvStatusD *status) const override {
        return move(from, to, status, true);
    }

  private:
    bool move(const Coordinate &from, Coordinate *to, CoordConvStatusD *status,
              bool reverse) const {
        double x = from.GetX();
        double y = from.GetY();
        switch (m_kind) {
        case 0:
        case 2:
            x += reverse ? -1000.25 : 1000.25;
            y += reverse ? 500.5 : -500.5;
            *status = m_kind == 0 ? CrdCnvStatGrid : CrdCnvStatDatumShift;
            break;
        case 1:
            x = reverse ? x / 1e12 : x * 1e12;
            y = reverse ? y / 1e12 : y * 1e12;
            *status = CrdCnvStatHelmert;
            break;
        default:
            if (x < 0)
                return false;
            *status = CrdCnvStatGrid;
            break;
        }
        *to = Coordinate(x, y, 0.0, false, 0.0, false);
        return true;
    }

    int m_kind;
};

// Gives a writer the points it holds, with latitude and longitude 0 in zone 9.
class FuzzSupplier : public IPointSupplier {
  public:
    explicit FuzzSupplier(const std::vector<FuzzPoint> &points) : m_points(points) {}
    unsigned GetPointSize() override { return static_cast<unsigned>(m_points.size()); }
    bool GetPoint(unsigned, CString *, double *, double *, double *, bool *, int *) override {
        FuzzFail(__FILE__, __LINE__, "the writers take latitude and longitude too");
    }
    bool GetPointWithBL(unsigned i, CString *name, double *x, double *y, double *b, double *l,
                        int *zone, double *h, bool *hUsed, int *status) override {
        FUZZ_CHECK(i < m_points.size());
        const FuzzPoint &p = m_points[i];
        *name = p.name, *x = p.x, *y = p.y, *b = 0.0, *l = 0.0, *zone = 9, *h = p.h;
        *hUsed = p.hUsed != 0;
        if (status)
            *status = 0;
        return true;
    }

  private:
    const std::vector<FuzzPoint> &m_points;
};

// The lines of a file a writer made: each ends with CR LF; a last piece without one is a line
// as well.
inline std::vector<std::string> OutputLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find("\r\n");
        lines.emplace_back(bytes.substr(0, end));
        if (end == std::string_view::npos)
            break;
        bytes.remove_prefix(end + 2);
    }
    return lines;
}

// Finds the lines of a source, in order, among the lines of an output that may hold more.
class LineMatcher {
  public:
    explicit LineMatcher(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    // True when a later line of the output is the wanted one; the search goes on after it.
    bool Next(const std::function<bool(const std::string &)> &wanted) {
        while (m_pos < m_lines.size()) {
            if (wanted(m_lines[m_pos++]))
                return true;
        }
        return false;
    }
    const std::vector<std::string> &Lines() const { return m_lines; }

  private:
    std::vector<std::string> m_lines;
    std::size_t m_pos = 0;
};
