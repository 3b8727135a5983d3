#pragma once

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

// Saves what the widget looks like as a test artefact under the build tree.
inline void SaveScreenshot(QWidget *widget, const char *name) {
    QDir().mkpath(QStringLiteral(ZENTROVA_ARTEFACT_DIR));
    const QString path = QStringLiteral(ZENTROVA_ARTEFACT_DIR "/") + QLatin1String(name);
    EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

// Every label has the lines its text needs and every button the width of its text.
inline void ExpectNothingClipped(QWidget *dialog) {
    for (const QLabel *label : dialog->findChildren<QLabel *>()) {
        EXPECT_LE(label->heightForWidth(label->width()), label->height())
            << label->text().toStdString();
    }
    for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
}
