#include "veltrane/database/CrdRewriteAsker.h"

#include "veltrane/model/Point.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace {

std::mutex &HandlerMutex() {
    static std::mutex mutex;
    return mutex;
}

CrdRewriteHandler &Handler() {
    static CrdRewriteHandler handler;
    return handler;
}

} // namespace

CString CrdRewriteQuestion::CoordText(const Coordinate &c) {
    CString text;
    if (c.IsHUsed())
        text.Format("X:%11.3lf  Y:%11.3lf  H:%11.3lf", c.GetX(), c.GetY(), c.GetH());
    else
        text.Format("X:%11.3lf  Y:%11.3lf  H: ----", c.GetX(), c.GetY());
    return text;
}

CrdRewriteHandler SetCrdRewriteHandler(CrdRewriteHandler handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

CrdRewriteAnswer AskCrdRewrite(const CrdRewriteQuestion &question) {
    CrdRewriteHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    if (handler)
        return handler(question);
    const CString text = "座標の上書きの確認: " + question.name + " " +
                         Point::GetCoordKindName(question.kind, question.storedITRFKind) +
                         " 既存 " + CrdRewriteQuestion::CoordText(question.stored) + " 読込 " +
                         CrdRewriteQuestion::CoordText(question.read);
    const std::string line = "[question] " + ToUtf8(text) + " -> Cancel\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return CrdRewriteCancel;
}
