// The main dialog: loading, the point commands, import and conversion.
#include "pallomir/ui/JGDProgress.h"
#include "pallomir/ui/JGDSmpWaitDlg.h"
#include "pallomir/ui/JGDWaitDlg.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/ProjectDump.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WaitDlgProbe.h"
#include "tests/support/WhenShown.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using testsupport::RecordingProgress;
using testsupport::ScriptedPrompts;

class CanvasTest : public ProgramTest {
  protected:
    std::unique_ptr<CDlgCanvas> open(CanvasSources s) {
        auto canvas = std::make_unique<CDlgCanvas>(std::move(s));
        canvas->OnInitDialog();
        return canvas;
    }
    // The canvas with the survey project and its 40 targets imported.
    std::unique_ptr<CDlgCanvas> withTargets() {
        auto canvas = open(sources());
        RecordingProgress progress;
        canvas->ImportFile(putTargetCsv("targets.csv"), progress);
        EXPECT_EQ(canvas->GetBeforeList()->GetItemCount(), 40);
        return canvas;
    }
    static QStringList column(const PointListCtrl *list, int col) {
        QStringList texts;
        for (int row = 0; row < list->GetItemCount(); ++row)
            texts << list->Text(row, col);
        return texts;
    }
    static void select(PointListCtrl *list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Every row shows the point it maps to.
    static void expectRowsMatchPoints(const PointListCtrl *list, const Veltrane &db) {
        for (int row = 0; row < list->GetItemCount(); ++row) {
            const Point *p = list->GetPoint(row);
            ASSERT_GE(db.Find(p), 0) << row;
            EXPECT_EQ(list->Text(row, 0), ToQString(p->GetName())) << row;
        }
    }
};

TEST_F(CanvasTest, AProjectThatCannotBeReadDisablesThePointButtons) {
    CanvasSources none = sources();
    none.configFolder = path("missing");
    const std::pair<CanvasSources, CString> cases[] = {
        {sources(1), "configフォルダのZUBファイル「A.zub」は壊れているため読み込めません。"},
        {none, "configフォルダにZUBファイルが存在しません。"}};
    for (const auto &[s, message] : cases) {
        ScriptedPrompts prompts({IDOK});
        auto canvas = open(s);
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first, message);
        EXPECT_FALSE(canvas->IsLoaded());
        for (int id : {CDlgCanvas::IDC_BTN_ADD, CDlgCanvas::IDC_BTN_EDIT,
                       CDlgCanvas::IDC_BTN_DELETE, CDlgCanvas::IDC_BTN_DELETE_ALL})
            EXPECT_FALSE(GetDlgItem(canvas.get(), id)->isEnabled()) << id;
        EXPECT_TRUE(GetDlgItem(canvas.get(), CDlgCanvas::IDC_BTN_EXIT)->isEnabled());
    }
}

TEST_F(CanvasTest, AFileThatIsNoProjectIsReported) {
    ScriptedPrompts prompts({IDOK});
    auto canvas = open(sources(2));
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(
        prompts.asked[0].first,
        CString("configフォルダのZUBファイル「A.zub」は座標変換プログラムのデータファイルではあり"
                "ません。"));
    EXPECT_TRUE(GetDlgItem(canvas.get(), CDlgCanvas::IDC_BTN_ADD)->isEnabled());
}

TEST_F(CanvasTest, AddingAndEditingKeepRowsOnTheirPoints) {
    auto canvas = withTargets();
    PointListCtrl *before = canvas->GetBeforeList();
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    ASSERT_EQ(canvas->GetAfterList()->GetItemCount(), 40);

    const auto reply = testsupport::WhenShown<CDlgPointInput>([](CDlgPointInput *shown) {
        static_cast<QLineEdit *>(GetDlgItem(shown, CDlgPointInput::IDC_EDIT_NAME))
            ->setText(QStringLiteral("NEW"));
        auto *y = static_cast<QLineEdit *>(GetDlgItem(shown, CDlgPointInput::IDC_EDIT_Y));
        y->selectAll();
        QTest::keyClicks(y, QStringLiteral("5"));
        static_cast<QPushButton *>(GetDlgItem(shown, IDOK))->click();
    });
    static_cast<QPushButton *>(GetDlgItem(canvas.get(), CDlgCanvas::IDC_BTN_ADD))->click();
    ASSERT_EQ(before->GetItemCount(), 41);
    EXPECT_EQ(column(before, 0).last(), QStringLiteral("NEW"));
    EXPECT_EQ(column(before, 2).last(), QStringLiteral("5.000"));
    EXPECT_EQ(canvas->GetAfterList()->GetItemCount(), 0); // the results no longer apply
    EXPECT_EQ(canvas->GetDatabase().size(), 71u);

    Point *third = before->GetPoint(2);
    ASSERT_TRUE(canvas->EditTarget(2, PointValue{"RENAMED", 1.0, 2.0, 3.0}));
    EXPECT_EQ(before->GetPoint(2), third); // edited in place
    EXPECT_EQ(canvas->GetDatabase().Find(CString("RENAMED")), third);
    EXPECT_EQ(column(before, 1)[2], QStringLiteral("1.000"));
    expectRowsMatchPoints(before, canvas->GetDatabase());
}

TEST_F(CanvasTest, DeletingSelectedRowsDeletesTheirPointsOnly) {
    auto canvas = withTargets();
    PointListCtrl *before = canvas->GetBeforeList();
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    const CString second = before->GetPoint(1)->GetName();
    const CString fourth = before->GetPoint(3)->GetName();
    select(before, {1, 3});
    {
        ScriptedPrompts prompts({IDNO});
        canvas->OnDelete();
        EXPECT_EQ(prompts.asked.at(0).first, CString("選択された座標を削除してもよろしいですか？"));
        EXPECT_EQ(prompts.asked[0].second, MB_YESNO);
        EXPECT_EQ(before->GetItemCount(), 40);
    }
    ScriptedPrompts prompts({IDYES});
    canvas->OnDelete();
    EXPECT_EQ(before->GetItemCount(), 38);
    EXPECT_EQ(canvas->GetAfterList()->GetItemCount(), 0);
    Veltrane &db = canvas->GetDatabase();
    EXPECT_EQ(db.size(), 68u);
    EXPECT_EQ(db.Find(second), nullptr);
    EXPECT_EQ(db.Find(fourth), nullptr);
    EXPECT_EQ(db.GetCnvBasisPointSize(), 24u);
    expectRowsMatchPoints(before, db);
}

TEST_F(CanvasTest, DeleteAllAsksOnlyWhenThereIsSomethingToDelete) {
    auto canvas = open(sources());
    {
        ScriptedPrompts none; // an empty canvas asks nothing
        canvas->OnDeleteAll();
        EXPECT_TRUE(none.asked.empty());
    }
    ASSERT_TRUE(canvas->AddTarget(PointValue{"T", 1, 2, 3}));
    ScriptedPrompts prompts({IDYES});
    canvas->OnDeleteAll();
    EXPECT_EQ(prompts.asked.at(0).first, CString("全ての座標を削除してもよろしいですか？"));
    EXPECT_EQ(canvas->GetBeforeList()->GetItemCount(), 0);
    EXPECT_EQ(canvas->GetDatabase().size(), 30u);
}

TEST_F(CanvasTest, ImportReplacesTargetsOnlyAfterTheFileWasReadWhole) {
    auto canvas = withTargets();
    PointListCtrl *before = canvas->GetBeforeList();
    const QStringList names = column(before, 0);
    EXPECT_EQ(names.first(), QStringLiteral("T001"));
    RecordingProgress progress;

    ScriptedPrompts prompts({IDOK, IDOK, IDOK});
    canvas->ImportFile(put("A,1,2,3\r\nB,1,x,3\r\n", "bad.csv"), progress);
    canvas->ImportFile(path("missing.csv"), progress);
    canvas->ImportFile(put("A,1,2,3\r\n", "points.txt"), progress);
    ASSERT_EQ(prompts.asked.size(), 3u);
    EXPECT_EQ(prompts.asked[0].first,
              CString("座標取込に失敗しました。\n2行目：Y座標が数値ではありません。"));
    EXPECT_EQ(prompts.asked[1].first, CString("座標取込に失敗しました。\nファイルを開けません。"));
    EXPECT_EQ(
        prompts.asked[2].first,
        CString("CSVファイル(*.csv)かSIM共通フォーマットファイル(*.sim)を選択してください。"));
    EXPECT_EQ(column(before, 0), names);
    EXPECT_EQ(canvas->GetDatabase().size(), 70u);
    expectRowsMatchPoints(before, canvas->GetDatabase());

    canvas->ImportFile(put("\"P,1\",1,2,3\r\nQ,4,5,6\r\n", "TWO.CSV"), progress);
    EXPECT_EQ(column(before, 0), (QStringList{QStringLiteral("P,1"), QStringLiteral("Q")}));
    EXPECT_EQ(column(before, 3), (QStringList{QStringLiteral("3.000"), QStringLiteral("6.000")}));
    EXPECT_EQ(canvas->GetDatabase().size(), 32u);
}

TEST_F(CanvasTest, AFileOfNoPointLeavesTheTargetsAndLinesPassedOverAreTold) {
    auto canvas = withTargets();
    const QStringList names = column(canvas->GetBeforeList(), 0);
    RecordingProgress progress;
    for (const char *text : {"", "P1,100.5,200.25\r\n", "P1,100,5,200,25,3,0\r\n",
                             "P1\t100.5\t200.25\t3\r\n", "P1;100.5;200.25;3\r\n"}) {
        ScriptedPrompts prompts({IDOK});
        canvas->ImportFile(put(text, "none.csv"), progress);
        EXPECT_EQ(
            prompts.asked.at(0).first,
            CString("座標取込に失敗しました。\n点名,X座標,Y座標,標高をカンマ(,)で区切った座標の行"
                    "がありません。"))
            << text;
        EXPECT_EQ(column(canvas->GetBeforeList(), 0), names) << text;
    }
    ScriptedPrompts prompts({IDOK});
    canvas->ImportFile(put(";name\r\nA,1,2,3\r\nB,1,2\r\n\r\nC,4,5,6\r\nD;1;2;3\r\n", "some.csv"),
                       progress);
    EXPECT_EQ(
        prompts.asked.at(0).first,
        CString("座標を2点取り込みました。\n点名,X座標,Y座標,標高の座標の行でない2行は取り込みま"
                "せんでした（最初は3行目）。"));
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), (QStringList{"A", "C"}));
    EXPECT_EQ(prompts.asked.at(0).second & MB_ICONMASK, MB_ICONEXCLAMATION);

    // A heading, after comments too, is what a point file starts with: no line was lost.
    ScriptedPrompts heading({IDOK});
    canvas->ImportFile(put(";list\r\n点名,X,Y,標高\r\nA,1,2,3\r\n", "heading.csv"), progress);
    EXPECT_EQ(heading.asked.at(0).second & MB_ICONMASK, MB_ICONINFORMATION);
}

TEST_F(CanvasTest, Utf8NamesAreStoredInCp932) {
    auto canvas = open(sources());
    RecordingProgress progress;
    const std::string utf8 = reinterpret_cast<const char *>(u8"テスト点1,1,2,3\r\n点２,4,5,6\r\n");
    for (const std::string &text : {"\xEF\xBB\xBF" + utf8, utf8}) {
        canvas->ImportFile(put(text, "utf8.csv"), progress);
        ASSERT_EQ(canvas->GetBeforeList()->GetItemCount(), 2);
        EXPECT_EQ(canvas->GetBeforeList()->GetPoint(0)->GetName(), CString("テスト点1"));
        EXPECT_EQ(canvas->GetBeforeList()->GetPoint(1)->GetName(), CString("点２"));
    }
    canvas->ImportFile(put("点3,7,8,9\r\n", "cp932.csv"), progress); // cp932 bytes
    EXPECT_EQ(canvas->GetBeforeList()->GetPoint(0)->GetName(), CString("点3"));

    ScriptedPrompts prompts({IDOK});
    canvas->ImportFile(
        put(utf8 + reinterpret_cast<const char *>(u8"点\U0001F600,1,2,3\r\n"), "emoji.csv"),
        progress);
    EXPECT_EQ(
        prompts.asked.at(0).first,
        CString("座標取込に失敗しました。\n3行目：シフトJISで表せない文字(U+1F600)があります。"));
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), QStringList{ToQString("点3")});
}

TEST_F(CanvasTest, AnExchangeFileReplacesTargetsOrLeavesThemAsTheyWere) {
    CanvasSources s = sources();
    bool accept = false;
    s.readExchange = [&accept](Veltrane &db, const CString &, JIProgMsgBase *) {
        ExchangeReadResult result;
        if (!accept) {
            result.stopLine = 12;
            result.stopReason = "座標値が不正です。";
            return result;
        }
        Point p(0, "SIM1");
        p.SetTokyoDatum(Coordinate(10, 20, 30, true, 0, false));
        db.Append(p);
        result.read = true;
        return result;
    };
    auto canvas = open(s);
    RecordingProgress csv;
    canvas->ImportFile(putTargetCsv("targets.csv"), csv);
    ASSERT_TRUE(canvas->ConvertTargets(csv));

    RecordingProgress refused;
    ScriptedPrompts prompts({IDOK});
    canvas->ImportFile(put("", "a.sim"), refused);
    EXPECT_EQ(prompts.asked.at(0).first,
              CString("座標取込に失敗しました。\n12行目：座標値が不正です。"));
    EXPECT_EQ(refused.kinds, std::vector<int>{10});
    EXPECT_EQ(refused.inits, 1);
    EXPECT_EQ(canvas->GetBeforeList()->GetItemCount(), 40);
    EXPECT_EQ(canvas->GetAfterList()->GetItemCount(), 40); // the results still hold
    expectRowsMatchPoints(canvas->GetAfterList(), canvas->GetDatabase());
    EXPECT_EQ(canvas->GetDatabase().size(), 70u);

    accept = true;
    RecordingProgress read;
    canvas->ImportFile(put("", "b.SIM"), read);
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), QStringList{QStringLiteral("SIM1")});
    EXPECT_EQ(canvas->GetAfterList()->GetItemCount(), 0);
    EXPECT_EQ(canvas->GetDatabase().size(), 31u);
}

TEST_F(CanvasTest, AnExchangeFileOfNoPointChangesNothingAndRecordsPassedOverAreTold) {
    auto canvas = open(sources());
    for (const char *name : {"T1", "T2", "T3"})
        ASSERT_TRUE(canvas->AddTarget(PointValue{name, 100.0, 200.0, 3.0}));
    const QStringList names = column(canvas->GetBeforeList(), 0);
    const CString none = "座標取込に失敗しました。\n取り込める座標の点がファイルにありません。";
    RecordingProgress progress;
    for (const char *text : {"", "A00,\r\nA99,\r\n", "P1,1,2,3\r\n", "a00,\r\na01,1,P1,1,2,3,\r\n",
                             "A01,1,P1,1,2,3,\r\n"}) {
        ScriptedPrompts prompts({IDOK});
        canvas->ImportFile(put(text, "none.sim"), progress);
        EXPECT_EQ(prompts.asked.at(0).first, none) << text;
        EXPECT_EQ(column(canvas->GetBeforeList(), 0), names) << text;
        EXPECT_EQ(canvas->GetDatabase().size(), 33u) << text;
    }
    // Point records without their height, gone past after "はい": counted, with the first.
    const std::string head = "A00,\r\nA01,1,P1,10.0,20.0\r\n";
    ScriptedPrompts noHeights({IDYES, IDOK});
    canvas->ImportFile(put(head + "A01,2,P2,11.0,21.0\r\nA99,\r\n", "noh.sim"), progress);
    EXPECT_EQ(noHeights.asked.at(1).first,
              none + "\n内容が不正な2行は取り込みませんでした（最初は2行目）。");
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), names);

    ScriptedPrompts some({IDYES, IDOK});
    canvas->ImportFile(put(head + "A01,2,P2,11.0,21.0,3.0,\r\nA01,3,P3,1,2\r\nA99,\r\n", "s.sim"),
                       progress);
    EXPECT_EQ(some.asked.at(1).first,
              CString("座標を1点取り込みました。\n内容が不正な2行は取り込みませんでした（最初は2行"
                      "目）。"));
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), QStringList{QStringLiteral("P2")});

    // Cancel in the overwrite question reads nothing and is no failure.
    const CrdRewriteHandler before =
        SetCrdRewriteHandler([](const CrdRewriteQuestion &) { return CrdRewriteCancel; });
    ScriptedPrompts cancelled({IDOK});
    const auto isBasis = [](const Point *p) { return p->IsConvBasisPoint(); };
    const Veltrane &db = canvas->GetDatabase();
    const CString basis = (*std::find_if(db.begin(), db.end(), isBasis))->GetName();
    canvas->ImportFile(put("A00,\r\nA01,1," + basis.Bytes() + ",1,2,3,\r\nA99,\r\n", "c.sim"),
                       progress);
    SetCrdRewriteHandler(before);
    EXPECT_EQ(cancelled.asked.at(0).first, CString("座標取込を中止しました。"));
    EXPECT_EQ(cancelled.asked.at(0).second & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), QStringList{QStringLiteral("P2")});
}

// Counts the wait dialogs that come on screen.
class ShownWaitDialogs : public QObject {
  public:
    ShownWaitDialogs() { qApp->installEventFilter(this); }
    ~ShownWaitDialogs() override { qApp->removeEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && (qobject_cast<JGDWaitDlg *>(watched) != nullptr ||
                                              qobject_cast<JGDSmpWaitDlg *>(watched) != nullptr))
            ++count;
        return false;
    }
};

// The wait dialog as the points are stored: its message alone, without bar and Cancel.
class StoringProgress : public JGDProgress {
  public:
    void SetProgressKind(JGD_PROGRESS_KIND kind) const override {
        JGDProgress::SetProgressKind(kind);
        m_kind = static_cast<int>(kind);
    }
    bool ProgressPercent(int percent, int done) const override {
        if (m_kind == 12) {
            const JGDWaitDlg *dialog = Shown<JGDWaitDlg>();
            storing = dialog != nullptr &&
                      TextOf(dialog, JGDWaitDlg::IDC_MESSAGE) == U(u8"座標登録中...");
            offered = offered || dialog == nullptr ||
                      GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL)->isVisible() ||
                      GetDlgItem(dialog, JGDWaitDlg::IDC_PROGRESS)->isVisible();
        }
        return JGDProgress::ProgressPercent(percent, done);
    }
    mutable bool storing = false;
    mutable bool offered = false;

  private:
    mutable int m_kind = -1;
};

TEST_F(CanvasTest, AnExchangeFileIsReadAndStoredUnderOneWaitDialog) {
    auto canvas = open(sources());
    std::string text = "A00,\r\n";
    for (int i = 1; i <= 500; ++i)
        text += "A01," + std::to_string(i) + ",P" + std::to_string(i) + ",1.0,2.0,3.0,\r\n";
    text += "A99,\r\n";
    ShownWaitDialogs shown;
    StoringProgress progress;
    canvas->ImportFile(put(text, "points.sim"), progress);
    EXPECT_EQ(canvas->GetBeforeList()->GetItemCount(), 500);
    EXPECT_EQ(shown.count, 1);
    EXPECT_TRUE(progress.storing);
    EXPECT_FALSE(progress.offered);          // no Cancel, not even a greyed one, and no bar
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr); // and it is gone at the end
}

TEST_F(CanvasTest, AFileWhosePointsWereAllLeftOutSaysSoAndChangesNothing) {
    auto canvas = withTargets();
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    const QStringList before = column(canvas->GetBeforeList(), 0);
    const QStringList after = column(canvas->GetAfterList(), 1);
    std::string text = "A00,\r\n";
    int no = 0;
    for (const Point *p : canvas->GetDatabase())
        if (p->IsConvBasisPoint() && no < 2)
            text += "A01," + std::to_string(++no) + "," + p->GetName().Bytes() + ",1,2,3,\r\n";
    text += "A99,\r\n";
    int asked = 0;
    const CrdRewriteHandler previous = SetCrdRewriteHandler([&asked](const CrdRewriteQuestion &) {
        ++asked;
        return CrdRewriteNo;
    });
    ScriptedPrompts prompts({IDOK});
    canvas->ImportFile(put(text, "basis.sim"), progress);
    SetCrdRewriteHandler(previous);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(
        prompts.asked[0].first,
        CString("座標を取り込みませんでした。\nファイルの2点をすべて取り込まないことにしました。"));
    EXPECT_EQ(prompts.asked[0].second & MB_ICONMASK, MB_ICONINFORMATION);
    EXPECT_EQ(column(canvas->GetBeforeList(), 0), before);
    EXPECT_EQ(column(canvas->GetAfterList(), 1), after);
    EXPECT_EQ(canvas->GetDatabase().size(), 70u);
}

TEST_F(CanvasTest, EveryValueTakenShowsWholeAndACutNameShowsInATip) {
    auto canvas = open(sources());
    const CString longName = "ＫＯＵＳＥＩＴＥＮ＿ＮＡＭＥ＿ＴＨＡＴ＿ＩＳ＿ＬＯＮＧ";
    ASSERT_TRUE(canvas->AddTarget(PointValue{"S", -100000.0, -100000.0, -100000.0}));
    ASSERT_TRUE(canvas->AddTarget(PointValue{longName, 100000.0, 99999.999, 0.0}));
    PointListCtrl *list = canvas->GetBeforeList();
    EXPECT_EQ(list->Text(0, 1), QStringLiteral("-100000.000"));
    for (int row = 0; row < 2; ++row)
        for (int col = 1; col < 4; ++col) {
            EXPECT_LT(list->fontMetrics().horizontalAdvance(list->Text(row, col)) + 8,
                      list->columnWidth(col))
                << row << "," << col;
            EXPECT_FALSE(list->IsCut(row, col));
        }
    ASSERT_TRUE(list->IsCut(1, 0));
    EXPECT_FALSE(list->IsCut(0, 0));
    canvas->show();
    // The four columns fit in the list: the heights need no sideways scroll.
    EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width());
    auto tipAt = [list](int row) {
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tipAt(0), QString()); // a name shown whole needs no tip
    EXPECT_EQ(tipAt(1), ToQString(longName));
    QToolTip::hideText();
}

TEST_F(CanvasTest, ANamelessTargetGetsTheHeightOfANamedOneAtItsPlace) {
    auto canvas = open(sources());
    const testsupport::SurveyPoint &mark = testsupport::SurveyZone9().back();
    for (const char *name : {"", "N"})
        ASSERT_TRUE(canvas->AddTarget(PointValue{name, mark.tokyoX, mark.tokyoY, 5.369}));
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    const PointListCtrl *after = canvas->GetAfterList();
    ASSERT_EQ(after->GetItemCount(), 2);
    EXPECT_EQ(after->Text(0, 3), after->Text(1, 3));
}

TEST_F(CanvasTest, ConvertingListsTheJgd2000CoordinatesOfTheTargets) {
    auto canvas = withTargets();
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    EXPECT_EQ(progress.kinds.front(), 1);
    const PointListCtrl *after = canvas->GetAfterList();
    ASSERT_EQ(after->GetItemCount(), 40);
    expectRowsMatchPoints(after, canvas->GetDatabase());
    const Coordinate first = after->GetPoint(0)->GetJGD2000(0);
    CString x;
    x.Format("%.3f", first.GetX());
    EXPECT_EQ(after->Text(0, 1), ToQString(x));
    const QStringList once = column(after, 1);
    // Every figure shows whole in its column, the labels and buttons too.
    for (const PointListCtrl *list :
         {static_cast<const PointListCtrl *>(canvas->GetBeforeList()), after})
        for (int row = 0; row < list->GetItemCount(); ++row)
            for (int col = 0; col < 4; ++col)
                EXPECT_LT(list->fontMetrics().horizontalAdvance(list->Text(row, col)) + 8,
                          list->columnWidth(col))
                    << row << "," << col;
    ExpectNothingClipped(canvas.get());
    SaveScreenshot(canvas.get(), "canvas.png");

    RecordingProgress again;
    ASSERT_TRUE(canvas->ConvertTargets(again));
    EXPECT_EQ(column(after, 1), once);
}

TEST_F(CanvasTest, AFailedOrCancelledConversionKeepsTheAfterListAndSaysSo) {
    auto canvas = withTargets();
    RecordingProgress progress;
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    const QStringList converted = column(canvas->GetAfterList(), 1);
    for (int at : {1, progress.reports}) {
        ScriptedPrompts prompts({IDOK});
        RecordingProgress cancel(at);
        EXPECT_FALSE(canvas->ConvertTargets(cancel));
        EXPECT_EQ(prompts.asked.at(0).first, CString("座標変換を中止しました。"));
        // The rows still show what the points hold.
        const PointListCtrl *after = canvas->GetAfterList();
        EXPECT_EQ(column(after, 1), converted);
        CString x;
        x.Format("%.3f", after->GetPoint(0)->GetJGD2000(0).GetX());
        EXPECT_EQ(after->Text(0, 1), ToQString(x));
    }
    // A project without basis points cannot be fitted.
    CanvasSources empty = sources();
    empty.readProject = [](Veltrane &, CArchive &) { return 0; };
    auto bare = open(empty);
    ASSERT_TRUE(bare->AddTarget(PointValue{"T", 1, 2, 3}));
    ScriptedPrompts prompts({IDOK});
    RecordingProgress unused;
    EXPECT_FALSE(bare->ConvertTargets(unused));
    EXPECT_EQ(prompts.asked.at(0).first,
              CString("座標変換できませんでした。\n変換基準点がありません。"));
    EXPECT_EQ(bare->GetAfterList()->GetItemCount(), 0);
}

// The fit and the conversion are one: a cancel at the first report and at the last puts back
// the fit too, so that the project, and the project file written after it, are as they were.
TEST_F(CanvasTest, ACancelledConversionLeavesTheProjectAsItWas) {
    // With an observation without its Tokyo coordinate, which a fit takes out of the
    // calculation.
    auto project = [this] {
        auto canvas = withTargets();
        Point lone(9999, "U");
        lone.SetCnvBasisITRF(Coordinate(-30000, -7000, 10, true, 0, false));
        canvas->GetDatabase().Append(lone);
        return canvas;
    };
    RecordingProgress counter;
    ASSERT_TRUE(project()->ConvertTargets(counter));
    // At the first and the last report, and at the first of the height step (after the
    // latitudes and longitudes).
    for (const auto &[at, kind] : {std::pair{1, -1}, {counter.reports, -1}, {0, 3}}) {
        SCOPED_TRACE(std::to_string(at) + " " + std::to_string(kind));
        auto canvas = project();
        Veltrane &db = canvas->GetDatabase();
        const std::string before = testsupport::ProjectDump(db, path("before.zub"));
        ScriptedPrompts prompts({IDOK});
        RecordingProgress cancel(at, kind);
        EXPECT_FALSE(canvas->ConvertTargets(cancel));
        EXPECT_EQ(prompts.asked.at(0).first, CString("座標変換を中止しました。"));
        EXPECT_EQ(testsupport::ProjectDump(db, path("after.zub")), before);
        EXPECT_EQ(get("after.zub"), get("before.zub"));
    }
}

} // namespace
