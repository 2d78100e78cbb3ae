#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace ModalAnswer {

/// Runs `answer` on the first modal widget of class `className` that appears while the
/// caller's own nested event loop runs; gives up after five seconds so no test hangs.
inline void whenModal(const char* className, std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(5000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, className, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->inherits(className);
        if (!found && !deadline.hasExpired())
            return;
        timer->deleteLater();
        timer->stop();
        if (found)
            answer(modal);
        else if (modal)
            modal->close();
    });
    timer->start(10);
}

} // namespace ModalAnswer
