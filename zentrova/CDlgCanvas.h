#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "veltrane/database/Veltrane.h"
#include "zentrova/ConfigProject.h"
#include "zentrova/DatabaseReaders.h"

#include <QFont>
#include <QWidget>

#include <vector>

class JIProgMsgBase;
class PointListCtrl;
class QPushButton;
struct PointValue;

// Where the main dialog takes its project from and how it reads the database's files.
struct CanvasSources {
    // The folder "config" beside the program.
    static CString ProgramConfigFolder();

    CString configFolder = ProgramConfigFolder();
    ProjectReader readProject = ReadProjectFile;
    ExchangeReader readExchange = ReadExchangeFile;
};

// The program's working surface: the project database, loaded once from the config folder,
// and its conversion targets in two lists, before conversion (Tokyo datum) on the left and
// after conversion (JGD2000 of the whole area) on the right. Both lists show the targets in
// table order; any change of the targets empties the after list.
class CDlgCanvas : public QWidget {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 131;
    static constexpr int IDC_LIST_AFTER = 1000;
    static constexpr int IDC_LIST_BEFORE = 1001;
    static constexpr int IDC_BTN_ADD = 1002;
    static constexpr int IDC_BTN_EDIT = 1003;
    static constexpr int IDC_BTN_DELETE = 1004;
    static constexpr int IDC_BTN_EXIT = 1005;
    static constexpr int IDC_BTN_DELETE_ALL = 1012;

    explicit CDlgCanvas(CanvasSources sources, QWidget *parent = nullptr);

    // The font the program's dialogs are made with: the UI Gothic, 17 pixels high.
    static QFont ReplacedFont();

    // Loads the project and reports a project that could not be loaded.
    void OnInitDialog();

    Veltrane &GetDatabase() { return m_db; }
    bool IsLoaded() const { return m_loaded; }
    PointListCtrl *GetBeforeList() const { return m_before; }
    PointListCtrl *GetAfterList() const { return m_after; }
    // The targets in list order.
    std::vector<const Point *> GetTargets() const;

    // The buttons.
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnDeleteAll();
    void OnExit();

    // What the buttons do once the user has answered.
    bool AddTarget(const PointValue &value);
    bool EditTarget(int row, const PointValue &value);
    void DeleteRows(const std::vector<int> &rows);
    void DeleteAllTargets();

    // Replaces the targets by the points of a CSV (".csv") or exchange (".sim") file; the
    // targets stay as they were when the file cannot be read whole or holds no point, and CSV
    // lines that are no point are reported. The progress shows the reading of an exchange file.
    void ImportFile(const CString &path, JIProgMsgBase &progress);
    // Fits the second parallel translation to the basis points, converts the targets and lists
    // the results; a failed or cancelled conversion leaves the project and the after list as
    // they were and says so.
    bool ConvertTargets(JIProgMsgBase &progress);

    // Mode 0 refills the before list and empties the after list; mode 1 refills the after
    // list.
    void refreshPointLists(int mode);

  signals:
    // The rows of either list changed.
    void listsChanged();

  private:
    // The path of the project file goes to project.
    ConfigLoadResult loadConfigDatabase(CString &project);
    void importCsv(const CString &path);
    void importExchange(const CString &path, JIProgMsgBase &progress);
    // Tells the line of what an import passed over after the count of points it took; nothing
    // when that line is empty. A heading alone passed over is no loss.
    void reportPassedOver(const CString &passed, bool headingOnly);
    // Why the conversion of the targets failed (not cancelled), for the user.
    CString conversionFailure() const;
    // Precision tables and mark relations after the points changed.
    void pointsChanged();

    CanvasSources m_sources;
    Veltrane m_db;
    PointListCtrl *m_before;
    PointListCtrl *m_after;
    std::vector<QPushButton *> m_editButtons;
    bool m_loaded = false;
};
