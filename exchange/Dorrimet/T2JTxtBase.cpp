#include "exchange/Dorrimet/T2JTxtBase.h"
#include "exchange/Dorrimet/ConvertTally.h"
#include "exchange/Dorrimet/FileProgress.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "exchange/Pomtrek/WriteTextFile.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CException.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <ctime>
#include <string>

namespace {

constexpr int kJudgeLines = 99;

const char kCancelText[] = "情報：ユーザーにより変換処理は途中で中止されました。";
const char kDatumShiftMark[] = " 3parameters";
const char kNoNumbers[] = "X座標とY座標の2つの数値が読めません。";

// An optional sign, decimal digits and at most one point, with at least one digit.
bool isPlainNumber(const CString &token) {
    const std::string &s = token.Bytes();
    std::size_t i = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digit = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

void addMessage(std::vector<CString> *messages, const CString &text) {
    if (messages)
        messages->push_back(text);
}

CString pointLine(double x, double y, const CString &name) {
    CString line;
    line.Format("%12.4f %12.4f %s\n", x, y, name.GetString());
    return line;
}

// Whether a read gives the name back from its point line: the reader trims the name, and other
// programs take a "#" for the start of a comment.
bool nameReadsBack(const CString &name) {
    return CString(name).Trim() == name && (name.IsEmpty() || name[0] != '#');
}

} // namespace

// ---------------------------------------------------------------------------------------------
// ReadT2JTxtFile

ReadT2JTxtFile::ReadT2JTxtFile(const CString &path, int, int) : ReadTextFile(path) {
    if (isUsed()) {
        try {
            m_nFileSize = m_file->GetLength();
        } catch (const CFileException &) {
            m_nFileSize = 0;
        }
    }
}

ReadT2JTxtFile::~ReadT2JTxtFile() = default;

bool ReadT2JTxtFile::isShiftJIS1stByte(unsigned char c) { return CString::IsLeadByte(c); }

std::uint64_t ReadT2JTxtFile::GetCurrentPos() const { return isUsed() ? m_file->GetPosition() : 0; }

int ReadT2JTxtFile::startLine() {
    endLine();
    // The whole line is taken: a longer one is never cut into a second line.
    if (!takeLine(LINE_LIMIT))
        return 0;
    m_bComment = m_line[0] == '#' && !m_lineHasNul;
    return 1;
}

int ReadT2JTxtFile::endLine() {
    m_line.Empty();
    m_lineTooLong = false;
    m_lineHasNul = false;
    m_bComment = false;
    m_nPos = 0;
    return 1;
}

std::string_view ReadT2JTxtFile::content() const {
    std::string_view line(m_line.Bytes());
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

bool ReadT2JTxtFile::ReadLine() { return startLine() != 0; }

bool ReadT2JTxtFile::IsCommentLine() const { return m_bComment; }

bool ReadT2JTxtFile::readDouble(double *value, bool strict) {
    if (isLineUnusable())
        return false;
    const std::string_view s = content();
    std::size_t first = static_cast<std::size_t>(m_nPos);
    while (first < s.size() && s[first] == ' ')
        ++first;
    std::size_t end = first;
    while (end < s.size() && s[end] != ' ')
        ++end;
    if (end == first)
        return false;
    m_nPos = static_cast<int>(end);
    CString token(s.substr(first, end - first));
    token.Trim();
    if (strict) {
        for (int i = 0; i < token.GetLength(); ++i)
            if (isShiftJIS1stByte(static_cast<unsigned char>(token[i])))
                return false;
        if (!isPlainNumber(token))
            return false;
    }
    double parsed = 0.0;
    if (token.IsEmpty() || !ParseDouble(token.Bytes(), parsed))
        return false;
    if (value)
        *value = parsed;
    return true;
}

bool ReadT2JTxtFile::readComment(CString *name) {
    // Without the line feed: a lead byte before it must not take it into the name.
    const std::string_view line = content();
    const std::size_t pos = std::min(static_cast<std::size_t>(m_nPos), line.size());
    CString rest(line.substr(pos));
    rest.Trim();
    m_nPos = static_cast<int>(line.size());
    if (name)
        *name = rest;
    return true;
}

bool ReadT2JTxtFile::GetCrdData(CString *name, double *x, double *y, bool strict) {
    if (!readDouble(x, strict) || !readDouble(y, strict))
        return false;
    readComment(name);
    return true;
}

// ---------------------------------------------------------------------------------------------
// T2JTxtBase

T2JTxtBase::T2JTxtBase() = default;

T2JTxtBase::~T2JTxtBase() = default;

bool T2JTxtBase::moreDataFollows() {
    while (m_pReader->ReadLine()) {
        ++m_nLineNo;
        if (m_pReader->IsCommentLine())
            continue;
        CString line = m_pReader->GetBufferStr();
        if (!line.Trim().IsEmpty()) {
            SetStop(m_nLineNo, "空行の後にデータがあります。");
            return true;
        }
    }
    return false;
}

void T2JTxtBase::noteBadLine(const CString &reason) {
    if (m_nFirstBadLine == 0) {
        m_nFirstBadLine = m_nLineNo;
        m_firstBadReason = reason;
    }
}

bool T2JTxtBase::readPoints(const CString &path, JIProgMsgBase *progress) {
    IPointRegister *reg = m_pRegister;
    ClearStop();
    if (!reg)
        return false;
    BeginFileRead(progress);
    m_pReader = std::make_unique<ReadT2JTxtFile>(path, 0, 0);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        SetStop(0, kStopOpen);
        if (progress)
            progress->ProgressEnd();
        return false;
    }
    m_nFileSize = m_pReader->GetFileSize();
    m_nLastPercent = 0;
    m_nLineNo = 0;

    bool failed = false;
    try {
        int number = 0;
        while (!failed && m_pReader->ReadLine()) {
            ++m_nLineNo;
            if (m_pReader->IsCommentLine())
                continue;
            CString name;
            double x = 0.0;
            double y = 0.0;
            if (!m_pReader->GetCrdData(&name, &x, &y, false)) {
                // The points end at a blank line; points after it, or a line that is no point,
                // would otherwise be dropped unseen.
                CString line = m_pReader->GetBufferStr();
                if (!line.Trim().IsEmpty()) {
                    SetStop(m_nLineNo, m_pReader->isLineUnusable() ? m_pReader->GetStopReason()
                                                                   : CString(kNoNumbers));
                    failed = true;
                } else {
                    failed = moreDataFollows();
                }
                break;
            }
            if (!reg->RegisterPoint(++number, name, x, y, 0.0, 0)) {
                SetStop(m_nLineNo, kStopRefused);
                failed = true;
                break;
            }
            if (progress && FileReadProgress(progress, m_pReader->GetCurrentPos(), m_nFileSize,
                                             m_nLastPercent)) {
                SetStop(m_nLineNo, kStopCancel);
                failed = true;
            }
        }
        if (!failed && m_pReader->stoppedAtUndecodableLine()) {
            SetStop(m_pReader->GetStopLine(), m_pReader->GetStopReason());
            failed = true;
        }
    } catch (const CException &) {
        m_pReader.reset();
        throw;
    }
    m_pReader.reset();
    if (failed) {
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

void T2JTxtBase::writeHeader(int direction) {
    std::vector<CString> lines;
    if (!GetConvertComments(&lines, direction, m_ConvData))
        return;
    for (const CString &line : lines)
        m_pWriter->writeLine("# " + line + "\n");
}

bool T2JTxtBase::writePoints(const CString &path) {
    IPointSupplier *supplier = m_pSupplier;
    ClearStop();
    if (!supplier)
        return false;
    const bool gridMethod = m_ConvData.kind == CrdCnvTKY2JGD;
    // Every point is formatted before the file is made: a point that could not be read back
    // leaves no file with fewer points behind.
    std::vector<CString> points;
    const unsigned count = supplier->GetPointSize();
    for (unsigned i = 0; i < count; ++i) {
        CString name;
        double x = 0.0, y = 0.0, b = 0.0, l = 0.0, h = 0.0;
        int zone = 0;
        int status = 0;
        bool hUsed = false;
        if (!supplier->GetPointWithBL(i, &name, &x, &y, &b, &l, &zone, &h, &hUsed, &status))
            continue;
        if (name.Bytes().find('\0') != std::string::npos) {
            CString reason;
            reason.Format("%u番目の点[%s]の点名にNUL文字があるため、この形式では書き出せません。",
                          i + 1, name.GetString());
            SetStop(0, reason);
            return false;
        }
        if (!nameReadsBack(name)) {
            CString reason;
            reason.Format("%u番目の点[%s]の点名は前後の空白か先頭の#のため、この形式では書き出"
                          "せません。",
                          i + 1, name.GetString());
            SetStop(0, reason);
            return false;
        }
        CString marked = name;
        if (gridMethod && status == CrdCnvStatDatumShift)
            marked += kDatumShiftMark;
        const CString line = pointLine(x, y, marked);
        if (!std::isfinite(x) || !std::isfinite(y) ||
            line.GetLength() - 1 > ReadT2JTxtFile::LINE_LIMIT) {
            CString reason;
            reason.Format("%u番目の点[%s]はこの形式の行に収まりません。", i + 1, name.GetString());
            SetStop(0, reason);
            return false;
        }
        points.push_back(line);
    }
    m_pWriter = std::make_unique<WriteTextFile>(path);
    if (m_pWriter->isnotUsed()) {
        m_pWriter.reset();
        SetStop(0, kStopOpen);
        return false;
    }
    try {
        if (gridMethod) {
            writeHeader(0);
        } else {
            const unsigned count = GetCommentSize();
            CString text;
            for (unsigned i = 0; i < count && GetComment(static_cast<int>(i), &text); ++i)
                m_pWriter->writeLine(text + "\n");
        }
        for (const CString &line : points)
            m_pWriter->writeLine(line);
        m_pWriter->close();
    } catch (const CException &) {
        m_pWriter.reset();
        throw;
    }
    m_pWriter.reset();
    return true;
}

int T2JTxtBase::JudgeFormat(const CString &path) {
    m_pReader = std::make_unique<ReadT2JTxtFile>(path, 0, 0);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        return 0;
    }
    int result = 0;
    int lines = 0;
    try {
        while (m_pReader->ReadLine()) {
            ++lines;
            if (m_pReader->IsCommentLine())
                continue;
            CString name;
            double x = 0.0;
            double y = 0.0;
            if (m_pReader->GetCrdData(&name, &x, &y, true)) {
                result = 1;
                break;
            }
            if (lines > kJudgeLines)
                break;
        }
    } catch (const CException &) {
        m_pReader.reset();
        throw;
    }
    m_pReader.reset();
    return result;
}

bool T2JTxtBase::Convert(const CString &src, const CString &dst, ConvertMode mode, int n,
                         const ICoordTransformer *transformer, CoordCnvKind kind,
                         std::vector<CString> *messages, JIProgMsgBase *progress) {
    m_nLineNo = 0;
    m_nLastPercent = 0;
    m_nStepCount = 0;
    m_nFileSize = 0;
    m_nFirstBadLine = 0;
    m_firstBadReason.Empty();
    ClearStop();
    // The format has no coordinate-system line: only mode 1 converts backwards.
    const int direction = mode == ConvertToOld ? 1 : 0;
    m_ConvData = ConvData{mode, src, dst, n, transformer, kind};

    CString text;
    m_pReader = std::make_unique<ReadT2JTxtFile>(src, 0, 0);
    if (m_pReader->isnotUsed()) {
        m_pReader.reset();
        text.Format("変換元のファイルがオープンできませんでした。 ファイル:[%s]", src.GetString());
        addMessage(messages, text);
        SetStop(0, text);
        return false;
    }
    try {
        m_pWriter = std::make_unique<WriteTextFile>(dst, WriteTextFile::NEW_FILE_FLAGS);
    } catch (const CException &) {
        m_pWriter.reset();
        m_pReader.reset();
        text.Format("変換先のファイルがオープンできませんでした。 ファイル:[%s]", dst.GetString());
        addMessage(messages, text);
        SetStop(0, text);
        return false;
    }
    m_nFileSize = m_pReader->GetFileSize();

    bool whole = false; // every line of the source was taken
    bool cancelled = false;
    int errors = 0;
    ConvertTally tally;
    try {
        if (progress)
            progress->ProgressStart(ProgressCount(m_nFileSize));
        m_tStart = static_cast<std::int64_t>(std::time(nullptr));
        writeHeader(direction);
        for (;;) {
            if (!m_pReader->ReadLine()) {
                whole = true;
                break;
            }
            ++m_nLineNo;
            const CString line = m_pReader->GetBufferStr();
            CString name;
            double x = 0.0;
            double y = 0.0;
            if (m_pReader->IsCommentLine()) {
                m_pWriter->writeLine(line);
            } else if (!m_pReader->GetCrdData(&name, &x, &y, true)) {
                // Copied whole, a NUL too, with its line end.
                m_pWriter->writeLine(line);
                noteBadLine(m_pReader->isLineUnusable() ? m_pReader->GetStopReason()
                                                        : CString(kNoNumbers));
                ++errors;
                if (!CString(line).Trim().IsEmpty())
                    tally.KeptBack(m_nLineNo);
            } else {
                Coordinate from(x, y, 0.0, false, 0.0, false);
                Coordinate to;
                CoordConvStatusD status = CrdCnvStatNone;
                bool ok = transformer != nullptr &&
                          (direction == 0 ? transformer->Transform(from, &to, &status)
                                          : transformer->ReverseTransform(from, &to, &status));
                ok = ok && std::isfinite(to.GetX()) && std::isfinite(to.GetY());
                if (ok && status == CrdCnvStatDatumShift)
                    name += kDatumShiftMark;
                const CString converted = ok ? pointLine(to.GetX(), to.GetY(), name) : CString();
                // Never a line that a read of the converted file would refuse.
                if (ok && converted.GetLength() - 1 <= ReadT2JTxtFile::LINE_LIMIT) {
                    m_pWriter->writeLine(converted);
                    tally.Converted();
                } else {
                    // Never written as it stands among converted points: kept as a comment.
                    m_pWriter->writeLine("# " + line);
                    noteBadLine("この行の座標は変換できませんでした。");
                    ++errors;
                    tally.KeptBack(m_nLineNo);
                }
            }
            if (progress && FileProgressStep(progress, m_pReader->GetCurrentPos(), m_nFileSize,
                                             m_nLastPercent, m_nStepCount)) {
                addMessage(messages, kCancelText);
                SetStop(m_nLineNo, kStopCancel);
                cancelled = true;
                break;
            }
        }
        // The rest of a file that cannot be read into cp932 is not converted.
        if (m_pReader->stoppedAtUndecodableLine()) {
            addMessage(messages, ConvertTally::UndecodableLineMessage(m_pReader->GetStopLine(),
                                                                      m_pReader->GetStopReason()));
            SetStop(m_pReader->GetStopLine(), m_pReader->GetStopReason());
            whole = false;
        }
    } catch (const CException &e) {
        text = ConvertTally::ErrorMessage(e.GetErrorMessage());
        addMessage(messages, text);
        SetStop(m_nLineNo, text);
    }
    m_tEnd = static_cast<std::int64_t>(std::time(nullptr));
    m_pReader.reset();
    // Only a conversion that took every line is put in place; a stopped one leaves no file.
    if (whole) {
        try {
            m_pWriter->close();
        } catch (const CException &e) {
            if (ConvertTally::WrittenUnconfirmed(e)) {
                // In place; the disk did not confirm it.
                addMessage(messages, e.GetErrorMessage());
            } else {
                text = ConvertTally::ErrorMessage(e.GetErrorMessage());
                addMessage(messages, text);
                if (GetStopReason().IsEmpty())
                    SetStop(0, text);
                whole = false;
            }
        }
    }
    m_pWriter.reset();
    if (errors > 0) {
        if (GetStopReason().IsEmpty())
            SetStop(m_nFirstBadLine, m_firstBadReason);
        // The lines are said to be in the output only when it was put in place.
        text.Format("ファイル変換過程で%d行分のエラーが発生しました。", errors);
        if (whole)
            text += "エラーの発生した行はそのまま出力されています。";
        addMessage(messages, text);
    }
    tally.AddMessages(messages, whole       ? ConvertEnd::Written
                                : cancelled ? ConvertEnd::Cancelled
                                            : ConvertEnd::Stopped);
    if (progress)
        progress->ProgressEnd();
    return whole && errors == 0;
}
