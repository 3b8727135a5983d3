#include "zentrova/DatabaseReaders.h"

#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

int ReadProjectFile(Veltrane &db, CArchive &ar) { return db.Read(ar, true); }

ExchangeReadResult ReadExchangeFile(Veltrane &db, const CString &path, JIProgMsgBase *progress) {
    ExchangeReadResult result;
    result.read = db.ReadVesk(path, progress, CrdKindTokyo, ITRFKindNone);
    const FileStop &stop = db.GetFileStop();
    result.cancelled = !result.read && stop.GetStopReason() == kStopCancel;
    if (!result.read) {
        result.stopLine = stop.GetStopLine();
        result.stopReason = stop.GetStopReason();
    }
    result.passedOver = stop.GetPassedOverCount();
    result.firstPassedOver = stop.GetFirstPassedOverLine();
    return result;
}
