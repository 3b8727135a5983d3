#include "ombresk/OmbreskMngr.h"
#include "veltrane/database/Veltrane.h"

#include <iterator>

namespace {

const char *const kKindNames[] = {
    "ローカル変換方式(平行移動)",
    "ローカル変換方式(平行移動＋回転)",
    "ZUB方式(最良線形最小バイアス推定: QUENDOR)",
    "ローカル変換方式(アフィン変換)",
    "擬似変換方式",
    "国土地理院 TKY2JGD 変換方式",
    "ローカル変換方式(重み付け補間による方法)",
    "ローカル変換方式(アフィン変換)",
    "ローカル変換方式(ヘルマート変換)",
    "ローカル変換方式(平行移動)",
};

const char *const kKindLongNames[] = {
    "地域毎に適合した変換パラメータによる座標変換(平行移動)",
    "地域毎に適合した変換パラメータによる座標変換(平行移動＋回転)",
    "ZUB方式(最良線形最小バイアス推定: QUENDOR)",
    "地域毎に適合した変換パラメータによる座標変換(アフィン変換)",
    "擬似変換方式による座標変換",
    "TKY2JGD(par %s)互換変換方式による座標変換",
    "地域毎に適合した変換パラメータによる座標変換(重み付け補間による方法)",
    "地域毎に適合した変換パラメータによる座標変換(アフィン変換)",
    "地域毎に適合した変換パラメータによる座標変換(ヘルマート変換)",
    "地域毎に適合した変換パラメータによる座標変換(平行移動)",
};

const char *const kMixedKindLongName = "地域毎に適合した変換パラメータによる座標変換";

// Tabs 3 to 5 of the normal names are the surveyor names of the same views.
const char *const kTabNames[] = {"旧座標",       "観測新座標",   "計算新座標",
                                 "精度チェック", "面積チェック", "既知新座標"};
const char *const kTabNamesChosashi[] = {"任意座標",     "観測世界座標", "計算世界座標",
                                         "精度チェック", "面積チェック", "既知世界座標"};

const char *const kITRFNames[] = {"観測新座標なし", "変換基準点", "検測点"};
const char *const kITRFNamesChosashi[] = {"観測世界座標なし", "参照点", "検測点"};

const char *const kKjnNames[] = {"", "１級基準点", "２級基準点", "３級基準点", "４級基準点"};

template <typename T, std::size_t N> const char *at(const T (&table)[N], int i) {
    return i >= 0 && static_cast<std::size_t>(i) < N ? table[i] : nullptr;
}

} // namespace

CString Veltrane::GetCoordCnvKindName(CoordCnvKind kind) {
    const char *name = at(kKindNames, kind);
    return name ? CString(name) : CString();
}

CString Veltrane::GetCoordCnvKindLongName(CoordCnvKind kind, const OmbreskMngr *grid) const {
    if (kind == CrdCnvBlockOwn)
        return kMixedKindLongName;
    const char *name = at(kKindLongNames, kind);
    if (name == nullptr)
        return CString();
    if (kind != CrdCnvTKY2JGD)
        return name;
    CString text;
    text.Format(name, static_cast<const char *>(grid ? grid->GetFileVerStr1() : m_cnvPrmVer));
    return text;
}

const char *Veltrane::GetTabName(TABID tab) {
    const char *name = at(m_fChosashiMode ? kTabNamesChosashi : kTabNames, tab);
    return name ? name : "";
}

CString Veltrane::GetITRFKindName(ITRFCoordKind kind) {
    const char *name = at(m_fChosashiMode ? kITRFNamesChosashi : kITRFNames, kind);
    return name ? CString(name) : CString();
}

CString Veltrane::GetResultCrdKindName(CoordinateKind kind) {
    if (kind == CrdKindJGD2000)
        return "既知点整合前";
    if (kind == CrdKindAdjustedJGD)
        return "既知点整合後";
    return CString();
}

CString Veltrane::GetKjnKindName(KjnPointKind kind) {
    const char *name = at(kKjnNames, kind);
    return name ? CString(name) : CString();
}

CoordinateKind Veltrane::ConvertTabToCoordinateKind(TABID tab, int subIndex) {
    switch (tab) {
    case TabTokyo:
        return CrdKindTokyo;
    case TabObsITRF:
        return CrdKindObsITRF;
    case TabCalcJGD:
        return subIndex != 0 ? CrdKindAdjustedJGD : CrdKindJGD2000;
    case TabKnownJGD:
        return CrdKindKnownJGD2K;
    default:
        return static_cast<CoordinateKind>(tab);
    }
}

TABID Veltrane::ConvertCoordinateKindToTab(CoordinateKind kind) {
    return kind == CrdKindKnownJGD2K ? TabKnownJGD : static_cast<TABID>(kind);
}

CString Veltrane::GetCurrentCoordSysName() const {
    const PlaneArea *area = GetCurrentPlaneArea(false);
    return area ? CString(area->GetName().c_str()) : CString();
}

CoordCnvKind Veltrane::printedCoordCnvKind() const {
    if (m_targetKind != JGDTargetBlocks || m_blocks.GetBlockSize() == 0)
        return GetCoordCnvKind();
    // The blocks' own method when every converted block used the same one.
    CoordCnvKind kind = CrdCnvBlockOwn;
    bool any = false;
    for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i) {
        const CrdTrnsBlock *block = m_blocks.GetBlock(i, false);
        if (!block->IsCrdCnvCompleted())
            continue;
        const CoordConvParam *engine = block->GetSelectedCoordConvParam();
        if (engine == nullptr || (any && engine->GetType() != kind))
            return CrdCnvBlockOwn;
        kind = engine->GetType();
        any = true;
    }
    return kind;
}

CString Veltrane::GetCurrentCoordCnvKindForPrt(const OmbreskMngr *grid) const {
    CString text;
    text.Format("%s %s %s", GetProductName().GetString(), GetVersionName(true).GetString(),
                GetCoordCnvKindLongName(printedCoordCnvKind(), grid).GetString());
    return text;
}

CString Veltrane::GetCompanyName() { return "Varniskテクノロジー株式会社"; }

CString Veltrane::GetProductName() { return "ZUB世界座標取得システム"; }

CString Veltrane::GetVersionName(bool shortForm) { return shortForm ? "Ver.1.00" : "Version 1.00"; }

CString Veltrane::GetCnvBasisPointName() { return m_fChosashiMode ? "参照点" : "変換基準点"; }
