#include "veltrane/conversion/CentroidReduction.h"

#include "veltrane/conversion/CalcAverage.h"
#include "veltrane/database/Veltrane.h"

namespace {

// Stores the computed mean; a failed computation leaves the previous value.
void takeAverage(CalcAverageBase &average, Veltrane *db, double *mean) {
    average.SetDataBase(db);
    double value = 0.0;
    if (average.CalcAverage() && average.GetAverage(&value))
        *mean = value;
}

} // namespace

double CentroidReduction::CalcPlaneDist(double distance, double height, double geoidHeight,
                                        double scale) {
    return (1.0 - (height + geoidHeight) / 6370000.0) * scale * distance;
}

void CentroidReduction::calcMeans(const CoordCnvOption &option, Veltrane *db) {
    if (option.m_nTakeHeight == 1) {
        m_dAveHgt = option.m_dMeanHeight;
    } else {
        CalcAverageHgt average;
        takeAverage(average, db, &m_dAveHgt);
    }
    if (!option.m_fUseGeoid) {
        m_dAveGeoHgt = 0.0;
    } else if (option.m_nTakeGeoid == 1) {
        m_dAveGeoHgt = option.m_dMeanGeoidHeight;
    } else {
        CalcAverageGeo average;
        if (db)
            average.SetGsiGeome(db->GetGeoideModelFile(0));
        takeAverage(average, db, &m_dAveGeoHgt);
    }
    if (option.m_nTakeScale == 1) {
        m_dAveSclFct = option.m_dScaleFactor;
    } else {
        CalcAverageSbys average;
        takeAverage(average, db, &m_dAveSclFct);
    }
}

double CentroidReduction::calcCorrect() const {
    return CalcPlaneDist(1.0, m_dAveHgt, IsGeoidHeightAdded() ? m_dAveGeoHgt : 0.0, m_dAveSclFct);
}
