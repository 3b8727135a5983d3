#pragma once

#include "exchange/Dorrimet/T2JTxtBase.h"
#include "veltrane/database/PointRegister.h"
#include "veltrane/database/PointSupplier.h"

class Veltrane;

// Binds the grid-conversion text to the database: reads points of a kind into it, writes its
// points of a kind, and gives the comment lines and the explanatory block of a file converted by
// the grid parameters. It owns its register and supplier and cannot be copied. When an operation
// answers false, GetStopLine and GetStopReason say why.
class Tky2JgdRW : public T2JTxtBase {
  public:
    // The two comment lines.
    static const char *const m_pComment[2];

    explicit Tky2JgdRW(Veltrane *db);
    Tky2JgdRW(const Tky2JgdRW &) = delete;
    Tky2JgdRW &operator=(const Tky2JgdRW &) = delete;
    ~Tky2JgdRW() override;

    bool ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                    ITRFCoordKind itrf);
    // Flags as PointSupplier::SetCondition; bit 12 (block priority) writes the plain comments
    // even for the grid method.
    bool WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags);

    unsigned GetCommentSize() const override { return 2; }
    bool GetComment(int index, CString *text) const override;
    // The explanatory block for results of the grid method, else the database's comment block.
    bool GetConvertComments(std::vector<CString> *lines, int direction,
                            const ConvData &data) override;

  private:
    Veltrane *m_pDataBase;
    PointRegister m_register;
    PointSupplier m_supplier;
};
