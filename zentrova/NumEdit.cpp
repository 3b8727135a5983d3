#include "zentrova/NumEdit.h"

#include "platform/core/Numbers.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>

NumEdit::NumEdit(QWidget *parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &NumEdit::OnChange);
}

QString NumEdit::format(double value) const {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", m_set.decimals, value);
    return QString::fromLatin1(text);
}

double NumEdit::rounded(double value) const {
    const double read = AtofC(format(value).toLatin1().constData());
    // A negative value that rounds to zero (and -0 itself) is zero, shown without a sign.
    return read == 0.0 ? 0.0 : read;
}

bool NumEdit::inRange(double value) const {
    return value >= m_set.minimum - kTolerance && value <= m_set.maximum + kTolerance;
}

void NumEdit::SetValue(double value) {
    m_set.value = rounded(std::clamp(value, m_set.minimum, m_set.maximum));
    m_set.text = format(m_set.value);
    setText(m_set.text);
}

double NumEdit::GetValue() const {
    if (m_set.value < m_set.minimum)
        return m_set.minimum;
    if (m_set.value > m_set.maximum)
        return m_set.maximum;
    return m_set.value;
}

void NumEdit::keyPressEvent(QKeyEvent *event) {
    m_set.text = text();
    QLineEdit::keyPressEvent(event);
}

void NumEdit::inputMethodEvent(QInputMethodEvent *event) {
    m_set.text = text();
    QLineEdit::inputMethodEvent(event);
}

void NumEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    OnKillFocus();
}

void NumEdit::OnChange() {
    if (m_changing)
        return;
    const QString typed = ToHalfWidth(text());
    if (typed.isEmpty()) {
        m_set.text = typed;
        return;
    }
    int failAt = -1;
    bool point = false;
    for (int i = 0; i < typed.size() && failAt < 0; ++i) {
        const QChar c = typed[i];
        if (c == QLatin1Char('-')) {
            if (i != 0 || m_set.minimum >= 0.0)
                failAt = i;
        } else if (c == QLatin1Char('.')) {
            if (point)
                failAt = i;
            point = true;
        } else if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            failAt = i;
        }
    }
    bool fails = failAt >= 0;
    if (!fails) {
        const int dot = typed.indexOf(QLatin1Char('.'));
        if (dot >= 0 && typed.size() - dot - 1 > m_set.decimals) {
            failAt = dot + 1 + m_set.decimals;
            fails = true;
        } else if (!inRange(AtofC(typed.toLatin1().constData()))) {
            fails = true;
        }
    }
    if (!fails) {
        if (typed != m_set.text) {
            m_set.text = typed;
            m_set.value = AtofC(typed.toLatin1().constData());
        }
        return;
    }
    m_changing = true;
    setText(m_set.text);
    m_changing = false;
    setCursorPosition(failAt >= 0 ? std::min(failAt, static_cast<int>(m_set.text.size()))
                                  : static_cast<int>(m_set.text.size()));
}

void NumEdit::OnKillFocus() {
    const double value = rounded(AtofC(ToHalfWidth(m_set.text).toLatin1().constData()));
    m_set.value = std::clamp(value, m_set.minimum, m_set.maximum);
    m_set.text = format(m_set.value);
    setText(m_set.text);
}

QString ToHalfWidth(const QString &text) {
    QString half = text;
    for (QChar &c : half) {
        const char16_t u = c.unicode();
        if (u == 0x30FC) // the long sound mark
            c = QLatin1Char('-');
        else if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(static_cast<char16_t>(u - 0xFEE0));
        else if (u == 0x3000)
            c = QLatin1Char(' ');
    }
    return half;
}
