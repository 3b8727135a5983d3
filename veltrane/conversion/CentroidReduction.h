#pragma once

#include "veltrane/conversion/CoordCnvOption.h"

class Veltrane;

// Means of the source and destination plane coordinates of an engine's basis copies.
struct Centroids {
    double srcX = 0.0;
    double srcY = 0.0;
    double dstX = 0.0;
    double dstY = 0.0;
};

// What the centroid-reduced engines (second parallel translation, second and third Helmert,
// second affine) share: the flag word of their option, the three means of the scale correction
// and the centroids of their basis copies.
class CentroidReduction {
  public:
    // (1 - (height + geoid height) / 6370000) x scale factor x distance.
    static double CalcPlaneDist(double distance, double height, double geoidHeight, double scale);

    void SetFlagValue(unsigned int flags) { m_nFlag = flags; }
    unsigned int GetFlagValue() const { return m_nFlag; }
    // The low 16 bits of the flag word; kind 2 applies the scale correction.
    int GetCalcKind() const { return static_cast<int>(m_nFlag & 0xFFFF); }
    double GetAveSclFct() const { return m_dAveSclFct; }
    double GetAveHgt() const { return m_dAveHgt; }
    double GetAveGeoHgt() const { return m_dAveGeoHgt; }
    bool IsGeoidHeightAdded() const { return (m_nFlag & CoordCnvOption::kAddGeoidHeight) != 0; }

  protected:
    explicit CentroidReduction(unsigned int flags) : m_nFlag(flags) {}

    // The means as the option says: given values, or computed over the database's basis points.
    // A mean that cannot be computed keeps its previous value.
    void calcMeans(const CoordCnvOption &option, Veltrane *db);
    // f = s (1 - h / 6370000), h the mean height plus, with the geoid bit, the mean geoid height.
    double calcCorrect() const;
    // f with calculation kind 2, else 1.
    double appliedScale() const { return GetCalcKind() == 2 ? calcCorrect() : 1.0; }

    unsigned int m_nFlag;
    Centroids m_centroids;
    double m_dAveSclFct = 1.0;
    double m_dAveHgt = 0.0;
    double m_dAveGeoHgt = 0.0;
};
