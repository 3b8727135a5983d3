#include "tests/support/GridParFile.h"

#include <cstdio>
#include <fstream>

namespace testsupport {

std::string MeshCode8(int latSec, int lonSec) {
    const int code1 = latSec / 2400 * 100 + (lonSec / 3600 - 100);
    const int e = latSec % 2400;
    const int l = lonSec % 3600;
    char text[48];
    std::snprintf(text, sizeof text, "%04d%d%d%d%d", code1, e / 300, l / 450, e % 300 / 30,
                  l % 450 / 45);
    return text;
}

void WriteParFile(const std::filesystem::path &path, const std::string &first, int furtherLines,
                  const std::vector<GridNode> &nodes, bool withH, const char *eol) {
    std::ofstream out(path, std::ios::binary);
    out << first << eol;
    for (int i = 0; i < furtherLines; ++i)
        out << "MeshCode  dB(sec)  dL(sec)" << eol;
    char line[128];
    for (const GridNode &n : nodes) {
        if (withH)
            std::snprintf(line, sizeof line, "%s  %.16f  %.16f  %.16f",
                          MeshCode8(n.latSec, n.lonSec).c_str(), n.dB, n.dL, n.dH);
        else
            std::snprintf(line, sizeof line, "%s  %.16f  %.16f",
                          MeshCode8(n.latSec, n.lonSec).c_str(), n.dB, n.dL);
        out << line << eol;
    }
}

} // namespace testsupport
