#pragma once

#include "DemoWindows.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class DeviceManager;
class QWidget;

/**
 * The demo's windows over one device manager, one of each of demoWindows(), in that order.
 * main() opens them all at start; the "Demo" menu of each window (addDemoMenu()) lists them
 * and shows the one the user chooses, made again when it was closed and deleted, so that no
 * window the user closed is lost until a restart. Owns the windows it made and deletes those
 * still there when it goes; the manager must outlive it. GUI thread; one set at a time, the
 * one made last being current().
 *
 *     DemoWindowSet windows(&manager);
 *     windows.openAll();
 */
class DemoWindowSet
{
public:
    explicit DemoWindowSet(DeviceManager* manager);
    ~DemoWindowSet();
    DemoWindowSet(const DemoWindowSet&) = delete;
    DemoWindowSet& operator=(const DemoWindowSet&) = delete;

    /// The set the "Demo" menus act on: the last one made, while it lives; null otherwise.
    static DemoWindowSet* current();

    /// What each window is, in the order the demo opens them.
    const QList<DemoWindow>& descriptions() const;
    /// The index of the window of that name (DemoWindow::name), -1 when there is none.
    int indexOf(const QString& name) const;
    /// The window at index; null before it is made and once it is deleted.
    QWidget* window(int index) const;
    /// The title of the window at index as it was last seen, for a menu to list it by.
    QString title(int index) const;

    /// Makes and shows every window, in order.
    void openAll();
    /**
     * Puts the window at index in front of the user: made (again) when it is not there, shown
     * again when closed or minimised, then raised and activated. Returns it.
     */
    QWidget* show(int index);

private:
    DeviceManager* m_manager;
    QList<DemoWindow> m_descriptions;
    QVector<QPointer<QWidget>> m_windows;
    QStringList m_titles;
};
