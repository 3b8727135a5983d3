#include "exchange/Vesk/VeskBase.h"

#include "platform/core/CException.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cstring>

const VeskBase::IdMap VeskBase::m_sIdMap[22] = {
    {VESK_A00, "A00"}, {VESK_A01, "A01"}, {VESK_A99, "A99"}, {VESK_B01, "B01"}, {VESK_B03, "B03"},
    {VESK_C00, "C00"}, {VESK_C01, "C01"}, {VESK_C02, "C02"}, {VESK_C03, "C03"}, {VESK_C99, "C99"},
    {VESK_D00, "D00"}, {VESK_D99, "D99"}, {VESK_E00, "E00"}, {VESK_E01, "E01"}, {VESK_E03, "E03"},
    {VESK_E99, "E99"}, {VESK_F00, "F00"}, {VESK_F03, "F03"}, {VESK_F99, "F99"}, {VESK_G00, "G00"},
    {VESK_Z00, "Z00"}, {VESK_Z01, "Z01"},
};
const char VeskBase::m_cVer01[3] = "01";
const char VeskBase::m_cVer02[3] = "02";
const char VeskBase::m_cVer03[3] = "03";

namespace {

constexpr unsigned kCodeMax = 15;
constexpr unsigned kTextMax = 127;
constexpr int kNameWidth = 16;

const char kRefusedReason[] = "データの登録ができません。";

} // namespace

VeskBase::VeskBase() = default;

VeskBase::~VeskBase() = default;

// ---- Table lookups and messages ----

const char *VeskBase::getLineKind(VESK_LINE_ID id) {
    for (const IdMap &entry : m_sIdMap) {
        if (entry.id == id)
            return entry.code;
    }
    return nullptr;
}

int VeskBase::readChkKind(const char *text) {
    if (!text)
        return 0;
    for (const IdMap &entry : m_sIdMap) {
        if (std::strncmp(entry.code, text, 3) == 0)
            return entry.id;
    }
    return 0;
}

CString VeskBase::getReadErrorMessage() const {
    CString message;
    if (m_errorState == ERR_CONTENT)
        message.Format("%d行目の内容が不正です。\n", m_lineNo);
    else if (m_errorState == ERR_REFUSED)
        message.Format("%d行目のデータの登録ができません。\n", m_lineNo);
    return message;
}

void VeskBase::setCommentNum(int count) { m_commentNum = count; }

// ---- Default operations ----

int VeskBase::CheckCoordSysKind(int) { return 1; }

int VeskBase::GetComment(int, CString *) { return 0; }

int VeskBase::ErrMsgOfVersion(int) { return 0; }

int VeskBase::AskErrorExecute() { return 0; }

int VeskBase::OpenReadFile(const CString &path, int mode) {
    m_reader.reset();
    auto reader = std::make_unique<ReadCSVFile>(path, mode);
    if (reader->isnotUsed())
        return 0;
    m_reader = std::move(reader);
    return 1;
}

int VeskBase::OpenWriteFile(const CString &path) {
    m_writer.reset();
    m_writer = std::make_unique<WriteTextFile>(path, WriteTextFile::DEFAULT_FLAGS);
    return 1;
}

int VeskBase::CloseReadFile() {
    if (!m_reader)
        return 0;
    m_reader.reset();
    return 1;
}

int VeskBase::CloseWriteFile() {
    if (!m_writer)
        return 0;
    const std::unique_ptr<WriteTextFile> writer = std::move(m_writer);
    writer->close();
    return 1;
}

// ---- Reading ----

int VeskBase::Read(const CString &path, int readFlags, int mode) {
    m_readFlags = readFlags;
    m_lineNo = 0;
    m_errorState = ERR_NONE;
    m_inPoints = m_inLot = m_inRoute = m_inElement = m_inTriangles = 0;
    ClearStop();
    if (!OpenReadFile(path, mode)) {
        SetStop(0, kStopOpen);
        return 0;
    }
    try {
        for (;;) {
            if (!m_reader)
                return 0; // closed by a handler
            if (!m_reader->startLine())
                break;
            ++m_lineNo;
            if (!readLineRecord()) {
                CloseReadFile();
                return 0;
            }
        }
    } catch (const CException &) {
        CloseReadFile();
        throw;
    }
    const bool stopped = stoppedAtUndecodableLine();
    CloseReadFile();
    return stopped ? 0 : 1;
}

int VeskBase::stopRecord(int state, const CString &reason) {
    m_errorState = state;
    SetStop(m_lineNo, reason);
    return 0;
}

bool VeskBase::stoppedAtUndecodableLine() {
    if (!m_reader || !m_reader->stoppedAtUndecodableLine())
        return false;
    m_lineNo = m_reader->GetStopLine();
    stopRecord(ERR_CONTENT, m_reader->GetStopReason());
    return true;
}

int VeskBase::recordFailed(int state, const CString &reason) {
    m_errorState = state;
    if (!(m_readFlags & READ_GO_ON)) {
        if (!AskErrorExecute())
            return stopRecord(state, reason);
        m_readFlags |= READ_GO_ON;
    }
    NotePassedOver(m_lineNo);
    return 1;
}

bool VeskBase::readTextField(CString &text, const char *what) {
    const FIELD_FAULT fault = m_reader->readTextField(kTextMax, &text);
    if (fault == FIELD_OK)
        return true;
    m_fieldReason = FieldReason(what, fault, kTextMax);
    return false;
}

bool VeskBase::readIntField(int &value, const char *what, bool strict) {
    FIELD_FAULT fault = m_reader->readIntField(&value);
    if (fault == FIELD_EMPTY && !strict) {
        value = 0;
        fault = FIELD_OK;
    }
    if (fault == FIELD_OK)
        return true;
    m_fieldReason = FieldReason(what, fault, DivisionString::NUMBER_MAX);
    return false;
}

bool VeskBase::readRealField(double &value, const char *what) {
    const FIELD_FAULT fault = m_reader->readRealField(&value, true);
    if (fault == FIELD_OK)
        return true;
    m_fieldReason = FieldReason(what, fault, DivisionString::NUMBER_MAX);
    return false;
}

bool VeskBase::readHeightField(double &value, int &used) {
    const FIELD_FAULT fault = m_reader->readRealField(&value, true);
    if (fault == FIELD_EMPTY) {
        value = 0.0;
        used = 0;
        return true;
    }
    if (fault != FIELD_OK) {
        m_fieldReason = FieldReason("標高", fault, DivisionString::NUMBER_MAX);
        return false;
    }
    used = 1;
    return true;
}

bool VeskBase::pointFits(double x, double y, double h, int hUsed) const {
    return DivisionString::NumberFits(x, m_xyDecimals) &&
           DivisionString::NumberFits(y, m_xyDecimals) &&
           (!hUsed || DivisionString::NumberFits(h, m_hDecimals));
}

int VeskBase::readLineRecord() {
    m_errorState = ERR_NONE;
    if (!m_reader)
        return 0;
    if (m_reader->isLineUnusable())
        return recordFailed(ERR_CONTENT, m_reader->GetStopReason());
    char code[kCodeMax + 1];
    if (!m_reader->readString(kCodeMax, code)) {
        m_errorState = ERR_CONTENT; // passed over like an unknown code
        return 1;
    }
    switch (readChkKind(code)) {
    case VESK_A00:
        if (m_readFlags & READ_POINTS)
            m_inPoints = 1;
        return 1;
    case VESK_A01:
        return readPoint();
    case VESK_A99:
        m_inPoints = 0;
        return 1;
    case VESK_B01:
        return readLotMember();
    case VESK_B03:
        return readRouteDistance();
    case VESK_C00:
        if (m_inLot || m_inRoute)
            m_inElement = 1;
        return 1;
    case VESK_C01:
        return readRadius();
    case VESK_C02:
        return readClothoid();
    case VESK_C03:
        return readLineAttributes();
    case VESK_C99:
        if (!m_inElement) {
            // Outside a lot or route that was taken C00 is not followed either.
            if (!m_inLot && !m_inRoute)
                return 1;
            return stopRecord(ERR_CONTENT, "C00のないC99があります。");
        }
        m_inElement = 0;
        return 1;
    case VESK_D00:
        return readLotStart();
    case VESK_D99:
        return readLotEnd();
    case VESK_E00:
        if (m_inLot) {
            if (m_inTriangles)
                return stopRecord(ERR_CONTENT, "E99のないまま次のE00があります。");
            m_inTriangles = 1;
        }
        return 1;
    case VESK_E01:
        return readTriangle();
    case VESK_E03:
        return readTriangleAttributes();
    case VESK_E99:
        if (m_inLot) {
            if (!m_inTriangles)
                return stopRecord(ERR_CONTENT, "E00のないE99があります。");
            m_inTriangles = 0;
        }
        return 1;
    case VESK_F00:
        return readRouteStart();
    case VESK_F03:
        return readLineDistance();
    case VESK_F99:
        return readRouteEnd();
    case VESK_G00:
        return readSiteName();
    case VESK_Z00:
        return 1;
    case VESK_Z01:
        return readCoordSys();
    default:
        m_errorState = ERR_CONTENT; // unknown codes never stop a read
        return 1;
    }
}

int VeskBase::readPoint() {
    if (!m_inPoints)
        return 1;
    int no = 0;
    CString name;
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
    int hUsed = 0;
    if (!readIntField(no, "点番号") || !readTextField(name, "点名") || !readRealField(x, "X座標") ||
        !readRealField(y, "Y座標") || !readHeightField(h, hUsed))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (!AddPoint(no, name, x, y, h, hUsed))
        return recordFailed(ERR_REFUSED, kRefusedReason);
    return 1;
}

int VeskBase::readLotMember() {
    int no = 0;
    CString name;
    if (!readIntField(no, "点番号") || !readTextField(name, "点名"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (m_inLot) {
        if (!AddPointOfLot(no, name)) {
            m_inLot = 0;
            return recordFailed(ERR_REFUSED, kRefusedReason);
        }
    } else if (m_inRoute) {
        if (!AddPointOfRoute(no, name)) {
            m_inRoute = 0;
            return recordFailed(ERR_REFUSED, kRefusedReason);
        }
    }
    return 1;
}

int VeskBase::readRouteDistance() {
    double distance = 0.0;
    if (!readRealField(distance, "距離"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (m_inRoute && !AddDistOfRoute(distance)) {
        m_inRoute = 0;
        return recordFailed(ERR_REFUSED, kRefusedReason);
    }
    return 1;
}

int VeskBase::readRadius() {
    int kind = 0;
    double value = 0.0;
    if (!readIntField(kind, "半径の種類") || !readRealField(value, "半径"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (m_inLot) {
        if (!AddRadiusOfLot(static_cast<RADIUS_KIND>(kind), value))
            return recordFailed(ERR_REFUSED, kRefusedReason); // the lot stays open
    } else if (m_inRoute) {
        if (!AddRadiusOfRoute(static_cast<RADIUS_KIND>(kind), value)) {
            m_inRoute = 0;
            return recordFailed(ERR_REFUSED, kRefusedReason);
        }
    }
    return 1;
}

int VeskBase::readClothoid() {
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    if (!readRealField(a, "クロソイドの値") || !readRealField(b, "クロソイドの値") ||
        !readRealField(c, "クロソイドの値"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (m_inRoute && !AddClosoidOfRoute(a, b, c)) {
        m_inRoute = 0;
        return recordFailed(ERR_REFUSED, kRefusedReason);
    }
    return 1;
}

int VeskBase::readLineAttributes() {
    double values[2] = {0.0, 0.0};
    int mask = 0;
    bool missing = false;
    for (int i = 0; i < 2; ++i) {
        double value = 0.0;
        const DIV_ERROR result = m_reader->readDoubleEx(&value);
        missing = missing || result == DIV_NOFIELD;
        if (result == DIV_OK) {
            values[i] = value;
            mask |= 1 << i;
        }
    }
    if (missing)
        return recordFailed(ERR_CONTENT, FieldReason("線属性", FIELD_MISSING, 0));
    if (mask == 0 || !m_inRoute)
        return 1;
    if (!AddLineAttrOfRoute(values[0], values[1], mask)) {
        m_inRoute = 0;
        return recordFailed(ERR_REFUSED, kRefusedReason);
    }
    return 1;
}

int VeskBase::readLotStart() {
    if (!(m_readFlags & READ_LOTS))
        return 1;
    m_inLot = 0;
    int no = 0;
    CString name;
    int kind = 0;
    if (!readIntField(no, "画地番号") || !readTextField(name, "画地名") ||
        !readIntField(kind, "画地の種類"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (!AddLotStart(no, name, static_cast<LOT_KIND>(kind)))
        return recordFailed(ERR_REFUSED, kRefusedReason);
    m_inLot = 1;
    return 1;
}

int VeskBase::readLotEnd() {
    if (!(m_readFlags & READ_LOTS))
        return 1;
    const bool refused = m_inLot && !AddLotEnd();
    m_inLot = m_inTriangles = m_inElement = 0;
    return refused ? recordFailed(ERR_REFUSED, kRefusedReason) : 1;
}

int VeskBase::readTriangle() {
    if (!m_inLot || !m_inTriangles)
        return 1;
    int no[3] = {0, 0, 0};
    for (int &n : no) {
        CString name; // the names are not used
        if (!readIntField(n, "点番号") || !readTextField(name, "点名"))
            return recordFailed(ERR_CONTENT, m_fieldReason);
    }
    if (!AddTriangleOfLot(no[0], no[1], no[2])) {
        m_inTriangles = m_inLot = 0;
        return recordFailed(ERR_REFUSED, kRefusedReason);
    }
    return 1;
}

int VeskBase::readTriangleAttributes() {
    double values[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    int mask = 0;
    bool missing = false;
    for (int i = 0; i < 5; ++i) {
        double value = 0.0;
        const DIV_ERROR result = m_reader->readDoubleEx(&value);
        missing = missing || result == DIV_NOFIELD;
        if (result == DIV_OK) {
            values[i] = value;
            mask |= 1 << i;
        }
    }
    if (missing)
        return recordFailed(ERR_CONTENT, FieldReason("三角形属性", FIELD_MISSING, 0));
    if (m_inLot && m_inTriangles &&
        !AddTriAttrOfLot(values[0], values[1], values[2], values[3], values[4], mask)) {
        m_inTriangles = m_inLot = 0;
        return recordFailed(ERR_REFUSED, kRefusedReason);
    }
    return 1;
}

int VeskBase::readRouteStart() {
    if (!(m_readFlags & READ_ROUTES))
        return 1;
    m_inRoute = 0;
    int no = 0;
    int second = 0;
    CString name;
    int kind = 0;
    if (!readIntField(no, "路線番号") || !readIntField(second, "路線の第2番号") ||
        !readTextField(name, "路線名") || !readIntField(kind, "路線の種類"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if (!AddRouteStart(no, second, name, static_cast<ROUTE_KIND>(kind)))
        return recordFailed(ERR_REFUSED, kRefusedReason);
    m_inRoute = 1;
    return 1;
}

int VeskBase::readLineDistance() {
    // Handled whatever happens: a failure is noted but never asked about.
    if (!m_inRoute)
        return 1;
    double distance = 0.0;
    if (!readRealField(distance, "距離")) {
        m_errorState = ERR_CONTENT;
    } else if (!AddLineDistOfRoute(distance)) {
        m_inRoute = 0;
        m_errorState = ERR_REFUSED;
    }
    return 1;
}

int VeskBase::readRouteEnd() {
    if (!(m_readFlags & READ_ROUTES))
        return 1;
    const bool refused = m_inRoute && !AddRouteEnd();
    m_inRoute = m_inElement = 0;
    return refused ? recordFailed(ERR_REFUSED, kRefusedReason) : 1;
}

int VeskBase::readSiteName() {
    int version = 0;
    CString siteName;
    if (!readIntField(version, "バージョン") || !readTextField(siteName, "現場名"))
        return recordFailed(ERR_CONTENT, m_fieldReason);
    if ((version < 1 || version > 3) && !ErrMsgOfVersion(version)) {
        CString reason;
        reason.Format("バージョン%dのファイルは読み込めません。", version);
        return stopRecord(ERR_VERSION, reason);
    }
    if (!AddSiteName(siteName))
        return recordFailed(ERR_REFUSED, kRefusedReason);
    return 1;
}

int VeskBase::readCoordSys() {
    // The datum decides every coordinate: an empty value is no value.
    int kind = 0;
    if (!readIntField(kind, "座標系", true))
        return stopRecord(ERR_CONTENT, m_fieldReason);
    if (!CheckCoordSysKind(kind)) {
        CString reason;
        reason.Format("ファイルの座標系(%d)は受け付けられません。", kind);
        return stopRecord(ERR_REFUSED, reason);
    }
    return 1;
}

// ---- Writing ----

void VeskBase::writeRecord(const CString &text) {
    if (!m_writer || !m_writer->writeLine(text))
        AfxThrowFileException(CFileException::invalidFile);
}

void VeskBase::writeCode(VESK_LINE_ID id) {
    CString line;
    line.Format("%3s,\n", getLineKind(id));
    writeRecord(line);
}

void VeskBase::writeComment(const CString &text) {
    CString line;
    line.Format("%3s,%s,\n", getLineKind(VESK_Z00), text.GetString());
    writeRecord(line);
}

void VeskBase::writeCoordSys(int value) {
    CString line;
    line.Format("%3s,%1d,\n", getLineKind(VESK_Z01), value);
    writeRecord(line);
}

CString VeskBase::formatPointLine(int no, const CString &name, int nameWidth, double x, double y,
                                  double h, int hUsed) const {
    // "%3s,%5d,%-*s,%*.*f,%*.*f,%*.*f,\n" (the height empty without one), numbers by the quick
    // fixed form: this runs once a point of every file written or converted.
    char number[16];
    const char *const numberEnd = std::to_chars(number, number + sizeof number, no).ptr;
    const auto numberLength = static_cast<std::size_t>(numberEnd - number);
    const std::size_t numberWidth = std::max<std::size_t>(numberLength, 5);
    // As %-*s: the name up to a NUL, padded on the right; a negative width as its size.
    const std::size_t nameLength = std::strlen(name.GetString());
    const std::size_t width = nameWidth < 0 ? 0 - static_cast<std::size_t>(nameWidth)
                                            : static_cast<std::size_t>(nameWidth);
    const std::size_t nameColumn = std::max(nameLength, width);
    // The head in place, blanks first.
    std::string line;
    line.reserve(128); // one allocation for a line of the usual widths
    line.resize(3 + 1 + numberWidth + 1 + nameColumn + 1, ' ');
    char *p = line.data();
    std::memcpy(p, getLineKind(VESK_A01), 3);
    p[3] = ',';
    p += 4;
    std::memcpy(p + numberWidth - numberLength, number, numberLength);
    p[numberWidth] = ',';
    p += numberWidth + 1;
    std::memcpy(p, name.GetString(), nameLength);
    p[nameColumn] = ',';
    AppendFixed(line, x, m_xyIntDigits + m_xyDecimals + 1, m_xyDecimals);
    line += ',';
    AppendFixed(line, y, m_xyIntDigits + m_xyDecimals + 1, m_xyDecimals);
    line += ',';
    if (hUsed)
        AppendFixed(line, h, m_hIntDigits + m_hDecimals + 1, m_hDecimals);
    line += ",\n";
    return CString(std::move(line));
}

bool VeskBase::formatPointSection(unsigned pointCount, std::vector<CString> &lines) {
    for (unsigned i = 0; i < pointCount; ++i) {
        CString name;
        double x = 0.0;
        double y = 0.0;
        double h = 0.0;
        int hUsed = 0;
        if (!GetPoint(i, &name, &x, &y, &h, &hUsed))
            continue;
        if (!pointFits(x, y, h, hUsed)) {
            CString reason;
            reason.Format("%u番目の点[%s]の座標値はこの形式で書き出せません。", i + 1,
                          name.GetString());
            SetStop(0, reason);
            return false;
        }
        if (const CString fault = CsvPointNameFault(i + 1, name); !fault.IsEmpty()) {
            SetStop(0, fault);
            return false;
        }
        lines.push_back(formatPointLine(static_cast<int>(i + 1), name,
                                        name.IsEmpty() ? 0 : kNameWidth, x, y, h, hUsed));
    }
    return true;
}

bool VeskBase::formatLotSection(unsigned lotCount, std::vector<CString> &lines) {
    for (unsigned lot = 0; lot < lotCount; ++lot) {
        unsigned memberCount = 0;
        CString name;
        int kind = 1;
        if (!GetLotName(lot, &memberCount, &name, &kind) || memberCount == 0)
            continue;
        CString subject;
        subject.Format("%u番目の画地[%s]の画地名", lot + 1, name.GetString());
        if (const CString fault = CsvNameFault(subject, name); !fault.IsEmpty()) {
            SetStop(0, fault);
            return false;
        }
        CString line;
        line.Format("%3s,%5d,%-*s,%1d,\n", getLineKind(VESK_D00), static_cast<int>(lot + 1),
                    name.IsEmpty() ? 0 : kNameWidth, name.GetString(), kind);
        lines.push_back(line);
        for (unsigned member = 0; member < memberCount; ++member) {
            unsigned pointIndex = 0;
            CString pointName;
            if (!GetLotPoint(lot, member, &pointIndex, &pointName))
                continue;
            if (const CString fault = CsvPointNameFault(pointIndex + 1, pointName);
                !fault.IsEmpty()) {
                SetStop(0, fault);
                return false;
            }
            line.Format("%3s,%5d,%-16s,\n", getLineKind(VESK_B01), static_cast<int>(pointIndex + 1),
                        pointName.GetString());
            lines.push_back(line);
        }
        line.Format("%3s,\n", getLineKind(VESK_D99));
        lines.push_back(line);
    }
    return true;
}

int VeskBase::writeFile(const CString &path, const CString &siteName, unsigned pointCount,
                        int newDatum, int version, unsigned lotCount) {
    ClearStop();
    // Every record is formatted before the file is made: a name or a point that
    // could not be read back leaves no file with less in it behind.
    CString site;
    site.Format("現場名[%s]", siteName.GetString());
    if (const CString fault = CsvNameFault(site, siteName); !fault.IsEmpty()) {
        SetStop(0, fault);
        return 0;
    }
    std::vector<CString> pointLines;
    std::vector<CString> lotLines;
    if (!formatPointSection(pointCount, pointLines) || !formatLotSection(lotCount, lotLines))
        return 0;
    if (!OpenWriteFile(path))
        return 0;
    try {
        const char *versionText = version == VESK_VERSION_01   ? m_cVer01
                                  : version == VESK_VERSION_02 ? m_cVer02
                                                               : m_cVer03;
        CString line;
        line.Format("%3s,%2s,%s,\n", getLineKind(VESK_G00), versionText, siteName.GetString());
        writeRecord(line);
        for (int i = 0; i < m_commentNum; ++i) {
            CString text;
            if (!GetComment(i, &text))
                break;
            writeComment(text);
        }
        if (version > VESK_VERSION_03)
            writeCoordSys(newDatum ? 0 : 1);
        writeCode(VESK_A00);
        for (const CString &line : pointLines)
            writeRecord(line);
        writeCode(VESK_A99);
        if (lotCount > 0) {
            writeComment("/画地データ/");
            for (const CString &line : lotLines)
                writeRecord(line);
        }
        CloseWriteFile();
    } catch (const CException &) {
        // Not closed: the file at the path stays as it was.
        m_writer.reset();
        throw;
    }
    return 1;
}

int VeskBase::WritePoints(const CString &path, const CString &siteName, unsigned pointCount) {
    return writeFile(path, siteName, pointCount, 0, VESK_VERSION_01, 0);
}

int VeskBase::WritePoints2(const CString &path, const CString &siteName, unsigned pointCount,
                           int newDatum, VeskVersionNo version) {
    return writeFile(path, siteName, pointCount, newDatum, version, 0);
}

int VeskBase::WritePointsAndLots(const CString &path, const CString &siteName, unsigned pointCount,
                                 int newDatum, unsigned lotCount, VeskVersionNo version) {
    return writeFile(path, siteName, pointCount, newDatum, version, lotCount);
}
