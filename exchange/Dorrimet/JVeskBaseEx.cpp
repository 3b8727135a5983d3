#include "exchange/Dorrimet/JVeskBaseEx.h"
#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Dorrimet/FileProgress.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CException.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>

namespace {

constexpr unsigned kCodeMax = 15;
constexpr unsigned kTextMax = 127;
constexpr int kNameWidth = 16;
constexpr int kSplitMode = 2; // blanks dropped before and trimmed after a field

// text cut or padded with blanks to width bytes; a double-byte character that
// would cross the edge is left out whole.
CString fitToWidth(const CString &text, int width) {
    int end = 0;
    while (end < text.GetLength()) {
        const int step =
            CString::IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.GetLength()
                ? 2
                : 1;
        if (end + step > width)
            break;
        end += step;
    }
    CString fitted = text.Left(end);
    if (fitted.GetLength() < width)
        fitted += CString(' ', width - fitted.GetLength());
    return fitted;
}

} // namespace

struct JVeskBaseEx::ConvertState {
    ConvertMode mode;
    const std::vector<const ICoordTransformer *> &chain;
    std::vector<CString> *messages;
    int sourceSystem = -1; // the source's Z01 value; -1 without one
    int direction = -1;    // 0 forward, 1 reverse, -1 none
    int badLines = 0;
    int attributes = 0; // bit 0: C03 copied; bit 1: E03 copied
    int stepCounter = 0;
    ConvertTally tally{};

    void addMessage(const CString &text) const {
        if (messages)
            messages->push_back(text);
    }
};

JVeskBaseEx::JVeskBaseEx() = default;

JVeskBaseEx::~JVeskBaseEx() = default;

void JVeskBaseEx::SetCrdFigureNum(int intDigits, int decimals) {
    m_xyIntDigits = intDigits;
    m_xyDecimals = decimals;
}

void JVeskBaseEx::SetHgtFigureNum(int intDigits, int decimals) {
    m_hIntDigits = intDigits;
    m_hDecimals = decimals;
}

int JVeskBaseEx::OpenReadFile(const CString &path, int mode, bool elmInfo) {
    m_reader.reset();
    m_fileSize = 0;
    auto reader = std::make_unique<JReadCSVFile>(path, mode, elmInfo);
    if (reader->isnotUsed())
        return 0;
    m_fileSize = reader->GetFileSize();
    m_reader = std::move(reader);
    return 1;
}

JReadCSVFile *JVeskBaseEx::jreader() const { return dynamic_cast<JReadCSVFile *>(m_reader.get()); }

// ---- Reading ----

bool JVeskBaseEx::reportReadProgress(JIProgMsgBase *progress) {
    const JReadCSVFile *reader = jreader();
    if (!progress || !reader)
        return true;
    return !FileReadProgress(progress, reader->GetCurrentPos(), m_fileSize, m_lastPercent);
}

int JVeskBaseEx::Read(const CString &path, JIProgMsgBase *progress, int readFlags, int mode) {
    m_readFlags = readFlags;
    m_lineNo = 0;
    m_errorState = ERR_NONE;
    m_inPoints = m_inLot = m_inRoute = m_inElement = m_inTriangles = 0;
    m_lastPercent = 0;
    ClearStop();
    if (!OpenReadFile(path, mode, false)) {
        SetStop(0, kStopOpen);
        return 0;
    }
    if (progress)
        progress->ProgressStart(100);
    const auto finish = [&](int result) {
        CloseReadFile();
        if (progress)
            progress->ProgressEnd();
        return result;
    };
    try {
        for (;;) {
            if (!m_reader)
                return finish(0); // closed by a handler
            if (!m_reader->startLine())
                break;
            ++m_lineNo;
            if (!readLineRecord())
                return finish(0);
            if (!reportReadProgress(progress)) {
                SetStop(m_lineNo, kStopCancel);
                return finish(0);
            }
        }
    } catch (const CException &) {
        finish(0);
        throw;
    }
    return finish(stoppedAtUndecodableLine() ? 0 : 1);
}

// ---- Format check ----

int JVeskBaseEx::JudgeFormat(const CString &path) {
    if (!OpenReadFile(path, kSplitMode, false))
        return 0;
    m_readFlags = READ_POINTS;
    m_inPoints = 0;
    int result = 0;
    bool seenSiteLine = false;
    try {
        bool decided = false;
        while (!decided && m_reader->startLine()) {
            char code[kCodeMax + 1];
            const int kind = m_reader->readString(kCodeMax, code) ? readChkKind(code) : 0;
            switch (kind) {
            case VESK_Z00:
                break;
            case VESK_A00:
                if (m_readFlags & READ_POINTS)
                    m_inPoints = 1;
                break;
            case VESK_A01:
                if (m_inPoints) {
                    char field[kTextMax + 1];
                    int count = 0;
                    while (m_reader->readString(kTextMax, field))
                        ++count;
                    result = count >= 5 && count <= 7;
                    decided = true;
                }
                break;
            case VESK_A99:
                decided = true;
                break;
            case VESK_G00: {
                int version = 0;
                CString siteName;
                result = readIntField(version, "バージョン") && readTextField(siteName, "現場名");
                seenSiteLine = true;
                decided = !result;
                break;
            }
            default:
                if (!seenSiteLine) {
                    result = 0;
                    decided = true;
                }
                break;
            }
        }
    } catch (const CException &) {
        CloseReadFile();
        throw;
    }
    CloseReadFile();
    m_inPoints = 0;
    return result;
}

// ---- Conversion ----

int JVeskBaseEx::Convert(const CString &src, const CString &dst, ConvertMode mode,
                         const ICoordTransformer *transformer, std::vector<CString> *messages,
                         JIProgMsgBase *progress) {
    const std::vector<const ICoordTransformer *> chain{transformer};
    return Convert(src, dst, mode, chain, messages, progress);
}

int JVeskBaseEx::Convert(const CString &src, const CString &dst, ConvertMode mode,
                         const std::vector<const ICoordTransformer *> &chain,
                         std::vector<CString> *messages, JIProgMsgBase *progress) {
    m_sourceComments.clear();
    m_headerPending = false;
    m_lineNo = 0;
    m_lastPercent = 0;
    m_errorState = ERR_NONE;
    m_inPoints = 0;
    m_startTime = static_cast<std::int64_t>(std::time(nullptr));
    ClearStop();
    if (mode != ConvertToNew && mode != ConvertToOld && mode != ConvertByFile) {
        SetStop(0, "変換の方向が正しくありません。");
        return 0;
    }
    ConvertState state{mode, chain, messages};

    if (!OpenReadFile(src, kSplitMode, true)) {
        CString text;
        text.Format("変換元のファイルがオープンできませんでした。 ファイル:[%s]", src.GetString());
        state.addMessage(text);
        SetStop(0, text);
        return 0;
    }
    m_writer.reset();
    try {
        m_writer = std::make_unique<WriteTextFile>(dst, WriteTextFile::NEW_FILE_FLAGS);
    } catch (const CException &) {
        m_writer.reset();
    }
    if (!m_writer) {
        CString text;
        text.Format("変換先のファイルがオープンできませんでした。 ファイル:[%s]", dst.GetString());
        state.addMessage(text);
        SetStop(0, text);
        CloseReadFile();
        return 0;
    }

    if (progress)
        progress->ProgressStart(ProgressCount(m_fileSize));
    // Only a conversion that goes through is put in place; nothing is written
    // into an output that is discarded.
    ConvertEnd end = ConvertEnd::Stopped;
    try {
        for (;;) {
            if (state.badLines > MAX_BAD_LINES) {
                CString text;
                text.Format("エラーのある行が%d行を超えたため、変換を中止しました。",
                            MAX_BAD_LINES);
                state.addMessage(text);
                SetStop(m_lineNo, text);
                break;
            }
            if (!m_reader || !m_writer)
                break;
            if (!m_reader->startLine()) {
                // The rest of a file that cannot be read into cp932 is not converted.
                if (m_reader->stoppedAtUndecodableLine()) {
                    const CString text = ConvertTally::UndecodableLineMessage(
                        m_reader->GetStopLine(), m_reader->GetStopReason());
                    state.addMessage(text);
                    SetStop(m_reader->GetStopLine(), m_reader->GetStopReason());
                } else {
                    end = ConvertEnd::Written;
                }
                break;
            }
            ++m_lineNo;
            char code[kCodeMax + 1];
            if (!m_reader->readString(kCodeMax, code))
                writeBadLine(state);
            else if (!convertRecord(code, state))
                break;
            if (progress && !reportConvertProgress(progress, state)) {
                state.addMessage("情報：ユーザーにより変換処理は途中で中止されました。");
                SetStop(m_lineNo, kStopCancel);
                end = ConvertEnd::Cancelled;
                break;
            }
        }
        if (end == ConvertEnd::Written) {
            // Source comments are never dropped, not even without a point section.
            if (m_headerPending) {
                flushSourceComments();
                m_headerPending = false;
            }
            for (const CString &note : attributeNotes(state))
                writeComment(note);
            CloseWriteFile();
        }
    } catch (const CException &error) {
        // No line is to blame for an error after the last one.
        const int line = end == ConvertEnd::Written ? 0 : m_lineNo;
        const CString text = error.GetErrorMessage();
        if (end == ConvertEnd::Written && ConvertTally::WrittenUnconfirmed(error)) {
            // In place; the disk did not confirm it.
            state.addMessage(text);
        } else if (!text.IsEmpty()) {
            const CString message = ConvertTally::ErrorMessage(text);
            state.addMessage(message);
            SetStop(line, message);
        } else {
            SetStop(line, "エラーが発生しました。");
        }
        if (!ConvertTally::WrittenUnconfirmed(error))
            end = ConvertEnd::Stopped;
    }
    m_writer.reset();
    CloseReadFile();
    m_endTime = static_cast<std::int64_t>(std::time(nullptr));
    if (end == ConvertEnd::Written) {
        for (const CString &note : attributeNotes(state))
            state.addMessage(note);
    }
    state.tally.AddMessages(messages, end);
    if (progress)
        progress->ProgressEnd();
    return end == ConvertEnd::Written ? 1 : 0;
}

bool JVeskBaseEx::reportConvertProgress(JIProgMsgBase *progress, ConvertState &state) {
    const JReadCSVFile *reader = jreader();
    if (!reader)
        return true;
    return !FileProgressStep(progress, reader->GetCurrentPos(), m_fileSize, m_lastPercent,
                             state.stepCounter);
}

std::vector<CString> JVeskBaseEx::attributeNotes(const ConvertState &state) const {
    std::vector<CString> notes;
    if (state.attributes & 1)
        notes.emplace_back("情報：変換元ファイルの線属性デ－タ(データ区分:C03)の辺長および方向角"
                           "は、変換先ファイルにそのまま出力されました。");
    if (state.attributes & 2)
        notes.emplace_back("情報：変換元ファイルの三角形属性デ－タ(データ区分:E03)の辺長、底辺お"
                           "よび高さは、変換先ファイルにそのまま出力されました。");
    return notes;
}

void JVeskBaseEx::flushSourceComments() {
    for (const CString &line : m_sourceComments)
        writeRecord(line);
    m_sourceComments.clear();
}

void JVeskBaseEx::endSourceComments() {
    if (m_headerPending) {
        flushSourceComments();
        m_headerPending = false;
    }
}

void JVeskBaseEx::writeBadLine(ConvertState &state) {
    m_errorState = ERR_CONTENT;
    // The line as read, a NUL too, with its line end.
    CString line = jreader()->GetBufferStr();
    CString start = line;
    start.TrimLeft(" \t");
    const int kind = readChkKind(start);
    // Comments after G00 keep their place before any line that is written; a
    // coordinate-system record is written nowhere in the source's order.
    if (kind != VESK_Z01)
        endSourceComments();
    CString note;
    note.Format("%3s,%s,\n", getLineKind(VESK_Z00),
                "次の行は不正な行のため、変換せずそのまま出力されました。");
    // A point line that was not converted is kept as a comment: other programs
    // read a point record wherever it stands, so as a record it would pass for
    // a converted point. A bad coordinate-system record would stop every read
    // of the file.
    if (kind == VESK_A01 || kind == VESK_Z01)
        line = CString(getLineKind(VESK_Z00)) + "," + line;
    if (kind == VESK_A01)
        state.tally.KeptBack(m_lineNo);
    if (m_headerPending) {
        // Among the comments still waiting for the header: it keeps its place.
        m_sourceComments.push_back(note);
        m_sourceComments.push_back(line);
    } else {
        writeRecord(note);
        writeRecord(line);
    }
    ++state.badLines;
}

void JVeskBaseEx::writeHeader(const ConvertState &state) {
    std::vector<CString> lines;
    if (!GetConvertComments(&lines, state.mode, state.direction)) {
        flushSourceComments();
        return;
    }
    const CString rule('/', HEADER_WIDTH);
    writeComment(rule);
    for (const CString &line : lines)
        writeComment(fitToWidth(line, HEADER_WIDTH));
    writeComment(rule);
    writeComment("--- 変換元ファイルのコメント (開始) ---");
    flushSourceComments();
    writeComment("--- 変換元ファイルのコメント (終了) ---");
}

int JVeskBaseEx::convertRecord(const char *code, ConvertState &state) {
    const JReadCSVFile *const reader = jreader();
    if (!m_reader || !m_writer || !reader)
        return 0;
    m_errorState = ERR_NONE;
    const CString &line = reader->GetBufferStr();
    switch (readChkKind(code)) {
    case VESK_G00: {
        if (m_headerPending)
            flushSourceComments(); // of an earlier G00, in their place
        int version = 0;
        CString siteName;
        if (readIntField(version, "バージョン") && readTextField(siteName, "現場名")) {
            CString out;
            out.Format("%3s,%2s,%s,\n", getLineKind(VESK_G00), m_cVer03, siteName.GetString());
            writeRecord(out);
        } else {
            writeBadLine(state);
        }
        m_headerPending = true;
        return 1;
    }
    case VESK_Z00:
        if (m_headerPending)
            m_sourceComments.push_back(line);
        else
            writeRecord(line);
        return 1;
    case VESK_Z01: {
        // Taken into the new record before A00; one without a value is a bad line.
        int value = -1;
        if (!readIntField(value, "座標系", true)) {
            value = -1;
            writeBadLine(state);
        }
        state.sourceSystem = value;
        return 1;
    }
    case VESK_A00: {
        int newSystem = 0;
        switch (state.mode) {
        case ConvertToNew:
            state.direction = state.sourceSystem == 0 ? -1 : 0;
            newSystem = 0;
            break;
        case ConvertToOld:
            state.direction = state.sourceSystem == 1 ? -1 : 1;
            newSystem = 1;
            break;
        case ConvertByFile:
            state.direction = state.sourceSystem == 0 ? 1 : 0;
            newSystem = state.direction == 1 ? 1 : 0;
            break;
        }
        if (m_headerPending)
            writeHeader(state);
        writeCoordSys(newSystem);
        m_inPoints = 1;
        m_headerPending = false;
        writeRecord(line);
        return 1;
    }
    case VESK_A01:
        // Outside the point section the line is not converted: a bad line.
        endSourceComments();
        if (m_inPoints && convertPoint(state))
            state.tally.Converted();
        else
            writeBadLine(state);
        return 1;
    case VESK_A99:
        endSourceComments();
        m_inPoints = 0;
        writeRecord(line);
        return 1;
    case VESK_C03:
        endSourceComments();
        state.attributes |= 1;
        writeRecord(line);
        return 1;
    case VESK_E03:
        endSourceComments();
        state.attributes |= 2;
        writeRecord(line);
        return 1;
    default:
        endSourceComments();
        writeRecord(line);
        return 1;
    }
}

int JVeskBaseEx::convertPoint(const ConvertState &state) {
    int no = 0;
    CString name;
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
    int hUsed = 0;
    if (!readIntField(no, "点番号") || !readTextField(name, "点名") || !readRealField(x, "X座標") ||
        !readRealField(y, "Y座標") || !readHeightField(h, hUsed)) {
        m_errorState = ERR_CONTENT;
        return 0;
    }

    Coordinate point(x, y, 0.0, false, 0.0, false);
    CoordConvStatusD status = CrdCnvStatNone;
    if (state.direction == 0 || state.direction == 1) {
        if (state.chain.empty())
            return 0;
        const auto step = [&](const ICoordTransformer *transformer) {
            if (!transformer)
                return false;
            Coordinate next = point;
            const bool done = state.direction == 0
                                  ? transformer->Transform(point, &next, &status)
                                  : transformer->ReverseTransform(point, &next, &status);
            if (!done)
                return false;
            point = next;
            return true;
        };
        if (state.direction == 0) {
            for (const ICoordTransformer *transformer : state.chain)
                if (!step(transformer))
                    return 0;
        } else {
            for (auto it = state.chain.rbegin(); it != state.chain.rend(); ++it)
                if (!step(*it))
                    return 0;
        }
        if (!std::isfinite(point.GetX()) || !std::isfinite(point.GetY()))
            return 0;
    }

    // The name column as it stood in the source, blanks included.
    CString column;
    int width = kNameWidth;
    const JReadCSVFile *const reader = jreader();
    const auto &spans = reader->GetStrElmInfoVector();
    if (spans.size() > 2) {
        column = reader->GetBufferStr().Mid(spans[2].start, spans[2].length);
        width = std::max(kNameWidth, static_cast<int>(spans[2].length));
    }
    // Never a record that a read of the converted file would refuse.
    if (!pointFits(point.GetX(), point.GetY(), h, hUsed))
        return 0;
    const CString line = formatPointLine(no, column, width, point.GetX(), point.GetY(), h, hUsed);
    if (line.GetLength() - 1 > ReadCSVFile::LINE_LIMIT)
        return 0;
    writeRecord(line);
    if (status == CrdCnvStatDatumShift) {
        CString note;
        note.Format("情報：[%-*s]は３パラメータで変換されました。", width, column.GetString());
        writeComment(note);
    }
    return 1;
}
