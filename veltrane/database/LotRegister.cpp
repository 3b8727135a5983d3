#include "veltrane/database/LotRegister.h"

#include "veltrane/database/Veltrane.h"

#include <map>

namespace {

constexpr int kNotRead = -1;
constexpr int kAmbiguous = -2;

using Places = std::vector<int>;

const Places *placesOf(const auto &index, const auto &key) {
    const auto it = index.find(key);
    return it == index.end() ? nullptr : &it->second;
}

} // namespace

struct LotRegister::Index {
    std::map<int, Places> byNo;
    std::map<CString, Places> byName;
};

LotRegister::LotRegister(Veltrane *db) : m_pDataBase(db) {}

LotRegister::~LotRegister() = default;

void LotRegister::ReadPoint(int fileNo, const CString &name) {
    m_read.push_back({fileNo, name, nullptr});
}

bool LotRegister::RegisterPoint(Point *stored, int ordinal) {
    if (stored == nullptr || ordinal < 0 || ordinal >= static_cast<int>(m_read.size()))
        return false;
    m_read[static_cast<std::size_t>(ordinal)].stored = stored;
    return true;
}

bool LotRegister::AddLot(std::unique_ptr<PendingLot> lot) {
    if (lot)
        m_lots.push_back(std::move(lot));
    return true;
}

int LotRegister::bind(const PendingLotMember &member, const Index &index) const {
    if (member.no != 0) {
        const Places *numbered = placesOf(index.byNo, member.no);
        if (numbered == nullptr)
            return kNotRead;
        if (numbered->size() == 1)
            return numbered->front();
    }
    // The number cannot tell: the point of the member's name among those the number may mean.
    int found = kNotRead;
    unsigned count = 0;
    if (const Places *named = placesOf(index.byName, member.name)) {
        for (const int place : *named) {
            if (member.no == 0 || m_read[static_cast<std::size_t>(place)].fileNo == member.no) {
                found = place;
                ++count;
            }
        }
    }
    if (count == 1 || (count == 0 && member.no == 0))
        return found;
    return kAmbiguous;
}

bool LotRegister::BindMembers(int *line, CString *reason) {
    Index index;
    for (std::size_t i = 0; i < m_read.size(); ++i) {
        index.byNo[m_read[i].fileNo].push_back(static_cast<int>(i));
        index.byName[m_read[i].name].push_back(static_cast<int>(i));
    }
    m_bound.clear();
    for (const std::unique_ptr<PendingLot> &lot : m_lots) {
        Places places;
        for (const PendingLotMember &member : lot->members) {
            const int place = bind(member, index);
            if (place == kAmbiguous) {
                m_bound.clear();
                *line = member.line;
                reason->Format("画地[%s]の点[%s]は点番号でも点名でも特定できません。",
                               lot->name.GetString(), member.name.GetString());
                return false;
            }
            places.push_back(place);
        }
        m_bound.push_back(std::move(places));
    }
    m_bindDone = true;
    return true;
}

bool LotRegister::MakeLots() {
    int line = 0;
    CString reason;
    const bool bound = m_bindDone || BindMembers(&line, &reason);
    std::list<std::unique_ptr<PendingLot>> lots;
    lots.swap(m_lots);
    const std::vector<Places> places = std::move(m_bound);
    const std::vector<ReadEntry> read = std::move(m_read);
    Clear();
    if (!bound || m_pDataBase == nullptr)
        return bound;
    auto placesOfLot = places.begin();
    for (const std::unique_ptr<PendingLot> &pending : lots) {
        auto lot = std::make_unique<JLot>(static_cast<unsigned>(pending->no), pending->name,
                                          static_cast<unsigned>(pending->kind));
        bool whole = true;
        for (const int place : *placesOfLot++) {
            Point *stored = place >= 0 ? read[static_cast<std::size_t>(place)].stored : nullptr;
            if (stored == nullptr) {
                whole = false;
                break;
            }
            lot->AppendPnt(stored, false);
        }
        if (whole)
            m_pDataBase->AppendLot(lot.release());
    }
    return true;
}

void LotRegister::Clear() {
    m_lots.clear();
    m_read.clear();
    m_bound.clear();
    m_bindDone = false;
}
