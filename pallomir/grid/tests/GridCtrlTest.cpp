#include "pallomir/grid/CGridCtrl.h"
#include "pallomir/grid/CInPlaceEdit.h"
#include "pallomir/grid/CQtDC.h"
#include "platform/ui/QtText.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString U(const char8_t *utf8) { return QString::fromUtf8(reinterpret_cast<const char *>(utf8)); }

// A dialog-like parent that hears its grid and can refuse edits.
class Host : public QWidget, public IGridNotifyTarget {
  public:
    LRESULT OnGridNotify(NMHDR *record) override {
        codes.push_back(record->code);
        return record->code == refuse ? -1 : 0;
    }
    void OnGridCommand(CGridCore *, UINT) override { ++commands; }

    std::vector<int> codes;
    int refuse = 0;
    int commands = 0;
};

// A grid whose drags go to a target grid as synthetic drag and drop events.
class DraggingGrid : public CGridCtrl {
  public:
    using CGridCtrl::CGridCtrl;

    CGridCtrl *target = nullptr;
    QPoint dropAt;
    Qt::KeyboardModifiers modifiers;

  protected:
    DROPEFFECT DoDragDrop(const CString &text) override {
        QMimeData data;
        data.setText(ToQString(text));
        QDragEnterEvent enter(dropAt, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              modifiers);
        QApplication::sendEvent(target->viewport(), &enter);
        QDropEvent drop(dropAt, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(target->viewport(), &drop);
        if (!drop.isAccepted())
            return DROPEFFECT_NONE;
        return drop.dropAction() == Qt::MoveAction ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    }
};

class GridCtrlTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        host.setWindowTitle(U(u8"座標一覧"));
        host.resize(520, 360);
        grid = new CGridCtrl(12, 6, 1, 1, &host);
        grid->SetDlgCtrlID(1200);
        grid->setGeometry(10, 10, 500, 340);
        for (int col = 1; col < 6; ++col)
            grid->SetItemTextFmt(0, col, "Col %d", col);
        for (int row = 1; row < 12; ++row) {
            grid->SetItemTextFmt(row, 0, "%d", row);
            for (int col = 1; col < 6; ++col)
                grid->SetItemTextFmt(row, col, "%d.%d", row, col);
        }
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        grid->setFocus();
        QApplication::processEvents();
    }

    // The centre of a cell in the grid's drawing area.
    QPoint CentreOf(int row, int col) {
        CRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, &rect));
        return QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    CInPlaceEdit *Editor() const {
        for (QObject *child : grid->viewport()->children()) {
            auto *editor = dynamic_cast<CInPlaceEdit *>(child);
            if (editor != nullptr && editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(grid, static_cast<Qt::Key>(key), modifiers);
    }

    void SaveShot(const char *name) {
        QDir().mkpath(QStringLiteral(ZENTROVA_ARTEFACT_DIR));
        const QString file = QStringLiteral(ZENTROVA_ARTEFACT_DIR "/") + QLatin1String(name);
        EXPECT_TRUE(host.grab().save(file)) << file.toStdString();
    }

    // The text pdftotext reads from the pages of a PDF (all of them, or one).
    static QString PdfText(const QString &file, int page = 0) {
        QStringList arguments{QStringLiteral("-layout")};
        if (page > 0)
            arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                      << QString::number(page);
        arguments << file << QStringLiteral("-");
        QProcess process;
        process.start(QStringLiteral("pdftotext"), arguments);
        EXPECT_TRUE(process.waitForFinished(20000));
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    QString PrintToPdf(const char *name) {
        const QString file = QString::fromStdString((m_dir / name).string());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        grid->Print(&printer);
        return file;
    }

    Host host;
    CGridCtrl *grid = nullptr;
};

} // namespace

TEST_F(GridCtrlTest, ScreenshotsOfAFilledGridASelectionAndAnEditor) {
    grid->AutoSizeColumns();
    grid->SetItemText(3, 2, "東京都");
    grid->SetItemBkColour(4, 4, RGB(255, 240, 200));
    grid->SetSelectedRange(2, 2, 4, 3);
    grid->SetFocusCell(2, 2);
    QApplication::processEvents();
    SaveShot("grid-selection.png");

    // The selection is painted in the highlight colour.
    const QImage picture = grid->viewport()->grab().toImage();
    CRect cell;
    ASSERT_TRUE(grid->GetCellRect(3, 3, &cell));
    EXPECT_EQ(QColor(picture.pixel(cell.left + 2, cell.top + 2)),
              ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
    ASSERT_TRUE(grid->GetCellRect(6, 3, &cell));
    EXPECT_EQ(QColor(picture.pixel(cell.left + 2, cell.top + 2)), QColor(Qt::white));

    Key(Qt::Key_F2);
    ASSERT_NE(Editor(), nullptr);
    QApplication::processEvents();
    SaveShot("grid-editor.png");
}

TEST_F(GridCtrlTest, TypingReplacesTheTextAndF2KeepsIt) {
    grid->SetFocusCell(2, 2);
    QTest::keyClicks(grid, QStringLiteral("7"));
    CInPlaceEdit *editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("7"));
    QTest::keyClicks(editor, QStringLiteral("5"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid->GetItemText(2, 2), CString("75"));
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_TRUE(grid->GetModified(2, 2));

    Key(Qt::Key_F2);
    editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("75"));
    EXPECT_EQ(editor->cursorPosition(), 2);
    EXPECT_FALSE(editor->hasSelectedText());
    QTest::keyClicks(editor, QStringLiteral("0"));
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(grid->GetItemText(2, 2), CString("75"));

    // Japanese from the input method, a double-byte character in cp932.
    QInputMethodEvent compose;
    compose.setCommitString(U(u8"測"));
    QApplication::sendEvent(grid, &compose);
    editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), U(u8"測"));
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(grid->GetItemText(2, 2), CString("測"));
    // Tab moved on and opened the next cell.
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 3));
    ASSERT_NE(Editor(), nullptr);
    EXPECT_TRUE(Editor()->hasSelectedText());
    QTest::keyClick(Editor(), Qt::Key_Escape);
}

TEST_F(GridCtrlTest, TheHostCanRefuseAnEdit) {
    host.refuse = GVN_ENDLABELEDIT;
    grid->SetFocusCell(1, 1);
    QTest::keyClicks(grid, QStringLiteral("x"));
    ASSERT_NE(Editor(), nullptr);
    QTest::keyClick(Editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid->GetItemText(1, 1), CString("1.1"));
    EXPECT_NE(std::find(host.codes.begin(), host.codes.end(), GVN_ENDLABELEDIT), host.codes.end());
}

TEST_F(GridCtrlTest, KeysMoveTheFocusPastHiddenColumnsAndTabWraps) {
    grid->SetColumnWidth(3, 0);
    grid->SetFocusCell(1, 2);
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 4));
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 1));
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 5));
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(11, 5));
    EXPECT_TRUE(grid->hasFocus());
}

TEST_F(GridCtrlTest, OneWheelNotchScrollsThreeLines) {
    grid->SetRowCount(200);
    for (int i = 0; i < 10; ++i)
        grid->OnVScroll(SB_LINEDOWN, 0);
    const int before = grid->GetScrollPos32(SB_VERT);
    ASSERT_GT(before, 0);
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    EXPECT_EQ(grid->verticalScrollBar()->value(), before);
    const QPoint at = CentreOf(12, 2);
    QWheelEvent wheel(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, WHEEL_DELTA),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &wheel);
    EXPECT_EQ(grid->GetScrollPos32(SB_VERT), before - 3 * grid->GetRowHeight(5));
    EXPECT_EQ(grid->verticalScrollBar()->value(), grid->GetScrollPos32(SB_VERT));

    // The scroll bar's arrow is one line.
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->GetScrollPos32(SB_VERT), before - 2 * grid->GetRowHeight(5));
}

TEST_F(GridCtrlTest, ANewWheelSettingIsTakenAtOnce) {
    const int lines = QApplication::wheelScrollLines();
    QApplication::setWheelScrollLines(5);
    EXPECT_EQ(grid->GetWheelScrollLines(), 5);
    grid->SetRowCount(200);
    for (int i = 0; i < 10; ++i)
        grid->OnVScroll(SB_LINEDOWN, 0);
    const int before = grid->GetScrollPos32(SB_VERT);
    grid->OnMouseWheel(0, WHEEL_DELTA, CPoint());
    EXPECT_EQ(grid->GetScrollPos32(SB_VERT), before - 5 * grid->GetRowHeight(5));
    QApplication::setWheelScrollLines(lines);
    EXPECT_EQ(grid->GetWheelScrollLines(), lines);
}

TEST_F(GridCtrlTest, HeadingClicksSortAndASecondClickReverses) {
    grid->SetHeaderSort(TRUE);
    grid->SetCompareFunction(CGridCore::pfnCellNumericCompare);
    const char *values[] = {"10", "9", "100", "-1", "20", "3", "42", "8", "0", "15", "7"};
    for (int row = 1; row < 12; ++row)
        grid->SetItemText(row, 2, values[row - 1]);
    const auto column = [this] {
        std::vector<std::string> texts;
        for (int row = 1; row < 12; ++row)
            texts.emplace_back(grid->GetItemText(row, 2).GetString());
        return texts;
    };
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(0, 2));
    EXPECT_EQ(column(), (std::vector<std::string>{"-1", "0", "3", "7", "8", "9", "10", "15", "20",
                                                  "42", "100"}));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(0, 2));
    EXPECT_EQ(column(), (std::vector<std::string>{"100", "42", "20", "15", "10", "9", "8", "7", "3",
                                                  "0", "-1"}));
    // Rows move whole.
    EXPECT_EQ(grid->GetItemText(1, 1), CString("3.1"));
    QApplication::processEvents();
    SaveShot("grid-sorted.png");
    EXPECT_GT(host.commands, 0);
}

TEST_F(GridCtrlTest, ClipboardRoundTrip) {
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(grid->OnUpdateEditCopy());
    EXPECT_TRUE(grid->OnUpdateEditSelectAll());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(1, 1));
    EXPECT_FALSE(grid->OnUpdateEditPaste());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CentreOf(2, 2));
    EXPECT_TRUE(grid->OnUpdateEditCut());
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("1.1\t1.2\n2.1\t2.2"));
    EXPECT_TRUE(grid->OnUpdateEditPaste());
    grid->SetEditable(FALSE);
    EXPECT_FALSE(grid->OnUpdateEditCut());
    EXPECT_FALSE(grid->OnUpdateEditPaste());
    grid->SetEditable(TRUE);

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(5, 3));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->GetItemText(5, 3), CString("1.1"));
    EXPECT_EQ(grid->GetItemText(6, 4), CString("2.2"));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(5, 3, 6, 4));

    // Text from another program, Japanese and tab-separated.
    QGuiApplication::clipboard()->setText(U(u8"東京\t1,000"));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, CentreOf(8, 1));
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetItemText(8, 1), CString("東京"));
    EXPECT_EQ(grid->GetItemText(8, 2), CString("1,000"));

    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(grid->GetItemText(8, 1), CString());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), U(u8"東京\t1,000"));
}

TEST_F(GridCtrlTest, DropsCopyWithCtrlAndMoveWithout) {
    grid->EnableDragAndDrop();
    CGridCtrl other(4, 4, 1, 1, &host);
    other.setGeometry(10, 10, 300, 200);
    other.EnableDragAndDrop();
    other.show();
    QApplication::processEvents();
    ASSERT_TRUE(other.GetDropTarget().IsRegistered());

    QMimeData data;
    data.setText(QStringLiteral("a\tb"));
    CRect cell;
    ASSERT_TRUE(other.GetCellRect(1, 1, &cell));
    const QPoint at((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::ControlModifier);
    QApplication::sendEvent(other.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_EQ(other.GetItemState(1, 1) & GVIS_DROPHILITED, GVIS_DROPHILITED);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::ControlModifier);
    QApplication::sendEvent(other.viewport(), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(other.GetItemText(1, 1), CString("a"));
    EXPECT_EQ(other.GetItemText(1, 2), CString("b"));
    EXPECT_EQ(other.GetItemState(1, 1) & GVIS_DROPHILITED, 0u);

    // A whole drag from one grid to another: without Ctrl the source cells are emptied.
    DraggingGrid source(4, 4, 1, 1, &host);
    source.EnableDragAndDrop();
    source.SetItemText(2, 2, "moved");
    source.SetItemText(2, 3, "copied");
    source.target = &other;
    ASSERT_TRUE(other.GetCellRect(2, 1, &cell));
    source.dropAt = QPoint(cell.left + 3, cell.top + 3);
    source.SetSelectedRange(2, 2, 2, 2);
    source.OnBeginDrag();
    EXPECT_EQ(other.GetItemText(2, 1), CString("moved"));
    EXPECT_EQ(source.GetItemText(2, 2), CString());
    source.modifiers = Qt::ControlModifier;
    source.SetSelectedRange(2, 3, 2, 3);
    source.OnBeginDrag();
    EXPECT_EQ(other.GetItemText(2, 1), CString("copied"));
    EXPECT_EQ(source.GetItemText(2, 3), CString("copied"));
}

TEST_F(GridCtrlTest, TitleTipsOnlyForTextsThatDoNotFit) {
    grid->SetItemText(3, 1, "a text much too long to fit into one narrow column");
    QTest::mouseMove(grid->viewport(), CentreOf(3, 2));
    EXPECT_FALSE(grid->GetTitleTip().isVisible());
    QTest::mouseMove(grid->viewport(), CentreOf(3, 1));
    EXPECT_TRUE(grid->GetTitleTip().isVisible());
    // Leaving the cell hides it; a key press hides it and still reaches the grid.
    QTest::mouseMove(grid->viewport(), CentreOf(5, 3));
    EXPECT_FALSE(grid->GetTitleTip().isVisible());
    QTest::mouseMove(grid->viewport(), CentreOf(3, 1));
    ASSERT_TRUE(grid->GetTitleTip().isVisible());
    grid->SetFocusCell(3, 1);
    Key(Qt::Key_Down);
    EXPECT_FALSE(grid->GetTitleTip().isVisible());
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1));
}

TEST_F(GridCtrlTest, DoubleBufferedAndDirectPaintingLookTheSame) {
    grid->SetSelectedRange(1, 1, 2, 2);
    grid->SetFocusCell(1, 1);
    grid->SetSortColumn(3);
    grid->SetDoubleBuffering(TRUE);
    const QImage buffered = grid->viewport()->grab().toImage();
    grid->SetDoubleBuffering(FALSE);
    const QImage direct = grid->viewport()->grab().toImage();
    ASSERT_EQ(buffered.size(), direct.size());
    EXPECT_EQ(buffered.convertToFormat(QImage::Format_RGB32),
              direct.convertToFormat(QImage::Format_RGB32));
}

TEST_F(GridCtrlTest, PrintsOnePageAcrossWithHeaderAndFooter) {
    const QString file = PrintToPdf("one-page.pdf");
    const QString text = PdfText(file);
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of 1"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("11.5"))) << text.toStdString();
    EXPECT_TRUE(text.contains(U(u8"座標一覧"))) << text.toStdString();

    // Thirty columns still print one page across; rows go on to further pages.
    grid->SetColumnCount(30);
    grid->SetItemText(0, 29, "LastColumn");
    grid->SetRowCount(400);
    grid->SetItemText(399, 29, "LastCell");
    const QString many = PrintToPdf("many-pages.pdf");
    const QString first = PdfText(many, 1);
    EXPECT_TRUE(first.contains(QStringLiteral("LastColumn"))) << first.toStdString();
    const QRegularExpression footer(QStringLiteral("Page 1 of (\\d+)"));
    const QRegularExpressionMatch match = footer.match(first);
    ASSERT_TRUE(match.hasMatch()) << first.toStdString();
    const int pages = match.captured(1).toInt();
    EXPECT_GT(pages, 1);
    const QString last = PdfText(many, pages);
    EXPECT_TRUE(last.contains(QStringLiteral("LastCell"))) << last.toStdString();
    EXPECT_TRUE(last.contains(QStringLiteral("Page %1 of %1").arg(pages)));
}

TEST_F(GridCtrlTest, SavesAndLoadsTextFilesWithJapaneseNames) {
    grid->SetItemText(1, 1, "東京,千代田");
    const CString file = path("座標.csv");
    ASSERT_TRUE(grid->Save(file));
    CGridCtrl loaded(0, 0, 0, 0, &host);
    ASSERT_TRUE(loaded.Load(file));
    EXPECT_EQ(loaded.GetRowCount(), 12);
    EXPECT_EQ(loaded.GetColumnCount(), 6);
    EXPECT_EQ(loaded.GetItemText(1, 1), CString("東京,千代田"));
    EXPECT_EQ(loaded.GetItemText(11, 5), CString("11.5"));
}

TEST_F(GridCtrlTest, CreatePlacesTheGridAndEscapeIsLeftToTheWindow) {
    CGridCtrl created(3, 4);
    ASSERT_TRUE(created.Create(CRect(5, 6, 305, 206), &host, 1300, WS_VISIBLE));
    EXPECT_EQ(created.parentWidget(), &host);
    EXPECT_EQ(created.geometry(), QRect(5, 6, 300, 200));
    EXPECT_EQ(created.GetDlgCtrlID(), 1300u);
    EXPECT_TRUE(created.isVisible());
    EXPECT_EQ(created.GetRowHeight(2), created.GetDefCellHeight());
    EXPECT_EQ(created.GetColumnWidth(3), created.GetDefCellWidth());

    grid->SetFocusCell(1, 1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QApplication::sendEvent(grid, &escape);
    EXPECT_FALSE(escape.isAccepted());
    EXPECT_EQ(Editor(), nullptr);
}
