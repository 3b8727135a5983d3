#include "exchange/Dorrimet/KjnTxtBase.h"
#include "exchange/Dorrimet/FileProgress.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "exchange/Dorrimet/JReadCSVFile.h"
#include "exchange/Pomtrek/WriteTextFile.h"
#include "kernels/Brennic/JGDDMSAngle.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Lunmarg/AngleFunctions.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CException.h"
#include "platform/core/Numbers.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

constexpr unsigned kCodeMax = 15;
constexpr unsigned kTextMax = 127;
constexpr int kNameWidth = 16;
constexpr int kJudgeLines = 100;

const char kCancelText[] = "情報：ユーザーにより変換処理は途中で中止されました。";
const char kLogStart[] =
    "------------- 成果数値データファイルの座標変換ログファイル 開始 -------------\n";
const char kLogEnd[] =
    "------------- 成果数値データファイルの座標変換ログファイル 終了 -------------\n";

// A packed D.MMSS value with its seconds rounded at the 4 decimals that 8 decimals of the packed
// form show, carried into the minutes and degrees; a value that is not a packed angle stays.
double roundPackedDMS(double dms) {
    JGDDMSAngle angle;
    if (!angle.setDMS(dms, -4, 261))
        return dms;
    return angle.getDMS(-4, 261);
}

// True when both paths name one file, existing or not.
bool sameFile(const CString &a, const CString &b) {
    std::string na;
    std::string nb;
    if (!Path::ToNative(a, na) || !Path::ToNative(b, nb))
        return false;
    struct stat sa {};
    struct stat sb {};
    if (::stat(na.c_str(), &sa) == 0 && ::stat(nb.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ea;
    std::error_code eb;
    const auto ca = std::filesystem::weakly_canonical(na, ea);
    const auto cb = std::filesystem::weakly_canonical(nb, eb);
    return !ea && !eb && ca == cb;
}

CString localTimeText(std::int64_t t) {
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    char text[64] = "";
    if (localtime_r(&tt, &tm))
        std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &tm);
    return CString(text);
}

void addMessage(std::vector<CString> *messages, const CString &text) {
    if (messages)
        messages->push_back(text);
}

CString logOpenFailure(const CString &log) {
    CString text;
    text.Format("変換結果用のログファイルがオープンできませんでした。 ファイル:[%s]",
                log.GetString());
    return text;
}

} // namespace

const KjnTxtBase::IdMap KjnTxtBase::m_sIdMap[6] = {
    {KJNTXT_A00, "A00"}, {KJNTXT_A01, "A01"}, {KJNTXT_A99, "A99"},
    {KJNTXT_Z00, "Z00"}, {KJNTXT_Z01, "Z01"}, {KJNTXT_Z02, "Z02"},
};

const EarthEllips KjnTxtBase::s_EllipBessel(6377397.155, 299.152813);
const EarthEllips KjnTxtBase::s_EllipGRS80(6378137.0, 298.257222101);

// The fields of a point line.
struct KjnTxtBase::PointLine {
    int no = 0;
    CString name;
    int nameWidth = kNameWidth; // the width of the source's name field, at least 16
    double b = 0.0;
    double l = 0.0;
    double x = 0.0;
    double y = 0.0;
    int zone = 0;
    bool zoneUsed = false; // the zone field holds a number
    bool hUsed = false;
    double h = 0.0;
    bool afterUsed = false; // the value after the height
    double after = 0.0;
};

KjnTxtBase::KjnTxtBase() : m_PlaneBessel(&s_EllipBessel), m_PlaneGRS80(&s_EllipGRS80) {}

KjnTxtBase::~KjnTxtBase() = default;

const char *KjnTxtBase::getLineKind(KJNTXT_LINE_ID id) {
    for (const IdMap &row : m_sIdMap)
        if (row.id == id)
            return row.code;
    return nullptr;
}

KJNTXT_LINE_ID KjnTxtBase::readChkKind(const char *text) {
    if (!text)
        return KJNTXT_UNKNOWN;
    for (const IdMap &row : m_sIdMap)
        if (std::strncmp(text, row.code, 3) == 0)
            return static_cast<KJNTXT_LINE_ID>(row.id);
    return KJNTXT_UNKNOWN;
}

unsigned KjnTxtBase::GetCommentSize() const { return 0; }

bool KjnTxtBase::GetComment(int, CString *) const { return false; }

bool KjnTxtBase::GetCommentZ00(CString *) const { return false; }

bool KjnTxtBase::GetCommentZ01(CString *) const { return false; }

bool KjnTxtBase::GetCommentZ02(int *, int *) const { return false; }

bool KjnTxtBase::CheckPlaneZone(int, CString *) { return true; }

bool KjnTxtBase::lineKind(KJNTXT_LINE_ID *kind) {
    // A line over the limit or holding a NUL has no fields; its code still tells what it is.
    if (m_pReader->isLineUnusable()) {
        *kind = readChkKind(m_pReader->GetBufferStr());
        return true;
    }
    char code[kCodeMax + 1];
    if (!m_pReader->readString(kCodeMax, code))
        return false;
    *kind = readChkKind(code);
    return true;
}

bool KjnTxtBase::readPointLine(PointLine *point, bool forConversion) {
    JReadCSVFile &r = *m_pReader;
    if (r.isLineUnusable()) {
        m_reason = r.GetStopReason();
        return false;
    }
    const unsigned numberMax = DivisionString::NUMBER_MAX;
    const auto failed = [&](const char *what, FIELD_FAULT fault, unsigned max) {
        m_reason = FieldReason(what, fault, max);
        return false;
    };
    // An empty point number reads as 0, as other software writes it.
    FIELD_FAULT fault = r.readIntField(&point->no);
    if (fault == FIELD_EMPTY)
        point->no = 0;
    else if (fault != FIELD_OK)
        return failed("点番号", fault, numberMax);
    fault = r.readTextField(kTextMax, &point->name);
    if (fault != FIELD_OK)
        return failed("点名", fault, kTextMax);
    const std::vector<JDivStrElmInfo> &spans = r.GetStrElmInfoVector();
    point->nameWidth = (spans.size() > 2 && !point->name.IsEmpty())
                           ? std::max(spans[2].length, kNameWidth)
                           : kNameWidth;
    // Latitude, longitude and zone are not registered: a reader only needs them present, a
    // conversion writes them back and needs numbers.
    CString text;
    if (forConversion) {
        if ((fault = r.readRealField(&point->b, false)) != FIELD_OK)
            return failed("緯度", fault, numberMax);
        if ((fault = r.readRealField(&point->l, false)) != FIELD_OK)
            return failed("経度", fault, numberMax);
    } else {
        if ((fault = r.readTextField(kTextMax, &text)) != FIELD_OK)
            return failed("緯度", fault, kTextMax);
        if ((fault = r.readTextField(kTextMax, &text)) != FIELD_OK)
            return failed("経度", fault, kTextMax);
    }
    if ((fault = r.readRealField(&point->x, false)) != FIELD_OK)
        return failed("X座標", fault, numberMax);
    if ((fault = r.readRealField(&point->y, false)) != FIELD_OK)
        return failed("Y座標", fault, numberMax);
    if (forConversion) {
        if ((fault = r.readIntField(&point->zone)) != FIELD_OK)
            return failed("系番号", fault, numberMax);
    } else if ((fault = r.readTextField(kTextMax, &text)) != FIELD_OK) {
        return failed("系番号", fault, kTextMax);
    } else {
        point->zoneUsed = ParseInt(text.Bytes(), point->zone);
    }
    fault = r.readRealField(&point->h, false);
    if (fault == FIELD_OK) {
        point->hUsed = true;
    } else if (fault == FIELD_EMPTY) {
        point->hUsed = false;
        point->h = 0.0;
    } else {
        return failed("標高", fault, numberMax);
    }
    // The value after the height is written back by a conversion: it must be a number there.
    fault = r.readRealField(&point->after, false);
    if (fault == FIELD_OK)
        point->afterUsed = true;
    else if (forConversion && fault != FIELD_MISSING && fault != FIELD_EMPTY)
        return failed("標高の次の値", fault, numberMax);
    return true;
}

void KjnTxtBase::noteBadLine(const CString &reason) {
    if (m_nFirstBadLine == 0) {
        m_nFirstBadLine = m_nLineNo;
        m_firstBadReason = reason;
    }
}

bool KjnTxtBase::Read(IPointRegister *reg, const CString &path, JIProgMsgBase *progress, int mode) {
    if (!reg)
        return false;
    m_pRegister = reg;
    m_nErrorState = 0;
    m_nLineNo = 0;
    m_nLastPercent = 0;
    m_bInPoints = false;
    ClearStop();
    BeginFileRead(progress);
    m_pReader = std::make_unique<JReadCSVFile>(path, mode, false);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        SetStop(0, kStopOpen);
        if (progress)
            progress->ProgressEnd();
        return false;
    }
    m_nFileSize = m_pReader->GetFileSize();

    bool stopped = false;
    try {
        while (!stopped && m_pReader->startLine()) {
            ++m_nLineNo;
            KJNTXT_LINE_ID kind = KJNTXT_UNKNOWN;
            if (lineKind(&kind)) {
                switch (kind) {
                case KJNTXT_A00:
                    m_bInPoints = true;
                    break;
                case KJNTXT_A01: {
                    if (!m_bInPoints)
                        break;
                    PointLine point;
                    if (!readPointLine(&point, false) ||
                        (point.zoneUsed && !CheckPlaneZone(point.zone, &m_reason))) {
                        m_nErrorState = 1;
                        SetStop(m_nLineNo, m_reason);
                        stopped = true;
                    } else if (!reg->RegisterPoint(point.no, point.name, point.x, point.y, point.h,
                                                   point.hUsed ? 1 : 0)) {
                        m_nErrorState = 2;
                        SetStop(m_nLineNo, kStopRefused);
                        stopped = true;
                    }
                    break;
                }
                case KJNTXT_A99:
                    m_bInPoints = false;
                    break;
                case KJNTXT_Z00:
                    break;
                case KJNTXT_Z02: {
                    int datum = 0;
                    int zone = 0;
                    m_pReader->readIntField(&datum);
                    if (m_pReader->readIntField(&zone) == FIELD_OK &&
                        !CheckPlaneZone(zone, &m_reason)) {
                        m_nErrorState = 1;
                        SetStop(m_nLineNo, m_reason);
                        stopped = true;
                    }
                    break;
                }
                default:
                    m_nErrorState = 1;
                    break;
                }
            }
            if (!stopped && progress &&
                FileReadProgress(progress, m_pReader->GetCurrentPos(), m_nFileSize,
                                 m_nLastPercent)) {
                SetStop(m_nLineNo, kStopCancel);
                stopped = true;
            }
        }
        if (!stopped && m_pReader->stoppedAtUndecodableLine()) {
            m_nErrorState = 1;
            SetStop(m_pReader->GetStopLine(), m_pReader->GetStopReason());
            stopped = true;
        }
    } catch (const CException &) {
        m_pReader.reset();
        throw;
    }
    m_pReader.reset();
    if (stopped) {
        if (progress)
            progress->ProgressEnd();
        return false;
    }
    if (!EndFileRead(progress, reg)) {
        SetStop(0, kStopEndRegister);
        return false;
    }
    return true;
}

bool KjnTxtBase::WritePoints(IPointSupplier *supplier, const CString &path) {
    ClearStop();
    if (!supplier)
        return false;
    m_pSupplier = supplier;
    // Every point is formatted before the file is made: a point that could not be read back
    // leaves no file with fewer points behind.
    std::vector<CString> points;
    const unsigned count = supplier->GetPointSize();
    for (unsigned i = 0; i < count; ++i) {
        CString name;
        double x = 0.0, y = 0.0, b = 0.0, l = 0.0, h = 0.0;
        int pointZone = 0;
        int status = 0;
        bool hUsed = false;
        if (!supplier->GetPointWithBL(i, &name, &x, &y, &b, &l, &pointZone, &h, &hUsed, &status))
            continue;
        if (const CString fault = CsvPointNameFault(i + 1, name); !fault.IsEmpty()) {
            SetStop(0, fault);
            return false;
        }
        b = roundPackedDMS(b);
        l = roundPackedDMS(l);
        if (!DivisionString::NumberFits(b, 8) || !DivisionString::NumberFits(l, 8) ||
            !DivisionString::NumberFits(x, 3) || !DivisionString::NumberFits(y, 3) ||
            (hUsed && !DivisionString::NumberFits(h, 3))) {
            CString reason;
            reason.Format("%u番目の点[%s]の座標値はこの形式で書き出せません。", i + 1,
                          name.GetString());
            SetStop(0, reason);
            return false;
        }
        CString height;
        if (hUsed)
            height.Format("%9.3f", h);
        CString line;
        line.Format("%3s,%05d,%-*s,%13.8f,%13.8f,%12.3f,%12.3f,%02d,%s,,\n",
                    getLineKind(KJNTXT_A01), static_cast<int>(i + 1),
                    name.IsEmpty() ? 0 : kNameWidth, name.GetString(), b, l, x, y, pointZone,
                    height.GetString());
        points.push_back(line);
    }
    m_pWriter = std::make_unique<WriteTextFile>(path);
    if (m_pWriter->isnotUsed()) {
        m_pWriter.reset();
        SetStop(0, kStopOpen);
        return false;
    }
    try {
        CString text;
        CString line;
        if (GetCommentZ00(&text)) {
            line.Format("%3s,%s,\n", getLineKind(KJNTXT_Z00), text.GetString());
            m_pWriter->writeLine(line);
        }
        if (GetCommentZ01(&text)) {
            line.Format("%3s,%s,\n", getLineKind(KJNTXT_Z01), text.GetString());
            m_pWriter->writeLine(line);
        }
        int kind = 0;
        int zone = 0;
        if (GetCommentZ02(&kind, &zone)) {
            line.Format("%3s,%1d,%02d,\n", getLineKind(KJNTXT_Z02), kind, zone);
            m_pWriter->writeLine(line);
        }
        line.Format("%3s,\n", getLineKind(KJNTXT_A00));
        m_pWriter->writeLine(line);
        for (const CString &point : points)
            m_pWriter->writeLine(point);
        line.Format("%3s,\n", getLineKind(KJNTXT_A99));
        m_pWriter->writeLine(line);
        m_pWriter->close();
    } catch (const CException &) {
        m_pWriter.reset();
        throw;
    }
    m_pWriter.reset();
    return true;
}

bool KjnTxtBase::JudgeFormat(const CString &path) {
    m_pReader = std::make_unique<JReadCSVFile>(path, 2, false);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        return false;
    }
    bool result = false;
    bool inPoints = false;
    bool seenA00 = false;
    int lines = 0;
    try {
        while (m_pReader->startLine()) {
            ++lines;
            KJNTXT_LINE_ID kind = KJNTXT_UNKNOWN;
            if (!lineKind(&kind))
                kind = KJNTXT_UNKNOWN;
            if (kind == KJNTXT_A00) {
                inPoints = true;
                seenA00 = true;
                continue;
            }
            if (kind == KJNTXT_A01) {
                if (!inPoints)
                    continue;
                int fields = 0;
                char text[kTextMax + 1];
                while (m_pReader->readString(kTextMax, text))
                    ++fields;
                result = fields >= 8 && fields <= 10;
                break;
            }
            if (kind == KJNTXT_A99) {
                inPoints = false;
                continue;
            }
            if (kind == KJNTXT_Z00 || seenA00 || lines < kJudgeLines)
                continue;
            break;
        }
    } catch (const CException &) {
        m_pReader.reset();
        throw;
    }
    m_pReader.reset();
    return result;
}

bool KjnTxtBase::Convert(const CString &src, const CString &dst, const CString &log,
                         ConvertMode mode, const ICoordTransformer *transformer,
                         std::vector<CString> *messages, JIProgMsgBase *progress, int options) {
    const std::vector<const ICoordTransformer *> chain{transformer};
    return Convert(src, dst, log, mode, chain, messages, progress, options);
}

bool KjnTxtBase::Convert(const CString &src, const CString &dst, const CString &log,
                         ConvertMode mode, const std::vector<const ICoordTransformer *> &chain,
                         std::vector<CString> *messages, JIProgMsgBase *progress, int options) {
    m_bCoordSysHandled = false;
    m_bInPoints = false;
    m_nLastPercent = 0;
    m_nStepCount = 0;
    m_nFileSize = 0;
    m_nLineNo = 0;
    m_nErrorState = 0;
    m_nFirstBadLine = 0;
    m_firstBadReason.Empty();
    m_logText.Empty();
    m_tally = ConvertTally();
    ClearStop();
    m_ConvData = ConvData{src, dst, mode, options, chain};
    m_tStart = static_cast<std::int64_t>(std::time(nullptr));
    if (!openConvertFiles(src, dst, log, messages))
        return false;
    m_nFileSize = m_pReader->GetFileSize();

    bool whole = false; // every line of the source was taken
    bool cancelled = false;
    int errors = 0;
    int direction = -1;
    std::vector<CString> endNotes; // what ended the run, for the log
    try {
        writeLog(kLogStart);
        if (progress)
            progress->ProgressStart(ProgressCount(m_nFileSize));
        for (;;) {
            if (!m_pReader->startLine()) {
                whole = true;
                break;
            }
            ++m_nLineNo;
            m_nErrorState = 0;
            KJNTXT_LINE_ID kind = KJNTXT_UNKNOWN;
            if (!lineKind(&kind)) {
                logInvalidLine();
                copyLine();
                noteBadLine("データ区分が読めません。");
                ++errors;
            } else {
                if (!convertLine(kind, mode, &direction))
                    break;
                if (m_nErrorState != 0)
                    ++errors;
            }
            if (progress && FileProgressStep(progress, m_pReader->GetCurrentPos(), m_nFileSize,
                                             m_nLastPercent, m_nStepCount)) {
                writeLog(CString(kCancelText) + "\n");
                addMessage(messages, kCancelText);
                SetStop(m_nLineNo, kStopCancel);
                cancelled = true;
                break;
            }
        }
        // The rest of a file that cannot be read into cp932 is not converted.
        if (m_pReader->stoppedAtUndecodableLine()) {
            const CString text = ConvertTally::UndecodableLineMessage(m_pReader->GetStopLine(),
                                                                      m_pReader->GetStopReason());
            addMessage(messages, text);
            endNotes.push_back(text);
            SetStop(m_pReader->GetStopLine(), m_pReader->GetStopReason());
            whole = false;
        }
    } catch (const CException &e) {
        const CString text = ConvertTally::ErrorMessage(e.GetErrorMessage());
        addMessage(messages, text);
        endNotes.push_back(text);
        SetStop(m_nLineNo, text);
        whole = false;
    }
    m_pReader.reset();
    if (errors > 0) {
        if (GetStopReason().IsEmpty())
            SetStop(m_nFirstBadLine, m_firstBadReason);
        CString text;
        text.Format("ファイル変換過程で%d行分のエラーが発生しました。", errors);
        addMessage(messages, text);
        text.Format("詳しくは、ログファイル[%s]を参照してください。", log.GetString());
        addMessage(messages, text);
    }
    m_tEnd = static_cast<std::int64_t>(std::time(nullptr));
    const bool written = whole && commitConvertFiles(log, errors == 0, messages);
    if (!whole) {
        // The destination is dropped; the log alone is kept, saying how the run ended.
        m_pWriter.reset();
        closeLogAlone(endNotes, messages);
    }
    m_tally.AddMessages(messages, written     ? ConvertEnd::Written
                                  : cancelled ? ConvertEnd::Cancelled
                                              : ConvertEnd::Stopped);
    if (progress)
        progress->ProgressEnd();
    return written && errors == 0;
}

bool KjnTxtBase::openConvertFiles(const CString &src, const CString &dst, const CString &log,
                                  std::vector<CString> *messages) {
    CString text;
    m_pReader = std::make_unique<JReadCSVFile>(src, 2, true);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        text.Format("変換元のファイルがオープンできませんでした。 ファイル:[%s]", src.GetString());
        addMessage(messages, text);
        SetStop(0, text);
        return false;
    }
    // The log before the destination: a log that cannot be made leaves the destination alone.
    if (!log.IsEmpty()) {
        // A log that is the destination would interleave with it.
        if (!sameFile(log, dst))
            m_pLog = std::make_unique<WriteTextFile>(log);
        if (!m_pLog || m_pLog->isnotUsed()) {
            m_pLog.reset();
            m_pReader.reset();
            addMessage(messages, logOpenFailure(log));
            SetStop(0, logOpenFailure(log));
            return false;
        }
    }
    try {
        m_pWriter = std::make_unique<WriteTextFile>(dst, WriteTextFile::NEW_FILE_FLAGS);
    } catch (const CException &) {
        m_pWriter.reset();
        m_pReader.reset();
        text.Format("変換先のファイルがオープンできませんでした。 ファイル:[%s]", dst.GetString());
        addMessage(messages, text);
        SetStop(0, text);
        // The log is kept all the same: it says why nothing was converted.
        try {
            writeLog(kLogStart);
        } catch (const CException &) {
            // Told when the log is closed.
        }
        closeLogAlone({text}, messages);
        return false;
    }
    return true;
}

bool KjnTxtBase::commitConvertFiles(const CString &log, bool succeeded,
                                    std::vector<CString> *messages) {
    const int body = m_logText.GetLength();
    try {
        writeLogEnd({}, succeeded);
        // The log first: of the two it is the one written again alone when the commit fails.
        PendingFiles pending;
        if (m_pLog)
            m_pLog->close(pending);
        m_pWriter->close(pending);
        pending.Commit();
        m_pWriter.reset();
        m_pLog.reset();
        return true;
    } catch (const CException &e) {
        m_pWriter.reset();
        m_pLog.reset();
        if (ConvertTally::WrittenUnconfirmed(e)) {
            // Both are in place; the disk did not confirm it.
            addMessage(messages, e.GetErrorMessage());
            return true;
        }
        const CString text = ConvertTally::ErrorMessage(e.GetErrorMessage());
        addMessage(messages, text);
        if (GetStopReason().IsEmpty())
            SetStop(0, text);
        if (log.IsEmpty())
            return false;
        // Neither file is in place: the log is written again alone and says so.
        m_pLog = std::make_unique<WriteTextFile>(log);
        if (m_pLog->isnotUsed()) {
            m_pLog.reset();
            addMessage(messages, logOpenFailure(log));
            return false;
        }
        const CString kept = m_logText.Left(body);
        m_logText.Empty();
        try {
            writeLog(kept);
        } catch (const CException &) {
            // Told when the log is closed.
        }
        closeLogAlone({text}, messages);
        return false;
    }
}

void KjnTxtBase::closeLogAlone(const std::vector<CString> &notes, std::vector<CString> *messages) {
    if (!m_pLog)
        return;
    try {
        writeLogEnd(notes, false);
        m_pLog->close();
    } catch (const CException &e) {
        addMessage(messages, ConvertTally::ErrorMessage(e.GetErrorMessage()));
    }
    m_pLog.reset();
}

void KjnTxtBase::writeLogEnd(const std::vector<CString> &notes, bool succeeded) {
    for (const CString &note : notes)
        writeLog(note + "\n");
    if (succeeded) {
        CString text;
        text.Format("変換終了時刻：%s\n", localTimeText(m_tEnd).GetString());
        writeLog(text);
    } else {
        writeLog("情報：変換は正常に行われず終了しました。\n");
    }
    writeLog(kLogEnd);
}

bool KjnTxtBase::convertLine(KJNTXT_LINE_ID kind, int mode, int *direction) {
    if (!m_pReader || m_pReader->isnotUsed() || !m_pWriter || m_pWriter->isnotUsed())
        return false;
    switch (kind) {
    case KJNTXT_Z02:
        convertZ02(mode, direction);
        break;
    case KJNTXT_A00:
        convertA00(mode, direction);
        break;
    case KJNTXT_A01:
        // Other programs take a point line wherever it stands: one outside the point section
        // is not converted, so it is kept as a comment, never dropped.
        if (m_bInPoints)
            convertPoint(*direction);
        else
            keepPointAsComment("点の区間(A00からA99)の外に点のデータがあります。");
        break;
    case KJNTXT_A99:
        m_bInPoints = false;
        copyLine();
        break;
    default:
        copyLine();
        break;
    }
    return true;
}

void KjnTxtBase::convertZ02(int mode, int *direction) {
    // The datum and the zone decide every coordinate: neither may be empty.
    int kind = 0;
    int zone = 0;
    FIELD_FAULT fault = m_pReader->readIntField(&kind);
    const char *what = "座標系";
    if (fault == FIELD_OK) {
        fault = m_pReader->readIntField(&zone);
        what = "系番号";
    }
    if (fault != FIELD_OK) {
        m_nErrorState = 1;
        logInvalidLine();
        copyLine();
        noteBadLine(m_pReader->isLineUnusable()
                        ? m_pReader->GetStopReason()
                        : FieldReason(what, fault, DivisionString::NUMBER_MAX));
        return;
    }
    int written = 0;
    CString notice;
    if (mode == 0) {
        *direction = kind == 0 ? -1 : 0;
        written = 0;
        if (kind == 0)
            notice.Format("%4d行目：情報：入力ファイルの座標が世界測地系なので、以下の座標値は変換"
                          "せずに出力されています。\n",
                          m_nLineNo);
    } else if (mode == 1) {
        *direction = kind == 1 ? -1 : 1;
        written = 1;
        if (kind == 1)
            notice.Format("%4d行目：情報：入力ファイルの座標が日本測地系なので、以下の座標値は変換"
                          "せずに出力されています。\n",
                          m_nLineNo);
    } else {
        *direction = kind == 0 ? 1 : 0;
        written = kind == 0 ? 1 : 0;
    }
    if (!notice.IsEmpty())
        writeLog(notice);
    CString line;
    line.Format("%3s,%1d,%02d,\n", getLineKind(KJNTXT_Z02), written, zone);
    m_pWriter->writeLine(line);
    m_bCoordSysHandled = true;
}

void KjnTxtBase::convertA00(int mode, int *direction) {
    if (!m_bCoordSysHandled)
        *direction = mode == 1 ? 1 : 0;
    std::vector<CString> lines;
    if (GetConvertComments(&lines, static_cast<ConvertMode>(mode), *direction, m_ConvData)) {
        for (const CString &line : lines)
            writeLog(line + "\n");
        writeLog("\n");
    }
    m_bInPoints = true;
    copyLine();
}

bool KjnTxtBase::transformPoint(const PointLine &point, int direction, double *x, double *y,
                                CoordConvStatusD *status) const {
    const std::vector<const ICoordTransformer *> &chain = m_ConvData.chain;
    if (chain.empty())
        return false;
    Coordinate current(point.x, point.y, 0.0, false, 0.0, false);
    auto step = [&](const ICoordTransformer *t) {
        Coordinate next;
        if (!t)
            return false;
        const bool ok = direction == 0 ? t->Transform(current, &next, status)
                                       : t->ReverseTransform(current, &next, status);
        if (!ok)
            return false;
        current = next;
        return true;
    };
    if (direction == 0) {
        for (const ICoordTransformer *t : chain)
            if (!step(t))
                return false;
    } else {
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            if (!step(*it))
                return false;
    }
    *x = current.GetX();
    *y = current.GetY();
    return std::isfinite(*x) && std::isfinite(*y);
}

void KjnTxtBase::convertPoint(int direction) {
    PointLine point;
    if (!readPointLine(&point, true)) {
        keepPointAsComment(m_reason);
        return;
    }
    double x = point.x;
    double y = point.y;
    double b = roundPackedDMS(point.b);
    double l = roundPackedDMS(point.l);
    CoordConvStatusD status = CrdCnvStatNone;
    if (direction == 0 || direction == 1) {
        bool ok = transformPoint(point, direction, &x, &y, &status);
        if (ok) {
            const PlaneCrdJpn &zones = direction == 0 ? m_PlaneGRS80 : m_PlaneBessel;
            b = 0.0;
            l = 0.0;
            if (const PlaneArea *zone = zones.GetAreaFromNo(point.zone)) {
                Coordinate c(x, y, 0.0, false, 0.0, false);
                if (m_ConvData.options & 1)
                    c.CalcBL(zone, JGDRoundMode(-3, 261));
                else
                    c.CalcBL(zone);
                b = RadToDMS2(c.GetB(), 4);
                l = RadToDMS2(c.GetL(), 4);
                ok = std::isfinite(b) && std::isfinite(l);
            }
        }
        if (!ok) {
            keepPointAsComment("この行の座標は変換できませんでした。");
            return;
        }
    }
    CString height;
    if (point.hUsed)
        height.Format("%*.*f", 9, 3, point.h);
    CString after;
    if (point.afterUsed)
        after.Format("%*.*f", 9, 3, point.after);
    CString line;
    line.Format("%3s,%05d,%-*s,%*.*f,%*.*f,%*.*f,%*.*f,%02d,%s,%s,\n", getLineKind(KJNTXT_A01),
                point.no, point.nameWidth, point.name.GetString(), 12, 8, b, 12, 8, l, 11, 3, x, 11,
                3, y, point.zone, height.GetString(), after.GetString());
    // Never a point line that a read of the converted file would refuse.
    if (!DivisionString::NumberFits(b, 8) || !DivisionString::NumberFits(l, 8) ||
        !DivisionString::NumberFits(x, 3) || !DivisionString::NumberFits(y, 3) ||
        (point.hUsed && !DivisionString::NumberFits(point.h, 3)) ||
        (point.afterUsed && !DivisionString::NumberFits(point.after, 3)) ||
        line.GetLength() - 1 > ReadCSVFile::LINE_LIMIT) {
        keepPointAsComment("変換後の座標値はこの形式で書き出せません。");
        return;
    }
    m_pWriter->writeLine(line);
    m_tally.Converted();
    if (status == CrdCnvStatDatumShift) {
        CString notice;
        notice.Format("%4d行目：情報：[%-*s]は３パラメータで変換されました。\n", m_nLineNo,
                      point.nameWidth, point.name.GetString());
        writeLog(notice);
    }
}

void KjnTxtBase::keepPointAsComment(const CString &reason) {
    // Never written as it stands beside converted points: the line is kept as a comment.
    m_nErrorState = 1;
    noteBadLine(reason);
    m_tally.KeptBack(m_nLineNo);
    CString notice;
    notice.Format("%4d行目：エラー：この行の座標は変換できなかったため、コメント行(Z00)"
                  "として出力されました。\n",
                  m_nLineNo);
    writeLog(notice);
    CString line;
    line.Format("%3s,", getLineKind(KJNTXT_Z00));
    m_pWriter->writeLine(line + m_pReader->GetBufferStr());
}

void KjnTxtBase::copyLine() { m_pWriter->writeLine(m_pReader->GetBufferStr()); }

void KjnTxtBase::writeLog(const CString &text) {
    if (!m_pLog)
        return;
    m_logText += text;
    m_pLog->writeLine(text);
}

void KjnTxtBase::logInvalidLine() {
    CString text;
    text.Format("%4d行目：エラー：この行は不正な行のため、変換せずそのまま出力されました。\n",
                m_nLineNo);
    writeLog(text);
}
