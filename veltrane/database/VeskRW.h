#pragma once

#include "exchange/Dorrimet/JVeskBaseEx.h"
#include "veltrane/database/LotRegister.h"
#include "veltrane/database/PointRegister.h"
#include "veltrane/database/PointSupplier.h"

#include <memory>
#include <vector>

class Veltrane;

// Binds the exchange format to the database: reads points (and lots) into it through a
// PointRegister and a LotRegister, writes its points (and lots) through a PointSupplier, converts
// a file with the database's comment block, and asks the user the questions of an import. Made
// for one operation. When an operation answers 0, GetStopLine and GetStopReason say why.
class VeskRW : public JVeskBaseEx {
  public:
    // The two comment lines written at the head of a file.
    static const char *const m_pComment[2];

    explicit VeskRW(Veltrane *db);
    ~VeskRW() override;

    using JVeskBaseEx::Convert;
    using JVeskBaseEx::Read;
    using VeskBase::WritePoints;
    using VeskBase::WritePointsAndLots;

    // Points and lots, as Tokyo-datum coordinates. 1 on success, 0 when the file was refused or
    // the user cancelled (nothing is then stored).
    int Read(const CString &path, JIProgMsgBase *progress);
    // Points only, as coordinates of the kind.
    int ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                   ITRFCoordKind itrf);
    // The points of the kind (flags as PointSupplier::SetCondition) in the version; the base
    // writer's result. With lots, 0 and no file when a member of a lot is not written (it has no
    // coordinate of the kind).
    int WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                    VeskVersionNo version);
    int WritePointsAndLots(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                           VeskVersionNo version);
    // Converts src into dst through the chain; planeNo is named in the comment block.
    int Convert(const CString &src, const CString &dst, ConvertMode mode, int planeNo,
                const std::vector<const ICoordTransformer *> &chain, std::vector<CString> *messages,
                JIProgMsgBase *progress);
    int Convert(const CString &src, const CString &dst, ConvertMode mode, int planeNo,
                const ICoordTransformer *transformer, std::vector<CString> *messages,
                JIProgMsgBase *progress);

  protected:
    int CheckCoordSysKind(int kind) override;
    int AddPointStart() override { return 1; }
    int AddPoint(int no, const CString &name, double x, double y, double h, int hUsed) override;
    int AddPointEnd() override { return 1; }
    // 0 (a bad record) outside a lot.
    int AddPointOfLot(int no, const CString &name) override;
    int AddRadiusOfLot(RADIUS_KIND, double) override { return 1; }
    int AddLotStart(int no, const CString &name, LOT_KIND kind) override;
    // Hands the lot over; without a lot nothing happens.
    int AddLotEnd() override;
    int AddRouteStart(int, int, const CString &, ROUTE_KIND) override { return 1; }
    int AddPointOfRoute(int, const CString &) override { return 1; }
    int AddDistOfRoute(double) override { return 1; }
    int AddRadiusOfRoute(RADIUS_KIND, double) override { return 1; }
    int AddClosoidOfRoute(double, double, double) override { return 1; }
    int AddLineAttrOfRoute(double, double, int) override { return 1; }
    int AddLineDistOfRoute(double) override { return 1; }
    int AddTriangleOfLot(int, int, int) override { return 1; }
    int AddTriAttrOfLot(double, double, double, double, double, int) override { return 1; }
    int AddRouteEnd() override { return 1; }
    int AddSiteName(const CString &) override { return 1; }
    int GetPoint(unsigned index, CString *name, double *x, double *y, double *h,
                 int *hUsed) override;
    int GetComment(int index, CString *text) override;
    int GetLotName(unsigned lot, unsigned *memberCount, CString *name, int *kind) override;
    int GetLotPoint(unsigned lot, unsigned member, unsigned *pointIndex, CString *name) override;
    int ErrMsgOfVersion(int version) override;
    int AskErrorExecute() override;
    bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction) override;

  private:
    struct ConvertContext {
        CString src;
        CString dst;
        int planeNo;
        std::vector<const ICoordTransformer *> chain;
    };

    int read(const CString &path, JIProgMsgBase *progress, bool withLots);
    int write(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
              VeskVersionNo version, bool withLots);
    // The index among the written points of the point itself, else of the first written point
    // of its name; -1 for none.
    int writtenIndex(const Point *point);
    // False, with the stop set, when a member of a lot is not among the written points.
    bool lotsWritable();

    Veltrane *m_pDataBase;
    PointRegister m_register;
    PointSupplier m_supplier;
    LotRegister m_lots;
    std::unique_ptr<ConvertContext> m_context;
    std::unique_ptr<PendingLot> m_lot; // the lot whose records are being read
};
