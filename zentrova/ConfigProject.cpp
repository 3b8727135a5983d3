#include "zentrova/ConfigProject.h"

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileFind.h"
#include "platform/core/Path.h"
#include "veltrane/database/Veltrane.h"

CString FindConfigProject(const CString &folder) {
    CFileFind find;
    bool more = find.FindFile(Path::Join(folder, "*.zub"));
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots() || find.IsDirectory())
            continue;
        const CString name = find.GetFileName();
        const int dot = name.ReverseFind('.');
        if (dot >= 0 && name.Mid(dot + 1).CollateNoCase("zub") == 0)
            return find.GetFilePath();
    }
    return CString();
}

ConfigLoadResult LoadConfigProject(Veltrane &db, const CString &folder, const ProjectReader &reader,
                                   CString *project) {
    const CString path = FindConfigProject(folder);
    if (project != nullptr)
        *project = path;
    if (path.IsEmpty())
        return ConfigNoProject;
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary))
        return ConfigCannotOpen;
    int result = ConfigUnreadable;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        result = reader(db, ar);
    } catch (const CException &) {
        // The file ends inside its records: nothing of it may stay.
        db.Initialize(false);
        return ConfigUnreadable;
    }
    if (result == ConfigUnreadable)
        return ConfigUnreadable;
    clearConversionTargets(db);
    return result == ConfigNotProject ? ConfigNotProject : ConfigLoaded;
}

bool IsConversionTarget(const Point &p) { return !p.IsConvBasisPoint() && !p.IsExistChkObsITRF(); }

void clearConversionTargets(Veltrane &db) {
    db.AllRemoveSelect();
    for (const Point *p : db) {
        if (IsConversionTarget(*p))
            db.AppendSelect(p);
    }
    db.RemoveSelectedPoints();
    db.MakeAllPrecChkTable();
    db.MakeInsyoList();
}
