#pragma once

#include "dozerozozu_export.h"

#include <QPointer>

class DeviceManager;
class DeviceMapWidget;

/**
 * A run of device-manager calls that is saved once: the manager is read-only from the
 * bracket's start (so that no call saves the configuration on its own), then gets its former
 * flag back and saves its configuration, on every way out. A manager deleted meanwhile is
 * left alone. The outcome of that save goes to the map (MapSaves), so the host hears when
 * the graph could not be written and a layout file left behind by an earlier failure is
 * written with it; a bracket inside another one (the manager already read-only) writes
 * nothing and reports nothing. GUI thread only.
 *
 *     ReadonlyBracket bracket(manager, map);
 *     for (const QString& name : names)
 *         manager->removeDevice(name);
 *     // the destructor (or close()) restores the flag and saves
 */
class DOZEROZOZU_EXPORT ReadonlyBracket
{
public:
    /// map hears how the save went; null, or deleted meanwhile, hears nothing.
    ReadonlyBracket(DeviceManager* manager, DeviceMapWidget* map);
    ~ReadonlyBracket();
    ReadonlyBracket(const ReadonlyBracket&) = delete;
    ReadonlyBracket& operator=(const ReadonlyBracket&) = delete;

    /// Restores the flag and saves now; later calls and the destructor do nothing.
    void close();

private:
    QPointer<DeviceManager> manager;
    QPointer<DeviceMapWidget> map;
    bool wasReadonly = false;
};
