#include "ombresk/JCnvPrmData.h"

#include "platform/core/CException.h"
#include "platform/core/Path.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559,
              "the cache stores IEEE single-precision floats");

namespace {

constexpr char kCacheTitle[] = "TKY2JGD Parameter(binary)";
constexpr std::size_t kCacheTitleLength = sizeof(kCacheTitle) - 1; // 25
constexpr std::size_t kCacheHeaderSize = 64;
constexpr std::size_t kCacheVersionOffset = 26;
constexpr std::int32_t kCacheMark = 100;
constexpr std::size_t kNodeSize = 10;
// Nodes decoded per read of a table, so that a stop is seen within a table.
constexpr std::size_t kNodesPerChunk = 4096;

void putU16(unsigned char *p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void putU32(unsigned char *p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint16_t getU16(const unsigned char *p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t getU32(const unsigned char *p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads exactly count bytes; false on a short read.
bool readExact(CFile &file, void *buffer, std::size_t count) {
    return file.Read(buffer, static_cast<UINT>(count)) == count;
}

std::uint64_t remainingBytes(const CFile &file) {
    const std::uint64_t length = file.GetLength();
    const std::uint64_t position = file.GetPosition();
    return length > position ? length - position : 0;
}

bool stopped(const std::atomic<bool> *stop) { return stop != nullptr && stop->load(); }

// Shell sort with gaps n/2, n/4, ..., 1, testing the stop flag before every
// gap, every element and every exchange; false when stopped.
template <class T, class Less>
bool shellSort(std::vector<T> &v, Less less, const std::atomic<bool> *stop) {
    const std::size_t n = v.size();
    for (std::size_t gap = n / 2; gap > 0; gap /= 2) {
        if (stopped(stop))
            return false;
        for (std::size_t i = gap; i < n; ++i) {
            if (stopped(stop))
                return false;
            for (std::size_t j = i; j >= gap && less(v[j], v[j - gap]); j -= gap) {
                if (stopped(stop))
                    return false;
                std::swap(v[j], v[j - gap]);
            }
        }
    }
    return true;
}

bool elmLess(const JCnvPrmElm *a, const JCnvPrmElm *b) { return a->GetKey() < b->GetKey(); }

bool tableLess(const std::unique_ptr<JCnvPrm1stTbl> &a, const std::unique_ptr<JCnvPrm1stTbl> &b) {
    return a->GetCode1() < b->GetCode1();
}

// Nodes made one by one live in blocks that get their room once and never grow past it, so
// that a node never moves.
constexpr std::size_t kBlockNodes = 8192;

template <class Node, class... Values>
const Node *makeNode(std::vector<std::vector<Node>> &blocks, Values... values) {
    if (blocks.empty() || blocks.back().size() == blocks.back().capacity()) {
        blocks.emplace_back();
        blocks.back().reserve(kBlockNodes);
    }
    return &blocks.back().emplace_back(values...);
}

// Row (latitude) and column (longitude) of the square of a regular key in its first-level
// mesh; false for a key whose second- or third-level code cannot come from a position.
bool squareOfKey(WORD key, int *row, int *column) {
    const int code2 = key / 100;
    const int code3 = key % 100;
    if (code2 > 77 || code2 % 10 > 7)
        return false;
    *row = code2 / 10 * 10 + code3 / 10;
    *column = code2 % 10 * 10 + code3 % 10;
    return true;
}

// Positions whose square FindShift finds directly: longitudes 100 to 200 degrees, where the
// first-level code is the latitude row x 100 + the degrees - 100, and latitudes whose row
// keeps that code in 16 bits.
constexpr int kDirectLonFrom = 100 * 3600;
constexpr int kDirectLonTo = 200 * 3600;
constexpr int kDirectLatTo = 327 * 2400;

} // namespace

// ---- JCnvPrm1stTbl ----

JCnvPrm1stTbl::~JCnvPrm1stTbl() = default;

void JCnvPrm1stTbl::makeObjects() const {
    std::call_once(m_makeOnce, [this] {
        m_objects.reserve(m_records.size());
        for (const Record &record : m_records)
            m_objects.emplace_back(JMeshCodeElm(record.key), record.dB, record.dL);
        m_objectsMade.store(true);
    });
}

const JCnvPrmElm *JCnvPrm1stTbl::GetAt(std::size_t i) const {
    if (m_listed)
        return m_elms[i];
    makeObjects();
    return &m_objects[i];
}

void JCnvPrm1stTbl::list() {
    if (m_listed)
        return;
    makeObjects();
    m_elms.reserve(m_objects.size());
    for (const JCnvPrmElm &elm : m_objects)
        m_elms.push_back(&elm);
    // The objects move with their vector's storage, so pointers given out stay good.
    if (!m_objects.empty())
        m_plainBlocks.push_back(std::move(m_objects));
    m_objects.clear();
    m_records.clear();
    m_records.shrink_to_fit();
    m_listed = true;
}

const JCnvPrmElm *JCnvPrm1stTbl::Find(const JMeshCodeElm &code) const {
    const WORD key = code.GetKey();
    std::size_t lo = 0;
    std::size_t hi = GetSize();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (keyAt(mid) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < GetSize() && keyAt(lo) == key ? GetAt(lo) : nullptr;
}

void JCnvPrm1stTbl::Append(JCnvPrmElm *elm) { Append(std::unique_ptr<JCnvPrmElm>(elm)); }

void JCnvPrm1stTbl::Append(std::unique_ptr<JCnvPrmElm> elm) {
    if (!elm)
        return;
    dropIndex();
    list();
    m_elms.push_back(elm.get());
    m_owned.push_back(std::move(elm));
}

void JCnvPrm1stTbl::AppendNode(WORD key, float dB, float dL) {
    dropIndex();
    if (recordsOpen()) {
        m_records.push_back({key, dB, dL});
        return;
    }
    list();
    m_elms.push_back(makeNode(m_plainBlocks, JMeshCodeElm(key), dB, dL));
}

void JCnvPrm1stTbl::AppendSemiDynNode(WORD key, float dB, float dL, float dH) {
    dropIndex();
    list();
    m_elms.push_back(makeNode(m_semiBlocks, JMeshCodeElm(key), dB, dL, dH));
}

void JCnvPrm1stTbl::AppendAll(JCnvPrm1stTbl &other) {
    if (&other == this)
        return;
    dropIndex();
    other.dropIndex();
    list();
    other.list();
    m_elms.insert(m_elms.end(), other.m_elms.begin(), other.m_elms.end());
    other.m_elms.clear();
    // The storage moves with its nodes: a vector moved keeps its elements where they are.
    for (auto &block : other.m_plainBlocks)
        m_plainBlocks.push_back(std::move(block));
    for (auto &block : other.m_semiBlocks)
        m_semiBlocks.push_back(std::move(block));
    for (auto &elm : other.m_owned)
        m_owned.push_back(std::move(elm));
    other.m_plainBlocks.clear();
    other.m_semiBlocks.clear();
    other.m_owned.clear();
}

bool JCnvPrm1stTbl::ExecSort(const std::atomic<bool> *stop) {
    if (indexIfSorted())
        return true;
    if (recordsOpen()) {
        auto less = [](const Record &a, const Record &b) { return a.key < b.key; };
        if (stop == nullptr)
            std::stable_sort(m_records.begin(), m_records.end(), less);
        else if (!shellSort(m_records, less, stop))
            return false;
    } else {
        list();
        if (stop == nullptr)
            std::stable_sort(m_elms.begin(), m_elms.end(), elmLess);
        else if (!shellSort(m_elms, elmLess, stop))
            return false;
    }
    return indexIfSorted();
}

bool JCnvPrm1stTbl::IsSorted() const {
    for (std::size_t i = 1; i < GetSize(); ++i)
        if (keyAt(i) < keyAt(i - 1))
            return false;
    return true;
}

bool JCnvPrm1stTbl::indexIfSorted() {
    constexpr std::size_t kSquares = kSide * kSide;
    dropIndex();
    // More nodes than the index can number (codes given many times): no index.
    const std::size_t size = GetSize();
    if (size >= kNoNode)
        return IsSorted();
    std::unique_ptr<std::uint16_t[]> squares(new std::uint16_t[kSquares]);
    std::fill_n(squares.get(), kSquares, kNoNode);
    // In one pass: the order checked, and of equal keys the first taken, as the binary
    // search finds it.
    auto index = [&](auto keyOf) {
        WORD last = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const WORD key = keyOf(i);
            if (key < last)
                return false;
            last = key;
            int row, column;
            if (squareOfKey(key, &row, &column)) {
                std::uint16_t &square = squares[static_cast<std::size_t>(row * kSide + column)];
                if (square == kNoNode)
                    square = static_cast<std::uint16_t>(i);
            }
        }
        return true;
    };
    const bool sorted = m_listed ? index([this](std::size_t i) { return m_elms[i]->GetKey(); })
                                 : index([this](std::size_t i) { return m_records[i].key; });
    if (sorted)
        m_squares = std::move(squares);
    return sorted;
}

void JCnvPrm1stTbl::WriteBin(CFile &file) const {
    const std::size_t size = GetSize();
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        AfxThrowFileException(CFileException::genericException, -1, file.GetFilePath());
    std::vector<unsigned char> bytes(6 + size * kNodeSize);
    putU16(bytes.data(), static_cast<std::uint16_t>(m_code1));
    putU32(bytes.data() + 2, static_cast<std::uint32_t>(size));
    unsigned char *p = bytes.data() + 6;
    for (std::size_t i = 0; i < size; ++i, p += kNodeSize) {
        const float dB = m_listed ? m_elms[i]->GetdB() : m_records[i].dB;
        const float dL = m_listed ? m_elms[i]->GetdL() : m_records[i].dL;
        putU16(p, keyAt(i));
        putU32(p + 2, std::bit_cast<std::uint32_t>(dB));
        putU32(p + 6, std::bit_cast<std::uint32_t>(dL));
    }
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

JCnvPrmReadRetCode JCnvPrm1stTbl::ReadBin(CFile &file, JCnvPrmData *data) {
    unsigned char head[6];
    if (!readExact(file, head, 2))
        return CNVPRM_READ_DATA_ERROR;
    if (!readExact(file, head + 2, 4))
        return CNVPRM_READ_DATA_ERROR;
    m_code1 = static_cast<std::int16_t>(getU16(head));
    const std::int32_t count = static_cast<std::int32_t>(getU32(head + 2));
    // The count is checked against the bytes that remain before anything is allocated.
    if (count < 0 || static_cast<std::uint64_t>(count) * kNodeSize > remainingBytes(file))
        return CNVPRM_READ_DATA_ERROR;

    const std::atomic<bool> *stop = data ? data->GetStopFlag() : nullptr;
    dropIndex();
    const bool toRecords = recordsOpen();
    if (toRecords)
        m_records.reserve(m_records.size() + static_cast<std::size_t>(count));
    std::vector<unsigned char> bytes(std::min<std::size_t>(count, kNodesPerChunk) * kNodeSize);
    std::size_t left = static_cast<std::size_t>(count);
    while (left > 0) {
        if (stopped(stop))
            return CNVPRM_READ_STOPPED;
        const std::size_t n = std::min(left, kNodesPerChunk);
        if (!readExact(file, bytes.data(), n * kNodeSize))
            return CNVPRM_READ_DATA_ERROR;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char *p = bytes.data() + i * kNodeSize;
            const WORD key = getU16(p);
            const float dB = std::bit_cast<float>(getU32(p + 2));
            const float dL = std::bit_cast<float>(getU32(p + 6));
            if (toRecords)
                m_records.push_back({key, dB, dL});
            else
                AppendNode(key, dB, dL);
        }
        left -= n;
    }
    return CNVPRM_READ_SUCCESS;
}

// ---- JCnvPrmData ----

JCnvPrmData::JCnvPrmData() = default;

JCnvPrmData::~JCnvPrmData() = default;

CString JCnvPrmData::GetFileName() const { return Path::FileName(m_filePath); }

void JCnvPrmData::SetFileVerStr(const CString &ver1, const CString &ver2) {
    m_verStr1 = ver1;
    m_verStr2 = ver2;
}

void JCnvPrmData::clearContents() {
    m_ready.store(false);
    m_filePath.Empty();
    m_verStr1.Empty();
    m_verStr2.Empty();
    m_tables.clear();
    m_lastTable = nullptr;
    dropIndex();
}

JCnvPrmData::Contents JCnvPrmData::takeContents() {
    Contents held;
    held.ready = m_ready.exchange(false);
    held.filePath = m_filePath;
    held.verStr1 = m_verStr1;
    held.verStr2 = m_verStr2;
    held.tables = std::move(m_tables);
    held.fileType = m_fileType;
    held.lastTable = m_lastTable;
    held.tableIndex = std::move(m_tableIndex);
    held.firstCode1 = m_firstCode1;
    clearContents();
    return held;
}

void JCnvPrmData::putBack(Contents &held) {
    clearContents();
    m_filePath = held.filePath;
    m_verStr1 = held.verStr1;
    m_verStr2 = held.verStr2;
    m_tables = std::move(held.tables);
    m_fileType = held.fileType;
    m_lastTable = held.lastTable;
    m_tableIndex = std::move(held.tableIndex);
    m_firstCode1 = held.firstCode1;
    m_ready.store(held.ready);
}

void JCnvPrmData::Clear() {
    clearContents();
    m_fileType = CNVPRM_TYPE_DETECT;
}

JCnvPrm1stTbl *JCnvPrmData::findTable(std::int16_t code1) {
    if (m_lastTable != nullptr && m_lastTable->GetCode1() == code1)
        return m_lastTable;
    for (const auto &table : m_tables)
        if (table->GetCode1() == code1)
            return m_lastTable = table.get();
    return nullptr;
}

JCnvPrm1stTbl *JCnvPrmData::tableFor(std::int16_t code1) {
    dropIndex();
    JCnvPrm1stTbl *table = findTable(code1);
    if (table == nullptr) {
        m_tables.push_back(std::make_unique<JCnvPrm1stTbl>(code1));
        table = m_lastTable = m_tables.back().get();
    }
    return table;
}

void JCnvPrmData::Append(const JMeshCode &code, JCnvPrmElm *elm) {
    Append(code, std::unique_ptr<JCnvPrmElm>(elm));
}

void JCnvPrmData::Append(const JMeshCode &code, std::unique_ptr<JCnvPrmElm> elm) {
    if (!elm)
        return;
    elm->SetMeshCodeElm(JMeshCodeElm(code));
    tableFor(code.GetCode1())->Append(std::move(elm));
}

void JCnvPrmData::AppendNode(const JMeshCode &code, float dB, float dL) {
    tableFor(code.GetCode1())->AppendNode(JMeshCodeElm(code).GetKey(), dB, dL);
}

void JCnvPrmData::AppendSemiDynNode(const JMeshCode &code, float dB, float dL, float dH) {
    tableFor(code.GetCode1())->AppendSemiDynNode(JMeshCodeElm(code).GetKey(), dB, dL, dH);
}

const JCnvPrm1stTbl *JCnvPrmData::findSorted(std::int16_t code1) const {
    if (!m_tableIndex.empty()) {
        const std::size_t slot = static_cast<std::size_t>(code1 - m_firstCode1);
        return slot < m_tableIndex.size() ? m_tableIndex[slot] : nullptr;
    }
    const auto it = std::lower_bound(
        m_tables.begin(), m_tables.end(), code1,
        [](const std::unique_ptr<JCnvPrm1stTbl> &t, short c) { return t->GetCode1() < c; });
    return it == m_tables.end() || (*it)->GetCode1() != code1 ? nullptr : it->get();
}

const JCnvPrmElm *JCnvPrmData::Find(const JMeshCode &code) const {
    const JCnvPrm1stTbl *table = findSorted(code.GetCode1());
    return table ? table->Find(JMeshCodeElm(code)) : nullptr;
}

bool JCnvPrmData::directTable(int latSec, int lonSec, const JCnvPrm1stTbl **table) const {
    if (m_tableIndex.empty() || latSec < 0 || latSec >= kDirectLatTo || lonSec < kDirectLonFrom ||
        lonSec >= kDirectLonTo)
        return false;
    const int code1 = latSec / 2400 * 100 + lonSec / 3600 - 100;
    const std::size_t slot = static_cast<std::size_t>(code1 - m_firstCode1);
    *table = slot < m_tableIndex.size() ? m_tableIndex[slot] : nullptr;
    return *table == nullptr || (*table)->IsIndexed();
}

bool JCnvPrmData::FindShift(int latSec, int lonSec, float *dB, float *dL) const {
    const JCnvPrm1stTbl *table = nullptr;
    if (directTable(latSec, lonSec, &table))
        return table != nullptr && table->FindShift(latSec % 2400 / 30, lonSec % 3600 / 45, dB, dL);
    const JCnvPrmElm *node = Find(JMeshCode::CreateMeshCode(latSec, lonSec, 2));
    if (node == nullptr)
        return false;
    *dB = node->GetdB();
    *dL = node->GetdL();
    return true;
}

bool JCnvPrmData::FindCellShifts(int latSec, int lonSec, float dB[4], float dL[4]) const {
    const JCnvPrm1stTbl *table = nullptr;
    if (directTable(latSec, lonSec, &table)) {
        const int row = latSec % 2400 / 30;
        const int column = lonSec % 3600 / 45;
        // A cell inside one first-level mesh: all four in its table.
        if (row + 1 < JCnvPrm1stTbl::kSide && column + 1 < JCnvPrm1stTbl::kSide)
            return table != nullptr && table->FindShift(row, column, &dB[0], &dL[0]) &&
                   table->FindShift(row + 1, column, &dB[1], &dL[1]) &&
                   table->FindShift(row, column + 1, &dB[2], &dL[2]) &&
                   table->FindShift(row + 1, column + 1, &dB[3], &dL[3]);
    }
    return FindShift(latSec, lonSec, &dB[0], &dL[0]) &&
           FindShift(latSec + 30, lonSec, &dB[1], &dL[1]) &&
           FindShift(latSec, lonSec + 45, &dB[2], &dL[2]) &&
           FindShift(latSec + 30, lonSec + 45, &dB[3], &dL[3]);
}

void JCnvPrmData::dropIndex() { m_tableIndex.clear(); }

void JCnvPrmData::buildIndex() {
    dropIndex();
    if (m_tables.empty())
        return;
    m_firstCode1 = m_tables.front()->GetCode1();
    const int last = m_tables.back()->GetCode1();
    m_tableIndex.assign(static_cast<std::size_t>(last - m_firstCode1 + 1), nullptr);
    for (const auto &table : m_tables)
        m_tableIndex[static_cast<std::size_t>(table->GetCode1() - m_firstCode1)] = table.get();
}

const JSemiDynPrmElm *JCnvPrmData::FindSemiDynPrm(const JMeshCode &code) const {
    return dynamic_cast<const JSemiDynPrmElm *>(Find(code));
}

std::size_t JCnvPrmData::GetElmCount() const {
    std::size_t count = 0;
    for (const auto &table : m_tables)
        count += table->GetSize();
    return count;
}

bool JCnvPrmData::sortAll(bool stoppable) {
    const std::atomic<bool> *stop = stoppable ? &m_stop : nullptr;
    for (const auto &table : m_tables)
        if (!table->ExecSort(stop))
            return false;
    if (!std::is_sorted(m_tables.begin(), m_tables.end(), tableLess)) {
        if (stop == nullptr)
            std::stable_sort(m_tables.begin(), m_tables.end(), tableLess);
        else if (!shellSort(m_tables, tableLess, stop))
            return false;
    }
    buildIndex();
    return true;
}

JCnvPrmReadRetCode JCnvPrmData::fail(JCnvPrmReadRetCode code, ProgressMsgBase *progress,
                                     Contents &held) {
    if (progress)
        progress->ProgressEnd();
    putBack(held);
    return code;
}

JCnvPrmReadRetCode JCnvPrmData::Read(const CString &path, bool stoppable,
                                     ProgressMsgBase *progress) {
    return Read(path, m_fileType, stoppable, progress);
}

JCnvPrmReadRetCode JCnvPrmData::Read(const CString &path, JCnvPrmFileType type, bool stoppable,
                                     ProgressMsgBase *progress) {
    const CString source = path; // path may be our own stored path
    Contents held = takeContents();
    m_stop.store(false);
    if (progress)
        progress->ProgressStart(static_cast<PROGRESS_KIND>(3), 100);
    try {
        const JCnvPrmReadRetCode code = JCnvPrmFile::Read(source, this, type, progress);
        if (code != CNVPRM_READ_SUCCESS)
            return fail(code, progress, held);
        if (m_stop.load() || !sortAll(stoppable))
            return fail(CNVPRM_READ_STOPPED, progress, held);
    } catch (...) {
        fail(CNVPRM_READ_DATA_ERROR, progress, held);
        throw;
    }
    if (progress)
        progress->ProgressEnd();
    m_fileType = type;
    m_filePath = source;
    m_ready.store(true);
    return CNVPRM_READ_SUCCESS;
}

JCnvPrmReadRetCode JCnvPrmData::Read(bool stoppable, ProgressMsgBase *progress) {
    return Read(CString(m_filePath), stoppable, progress);
}

JCnvPrmReadRetCode JCnvPrmData::ReadBin(const CString &path, bool stoppable,
                                        ProgressMsgBase *progress) {
    const CString source = path;
    m_stop.store(false);
    CFile file;
    if (!file.Open(source, CFile::modeRead | CFile::shareDenyWrite))
        return CNVPRM_READ_OPEN_ERROR;
    Contents held = takeContents();
    if (progress)
        progress->ProgressStart(static_cast<PROGRESS_KIND>(3), 100);
    try {
        unsigned char header[kCacheHeaderSize];
        if (!readExact(file, header, sizeof header) ||
            std::memcmp(header, kCacheTitle, kCacheTitleLength) != 0)
            return fail(CNVPRM_READ_HEADER_ERROR, progress, held);
        const char *text = reinterpret_cast<const char *>(header) + kCacheVersionOffset;
        const std::size_t room = kCacheHeaderSize - kCacheVersionOffset;
        CString ver1(text, static_cast<int>(strnlen(text, room)));
        ver1.Trim(" \t");
        CString ver2;
        if (!JCnvPrmFile::MakeVerStr2(ver1, &ver2))
            return fail(CNVPRM_READ_HEADER_ERROR, progress, held);
        unsigned char word[4];
        if (!readExact(file, word, 4)) // the mark 100, not checked
            return fail(CNVPRM_READ_HEADER_ERROR, progress, held);
        if (!readExact(file, word, 4))
            return fail(CNVPRM_READ_DATA_ERROR, progress, held);
        const std::int32_t count = static_cast<std::int32_t>(getU32(word));
        if (count < 0)
            return fail(CNVPRM_READ_DATA_ERROR, progress, held);
        m_verStr1 = ver1;
        m_verStr2 = ver2;

        for (std::int32_t i = 0; i < count; ++i) {
            if (m_stop.load())
                return fail(CNVPRM_READ_STOPPED, progress, held);
            auto table = std::make_unique<JCnvPrm1stTbl>();
            const JCnvPrmReadRetCode code = table->ReadBin(file, this);
            if (code != CNVPRM_READ_SUCCESS)
                return fail(code, progress, held);
            // Tables of one first-level mesh are kept together.
            if (JCnvPrm1stTbl *same = findTable(table->GetCode1()))
                same->AppendAll(*table);
            else
                m_tables.push_back(std::move(table));
            if (progress && !progress->Progress(
                                static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count)))
                return fail(CNVPRM_READ_STOPPED, progress, held);
        }

        // A cache we wrote is sorted and is only indexed; any other is sorted here.
        if (!sortAll(stoppable))
            return fail(CNVPRM_READ_STOPPED, progress, held);
    } catch (...) {
        fail(CNVPRM_READ_DATA_ERROR, progress, held);
        throw;
    }
    if (progress)
        progress->ProgressEnd();
    m_filePath = source;
    m_ready.store(true);
    return CNVPRM_READ_SUCCESS;
}

JCnvPrmReadRetCode JCnvPrmData::ReadBin(bool stoppable, ProgressMsgBase *progress) {
    return ReadBin(CString(m_filePath), stoppable, progress);
}

bool JCnvPrmData::WriteBin(const CString &path, ProgressMsgBase *progress) const {
    if (!IsDataReady() || m_tables.empty())
        return false;
    if (m_tables.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    if (progress)
        progress->ProgressStart(static_cast<PROGRESS_KIND>(3), 100);
    bool written = false;
    try {
        // Header text in a zeroed buffer; a long version text is cut, never overflows.
        char text[kCacheHeaderSize + 1] = {};
        std::snprintf(text, sizeof text, "%s %9s", kCacheTitle, m_verStr1.GetString());
        unsigned char head[kCacheHeaderSize + 8];
        std::memcpy(head, text, kCacheHeaderSize);
        const std::int32_t count = static_cast<std::int32_t>(m_tables.size());
        putU32(head + kCacheHeaderSize, static_cast<std::uint32_t>(kCacheMark));
        putU32(head + kCacheHeaderSize + 4, static_cast<std::uint32_t>(count));
        file.Write(head, sizeof head);

        bool cancelled = false;
        for (std::int32_t i = 0; i < count && !cancelled; ++i) {
            m_tables[static_cast<std::size_t>(i)]->WriteBin(file);
            if (progress && !progress->Progress(
                                static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / count)))
                cancelled = true;
        }
        // A cancelled cache is never put in place: the one there stays.
        if (!cancelled) {
            file.Close();
            written = true;
        }
    } catch (const CFileException &) {
        written = false;
    } catch (...) {
        if (progress)
            progress->ProgressEnd();
        throw;
    }
    if (progress)
        progress->ProgressEnd();
    return written;
}
