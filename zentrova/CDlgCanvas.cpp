#include "zentrova/CDlgCanvas.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"
#include "veltrane/conversion/ConversionState.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/PointCsv.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/UserMessages.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr const char *kConfigFolderName = "config";

Point makeTarget(const CString &name, double x, double y, double h) {
    Point p(0, name);
    p.SetTokyoDatum(Coordinate(x, y, h, true, 0.0, false));
    return p;
}

// Why an exchange file gave no point.
constexpr char kStopNoExchangePoint[] = "取り込める座標の点がファイルにありません。";

void reportImportStop(int line, const CString &reason) {
    CString text("座標取込に失敗しました。\n");
    if (line > 0)
        text.AppendFormat("%d行目：", line);
    text += reason;
    ReportFailure(text);
}

// The line that tells how many lines or records of what kind were passed over; empty for none.
CString passedOverLine(const char *what, int count, int first) {
    CString line;
    if (count > 0)
        line.Format("%s%d行は取り込みませんでした（最初は%d行目）。", what, count, first);
    return line;
}

} // namespace

CString CanvasSources::ProgramConfigFolder() {
    return Path::Join(Path::ProgramFolder(), kConfigFolderName);
}

QFont CDlgCanvas::ReplacedFont() {
    QFont font = UiFont(9);
    font.setPixelSize(17);
    return font;
}

CDlgCanvas::CDlgCanvas(CanvasSources sources, QWidget *parent)
    : QWidget(parent), m_sources(std::move(sources)) {
    setFont(ReplacedFont());
    const DialogUnits units(font());
    auto addLabel = [&](const char *text, const QRect &dlu) {
        auto *label = new QLabel(ToQString(text), this);
        PlaceControl(label, -1, dlu, units);
        label->resize(label->width(), std::max(label->height(), label->sizeHint().height()));
    };
    addLabel("変換前", QRect(7, 7, 46, 8));
    m_before = new PointListCtrl(PointListCtrl::TokyoDatum, this);
    PlaceControl(m_before, IDC_LIST_BEFORE, QRect(7, 19, 191, 249), units);
    addLabel("変換後", QRect(202, 7, 46, 8));
    m_after = new PointListCtrl(PointListCtrl::JGD2000, this);
    PlaceControl(m_after, IDC_LIST_AFTER, QRect(202, 19, 191, 249), units);

    struct ButtonSpec {
        const char *text;
        int id;
        QRect dlu;
        void (CDlgCanvas::*handler)();
    };
    const ButtonSpec buttons[] = {
        {"追加", IDC_BTN_ADD, QRect(7, 273, 43, 18), &CDlgCanvas::OnAdd},
        {"編集", IDC_BTN_EDIT, QRect(56, 273, 43, 18), &CDlgCanvas::OnEdit},
        {"削除", IDC_BTN_DELETE, QRect(105, 273, 43, 18), &CDlgCanvas::OnDelete},
        {"全削除", IDC_BTN_DELETE_ALL, QRect(154, 273, 43, 18), &CDlgCanvas::OnDeleteAll},
        {"終了", IDC_BTN_EXIT, QRect(336, 273, 47, 18), &CDlgCanvas::OnExit},
    };
    for (const ButtonSpec &spec : buttons) {
        auto *button = new QPushButton(ToQString(spec.text), this);
        PlaceControl(button, spec.id, spec.dlu, units);
        connect(button, &QPushButton::clicked, this, spec.handler);
        if (spec.id != IDC_BTN_EXIT)
            m_editButtons.push_back(button);
    }
    setFixedSize(units.ToPixels(QSize(400, 301)));

    connect(m_before, &QAbstractItemView::doubleClicked, this, &CDlgCanvas::OnEdit);
    connect(m_before, &PointListCtrl::rowsChanged, this, &CDlgCanvas::listsChanged);
    connect(m_after, &PointListCtrl::rowsChanged, this, &CDlgCanvas::listsChanged);
}

void CDlgCanvas::OnInitDialog() {
    CString project;
    const ConfigLoadResult result = loadConfigDatabase(project);
    m_loaded = result == ConfigLoaded || result == ConfigNotProject;
    const CString name = Path::FileName(project);
    CString text;
    if (!m_loaded) {
        if (result == ConfigUnreadable)
            text.Format("%sフォルダのZUBファイル「%s」は壊れているため読み込めません。",
                        kConfigFolderName, name.GetString());
        else if (result == ConfigCannotOpen)
            text.Format("%sフォルダのZUBファイル「%s」を開けません。", kConfigFolderName,
                        name.GetString());
        else
            text.Format("%sフォルダにZUBファイルが存在しません。", kConfigFolderName);
        // The message of a missing project is a plain box, as it always was.
        if (result == ConfigNoProject)
            AfxMessageBox(text, MB_OK);
        else
            ReportFailure(text);
        for (QPushButton *button : m_editButtons)
            button->setEnabled(false);
    } else if (result == ConfigNotProject) {
        text.Format("%sフォルダのZUBファイル「%s」は座標変換プログラムのデータファイルではありま"
                    "せん。",
                    kConfigFolderName, name.GetString());
        ReportFailure(text);
    }
}

ConfigLoadResult CDlgCanvas::loadConfigDatabase(CString &project) {
    return LoadConfigProject(m_db, m_sources.configFolder, m_sources.readProject, &project);
}

std::vector<const Point *> CDlgCanvas::GetTargets() const {
    const std::vector<Point *> &rows = m_before->GetPoints();
    return std::vector<const Point *>(rows.begin(), rows.end());
}

void CDlgCanvas::pointsChanged() {
    m_db.MakeAllPrecChkTable();
    m_db.MakeInsyoList();
}

void CDlgCanvas::refreshPointLists(int mode) {
    std::vector<Point *> targets;
    for (Point *p : m_db) {
        if (IsConversionTarget(*p))
            targets.push_back(p);
    }
    if (mode == 0) {
        m_before->Fill(targets);
        m_after->DeleteAllItems();
    } else if (mode == 1) {
        m_after->Fill(targets);
    }
}

void CDlgCanvas::OnAdd() {
    CDlgPointInput dialog(this);
    if (dialog.DoModal() == IDOK)
        AddTarget(dialog.Value());
}

void CDlgCanvas::OnEdit() {
    const int row = m_before->GetFirstSelectedRow();
    const Point *p = m_before->GetPoint(row);
    if (p == nullptr)
        return;
    CDlgPointInput dialog(this);
    const Coordinate tokyo = p->GetTokyoDatum();
    dialog.Value() = PointValue{p->GetName(), tokyo.GetX(), tokyo.GetY(), tokyo.GetH()};
    if (dialog.DoModal() == IDOK)
        EditTarget(row, dialog.Value());
}

void CDlgCanvas::OnDelete() {
    const std::vector<int> rows = m_before->GetSelectedRows();
    if (rows.empty())
        return;
    if (AfxMessageBox("選択された座標を削除してもよろしいですか？", MB_YESNO) == IDYES)
        DeleteRows(rows);
}

void CDlgCanvas::OnDeleteAll() {
    if (m_before->GetItemCount() == 0 && m_after->GetItemCount() == 0)
        return;
    if (AfxMessageBox("全ての座標を削除してもよろしいですか？", MB_YESNO) == IDYES)
        DeleteAllTargets();
}

void CDlgCanvas::OnExit() { window()->close(); }

bool CDlgCanvas::AddTarget(const PointValue &value) {
    Point *stored = m_db.Append(makeTarget(value.name, value.x, value.y, value.h));
    if (stored == nullptr)
        return false;
    pointsChanged();
    m_after->DeleteAllItems();
    m_before->AppendRow(stored);
    return true;
}

bool CDlgCanvas::EditTarget(int row, const PointValue &value) {
    Point *stored = m_before->GetPoint(row);
    if (stored == nullptr)
        return false;
    Point copy(*stored);
    copy.SetName(value.name);
    copy.SetTokyoDatum(Coordinate(value.x, value.y, value.h, true, 0.0, false));
    if (!m_db.Edit(copy, stored))
        return false;
    pointsChanged();
    m_after->DeleteAllItems();
    m_before->SetRow(row, stored);
    return true;
}

void CDlgCanvas::DeleteRows(const std::vector<int> &rows) {
    m_db.AllRemoveSelect();
    for (int row : rows) {
        if (const Point *p = m_before->GetPoint(row))
            m_db.AppendSelect(p);
    }
    // The rows go before their points, from the last up, so no row outlives its point.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        m_before->DeleteRow(*row);
    m_after->DeleteAllItems();
    m_db.RemoveSelectedPoints();
    pointsChanged();
}

void CDlgCanvas::DeleteAllTargets() {
    m_before->DeleteAllItems();
    m_after->DeleteAllItems();
    clearConversionTargets(m_db);
}

void CDlgCanvas::ImportFile(const CString &path, JIProgMsgBase &progress) {
    const CString name = Path::FileName(path);
    const int dot = name.ReverseFind('.');
    CString extension = dot >= 0 ? name.Mid(dot) : CString();
    extension.MakeLower();
    if (extension == ".csv")
        importCsv(path);
    else if (extension == ".sim")
        importExchange(path, progress);
    else
        ReportFailure("CSVファイル(*.csv)かSIM共通フォーマットファイル(*.sim)を選択してください。");
}

void CDlgCanvas::importCsv(const CString &path) {
    PointCsvReader reader;
    std::vector<CsvPoint> points;
    if (!reader.Read(path, points)) {
        reportImportStop(reader.GetStopLine(), reader.GetStopReason());
        return;
    }
    m_before->DeleteAllItems();
    m_after->DeleteAllItems();
    clearConversionTargets(m_db);
    for (const CsvPoint &p : points)
        m_db.Append(makeTarget(p.name, p.x, p.y, p.h));
    pointsChanged();
    refreshPointLists(0);
    reportPassedOver(passedOverLine("点名,X座標,Y座標,標高の座標の行でない",
                                    reader.GetPassedOverCount(), reader.GetFirstPassedOverLine()),
                     reader.GetPassedOverCount() == reader.GetHeadingCount());
}

void CDlgCanvas::importExchange(const CString &path, JIProgMsgBase &progress) {
    // The reader stores nothing when it fails; the former targets then come back.
    std::vector<Point> former;
    for (const Point *p : m_db) {
        if (IsConversionTarget(*p))
            former.push_back(*p);
    }
    const bool converted = m_after->GetItemCount() > 0;
    m_before->DeleteAllItems();
    m_after->DeleteAllItems();
    clearConversionTargets(m_db);

    progress.ProgressInit(JGD_PROGRESS_TYPE{1});
    progress.SetProgressKind(JGD_PROGRESS_KIND{10});
    const ExchangeReadResult result = m_sources.readExchange(m_db, path, &progress);
    progress.ProgressTerm();
    const bool anyPoint = std::any_of(m_db.begin(), m_db.end(),
                                      [](const Point *p) { return IsConversionTarget(*p); });
    const bool taken = result.read && anyPoint;
    if (!taken) {
        // A file of no point changes nothing either.
        clearConversionTargets(m_db);
        for (const Point &p : former)
            m_db.Append(p);
        pointsChanged();
    }
    refreshPointLists(0);
    if (!taken && converted)
        refreshPointLists(1);
    const CString passed =
        passedOverLine("内容が不正な", result.passedOver, result.firstPassedOver);
    if (result.cancelled) {
        ReportChoice("座標取込を中止しました。");
    } else if (!result.read) {
        reportImportStop(result.stopLine, result.stopReason);
    } else if (!anyPoint && result.declined > 0) {
        // The file had points: the user left every one of them out.
        CString text;
        text.Format(
            "座標を取り込みませんでした。\nファイルの%d点をすべて取り込まないことにしました。",
            result.declined);
        if (passed.IsEmpty())
            ReportChoice(text);
        else
            ReportNotTaken(text + "\n" + passed);
    } else if (!anyPoint) {
        reportImportStop(0,
                         CString(kStopNoExchangePoint) + (passed.IsEmpty() ? "" : "\n") + passed);
    } else {
        reportPassedOver(passed, false);
    }
}

void CDlgCanvas::reportPassedOver(const CString &passed, bool headingOnly) {
    if (passed.IsEmpty())
        return;
    CString text;
    text.Format("座標を%d点取り込みました。\n", m_before->GetItemCount());
    // A heading is what a point file starts with, not a line lost.
    if (headingOnly)
        ReportChoice(text + passed);
    else
        ReportNotTaken(text + passed);
}

bool CDlgCanvas::ConvertTargets(JIProgMsgBase &progress) {
    CoordCnvOption option = m_db.GetCoordCnvOption();
    option.m_fResidualInterp = true;
    option.m_nFlag = 1;
    option.m_dScaleFactor = 1.0;
    option.m_dMeanHeight = 0.0;
    option.m_dMeanGeoidHeight = 0.0;
    option.m_nTakeScale = option.m_nTakeHeight = option.m_nTakeGeoid = 1;
    bool converted = false;
    bool cancelled = false;
    CString failure;
    {
        // The fit and the conversion are one: a cancel or a failure puts back both, so the
        // database is as it was.
        ConversionState kept;
        converted = m_db.PrepareCoordConv(option, nullptr, &kept);
        if (converted) {
            progress.ProgressInit(JGD_PROGRESS_TYPE{1});
            progress.SetProgressKind(JGD_PROGRESS_KIND{1});
            converted = m_db.CoordConvExecute(CrdCnvParaTrans2, &progress, &kept);
            cancelled = !converted && progress.IsCanceled();
            progress.ProgressTerm();
        }
        if (converted)
            kept.Commit();
        else if (!cancelled)
            failure = conversionFailure(); // of the fit that failed, before it goes back
    }
    if (converted) {
        refreshPointLists(1);
        return true;
    }
    // The list of results stays as it was, as the database does.
    if (cancelled)
        ReportChoice("座標変換を中止しました。");
    else
        ReportFailure("座標変換できませんでした。\n" + failure);
    return false;
}

CString CDlgCanvas::conversionFailure() const {
    const CoordConvParam *engine = m_db.GetCrdCnvPrmTbl()->GetCoordConvParam(CrdCnvParaTrans2);
    const auto basis = std::count_if(m_db.begin(), m_db.end(),
                                     [](const Point *p) { return p->IsPossibleCalcParam(); });
    CString reason;
    if (basis == 0)
        reason = "変換基準点がありません。";
    else if (engine != nullptr && basis < engine->GetMinPosNum())
        reason.Format("%sは、変換基準点が %d 点以上ないと計算できません。",
                      Veltrane::GetCoordCnvKindName(CrdCnvParaTrans2).GetString(),
                      engine->GetMinPosNum());
    else
        reason = "変換基準点から変換パラメータを計算できませんでした。";
    return reason;
}
