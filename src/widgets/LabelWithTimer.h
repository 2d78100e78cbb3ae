#pragma once

#include "dozerozozu_export.h"

#include <QLabel>

class QTimer;

/**
 * A label that shows each new text in a first style and falls back to a second style after a
 * delay (a status that flashes, then settles). The construction text keeps the first style
 * with no timer running. GUI thread only.
 */
class DOZEROZOZU_EXPORT LabelWithTimer : public QLabel
{
public:
    LabelWithTimer(QString firstStyleSheet, QString secondStyleSheet, int delayMs, QString text = QString(),
                   QWidget* parent = nullptr);

    /// Shows text in the first style and (re)starts the delay to the second style.
    void setText(const QString& text);

private:
    QString m_firstStyleSheet;
    QString m_secondStyleSheet;
    int m_delayMs;
    QTimer* m_timer;
};
