#pragma once

#include <cstdint>

class CArchive;

// The options of one conversion, copied whole by the program, the database, the parameter table
// and every engine. The defaults are those an engine starts with.
struct CoordCnvOption {
    // Bit of the flag word: the mean geoid height joins the mean height in the scale correction.
    static constexpr std::int32_t kAddGeoidHeight = 0x20000;

    bool m_fDatumShift = false;      // source moved by the three-parameter shift before the trend
    bool m_fSecond = false;          // kept and copied; nothing reads it
    bool m_fResidualInterp = false;  // residuals spread by inverse distance after the trend
    std::int32_t m_nFlag = 2;        // low 16 bits: calculation kind (2 scales)
    double m_dScaleFactor = 1.0;     // given mean scale factor
    double m_dMeanHeight = 0.0;      // given mean height, metres
    double m_dMeanGeoidHeight = 0.0; // given mean geoid height, metres
    bool m_fUseGeoid = true;         // false forces the mean geoid height to 0
    std::int32_t m_nTakeScale = 1;   // 1: the given scale factor; 0: computed
    std::int32_t m_nTakeHeight = 1;  // 1: the given mean height; 0: computed
    std::int32_t m_nTakeGeoid = 1;   // 1: the given mean geoid height; 0: from the geoid model

    int GetCalcKind() const { return m_nFlag & 0xFFFF; }
};

// The option as the project file and the parameter table store it (56 bytes).
void WriteCoordCnvOption(CArchive &ar, const CoordCnvOption &option);
CoordCnvOption ReadCoordCnvOption(CArchive &ar);
