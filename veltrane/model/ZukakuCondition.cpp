#include "veltrane/model/ZukakuCondition.h"

#include "veltrane/model/ArchiveFields.h"

namespace {

void put(double value, double *out) {
    if (out)
        *out = value;
}

} // namespace

void ZukakuCondition::Initialize() {
    m_nKind = kindNone;
    m_level = ZUKAKU_5000;
    m_dSpanX = 1500.0;
    m_dSpanY = 2000.0;
    JGDDMZukaku::getLevelSpan(m_level, &m_dLevelSpanX, &m_dLevelSpanY);
    m_nMeshKind = 1;
}

void ZukakuCondition::SetDMZukaku(ZUKAKU_LEVEL level) {
    m_nKind = kindLevel;
    m_level = level;
    JGDDMZukaku::getLevelSpan(level, &m_dLevelSpanX, &m_dLevelSpanY);
}

void ZukakuCondition::GetZukakuSpan(double *x, double *y) const {
    if (m_nKind == kindOwnSize) {
        GetOptionalZukakuSpan(x, y);
    } else if (m_nKind == kindLevel) {
        put(m_dLevelSpanX, x);
        put(m_dLevelSpanY, y);
    }
}

void ZukakuCondition::GetOptionalZukakuSpan(double *x, double *y) const {
    put(m_dSpanX, x);
    put(m_dSpanY, y);
}

void ZukakuCondition::SetZukakuSpan(double x, double y) {
    m_nKind = kindOwnSize;
    m_dSpanX = x;
    m_dSpanY = y;
}

void ZukakuCondition::SetZukakuSpanX(double x) {
    m_nKind = kindOwnSize;
    m_dSpanX = x;
}

void ZukakuCondition::SetZukakuSpanY(double y) {
    m_nKind = kindOwnSize;
    m_dSpanY = y;
}

bool ZukakuCondition::Write(CArchive &ar) const {
    WriteInt(ar, m_nKind);
    WriteInt(ar, m_level);
    ar << m_dSpanX << m_dSpanY << m_dLevelSpanX << m_dLevelSpanY;
    WriteInt(ar, m_nMeshKind);
    return true;
}

bool ZukakuCondition::Read(CArchive &ar, unsigned long /*version*/) {
    ZukakuCondition read;
    read.m_nKind = ReadInt(ar);
    read.m_level = static_cast<ZUKAKU_LEVEL>(ReadInt(ar));
    ar >> read.m_dSpanX >> read.m_dSpanY >> read.m_dLevelSpanX >> read.m_dLevelSpanY;
    read.m_nMeshKind = ReadInt(ar);
    *this = read;
    return true;
}
