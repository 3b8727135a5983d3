#include "veltrane/model/JGDDMZukaku.h"

#include <algorithm>
#include <cmath>

namespace {

// The sheet grid of a zone: its north-west corner and the 30 km x 40 km
// sheets, 20 rows by 8 columns, cut into 10 x 10 sheets of 1/5000.
constexpr double kNorth = 300000.0;
constexpr double kSouth = -300000.0;
constexpr double kWest = -160000.0;
constexpr double kEast = 160000.0;
constexpr double kZoneSheetX = 30000.0;
constexpr double kZoneSheetY = 40000.0;
constexpr int kZoneRows = 20;
constexpr int kZoneColumns = 8;
constexpr double k5000X = 3000.0;
constexpr double k5000Y = 4000.0;

bool inRange(char c, char first, char last) { return c >= first && c <= last; }

bool isLevel(ZUKAKU_LEVEL level) { return level >= ZUKAKU_500 && level <= ZUKAKU_5000; }

// The cell, of `count` cells of `span` from an edge, that holds the distance d
// from that edge (0 <= d <= count x span). A d on the boundary between two
// cells goes to the farther one, with `back` to the nearer one; the outer
// edges go to the cells along them.
int cellOf(double d, double span, int count, bool back) {
    int cell = static_cast<int>(std::floor(d / span));
    // The quotient may round across a boundary: settle it on the products.
    if (cell * span > d)
        --cell;
    else if ((cell + 1) * span <= d)
        ++cell;
    if (back && cell * span == d)
        --cell;
    return std::clamp(cell, 0, count - 1);
}

// Rows and columns of a level's sheets inside a 1/5000 sheet.
int levelCells(ZUKAKU_LEVEL level) {
    switch (level) {
    case ZUKAKU_500:
        return 10;
    case ZUKAKU_1000:
        return 5;
    case ZUKAKU_2500:
        return 2;
    default:
        return 1;
    }
}

} // namespace

JGDDMZukaku::JGDDMZukaku(double x, double y, ZUKAKU_LEVEL level, int flags) {
    create(x, y, level, flags);
}

JGDDMZukaku::JGDDMZukaku(const char *name) { setName(name); }

void JGDDMZukaku::empty() { *this = JGDDMZukaku(); }

bool JGDDMZukaku::create(double x, double y, ZUKAKU_LEVEL level, int flags) {
    empty();
    if (!(x >= kSouth && x <= kNorth && y >= kWest && y <= kEast) || !isLevel(level))
        return false;
    const bool backRow = (flags & 1) != 0;
    const bool backColumn = (flags & 8) != 0;

    // Distances from the north and west edges of the current sheet, and the
    // sheet's north and west edges in the zone.
    double u = kNorth - x;
    double v = y - kWest;
    double north = kNorth;
    double west = kWest;
    auto step = [&](double spanX, double spanY, int rows, int columns, int &row, int &column) {
        row = cellOf(u, spanX, rows, backRow);
        column = cellOf(v, spanY, columns, backColumn);
        u -= row * spanX;
        v -= column * spanY;
        north -= row * spanX;
        west += column * spanY;
    };

    std::string name;
    int row;
    int column;
    step(kZoneSheetX, kZoneSheetY, kZoneRows, kZoneColumns, row, column);
    name += static_cast<char>('A' + row);
    name += static_cast<char>('A' + column);
    step(k5000X, k5000Y, 10, 10, row, column);
    name += static_cast<char>('0' + row);
    name += static_cast<char>('0' + column);

    double spanX;
    double spanY;
    getLevelSpan(level, &spanX, &spanY);
    if (level != ZUKAKU_5000) {
        const int cells = levelCells(level);
        step(spanX, spanY, cells, cells, row, column);
        if (level == ZUKAKU_2500) {
            name += static_cast<char>('1' + row * 2 + column);
        } else {
            name += static_cast<char>('0' + row);
            name += static_cast<char>((level == ZUKAKU_1000 ? 'A' : '0') + column);
        }
    }

    m_name = name;
    m_fUsed = true;
    m_level = level;
    m_dNEX = north;
    m_dSWX = north - spanX;
    m_dSWY = west;
    m_dNEY = west + spanY;
    return true;
}

bool JGDDMZukaku::setName(const char *name) {
    if (!name) {
        empty();
        return false;
    }
    return setName(std::string(name));
}

bool JGDDMZukaku::setName(const std::string &name) {
    empty();
    const std::size_t length = name.size();
    if (length < 4 || length > 6 || !inRange(name[0], 'A', 'T') || !inRange(name[1], 'A', 'H') ||
        !inRange(name[2], '0', '9') || !inRange(name[3], '0', '9'))
        return false;
    double swX = kNorth - (name[0] - 'A' + 1) * kZoneSheetX + (9 - (name[2] - '0')) * k5000X;
    double swY = kWest + (name[1] - 'A') * kZoneSheetY + (name[3] - '0') * k5000Y;
    ZUKAKU_LEVEL level = ZUKAKU_5000;
    if (length == 5) {
        if (!inRange(name[4], '1', '4'))
            return false;
        const int quarter = name[4] - '1';
        swX += (1 - quarter / 2) * 1500.0;
        swY += quarter % 2 * 2000.0;
        level = ZUKAKU_2500;
    } else if (length == 6) {
        const int row = name[4] - '0';
        if (inRange(name[5], 'A', 'E') && inRange(name[4], '0', '4')) {
            swX += (4 - row) * 600.0;
            swY += (name[5] - 'A') * 800.0;
            level = ZUKAKU_1000;
        } else if (inRange(name[5], '0', '9') && inRange(name[4], '0', '9')) {
            swX += (9 - row) * 300.0;
            swY += (name[5] - '0') * 400.0;
            level = ZUKAKU_500;
        } else {
            return false;
        }
    }
    double spanX;
    double spanY;
    getLevelSpan(level, &spanX, &spanY);
    m_name = name;
    m_fUsed = true;
    m_level = level;
    m_dSWX = swX;
    m_dSWY = swY;
    m_dNEX = swX + spanX;
    m_dNEY = swY + spanY;
    return true;
}

std::string JGDDMZukaku::getHyphenatedName() const {
    if (m_name.size() <= 4)
        return m_name;
    return m_name.substr(0, 4) + '-' + m_name.substr(4);
}

bool JGDDMZukaku::getSW(double *x, double *y) const {
    if (!m_fUsed)
        return false;
    if (x)
        *x = m_dSWX;
    if (y)
        *y = m_dSWY;
    return true;
}

bool JGDDMZukaku::getNE(double *x, double *y) const {
    if (!m_fUsed)
        return false;
    if (x)
        *x = m_dNEX;
    if (y)
        *y = m_dNEY;
    return true;
}

bool JGDDMZukaku::inZukaku(double x, double y) const {
    return m_fUsed && m_dSWX <= x && x <= m_dNEX && m_dSWY <= y && y <= m_dNEY;
}

int JGDDMZukaku::getLevelNum(ZUKAKU_LEVEL level) {
    switch (level) {
    case ZUKAKU_500:
        return 500;
    case ZUKAKU_1000:
        return 1000;
    case ZUKAKU_2500:
        return 2500;
    case ZUKAKU_5000:
        return 5000;
    default:
        return 0;
    }
}

void JGDDMZukaku::getLevelSpan(ZUKAKU_LEVEL level, double *x, double *y) {
    double spanX = 0.0;
    double spanY = 0.0;
    if (isLevel(level)) {
        const int cells = levelCells(level);
        spanX = k5000X / cells;
        spanY = k5000Y / cells;
    }
    if (x)
        *x = spanX;
    if (y)
        *y = spanY;
}

std::string JGDDMZukaku::getLevelStr(ZUKAKU_LEVEL level) {
    const int number = getLevelNum(level);
    return number == 0 ? std::string() : std::to_string(number);
}

bool JGDDMZukaku::operator==(const JGDDMZukaku &other) const {
    return m_fUsed && other.m_fUsed && m_level == other.m_level && m_name == other.m_name;
}

bool JGDDMZukaku::operator<(const JGDDMZukaku &other) const {
    return m_fUsed && other.m_fUsed && other.m_level >= m_level && m_name < other.m_name;
}

bool JGDDMZukaku::operator>(const JGDDMZukaku &other) const {
    return m_fUsed && other.m_fUsed && m_level >= other.m_level && m_name > other.m_name;
}
