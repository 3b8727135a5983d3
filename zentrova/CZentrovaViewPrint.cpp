// The comparison table of the view: pages of 33 converted targets with their Tokyo-datum and
// JGD2000 coordinates and the differences.
#include "zentrova/CZentrovaView.h"

#include "kernels/Nistrel/ExDouble.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CFile.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"
#include "zentrova/PointCsv.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/UserMessages.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The units the page is laid out in, per inch, whatever the printer's resolution: the fonts
// are sized for them.
constexpr int kLogicalDpi = 600;
constexpr int kHeadingFontHeight = 100;
constexpr int kBodyFontHeight = 85;
constexpr int kColumns = 11;
// The progress kind whose counter shows the page drawn out of the pages of the run.
constexpr int kProgressPages = 3;

int toLogical(double points) { return static_cast<int>(std::lround(points * kLogicalDpi / 72.0)); }

QFont fontOfHeight(int height) {
    QFont font = UiFont(9);
    font.setPixelSize(height);
    return font;
}

} // namespace

int CZentrovaView::GetMaxPage() const {
    const int targets = m_pDlg != nullptr ? m_pDlg->GetBeforeList()->GetItemCount() : 0;
    return targets == 0 ? 0 : (targets - 1) / kRowsPerPage + 1;
}

void CZentrovaView::OnBeginPrinting(QPrinter &printer) {
    if (m_printMode == 1) {
        printer.setPageOrientation(QPageLayout::Landscape);
        m_printMode = 2;
    }
}

bool CZentrovaView::PrintComparisonTable(QPrinter &printer, JIProgMsgBase &progress) {
    m_printMode = 2;
    const QString target = printer.outputFileName();
    CString reason;
    const bool printed = target.isEmpty() ? PrintDocument(printer, Run::Print, &progress)
                                          : printToFile(printer, target, progress, reason);
    OnEndPrinting();
    if (printed)
        return true;
    if (progress.IsCanceled()) {
        ReportChoice("比較表の出力を中止しました。");
    } else if (target.isEmpty()) {
        CString text;
        text.Format("比較表を印刷できませんでした。\nプリンタ「%s」に出力できません。",
                    ToCString(printer.printerName()).GetString());
        ReportFailure(text);
    } else {
        ReportFailure("比較表を書き込めませんでした。\n" + reason);
    }
    return false;
}

bool CZentrovaView::printToFile(QPrinter &printer, const QString &target, JIProgMsgBase &progress,
                                CString &reason) {
    // Qt's PDF writer reports no failed write (and writes nothing more once one failed), so the
    // table goes through a printer of its own to a temporary file, which replaces the target,
    // whole, only when it ends as a PDF ends. The temporary file is drawn in the temporary
    // folder, where one left by a program killed meanwhile does no harm.
    const CString path = FromQPath(target);
    const QString folder = QDir::tempPath();
    reason.Format("一時フォルダ%sに書き込めないため、%sを作れません。",
                  FromQPath(folder).GetString(), path.GetString());
    QTemporaryFile temporary(folder + QStringLiteral("/zentrova-XXXXXX.pdf"));
    if (!temporary.open())
        return false;
    temporary.close();
    QPrinter file(QPrinter::HighResolution);
    file.setOutputFormat(QPrinter::PdfFormat);
    file.setOutputFileName(temporary.fileName());
    file.setPageLayout(printer.pageLayout());
    file.setResolution(printer.resolution());
    file.setColorMode(printer.colorMode());
    file.setFullPage(printer.fullPage());
    file.setDocName(printer.docName());
    file.setPrintRange(printer.printRange());
    file.setFromTo(printer.fromPage(), printer.toPage());
    QFile written(temporary.fileName());
    if (!PrintDocument(file, Run::Print, &progress) || !written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = written.readAll();
    if (!bytes.trimmed().endsWith("%%EOF"))
        return false;
    try {
        CFile out(path, CFile::modeCreate | CFile::modeWrite);
        out.Write(bytes.constData(), static_cast<UINT>(bytes.size()));
        out.Close();
    } catch (const CFileException &e) {
        // Written, only not confirmed by the disk: said so, and the table is out.
        if (e.m_bInPlace) {
            ReportNotTaken(e.GetErrorMessage());
            return true;
        }
        reason = e.GetErrorMessage();
        return false;
    }
    return true;
}

bool CZentrovaView::PrintDocument(QPrinter &printer, Run run, JIProgMsgBase *progress) {
    OnBeginPrinting(printer);
    const int maxPage = GetMaxPage();
    int first = 1;
    int last = maxPage;
    if (run == Run::Print && printer.printRange() == QPrinter::PageRange) {
        first = std::max(printer.fromPage(), 1);
        last = std::min(printer.toPage(), maxPage);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    if (progress != nullptr) {
        progress->ProgressInit(JGD_PROGRESS_TYPE{1});
        progress->SetProgressKind(JGD_PROGRESS_KIND{kProgressPages});
        progress->ProgressStart(std::max(last - first + 1, 1));
        progress->SetProgressMsg("比較表の出力中...");
    }
    bool drawn = true;
    for (int page = first; page <= last && drawn; ++page) {
        // The page about to be drawn, out of the pages of the run.
        if (progress != nullptr && !progress->Progress(page - first + 1)) {
            if (run == Run::Print)
                printer.abort();
            drawn = false;
        } else if (page > first && !printer.newPage()) {
            drawn = false;
        } else {
            printComparisonPage(painter, printer, page - 1);
        }
    }
    if (progress != nullptr)
        progress->ProgressTerm();
    return painter.end() && drawn;
}

void CZentrovaView::printComparisonPage(QPainter &painter, const QPrinter &printer, int pageIndex) {
    if (m_printMode == 0 || m_pDlg == nullptr || m_pDlg->GetBeforeList()->GetItemCount() == 0 ||
        m_pDlg->GetAfterList()->GetItemCount() == 0)
        return;
    const QPageLayout layout = printer.pageLayout();
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    const QRectF printable = layout.paintRect(QPageLayout::Point);
    const int PW = toLogical(paper.width());
    const int PH = toLogical(paper.height());
    const int OX = toLogical(printable.left());
    const int OY = toLogical(printable.top());
    const int w = (PW - 4 * OX) / kColumns;
    const int h = (PH - 4 * OY) / 40;
    const int R = PW - 3 * OX;
    const int B = PH - 3 * OY;

    painter.save();
    const double scale = static_cast<double>(printer.resolution()) / kLogicalDpi;
    painter.scale(scale, scale);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(fontOfHeight(kHeadingFontHeight));
    auto headed = [&](const QRect &box, const char *text) {
        painter.drawRect(box);
        drawFittedText(painter, box, text, Qt::AlignCenter);
    };
    headed(QRect(OX, OY, 4 * w, 2 * h), "変換前");
    headed(QRect(OX + 4 * w, OY, 4 * w, 2 * h), "変換後");
    headed(QRect(OX + 8 * w, OY, R - (OX + 8 * w), 2 * h), "比較表");
    const char *const headings[kColumns] = {"点名",  "X座標", "Y座標",   "標高",    "点名", "X座標",
                                            "Y座標", "標高",  "X座標差", "Y座標差", "標高"};
    for (int column = 0; column < kColumns; ++column)
        headed(QRect(OX + column * w, OY + 2 * h, w, 2 * h), headings[column]);

    painter.setFont(fontOfHeight(kBodyFontHeight));
    const std::vector<Point *> &targets = m_pDlg->GetBeforeList()->GetPoints();
    const int firstIndex = kRowsPerPage * pageIndex;
    int tableBottom = B;
    for (int index = firstIndex; index < static_cast<int>(targets.size()); ++index) {
        const int k = index - firstIndex;
        const int top = OY + 4 * h + k * h;
        const Point *p = targets[static_cast<std::size_t>(index)];
        const Coordinate tokyo = p->GetTokyoDatum();
        const Coordinate jgd = p->GetJGD2000(0);
        const CString cells[kColumns] = {p->GetName(),
                                         CoordText(tokyo.GetX()),
                                         CoordText(tokyo.GetY()),
                                         CoordText(tokyo.GetH()),
                                         p->GetName(),
                                         CoordText(jgd.GetX()),
                                         CoordText(jgd.GetY()),
                                         CoordText(jgd.GetH()),
                                         CoordText(jgd.GetX() - tokyo.GetX()),
                                         CoordText(jgd.GetY() - tokyo.GetY()),
                                         CoordText(jgd.GetH() - tokyo.GetH())};
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell(OX + column * w, top, w, h);
            painter.drawRect(cell);
            const bool name = column == 0 || column == 4;
            if (name)
                drawFittedText(painter, cell.adjusted(w / 10, 0, 0, 0), cells[column],
                               Qt::AlignLeft | Qt::AlignVCenter);
            else
                drawFittedText(painter, cell.adjusted(0, 0, -w / 10, 0), cells[column],
                               Qt::AlignRight | Qt::AlignVCenter);
        }
        if (k == kRowsPerPage - 1 || index == static_cast<int>(targets.size()) - 1) {
            tableBottom = top + h;
            break;
        }
    }

    painter.setPen(QPen(Qt::black, 10));
    painter.drawRect(QRect(OX, OY, R - OX, tableBottom - OY));
    // The page number in the font the page started with, at the printer's own scale.
    painter.restore();
    CString page;
    page.Format("Page %d", pageIndex + 1);
    const QRectF pageBox(OX * scale, (B - 2 * h) * scale, (R - OX) * scale, 2 * h * scale);
    painter.drawText(pageBox, Qt::AlignCenter, ToQString(page));
}

int CZentrovaView::drawFittedText(QPainter &painter, const QRect &rect, const CString &text,
                                  Qt::Alignment alignment) {
    QRect box = rect;
    const int margin = rect.height() / 10;
    box.setTop(box.top() + margin);
    box.setBottom(box.bottom() - margin);
    const QString shown = ToQString(text);
    const QFont original = painter.font();
    if (painter.fontMetrics().horizontalAdvance(shown) >= box.width()) {
        const int n = ExDouble::round(std::abs(original.pixelSize()) / 1.3);
        for (int k = 1;; ++k) {
            const int height = (1000 * n - 1000 * k) / 72;
            if (height <= 0)
                break; // no positive height fits: the last one tried stays
            QFont smaller = original;
            smaller.setPixelSize(height);
            painter.setFont(smaller);
            if (painter.fontMetrics().horizontalAdvance(shown) < box.width())
                break;
        }
    }
    const int drawnWith = painter.font().pixelSize();
    painter.drawText(box, alignment | Qt::TextSingleLine, shown);
    painter.setFont(original);
    return drawnWith;
}
