#pragma once

#include "pallomir/ui/JGDDlgBase.h"
#include "platform/core/CString.h"

#include <set>
#include <vector>

class QComboBox;
class QListWidget;

// One prefecture of a year table.
struct ADBDataPrefEntry {
    int code = 0;
    CString name;
    // The name of its file in the plain form.
    CString fileName;
    bool present = false;
};

// The 47 prefectures for one year of the boundary files.
struct ADBDataYearTbl {
    // Two-digit year of the Heisei era, as in the file names.
    int year = 0;
    std::vector<ADBDataPrefEntry> prefs;
};

// Chooses the year of the administrative-boundary files to display and the prefectures: the
// years installed in <installation folder>/mlitksj, and per year the prefectures with a
// tick; a prefecture whose file is not installed is shown greyed out.
class CADBDataSelDlg : public JGDDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 10004;
    static constexpr int IDC_CMB_ADB_YEAR = 10008;
    static constexpr int IDC_LIST_PREF = 10009;

    // The 47 prefectures of JIS X 0401, code 1 at index 0.
    static const char *const s_prefNames[47];

    // displayYear -1 chooses the newest year. The two flags have no effect.
    CADBDataSelDlg(const CString &installFolder, int displayYear, bool, bool,
                   std::vector<int> prefCodes, QWidget *parent = nullptr);

    int GetDisplayYear() const { return m_displayYear; }
    UINT GetDisplayPrefSize() const { return static_cast<UINT>(m_prefCodes.size()); }
    int GetDisplayPrefCode(UINT i) const;

    // The names of the boundary files of installFolder/mlitksj (the folder found in any case)
    // and their years; a file whose name gives no year is passed over.
    static void setData(const CString &installFolder, std::set<int> &years,
                        std::vector<CString> &names);
    // One table per year, ascending; an entry is present when a file of its year names its
    // prefecture (plain or "2K" form).
    static std::vector<ADBDataYearTbl> createYearTbl(const std::set<int> &years,
                                                     const std::vector<CString> &names);

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

    void OnSelchangeCmbAdbYear(int index);
    // The codes become those of the ticked prefectures of the list, in list order.
    void updateSelectedPrefectures();
    void createListBox();
    const ADBDataYearTbl *displayTable() const;

  private:
    QListWidget *m_pList;
    QComboBox *m_pYear;
    CString m_installFolder;
    int m_displayYear;
    bool m_b2K = false;
    std::vector<int> m_prefCodes;
    std::vector<ADBDataYearTbl> m_yearTbls;
};
