#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/PlaneCoord.h"
#include "exchange/Pomtrek/FileStop.h"
#include "veltrane/conversion/CrdCnvPrmTbl.h"
#include "veltrane/conversion/CrdTrnsBlockTbl.h"
#include "veltrane/database/VeltraneTypes.h"
#include "veltrane/model/DisplaySettings.h"
#include "veltrane/model/InsyoRelate.h"
#include "veltrane/model/JFileCrdCnv.h"
#include "veltrane/model/JGDDDatCond.h"
#include "veltrane/model/JLot.h"
#include "veltrane/model/PointTable.h"
#include "veltrane/model/PrecisionMngTable.h"
#include "veltrane/model/PrtItemInfo.h"
#include "veltrane/model/ZukakuCondition.h"

#include <cstdint>
#include <vector>

class CArchive;
class ConversionState;
class EarthEllips;
class ICoordTransformer;
class JIProgMsgBase;
class JIProgMsgBase2;
class OmbreskMngr;
class PendingFiles;
enum VeskVersionNo : int;
class ProgressMsgBase;
class T2JErrIdxDB;

// Conversion options by block number, for preparing blocks with options of their own.
struct CrdCnvOptTblEntry {
    std::uint32_t blockNo = 0;
    CoordCnvOption option;
};
using CrdCnvOptTbl = std::vector<CrdCnvOptTblEntry>;

// The whole project: it is the main point table and owns every point in it, and it holds the
// secondary tables (current tab, selection, name index), the lots, the zones and the settings.
// Every other table lists points of the main table without owning them.
class Veltrane : public PointTable {
  public:
    // The land-surveyor mode: other names of tabs and kinds.
    static bool m_fChosashiMode;
    static void SetChosashiMode(bool on) { m_fChosashiMode = on; }
    static bool IsChosashiMode() { return m_fChosashiMode; }
    static const EarthEllips &BesselEllipsoid();
    static const EarthEllips &GRS80Ellipsoid();

    Veltrane();
    Veltrane(const Veltrane &) = delete;
    Veltrane &operator=(const Veltrane &) = delete;
    ~Veltrane() override;

    // Back to the empty project with the default settings.
    void Initialize(bool keepKind);
    // Removes every point and everything that lists points.
    void AllRemove();

    // ---- points
    // Stores a copy of p; the stored point, or null when it cannot be made.
    Point *Append(const Point &p);
    // Assigns value into the stored point in place; false when stored is not in the main table.
    bool Edit(const Point &value, const Point *stored);
    // Detaches the point from every structure, then deletes it; false (nothing deleted) when it
    // is not in the main table.
    bool Remove(Point *p, bool rebuildIdxMaps);
    // Removes every selected point, in one walk of each table whatever their number; the number
    // that could not be removed.
    unsigned RemoveSelectedPoints();
    void MakeRetrievableIdxMap();
    void SetCoord(Point *p, const Coordinate &c, CoordinateKind kind, ITRFCoordKind itrf);
    using PointTable::Find;
    // The point of that name through the name index (the first stored of equal names).
    Point *Find(const CString &name) const { return m_nameIndex.Find(name); }

    // ---- selection
    bool AppendSelect(const Point *p);
    bool RemoveSelect(const Point *p);
    void AllRemoveSelect();
    bool IsSelected(const Point *p) const;
    PointTable *GetSelectedTable() { return &m_selected; }
    bool AppendSelect(int area);
    bool RemoveSelect(int area);
    void ClearSelectedArea() { m_selectedAreas.clear(); }
    const std::vector<int> &GetSelectedAreaTable() const { return m_selectedAreas; }
    // Moves the selected points of the current-tab table together before or after the anchor.
    bool MoveSelectedCrd(const Point *anchor, bool after);

    // ---- state
    TABID GetCurrentTab() const { return m_curTab; }
    void SetCurrentTab(TABID tab) { m_curTab = tab; }
    PRECISION_CHECK_ID GetCurrentPrec() const { return m_curPrec; }
    void SetCurrentPrec(PRECISION_CHECK_ID id) { m_curPrec = id; }
    ViewID GetCurrentRightView() const { return m_curRightView; }
    void SetCurrentRightView(ViewID view) { m_curRightView = view; }
    bool GetCurrentITRF() const { return m_curITRFKind == ITRFKindCnvBasis; }
    ITRFCoordKind GetCurrentITRFKind() const { return static_cast<ITRFCoordKind>(m_curITRFKind); }
    void SetCurrentITRF(bool basis) { m_curITRFKind = basis ? ITRFKindCnvBasis : ITRFKindChkObs; }
    CoordinateKind GetCurrentRsltCrd() const { return m_curRsltCrd; }
    void SetCurrentRsltCrd(CoordinateKind kind);
    int GetPrecChkLimitSw() const { return m_limitSw; }
    void SetPrecChkLimitSw(int sw) { m_limitSw = sw; }
    bool IsAdjustCrdCnvValid() const { return m_fAdjustValid; }
    CString GetCnvPrmFile() const { return m_cnvPrmFile; }
    void SetCnvPrmFile(const CString &name) { m_cnvPrmFile = name; }
    CString GetCnvPrmDir() const { return m_cnvPrmDir; }
    void SetCnvPrmDir(const CString &dir) { m_cnvPrmDir = dir; }
    CString GetCnvPrmVer() const { return m_cnvPrmVer; }
    CString GetGeoideModelFile(int index = 0) const;
    void SetGeoideModelFile(const CString &path) { m_geoidModelFile = path; }
    void AppendGeoideModelFile(const CString &path) { m_geoidModelFile = path; }
    CString GetMultiplePlusName() const { return m_multiplePlusName; }
    void SetMultiplePlusName(const CString &name) { m_multiplePlusName = name; }
    static CString GetMultiplePlusName_Old() { return "#PELZU"; }

    // ---- zones
    const PlaneCrdJpn *GetCoordSys(bool newDatum) const;
    const PlaneArea *GetCurrentPlaneArea(bool newDatum) const;
    int GetCurrentCoordSysNo() const { return m_planeNo; }
    // False when either catalogue lacks the zone; a new zone recomputes every latitude and
    // longitude.
    bool SetCurrentPlaneArea(int no);
    void CalcNewCoordBL(Coordinate &c, int unit) const;
    // The three-parameter shift from the Tokyo-datum zone to the new datum's zone (reverse: back):
    // X and Y moved, H and its flag kept. Without both zones, or when the shift fails, *out is a
    // copy of in and the answer false.
    bool ShiftBetweenZones(const Coordinate &in, Coordinate *out, bool reverse) const;

    // ---- current-tab tables
    PointTable *GetTmpTable() { return &m_tmpTable; }
    void MakeTmpTable();
    void MakeTmpTable(PointTable *table);
    void MakeTmpTable(PointTable *table, TABID tab, ITRFCoordKind itrf, int subIndex);
    int getJGD2kTabSubIdx() const;
    bool IsAgreeWithCurrentTab(const Point *p) const;
    // The points whose results in the block are reported; block -1 (as unsigned) takes each
    // point's result by block priority.
    void MakeResultPointTable(unsigned block, PointTable *out, bool withBasis, bool withCheck,
                              bool withAdjust) const;
    // The same with the basis points that old marks are looked up in given, for every block.
    void MakeResultPointTable(unsigned block, PointTable *out, const PointTable &basis,
                              bool withBasis, bool withCheck, bool withAdjust) const;
    // The new coordinate that precision management and lot areas take, by the data condition's
    // precision source; block -1 is the block by priority.
    bool GetNewCoordForPrecMng(const Point *p, int block, Coordinate *out) const;

    // ---- settings that travel with the project
    const JGDDDatCond &GetJGDDDatCond() const { return m_datCond; }
    void SetJGDDDatCond(const JGDDDatCond &cond) { m_datCond = cond; }
    const JGDDrawSw &GetJGDDrawSw() const { return m_drawSw; }
    void SetJGDDrawSw(const JGDDrawSw &sw) { m_drawSw = sw; }
    const ZukakuCondition &GetZukakuCondition() const { return m_zukakuCond; }
    void SetZukakuCondition(const ZukakuCondition &cond) { m_zukakuCond = cond; }
    const PrtItemInfo &GetPrtItemInfo() const { return m_prtItemInfo; }
    void SetPrtItemInfo(const PrtItemInfo &items) { m_prtItemInfo = items; }

    // ---- lots
    bool AppendLot(JLot *lot) { return m_lots.Append(lot); }
    JLotTable *GetLotTable() { return &m_lots; }
    const JLotTable *GetLotTable() const { return &m_lots; }

    // ---- marks
    // The relations to old reference marks, rebuilt from the points whenever relations change.
    void ClearInsyoList();
    // Rebuilds the list from every point tied to an old reference mark.
    void MakeInsyoList();
    // Adds the point to the mark's relation (creating the mark); false when the relation is
    // already listed. The stored point of that name (of several, the one observed at c) takes
    // the mark's name.
    bool AppendRelate(const CString &mark, const CString &point, const Coordinate &c);
    // The mark's position in the list goes to *index (-1 when absent).
    bool IsExistInsyoName(const CString &mark, int *index) const;
    unsigned GetInsyoCount() const;
    bool GetInsyoName(unsigned i, CString *mark) const;
    // 0 for an unknown mark.
    unsigned GetRelateCount(const CString &mark) const;
    bool GetRelateName(const CString &mark, unsigned i, CString *point) const;
    // Ties the selected points of the current-tab table to the mark (tab 1, ITRF kind 1 only);
    // the number tied.
    unsigned RelateSelectedPntsToInsyoPnt(const Point *mark);
    // Ties them to the adjust-known point (tab 0, or tab 1 with ITRF kind 1); the number tied.
    unsigned RelateSelectedPntsToKnownPnt(const Point *known);
    // Undo the ties of the selected points (a mark naming itself is no tie); whether any was
    // undone.
    bool CancelRelateSelectedPntsToInsyoPnt();
    bool CancelRelateSelectedPntsToKnownPnt();
    // The mark (adjust-known point) all selected points of the current-tab table share, with its
    // Tokyo (known JGD2000) coordinate in *out; empty when they do not share one.
    CString GetSelectedCommonRelateInsyoName(Coordinate *out) const;
    CString GetSelectedCommonRelateKnownName(Coordinate *out) const;
    // The first point of that name whose Tokyo (known JGD2000) X and Y equal c's exactly.
    Point *FindRefInsyoPoint(const CString &name, const Coordinate &c) const;
    Point *FindRefKnownPoint(const CString &name, const Coordinate &c) const;
    // ---- conversion
    // Each answers false, with the project as it was before the call (points, engines, tables,
    // flags, kind), when it fails or the user cancels. With kept, what the preparation and the
    // conversion change is kept there instead, for the caller to put back together: a
    // preparation and the conversion after it are then undone as one.
    // Binds the whole-area parameter table anew and fits its engines with the option.
    bool PrepareCoordConv(const CoordCnvOption &option, JIProgMsgBase *progress,
                          ConversionState *kept = nullptr);
    // Converts every point with the whole area's engine of the kind; false when that engine is
    // missing or not fitted.
    bool CoordConvExecute(CoordCnvKind kind, JIProgMsgBase *progress,
                          ConversionState *kept = nullptr);
    // Converts every point with the published grid parameters; false without a grid.
    bool T2JCoordConvExecute(const OmbreskMngr *grid, JIProgMsgBase *progress);
    void SetCoordCnvOption(const CoordCnvOption &option) { m_prmTbl.SetCoordCnvOption(option); }
    CoordCnvOption GetCoordCnvOption() const { return m_prmTbl.GetCoordCnvOption(); }
    CoordCnvKind GetCoordCnvKind() const { return m_prmTbl.GetCoordCnvKind(); }
    void SetCoordCnvKind(CoordCnvKind kind) { m_prmTbl.SetCoordCnvKind(kind); }
    CoordConvParam *GetCoordConvParam(CoordCnvKind kind) {
        return m_prmTbl.GetCoordConvParam(kind);
    }
    const CoordConvParam *GetSelectedCoordConvParam() const {
        return m_prmTbl.GetSelectedCoordConvParam();
    }
    CrdCnvPrmTbl *GetCrdCnvPrmTbl() { return &m_prmTbl; }
    const CrdCnvPrmTbl *GetCrdCnvPrmTbl() const { return &m_prmTbl; }
    // 0: the whole area; -1: any block; n: block n.
    bool IsCrdCnvCompleted(int block) const;
    JGDTargetCrdKind GetJGDTargetCrdKind() const { return m_targetKind; }

    // ---- precision
    void MakeAllPrecChkTable();
    // Id -1 is the current precision; only 0 and 1 are rebuilt.
    void MakePrecChkTable(int id);
    // Id -1 is the current precision; ids 0, 1 and 5; block 0 is the whole area.
    PrecisionChkTable *GetPrecChkTable(int id, unsigned block);
    const PrecisionChkTable *GetPrecChkTable(int id, unsigned block) const;
    PrecisionChkTable *GetCurrentPrecChkTable();
    bool SetResidualLimitByMM(int basis, int check);
    bool SetResidualLimitByMM_H(int basis, int check);
    // True when the block is not converted or the point is neither a basis nor a check point;
    // else the answer of the block's basis or check table.
    bool CheckPrecIsInLimit(const Point *p, unsigned block) const;
    bool CheckPrecIsInLimitAll(const Point *p, unsigned block) const;
    bool CheckPrecXIsInLimit(const Point *p, unsigned block) const;
    bool CheckPrecYIsInLimit(const Point *p, unsigned block) const;
    bool CheckPrecHIsInLimit(const Point *p, unsigned block) const;
    // Appends to the precision-management table the pairs of the table's eligible points: each
    // with its nearest neighbour when nearest is non-zero, else all pairs. False, with the table
    // unchanged, when the user cancels.
    bool MakePrecMngTable(const PointTable *table, int nearest, JIProgMsgBase *progress);
    PrecisionMngTable *GetPrecMngTable() { return &m_precMngTable; }
    PrecisionMngTable *GetSelectedPMTable() { return &m_selectedPairs; }
    // Takes the pair out of the selection and, when it was selected, out of the table.
    bool Remove(PrecMngElm *pair);
    bool MoveSelectedPMElm(const PrecMngElm *anchor, bool after);
    void OnSetUseForCalc(bool value, bool inPrecisionView);
    void SetSelectedKjnKind(KjnPointKind kind, bool inPrecisionView);
    bool IsEnableSetUseForCalc(bool inPrecisionView) const;
    bool IsEnableSetUnuseForCalc(bool inPrecisionView) const;
    bool IsExistInCoordList(const Point *p) const;

    // ---- file-to-file conversion
    // Convert a coordinate file into another with the whole area's current engine (and its
    // adjustment engine), with one block's engines, or with the grid parameters; false, with the
    // reason in messages, when the engines are missing or not fitted or the conversion fails.
    // dst is put in place only by a conversion that took every line: a cancelled or stopped one
    // leaves no new file and a file there as it was; when dst was free, a file that takes the
    // name meanwhile is never replaced (false, with the reason).
    bool CoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                          ConvertMode mode, JGDCrdFileFormat format, std::vector<CString> *messages,
                          JIProgMsgBase *progress);
    bool BlockCoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                               ConvertMode mode, JGDCrdFileFormat format, unsigned block,
                               std::vector<CString> *messages, JIProgMsgBase *progress);
    bool T2JCoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                             ConvertMode mode, JGDCrdFileFormat format, const OmbreskMngr *grid,
                             std::vector<CString> *messages, JIProgMsgBase *progress);
    // The format of a coordinate file: exchange, reference-point text, grid-conversion text or
    // the single-letter exchange variant, asked in that order; unknown when none takes it.
    JGDCrdFileFormat JudgeFileFormat(const CString &path);

    // ---- project file
    // Whether the database reads files of that version.
    static bool IsValidVersion(unsigned long version);
    // Writes the project; false when a precision table of the whole area is missing.
    bool Write(CArchive &ar);
    // Loads a project over the database, which always starts empty. A file that ends early or is
    // damaged leaves the database empty (DbReadShort); so does a file that is not a project
    // (DbReadNotProject). A loaded project is fitted and converted again with its stored kind.
    JDDbReadRetCode Read(CArchive &ar, bool keepKind);
    // ---- jobs and error indexes
    JFileCrdCnvTbl *GetFileCrdCnvTbl() { return &m_fileJobs; }
    const JFileCrdCnvTbl *GetFileCrdCnvTbl() const { return &m_fileJobs; }
    // The grid parameter file: the program folder, the parameter folder when set, the name.
    CString GetCnvPrmFilePath(const CString &programFolder) const;
    // Error indexes of the grid. The whole area (wholeArea) walks the national extent in tiles
    // and writes EDX files into folder: fileKind 0 one file a first-level mesh, "%04d.edx"; 1
    // one a second-level mesh, "%04d-%02d.edx"; 2 both, each in a subfolder "%04d" of the
    // first-level mesh. Otherwise the squares around the project's Tokyo-datum points go into
    // one table for the target. The target is emptied first. False when the grid is missing or
    // not loaded, the kind is unknown, there are no points or no zone, a file cannot be written
    // or the run is cancelled. The files are put in place together at the end: a run that
    // answers false leaves the folder as it was (files there untouched, no new file or folder).
    bool T2JCalcConvErrIdx(const CString &folder, const OmbreskMngr *grid, T2JErrIdxDB *target,
                           ProgressMsgBase *progress, bool wholeArea, int fileKind) const;
    // Semi-dynamic error indexes of the whole area into the target (emptied first) and, with a
    // folder, into EDX files in first-level subfolders, put in place as above.
    bool CalcSemiDynErrIdx(const CString &folder, const OmbreskMngr *grid, T2JErrIdxDB *target,
                           ProgressMsgBase *progress) const;
    bool CalcSemiDynErrIdx(const OmbreskMngr *grid, T2JErrIdxDB *target,
                           ProgressMsgBase *progress) const;

    // ---- blocks
    CrdTrnsBlockTbl *GetCrdTrnsBlockTbl() { return &m_blocks; }
    const CrdTrnsBlockTbl *GetCrdTrnsBlockTbl() const { return &m_blocks; }
    // False for a number other than 0 that names no block.
    bool SetCurrentBlock(unsigned block) { return m_blocks.SetCurrentNo(block); }
    unsigned GetCurrentBlockNo() const { return m_blocks.GetCurrentNo(); }
    unsigned GetBlockCount() const { return m_blocks.GetBlockSize(); }
    // Empty when there is no such block.
    CString GetCrdTrnsBlockName(unsigned block) const;
    // Each takes the selection in its order and clears it; the number of points removed or
    // added, 0 when a block is missing (or is block 0, or from equals to).
    unsigned RemoveSelectedPointsFromBlock(unsigned block);
    unsigned AppendSelectedPoints(unsigned block);
    unsigned MoveSelectedPoints(unsigned from, unsigned to);
    // Whether the selection holds basis points in use that the converted block includes.
    bool CheckSelectedPntRemoveEffect(unsigned block) const;
    // The converted blocks (0 for the whole area) that hold selected basis points in use, each
    // once; whether there is one.
    bool CheckSelectedPntRemoveEffect(std::vector<unsigned> *blocks) const;
    // The point's result in the block, or with block -1 in the block that the priority order
    // gives; false when there is none.
    bool GetJGD2000(const Point *p, int block, Coordinate *out, CoordConvStatusD *status) const;
    using PointTable::GetMinMax;
    // The Tokyo-datum extent of the points, widened by the error indexes' extent when they are
    // drawn and by the polygons of the blocks with withBlocks; false when there is nothing.
    bool GetMinMax(double *xmin, double *ymin, double *xmax, double *ymax,
                   const T2JErrIdxDB *errIdx, bool withBlocks) const;
    // Fits the engines of every block, with one option or with each block's entry of the table
    // (the default option for a block without one). The progress counts blocks. False, with
    // every block as it was, when one fails or the user cancels.
    bool PrepareBlockCoordConv(const CoordCnvOption &option, JIProgMsgBase2 *progress);
    bool PrepareBlockCoordConv(const CrdCnvOptTbl &options, JIProgMsgBase2 *progress);
    // Converts every block marked for calculation with the kind (-1: each block's own); false,
    // with the reasons in messages, when a block's engine is missing or not fitted, when no
    // block is marked or when one fails; false, with every block as it was, when cancelled.
    bool BlockCoordConvExecute(CoordCnvKind kind, std::vector<CString> *messages,
                               JIProgMsgBase2 *progress);

    // ---- names
    static CString GetCoordCnvKindName(CoordCnvKind kind);
    CString GetCoordCnvKindLongName(CoordCnvKind kind, const OmbreskMngr *grid) const;
    static const char *GetTabName(TABID tab);
    static CString GetITRFKindName(ITRFCoordKind kind);
    static CString GetResultCrdKindName(CoordinateKind kind);
    static CString GetKjnKindName(KjnPointKind kind);
    static CoordinateKind ConvertTabToCoordinateKind(TABID tab, int subIndex);
    static TABID ConvertCoordinateKindToTab(CoordinateKind kind);
    CString GetCurrentCoordSysName() const;
    CString GetCurrentCoordCnvKindName() const;
    // "%s %s %s": the product, the short version and the long name of the current method (the
    // grid's parameter version for the grid method, the stored one without a grid). After a
    // block conversion the method is that of the converted blocks when they all used one, else
    // the text of mixed methods.
    CString GetCurrentCoordCnvKindForPrt(const OmbreskMngr *grid) const;
    static CString GetCompanyName();
    static CString GetProductName();
    static CString GetVersionName(bool shortForm);
    static CString GetCnvBasisPointName();

    // ---- exchange files
    // Each runs the binding of one file format on this database and answers its result; when it
    // answers false, GetFileStop() says at which line of the file and why (line 0 when no line is
    // to blame). A read stores nothing unless it succeeds; a point whose name is stored already
    // is asked about through AskCrdRewrite. Writes take flags as PointSupplier::SetCondition and
    // leave the current tab as it was, also when they throw.
    // In the land-surveyor mode a Tokyo-datum read of an exchange file reads its lots as well.
    bool ReadVesk(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                  ITRFCoordKind itrf);
    bool ReadKjnTxt(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                    ITRFCoordKind itrf);
    bool ReadApaVesk(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                     ITRFCoordKind itrf);
    bool ReadT2JTxt(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                    ITRFCoordKind itrf);
    bool WriteVesk(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                   VeskVersionNo version, bool withLots);
    bool WriteKjnTxt(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);
    bool WriteApaVesk(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);
    bool WriteT2JTxt(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);
    // Where and why the last of the operations above stopped.
    const FileStop &GetFileStop() const { return m_fileStop; }
    // The comment block at the head of a converted file: the destination, the program, the time
    // (seconds since the epoch, shown in local time), the folders and names, the zone when it is 1
    // to 19, the direction applied (-1: none, by the mode) and the parameters of the transformers
    // (the first, then the adjustment). False, with nothing appended, without a transformer.
    bool GetFileConvertComments(std::vector<CString> *lines, const CString &src, const CString &dst,
                                JGDCrdFileFormat format, ConvertMode mode, int planeNo,
                                const std::vector<const ICoordTransformer *> &chain,
                                int appliedDirection, std::int64_t time) const;

  private:
    bool convertFile(const CString &src, const CString &dst, const CString &logPath,
                     ConvertMode mode, JGDCrdFileFormat format,
                     const std::vector<const ICoordTransformer *> &chain, CoordCnvKind kind,
                     std::vector<CString> *messages, JIProgMsgBase *progress);
    bool convertFileWith(const CString &src, const CString &dst, const CString &logPath,
                         ConvertMode mode, JGDCrdFileFormat format, const CoordConvParam *engine,
                         const CoordConvParam *adjust, std::vector<CString> *messages,
                         JIProgMsgBase *progress);
    // The records after the header, in file order; raises the archive's exception when the file
    // ends early or holds what no writer writes.
    void readRecords(CArchive &ar, unsigned long version);
    void calcAllPointBL();
    // Walks the national extent in tiles of tileLat x tileLon seconds; each tile with answers
    // becomes a table, written into folder (when given; put in place by pending.Commit()) and
    // handed to the target (when given).
    bool doT2JCalcConvErrIdx_sub(const CString &folder, const OmbreskMngr *grid,
                                 ProgressMsgBase *progress, bool twoLevelName, int tileLat,
                                 int tileLon, bool subfolders, bool semiDynamic,
                                 T2JErrIdxDB *target, PendingFiles &pending) const;
    // The selected points in the list that the use and kind commands act on.
    std::vector<Point *> selectedInCurrentList(bool inPrecisionView) const;
    const PrecisionChkTable *checkTableFor(const Point *p, unsigned block) const;
    // Whether the point belongs in a current-tab table of that coordinate kind.
    bool takeForTab(const Point *p, TABID tab, CoordinateKind kind, ITRFCoordKind itrf) const;
    // The result table with the given basis table, or with each block's own when it is null.
    void makeResultPointTable(unsigned block, PointTable *out, const PointTable *given,
                              bool withBasis, bool withCheck, bool withAdjust) const;
    // The method that printed texts name (see GetCurrentCoordCnvKindForPrt).
    CoordCnvKind printedCoordCnvKind() const;
    // The check-observation tables of the whole area and of every block that are converted.
    void remakeChkObsPrecTables();
    // After a read of check observations or known coordinates.
    void readTxtSub(CoordinateKind kind, ITRFCoordKind itrf);
    // Detaches every point of the set from every structure, then deletes it; the position maps
    // are left for the caller to rebuild.
    void removePoints(const PointSet &gone);

    PointTable m_tmpTable{true};
    int m_limitSw = 1;
    PrecisionMngTable m_precMngTable{false};
    PrecisionMngTable m_selectedPairs{true};
    std::vector<int> m_selectedAreas;
    PointTable m_selected{true};
    PointNameOrderedTbl m_nameIndex;
    JLotTable m_lots;
    CrdTrnsBlockTbl m_blocks;
    JGDTargetCrdKind m_targetKind = JGDTargetNone;
    CrdCnvPrmTbl m_prmTbl;
    bool m_fCompleted = false;
    bool m_fAdjustValid = false;
    CString m_cnvPrmFile;
    CString m_cnvPrmDir;
    CString m_cnvPrmVer;
    TABID m_curTab = TabTokyo;
    PRECISION_CHECK_ID m_curPrec = PrecChkCnvPrec;
    ViewID m_curRightView = ViewCoordList;
    int m_curITRFKind = ITRFKindCnvBasis;
    CoordinateKind m_curRsltCrd = CrdKindAdjustedJGD;
    PlaneCrdJpn m_oldZones;
    PlaneCrdJpn m_newZones;
    int m_planeNo = 7;
    JGDDrawSw m_drawSw;
    ZukakuCondition m_zukakuCond;
    JGDDDatCond m_datCond;
    PrtItemInfo m_prtItemInfo;
    JFileCrdCnvTbl m_fileJobs;
    CString m_geoidModelFile;
    CString m_multiplePlusName;
    InsyoRelateList m_insyoList;
    FileStop m_fileStop;
};
