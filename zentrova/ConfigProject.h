#pragma once

#include "platform/core/CString.h"
#include "zentrova/DatabaseReaders.h"

class Point;
class Veltrane;

// How loading the project of the config folder ended.
enum ConfigLoadResult : int {
    ConfigLoaded = 0,     // read; the database holds its basis and check points
    ConfigUnreadable = 1, // damaged: title or version unreadable, or ends inside its records
    ConfigNotProject = 2, // not a project file of a known version; the database is empty
    ConfigNoProject = 3,  // no config folder, or no project file in it
    ConfigCannotOpen = 4, // the project file is there but cannot be opened
};

// The project file of the folder: the first file by name (without case) whose extension is
// "zub" in any case; empty when the folder or such a file is missing.
CString FindConfigProject(const CString &folder);

// Loads the folder's project file into db with the reader and then removes its conversion
// targets. A file that cannot be read whole leaves db initialised and empty. The file's path
// goes to project when that is given (empty when there is none).
ConfigLoadResult LoadConfigProject(Veltrane &db, const CString &folder, const ProjectReader &reader,
                                   CString *project = nullptr);

// A conversion target: neither a conversion-basis point nor a check point.
bool IsConversionTarget(const Point &p);

// Removes every conversion target from the database and rebuilds its precision tables and
// mark relations.
void clearConversionTargets(Veltrane &db);
