#include "zentrova/CPreviewViewEx.h"

#include "pallomir/ui/JGDProgress.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"
#include "zentrova/CZentrovaView.h"

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The papers offered when the printer names none (a PDF file).
const QPageSize::PageSizeId kCommonPapers[] = {
    QPageSize::A3,    QPageSize::A4,     QPageSize::A5,   QPageSize::JisB4,
    QPageSize::JisB5, QPageSize::Letter, QPageSize::Legal};

// The icon of that name in the desktop's theme, else the one of Qt's own print preview; null
// when neither has it, and the box then shows its texts alone.
QIcon previewIcon(const char *name) {
    const QString images = QStringLiteral(":/qt-project.org/dialogs/qprintpreviewdialog/images/");
    QIcon fallback;
    for (const char *size : {"-24.png", "-32.png"}) {
        const QString file = images + QLatin1String(name) + QLatin1String(size);
        if (QFile::exists(file))
            fallback.addFile(file);
    }
    return QIcon::fromTheme(QLatin1String(name), fallback);
}

} // namespace

CPreviewViewEx::CPreviewViewEx(CZentrovaView &view, QPrinter &printer, QWidget *parent)
    : QDialog(parent), m_view(view), m_printer(printer) {
    auto *bar = new QWidget(this);
    bar->setFont(UiFont(9));
    const DialogUnits units(bar->font());
    // The buttons in a row, each at least 40 units wide and as wide as its text needs; the
    // boxes at their places or, when the buttons reach that far, after them.
    int x = units.ToPixelsX(2);
    const int top = units.ToPixelsY(2);
    const int height = units.ToPixelsY(14);
    auto place = [&](QWidget *control, int id, int leftDlu, int widthDlu) {
        const int left = std::max(units.ToPixelsX(leftDlu), x);
        const int width = std::max(units.ToPixelsX(widthDlu), control->sizeHint().width());
        control->setGeometry(left, top, width, height);
        SetDlgCtrlID(control, id);
        x = left + width + units.ToPixelsX(2);
    };
    auto addButton = [&](const char *text, int id) {
        auto *button = new QPushButton(ToQString(text), bar);
        button->setAutoDefault(false);
        place(button, id, 0, 40);
        return button;
    };
    QPushButton *print = addButton("印刷(&P)...", IDC_PRINT);
    m_next = addButton("次ページ(&N)", IDC_NEXT);
    m_prev = addButton("前ページ(&V)", IDC_PREV);
    QPushButton *two = addButton("2ページ(&T)", IDC_TWO_PAGES);
    QPushButton *zoomIn = addButton("拡大(&I)", IDC_ZOOM_IN);
    QPushButton *zoomOut = addButton("縮小(&O)", IDC_ZOOM_OUT);
    QPushButton *close = addButton("閉じる(&C)", IDC_CLOSE);
    m_orientation = new QComboBox(bar);
    place(m_orientation, IDC_ORIENTATION, 301, 71);
    m_paper = new QComboBox(bar);
    place(m_paper, IDC_PAPER, 373, 149);
    bar->setFixedSize(std::max(units.ToPixelsX(579), x), units.ToPixelsY(27));

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_preview, 1);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 9 / 10);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *target) {
        // The wait dialog belongs to the preview once it is shown, so that it is not blocked.
        JGDProgress progress;
        progress.SetParentWnd(isVisible() ? this : parentWidget());
        if (!m_view.PrintDocument(*target, CZentrovaView::Run::Preview, &progress) &&
            progress.IsCanceled())
            m_cancelled = true;
    });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &CPreviewViewEx::updateButtons);
    connect(print, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    // The preview tells of a page reached by scrolling or by a new layout, not of one set.
    connect(m_next, &QPushButton::clicked, this, [this] {
        m_preview->setCurrentPage(m_preview->currentPage() + 1);
        updateButtons();
    });
    connect(m_prev, &QPushButton::clicked, this, [this] {
        m_preview->setCurrentPage(m_preview->currentPage() - 1);
        updateButtons();
    });
    connect(two, &QPushButton::clicked, this, [this] {
        m_preview->setViewMode(m_preview->viewMode() == QPrintPreviewWidget::FacingPagesView
                                   ? QPrintPreviewWidget::SinglePageView
                                   : QPrintPreviewWidget::FacingPagesView);
    });
    connect(zoomIn, &QPushButton::clicked, m_preview, [this] { m_preview->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, m_preview, [this] { m_preview->zoomOut(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // The first run turns the printer to landscape; the boxes then show what it has.
    m_preview->updatePreview();
    setupOrientationBox();
    setupPaperBox();
    connect(m_orientation, &QComboBox::activated, this, &CPreviewViewEx::OnSelchangeOrientation);
    connect(m_paper, &QComboBox::activated, this, &CPreviewViewEx::OnSelchangePaper);
    updateButtons();
}

void CPreviewViewEx::setupOrientationBox() {
    m_orientation->addItem(previewIcon("layout-portrait"), ToQString("縦方向"));
    m_orientation->addItem(previewIcon("layout-landscape"), ToQString("横方向"));
    m_orientation->setCurrentIndex(
        m_printer.pageLayout().orientation() == QPageLayout::Portrait ? 0 : 1);
}

void CPreviewViewEx::setupPaperBox() {
    const QPrinterInfo info(m_printer);
    const QList<QPageSize> supported =
        info.isNull() ? QList<QPageSize>() : info.supportedPageSizes();
    m_papers.assign(supported.begin(), supported.end());
    if (m_papers.empty()) {
        for (QPageSize::PageSizeId id : kCommonPapers)
            m_papers.emplace_back(id);
    }
    const QPageSize current = m_printer.pageLayout().pageSize();
    const QIcon paper = previewIcon("page-setup");
    int selected = -1;
    for (std::size_t i = 0; i < m_papers.size(); ++i) {
        m_paper->addItem(paper, m_papers[i].name());
        if (selected < 0 && m_papers[i].isEquivalentTo(current))
            selected = static_cast<int>(i);
    }
    m_paper->setCurrentIndex(std::max(selected, 0));
}

void CPreviewViewEx::OnSelchangeOrientation() {
    m_printer.setPageOrientation(m_orientation->currentIndex() == 0 ? QPageLayout::Portrait
                                                                    : QPageLayout::Landscape);
    relayout();
}

void CPreviewViewEx::OnSelchangePaper() {
    const int index = m_paper->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_papers.size()))
        return;
    m_printer.setPageSize(m_papers[static_cast<std::size_t>(index)]);
    relayout();
}

void CPreviewViewEx::relayout() {
    m_preview->updatePreview();
    if (m_cancelled)
        reject();
}

void CPreviewViewEx::updateButtons() {
    m_next->setEnabled(m_preview->currentPage() < m_preview->pageCount());
    m_prev->setEnabled(m_preview->currentPage() > 1);
}
