// GeoidGridReader, the ASCII geoid grid, read at a few positions.
//
// Input: a control byte, two positions of two 16-bit numbers each (latitude, longitude), then the
// file. Bit 0 of the control byte keeps the latitudes within the first three rows of the grid,
// bit 1 adds the north and east edges, bits 2-7 and the positions choose a value read on its own.
// Every value the reader answers is checked against the bytes at the value's place in the file,
// the layout decided by the header; a height must lie between its cell's corner values.
#include "fuzz/FuzzSupport.h"
#include "platform/core/Numbers.h"
#include "veltrane/conversion/GeoidGridReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kSecPerRad = 206264.80624709636;

struct Layout {
    std::size_t header;
    std::size_t line;
};

// The value at column i and row j as the file's bytes give it; false when the file ends first
// or the text is not a number.
bool valueInFile(std::string_view file, const Layout &layout, int i, int j, double *value) {
    const std::size_t offset =
        (static_cast<std::size_t>(j) * 43 + i / 28) * layout.line + layout.header + (i % 28) * 9;
    if (offset + 9 > file.size())
        return false;
    return ParseDouble(file.substr(offset, 9), *value);
}

void checkPosition(GeoidGridReader &reader, std::string_view file, const Layout &layout,
                   double phiAsked, double lambdaAsked) {
    const double lat = phiAsked / kSecPerRad, lon = lambdaAsked / kSecPerRad;
    // The position as the reader sees it.
    const double phi = lat * kSecPerRad, lambda = lon * kSecPerRad;
    double height = -1.0;
    GeoidCell cell;
    const int result = reader.GeoidGetHeight(lat, lon, &height, &cell);
    FUZZ_CHECK(result == 0 || result == 1);
    const bool inside = phi >= 72000.0 && phi < 180000.0 && lambda >= 432000.0 && lambda < 540000.0;
    if (!inside) {
        FUZZ_CHECK(result == 0 && reader.GeoidGetError() == 5 && height == 0.0);
        return;
    }
    const int i = static_cast<int>((lambda - 432000.0) / 90.0);
    const int j = static_cast<int>((phi - 72000.0) / 60.0);
    FUZZ_CHECK(cell.west == 432000 + 90 * i && cell.south == 72000 + 60 * j);
    FUZZ_CHECK(cell.west <= lambda && lambda < cell.east + 1e-6);
    FUZZ_CHECK(cell.south <= phi && phi < cell.north + 1e-6);
    // The corners in the order the reader reads them.
    const int corners[4][2] = {{i, j}, {i, j + 1}, {i + 1, j}, {i + 1, j + 1}};
    const double got[4] = {cell.v00, cell.v01, cell.v10, cell.v11};
    bool allRead = true;
    bool noData = false;
    for (int k = 0; k < 4 && allRead; ++k) {
        double expected = 0.0;
        allRead = valueInFile(file, layout, corners[k][0], corners[k][1], &expected);
        if (allRead) {
            FUZZ_CHECK(got[k] == expected);
            noData = noData || expected == 999.0;
        } else {
            FUZZ_CHECK(got[k] == 999.0);
        }
    }
    if (!allRead) {
        FUZZ_CHECK(result == 0 && reader.GeoidGetError() == 4 && height == 0.0);
    } else if (noData) {
        FUZZ_CHECK(result == 0 && reader.GeoidGetError() == 6 && height == 0.0);
    } else {
        FUZZ_CHECK(result == 1);
        const double low = std::min({got[0], got[1], got[2], got[3]});
        const double high = std::max({got[0], got[1], got[2], got[3]});
        const double slack = 1e-12 * std::max(std::fabs(low), std::fabs(high));
        FUZZ_CHECK(std::isfinite(height) && height >= low - slack && height <= high + slack);
    }
}

std::uint16_t u16(const std::uint8_t *p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 9)
        return 0;
    const int control = data[0];
    const std::string_view file(reinterpret_cast<const char *>(data) + 9, size - 9);

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(file);
    const DescriptorGuard guard;
    {
        GeoidGridReader reader;
        const int opened = reader.GeoidOpen(temp.Path());
        FUZZ_CHECK(opened == (file.size() >= 259 ? 1 : 0));
        FUZZ_CHECK(reader.GeoidGetError() == (opened ? 0 : 4));
        if (opened) {
            const bool ver2 = file.substr(52, 8) == "ver2    ";
            const Layout layout = ver2 ? Layout{259, 253} : Layout{254, 254};
            const double latSpan = (control & 1) ? 180.0 : 110000.0;
            for (int k = 0; k < 2; ++k) {
                const double phi = 71990.0 + u16(data + 1 + 4 * k) * (latSpan / 65535.0);
                const double lambda = 431990.0 + u16(data + 3 + 4 * k) * (108030.0 / 65535.0);
                checkPosition(reader, file, layout, phi, lambda);
            }
            if (control & 2) {
                checkPosition(reader, file, layout, 180000.0, 500000.0);
                checkPosition(reader, file, layout, 72030.0, 540000.0);
                checkPosition(reader, file, layout, 72000.0, 432000.0);
            }
            // One value read on its own, anywhere in or just outside the grid.
            const int i = u16(data + 1) % 1210 - 4, j = (control >> 2) - 2;
            double value = 0.0, expected = 0.0;
            const int read = reader.GeoidReadValue(i, j, &value);
            if (i < 0 || i > 1200 || j < 0) {
                FUZZ_CHECK(read == 0 && reader.GeoidGetError() == 5 && value == 999.0);
            } else if (valueInFile(file, layout, i, j, &expected)) {
                FUZZ_CHECK(read == 1 && value == expected);
            } else {
                FUZZ_CHECK(read == 0 && reader.GeoidGetError() == 4 && value == 999.0);
            }
            FUZZ_CHECK(reader.GeoidClose() == 1);
            double height = 1.0;
            FUZZ_CHECK(reader.GeoidGetHeight(0.6, 2.4, &height, nullptr) == 0);
            FUZZ_CHECK(reader.GeoidGetError() == 3 && height == 0.0);
        }
    }
    guard.Check();
    return 0;
}
