#pragma once

class CArchive;

// Data conditions of the database: which new coordinate precision management
// takes, whether written files carry latitude and longitude, and the decimals
// of coordinates and heights in written files.
//
// Record: the four values as int32 in member order. Write on a loading archive
// raises CArchiveException readOnly, Read on a storing one writeOnly, Read past
// the end endOfFile; a record cut short leaves the conditions as they were.
// Both answer true.
class JGDDDatCond {
  public:
    JGDDDatCond() { Initialize(); }
    virtual ~JGDDDatCond() = default;
    JGDDDatCond(const JGDDDatCond &) = default;
    JGDDDatCond &operator=(const JGDDDatCond &) = default;

    // Precision source 1, no latitude and longitude, 6 and 6 decimals.
    void Initialize();

    // 0 the converted new coordinate; 1 the known one when the point has it,
    // else the converted one; other values none.
    int GetPrecSource() const { return m_nPrecSource; }
    // 1: writers compute and write latitude and longitude.
    int GetLatLonSw() const { return m_nLatLonSw; }
    int GetCrdDecimals() const { return m_nCrdDecimals; }
    int GetHgtDecimals() const { return m_nHgtDecimals; }

    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

  private:
    int m_nPrecSource;
    int m_nLatLonSw;
    int m_nCrdDecimals;
    int m_nHgtDecimals;
};
