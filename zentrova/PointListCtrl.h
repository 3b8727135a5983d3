#pragma once

#include <QTableView>

#include <memory>
#include <vector>

class Point;

// A report list of points with grid lines and full-row selection: one row per point with its
// name and X, Y and height ("%.3f"). Every row keeps the point it stands for, so a row leads
// to its point through this table, never through a position in the database, and shows what
// the point held when the row was made. The columns hold every coordinate the program takes
// whole; a name wider than its column shows whole in a tip under the pointer. The texts are
// made only for the rows on the screen, so filling the list with many points costs little more
// than copying their names and coordinates.
class PointListCtrl : public QTableView {
    Q_OBJECT

  public:
    // Which coordinate the rows show.
    enum Coords { TokyoDatum, JGD2000 };

    PointListCtrl(Coords coords, QWidget *parent = nullptr);
    ~PointListCtrl() override;

    int GetItemCount() const { return static_cast<int>(m_points.size()); }
    // Null outside the rows.
    Point *GetPoint(int row) const;
    const std::vector<Point *> &GetPoints() const { return m_points; }
    // What the cell shows; empty outside the rows.
    QString Text(int row, int column) const;
    // The selected rows in ascending order; -1 for the first when none is selected.
    std::vector<int> GetSelectedRows() const;
    int GetFirstSelectedRow() const;

    // Replaces every row by one per point.
    void Fill(const std::vector<Point *> &points);
    void AppendRow(Point *p);
    // Shows p in the row; nothing when the row does not exist.
    void SetRow(int row, Point *p);
    void DeleteRow(int row);
    void DeleteAllItems();

    // Whether the cell's text is wider than its column shows.
    bool IsCut(int row, int column) const;

  signals:
    // Rows were added, replaced or deleted.
    void rowsChanged();

  protected:
    // A tip with the whole text of a cell cut off.
    bool viewportEvent(QEvent *event) override;
    // The name column takes the width the number columns leave.
    void resizeEvent(QResizeEvent *event) override;

  private:
    class Rows;

    // Narrower than this the name column is not made; the list then scrolls sideways.
    static constexpr int kLeastNameWidth = 60;

    std::unique_ptr<Rows> m_rows;
    int m_numberWidth = 100;
    std::vector<Point *> m_points;
};
