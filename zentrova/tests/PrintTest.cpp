// The comparison table, printed to PDF and read back, and its preview.
#include "pallomir/ui/JGDProgress.h"
#include "pallomir/ui/JGDWaitDlg.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WaitDlgProbe.h"
#include "tests/support/WhenShown.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CPreviewViewEx.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

class PrintTest : public ProgramTest {
  protected:
    // The view with that many converted targets.
    std::unique_ptr<CZentrovaView> converted(int targets) {
        auto view = std::make_unique<CZentrovaView>(sources());
        view->OnInitialUpdate();
        testsupport::RecordingProgress progress;
        view->GetDialog()->ImportFile(putTargetCsv("targets.csv", targets), progress);
        EXPECT_TRUE(view->GetDialog()->ConvertTargets(progress));
        return view;
    }
    // The pages' text as pdftotext lays it out, one string per page.
    QStringList printed(CZentrovaView &view, QPageLayout::Orientation orientation) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(ToQString(path("table.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        testsupport::RecordingProgress progress;
        EXPECT_TRUE(view.PrintComparisonTable(printer, progress));
        EXPECT_EQ(view.GetPrintMode(), 0);
        QProcess pdftotext;
        pdftotext.start(
            QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), ToQString(path("table.pdf")), QStringLiteral("-")});
        EXPECT_TRUE(pdftotext.waitForFinished(30000));
        QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QChar('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }
    static QString number(double value) { return QString::number(value, 'f', 3); }
};

// The printed line of a target holds its name twice, both coordinate sets and the differences.
QStringList expectedCells(const Point &p) {
    const Coordinate t = p.GetTokyoDatum();
    const Coordinate j = p.GetJGD2000(0);
    auto n = [](double v) { return QString::number(v, 'f', 3); };
    return {ToQString(p.GetName()),
            n(t.GetX()),
            n(t.GetY()),
            n(t.GetH()),
            ToQString(p.GetName()),
            n(j.GetX()),
            n(j.GetY()),
            n(j.GetH()),
            n(j.GetX() - t.GetX()),
            n(j.GetY() - t.GetY()),
            n(j.GetH() - t.GetH())};
}

QStringList cellsOf(const QString &line) {
    return line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

TEST_F(PrintTest, ThirtyThreeTargetsFillOnePage) {
    auto view = converted(33);
    EXPECT_EQ(view->GetMaxPage(), 1);
    const QStringList pages = printed(*view, QPageLayout::Landscape);
    // Kept under the build tree for a person to look at.
    QDir().mkpath(QStringLiteral(ZENTROVA_ARTEFACT_DIR));
    QFile::remove(QStringLiteral(ZENTROVA_ARTEFACT_DIR "/comparison-table.pdf"));
    QFile::copy(ToQString(path("table.pdf")),
                QStringLiteral(ZENTROVA_ARTEFACT_DIR "/comparison-table.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const QStringList lines = pages[0].split(QChar('\n'));
    // Titles, headings and the page number.
    EXPECT_TRUE(pages[0].contains(ToQString("変換前")));
    EXPECT_TRUE(pages[0].contains(ToQString("比較表")));
    EXPECT_TRUE(pages[0].contains(ToQString("X座標差")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 1")));
    int rows = 0;
    for (const Point *p : view->GetDialog()->GetTargets()) {
        const QStringList expected = expectedCells(*p);
        bool found = false;
        for (const QString &line : lines)
            found = found || cellsOf(line) == expected;
        EXPECT_TRUE(found) << ToUtf8(p->GetName()) << ": "
                           << expected.join(QChar(' ')).toStdString();
        rows += found;
    }
    EXPECT_EQ(rows, 33);
}

TEST_F(PrintTest, TheThirtyFourthTargetGoesOnASecondPage) {
    auto view = converted(34);
    // Check points are no targets: they count for no page.
    EXPECT_EQ(view->GetDialog()->GetDatabase().GetChkObsITRFPointSize(), 6u);
    EXPECT_EQ(view->GetMaxPage(), 2);
    const QStringList pages = printed(*view, QPageLayout::Portrait);
    ASSERT_EQ(pages.size(), 2);
    const Point *last = view->GetDialog()->GetTargets().back();
    int rowsOnSecond = 0;
    for (const QString &line : pages[1].split(QChar('\n')))
        rowsOnSecond += cellsOf(line).value(0) == ToQString(last->GetName());
    EXPECT_EQ(rowsOnSecond, 1);
    EXPECT_FALSE(pages[1].contains(ToQString(view->GetDialog()->GetTargets()[32]->GetName())));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Page 2")));
}

TEST_F(PrintTest, ThePageNumberIsInTheFontThePageStartedWith) {
    auto view = converted(2);
    const QFont usual = QApplication::font();
    QFont large = usual;
    large.setPointSize(30); // the printer's own font, far above the 12-point headings
    QApplication::setFont(large);
    printed(*view, QPageLayout::Landscape);
    QApplication::setFont(usual);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-bbox"), ToQString(path("table.pdf")), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString boxes = QString::fromUtf8(pdftotext.readAllStandardOutput());
    auto height = [&boxes](const QString &word) {
        const QRegularExpressionMatch box =
            QRegularExpression("yMin=\"([0-9.]+)\"[^>]*yMax=\"([0-9.]+)\">" + word + "<")
                .match(boxes);
        return box.captured(2).toDouble() - box.captured(1).toDouble();
    };
    const double heading = height(ToQString("比較表"));
    ASSERT_GT(heading, 0.0);
    EXPECT_GT(height(QStringLiteral("Page")), 2 * heading);
}

TEST_F(PrintTest, APrinterThatCannotPrintIsReported) {
    auto view = converted(2);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(path("no/folder/table.pdf")));
    testsupport::ScriptedPrompts prompts({IDOK});
    testsupport::RecordingProgress progress;
    EXPECT_FALSE(view->PrintComparisonTable(printer, progress));
    // The file and the reason, as the CSV export tells them.
    EXPECT_EQ(prompts.asked.at(0).first, "比較表を書き込めませんでした。\n" +
                                             path("no/folder/table.pdf") +
                                             "のパスが正しくありません。");
    EXPECT_EQ(prompts.asked[0].second & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(view->GetPrintMode(), 0);
}

TEST_F(PrintTest, APdfThatCannotBeWrittenWholeIsReportedAndLeavesTheOldFile) {
    auto view = converted(40);
    put("an older table", "table.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(path("table.pdf")));
    testsupport::ScriptedPrompts prompts({IDOK});
    testsupport::RecordingProgress progress;
    {
        testsupport::FileSizeLimit limit(4096); // a disk that fills
        EXPECT_FALSE(view->PrintComparisonTable(printer, progress));
    }
    EXPECT_TRUE(prompts.asked.at(0).first.Find(path("table.pdf")) > 0) << prompts.asked[0].first;
    const auto left = testsupport::FolderSnapshot(m_dir);
    EXPECT_EQ(left.at("table.pdf"), "an older table");
    for (const auto &[name, bytes] : left) // no temporary file stays behind
        EXPECT_TRUE(name == "table.pdf" || name == "targets.csv" || name.starts_with("config"))
            << name;
    EXPECT_EQ(printer.outputFileName(), ToQString(path("table.pdf")));

    // Written whole, it replaces the old file.
    EXPECT_TRUE(view->PrintComparisonTable(printer, progress));
    EXPECT_EQ(get("table.pdf").substr(0, 5), "%PDF-");
}

// Presses Cancel in the wait dialog once its counter shows that text (the page about to be
// drawn), and keeps every line the dialog showed before.
class CancelAtCounter : public QObject {
  public:
    explicit CancelAtCounter(const QString &counter) {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this, counter] {
            JGDWaitDlg *dialog = Shown<JGDWaitDlg>();
            if (dialog == nullptr)
                return;
            const QString line = TextOf(dialog, JGDWaitDlg::IDC_MESSAGE) + QChar(' ') +
                                 TextOf(dialog, JGDWaitDlg::IDC_MESSAGE2);
            if (seen.isEmpty() || seen.last() != line)
                seen << line;
            if (TextOf(dialog, JGDWaitDlg::IDC_MESSAGE2) == counter)
                static_cast<QPushButton *>(GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL))->click();
        });
        m_timer.start();
    }
    QStringList seen;

  private:
    QTimer m_timer;
};

TEST_F(PrintTest, TheWaitDialogShowsThePageAndACancelLeavesTheOldFileAndNoTemporary) {
    auto view = converted(40); // two pages
    put("an older table", "table.pdf");
    // The temporary folder of this test alone, to see what is left in it.
    std::filesystem::create_directories(m_dir / "tmp");
    const bool tmpSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", path("tmp").Bytes().c_str());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(path("table.pdf")));
    testsupport::ScriptedPrompts prompts({IDOK});
    JGDProgress progress;
    bool printed = true;
    QStringList seen;
    {
        CancelAtCounter cancel(QStringLiteral("(   1/   2)"));
        printed = view->PrintComparisonTable(printer, progress);
        seen = cancel.seen;
    }
    if (tmpSet)
        qputenv("TMPDIR", tmp);
    else
        qunsetenv("TMPDIR");
    EXPECT_FALSE(printed);
    EXPECT_EQ(seen.value(0), ToQString("比較表の出力中... "));
    EXPECT_EQ(seen.value(1), ToQString("比較表の出力中... (   1/   2)"));
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].first, CString("比較表の出力を中止しました。"));
    EXPECT_EQ(prompts.asked[0].second & MB_ICONMASK, MB_ICONINFORMATION);
    const auto left = testsupport::FolderSnapshot(m_dir);
    EXPECT_EQ(left.at("table.pdf"), "an older table");
    for (const auto &[name, bytes] : left) // no temporary file, here or in the temporary folder
        EXPECT_TRUE(name == "table.pdf" || name == "targets.csv" || name == "tmp" ||
                    name.starts_with("config"))
            << name;
}

// Notes every preview window shown, and closes it at once.
class PreviewWatch : public QObject {
  public:
    PreviewWatch() { qApp->installEventFilter(this); }
    ~PreviewWatch() override { qApp->removeEventFilter(this); }
    bool shown = false;

  protected:
    bool eventFilter(QObject *target, QEvent *event) override {
        if (event->type() == QEvent::Show)
            if (auto *preview = qobject_cast<CPreviewViewEx *>(target)) {
                shown = true;
                QMetaObject::invokeMethod(preview, &QDialog::reject, Qt::QueuedConnection);
            }
        return false;
    }
};

TEST_F(PrintTest, ACancelWhileThePreviewDrawsClosesIt) {
    auto view = converted(40);
    view->GetPrinter().setOutputFormat(QPrinter::PdfFormat);
    testsupport::ScriptedPrompts prompts({IDOK});
    PreviewWatch watch;
    {
        CancelAtCounter cancel(QStringLiteral("(   1/   2)"));
        view->OnFilePrintPreview();
        EXPECT_FALSE(cancel.seen.isEmpty());
    }
    EXPECT_FALSE(watch.shown);
    EXPECT_EQ(view->GetPrintMode(), 0);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].first, CString("比較表の出力を中止しました。"));
}

TEST(DrawFittedTextTest, ATextTooWideShrinksInItsCellOnly) {
    QImage image(3000, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    QFont body = painter.font();
    body.setPixelSize(85);
    painter.setFont(body);
    const QRect cell(0, 0, 600, 120);
    EXPECT_EQ(CZentrovaView::drawFittedText(painter, cell, "T1", Qt::AlignLeft), 85);

    const CString wide = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const int fitted = CZentrovaView::drawFittedText(painter, cell, wide, Qt::AlignLeft);
    EXPECT_LT(fitted, 85);
    EXPECT_GT(fitted, 13);
    QFont check = body;
    check.setPixelSize(fitted);
    EXPECT_LT(QFontMetrics(check, &image).horizontalAdvance(ToQString(wide)), cell.width());
    EXPECT_EQ(painter.font().pixelSize(), 85); // the next cell starts with the body font

    // Nothing fits a cell one unit wide: the smallest positive height is the last tried.
    EXPECT_EQ(CZentrovaView::drawFittedText(painter, QRect(0, 0, 1, 120), wide, Qt::AlignLeft), 13);
}

TEST_F(PrintTest, ThePreviewStartsInLandscapeWithItsPagesAndBoxes) {
    auto view = converted(34);
    view->GetPrinter().setOutputFormat(QPrinter::PdfFormat);
    view->GetPrinter().setPageOrientation(QPageLayout::Portrait);
    const auto reply = testsupport::WhenShown<CPreviewViewEx>([&view](CPreviewViewEx *preview) {
        SaveScreenshot(preview, "preview.png");
        ExpectNothingClipped(preview);
        EXPECT_EQ(view->GetPrintMode(), 2);
        EXPECT_EQ(view->GetPrinter().pageLayout().orientation(), QPageLayout::Landscape);
        EXPECT_EQ(preview->GetPreview()->pageCount(), 2);
        QComboBox *orientation = preview->GetOrientationBox();
        ASSERT_EQ(orientation->count(), 2);
        EXPECT_EQ(orientation->itemText(0), ToQString("縦方向"));
        EXPECT_EQ(orientation->itemText(1), ToQString("横方向"));
        EXPECT_EQ(orientation->currentIndex(), 1);
        EXPECT_GT(preview->GetPaperBox()->count(), 0);
        for (QComboBox *box : {orientation, preview->GetPaperBox()})
            EXPECT_FALSE(box->itemIcon(0).isNull());
        orientation->setCurrentIndex(0);
        emit orientation->activated(0);
        EXPECT_EQ(view->GetPrinter().pageLayout().orientation(), QPageLayout::Portrait);
        EXPECT_EQ(preview->GetPreview()->pageCount(), 2);
        preview->reject();
    });
    view->OnFilePrintPreview();
    EXPECT_EQ(view->GetPrintMode(), 0);
}

TEST_F(PrintTest, ThePreviewShowsEveryPageAndItsButtonsFollowThePage) {
    auto view = converted(34);
    QPrinter &printer = view->GetPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(path("page2.pdf")));
    printer.setPrintRange(QPrinter::PageRange); // as the print dialog leaves it for pages 2 to 2
    printer.setFromTo(2, 2);
    testsupport::RecordingProgress progress;
    ASSERT_TRUE(view->PrintComparisonTable(printer, progress));
    const auto reply = testsupport::WhenShown<CPreviewViewEx>([](CPreviewViewEx *preview) {
        QPrintPreviewWidget *pages = preview->GetPreview();
        auto *next = static_cast<QPushButton *>(GetDlgItem(preview, CPreviewViewEx::IDC_NEXT));
        auto *prev = static_cast<QPushButton *>(GetDlgItem(preview, CPreviewViewEx::IDC_PREV));
        auto expectOn = [&](int page) {
            EXPECT_EQ(pages->currentPage(), page);
            EXPECT_EQ(prev->isEnabled(), page > 1) << page;
            EXPECT_EQ(next->isEnabled(), page < 2) << page;
        };
        EXPECT_EQ(pages->pageCount(), 2);
        expectOn(1);
        next->click();
        expectOn(2);
        prev->click();
        expectOn(1);
        QScrollBar *scroll = pages->findChild<QGraphicsView *>()->verticalScrollBar();
        scroll->setValue(scroll->maximum());
        expectOn(2);
        preview->reject();
    });
    view->OnFilePrintPreview();
}

} // namespace
