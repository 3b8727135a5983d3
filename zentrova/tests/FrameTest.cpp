// The window: its menu, the enabling of the commands, the file dialogs and CSV output.
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedChooser.h"
#include "tests/support/ScriptedPrompts.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testsupport::RecordingProgress;
using testsupport::ScriptedChooser;
using testsupport::ScriptedPrompts;

class FrameTest : public ProgramTest {
  protected:
    std::unique_ptr<CMainFrame> open(CanvasSources s) {
        auto frame = std::make_unique<CMainFrame>(std::move(s));
        frame->GetView()->SetFileChooser(&m_chooser);
        frame->OnInitialUpdate();
        return frame;
    }
    static bool enabled(const CMainFrame &frame, int id) {
        return frame.GetCommand(id)->isEnabled();
    }
    ScriptedChooser m_chooser;
};

TEST_F(FrameTest, OneMenuHoldsTheCommandsInOrder) {
    auto frame = open(sources());
    ASSERT_EQ(frame->menuBar()->actions().size(), 1);
    QMenu *menu = frame->menuBar()->actions()[0]->menu();
    EXPECT_EQ(menu->title(), ToQString("ファイル(&F)"));
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    const QStringList expected = {ToQString("座標取込(&I)"),
                                  ToQString("座標変換(&E)"),
                                  "-",
                                  ToQString("比較表の出力(印刷プレビュー)(&P)"),
                                  ToQString("比較表の出力(&V)"),
                                  "-",
                                  ToQString("変換後の座標値をCSV出力(&C)"),
                                  "-",
                                  ToQString("プリンタの設定(&R)"),
                                  "-",
                                  ToQString("終了(&X)")};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(frame->windowTitle(), ToQString("座標変換プログラム"));
    // Where the screen holds it, the window keeps the dialog's size: 400 x 301 dialog units
    // under the menu.
    frame->FitToArea(QRect(0, 0, 1920, 1050));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_EQ(frame->GetView()->size(), frame->GetView()->GetDialog()->size());
    EXPECT_EQ(frame->minimumHeight(),
              frame->GetView()->height() + frame->menuBar()->sizeHint().height());
    EXPECT_EQ(frame->minimumWidth(), frame->GetView()->width());
}

// Laptop and desktop screens at 100 %, 150 % and 200 %: the window lies inside the screen's
// area, keeps its fixed size where it fits and otherwise scrolls so that every button and both
// lists can be brought into view whole or, for a list taller than the window, from its top to
// its bottom.
TEST_F(FrameTest, TheWindowFitsEveryScreenAndScrollsToEveryControl) {
    auto frame = open(sources());
    frame->show();
    auto *scroll = frame->findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    CDlgCanvas *canvas = frame->GetView()->GetDialog();
    const QSize natural(frame->GetView()->width(),
                        frame->GetView()->height() + frame->menuBar()->sizeHint().height());
    for (const QSize screen : {QSize(1366, 768), QSize(1920, 1080)})
        for (const double scale : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(std::to_string(screen.width()) + " " + std::to_string(scale));
            // The screen in the device-independent pixels the program lays out in, less a panel.
            const QRect area(0, 0, static_cast<int>(screen.width() / scale),
                             static_cast<int>(screen.height() / scale) - 24);
            frame->FitToArea(area);
            QApplication::processEvents();
            EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
            EXPECT_TRUE(area.contains(frame->frameGeometry()));
            // With what the window system adds around the window.
            const QSize whole = natural.grownBy(frame->windowHandle()->frameMargins());
            const bool fits = whole.width() <= area.width() && whole.height() <= area.height();
            if (fits) {
                EXPECT_EQ(frame->size(), natural);
            }
            EXPECT_EQ(scroll->horizontalScrollBar()->isVisible() ||
                          scroll->verticalScrollBar()->isVisible(),
                      !fits);
            for (const int id :
                 {CDlgCanvas::IDC_BTN_ADD, CDlgCanvas::IDC_BTN_EDIT, CDlgCanvas::IDC_BTN_DELETE,
                  CDlgCanvas::IDC_BTN_DELETE_ALL, CDlgCanvas::IDC_BTN_EXIT,
                  CDlgCanvas::IDC_LIST_BEFORE, CDlgCanvas::IDC_LIST_AFTER}) {
                QWidget *control = GetDlgItem(canvas, id);
                const QRect viewport(QPoint(), scroll->viewport()->size());
                for (const QPoint corner : {QPoint(0, 0), QPoint(control->width() - 1, 0),
                                            QPoint(0, control->height() - 1),
                                            QPoint(control->width() - 1, control->height() - 1)}) {
                    const QPoint at = control->mapTo(frame->GetView(), corner);
                    scroll->ensureVisible(at.x(), at.y(), 1, 1);
                    EXPECT_TRUE(viewport.contains(control->mapTo(scroll->viewport(), corner)))
                        << id;
                }
                if (control->width() <= viewport.width() &&
                    control->height() <= viewport.height()) {
                    scroll->ensureWidgetVisible(control, 0, 0);
                    EXPECT_TRUE(viewport.contains(
                        QRect(control->mapTo(scroll->viewport(), QPoint()), control->size())))
                        << id;
                } else {
                    EXPECT_GE(id, CDlgCanvas::IDC_LIST_AFTER) << "a button larger than the window";
                }
            }
        }
}

TEST_F(FrameTest, CommandsFollowTheLoadAndTheLists) {
    auto frame = open(sources());
    CDlgCanvas *canvas = frame->GetView()->GetDialog();
    EXPECT_TRUE(enabled(*frame, CZentrovaView::ID_FILE_IMPORT));
    EXPECT_FALSE(enabled(*frame, CZentrovaView::ID_CONVERT));
    EXPECT_FALSE(enabled(*frame, CZentrovaView::ID_CSV_OUTPUT));

    ASSERT_TRUE(canvas->AddTarget(PointValue{"T", -30000, -7000, 10}));
    EXPECT_TRUE(enabled(*frame, CZentrovaView::ID_CONVERT));
    EXPECT_FALSE(enabled(*frame, CZentrovaView::ID_FILE_PRINT));
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    for (int id : {CZentrovaView::ID_FILE_PRINT_PREVIEW, CZentrovaView::ID_FILE_PRINT,
                   CZentrovaView::ID_CSV_OUTPUT})
        EXPECT_TRUE(enabled(*frame, id)) << id;
    ASSERT_TRUE(canvas->EditTarget(0, PointValue{"T", -30001, -7000, 10}));
    EXPECT_FALSE(enabled(*frame, CZentrovaView::ID_CSV_OUTPUT)); // convert again first

    ScriptedPrompts prompts({IDOK});
    auto unloaded = open(sources(1));
    EXPECT_FALSE(enabled(*unloaded, CZentrovaView::ID_FILE_IMPORT));
    EXPECT_TRUE(enabled(*unloaded, CZentrovaView::ID_FILE_PRINT_SETUP));
    EXPECT_TRUE(enabled(*unloaded, CZentrovaView::ID_APP_EXIT));
}

TEST_F(FrameTest, FileDialogsStartInTheDocumentsFolderOnlyWhenThereIsOne) {
    struct HomeAt {
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        explicit HomeAt(const CString &dir) {
            qputenv("HOME", dir.GetString());
            qputenv("XDG_CONFIG_HOME", (dir + "/.config").GetString());
        }
        ~HomeAt() {
            qputenv("HOME", home);
            qputenv("XDG_CONFIG_HOME", config);
        }
    } at(folder());
    auto frame = open(sources());
    ASSERT_TRUE(frame->GetView()->GetDialog()->AddTarget(PointValue{"T", -30000, -7000, 10}));
    RecordingProgress progress;
    ASSERT_TRUE(frame->GetView()->GetDialog()->ConvertTargets(progress));
    // Without the folder a dialog would take "Documents" for the file's name.
    frame->GetView()->OnFileImport();
    std::filesystem::create_directory(m_dir / "Documents");
    frame->GetView()->OnCsvOutput();
    EXPECT_EQ(m_chooser.starts, (std::vector<CString>{CString(), path("Documents")}));
}

TEST_F(FrameTest, AFileThatCannotBeWrittenIsReported) {
    auto frame = open(sources());
    CDlgCanvas *canvas = frame->GetView()->GetDialog();
    ASSERT_TRUE(canvas->AddTarget(PointValue{"T", -30000, -7000, 10}));
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    ScriptedPrompts prompts({IDOK, IDOK});
    EXPECT_FALSE(frame->GetView()->ExportCsv("/dev/full"));
    EXPECT_FALSE(frame->GetView()->ExportCsv(path("no/folder.csv")));
    ASSERT_EQ(prompts.asked.size(), 2u);
    EXPECT_EQ(prompts.asked[0].first,
              CString("変換後の座標値を書き込めませんでした。\nディスクがいっぱいのため/dev/"
                      "fullに書き込めません。"));
    EXPECT_EQ(prompts.asked[1].first.Find("変換後の座標値を書き込めませんでした。\n"), 0);
}

} // namespace
