#pragma once

#include "exchange/Dorrimet/Coordinate.h"
#include "platform/core/CString.h"
#include "veltrane/model/YList.h"

// One point tied to an old reference mark: its name and its observed ITRF coordinate.
struct InsyoRelateElm {
    InsyoRelateElm(const CString &name, const Coordinate &c) : name(name), coord(c) {}

    // Same name and exactly the same X and Y.
    bool IsSame(const CString &pointName, const Coordinate &c) const;

    CString name;
    Coordinate coord;
};

// One old reference mark with the points tied to it; owns its elements and copies them deeply.
// Integer results are 1 for success and 0 for failure.
class InsyoRelate {
  public:
    using Table = YList<InsyoRelateElm, 0>;

    InsyoRelate() = default;
    InsyoRelate(const InsyoRelate &other);
    InsyoRelate &operator=(const InsyoRelate &other);
    virtual ~InsyoRelate();
    // A new heap copy; null when it cannot be made.
    InsyoRelate *clone() const;

    int setInsyoName(const CString &name);
    const CString &getInsyoName() const { return m_insyoName; }
    unsigned getSize() const { return m_elms.GetCount(); }
    Table &getTable() { return m_elms; }
    const Table &getTable() const { return m_elms; }
    // Null when n >= size.
    InsyoRelateElm *getlist(unsigned n) { return m_elms.GetAt(n); }
    const InsyoRelateElm *getlist(unsigned n) const { return m_elms.GetAt(n); }

    int setAt(unsigned n, const CString &name, const Coordinate &c);
    int append(const CString &name, const Coordinate &c);
    // Takes ownership of e, also when it cannot be added.
    int append(InsyoRelateElm *e);
    // n == size appends; 0 when n > size.
    int insertAt(unsigned n, const CString &name, const Coordinate &c);
    int remove(unsigned n);
    int removeLast();
    int remove();
    // 1 when an element has that name and exactly the X and Y of c; its position goes to *index.
    int IsExistRelateName(const CString &name, const Coordinate &c, unsigned *index) const;

  private:
    CString m_insyoName;
    Table m_elms;
};

// The old reference marks with their related points; owns its relations and copies them deeply.
class InsyoRelateList {
  public:
    using Table = YList<InsyoRelate, 0>;

    InsyoRelateList() = default;
    InsyoRelateList(const InsyoRelateList &other);
    InsyoRelateList &operator=(const InsyoRelateList &other);
    virtual ~InsyoRelateList();

    unsigned getSize() const { return m_relates.GetCount(); }
    Table &getTable() { return m_relates; }
    const Table &getTable() const { return m_relates; }
    // Null when n >= count.
    InsyoRelate *get(unsigned n) { return m_relates.GetAt(n); }
    const InsyoRelate *get(unsigned n) const { return m_relates.GetAt(n); }

    // Deep assignment into relation n; 0 when n >= count or that entry is null.
    int set(unsigned n, const InsyoRelate &r);
    // A clone of r at the end.
    int append(const InsyoRelate &r);
    // A clone of r at n; n == count appends; 0 when n > count.
    int insert(unsigned n, const InsyoRelate &r);
    int remove(unsigned n);
    int remove();

  private:
    // Clones of other's relations in order, null entries skipped.
    void deepCopy(const InsyoRelateList &other);

    Table m_relates;
};
