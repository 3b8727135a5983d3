#pragma once

#include "platform/core/WinTypes.h"

#include <QDialog>
#include <QPageSize>

#include <vector>

class CZentrovaView;
class QComboBox;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;

// The print preview of the comparison table, with the usual page, zoom and print buttons and
// two boxes that switch the paper's orientation and size. The view draws the pages; the
// preview starts in landscape.
class CPreviewViewEx : public QDialog {
    Q_OBJECT

  public:
    static constexpr UINT IDD_BAR = 133;
    static constexpr int IDC_PRINT = 57607;
    static constexpr int IDC_NEXT = 1001;
    static constexpr int IDC_PREV = 1002;
    static constexpr int IDC_TWO_PAGES = 1003;
    static constexpr int IDC_ZOOM_IN = 1004;
    static constexpr int IDC_ZOOM_OUT = 1005;
    static constexpr int IDC_CLOSE = 1006;
    static constexpr int IDC_ORIENTATION = 1015;
    static constexpr int IDC_PAPER = 1018;

    // The result when the user asked to print from the preview.
    static constexpr int PrintRequested = 2;

    CPreviewViewEx(CZentrovaView &view, QPrinter &printer, QWidget *parent = nullptr);

    QPrintPreviewWidget *GetPreview() const { return m_preview; }
    QComboBox *GetOrientationBox() const { return m_orientation; }
    QComboBox *GetPaperBox() const { return m_paper; }
    // The printer's papers in its order.
    const std::vector<QPageSize> &GetPapers() const { return m_papers; }
    // Whether the user cancelled the drawing of the pages; the preview then closes.
    bool IsCancelled() const { return m_cancelled; }

  private:
    void setupOrientationBox();
    void setupPaperBox();
    void OnSelchangeOrientation();
    void OnSelchangePaper();
    void updateButtons();
    // Draws the pages anew, the progress offering Cancel; a cancel closes the preview.
    void relayout();

    CZentrovaView &m_view;
    QPrinter &m_printer;
    QPrintPreviewWidget *m_preview;
    QComboBox *m_orientation;
    QComboBox *m_paper;
    QPushButton *m_next;
    QPushButton *m_prev;
    std::vector<QPageSize> m_papers;
    bool m_cancelled = false;
};
