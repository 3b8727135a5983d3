#include "bench/GridFileGenerator.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace GridFileGenerator {

namespace {

// Rows of first-level meshes (latitude x 1.5) and their longitude columns
// (longitude - 100), south to north: 63 meshes of 6,400 nodes.
struct Row {
    int row;
    int firstColumn;
    int lastColumn;
};

constexpr Row kRows[] = {
    {47, 30, 31}, {48, 30, 31}, {49, 30, 31}, {50, 29, 33}, {51, 31, 35}, {52, 32, 36},
    {53, 33, 40}, {54, 35, 40}, {55, 37, 40}, {56, 38, 40}, {57, 39, 41}, {58, 39, 40},
    {59, 40, 41}, {60, 40, 41}, {61, 40, 41}, {62, 40, 41}, {63, 41, 44}, {64, 41, 44},
};

constexpr int kLatStep = 30;
constexpr int kLonStep = 45;

template <class T> void putLittle(std::string &out, T value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    if constexpr (std::endian::native == std::endian::big)
        std::reverse(std::begin(bytes), std::end(bytes));
    out.append(reinterpret_cast<const char *>(bytes), sizeof bytes);
}

// An NTv2 header record: an 8-character keyword and an 8-byte value.
void putLabel(std::string &out, const char *keyword) {
    char field[8];
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, keyword, std::min<std::size_t>(std::strlen(keyword), sizeof field));
    out.append(field, sizeof field);
}

void putText(std::string &out, const char *keyword, const char *value) {
    putLabel(out, keyword);
    putLabel(out, value);
}

void putInt(std::string &out, const char *keyword, std::int32_t value) {
    putLabel(out, keyword);
    putLittle(out, value);
    putLittle(out, std::int32_t{0});
}

void putReal(std::string &out, const char *keyword, double value) {
    putLabel(out, keyword);
    putLittle(out, value);
}

} // namespace

std::string ShiftText(double shift) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, shift, std::chars_format::fixed, 5);
    return std::string(buffer, result.ptr);
}

float StoredShift(double shift) {
    const std::string text = ShiftText(shift);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<float>(value);
}

const std::vector<short> &FirstLevelCodes() {
    static const std::vector<short> codes = [] {
        std::vector<short> list;
        for (const Row &row : kRows)
            for (int column = row.firstColumn; column <= row.lastColumn; ++column)
                list.push_back(static_cast<short>(row.row * 100 + column));
        return list;
    }();
    return codes;
}

void NodeShift(int latSec, int lonSec, double *dB, double *dL) {
    // Roughly the size of the Tokyo datum to JGD2000 shift, smooth but not linear.
    *dB = 11.6 + 1.1 * std::sin(latSec / 40000.0) + 0.4 * std::cos(lonSec / 55000.0);
    *dL = -11.5 + 2.2 * std::cos(latSec / 60000.0) - 0.7 * std::sin(lonSec / 45000.0);
}

std::size_t WriteGridFile(const std::string &path, std::size_t records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path);
    out << "JGD2000-TokyoDatum Ver.9.9.9\r\n";
    out << "MeshCode dB(sec) dL(sec)\r\n";
    std::size_t written = 0;
    std::string line;
    for (short code1 : FirstLevelCodes()) {
        for (int code2 = 0; code2 < 78; ++code2) {
            if (code2 % 10 > 7)
                continue;
            for (int code3 = 0; code3 < 100; ++code3) {
                if (written == records)
                    break;
                const int latSec = code1 / 100 * 2400 + code2 / 10 * 300 + code3 / 10 * 30;
                const int lonSec = code1 % 100 * 3600 + 360000 + code2 % 10 * 450 + code3 % 10 * 45;
                double dB, dL;
                NodeShift(latSec, lonSec, &dB, &dL);
                line = std::to_string(code1 * 10000 + code2 * 100 + code3);
                line += "   ";
                line += ShiftText(dB);
                line += "   ";
                line += ShiftText(dL);
                line += "\r\n";
                out << line;
                ++written;
            }
        }
    }
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return written;
}

void WriteNtv2File(const std::string &path, int southSec, int northSec, int westSec, int eastSec) {
    const int rows = (northSec - southSec) / kLatStep + 1;
    const int columns = (eastSec - westSec) / kLonStep + 1;
    const double bessel = 6377397.155, grs80 = 6378137.0;
    std::string out;
    putInt(out, "NUM_OREC", 11);
    putInt(out, "NUM_SREC", 11);
    putInt(out, "NUM_FILE", 1);
    putText(out, "GS_TYPE", "SECONDS");
    putText(out, "VERSION", "NTv2.0");
    putText(out, "SYSTEM_F", "TOKYO");
    putText(out, "SYSTEM_T", "JGD2000");
    putReal(out, "MAJOR_F", bessel);
    putReal(out, "MINOR_F", bessel * (1.0 - 1.0 / 299.152813));
    putReal(out, "MAJOR_T", grs80);
    putReal(out, "MINOR_T", grs80 * (1.0 - 1.0 / 298.257222101));
    putText(out, "SUB_NAME", "SYNTHETC");
    putText(out, "PARENT", "NONE");
    putText(out, "CREATED", "");
    putText(out, "UPDATED", "");
    // Longitudes positive west: the east edge is the smaller value.
    putReal(out, "S_LAT", southSec);
    putReal(out, "N_LAT", northSec);
    putReal(out, "E_LONG", -eastSec);
    putReal(out, "W_LONG", -westSec);
    putReal(out, "LAT_INC", kLatStep);
    putReal(out, "LONG_INC", kLonStep);
    putInt(out, "GS_COUNT", rows * columns);
    // Rows from south to north, each from east to west; shifts north and west.
    for (int row = 0; row < rows; ++row)
        for (int column = columns - 1; column >= 0; --column) {
            double dB, dL;
            NodeShift(southSec + row * kLatStep, westSec + column * kLonStep, &dB, &dL);
            putLittle(out, StoredShift(dB));
            putLittle(out, -StoredShift(dL));
            putLittle(out, 0.0f);
            putLittle(out, 0.0f);
        }
    putLabel(out, "END");
    putLittle(out, std::int64_t{0});

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

std::string FullSizeGridFile() {
    const fs::path folder = fs::temp_directory_path() / "zentrova-bench";
    const fs::path file = folder / "synthetic-grid-400000.par";
    if (fs::exists(file))
        return file.string();
    fs::create_directories(folder);
    // Written under a private name and renamed, so a broken run leaves no half file.
    const fs::path part = folder / ("synthetic-grid-400000.par." + std::to_string(::getpid()));
    WriteGridFile(part.string());
    fs::rename(part, file);
    return file.string();
}

} // namespace GridFileGenerator
