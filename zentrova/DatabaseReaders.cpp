#include "zentrova/DatabaseReaders.h"

#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

int ReadProjectFile(Veltrane &db, CArchive &ar) { return db.Read(ar, true); }

bool ReadExchangeFile(Veltrane &db, const CString &path, JIProgMsgBase *progress, int &stopLine,
                      CString &stopReason) {
    const bool ok = db.ReadVesk(path, progress, CrdKindTokyo, ITRFKindNone);
    stopLine = ok ? 0 : db.GetFileStop().GetStopLine();
    stopReason = ok ? CString() : db.GetFileStop().GetStopReason();
    return ok;
}
