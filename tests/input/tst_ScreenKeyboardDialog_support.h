#pragma once

#include "ScreenKeyboardDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace KeyboardTest {

/// Lets the keys released by a layout switch go and the new ones show.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QGridLayout* keyGrid(QWidget* dialog)
{
    return dialog->findChild<QGridLayout*>();
}

inline QLineEdit* lineEditOf(QWidget* dialog)
{
    return dialog->findChild<QLineEdit*>();
}

/// The visible keys reading text, left to right, top to bottom.
inline QList<QPushButton*> keys(QWidget* dialog, const QString& text)
{
    QList<QPushButton*> found;
    const auto buttons = dialog->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->isVisible() && button->text() == text)
            found.append(button);
    }
    std::sort(found.begin(), found.end(), [](QPushButton* a, QPushButton* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    return found;
}

inline QPushButton* key(QWidget* dialog, const QString& text)
{
    const auto found = keys(dialog, text);
    return found.isEmpty() ? nullptr : found.first();
}

/// Clicks the first visible key reading text; false when there is none or it is disabled.
inline bool clickKey(QWidget* dialog, const QString& text)
{
    QPushButton* button = key(dialog, text);
    if (!button || !button->isEnabled())
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    return true;
}

/**
 * Runs action on the keyboard dialog as soon as it runs modally, then rejects it if the
 * action left it open, so no test can hang in exec().
 */
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
