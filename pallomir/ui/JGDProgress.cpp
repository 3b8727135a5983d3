#include "pallomir/ui/JGDProgress.h"

#include "pallomir/ui/JGDSmpWaitDlg.h"
#include "pallomir/ui/JGDWaitDlg.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

constexpr const char *kCaption = "処理経過情報";
constexpr const char *kFirstMessage = "計算中...";
constexpr const char *kPleaseWait = "\nしばらくお待ちください...";

// How a kind shows its counter.
enum class Counter { None, Percent, DoneOfTotal, PercentDoneOfTotal };

struct KindStyle {
    const char *message;
    Counter progress;        // Progress(done)
    Counter progressPercent; // ProgressPercent(percent, done)
};

constexpr KindStyle kKinds[] = {
    {"変換パラメータファイル読み込み中...", Counter::Percent, Counter::Percent},
    {"座標変換 計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"座標変換 計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"３パラメータによる座標変換中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"座標変換のための重量の計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"最小２乗内挿(LSC)計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"変換パラメータ計算中...", Counter::DoneOfTotal, Counter::PercentDoneOfTotal},
    {"データファイル読み込み中...", Counter::None, Counter::None},
    {"データファイル保存中...", Counter::None, Counter::None},
    {"座標ファイル読み込み中...", Counter::None, Counter::Percent},
    {"座標ファイル書き込み中...", Counter::None, Counter::Percent},
    {"座標登録中...", Counter::None, Counter::PercentDoneOfTotal},
};

const KindStyle *StyleOf(JGD_PROGRESS_KIND kind) {
    const int index = static_cast<int>(kind);
    return index >= 0 && index < static_cast<int>(std::size(kKinds)) ? &kKinds[index] : nullptr;
}

// The counter line; percent is what "(%3d%%)" shows.
CString CounterText(Counter counter, int percent, int done, int total) {
    CString text;
    switch (counter) {
    case Counter::Percent:
        text.Format("(%3d%%)", percent);
        break;
    case Counter::DoneOfTotal:
        text.Format("(%4d/%4d)", done, total);
        break;
    case Counter::PercentDoneOfTotal:
        text.Format("%3d%% (%4d/%4d)", percent, done, total);
        break;
    case Counter::None:
        break;
    }
    return text;
}

} // namespace

template <class Base, class WaitDlg> JGDProgressImpl<Base, WaitDlg>::JGDProgressImpl() = default;

template <class Base, class WaitDlg> JGDProgressImpl<Base, WaitDlg>::~JGDProgressImpl() {
    CloseDialogs();
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::ProgressStart(PROGRESS_KIND, int total) const {
    ProgressStart(total);
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::ProgressStart(const std::string &, int total) const {
    ProgressStart(total);
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::ProgressStart(int total) const {
    this->m_nTotal = total > 0 ? total : 1;
    this->m_nCurrent = 0;
    this->m_nStepCounter = 0;
    this->m_bCanceled = false;
    ShowMessageText();
}

template <class Base, class WaitDlg> bool JGDProgressImpl<Base, WaitDlg>::Progress(int done) const {
    const KindStyle *style = StyleOf(m_nKind);
    const Counter counter = style != nullptr ? style->progress : Counter::None;
    return Step(CounterText(counter, done, done, this->m_nTotal), PercentOf(done, this->m_nTotal));
}

template <class Base, class WaitDlg>
bool JGDProgressImpl<Base, WaitDlg>::ProgressPercent(int percent, int done) const {
    const KindStyle *style = StyleOf(m_nKind);
    const Counter counter = style != nullptr ? style->progressPercent : Counter::None;
    return Step(CounterText(counter, percent, done, this->m_nTotal), percent);
}

template <class Base, class WaitDlg>
bool JGDProgressImpl<Base, WaitDlg>::Step(const CString &counter, int percent) const {
    JGDWaitDlg::Pump();
    this->m_nStepCounter = 0;
    if (m_nContinue == 0) {
        this->m_bCanceled = true;
        return false;
    }
    if (WaitDlg *dialog = WaitDialog()) {
        dialog->SetMessageText2(counter);
        dialog->SetPercentComplete(percent);
    }
    return true;
}

template <class Base, class WaitDlg> void JGDProgressImpl<Base, WaitDlg>::ProgressEnd() const {
    this->m_nTotal = 0;
}

template <class Base, class WaitDlg>
bool JGDProgressImpl<Base, WaitDlg>::ProgressInit(JGD_PROGRESS_TYPE type) const {
    this->m_bCanceled = false;
    if (ReuseDialog(type)) {
        return true;
    }
    CloseDialogs();
    m_nType = type;
    m_nContinue = 1;
    try {
        if (type == 1) {
            m_pWaitDlg = std::make_unique<WaitDlg>(&m_nContinue, kCaption, kFirstMessage,
                                                   WaitDlg::IDD, m_pParentWnd.data());
        } else {
            m_pSmpWaitDlg =
                std::make_unique<JGDSmpWaitDlg>(kCaption, kFirstMessage, m_pParentWnd.data());
            ShowMessageText();
        }
    } catch (const std::bad_alloc &) {
        CloseDialogs();
        return false;
    }
    return true;
}

template <class Base, class WaitDlg>
bool JGDProgressImpl<Base, WaitDlg>::ReuseDialog(JGD_PROGRESS_TYPE type) const {
    // A window up is never cancelled: Cancel closes it.
    if (m_pWaitDlg != nullptr && m_pWaitDlg->HasWindow()) {
        m_nType = type;
        m_pWaitDlg->SetMessageOnly(type != 1);
        m_pWaitDlg->SetMessageText(kFirstMessage);
        m_pWaitDlg->SetMessageText2("");
        m_pWaitDlg->SetPercentComplete(0);
        if (type != 1) {
            ShowMessageText();
        }
        return true;
    }
    if (m_pSmpWaitDlg != nullptr && type != 1) {
        m_nType = type;
        ShowMessageText();
        return true;
    }
    return false;
}

template <class Base, class WaitDlg> void JGDProgressImpl<Base, WaitDlg>::ProgressTerm() const {
    CloseDialogs();
}

template <class Base, class WaitDlg> bool JGDProgressImpl<Base, WaitDlg>::CheckCancel() const {
    JGDWaitDlg::Pump();
    this->m_bCanceled = m_nContinue == 0;
    return this->m_bCanceled;
}

template <class Base, class WaitDlg> bool JGDProgressImpl<Base, WaitDlg>::IsCanceled() const {
    return this->m_bCanceled;
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::SetProgressMsg(const CString &text) const {
    if (m_nType == 1) {
        if (m_pWaitDlg != nullptr) {
            m_pWaitDlg->SetMessageText(text);
        }
    } else {
        ShowSimpleText(CString(), text);
    }
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::SetProgressKind(JGD_PROGRESS_KIND kind) const {
    m_nKind = kind;
}

template <class Base, class WaitDlg>
JGD_PROGRESS_TYPE JGDProgressImpl<Base, WaitDlg>::GetProgressTtype() const {
    return JGD_PROGRESS_TYPE{1};
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::SetParentWnd(QWidget *parent) {
    m_pParentWnd = parent;
}

template <class Base, class WaitDlg>
CString JGDProgressImpl<Base, WaitDlg>::GetMessageStr(JGD_PROGRESS_KIND kind) {
    const KindStyle *style = StyleOf(kind);
    return style != nullptr ? CString(style->message) : CString();
}

template <class Base, class WaitDlg> WaitDlg *JGDProgressImpl<Base, WaitDlg>::WaitDialog() const {
    return m_nType == 1 ? m_pWaitDlg.get() : nullptr;
}

template <class Base, class WaitDlg>
int JGDProgressImpl<Base, WaitDlg>::PercentOf(long long part, long long whole) {
    if (whole <= 0) {
        return 0;
    }
    return static_cast<int>(std::clamp(part * 100 / whole, static_cast<long long>(INT_MIN),
                                       static_cast<long long>(INT_MAX)));
}

template <class Base, class WaitDlg> void JGDProgressImpl<Base, WaitDlg>::CloseDialogs() const {
    // Off the screen before the caller goes on.
    if (m_pWaitDlg != nullptr) {
        m_pWaitDlg->Dismiss();
    }
    if (m_pSmpWaitDlg != nullptr) {
        m_pSmpWaitDlg->Dismiss();
    }
    m_pWaitDlg.reset();
    m_pSmpWaitDlg.reset();
}

template <class Base, class WaitDlg> void JGDProgressImpl<Base, WaitDlg>::ShowMessageText() const {
    if (m_nType == 1) {
        if (m_pWaitDlg != nullptr) {
            m_pWaitDlg->SetMessageText(GetMessageStr(m_nKind));
        }
    } else {
        ShowSimpleMessage(CString());
    }
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::ShowSimpleMessage(const CString &lead) const {
    ShowSimpleText(lead, GetMessageStr(m_nKind));
}

template <class Base, class WaitDlg>
void JGDProgressImpl<Base, WaitDlg>::ShowSimpleText(const CString &lead,
                                                    const CString &text) const {
    if (m_pSmpWaitDlg != nullptr) {
        m_pSmpWaitDlg->SetMessageText(lead + text + kPleaseWait);
    } else if (m_pWaitDlg != nullptr) {
        // The bar dialog kept for a message: the request to wait goes on its second line.
        m_pWaitDlg->SetMessageText(lead + text);
        m_pWaitDlg->SetMessageText2(CString(kPleaseWait).Mid(1));
    }
}

template class JGDProgressImpl<JIProgMsgBase, JGDWaitDlg>;
template class JGDProgressImpl<JIProgMsgBase2, JGDWaitDlg2>;
