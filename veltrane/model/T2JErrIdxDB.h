#pragma once

#include "ombresk/JCnvPrmFile.h"
#include "veltrane/model/T2JErrIdx.h"

#include <memory>
#include <vector>

class PlaneArea;
class Projection;

// The loaded error-index tables, owned, with the file type of the parameters they belong to.
class T2JErrIdxDB {
  public:
    T2JErrIdxDB() = default;
    T2JErrIdxDB(const T2JErrIdxDB &) = delete;
    T2JErrIdxDB &operator=(const T2JErrIdxDB &) = delete;
    virtual ~T2JErrIdxDB();

    // Takes ownership; false (nothing taken) for null or a table already held.
    bool Append(T2JErrIdxTbl *table);
    // Reads the EDX file into a new table and appends it; false, with nothing added, when the
    // file cannot be read.
    bool T2JReadConvErrIdx(const CString &path);
    // Where and why the last read stopped, as the table's read gives it.
    const FileStop &GetFileStop() const { return m_fileStop; }
    // The first table, or null.
    T2JErrIdxTbl *GetErrIdxTbl();
    // Null when i is out of range.
    T2JErrIdxTbl *GetErrIdxTbl(unsigned i);
    const T2JErrIdxTbl *GetErrIdxTbl(unsigned i) const;
    // Deletes the table; false when i is out of range.
    bool RemoveErrIdxTbl(unsigned i);
    void AllRemoveErrIdxTbl();

    void SetFileType(JCnvPrmFileType type) { m_fileType = type; }
    JCnvPrmFileType GetFileType() const { return m_fileType; }

    // The plane extent of all tables' cells (of the collection's file type), replacing the
    // outputs unless extend is set. True when some table gave an extent; false, with the
    // outputs untouched, when none holds an index or the zone cannot project.
    bool GetMinMax(const PlaneArea *zone, double *xmin, double *ymin, double *xmax, double *ymax,
                   bool extend) const;
    // Extremes of gamma and delta over all tables; false, with the outputs untouched, when no
    // table holds an index.
    bool GetMinMaxValue(double *gammaMin, double *gammaMax, double *deltaMin,
                        double *deltaMax) const;
    // Means of gamma and delta over all indexes; false (no value, outputs untouched) when
    // there is none.
    bool GetValueAve(double *gammaAverage, double *deltaAverage) const;
    // Every table's corners with the collection's file type; false when one failed.
    bool CalcAllPntXY(const Projection *proj);

  private:
    std::vector<std::unique_ptr<T2JErrIdxTbl>> m_tables;
    JCnvPrmFileType m_fileType = CNVPRM_TYPE_TKY2JGD;
    FileStop m_fileStop;
};
