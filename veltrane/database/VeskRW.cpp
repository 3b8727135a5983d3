#include "veltrane/database/VeskRW.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/Prompt.h"
#include "veltrane/database/Veltrane.h"

namespace {

constexpr int kProgressKindReadFile = 10;
constexpr int kProgressKindRegister = 12;
constexpr int kReadPoints = VeskBase::READ_POINTS;
constexpr int kReadPointsAndLots = VeskBase::READ_POINTS | VeskBase::READ_LOTS;
constexpr int kSplitMode = 2;

// Closes the wait dialog that ProgressInit opened, on every way out.
struct TermOnExit {
    JIProgMsgBase *progress;
    ~TermOnExit() {
        if (progress)
            progress->ProgressTerm();
    }
};

} // namespace

const char *const VeskRW::m_pComment[2] = {"/%s/", "/%s %s/"};

VeskRW::VeskRW(Veltrane *db) : m_pDataBase(db), m_register(db), m_supplier(db), m_lots(db) {}

VeskRW::~VeskRW() = default;

// ---- reading

int VeskRW::read(const CString &path, JIProgMsgBase *progress, bool withLots) {
    m_lots.Clear();
    m_lot.reset();
    if (progress) {
        progress->ProgressInit(JGD_PROGRESS_TYPE{1});
        progress->SetProgressKind(JGD_PROGRESS_KIND{kProgressKindReadFile});
    }
    // One window from the first record to the last point stored.
    const TermOnExit closing{progress};
    const bool read = JVeskBaseEx::Read(path, progress, withLots ? kReadPointsAndLots : kReadPoints,
                                        kSplitMode) != 0;
    if (!read) {
        if (m_register.IsCancelled())
            SetStop(GetStopLine(), kStopCancel);
        return 0;
    }
    // Lots whose members cannot be told apart refuse the file before anything is stored.
    if (withLots && !m_register.IsCancelled()) {
        int line = 0;
        CString reason;
        if (!m_lots.BindMembers(&line, &reason)) {
            SetStop(line, reason);
            return 0;
        }
    }
    // Storing cannot be cancelled: the window stays, with its message alone.
    if (progress) {
        progress->SetProgressKind(JGD_PROGRESS_KIND{kProgressKindRegister});
        progress->ProgressInit(JGD_PROGRESS_TYPE{0});
    }
    m_register.SetProgress(progress);
    bool result = withLots ? m_register.EndRegisterWithLots(&m_lots) : m_register.EndRegister();
    m_register.SetProgress(nullptr);
    if (result && withLots && !m_register.IsCancelled())
        result = m_lots.MakeLots();
    if (!result)
        SetStop(0, kStopEndRegister);
    return result ? 1 : 0;
}

int VeskRW::Read(const CString &path, JIProgMsgBase *progress) {
    m_register.Init(CrdKindTokyo, ITRFKindNone);
    return read(path, progress, true);
}

int VeskRW::ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                       ITRFCoordKind itrf) {
    m_register.Init(kind, itrf);
    return read(path, progress, false);
}

int VeskRW::CheckCoordSysKind(int kind) {
    const bool tokyo = m_register.GetKind() == CrdKindTokyo;
    if ((kind == 1 && tokyo) || (kind == 0 && !tokyo))
        return 1;
    CString text;
    text.Format("読み込み中のファイルは、座標データが%sのものです。\n"
                "読み込み先は「%s」なので一致しませんが、読み込みを続けてよろしいですか？",
                kind != 0 ? "日本測地系" : "世界測地系",
                tokyo ? "旧座標(日本測地系)" : "観測新座標(世界測地系)");
    return AfxMessageBox(text, MB_YESNO) == IDNO ? 0 : 1;
}

int VeskRW::AddPoint(int no, const CString &name, double x, double y, double h, int hUsed) {
    m_lots.ReadPoint(no, name);
    return m_register.RegisterPoint(no, name, x, y, h, hUsed != 0 ? 1 : 0) ? 1 : 0;
}

int VeskRW::AddPointOfLot(int no, const CString &name) {
    if (!m_lot)
        return 0;
    m_lot->members.push_back({no, name, getLineNo()});
    return 1;
}

int VeskRW::AddLotStart(int no, const CString &name, LOT_KIND kind) {
    m_lot = std::make_unique<PendingLot>();
    m_lot->no = no;
    m_lot->kind = kind;
    m_lot->name = name;
    return 1;
}

int VeskRW::AddLotEnd() {
    if (m_lot)
        m_lots.AddLot(std::move(m_lot));
    m_lot.reset();
    return 1;
}

int VeskRW::ErrMsgOfVersion(int version) {
    CString text;
    text.Format("VESK共通フォーマット Ver.%02dには、現在対応していません。\n", version);
    text += "正常に処理されないかもしれませんが、読み込みを継続しますか？\n";
    return AfxMessageBox(text, MB_YESNO | MB_ICONEXCLAMATION) == IDYES ? 1 : 0;
}

int VeskRW::AskErrorExecute() {
    if (m_register.IsCancelled())
        return 0;
    const CString text = getReadErrorMessage() + "このまま読み込みを継続しますか？\n";
    return AfxMessageBox(text, MB_YESNO | MB_ICONEXCLAMATION) == IDYES ? 1 : 0;
}

// ---- writing

int VeskRW::write(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                  VeskVersionNo version, bool withLots) {
    const PointSupplier::ConditionScope condition(m_supplier, kind, itrf,
                                                  static_cast<unsigned>(flags));
    const JGDDDatCond &cond = m_pDataBase->GetJGDDDatCond();
    setCommentNum(2);
    SetCrdFigureNum(9, cond.GetCrdDecimals());
    SetHgtFigureNum(9, cond.GetHgtDecimals());
    const int newDatum = kind != CrdKindTokyo ? 1 : 0;
    if (withLots) {
        // A lot is written with every member or the file is not written.
        if (!lotsWritable())
            return 0;
        return VeskBase::WritePointsAndLots(path, CString(), m_supplier.GetPointSize(), newDatum,
                                            m_pDataBase->GetLotTable()->GetLotSize(), version);
    }
    return WritePoints2(path, CString(), m_supplier.GetPointSize(), newDatum, version);
}

int VeskRW::WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                        VeskVersionNo version) {
    return write(path, kind, itrf, flags, version, false);
}

int VeskRW::WritePointsAndLots(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                               int flags, VeskVersionNo version) {
    return write(path, kind, itrf, flags, version, true);
}

int VeskRW::GetPoint(unsigned index, CString *name, double *x, double *y, double *h, int *hUsed) {
    bool used = false;
    if (!m_supplier.GetPoint(index, name, x, y, h, &used, nullptr))
        return 0;
    *hUsed = used ? 1 : 0;
    return 1;
}

int VeskRW::GetComment(int index, CString *text) {
    if (index == 0)
        text->Format(m_pComment[0], Veltrane::GetCompanyName().GetString());
    else if (index == 1)
        text->Format(m_pComment[1], Veltrane::GetProductName().GetString(),
                     Veltrane::GetVersionName(false).GetString());
    else
        return 0;
    return 1;
}

int VeskRW::GetLotName(unsigned lot, unsigned *memberCount, CString *name, int *kind) {
    const JLot *p = m_pDataBase->GetLotTable()->GetLot(static_cast<int>(lot));
    if (p == nullptr)
        return 0;
    *memberCount = p->GetPntSize();
    *name = p->GetName();
    *kind = static_cast<int>(p->GetKind());
    return 1;
}

int VeskRW::writtenIndex(const Point *point) {
    const int index = m_supplier.IndexOf(point);
    if (index >= 0 && m_supplier.GetPoint(static_cast<unsigned>(index), nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr))
        return index;
    for (unsigned i = 0; i < m_supplier.GetPointSize(); ++i) {
        CString supplied;
        if (m_supplier.GetPoint(i, &supplied, nullptr, nullptr, nullptr, nullptr, nullptr) &&
            supplied == point->GetName())
            return static_cast<int>(i);
    }
    return -1;
}

bool VeskRW::lotsWritable() {
    const JLotTable *lots = m_pDataBase->GetLotTable();
    for (unsigned i = 0; i < lots->GetLotSize(); ++i) {
        const JLot *lot = lots->GetLot(static_cast<int>(i));
        for (unsigned m = 0; m < lot->GetPntSize(); ++m) {
            const Point *point = lot->GetPoint(m);
            if (point != nullptr && writtenIndex(point) < 0) {
                CString reason;
                reason.Format("画地[%s]の点[%s]はこの座標の種類では書き出せません。",
                              lot->GetName().GetString(), point->GetName().GetString());
                SetStop(0, reason);
                return false;
            }
        }
    }
    return true;
}

int VeskRW::GetLotPoint(unsigned lot, unsigned member, unsigned *pointIndex, CString *name) {
    const JLot *p = m_pDataBase->GetLotTable()->GetLot(static_cast<int>(lot));
    const Point *point = p ? p->GetPoint(member) : nullptr;
    const int index = point ? writtenIndex(point) : -1;
    if (index < 0)
        return 0;
    *pointIndex = static_cast<unsigned>(index);
    *name = point->GetName();
    return 1;
}

// ---- conversion

int VeskRW::Convert(const CString &src, const CString &dst, ConvertMode mode, int planeNo,
                    const std::vector<const ICoordTransformer *> &chain,
                    std::vector<CString> *messages, JIProgMsgBase *progress) {
    m_context = std::make_unique<ConvertContext>(ConvertContext{src, dst, planeNo, chain});
    const JGDDDatCond &cond = m_pDataBase->GetJGDDDatCond();
    SetCrdFigureNum(7, cond.GetCrdDecimals());
    SetHgtFigureNum(4, cond.GetHgtDecimals());
    int result = 0;
    try {
        result = JVeskBaseEx::Convert(src, dst, mode, chain, messages, progress);
    } catch (...) {
        m_context.reset();
        throw;
    }
    m_context.reset();
    return result;
}

int VeskRW::Convert(const CString &src, const CString &dst, ConvertMode mode, int planeNo,
                    const ICoordTransformer *transformer, std::vector<CString> *messages,
                    JIProgMsgBase *progress) {
    return Convert(src, dst, mode, planeNo, std::vector<const ICoordTransformer *>{transformer},
                   messages, progress);
}

bool VeskRW::GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction) {
    if (!m_context)
        return false;
    return m_pDataBase->GetFileConvertComments(lines, m_context->src, m_context->dst,
                                               JGDCrdFmtExchange, mode, m_context->planeNo,
                                               m_context->chain, direction, m_startTime);
}
