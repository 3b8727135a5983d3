#include "platform/ui/DialogUnits.h"

#include <QFontMetrics>
#include <QVariant>
#include <QWidget>

#include <cstdint>

namespace {

constexpr const char *kControlId = "controlId";

// a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Average width of the 52 Latin letters, rounded.
int AverageCharWidth(const QFont &font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (width / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont &font)
    : m_baseX(AverageCharWidth(font)), m_baseY(QFontMetrics(font).height()) {}

DialogUnits::DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

int DialogUnits::ToPixelsX(int dlu) const { return MulDiv(dlu, m_baseX, 4); }

int DialogUnits::ToPixelsY(int dlu) const { return MulDiv(dlu, m_baseY, 8); }

QRect DialogUnits::ToPixels(const QRect &dlu) const {
    return QRect(ToPixelsX(dlu.x()), ToPixelsY(dlu.y()), ToPixelsX(dlu.width()),
                 ToPixelsY(dlu.height()));
}

QSize DialogUnits::ToPixels(const QSize &dlu) const {
    return QSize(ToPixelsX(dlu.width()), ToPixelsY(dlu.height()));
}

void PlaceControl(QWidget *control, int id, const QRect &dlu, const DialogUnits &units) {
    control->setGeometry(units.ToPixels(dlu));
    SetDlgCtrlID(control, id);
}

int GetDlgCtrlID(const QWidget *control) {
    const QVariant value = control != nullptr ? control->property(kControlId) : QVariant();
    return value.isValid() ? value.toInt() : 0;
}

void SetDlgCtrlID(QWidget *control, int id) { control->setProperty(kControlId, id); }

QWidget *GetDlgItem(const QWidget *dialog, int id) {
    const QList<QWidget *> children = dialog->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (GetDlgCtrlID(child) == id) {
            return child;
        }
    }
    return nullptr;
}
