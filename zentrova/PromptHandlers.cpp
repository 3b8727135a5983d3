#include "zentrova/PromptHandlers.h"

#include "platform/ui/MessageBox.h"

void InstallPromptHandlers() { InstallPromptHandler(); }
