#include "veltrane/conversion/CrdTrnsBlockTbl.h"

#include "platform/core/CArchive.h"
#include "veltrane/model/Point.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr unsigned kMaxBlockNo = static_cast<unsigned>(std::numeric_limits<std::int32_t>::max());

// The smallest block record: number, empty name, colour, no vertex, closed, no member, the
// parameter table and the calculation target.
constexpr std::uint64_t kMinBlockRecord = 4 + 1 + 4 + 4 + 1 + 4 + 64 + 1;

} // namespace

CrdTrnsBlockTbl::CrdTrnsBlockTbl()
    : m_palette{0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0x6666CC, 0x66CCCC, 0x66CC66, 0xCCCC66,
                0xCC6666, 0xCC66CC, 0x000099, 0x009999, 0x009900, 0x999900, 0x990000, 0x990099} {}

CrdTrnsBlockTbl::~CrdTrnsBlockTbl() = default;

bool CrdTrnsBlockTbl::Append(CrdTrnsBlock *block) {
    if (block == nullptr || block->GetNo() == 0 || block->GetNo() > kMaxBlockNo ||
        m_blocks.count(block->GetNo()) != 0)
        return false;
    m_blocks.emplace(block->GetNo(), block);
    m_priority.push_back(block->GetNo());
    return true;
}

CrdTrnsBlock *CrdTrnsBlockTbl::FindBlock(unsigned no) {
    const auto it = m_blocks.find(no);
    return it == m_blocks.end() ? nullptr : it->second.get();
}

const CrdTrnsBlock *CrdTrnsBlockTbl::FindBlock(unsigned no) const {
    const auto it = m_blocks.find(no);
    return it == m_blocks.end() ? nullptr : it->second.get();
}

bool CrdTrnsBlockTbl::RemoveBlock(unsigned no) {
    const auto it = m_blocks.find(no);
    if (it == m_blocks.end())
        return false;
    it->second->DisconnectToAllPoints();
    m_blocks.erase(it);
    m_priority.erase(std::remove(m_priority.begin(), m_priority.end(), no), m_priority.end());
    if (m_current == no)
        m_current = 0;
    return true;
}

void CrdTrnsBlockTbl::AllRemove() {
    m_blocks.clear();
    m_priority.clear();
    m_current = 0;
}

CrdTrnsBlock *CrdTrnsBlockTbl::GetBlock(unsigned i, bool byPriority) const {
    if (i >= m_blocks.size())
        return nullptr;
    if (byPriority) {
        const auto it = m_blocks.find(m_priority[i]);
        return it == m_blocks.end() ? nullptr : it->second.get();
    }
    return std::next(m_blocks.begin(), i)->second.get();
}

unsigned CrdTrnsBlockTbl::GetEmptyNo(bool afterLast) const {
    if (m_blocks.empty())
        return 1;
    if (!afterLast)
        for (const auto &[no, block] : m_blocks)
            if (m_blocks.count(no + 1) == 0)
                return no + 1;
    return m_blocks.rbegin()->first + 1;
}

bool CrdTrnsBlockTbl::SetCurrentNo(unsigned no) {
    if (no != 0 && FindBlock(no) == nullptr)
        return false;
    m_current = no;
    return true;
}

unsigned CrdTrnsBlockTbl::GetCurrentNo() const {
    return FindBlock(m_current) != nullptr ? m_current : 0;
}

CrdTrnsBlock *CrdTrnsBlockTbl::GetCurrentBlock() { return FindBlock(m_current); }

void CrdTrnsBlockTbl::GetBlockPriority(std::vector<unsigned> *order) const {
    if (order)
        *order = m_priority;
}

bool CrdTrnsBlockTbl::SetBlockPriority(const std::vector<unsigned> &order) {
    if (order.size() != m_blocks.size())
        return false;
    std::vector<unsigned> sorted(order);
    std::sort(sorted.begin(), sorted.end());
    auto block = m_blocks.begin();
    for (unsigned no : sorted) // the map is in number order too
        if (no != (block++)->first)
            return false;
    m_priority = order;
    return true;
}

template <typename Has> unsigned CrdTrnsBlockTbl::priorBlock(Has has) const {
    for (unsigned no : m_priority)
        if (has(no))
            return no;
    return 0;
}

bool CrdTrnsBlockTbl::GetPriorJGD2000(const Point *p, Coordinate *out,
                                      CoordConvStatusD *status) const {
    if (p == nullptr)
        return false;
    const unsigned no = priorBlock([p](unsigned b) { return p->IsExistJGD2000(b); });
    if (no == 0)
        return false;
    if (out)
        *out = p->GetJGD2000(no);
    if (status)
        *status = p->GetCrdCnvStat(no);
    return true;
}

bool CrdTrnsBlockTbl::GetPriorResultCrd(const Point *p, Coordinate *out, CoordConvStatusD *status,
                                        unsigned *block) const {
    if (p == nullptr)
        return false;
    const unsigned no = priorBlock([p](unsigned b) { return p->IsExistResultCrd(b); });
    if (block)
        *block = no;
    if (no == 0)
        return false;
    if (out)
        *out = p->GetResultCrd(no);
    if (status)
        *status = p->GetCrdCnvStat(no);
    return true;
}

bool CrdTrnsBlockTbl::GetPriorBlockNo(const Point *p, unsigned *no) const {
    const unsigned found =
        p == nullptr ? 0 : priorBlock([p](unsigned b) { return p->IsRelatedWithBlock(b); });
    if (no)
        *no = found;
    return found != 0;
}

bool CrdTrnsBlockTbl::GetPriorColor(const Point *p, COLORREF *color) const {
    unsigned no = 0;
    if (!GetPriorBlockNo(p, &no))
        return false;
    if (color)
        *color = FindBlock(no)->GetColor();
    return true;
}

bool CrdTrnsBlockTbl::IsColorUsed(COLORREF color) const {
    return std::any_of(m_blocks.begin(), m_blocks.end(),
                       [color](const auto &entry) { return entry.second->GetColor() == color; });
}

COLORREF CrdTrnsBlockTbl::GetColor(unsigned i) const {
    return i < m_palette.size() ? m_palette[i] : 0;
}

unsigned CrdTrnsBlockTbl::GetClacTagetSize() const {
    return static_cast<unsigned>(
        std::count_if(m_blocks.begin(), m_blocks.end(),
                      [](const auto &entry) { return entry.second->IsCalcTarget(); }));
}

bool CrdTrnsBlockTbl::IsCrdCnvCompleted(unsigned no) const {
    const CrdTrnsBlock *block = FindBlock(no);
    return block != nullptr && block->IsCrdCnvCompleted();
}

bool CrdTrnsBlockTbl::Remove(Point *p) {
    bool any = false;
    for (const auto &entry : m_blocks)
        any = entry.second->RemovePnt(p, true, true) || any;
    return any;
}

void CrdTrnsBlockTbl::Remove(const PointSet &points) {
    for (const auto &entry : m_blocks)
        entry.second->RemovePnts(points, true, true);
}

bool CrdTrnsBlockTbl::RemoveResult(Point *p) {
    bool any = false;
    for (const auto &entry : m_blocks)
        any = entry.second->RemovePntResult(p) || any;
    return any;
}

void CrdTrnsBlockTbl::MakeRetrievableIdxMap() {
    for (const auto &entry : m_blocks)
        entry.second->MakePntRetrievableIdxMap();
}

bool CrdTrnsBlockTbl::Write(const Veltrane *db, CArchive &ar) const {
    ar << static_cast<std::int32_t>(m_blocks.size());
    for (const auto &entry : m_blocks)
        entry.second->Write(db, ar);
    ar << static_cast<std::int32_t>(m_priority.size());
    for (unsigned no : m_priority)
        ar << static_cast<std::int32_t>(no);
    ar << static_cast<std::int32_t>(GetCurrentNo());
    return true;
}

bool CrdTrnsBlockTbl::Read(Veltrane *db, CArchive &ar, unsigned long version) {
    std::int32_t count = 0;
    ar >> count;
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), kMinBlockRecord);
    std::map<unsigned, std::unique_ptr<CrdTrnsBlock>> blocks;
    for (std::int32_t i = 0; i < count; ++i) {
        auto block = std::make_unique<CrdTrnsBlock>(0);
        if (!block->Read(db, ar, version))
            return false;
        const unsigned no = block->GetNo();
        if (no == 0 || no > kMaxBlockNo || !blocks.emplace(no, std::move(block)).second)
            return false;
    }
    ar >> count;
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count) + 1, sizeof(std::int32_t));
    std::vector<unsigned> priority;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t no = 0;
        ar >> no;
        priority.push_back(static_cast<unsigned>(no));
    }
    std::int32_t current = 0;
    ar >> current;

    // The priorities must name every block once.
    std::vector<unsigned> sorted(priority);
    std::sort(sorted.begin(), sorted.end());
    if (sorted.size() != blocks.size() ||
        !std::equal(sorted.begin(), sorted.end(), blocks.begin(),
                    [](unsigned no, const auto &entry) { return no == entry.first; }))
        return false;

    m_blocks = std::move(blocks);
    m_priority = std::move(priority);
    m_current = m_blocks.count(static_cast<unsigned>(current)) ? static_cast<unsigned>(current) : 0;
    for (const auto &entry : m_blocks) {
        CrdTrnsBlock &block = *entry.second;
        if (!block.IsCrdCnvCompleted())
            continue;
        const CrdCnvPrmTbl *table = block.GetCrdCnvPrmTbl();
        // A block that can no longer be converted is not reported as converted.
        if (!block.PrepareCoordConv(table->GetCoordCnvOption(), db, nullptr) ||
            !block.ExecuteCoordConv(table->GetCoordCnvKind(), nullptr))
            block.ClearCrdCnvTbl();
    }
    return true;
}
