#include "platform/core/NativeText.h"
#include "veltrane/conversion/CoordConvParam.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/ApaVeskRW.h"
#include "veltrane/database/KjnTxtRW.h"
#include "veltrane/database/PathParts.h"
#include "veltrane/database/Tky2JgdRW.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/database/VeskRW.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

namespace {

// "%Y/%m/%d %X" of the time in local time, in the C locale.
CString localTimeText(std::int64_t t) {
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    if (localtime_r(&tt, &tm) == nullptr)
        return CString();
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&tm, "%Y/%m/%d %X");
    return CString(text.str().c_str());
}

CString formatted(const char *format, const CString &value) {
    CString text;
    text.Format(format, value.GetString());
    return text;
}

// The parameter texts of the transformers: the grid method's when it comes first, else those of
// every fitted engine, each in its place of the chain.
std::vector<std::vector<CString>> paramTexts(const std::vector<const ICoordTransformer *> &chain,
                                             const Veltrane *db) {
    std::vector<std::vector<CString>> texts(chain.size());
    if (const auto *grid = dynamic_cast<const CoordConvTKY2JGD *>(chain.front())) {
        grid->GetParamStrings(&texts.front());
        return texts;
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const auto *engine = dynamic_cast<const CoordConvParam *>(chain[i]);
        if (engine != nullptr && engine->IsCalced())
            engine->GetParamStrings(&texts[i], db, CoordConvParam::PrmStrNotes);
    }
    return texts;
}

} // namespace

// ---- reading and writing

bool Veltrane::ReadVesk(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                        ITRFCoordKind itrf) {
    m_fileStop = FileStop();
    VeskRW rw(this);
    const bool lots = m_fChosashiMode && kind == CrdKindTokyo;
    const bool read =
        (lots ? rw.Read(path, progress) : rw.ReadPoints(path, progress, kind, itrf)) == 1;
    m_fileStop = rw;
    if (read)
        readTxtSub(kind, itrf);
    return read;
}

bool Veltrane::ReadKjnTxt(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                          ITRFCoordKind itrf) {
    m_fileStop = FileStop();
    KjnTxtRW rw(this, 0);
    const bool read = rw.ReadPoints(path, progress, kind, itrf);
    m_fileStop = rw;
    if (read)
        readTxtSub(kind, itrf);
    return read;
}

bool Veltrane::ReadApaVesk(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                           ITRFCoordKind itrf) {
    m_fileStop = FileStop();
    ApaVeskRW rw(this, 0);
    const bool read = rw.ReadPoints(path, progress, kind, itrf);
    m_fileStop = rw;
    if (read)
        readTxtSub(kind, itrf);
    return read;
}

bool Veltrane::ReadT2JTxt(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                          ITRFCoordKind itrf) {
    m_fileStop = FileStop();
    Tky2JgdRW rw(this);
    const bool read = rw.ReadPoints(path, progress, kind, itrf);
    m_fileStop = rw;
    if (read)
        readTxtSub(kind, itrf);
    return read;
}

void Veltrane::readTxtSub(CoordinateKind kind, ITRFCoordKind itrf) {
    if (kind == CrdKindObsITRF && itrf == ITRFKindChkObs)
        remakeChkObsPrecTables();
    if (kind == CrdKindKnownJGD2K && GetKnownJGD2KPointSize() > 0)
        m_fAdjustValid = true;
}

bool Veltrane::WriteVesk(const CString &path, CoordinateKind kind, ITRFCoordKind itrf, int flags,
                         VeskVersionNo version, bool withLots) {
    VeskRW rw(this);
    m_fileStop = FileStop();
    const int written = withLots ? rw.WritePointsAndLots(path, kind, itrf, flags, version)
                                 : rw.WritePoints(path, kind, itrf, flags, version);
    m_fileStop = rw;
    return written == 1;
}

bool Veltrane::WriteKjnTxt(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                           int flags) {
    KjnTxtRW rw(this, 0);
    m_fileStop = FileStop();
    const bool written = rw.WritePoints(path, kind, itrf, flags);
    m_fileStop = rw;
    return written;
}

bool Veltrane::WriteApaVesk(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                            int flags) {
    ApaVeskRW rw(this, 0);
    m_fileStop = FileStop();
    const bool written = rw.WritePoints(path, kind, itrf, flags);
    m_fileStop = rw;
    return written;
}

bool Veltrane::WriteT2JTxt(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                           int flags) {
    Tky2JgdRW rw(this);
    m_fileStop = FileStop();
    const bool written = rw.WritePoints(path, kind, itrf, flags);
    m_fileStop = rw;
    return written;
}

// ---- the comment block of a converted file

bool Veltrane::GetFileConvertComments(std::vector<CString> *lines, const CString &src,
                                      const CString &dst, JGDCrdFileFormat format, ConvertMode mode,
                                      int planeNo,
                                      const std::vector<const ICoordTransformer *> &chain,
                                      int appliedDirection, std::int64_t time) const {
    if (lines == nullptr || chain.empty())
        return false;
    const char *toNew = "日本測地系→世界測地系";
    const char *toOld = "世界測地系→日本測地系";
    // Paths as the written file shows them.
    const auto shown = [](const CString &part) { return NativeText::ShownInCp932(part); };
    lines->push_back(formatted(format == JGDCrdFmtKjnText
                                   ? "ファイル\"%s\"は、以下に示す内容で変換が行われました。"
                                   : "このファイル\"%s\"は、以下に示す内容で変換が行われました。",
                               shown(GetFileNamePart(dst))));
    lines->push_back(
        formatted("  座標変換プログラム名：%s", GetProductName() + " " + GetVersionName(false)));
    lines->push_back("  変換日時            ：" + localTimeText(time));
    lines->push_back(formatted("  変換元のフォルダ    ：%s", shown(GetFolderPart(src))));
    lines->push_back(formatted("  変換元のファイル名  ：%s", shown(GetFileNamePart(src))));
    lines->push_back(formatted("  変換先のフォルダ    ：%s", shown(GetFolderPart(dst))));
    if (planeNo >= 1 && planeNo <= 19) {
        CString line;
        line.Format("  平面直角座標系番号  ：%2d", planeNo);
        lines->push_back(line);
    }
    const char *direction = nullptr;
    const char *unconverted = nullptr;
    if (appliedDirection != -1) {
        direction = appliedDirection != 0 ? toOld : toNew;
    } else if (mode == ConvertToNew) {
        direction = toNew;
        unconverted = "※入力ファイルの座標が世界測地系なので、座標値は変換せずに出力されています。";
    } else if (mode == ConvertToOld) {
        direction = toOld;
        unconverted = "※入力ファイルの座標が日本測地系なので、座標値は変換せずに出力されています。";
    }
    if (direction != nullptr)
        lines->push_back(formatted("  座標変換の方向      ：%s", direction));
    if (unconverted != nullptr)
        lines->push_back(formatted("                      ：%s", unconverted));
    const std::vector<std::vector<CString>> texts = paramTexts(chain, this);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts[i].size(); ++j) {
            const char *label =
                i == 0 ? (j == 0 ? "  座標変換の詳細      ：%s" : "                      ：%s")
                       : (j == 0 ? "  座標変換の詳細(既知点整合)：%s"
                                 : "                            ：%s");
            lines->push_back(formatted(label, texts[i][j]));
        }
    }
    return true;
}
