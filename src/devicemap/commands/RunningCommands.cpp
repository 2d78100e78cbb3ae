#include "RunningCommands.h"

#include "DeviceMapParts.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <QtDebug>

#include <utility>

struct RunningCommands::State
{
    int running = 0;
    bool ownStepGranted = false;
    QList<QPointer<QObject>> kept;
};

RunningCommands::Scope::Scope(const DeviceMapWidget* map)
{
    if (!map)
        return;
    state = DeviceMapParts(map).runningCommands().state;
    ++state->running;
}

RunningCommands::Scope::~Scope()
{
    if (state && --state->running == 0 && !state->kept.isEmpty())
        deleteKeptOnceIdle(state);
}

RunningCommands::Entry::Entry(const DeviceMapWidget* map, const char* entry, const QString& subject)
{
    if (!mayBegin(map, entry, subject))
        return;
    DeviceMapParts(map).runningCommands().state->ownStepGranted = false;
    running.emplace(map);
}

RunningCommands::OwnStep::OwnStep(const DeviceMapWidget* map)
{
    if (!map)
        return;
    state = DeviceMapParts(map).runningCommands().state;
    state->ownStepGranted = true;
}

RunningCommands::OwnStep::~OwnStep()
{
    if (state)
        state->ownStepGranted = false;
}

bool RunningCommands::mayBegin(const DeviceMapWidget* map, const char* entry, const QString& subject)
{
    if (!map)
        return false;
    const State& state = *DeviceMapParts(map).runningCommands().state;
    if (state.ownStepGranted || (state.running == 0 && !map->isWaitingForManager()))
        return true;
    QDebug line = qWarning().noquote();
    line << entry << "| WARNING another command of the map is running, refused |";
    if (!subject.isEmpty())
        line << subject;
    return false;
}

RunningCommands::RunningCommands()
    : state(std::make_shared<State>())
{
}

RunningCommands::~RunningCommands() = default;

bool RunningCommands::isRunning() const
{
    return state->running > 0;
}

bool RunningCommands::holdDeletion(QObject* object)
{
    if (state->running == 0 || !object)
        return false;
    if (!state->kept.contains(object))
        state->kept.append(object);
    if (auto widget = qobject_cast<QWidget*>(object)) {
        widget->hide();
        if (widget->parentWidget())
            widget->setParent(nullptr);
    }
    return true;
}

// Called as the outermost command returns into whatever ran it (the undo stack's push, a
// button's click): the deletion must come from the event loop, after that. Qt drops a second
// deleteLater() of an object while other events for it are queued, and the deferred delete of a
// kept object was taken in already: a helper object of its own carries the request, at the level
// where the command returned. A command begun by then posts again as it ends.
void RunningCommands::deleteKeptOnceIdle(const std::shared_ptr<State>& state)
{
    auto carrier = new QObject();
    QObject::connect(carrier, &QObject::destroyed, [state]() {
        if (state->running > 0)
            return;
        const QList<QPointer<QObject>> kept = std::exchange(state->kept, {});
        for (const QPointer<QObject>& object : kept)
            delete object.data();
    });
    carrier->deleteLater();
}
