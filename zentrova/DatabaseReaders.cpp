#include "zentrova/DatabaseReaders.h"

#include "platform/core/CArchive.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "veltrane/database/Veltrane.h"

namespace {

// Counts the "いいえ" answers to the overwrite question while it lives, the installed dialog
// still asking. Without a dialog nothing is asked, so nothing is counted.
class DeclineCounter {
  public:
    explicit DeclineCounter(int &declined) {
        m_asker = SetCrdRewriteHandler(nullptr);
        if (!m_asker)
            return;
        SetCrdRewriteHandler([this, &declined](const CrdRewriteQuestion &question) {
            const CrdRewriteAnswer answer = m_asker(question);
            declined += answer == CrdRewriteNo;
            return answer;
        });
    }
    DeclineCounter(const DeclineCounter &) = delete;
    DeclineCounter &operator=(const DeclineCounter &) = delete;
    ~DeclineCounter() { SetCrdRewriteHandler(m_asker); }

  private:
    CrdRewriteHandler m_asker;
};

} // namespace

int ReadProjectFile(Veltrane &db, CArchive &ar) { return db.Read(ar, true); }

ExchangeReadResult ReadExchangeFile(Veltrane &db, const CString &path, JIProgMsgBase *progress) {
    ExchangeReadResult result;
    const DeclineCounter counter(result.declined);
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
