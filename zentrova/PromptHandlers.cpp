#include "zentrova/PromptHandlers.h"

#include "platform/ui/MessageBox.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "zentrova/CrdRewriteDlg.h"

#include <QApplication>

void InstallPromptHandlers() {
    InstallPromptHandler();
    SetCrdRewriteHandler([](const CrdRewriteQuestion &q) {
        CrdRewriteDlg dialog(q.name, q.read, q.stored, q.kind, q.storedITRFKind,
                             QApplication::activeWindow());
        return static_cast<CrdRewriteAnswer>(dialog.DoModal());
    });
}
