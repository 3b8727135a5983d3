#include "veltrane/database/Veltrane.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/ApaVeskRW.h"
#include "veltrane/database/KjnTxtRW.h"
#include "veltrane/database/Tky2JgdRW.h"
#include "veltrane/database/VeskRW.h"

namespace {

constexpr JGD_PROGRESS_KIND kProgressFileWrite{11};

void say(std::vector<CString> *messages, const CString &text) {
    if (messages)
        messages->push_back(text);
}

CString blockText(const char *format, unsigned block) {
    CString text;
    text.Format(format, static_cast<int>(block));
    return text;
}

} // namespace

bool Veltrane::convertFile(const CString &src, const CString &dst, const CString &logPath,
                           ConvertMode mode, JGDCrdFileFormat format,
                           const std::vector<const ICoordTransformer *> &chain, CoordCnvKind kind,
                           std::vector<CString> *messages, JIProgMsgBase *progress) {
    if (progress)
        progress->SetProgressKind(kProgressFileWrite);
    switch (format) {
    case JGDCrdFmtExchange: {
        VeskRW rw(this);
        return rw.Convert(src, dst, mode, m_planeNo, chain, messages, progress) == 1;
    }
    case JGDCrdFmtGridText: {
        Tky2JgdRW rw(this);
        return rw.Convert(src, dst, mode, m_planeNo, chain.front(), kind, messages, progress);
    }
    case JGDCrdFmtKjnText: {
        KjnTxtRW rw(this, m_blocks.GetCurrentNo());
        return rw.Convert(src, dst, logPath, mode, chain, messages, progress,
                          m_datCond.GetLatLonSw() == 1 ? 1 : 0);
    }
    default:
        return false;
    }
}

bool Veltrane::convertFileWith(const CString &src, const CString &dst, const CString &logPath,
                               ConvertMode mode, JGDCrdFileFormat format,
                               const CoordConvParam *engine, const CoordConvParam *adjust,
                               std::vector<CString> *messages, JIProgMsgBase *progress) {
    if (engine == nullptr) {
        say(messages, "変換パラメータが取得できななかったため、変換を行うことができませんでした。");
        return false;
    }
    if (!engine->IsCalced()) {
        say(messages, "変換パラメータが未計算のため、変換を行うことができませんでした。");
        return false;
    }
    if (adjust && !adjust->IsCalced()) {
        say(messages,
            "変換パラメータ(既知点整合用)が未計算のため、変換を行うことができませんでした。");
        return false;
    }
    std::vector<const ICoordTransformer *> chain{engine};
    if (adjust)
        chain.push_back(adjust);
    return convertFile(src, dst, logPath, mode, format, chain, engine->GetType(), messages,
                       progress);
}

bool Veltrane::CoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                                ConvertMode mode, JGDCrdFileFormat format,
                                std::vector<CString> *messages, JIProgMsgBase *progress) {
    return convertFileWith(src, dst, logPath, mode, format, GetSelectedCoordConvParam(),
                           m_prmTbl.GetSelectedCoordConvParamForAdjust(), messages, progress);
}

bool Veltrane::BlockCoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                                     ConvertMode mode, JGDCrdFileFormat format, unsigned block,
                                     std::vector<CString> *messages, JIProgMsgBase *progress) {
    const CrdTrnsBlock *b = m_blocks.FindBlock(block);
    if (b == nullptr) {
        say(messages, blockText("ブロック番号が %d のブロックが見つからなかったため、"
                                "変換を行うことができませんでした。",
                                block));
        return false;
    }
    const CoordConvParam *engine = b->GetSelectedCoordConvParam();
    const CoordConvParam *adjust = b->GetSelectedCoordConvParamForAdjust();
    if (engine == nullptr) {
        say(messages, blockText("ブロック番号 %d の変換パラメータが取得できななかったため、"
                                "変換を行うことができませんでした。",
                                block));
        return false;
    }
    if (!engine->IsCalced()) {
        say(messages, blockText("ブロック番号 %d の変換パラメータが未計算のため、"
                                "変換を行うことができませんでした。",
                                block));
        return false;
    }
    if (adjust && !adjust->IsCalced()) {
        say(messages, blockText("ブロック番号 %d の変換パラメータ(既知点整合用)が未計算のため、"
                                "変換を行うことができませんでした。",
                                block));
        return false;
    }
    return convertFileWith(src, dst, logPath, mode, format, engine, adjust, messages, progress);
}

bool Veltrane::T2JCoordConvExecute(const CString &src, const CString &dst, const CString &logPath,
                                   ConvertMode mode, JGDCrdFileFormat format,
                                   const OmbreskMngr *grid, std::vector<CString> *messages,
                                   JIProgMsgBase *progress) {
    if (grid == nullptr)
        return false;
    const CoordConvTKY2JGD transformer(grid, GetCurrentPlaneArea(false), GetCurrentPlaneArea(true),
                                       progress);
    return convertFile(src, dst, logPath, mode, format, {&transformer}, CrdCnvTKY2JGD, messages,
                       progress);
}

JGDCrdFileFormat Veltrane::JudgeFileFormat(const CString &path) {
    {
        VeskRW rw(this);
        if (rw.JudgeFormat(path) == 1)
            return JGDCrdFmtExchange;
    }
    {
        KjnTxtRW rw(this, 0);
        if (rw.JudgeFormat(path))
            return JGDCrdFmtKjnText;
    }
    {
        Tky2JgdRW rw(this);
        if (rw.JudgeFormat(path) == 1)
            return JGDCrdFmtGridText;
    }
    {
        ApaVeskRW rw(this, 0);
        if (rw.JudgeFormat(path))
            return JGDCrdFmtExchangeS;
    }
    return JGDCrdFmtUnknown;
}
