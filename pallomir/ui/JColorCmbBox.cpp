#include "pallomir/ui/JColorCmbBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

QColor toQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Draws the items of the list through the box's DrawItem.
class ColorItemDelegate : public QStyledItemDelegate {
  public:
    explicit ColorItemDelegate(JColorCmbBox *box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        m_box->DrawItem(painter, option.rect, index.row(),
                        option.state.testFlag(QStyle::State_Selected),
                        option.state.testFlag(QStyle::State_HasFocus));
    }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
                     JColorCmbBox::kItemHeight);
    }

  private:
    JColorCmbBox *m_box;
};

} // namespace

JColorCmbBox::JColorCmbBox(QWidget *parent) : QComboBox(parent) {
    setItemDelegate(new ColorItemDelegate(this));
}

bool JColorCmbBox::MakeContent(const std::vector<COLORREF> &colours) {
    clear();
    for (std::size_t i = 0; i < colours.size(); ++i)
        addItem(QString::number(i), QVariant::fromValue(static_cast<uint>(colours[i])));
    setCurrentIndex(-1);
    return true;
}

COLORREF JColorCmbBox::GetItemColor(int index) const {
    if (index < 0 || index >= count())
        return 0;
    return itemData(index).value<uint>();
}

int JColorCmbBox::Find(COLORREF colour) const {
    for (int i = 0; i < count(); ++i) {
        if (itemData(i).value<uint>() == colour)
            return i;
    }
    return -1;
}

void JColorCmbBox::DrawItem(QPainter *painter, const QRect &rect, int index, bool selected,
                            bool focused) const {
    const QPalette &colours = palette();
    QColor background = colours.color(QPalette::Base);
    if (selected)
        background =
            m_bFocus ? colours.color(QPalette::Highlight) : colours.color(QPalette::Button);
    painter->save();
    if (!rect.isEmpty())
        painter->fillRect(rect, background);
    const QRect swatch = rect.adjusted(5, 2, -5, -2);
    if (!swatch.isEmpty() && index >= 0 && index < count()) {
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(toQColor(GetItemColor(index)));
        // The pen draws on the rectangle's edge pixels, inside it.
        painter->drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    if (m_bFocus && focused) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect;
        option.backgroundColor = background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, painter, this);
    }
    painter->restore();
}

void JColorCmbBox::focusInEvent(QFocusEvent *event) {
    m_bFocus = true;
    QComboBox::focusInEvent(event);
}

void JColorCmbBox::focusOutEvent(QFocusEvent *event) {
    // The open list takes the focus from the box while the box stays the user's control.
    if (event->reason() != Qt::PopupFocusReason)
        m_bFocus = false;
    QComboBox::focusOutEvent(event);
}

void JColorCmbBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawItem(&painter, field, currentIndex(), hasFocus(), hasFocus());
}
