#pragma once

#include "ombresk/JCnvPrmData.h"
#include "ombresk/JMeshCode.h"
#include "platform/core/CString.h"

class ProgressMsgBase;
class TransMercator;

// Converts plane-rectangular coordinates between the Tokyo datum and JGD2000 by bilinear
// interpolation of the grid shifts it holds, and computes conversion error indexes and the
// semi-dynamic correction.
//
// The two projections (old datum on Bessel, new datum on GRS80, the same plane zone) are the
// caller's and may be null. Every operation answers false, leaving its outputs untouched,
// when the data is not ready, a projection it needs is missing, or a grid node it needs is
// absent. Angles are radians; grid shifts are arc seconds.
class OmbreskMngr {
  public:
    OmbreskMngr();
    OmbreskMngr(const TransMercator *oldTM, const TransMercator *newTM);
    OmbreskMngr(const OmbreskMngr &) = delete;
    OmbreskMngr &operator=(const OmbreskMngr &) = delete;
    virtual ~OmbreskMngr();

    void SetOldTransMercator(const TransMercator *tm) { m_pOldTM = tm; }
    void SetNewTransMercator(const TransMercator *tm) { m_pNewTM = tm; }
    const TransMercator *GetOldTransMercator() const { return m_pOldTM; }
    const TransMercator *GetNewTransMercator() const { return m_pNewTM; }

    // A read that fails or is cancelled keeps the grid held before (JCnvPrmData::Read).
    // Reads a published parameter file; its type is taken from its first line.
    JCnvPrmReadRetCode ReadCnvPrmData(const CString &path, ProgressMsgBase *progress);
    // Reads a semi-dynamic parameter file (type 2).
    JCnvPrmReadRetCode ReadSemiDynamicData(const CString &path, ProgressMsgBase *progress);
    // Reads and writes the binary cache.
    JCnvPrmReadRetCode ReadCnvPrmBin(const CString &path, ProgressMsgBase *progress);
    bool WriteCnvPrmBin(const CString &path);

    void ClearCnvPrmData();
    bool IsDataReady() const;
    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileVerStr1() const;
    CString GetFileVerStr2() const;
    JCnvPrmData *GetCnvPrmData() { return &m_data; }
    const JCnvPrmData *GetCnvPrmData() const { return &m_data; }

    // Third-level code of an old-datum plane point.
    bool CalcMeshCode(double x, double y, JMeshCode *code) const;

    // Old plane to new plane, and old geodetic to new geodetic.
    bool Convert(double x, double y, double *x2, double *y2) const;
    bool ConvertBL(double B, double L, double *B2, double *L2) const;
    // New to old, in exactly two rounds.
    bool ConvertRvs(double x, double y, double *x2, double *y2) const;
    bool ConvertRvsBL(double B, double L, double *B2, double *L2) const;

    // Error index of a square with the data's file type: index and sum (dN + dE, mm).
    bool CalcCnvErrIndex(const JMeshCode &code, double *index, double *sum) const;
    // The same with the semi-dynamic spacing (150 x 225 seconds).
    bool CalcSemiDynErrIndex(const JMeshCode &code, double *index, double *sum) const;

    // Semi-dynamic shifts at (B, L): dB, dL in arc seconds, dH in metres.
    bool CalcSemiDynParam(double B, double L, double *dB, double *dL, double *dH) const;
    // Applies them to a new-datum plane point and height (subtracts them when !forward).
    bool CalcSemiDyn(double x, double y, double h, double *x2, double *y2, double *h2,
                     bool forward) const;

  protected:
    // Bilinear shifts at (B, L) in radians.
    bool calcShift(double B, double L, double *dB, double *dL) const;
    bool calcCnvErrIndex_sub(const JMeshCode &code, int fileType, double *index, double *sum) const;

  private:
    JCnvPrmData m_data;
    const TransMercator *m_pOldTM = nullptr;
    const TransMercator *m_pNewTM = nullptr;
};
