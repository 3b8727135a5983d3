#include "pallomir/ui/CrdSysCmbBox.h"

#include "exchange/Dorrimet/PlaneCoord.h"
#include "platform/ui/QtText.h"

CrdSysCmbBox::CrdSysCmbBox(QWidget *parent) : QComboBox(parent) {}

bool CrdSysCmbBox::SetData(const PlaneCoord *coord) {
    if (coord == nullptr)
        return false;
    // Adding items leaves the selection as it was.
    const int selected = currentIndex();
    bool added = true;
    for (int i = 0; i < coord->GetSize() && added; ++i) {
        const PlaneArea *area = coord->GetArea(i);
        added = area != nullptr;
        if (added)
            addItem(ToQString(area->GetName().c_str()),
                    QVariant::fromValue(reinterpret_cast<quintptr>(area)));
    }
    setCurrentIndex(selected);
    return added;
}

void CrdSysCmbBox::SetCurSelFromNo(const PlaneCoord *coord, int no) {
    setCurrentIndex(coord != nullptr ? coord->GetAreaIndexFromNo(no) : -1);
}

int CrdSysCmbBox::GetCurSelNo(const PlaneCoord *coord) const {
    const PlaneArea *area = coord != nullptr ? coord->GetArea(currentIndex()) : nullptr;
    return area != nullptr ? area->GetNo() : 1;
}

const PlaneArea *CrdSysCmbBox::GetItemArea(int index) const {
    return reinterpret_cast<const PlaneArea *>(itemData(index).value<quintptr>());
}
