#pragma once

#include "platform/core/CString.h"

// Settings kept in a text file as named values grouped in sections, standing in for the
// registry and the application profile:
//
//   [Window size]
//   Rect=0010 0020 0800 0600
//   max=0
//
// Every read looks at the file and every change writes it back at once (a temporary file
// renamed over it), so stores on the same file see one another's changes. Section and value
// names match without regard to the case of ASCII letters, as registry names do, and keep the
// spelling they were first written with. Names and values are cp932 inside the system and
// UTF-8 in the file, where a text carrying native characters (NativeText, a folder named with
// "〜" U+301C) holds those characters and reads back exactly as it was written; a value's
// backslashes and line breaks are written as \\, \n and \r.
// Lines that are neither a section heading nor a name=value pair are ignored and not kept.
class SettingsStore {
  public:
    explicit SettingsStore(const CString &filePath);

    // $XDG_CONFIG_HOME/folder/fileName; ~/.config stands for $XDG_CONFIG_HOME when that is
    // unset, empty or not an absolute path.
    static CString ConfigPath(const CString &folder, const CString &fileName);

    const CString &GetFilePath() const { return m_path; }

    // The value, or defaultValue when the file, the section or the value is missing.
    CString GetString(const CString &section, const CString &name,
                      const CString &defaultValue = CString()) const;
    // The value as a whole number; defaultValue when missing or not a whole number.
    int GetInt(const CString &section, const CString &name, int defaultValue) const;

    // Stores the value, adding the section and the value when missing. False when the file
    // cannot be written, or when a name is empty or holds a line break, a name starts with
    // '[' or holds '=', or a text does not convert to UTF-8; the file is then unchanged.
    bool WriteString(const CString &section, const CString &name, const CString &value);
    bool WriteInt(const CString &section, const CString &name, int value);

    // Removes the value (a section left empty goes too); true when it is gone afterwards,
    // also when it was never there.
    bool DeleteValue(const CString &section, const CString &name);

  private:
    CString m_path;
};
