#include "platform/core/Prompt.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace {

std::mutex &HandlerMutex() {
    static std::mutex mutex;
    return mutex;
}

PromptHandler &Handler() {
    static PromptHandler handler;
    return handler;
}

const char *AnswerName(int answer) {
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "?";
    }
}

// The text on one line: each run of line breaks becomes one space.
std::string OneLine(const std::string &text) {
    std::string out;
    bool inBreak = false;
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            inBreak = true;
            continue;
        }
        if (inBreak && !out.empty()) {
            out += ' ';
        }
        inBreak = false;
        out += c;
    }
    return out;
}

} // namespace

PromptHandler SetPromptHandler(PromptHandler handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    return std::exchange(Handler(), std::move(handler));
}

int PromptDefaultAnswer(UINT type) {
    int buttons[3] = {IDOK, 0, 0};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        buttons[1] = IDCANCEL;
        break;
    case MB_ABORTRETRYIGNORE:
        buttons[0] = IDABORT;
        buttons[1] = IDRETRY;
        buttons[2] = IDIGNORE;
        break;
    case MB_YESNOCANCEL:
        buttons[0] = IDYES;
        buttons[1] = IDNO;
        buttons[2] = IDCANCEL;
        break;
    case MB_YESNO:
        buttons[0] = IDYES;
        buttons[1] = IDNO;
        break;
    case MB_RETRYCANCEL:
        buttons[0] = IDRETRY;
        buttons[1] = IDCANCEL;
        break;
    default:
        break;
    }
    const UINT index = (type & MB_DEFMASK) >> 8;
    return (index < 3 && buttons[index] != 0) ? buttons[index] : buttons[0];
}

int AfxMessageBox(const CString &text, UINT type, UINT /*helpId*/) {
    PromptHandler handler;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        handler = Handler();
    }
    // Called outside the lock: the handler may itself prompt or swap handlers.
    if (handler) {
        return handler(text, type);
    }
    const int answer = PromptDefaultAnswer(type);
    const std::string line =
        "[message] " + OneLine(ToUtf8(text)) + " -> " + AnswerName(answer) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return answer;
}
