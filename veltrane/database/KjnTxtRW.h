#pragma once

#include "exchange/Dorrimet/KjnTxtBase.h"
#include "veltrane/model/PointKinds.h"

class Veltrane;

// Binds the reference-point result text to the database: reads points of a kind into it, writes
// its points of a kind, and gives the comment lines and the comment block of a conversion. When an
// operation answers false, GetStopLine and GetStopReason say why.
class KjnTxtRW : public KjnTxtBase {
  public:
    // The two comment lines.
    static const char *const m_pComment[2];

    // The block is the caller's: the method line names the database's current method.
    KjnTxtRW(Veltrane *db, unsigned block);
    ~KjnTxtRW() override;

    using KjnTxtBase::WritePoints;

    bool ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                    ITRFCoordKind itrf);
    // Flags as PointSupplier::SetCondition.
    bool WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);

    bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction,
                            const ConvData &data) override;
    unsigned GetCommentSize() const override { return 2; }
    bool GetComment(int index, CString *text) const override;
    // The method of kind-2 results; otherwise the program, its version and a blank.
    bool GetCommentZ00(CString *text) const override;
    bool GetCommentZ01(CString *text) const override;
    // Datum 1 for Tokyo-datum coordinates, else 0; the database's zone.
    bool GetCommentZ02(int *datum, int *zone) const override;

  protected:
    // A read takes only the database's current zone.
    bool CheckPlaneZone(int zone, CString *reason) override;

  private:
    Veltrane *m_pDataBase;
    CoordinateKind m_kind = CrdKindJGD2000;
};
