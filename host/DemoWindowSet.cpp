#include "DemoWindowSet.h"

#include <QWidget>

namespace {

DemoWindowSet* currentSet = nullptr;

} // namespace

DemoWindowSet::DemoWindowSet(DeviceManager* manager)
    : m_manager(manager), m_descriptions(demoWindows()), m_windows(m_descriptions.size())
{
    for (const DemoWindow& description : qAsConst(m_descriptions))
        m_titles.append(description.name);
    currentSet = this;
}

DemoWindowSet::~DemoWindowSet()
{
    if (currentSet == this)
        currentSet = nullptr;
    // In their order, before the manager they show goes.
    for (const QPointer<QWidget>& window : qAsConst(m_windows))
        delete window.data();
}

DemoWindowSet* DemoWindowSet::current()
{
    return currentSet;
}

const QList<DemoWindow>& DemoWindowSet::descriptions() const
{
    return m_descriptions;
}

int DemoWindowSet::indexOf(const QString& name) const
{
    for (int index = 0; index < m_descriptions.size(); ++index) {
        if (m_descriptions.at(index).name == name)
            return index;
    }
    return -1;
}

QWidget* DemoWindowSet::window(int index) const
{
    return m_windows.value(index);
}

QString DemoWindowSet::title(int index) const
{
    if (const QWidget* shown = window(index)) {
        if (!shown->windowTitle().isEmpty())
            return shown->windowTitle();
    }
    return m_titles.value(index);
}

void DemoWindowSet::openAll()
{
    for (int index = 0; index < m_descriptions.size(); ++index)
        show(index);
}

QWidget* DemoWindowSet::show(int index)
{
    if (index < 0 || index >= m_descriptions.size())
        return nullptr;
    QPointer<QWidget>& window = m_windows[index];
    if (!window) {
        window = m_descriptions.at(index).create(m_manager);
        // Remembered for the menus once the window is gone.
        if (!window->windowTitle().isEmpty())
            m_titles[index] = window->windowTitle();
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
