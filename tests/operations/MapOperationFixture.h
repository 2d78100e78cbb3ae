#pragma once

#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// What the operation suites share: a map over a fresh stand-in manager, with its layout file in
// a temporary directory, and the map's undo stack.
class MapOperationFixture
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    void openMap()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        QFile::remove(dir.filePath(QStringLiteral("map.ini")));
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath(QStringLiteral("map.ini")));
    }

    void closeMap()
    {
        map.reset();
        manager.reset();
    }

    QUndoStack* stack() const { return map->getUndoStack(); }
    DeviceNodeItem* item(const QString& name) const { return map->getDeviceItems().value(name); }
};
