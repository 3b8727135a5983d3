#include "veltrane/model/JGDDDatCond.h"

#include "veltrane/model/ArchiveFields.h"

void JGDDDatCond::Initialize() {
    m_nPrecSource = 1;
    m_nLatLonSw = 0;
    m_nCrdDecimals = 6;
    m_nHgtDecimals = 6;
}

bool JGDDDatCond::Write(CArchive &ar) const {
    WriteInt(ar, m_nPrecSource);
    WriteInt(ar, m_nLatLonSw);
    WriteInt(ar, m_nCrdDecimals);
    WriteInt(ar, m_nHgtDecimals);
    return true;
}

bool JGDDDatCond::Read(CArchive &ar, unsigned long /*version*/) {
    JGDDDatCond read;
    read.m_nPrecSource = ReadInt(ar);
    read.m_nLatLonSw = ReadInt(ar);
    read.m_nCrdDecimals = ReadInt(ar);
    read.m_nHgtDecimals = ReadInt(ar);
    *this = read;
    return true;
}
