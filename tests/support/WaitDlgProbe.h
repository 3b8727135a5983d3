#pragma once

#include "platform/ui/DialogUnits.h"
#include "tests/support/WhenShown.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QString>
#include <QWidget>

// Looks at wait dialogs the way a user sees them.

inline QString TextOf(const QWidget *dialog, int id) {
    const auto *label = qobject_cast<const QLabel *>(GetDlgItem(dialog, id));
    return label != nullptr ? label->text() : QStringLiteral("<no label>");
}

inline int BarOf(const QWidget *dialog, int id) {
    const auto *bar = qobject_cast<const QProgressBar *>(GetDlgItem(dialog, id));
    return bar != nullptr ? bar->value() : -999;
}

inline QString U(const char8_t *utf8) { return QString::fromUtf8(utf8); }
