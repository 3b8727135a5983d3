#include "veltrane/database/Tky2JgdRW.h"

#include "ombresk/OmbreskMngr.h"
#include "platform/core/NativeText.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/PathParts.h"
#include "veltrane/database/Veltrane.h"

const char *const Tky2JgdRW::m_pComment[2] = {"# %s", "# %s %s"};

Tky2JgdRW::Tky2JgdRW(Veltrane *db) : m_pDataBase(db), m_register(db), m_supplier(db) {
    m_pRegister = &m_register;
    m_pSupplier = &m_supplier;
}

Tky2JgdRW::~Tky2JgdRW() = default;

bool Tky2JgdRW::ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                           ITRFCoordKind itrf) {
    m_register.Init(kind, itrf);
    if (readPoints(path, progress))
        return true;
    if (m_register.IsCancelled())
        SetStop(GetStopLine(), kStopCancel);
    return false;
}

bool Tky2JgdRW::WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                            int flags) {
    const PointSupplier::ConditionScope condition(m_supplier, kind, itrf,
                                                  static_cast<unsigned>(flags));
    const bool results = kind == CrdKindJGD2000;
    const bool byBlocks = (flags & PointSupplier::kByBlockPriority) != 0;
    m_ConvData = ConvData{};
    m_ConvData.mode = static_cast<ConvertMode>(results ? 0 : -1);
    m_ConvData.dst = path;
    m_ConvData.n = m_pDataBase->GetCurrentCoordSysNo();
    m_ConvData.transformer = nullptr;
    m_ConvData.kind = results && !byBlocks ? m_pDataBase->GetCoordCnvKind() : CrdCnvBlockOwn;
    return writePoints(path);
}

bool Tky2JgdRW::GetComment(int index, CString *text) const {
    if (index == 0)
        text->Format(m_pComment[0], Veltrane::GetCompanyName().GetString());
    else if (index == 1)
        text->Format(m_pComment[1], Veltrane::GetProductName().GetString(),
                     Veltrane::GetVersionName(false).GetString());
    else
        return false;
    return true;
}

bool Tky2JgdRW::GetConvertComments(std::vector<CString> *lines, int direction,
                                   const ConvData &data) {
    if (data.kind != CrdCnvTKY2JGD || direction == -1) {
        std::vector<const ICoordTransformer *> chain;
        if (data.transformer != nullptr)
            chain.push_back(data.transformer);
        return m_pDataBase->GetFileConvertComments(lines, data.src, data.dst, JGDCrdFmtGridText,
                                                   data.mode, data.n, chain, direction,
                                                   GetStartTime());
    }
    const char *datum = direction == 0 ? "JGD2000" : "日本測地";
    const CString program = Veltrane::GetProductName() + " " + Veltrane::GetVersionName(false);
    // Names as the written file shows them.
    const CString dstName = NativeText::ShownInCp932(GetFileNamePart(data.dst));
    const CString srcName = NativeText::ShownInCp932(GetFileNamePart(data.src));
    CString prmFile = m_pDataBase->GetCnvPrmFile();
    CString prmVersion = m_pDataBase->GetCnvPrmVer();
    const auto *grid = dynamic_cast<const CoordConvTKY2JGD *>(data.transformer);
    if (grid != nullptr && grid->GetTKY2JGDMngr() != nullptr) {
        prmFile = grid->GetTKY2JGDMngr()->GetFileName();
        prmVersion = grid->GetTKY2JGDMngr()->GetFileVerStr1();
    }

    prmFile = NativeText::ShownInCp932(prmFile);

    CString line;
    if (srcName.IsEmpty())
        line.Format("このファイル\"%s\"は，プログラム%sが計算処理したものです。",
                    dstName.GetString(), program.GetString());
    else
        line.Format("このファイル\"%s\"は，プログラム%sが\"%s\"を読み込んで計算処理したものです。",
                    dstName.GetString(), program.GetString(), srcName.GetString());
    lines->push_back(line);
    line.Format("使用した変換パラメータファイルは，\"%s\" %sです。", prmFile.GetString(),
                prmVersion.GetString());
    lines->push_back(line);
    line.Format("設定された平面直角座標系の系番号は，%dです。", data.n);
    lines->push_back(line);
    line.Format("次に示すように，各行の最初の２つの数字が，変換された%s系のX，Yを表しています。",
                datum);
    lines->push_back(line);
    line.Format("   %8s系（計算値）", datum);
    lines->push_back(line);
    lines->push_back("     X(m)         Y(m)");
    lines->push_back("行末に「3parameters」があるものは，地域毎のパラメータがなかったか3パラメータ"
                     "で変換するよう設定されていたため，「東京大正」測地原点における3パラメータ"
                     "で変換したものです。");
    lines->push_back("また，「-9999.」がある行は，変換されなかった行です。");
    lines->push_back("以上のどちらでもない行は，「地域毎の変換パラメータ」で変換された行です。");
    if (!srcName.IsEmpty())
        lines->push_back(
            "ただし，コメント行や数値の形式が不正な行は，変換されずにそのまま出力されます。");
    return true;
}
