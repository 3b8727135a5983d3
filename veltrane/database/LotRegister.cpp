#include "veltrane/database/LotRegister.h"

#include "veltrane/database/Veltrane.h"

LotRegister::LotRegister(Veltrane *db) : m_pDataBase(db) {}

LotRegister::~LotRegister() = default;

bool LotRegister::RegisterPoint(Point *stored, int fileNo) {
    if (stored == nullptr)
        return false;
    m_byFileNo.emplace(fileNo, stored);
    return true;
}

bool LotRegister::AddLot(std::unique_ptr<PendingLot> lot) {
    if (lot)
        m_lots.push_back(std::move(lot));
    return true;
}

bool LotRegister::MakeLots() {
    std::list<std::unique_ptr<PendingLot>> lots;
    lots.swap(m_lots);
    const std::map<int, Point *> byFileNo = std::move(m_byFileNo);
    m_byFileNo.clear();
    if (m_pDataBase == nullptr)
        return true;
    for (const std::unique_ptr<PendingLot> &pending : lots) {
        auto lot = std::make_unique<JLot>(static_cast<unsigned>(pending->no), pending->name,
                                          static_cast<unsigned>(pending->kind));
        bool whole = true;
        for (const int member : pending->members) {
            const auto it = byFileNo.find(member);
            if (it == byFileNo.end()) {
                whole = false;
                break;
            }
            lot->AppendPnt(it->second, false);
        }
        if (whole)
            m_pDataBase->AppendLot(lot.release());
    }
    return true;
}

void LotRegister::Clear() {
    m_lots.clear();
    m_byFileNo.clear();
}
