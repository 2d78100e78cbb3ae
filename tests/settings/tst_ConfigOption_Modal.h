#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace ModalAnswer {

/// Runs `answer` on the first modal widget of class `className` that appears while the
/// caller's own nested event loop runs; gives up after `timeoutMs` so no test hangs.
inline void whenModal(const char* className, std::function<void(QWidget*)> answer, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, className, answer, timeoutMs] {
        *waited += 10;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className)) {
            timer->stop();
            timer->deleteLater();
            delete waited;
            answer(modal);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete waited;
            if (modal)
                modal->close();
        }
    });
    timer->start(10);
}

} // namespace ModalAnswer
