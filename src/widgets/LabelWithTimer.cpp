#include "LabelWithTimer.h"

#include <QTimer>

LabelWithTimer::LabelWithTimer(QString firstStyleSheet, QString secondStyleSheet, int delayMs, QString text,
                               QWidget* parent)
    : QLabel(text, parent)
    , m_firstStyleSheet(std::move(firstStyleSheet))
    , m_secondStyleSheet(std::move(secondStyleSheet))
    , m_delayMs(delayMs)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    QObject::connect(m_timer, &QTimer::timeout, this, [this] { setStyleSheet(m_secondStyleSheet); });
    setStyleSheet(m_firstStyleSheet);
}

void LabelWithTimer::setText(const QString& text)
{
    m_timer->start(m_delayMs);
    setStyleSheet(m_firstStyleSheet);
    QLabel::setText(text);
}
