#include "exchange/Dorrimet/ApaVeskBase.h"
#include "exchange/Dorrimet/FileProgress.h"

#include "exchange/Dorrimet/IPointRegister.h"
#include "exchange/Dorrimet/IPointSupplier.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CException.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cstring>

const ApaVeskBase::IdMap ApaVeskBase::m_sIdMap[8] = {
    {APAVESK_A, "A"}, {APAVESK_B, "B"}, {APAVESK_C, "C"}, {APAVESK_D, "D"},
    {APAVESK_E, "E"}, {APAVESK_F, "F"}, {APAVESK_G, "G"}, {APAVESK_Z, "Z"},
};
const EarthEllips ApaVeskBase::s_EllipBessel(6377397.155, 299.152813);
const EarthEllips ApaVeskBase::s_EllipGRS80(6378137.0, 298.257222101);

namespace {

constexpr unsigned kKindMax = 15;
constexpr unsigned kTextMax = 127;
constexpr const char *kVersionText = "01";

} // namespace

ApaVeskBase::ApaVeskBase() : m_planeBessel(&s_EllipBessel), m_planeGRS80(&s_EllipGRS80) {}

ApaVeskBase::~ApaVeskBase() = default;

// ---- Table lookups ----

int ApaVeskBase::readChkKind(const char *text) {
    if (!text)
        return APAVESK_NONE;
    for (const IdMap &entry : m_sIdMap) {
        if (std::strcmp(entry.code, text) == 0)
            return entry.id;
    }
    return APAVESK_NONE;
}

const char *ApaVeskBase::getLineKind(APAVESK_LINE_ID id) {
    for (const IdMap &entry : m_sIdMap) {
        if (entry.id == id)
            return entry.code;
    }
    return nullptr;
}

char ApaVeskBase::checkCharacter(const CString &text) {
    unsigned sum = 0;
    for (const char c : text.Bytes())
        sum += static_cast<unsigned char>(c);
    return static_cast<char>(((sum & 0xFF) & 0x3F) + 32);
}

// ---- Settings and defaults ----

void ApaVeskBase::SetCrdFigureNum(int intDigits, int decimals) {
    m_xyIntDigits = intDigits;
    m_xyDecimals = decimals;
}

void ApaVeskBase::SetHgtFigureNum(int intDigits, int decimals) {
    m_hIntDigits = intDigits;
    m_hDecimals = decimals;
}

unsigned ApaVeskBase::GetCommentSize() const { return 0; }

bool ApaVeskBase::GetComment(int, CString *) const { return false; }

bool ApaVeskBase::Convert(const CString &, const CString &, const CString &, ConvertMode,
                          const ICoordTransformer *, std::vector<CString> *, JIProgMsgBase *, int) {
    return false;
}

// ---- Files ----

int ApaVeskBase::openReadFile(const CString &path, int mode) {
    m_reader.reset();
    m_fileSize = 0;
    auto reader = std::make_unique<JReadCSVFile>(path, mode, false);
    if (reader->isnotUsed())
        return 0;
    m_fileSize = reader->GetFileSize();
    m_reader = std::move(reader);
    return 1;
}

void ApaVeskBase::closeReadFile() { m_reader.reset(); }

// ---- Reading ----

bool ApaVeskBase::reportProgress(JIProgMsgBase *progress) {
    if (!progress || !m_reader)
        return true;
    return !FileReadProgress(progress, m_reader->GetCurrentPos(), m_fileSize, m_lastPercent);
}

bool ApaVeskBase::stop(int state, const CString &reason) {
    m_errorState = state;
    SetStop(m_lineNo, reason);
    return false;
}

bool ApaVeskBase::readPointLine() {
    CString name;
    double x = 0.0;
    double y = 0.0;
    FIELD_FAULT fault = m_reader->readTextField(kTextMax, &name);
    if (fault != FIELD_OK)
        return stop(ERR_LINE, FileStop::FieldReason("点名", fault, kTextMax));
    fault = m_reader->readRealField(&x, true);
    if (fault != FIELD_OK)
        return stop(ERR_LINE, FileStop::FieldReason("X座標", fault, DivisionString::NUMBER_MAX));
    fault = m_reader->readRealField(&y, true);
    if (fault != FIELD_OK)
        return stop(ERR_LINE, FileStop::FieldReason("Y座標", fault, DivisionString::NUMBER_MAX));
    // No height field, or an empty one: no height.
    double h = 0.0;
    int hUsed = 0;
    fault = m_reader->readRealField(&h, true);
    if (fault == FIELD_OK)
        hUsed = 1;
    else if (fault == FIELD_MISSING || fault == FIELD_EMPTY)
        h = 0.0;
    else
        return stop(ERR_LINE, FileStop::FieldReason("標高", fault, DivisionString::NUMBER_MAX));
    if (!m_register->RegisterPoint(0, name, x, y, h, hUsed))
        return stop(ERR_REFUSED, kStopRefused);
    return true;
}

bool ApaVeskBase::readLine() {
    if (m_reader->isLineUnusable())
        return stop(ERR_LINE, m_reader->GetStopReason());
    char kind[kKindMax + 1];
    if (!m_reader->readString(kKindMax, kind))
        return true;
    switch (readChkKind(kind)) {
    case APAVESK_A:
        return true;
    case APAVESK_Z:
        m_fNotClosed = false;
        return true;
    case APAVESK_G:
        return readPointLine();
    default:
        m_errorState = ERR_LINE; // passed over
        return true;
    }
}

bool ApaVeskBase::Read(IPointRegister *pointRegister, const CString &path, JIProgMsgBase *progress,
                       int mode) {
    if (!pointRegister)
        return false;
    m_register = pointRegister;
    m_errorState = ERR_NONE;
    m_lineNo = 0;
    m_lastPercent = 0;
    m_fNotClosed = true;
    ClearStop();
    BeginFileRead(progress);
    // Every way out before the end closes the file and the wait dialog.
    const auto fail = [&] {
        closeReadFile();
        if (progress) {
            progress->ProgressEnd();
            progress->ProgressTerm();
        }
        return false;
    };
    if (!openReadFile(path, mode)) {
        SetStop(0, kStopOpen);
        return fail();
    }
    try {
        while (m_reader->startLine()) {
            ++m_lineNo;
            if (!readLine())
                return fail();
            if (!reportProgress(progress)) {
                SetStop(m_lineNo, kStopCancel);
                return fail();
            }
        }
        if (m_reader->stoppedAtUndecodableLine()) {
            m_lineNo = m_reader->GetStopLine();
            stop(ERR_LINE, m_reader->GetStopReason());
            return fail();
        }
    } catch (const CException &) {
        fail();
        throw;
    }
    closeReadFile();
    if (!EndFileRead(progress, m_register)) {
        SetStop(0, kStopEndRegister);
        return false;
    }
    return true;
}

// ---- Writing ----

void ApaVeskBase::writeCheckedLine(const CString &text) {
    CString line;
    line.Format("%s%c,\n", text.GetString(), checkCharacter(text));
    if (!m_writer || !m_writer->writeLine(line))
        AfxThrowFileException(CFileException::invalidFile);
}

CString ApaVeskBase::formatPointText(const CString &name, double x, double y, double h,
                                     bool hUsed) const {
    const int xyWidth = m_xyIntDigits + m_xyDecimals + 1;
    CString height;
    if (hUsed)
        height.Format("%*.*f", m_hIntDigits + m_hDecimals + 1, m_hDecimals, h);
    CString text;
    text.Format("%s,%s,%*.*f,%*.*f,%s,", getLineKind(APAVESK_G), name.GetString(), xyWidth,
                m_xyDecimals, x, xyWidth, m_xyDecimals, y, height.GetString());
    return text;
}

bool ApaVeskBase::WritePoints(IPointSupplier *supplier, const CString &path) {
    ClearStop();
    if (!supplier)
        return false;
    m_supplier = supplier;
    // Every point is formatted before the file is made: a point that could not
    // be read back leaves no file with fewer points behind.
    std::vector<CString> points;
    const unsigned count = supplier->GetPointSize();
    for (unsigned i = 0; i < count; ++i) {
        CString name;
        double x = 0.0;
        double y = 0.0;
        double b = 0.0;
        double l = 0.0;
        int zone = 0;
        double h = 0.0;
        bool hUsed = false;
        if (!supplier->GetPointWithBL(i, &name, &x, &y, &b, &l, &zone, &h, &hUsed, nullptr))
            continue;
        if (const CString fault = CsvPointNameFault(i + 1, name); !fault.IsEmpty()) {
            SetStop(0, fault);
            return false;
        }
        if (!DivisionString::NumberFits(x, m_xyDecimals) ||
            !DivisionString::NumberFits(y, m_xyDecimals) ||
            (hUsed && !DivisionString::NumberFits(h, m_hDecimals))) {
            CString reason;
            reason.Format("%u番目の点[%s]の座標値はこの形式で書き出せません。", i + 1,
                          name.GetString());
            SetStop(0, reason);
            return false;
        }
        points.push_back(formatPointText(name, x, y, h, hUsed));
    }
    m_writer.reset();
    auto writer = std::make_unique<WriteTextFile>(path);
    if (writer->isnotUsed())
        return false;
    m_writer = std::move(writer);
    try {
        CString opening;
        opening.Format("%s,%s,", getLineKind(APAVESK_A), kVersionText);
        writeCheckedLine(opening);
        for (const CString &text : points)
            writeCheckedLine(text);
        writeCheckedLine(CString(getLineKind(APAVESK_Z)) + ",");
        const std::unique_ptr<WriteTextFile> closing = std::move(m_writer);
        closing->close();
    } catch (const CException &) {
        // Not closed: the file at the path stays as it was.
        m_writer.reset();
        throw;
    }
    return true;
}

// ---- Format check ----

bool ApaVeskBase::JudgeFormat(const CString &path) {
    if (!openReadFile(path, 2))
        return false;
    bool seenOpening = false;
    bool seenPoint = false;
    try {
        int lines = 0;
        while (m_reader->startLine()) {
            ++lines;
            char kind[kKindMax + 1];
            const int id = m_reader->readString(kKindMax, kind) ? readChkKind(kind) : 0;
            if (id == APAVESK_A) {
                seenOpening = true;
            } else if (id == APAVESK_G) {
                seenPoint = true;
                break;
            } else if (id == APAVESK_Z || lines >= 100) {
                break;
            }
        }
    } catch (const CException &) {
        closeReadFile();
        throw;
    }
    closeReadFile();
    return seenOpening && seenPoint;
}
