#pragma once

#include <QComboBox>

class PlaneArea;
class PlaneCoord;

// Picks a plane-rectangular zone: one item per zone of a PlaneCoord, its data the zone.
class CrdSysCmbBox : public QComboBox {
    Q_OBJECT

  public:
    explicit CrdSysCmbBox(QWidget *parent = nullptr);

    // Adds the zones after the items already there; the selection stays. False for a null
    // coord or a null zone, with the zones before it added.
    bool SetData(const PlaneCoord *coord);
    // Selects the item at the zone's index in coord (none when the zone is not in it).
    void SetCurSelFromNo(const PlaneCoord *coord, int no);
    // The number of the zone at the selected index of coord; 1 without a selection.
    int GetCurSelNo(const PlaneCoord *coord) const;
    // The zone of item index, or null.
    const PlaneArea *GetItemArea(int index) const;
};
