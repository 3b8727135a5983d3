#pragma once

#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "platform/core/CString.h"

class JCnvPrmData;

// Kind of a published grid parameter file.
enum JCnvPrmFileType : int {
    CNVPRM_TYPE_DETECT = 0,   // detect from the first line
    CNVPRM_TYPE_TKY2JGD = 1,  // "JGD2000-TokyoDatum": dB, dL
    CNVPRM_TYPE_SEMIDYNA = 2, // "for SemiDynaEXE": dB, dL, dH
    CNVPRM_TYPE_PATCHJGD = 3, // "for PatchJGD": dB, dL
};

// Result of reading a parameter file or cache.
enum JCnvPrmReadRetCode : int {
    CNVPRM_READ_SUCCESS = 0,
    CNVPRM_READ_STOPPED = 1,      // by the stop flag or the progress callback
    CNVPRM_READ_OPEN_ERROR = 2,   // the file cannot be opened
    CNVPRM_READ_HEADER_ERROR = 3, // bad header
    CNVPRM_READ_DATA_ERROR = 4,   // bad or short data
};

// Readers of the published text formats.
//
// The first line names the kind of file. A line that begins with one of the three
// prefixes is read as that kind whatever kind was asked for, and type is set to it;
// a line that begins with none is bad with CNVPRM_TYPE_DETECT and is read as the
// kind asked for otherwise. Version text 1 is the rest of the first line after the
// prefix (column 18 for type 1, 15 for types 2 and 3), trimmed of blanks and tabs;
// version text 2 keeps the digits and '.' after its first '.'.
class JCnvPrmFile {
  public:
    // Appends the nodes of the file at path to data and stores its version texts.
    // Reports through progress (percentages, ProgressStart/End are the caller's)
    // and stops when data's stop flag is set.
    static JCnvPrmReadRetCode Read(const CString &path, JCnvPrmData *data, JCnvPrmFileType &type,
                                   ProgressMsgBase *progress);

    // The version texts of the file at path, read from its first line by the
    // same rule as Read (a line without a known prefix is taken as type 1).
    // False when the file cannot be opened, is empty or has no version.
    static bool CheckFileVer(const CString &path, CString *ver1, CString *ver2);

    // Version text 2 of version text 1: digits and '.' after the first '.'.
    // False when there is no '.' or nothing is kept.
    static bool MakeVerStr2(const CString &ver1, CString *ver2);

    // The kind of file whose first line is line (CNVPRM_TYPE_DETECT when none).
    static JCnvPrmFileType DetectType(const CString &line);
    // Column of version text 1 and count of further header lines of a kind.
    static int GetVersionColumn(JCnvPrmFileType type);
    static int GetHeaderLineCount(JCnvPrmFileType type);
};
