#pragma once

#include "platform/core/CString.h"

#include <list>
#include <map>
#include <memory>
#include <vector>

class Point;
class Veltrane;

// A lot as an exchange file gives it, waiting for its points to be stored.
struct PendingLot {
    int no = 0;
    int kind = 0;
    CString name;
    std::vector<int> members; // the file's point numbers, in file order
};

// Rebuilds the lots of an exchange file once its points are stored. Members are resolved by the
// number the file gave each point, so a lot binds exactly the points read with those numbers.
class LotRegister {
  public:
    explicit LotRegister(Veltrane *db);
    LotRegister(const LotRegister &) = delete;
    LotRegister &operator=(const LotRegister &) = delete;
    virtual ~LotRegister();

    // The stored point that the file's point `fileNo` became or was merged into. The first point
    // of a number keeps it. False for a null point.
    bool RegisterPoint(Point *stored, int fileNo);
    // Takes the lot; true.
    bool AddLot(std::unique_ptr<PendingLot> lot);
    // Hands the database every lot whose members were all stored, in file order; a lot naming a
    // number that no stored point carries is dropped. Empties the register.
    bool MakeLots();
    // Forgets the lots and points of an earlier read.
    void Clear();

  private:
    Veltrane *m_pDataBase;
    std::list<std::unique_ptr<PendingLot>> m_lots;
    std::map<int, Point *> m_byFileNo;
};
