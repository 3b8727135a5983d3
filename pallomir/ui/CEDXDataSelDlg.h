#pragma once

#include "ombresk/JMeshCode.h"
#include "pallomir/ui/JGDDlgBase.h"
#include "pallomir/ui/VersionText.h"
#include "platform/core/CString.h"

#include <map>
#include <vector>

class QComboBox;
class QListWidget;

// One EDX file of a first-level mesh: installed or not, chosen for display or not.
struct EDXDataElm {
    JMeshCode code;
    bool present = false;
    bool selected = false;
};

// The EDX files of one first-level mesh, ascending by mesh code.
struct EDXDataElm1stTbl {
    int code = -1;
    std::map<JMeshCode, EDXDataElm> elements;
};

// The first-level meshes of one installed EDX version.
struct EDXDataVerTbl {
    CString version;
    std::map<int, EDXDataElm1stTbl> firstTables;
};

// Versions ascending by number ("1.9" before "1.10").
using EDXDataVerTbls = std::map<CString, EDXDataVerTbl, VersionTextLess>;

// Chooses the EDX version to display and its meshes: the versions installed under
// <installation folder>/edx<version>/<first-level mesh>/, per first-level mesh its EDX files
// with a tick; a file chosen before and no longer installed is shown ticked and greyed out.
class CEDXDataSelDlg : public JGDDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 10005;
    static constexpr int IDC_BTN_ALL_SELECT = 3;
    static constexpr int IDC_BTN_ALL_RESET = 4;
    static constexpr int IDC_LIST_1ST_MESH = 10011;
    static constexpr int IDC_LIST_EDX = 10014;
    static constexpr int IDC_CMB_VERSION = 19114;

    // An empty displayVersion with selectNewest chooses the newest version.
    CEDXDataSelDlg(const CString &installFolder, const CString &displayVersion, bool selectNewest,
                   const std::vector<JMeshCode> &codes, QWidget *parent = nullptr);

    CString GetDisplayVer() const { return m_displayVersion; }
    UINT GetCodeSize() const { return static_cast<UINT>(m_codes.size()); }
    JMeshCode GetCode(UINT i) const;

    // The installed versions (folders edx<version> in any case) with their first-level mesh
    // folders (four digits) and EDX files, each present and not selected; then every code
    // marked selected in every version, added as not present where it is not installed.
    static EDXDataVerTbls setData(const CString &installFolder,
                                  const std::vector<JMeshCode> &codes);
    // The version of a folder name "edx<version>" (any case); false for any other name.
    static bool getVersionString(const CString &folderName, CString *version);
    static bool is1stMeshCodeFolder(const CString &name);
    // The selected codes of a version, first-level meshes and codes ascending.
    static std::vector<JMeshCode> selectedCodes(const EDXDataVerTbl &table);

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

    void OnSelchangeList1stMesh();
    void OnSelchangeCmbPrmversion(int index);
    void OnBtnAllSelect1st();
    void OnBtnAllReset1st();

    // The first-level list of the display version and the EDX list of its first mesh.
    void createListBox();
    void createEdxDataListBox(const EDXDataElm1stTbl *table);
    // The elements shown take their tick as their selected flag.
    void updateDispTbl();
    // Every element of the display version becomes selected when firstLevel is set and it is a
    // first-level file, unselected otherwise; the EDX list is redrawn.
    void selectAll(bool firstLevel);
    EDXDataVerTbl *displayTable();
    EDXDataElm1stTbl *shownFirstTable();

  private:
    QComboBox *m_pVersion;
    QListWidget *m_pEdxList;
    QListWidget *m_p1stList;
    EDXDataVerTbls m_verTbls;
    bool m_bSelectNewest;
    CString m_installFolder;
    CString m_displayVersion;
    std::vector<JMeshCode> m_codes;
    // The first-level mesh whose files the EDX list shows; -1 for none.
    int m_shownFirst = -1;
};
