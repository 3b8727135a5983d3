#include "veltrane/conversion/GeoidGridReader.h"

#include "platform/core/CException.h"
#include "platform/core/Numbers.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

constexpr int kHeaderRead = 259;
constexpr int kValuesPerLine = 28;
constexpr int kLinesPerRow = 43;
constexpr int kValueWidth = 9;
constexpr int kLastColumn = 1200; // (540000 - 432000) / 90
constexpr int kLastRow = 1800;    // (180000 - 72000) / 60
constexpr double kSecPerRad = 206264.80624709636;
constexpr char kVersion2[] = "ver2    ";

} // namespace

int GeoidGridReader::GeoidOpen(const CString &path) {
    m_nHeaderLength = 254;
    m_nLineLength = 254;
    m_nError = 0;
    std::memset(m_version, 0, sizeof m_version);
    m_path = path;
    GeoidClose();
    if (!m_file.Open(path, CFile::modeRead | CFile::typeBinary)) {
        m_nError = 2;
        return 0;
    }
    char header[kHeaderRead];
    try {
        if (m_file.Read(header, kHeaderRead) != kHeaderRead) {
            m_nError = 4;
            m_file.Abort();
            return 0;
        }
        std::memcpy(m_version, header + 52, 8);
        if (std::memcmp(m_version, kVersion2, 8) == 0) {
            m_nHeaderLength = 259;
            m_nLineLength = 253;
        }
        m_file.SeekToBegin();
    } catch (const CFileException &) {
        m_nError = 4;
        m_file.Abort();
        return 0;
    }
    return 1;
}

int GeoidGridReader::GeoidClose() {
    if (m_file.IsOpen())
        m_file.Abort();
    return 1;
}

int GeoidGridReader::GeoidReadValue(int i, int j, double *value) {
    *value = kNoData;
    if (!m_file.IsOpen()) {
        m_nError = 3;
        return 0;
    }
    if (i < 0 || i > kLastColumn || j < 0 || j > kLastRow) {
        m_nError = 5;
        return 0;
    }
    const std::int64_t offset =
        (static_cast<std::int64_t>(j) * kLinesPerRow + i / kValuesPerLine) * m_nLineLength +
        m_nHeaderLength + (i % kValuesPerLine) * kValueWidth;
    char text[kValueWidth];
    double number = 0.0;
    try {
        m_file.Seek(offset, CFile::begin);
        if (m_file.Read(text, kValueWidth) != kValueWidth ||
            !ParseDouble(std::string_view(text, kValueWidth), number)) {
            m_nError = 4;
            return 0;
        }
    } catch (const CFileException &) {
        m_nError = 4;
        return 0;
    }
    *value = number;
    return 1;
}

int GeoidGridReader::GeoidGetHeight(double lat, double lon, double *height, GeoidCell *cell) {
    *height = 0.0;
    if (!m_file.IsOpen()) {
        m_nError = 3;
        return 0;
    }
    const double phi = lat * kSecPerRad;
    const double lambda = lon * kSecPerRad;
    // The cells on the north and east edges would need a row or column beyond the grid.
    if (!(phi >= kSouth && phi < kNorth && lambda >= kWest && lambda < kEast)) {
        m_nError = 5;
        return 0;
    }
    const int i = static_cast<int>((lambda - kWest) / kLonStep);
    const int j = static_cast<int>((phi - kSouth) / kLatStep);
    GeoidCell corners;
    corners.v00 = corners.v01 = corners.v10 = corners.v11 = kNoData;
    const bool read = GeoidReadValue(i, j, &corners.v00) == 1 &&
                      GeoidReadValue(i, j + 1, &corners.v01) == 1 &&
                      GeoidReadValue(i + 1, j, &corners.v10) == 1 &&
                      GeoidReadValue(i + 1, j + 1, &corners.v11) == 1;
    corners.south = static_cast<int>(kSouth) + j * static_cast<int>(kLatStep);
    corners.west = static_cast<int>(kWest) + i * static_cast<int>(kLonStep);
    corners.north = corners.south + static_cast<int>(kLatStep);
    corners.east = corners.west + static_cast<int>(kLonStep);
    if (cell)
        *cell = corners;
    if (!read)
        return 0;
    if (corners.v00 == kNoData || corners.v01 == kNoData || corners.v10 == kNoData ||
        corners.v11 == kNoData) {
        m_nError = 6;
        return 0;
    }
    *height = GeoidBilinear(lambda - i * kLonStep - kWest, phi - j * kLatStep - kSouth, kLonStep,
                            kLatStep, corners);
    return 1;
}

double GeoidGridReader::GeoidBilinear(double dLon, double dLat, double lonStep, double latStep,
                                      const GeoidCell &cell) {
    const double e = dLat / latStep;
    const double f = dLon / lonStep;
    return e * (1.0 - f) * cell.v01 + (1.0 - e) * (1.0 - f) * cell.v00 + f * (1.0 - e) * cell.v10 +
           f * e * cell.v11;
}
