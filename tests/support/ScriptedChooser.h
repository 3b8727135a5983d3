#pragma once

#include "pallomir/ui/FileChooser.h"

#include <deque>
#include <vector>

namespace testsupport {

// Answers the file and folder dialogs with prepared paths and records how they were asked: the
// title, the filter and the folder a file dialog starts in. An empty answer, or none left, is a
// cancelled dialog. For the tests of Qt code only.
class ScriptedChooser : public IFileChooser {
  public:
    std::deque<CString> answers;
    std::vector<CString> titles;
    std::vector<CString> filters;
    std::vector<CString> starts;
    int saves = 0;

    bool ChooseFolder(QWidget *, const CString &title, CString &folder) override {
        titles.push_back(title);
        return next(folder);
    }
    bool ChooseFile(QWidget *, const CString &title, const CString &filter, const CString &,
                    CString &path) override {
        titles.push_back(title);
        filters.push_back(filter);
        starts.push_back(path);
        return next(path);
    }
    bool ChooseSaveFile(QWidget *owner, const CString &title, const CString &filter,
                        const CString &defaultExt, CString &path) override {
        ++saves;
        return ChooseFile(owner, title, filter, defaultExt, path);
    }

  private:
    bool next(CString &out) {
        if (answers.empty())
            return false;
        out = answers.front();
        answers.pop_front();
        return !out.IsEmpty();
    }
};

} // namespace testsupport
