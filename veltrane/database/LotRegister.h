#pragma once

#include "platform/core/CString.h"

#include <list>
#include <memory>
#include <vector>

class Point;
class Veltrane;

// A member record of a lot: the point number and name it gives, and its line in the file.
struct PendingLotMember {
    int no = 0;
    CString name;
    int line = 0;
};

// A lot as an exchange file gives it, waiting for its points to be stored.
struct PendingLot {
    int no = 0;
    int kind = 0;
    CString name;
    std::vector<PendingLotMember> members; // in file order
};

// Rebuilds the lots of an exchange file once its points are stored. A member is the point that
// the file gave its number; when the numbers cannot tell the points apart (0, empty, or given to
// two points) it is the point of its name among those the number may mean. A member whose number
// or name no point of the file carries drops its lot.
class LotRegister {
  public:
    explicit LotRegister(Veltrane *db);
    LotRegister(const LotRegister &) = delete;
    LotRegister &operator=(const LotRegister &) = delete;
    virtual ~LotRegister();

    // A point of the file, in reading order: its number and name.
    void ReadPoint(int fileNo, const CString &name);
    // The stored point that the point at that place of the file became or was merged into.
    // False for a null point or a place that was not read.
    bool RegisterPoint(Point *stored, int ordinal);
    // Takes the lot; true.
    bool AddLot(std::unique_ptr<PendingLot> lot);
    // Finds the point of the file that every member means, before anything is stored. False when
    // neither the number nor the name of a member tells which point it is; *line and *reason then
    // name the member record.
    bool BindMembers(int *line, CString *reason);
    // Hands the database every lot whose members were all stored, in file order; a lot naming a
    // point that was not read or not stored is dropped. Binds the members first unless that was
    // done; false, with no lot made, when they cannot be bound. Empties the register.
    bool MakeLots();
    // Forgets the lots and points of an earlier read.
    void Clear();

  private:
    struct ReadEntry {
        int fileNo;
        CString name;
        Point *stored;
    };
    struct Index; // the places of the read points by number and by name
    // The place of the point that the member means: -1 for a point the file does not hold, -2
    // when the member cannot tell between points.
    int bind(const PendingLotMember &member, const Index &index) const;

    Veltrane *m_pDataBase;
    std::list<std::unique_ptr<PendingLot>> m_lots;
    std::vector<ReadEntry> m_read;
    std::vector<std::vector<int>> m_bound; // per lot in m_lots, the place of each member
    bool m_bindDone = false;
};
