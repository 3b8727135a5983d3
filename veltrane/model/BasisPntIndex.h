#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class Point;
class PointTable;

// The old marks that the points of a basis table stand for, by insyo name, gathered once so
// that each lookup costs about one hash: a result table of many points asks once per point.
class BasisPntIndex {
  public:
    explicit BasisPntIndex(const PointTable &basis);

    // Whether some basis point with a valid Tokyo coordinate has p's name as its insyo name and
    // exactly p's Tokyo X and Y; an empty insyo name names no old mark, so a nameless point is
    // never one.
    bool Contains(const Point *p) const;

  private:
    struct Place {
        double x;
        double y;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>()(name);
        }
    };

    std::unordered_map<std::string, std::vector<Place>, NameHash, std::equal_to<>> m_marks;
};
