#pragma once

#include "dozerozozu_export.h"

#include <QPointer>

class DeviceManager;

/**
 * A run of device-manager calls that is saved once: the manager is read-only from the
 * bracket's start (so that no call saves the configuration on its own), then gets its former
 * flag back and saves its configuration, on every way out. A manager deleted meanwhile is
 * left alone. GUI thread only.
 *
 *     ReadonlyBracket bracket(manager);
 *     for (const QString& name : names)
 *         manager->removeDevice(name);
 *     // the destructor (or close()) restores the flag and saves
 */
class DOZEROZOZU_EXPORT ReadonlyBracket
{
public:
    explicit ReadonlyBracket(DeviceManager* manager);
    ~ReadonlyBracket();
    ReadonlyBracket(const ReadonlyBracket&) = delete;
    ReadonlyBracket& operator=(const ReadonlyBracket&) = delete;

    /// Restores the flag and saves now; later calls and the destructor do nothing.
    void close();

private:
    QPointer<DeviceManager> manager;
    bool wasReadonly = false;
};
