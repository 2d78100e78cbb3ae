#pragma once

#include "ScreenKeyboardDialog.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace KeyboardTest {

inline QLineEdit* lineEditOf(QWidget* dialog) { return dialog->findChild<QLineEdit*>(); }

/// The first visible key reading text; of the two shift keys, the left one.
inline QPushButton* key(QWidget* dialog, const QString& text)
{
    const auto buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->isVisible() && button->text() == text)
            return button;
    }
    return nullptr;
}

/// Clicks that key and lets a layout switch settle (old keys gone, new ones shown);
/// false when the key is missing or disabled.
inline bool clickKey(QWidget* dialog, const QString& text)
{
    QPushButton* button = key(dialog, text);
    if (!button || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

inline bool clickKeys(QWidget* dialog, const QStringList& texts)
{
    for (const QString& text : texts) {
        if (!clickKey(dialog, text))
            return false;
    }
    return true;
}

/// Runs action on the keyboard as soon as it runs modally, then rejects it if the action
/// left it open, so no test can hang in exec().
inline void onKeyboard(std::function<void(ScreenKeyboardDialog*)> action)
{
    auto timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto dialog = qobject_cast<ScreenKeyboardDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        QPointer<ScreenKeyboardDialog> guard(dialog);
        action(dialog);
        if (guard && guard->isVisible())
            guard->reject();
    });
    timer->start();
}

} // namespace KeyboardTest
