#include "veltrane/conversion/CoordCnvOption.h"

#include "veltrane/model/ArchiveFields.h"

void WriteCoordCnvOption(CArchive &ar, const CoordCnvOption &option) {
    WriteFlag(ar, option.m_fDatumShift);
    WriteFlag(ar, option.m_fSecond);
    WriteFlag(ar, option.m_fResidualInterp);
    WriteInt(ar, option.m_nFlag);
    ar << option.m_dScaleFactor << option.m_dMeanHeight << option.m_dMeanGeoidHeight;
    WriteFlag(ar, option.m_fUseGeoid);
    WriteInt(ar, option.m_nTakeScale);
    WriteInt(ar, option.m_nTakeHeight);
    WriteInt(ar, option.m_nTakeGeoid);
}

CoordCnvOption ReadCoordCnvOption(CArchive &ar) {
    CoordCnvOption option;
    option.m_fDatumShift = ReadFlag(ar);
    option.m_fSecond = ReadFlag(ar);
    option.m_fResidualInterp = ReadFlag(ar);
    option.m_nFlag = ReadInt(ar);
    ar >> option.m_dScaleFactor >> option.m_dMeanHeight >> option.m_dMeanGeoidHeight;
    option.m_fUseGeoid = ReadFlag(ar);
    option.m_nTakeScale = ReadInt(ar);
    option.m_nTakeHeight = ReadInt(ar);
    option.m_nTakeGeoid = ReadInt(ar);
    return option;
}
