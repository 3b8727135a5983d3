#pragma once

#include "platform/core/CString.h"
#include "platform/core/SettingsStore.h"
#include "platform/ui/Window.h"

#include <QMainWindow>
#include <QRect>

// A main window that remembers its placement and tool-bar state in the application's profile
// (the settings store <config folder>/<application name>/profile.ini): section "Window size"
// (under the key prefix when one is given), values "Rect" (left, top, right, bottom as
// "%04d %04d %04d %04d"), "icon" and "max".
class CPersistentFrame : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr const char *s_profileHeading = "Window size";
    static constexpr const char *s_profileRect = "Rect";
    static constexpr const char *s_profileIcon = "icon";
    static constexpr const char *s_profileMax = "max";
    // left 0, top 0, right 1024, bottom 768.
    static const QRect s_rectDefault;

    ~CPersistentFrame() override;

    // The first call restores the stored placement and shows the window as it was left
    // (nCmdShow is then not used); later calls show it as nCmdShow says (platform/ui Window.h).
    virtual void ActivateFrame(int nCmdShow);

    // The profile of the application: a settings store named after it.
    static SettingsStore GetProfile();
    // The profile name of the application (its Qt application name).
    static CString GetProfileName();
    // Reads a stored "Rect": four whole numbers separated by blanks. False for anything else,
    // or for a rectangle without width or height.
    static bool ParseRect(const CString &text, QRect &rect);
    // left top right bottom, "%04d %04d %04d %04d".
    static CString FormatRect(const QRect &rect);

  protected:
    explicit CPersistentFrame(QWidget *parent = nullptr);
    CPersistentFrame(const CString &keyPrefix, QWidget *parent = nullptr);

    // name, or prefix\name when the frame has a key prefix.
    CString getKey(const CString &name) const;
    // Stores the placement and the tool-bar state, once.
    void OnDestroy();
    void closeEvent(QCloseEvent *event) override;

  private:
    CString m_keyPrefix;
    bool m_bFirstTime = true;
    bool m_saved = false;
};
