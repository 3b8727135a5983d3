#pragma once

#include "exchange/Dorrimet/Coordinate.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "veltrane/model/PointKinds.h"

#include <QDialog>

// The question "座標の上書きの確認" that an import asks when a stored point of the same name
// already holds a coordinate of the kind being read. It only asks: the answer is 0 overwrite,
// 1 overwrite all, 2 skip this point, 3 cancel the import (also Escape and closing the box).
class CrdRewriteDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 163;
    static constexpr int IDC_ICON = 1053;
    static constexpr int IDC_NAME = 1000;
    static constexpr int IDC_KIND = 1001;
    static constexpr int IDC_STORED = 1002;
    static constexpr int IDC_READ = 1003;
    static constexpr int IDC_OVERWRITE_ALL = 1054;

    enum Answer { Overwrite = 0, OverwriteAll = 1, Skip = 2, Cancel = 3 };

    CrdRewriteDlg(const CString &name, const Coordinate &read, const Coordinate &stored,
                  CoordinateKind kind, ITRFCoordKind storedItrf, QWidget *parent = nullptr);

    // Asks modally; the answer.
    int DoModal();

  protected:
    void reject() override;
};
