#include "zentrova/PointListCtrl.h"

#include "platform/ui/QtText.h"
#include "veltrane/model/Point.h"
#include "zentrova/PointCsv.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>
#include <array>

// The rows as the points held them when each row was made; the texts are made when asked for.
class PointListCtrl::Rows : public QAbstractTableModel {
  public:
    struct Row {
        CString name;
        std::array<double, 3> xyh;
    };

    explicit Rows(Coords coords) : m_coords(coords) {}

    Row RowOf(const Point &p) const {
        const Coordinate c = m_coords == TokyoDatum ? p.GetTokyoDatum() : p.GetJGD2000(0);
        return Row{p.GetName(), {c.GetX(), c.GetY(), c.GetH()}};
    }

    QString Text(std::size_t row, int column) const {
        if (row >= m_rows.size() || column < 0 || column > 3)
            return QString();
        if (column == 0)
            return ToQString(m_rows[row].name);
        return QString::fromLatin1(
            CoordText(m_rows[row].xyh[static_cast<std::size_t>(column - 1)]).GetString());
    }

    void Fill(const std::vector<Point *> &points) {
        beginResetModel();
        m_rows.clear();
        m_rows.reserve(points.size());
        for (const Point *p : points)
            m_rows.push_back(RowOf(*p));
        endResetModel();
    }

    void Append(const Point &p) {
        const int row = static_cast<int>(m_rows.size());
        beginInsertRows(QModelIndex(), row, row);
        m_rows.push_back(RowOf(p));
        endInsertRows();
    }

    void Set(int row, const Point &p) {
        m_rows[static_cast<std::size_t>(row)] = RowOf(p);
        emit dataChanged(index(row, 0), index(row, 3));
    }

    void Remove(int row) {
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : 4;
    }

    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid())
            return QVariant();
        if (role == Qt::DisplayRole)
            return Text(static_cast<std::size_t>(index.row()), index.column());
        if (role == Qt::TextAlignmentRole)
            return alignment(index.column());
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char *const headings[] = {"点名", "X座標", "Y座標", "標高"};
        if (orientation != Qt::Horizontal || section < 0 || section > 3)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (role == Qt::DisplayRole)
            return ToQString(headings[section]);
        if (role == Qt::TextAlignmentRole)
            return alignment(section);
        return QVariant();
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

  private:
    // Names on the left, numbers on the right.
    static QVariant alignment(int column) {
        return static_cast<int>((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }

    Coords m_coords;
    std::vector<Row> m_rows;
};

PointListCtrl::PointListCtrl(Coords coords, QWidget *parent)
    : QTableView(parent), m_rows(std::make_unique<Rows>(coords)) {
    setModel(m_rows.get());
    // Number columns 100 pixels wide, or as wide as the widest coordinate the program takes
    // needs in the dialog's font (with the cell's margins, its grid line and a little room), so
    // that no digit is ever cut off: six digits before the point, whichever digit is the widest.
    // The name column takes what they leave of the list (resizeEvent); a name cut off shows
    // whole in a tip.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    int widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString text = QLatin1Char('-') + QString(6, QLatin1Char(digit)) + QLatin1Char('.') +
                             QString(3, QLatin1Char(digit));
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    }
    m_numberWidth = std::max(100, widest + 4 * margin + 4);
    for (int column = 0; column < 4; ++column)
        setColumnWidth(column, m_numberWidth);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
}

PointListCtrl::~PointListCtrl() {
    // The view lets go of the model before the model goes.
    setModel(nullptr);
}

void PointListCtrl::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    // Room is kept for the vertical scroll bar, so the columns fit whether it shows or not.
    const int room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    setColumnWidth(0, std::max(kLeastNameWidth, room - 3 * m_numberWidth));
}

QString PointListCtrl::Text(int row, int column) const {
    return row < 0 ? QString() : m_rows->Text(static_cast<std::size_t>(row), column);
}

bool PointListCtrl::IsCut(int row, int column) const {
    if (row < 0 || row >= GetItemCount() || column < 0 || column > 3)
        return false;
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(Text(row, column)) + 2 * margin > columnWidth(column);
}

bool PointListCtrl::viewportEvent(QEvent *event) {
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && IsCut(index.row(), index.column()))
        QToolTip::showText(help->globalPos(), Text(index.row(), index.column()), viewport(),
                           visualRect(index));
    else
        QToolTip::hideText();
    return true;
}

Point *PointListCtrl::GetPoint(int row) const {
    return row >= 0 && row < GetItemCount() ? m_points[static_cast<std::size_t>(row)] : nullptr;
}

std::vector<int> PointListCtrl::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int PointListCtrl::GetFirstSelectedRow() const {
    const std::vector<int> rows = GetSelectedRows();
    return rows.empty() ? -1 : rows.front();
}

void PointListCtrl::Fill(const std::vector<Point *> &points) {
    m_points = points;
    m_rows->Fill(points);
    emit rowsChanged();
}

void PointListCtrl::AppendRow(Point *p) {
    m_points.push_back(p);
    m_rows->Append(*p);
    emit rowsChanged();
}

void PointListCtrl::SetRow(int row, Point *p) {
    if (row < 0 || row >= GetItemCount())
        return;
    m_points[static_cast<std::size_t>(row)] = p;
    m_rows->Set(row, *p);
    emit rowsChanged();
}

void PointListCtrl::DeleteRow(int row) {
    if (row < 0 || row >= GetItemCount())
        return;
    m_points.erase(m_points.begin() + row);
    m_rows->Remove(row);
    emit rowsChanged();
}

void PointListCtrl::DeleteAllItems() { Fill({}); }
