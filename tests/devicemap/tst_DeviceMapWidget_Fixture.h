#pragma once

#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// What the map suites share: a stand-in manager and a map over it whose layout file lives in
// one temporary directory. Reopening the map destroys the old one first, which saves its layout.
class DeviceMapFixture
{
protected:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }

    void resetFixture()
    {
        map.reset();
        QFile::remove(layoutPath());
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
    }

    void tearDownFixture()
    {
        map.reset();
        manager.reset();
    }

    DeviceMapWidget* openMap()
    {
        map.reset();
        map = std::make_unique<DeviceMapWidget>(manager.get(), layoutPath());
        return map.get();
    }

    QVariant stored(const QString& key) const { return QSettings(layoutPath(), QSettings::IniFormat).value(key); }

    void writeLayout(const QString& key, const QVariant& value)
    {
        QSettings(layoutPath(), QSettings::IniFormat).setValue(key, value);
    }

    QString create(const QString& type) { return manager->createDevice(type, false); }
    DeviceNodeItem* item(const QString& name) const { return map->getDeviceItems().value(name); }

    // Two devices, the first linked plainly to the second.
    QStringList linkedPair(const QString& firstType = QStringLiteral("generator"))
    {
        const QStringList pair{create(firstType), create(QStringLiteral("scaler"))};
        manager->addDeviceConnection(pair.at(0), pair.at(1), QString(), QString());
        return pair;
    }
};
