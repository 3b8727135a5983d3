#pragma once

#include <string>

// Scale of a map sheet; other values are no level.
enum ZUKAKU_LEVEL : int {
    ZUKAKU_NONE = 0,
    ZUKAKU_500 = 1,
    ZUKAKU_1000 = 2,
    ZUKAKU_2500 = 3,
    ZUKAKU_5000 = 4,
};

// One map sheet of the national large-scale sheet index of a plane zone
// (x northing, y easting, metres from the zone origin).
//
// Name: a letter for the row "A"-"T" of the 30 km x 40 km sheets from the
// north (x 300000 down to -300000), a letter for the column "A"-"H" from the
// west (y -160000 to 160000), a digit each for the row and column of the
// 3 km x 4 km sheet (1/5000) inside it, then
//   1/2500  one digit: 1 north-west, 2 north-east, 3 south-west, 4 south-east
//   1/1000  a row digit "0"-"4" and a column letter "A"-"E" (600 m x 800 m)
//   1/500   a row digit and a column digit "0"-"9" (300 m x 400 m)
class JGDDMZukaku {
  public:
    JGDDMZukaku() = default;
    // The sheet of the point; empty when create fails.
    JGDDMZukaku(double x, double y, ZUKAKU_LEVEL level, int flags);
    // The sheet of the name; empty when the name is not one.
    explicit JGDDMZukaku(const char *name);
    virtual ~JGDDMZukaku() = default;
    JGDDMZukaku(const JGDDMZukaku &) = default;
    JGDDMZukaku &operator=(const JGDDMZukaku &) = default;

    // The sheet of the given level that holds the point. A point on a boundary
    // between two sheets belongs to the southern or eastern one; flags bit 0
    // (1) gives a point on a row boundary to the northern sheet, bit 3 (8) one
    // on a column boundary to the western sheet. The outer edges of the grid
    // belong to the sheets along them whatever the flags. False, with the
    // sheet empty, outside -300000 <= x <= 300000 and -160000 <= y <= 160000
    // or for no level.
    bool create(double x, double y, ZUKAKU_LEVEL level, int flags);
    // Parses a name of 4 to 6 characters; false, with the sheet empty, when it
    // is not a sheet name.
    bool setName(const std::string &name);
    bool setName(const char *name);
    // Makes the sheet empty: no name, no level, all corners 0.
    void empty();

    const std::string &getName() const { return m_name; }
    // The name with "-" after the fourth character when it is longer.
    std::string getHyphenatedName() const;
    // The corners; false for an empty sheet. A null pointer is skipped.
    bool getSW(double *x, double *y) const;
    bool getNE(double *x, double *y) const;
    bool isUsed() const { return m_fUsed; }
    ZUKAKU_LEVEL getLevel() const { return m_level; }
    // True when the sheet is used and the point lies on it, edges included.
    bool inZukaku(double x, double y) const;

    // 500, 1000, 2500, 5000; 0 for no level.
    static int getLevelNum(ZUKAKU_LEVEL level);
    // The sheet's extent in x and y (0, 0 for no level); null pointers are
    // skipped.
    static void getLevelSpan(ZUKAKU_LEVEL level, double *x, double *y);
    // "500", "1000", "2500", "5000"; empty for no level.
    static std::string getLevelStr(ZUKAKU_LEVEL level);

    // Equal: both used, same level and name.
    bool operator==(const JGDDMZukaku &other) const;
    bool operator!=(const JGDDMZukaku &other) const { return !(*this == other); }
    // Both used, the other's level not below this one's and this name before
    // the other's.
    bool operator<(const JGDDMZukaku &other) const;
    // Both used, this level not below the other's and this name after the
    // other's.
    bool operator>(const JGDDMZukaku &other) const;

  private:
    std::string m_name;
    bool m_fUsed = false;
    ZUKAKU_LEVEL m_level = ZUKAKU_NONE;
    double m_dSWX = 0.0;
    double m_dSWY = 0.0;
    double m_dNEX = 0.0;
    double m_dNEY = 0.0;
};
