#pragma once

#include "exchange/Dorrimet/ApaVeskBase.h"
#include "veltrane/model/PointKinds.h"

class Veltrane;

// Binds the single-letter exchange variant to the database: reads points of a kind into it and
// writes its points of a kind. When an operation answers false, GetStopLine and GetStopReason say
// why.
class ApaVeskRW : public ApaVeskBase {
  public:
    // The block number is the caller's; the variant has no use for it.
    ApaVeskRW(Veltrane *db, int block);
    ~ApaVeskRW() override;

    using ApaVeskBase::WritePoints;

    bool ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                    ITRFCoordKind itrf);
    // Flags as PointSupplier::SetCondition.
    bool WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);

    // The variant converts nothing, so there is never a comment block: false.
    bool GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction) override;
    unsigned GetCommentSize() const override { return 0; }
    // An empty text; false for a null one.
    bool GetComment(int index, CString *text) const override;

  private:
    Veltrane *m_pDataBase;
    CoordinateKind m_kind = CrdKindJGD2000;
};
