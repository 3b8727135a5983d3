#pragma once

#include <QLineEdit>
#include <QString>

// An edit for one number. Typing that would not make a number within the range, or would
// have more decimals than allowed, is undone at once with the caret at the offending
// character; full-width digits and signs, and the long sound mark as a minus, count as their
// half-width characters. Leaving the field clamps the value into the range and shows it with
// the decimals.
class NumEdit : public QLineEdit {
    Q_OBJECT

  public:
    // The comparisons with the range allow this much.
    static constexpr double kTolerance = 1e-8;

    explicit NumEdit(QWidget *parent = nullptr);

    // The default minimum is the smallest positive double, so that negative input is refused
    // until a lower minimum is set.
    void SetMinimum(double minimum) { m_set.minimum = minimum; }
    void SetMaximum(double maximum) { m_set.maximum = maximum; }
    void SetDecimals(int decimals) { m_set.decimals = decimals; }

    // Clamps the value into the range, rounds it to the decimals and shows it.
    void SetValue(double value);
    // The value, clamped into the range.
    double GetValue() const;

  protected:
    // The text before a key is taken is the last accepted text.
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    void OnChange();
    void OnKillFocus();
    // The value rounded to the decimals, as its text shows it.
    double rounded(double value) const;
    QString format(double value) const;
    bool inRange(double value) const;

    struct Settings {
        double value = 0.0;
        double minimum = 2.2250738585072014e-308;
        double maximum = 1.7976931348623157e308;
        int decimals = 3;
        QString text; // the last accepted text
    } m_set;
    bool m_changing = false;
};

// The half-width form of typed text: the long sound mark becomes "-", full-width ASCII
// characters and the ideographic space their half-width ones.
QString ToHalfWidth(const QString &text);
