#include "zentrova/PointListCtrl.h"

#include "platform/ui/QtText.h"
#include "veltrane/model/Point.h"
#include "zentrova/PointCsv.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace {

QTableWidgetItem *makeItem(const QString &text, Qt::Alignment alignment) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

QString number(double value) { return QString::fromLatin1(CoordText(value).GetString()); }

} // namespace

PointListCtrl::PointListCtrl(Coords coords, QWidget *parent)
    : QTableWidget(0, 4, parent), m_coords(coords) {
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
    const char *const headings[] = {"点名", "X座標", "Y座標", "標高"};
    for (int column = 0; column < 4; ++column) {
        setHorizontalHeaderItem(column, makeItem(ToQString(headings[column]),
                                                 column == 0 ? Qt::AlignLeft : Qt::AlignRight));
        setColumnWidth(column, m_numberWidth);
    }
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

void PointListCtrl::resizeEvent(QResizeEvent *event) {
    QTableWidget::resizeEvent(event);
    // Room is kept for the vertical scroll bar, so the columns fit whether it shows or not.
    const int room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    setColumnWidth(0, std::max(kLeastNameWidth, room - 3 * m_numberWidth));
}

bool PointListCtrl::IsCut(int row, int column) const {
    const QTableWidgetItem *cell = item(row, column);
    if (cell == nullptr)
        return false;
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return fontMetrics().horizontalAdvance(cell->text()) + 2 * margin > columnWidth(column);
}

bool PointListCtrl::viewportEvent(QEvent *event) {
    if (event->type() != QEvent::ToolTip)
        return QTableWidget::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && IsCut(index.row(), index.column()))
        QToolTip::showText(help->globalPos(), item(index.row(), index.column())->text(), viewport(),
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

void PointListCtrl::showRow(int row, const Point *p) {
    const Coordinate c = m_coords == TokyoDatum ? p->GetTokyoDatum() : p->GetJGD2000(0);
    setItem(row, 0, makeItem(ToQString(p->GetName()), Qt::AlignLeft));
    setItem(row, 1, makeItem(number(c.GetX()), Qt::AlignRight));
    setItem(row, 2, makeItem(number(c.GetY()), Qt::AlignRight));
    setItem(row, 3, makeItem(number(c.GetH()), Qt::AlignRight));
}

void PointListCtrl::Fill(const std::vector<Point *> &points) {
    setUpdatesEnabled(false);
    clearContents();
    m_points = points;
    setRowCount(GetItemCount());
    for (int row = 0; row < GetItemCount(); ++row)
        showRow(row, m_points[static_cast<std::size_t>(row)]);
    setUpdatesEnabled(true);
    emit rowsChanged();
}

void PointListCtrl::AppendRow(Point *p) {
    m_points.push_back(p);
    setRowCount(GetItemCount());
    showRow(GetItemCount() - 1, p);
    emit rowsChanged();
}

void PointListCtrl::SetRow(int row, Point *p) {
    if (row < 0 || row >= GetItemCount())
        return;
    m_points[static_cast<std::size_t>(row)] = p;
    showRow(row, p);
    emit rowsChanged();
}

void PointListCtrl::DeleteRow(int row) {
    if (row < 0 || row >= GetItemCount())
        return;
    m_points.erase(m_points.begin() + row);
    removeRow(row);
    emit rowsChanged();
}

void PointListCtrl::DeleteAllItems() {
    m_points.clear();
    clearContents();
    setRowCount(0);
    emit rowsChanged();
}
