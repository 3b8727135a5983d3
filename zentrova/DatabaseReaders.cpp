#include "zentrova/DatabaseReaders.h"

#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

// The database of this build reads neither project files nor exchange files: both answer as a
// file that cannot be read.

int ReadProjectFile(Veltrane &, CArchive &) { return 1; }

bool ReadExchangeFile(Veltrane &, const CString &, JIProgMsgBase *, int &stopLine,
                      CString &stopReason) {
    stopLine = 0;
    stopReason = "SIM共通フォーマットファイルはまだ読み込めません。";
    return false;
}
