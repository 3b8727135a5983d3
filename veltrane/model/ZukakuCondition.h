#pragma once

#include "veltrane/model/JGDDMZukaku.h"

class CArchive;

// The sheet grid that the database shows and prints: a standard level, a
// sheet size of the user's own, or none.
//
// Record: int32 kind; int32 level; double own span x, y; double level span x,
// y; int32 mesh kind. Write on a loading archive raises CArchiveException
// readOnly, Read on a storing one writeOnly, Read past the end endOfFile; a
// record cut short leaves the condition as it was. Both answer true.
class ZukakuCondition {
  public:
    enum { kindLevel = 0, kindOwnSize = 1, kindNone = 2 };

    ZukakuCondition() { Initialize(); }
    virtual ~ZukakuCondition() = default;
    ZukakuCondition(const ZukakuCondition &) = default;
    ZukakuCondition &operator=(const ZukakuCondition &) = default;

    // No grid, level 1/5000, own size 1500 x 2000, mesh kind 1.
    void Initialize();

    int GetKind() const { return m_nKind; }
    void SetKind(int kind) { m_nKind = kind; }
    ZUKAKU_LEVEL GetZukakuLevel() const { return m_level; }
    // The standard level and its sheet size.
    void SetDMZukaku(ZUKAKU_LEVEL level);
    // The own size for the own-size kind, the level's for the level kind;
    // otherwise the outputs are left as they are. Null pointers are skipped.
    void GetZukakuSpan(double *x, double *y) const;
    // The own size whatever the kind.
    void GetOptionalZukakuSpan(double *x, double *y) const;
    // These choose the own-size kind.
    void SetZukakuSpan(double x, double y);
    void SetZukakuSpanX(double x);
    void SetZukakuSpanY(double y);
    int GetMeshKind() const { return m_nMeshKind; }
    void SetMeshKind(int kind) { m_nMeshKind = kind; }

    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

  private:
    int m_nKind;
    ZUKAKU_LEVEL m_level;
    double m_dSpanX;
    double m_dSpanY;
    double m_dLevelSpanX;
    double m_dLevelSpanY;
    int m_nMeshKind;
};
