#pragma once

#include "exchange/Pomtrek/FileStop.h"
#include "ombresk/JCnvPrmFile.h"
#include "ombresk/JMeshCode.h"
#include "platform/core/CString.h"

#include <vector>

class PendingFiles;
class PlaneArea;
class Projection;

// The conversion-error index of one mesh: gamma and delta, and the plane coordinates of the
// corners of its cell once CalcPntXY has computed them (0 until then).
class T2JErrIdx {
  public:
    T2JErrIdx(const JMeshCode &code, double gamma, double delta);

    const JMeshCode &GetMeshCode() const { return m_code; }
    double GetGamma() const { return m_gamma; }
    double GetDelta() const { return m_delta; }

    void GetNWCrd(double *x, double *y) const;
    void GetNECrd(double *x, double *y) const;
    void GetSWCrd(double *x, double *y) const;
    void GetSECrd(double *x, double *y) const;

    // The mesh's own corners in whole arc-seconds.
    void GetSWCrdSec(int *lat, int *lon) const;
    void GetNECrdSec(int *lat, int *lon) const;
    // Size of the cell in arc-seconds: the mesh itself for grid and patch parameters, 150 x 225
    // from the mesh's south-west corner for any other file type.
    void GetCellSizeSec(JCnvPrmFileType type, int *dLat, int *dLon) const;

    // The point dLat, dLon arc-seconds north-east of the south-west corner, projected; false
    // (outputs untouched) when the projection is null or cannot compute.
    bool GetCrdFromSW(const Projection *proj, int dLat, int dLon, double *x, double *y) const;
    // Computes the four corners of the cell; false, with the corners left as they were, when
    // one cannot be computed.
    bool CalcPntXY(const Projection *proj, JCnvPrmFileType type);

  private:
    JMeshCode m_code;
    double m_gamma;
    double m_delta;
    double m_nwX = 0.0, m_nwY = 0.0;
    double m_neX = 0.0, m_neY = 0.0;
    double m_swX = 0.0, m_swY = 0.0;
    double m_seX = 0.0, m_seY = 0.0;
};

// The error indexes of one EDX file, in file order, with the extremes of their meshes'
// south-west corners, the parameter version they belong to and the file they came from.
//
// EDX file (cp932 text, CR LF):
//   "Trelvic/EDX File <program version>"
//   "TKY2JGD parameter <parameter version>"
//   "<mesh code>,<gamma>,<delta>" per index ("%s,%7.2lf,%7.2lf"); a trailing comma, blanks or
//   empty fields after the three values are read as well
//
// After a read GetStopLine and GetStopReason say why it answered false, or at which line an
// accepted read ended before the end of the file (line 0 and no reason when it read every line).
class T2JErrIdxTbl : public FileStop {
  public:
    // Largest magnitude of gamma and delta that the file keeps: its two-decimal text reads
    // back as the same number.
    static constexpr double kValueLimit = 1e13;

    T2JErrIdxTbl() = default;
    T2JErrIdxTbl(const T2JErrIdxTbl &) = default;
    T2JErrIdxTbl &operator=(const T2JErrIdxTbl &) = default;
    virtual ~T2JErrIdxTbl();

    // Empties the indexes, extremes, version text and path.
    void Clear();
    void Append(const T2JErrIdx &index);
    unsigned GetSize() const { return static_cast<unsigned>(m_indexes.size()); }
    // Null when i is out of range.
    const T2JErrIdx *GetData(unsigned i) const;

    const CString &GetFilePath() const { return m_filePath; }
    CString GetFileName() const;
    void SetT2JVerStr(const CString &version) { m_verStr = version; }
    const CString &GetT2JVerStr() const { return m_verStr; }

    // Extremes of the meshes' south-west corners in arc-seconds (all 0 when empty).
    void GetMinMaxSec(int *latMin, int *lonMin, int *latMax, int *lonMax) const;
    // The plane extent in the zone, from the south-west corner of the lowest mesh to the
    // north-east corner of the cells of the highest (cells as GetCellSizeSec gives them).
    // Without extend the outputs are replaced, with extend widened. An empty table answers
    // true and changes nothing; false (outputs untouched) when the zone cannot project.
    bool GetMinMax(const PlaneArea *zone, double *xmin, double *ymin, double *xmax, double *ymax,
                   bool extend, JCnvPrmFileType type = CNVPRM_TYPE_TKY2JGD) const;
    // Extremes of gamma and delta; the first index replaces the outputs unless extend is set.
    // An empty table answers true and changes nothing.
    bool GetMinMaxValue(double *gammaMin, double *gammaMax, double *deltaMin, double *deltaMax,
                        bool extend) const;
    // The sum of the values, and the number of indexes.
    unsigned GetGammaTotal(double *sum) const;
    unsigned GetDeltaTotal(double *sum) const;

    // False when a corner of some index could not be computed.
    bool CalcAllPntXY(const Projection *proj, JCnvPrmFileType type);

    // False, with the file at path as it was (or absent), for an empty table, a table that the
    // file cannot hold (a mesh code other than a third-level number, a value that is not finite
    // or beyond kValueLimit, a version text with a line break or too long for the line), or
    // when the file cannot be created or written. With pending, the written file is put in
    // place only by pending->Commit().
    bool WriteEDXFile(const CString &path, PendingFiles *pending = nullptr) const;
    // Reads the file's indexes after those held (all replaced when clear is set, even when
    // the read fails). Reading ends at the first line that is not an index whole: a third-level
    // mesh code and two numbers within kValueLimit, and nothing but empty fields after them (a
    // line that cannot be read into cp932 is none either).
    // False, with the indexes untouched, when the file cannot be opened or its second line is
    // not "TKY2JGD parameter ..." with a version that a written file can hold; the version is
    // the rest of that line, trimmed.
    bool ReadEDXFile(const CString &path, bool clear);

  private:
    std::vector<T2JErrIdx> m_indexes;
    int m_latMin = 0;
    int m_latMax = 0;
    int m_lonMin = 0;
    int m_lonMax = 0;
    CString m_verStr;
    CString m_filePath;
};
