#include "MapColoriser.h"
#include "DeviceMapParts.h"

#include "BaseGuiDevice.h"
#include "ConnectionDrawing.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "MapSearch.h"

namespace {

// Qt's global colours 7 (red) to 19 (transparent); later keys repeat the opaque ones.
QColor generatedColor(int number)
{
    if (number > Qt::transparent)
        number = Qt::red + (number - Qt::red) % (Qt::transparent - Qt::red);
    return QColor(static_cast<Qt::GlobalColor>(number));
}

} // namespace

MapColoriser::MapColoriser(DeviceMapWidget& map)
    : map(map)
{
}

void MapColoriser::setMode(DeviceMapWidget::ColorisationMode mode)
{
    if (mode != colorisationMode)
        previousColorisationMode = colorisationMode;
    colorisationMode = mode;
    Q_EMIT map.colorModeChanged(mode);
    colorsMap.clear();
    const QStringList names = DeviceMapParts(map).itemIndex().devices().keys();
    for (const QString& name : names)
        colorise(name);
}

void MapColoriser::restore(DeviceMapWidget::ColorisationMode mode, DeviceMapWidget::ColorisationMode previous)
{
    setMode(mode);
    previousColorisationMode = previous;
}

void MapColoriser::colorise(const QString& name)
{
    DeviceNodeItem* item = DeviceMapParts(map).itemIndex().device(name);
    if (!item)
        return;
    DeviceManager* deviceManager = map.getDeviceManager();
    // Every manager look-up walks its device list and recolouring touches every device: ask
    // only for what the mode in force reads.
    const bool readsInfo =
        colorisationMode != DeviceMapWidget::ByState && colorisationMode != DeviceMapWidget::BySearch;
    const DeviceInfo info = readsInfo ? deviceManager->getDeviceInfo(name) : DeviceInfo();

    QColor color;
    switch (colorisationMode) {
    case DeviceMapWidget::ByState: {
        const BaseDevice::DeviceState state = deviceManager->getDeviceState(name);
        colorsMap.insert(DeviceMapWidget::tr("Device is initialized "), QColor(Qt::darkGreen));
        colorsMap.insert(DeviceMapWidget::tr("Device deinitialized with an error "), QColor(Qt::darkRed));
        colorsMap.insert(DeviceMapWidget::tr("Device deinitialized without an error "), QColor(Qt::darkGray));
        if (int(state) == 1)
            color = Qt::darkGreen;
        else if (int(state) == 4)
            color = Qt::darkRed;
        else if (int(state) == 2)
            color = QColor(Qt::yellow).darker(130);
        else
            color = Qt::darkGray;
        break;
    }
    case DeviceMapWidget::ByConnectivity: {
        const QColor highlight = map.palette().color(QPalette::Highlight);
        colorsMap.insert(DeviceMapWidget::tr("Can't connect "), QColor(Qt::darkRed));
        colorsMap.insert(DeviceMapWidget::tr("Auto connection "), QColor(Qt::darkGreen));
        colorsMap.insert(DeviceMapWidget::tr("Manual connection "), highlight);
        const QString connectionSource = DeviceMapParts(map).connectionDrawing().source();
        if (connectionSource.isEmpty())
            break;
        if (info.name == connectionSource) {
            color = Qt::darkRed;
            break;
        }
        const int match = deviceManager->findMatchingMethods(connectionSource, info.name, QString(), QString(),
                                                             nullptr, nullptr);
        bool alreadyFed = false;
        const DeviceInfo sourceInfo = deviceManager->getDeviceInfo(connectionSource);
        for (const Connection& connection : sourceInfo.outgoingConnections)
            alreadyFed = alreadyFed || connection.device == info.name;
        if (alreadyFed || match == 0)
            color = Qt::darkRed;
        else if (match >= 2 && match <= 4)
            color = Qt::darkGreen;
        else
            color = highlight;
        break;
    }
    case DeviceMapWidget::ByThread: {
        // A device without a thread of its own runs in its manager's, the GUI thread; the
        // legend names it rather than showing a row without text.
        const QString thread = info.thread.isEmpty() ? DeviceMapWidget::tr("GUI thread ") : info.thread;
        if (!colorsMap.contains(thread))
            colorsMap.insert(thread, generatedColor(colorsMap.size() + 7));
        color = colorsMap.value(thread);
        break;
    }
    case DeviceMapWidget::BySearch: {
        colorsMap.insert(DeviceMapWidget::tr("Match "), QColor(Qt::darkGreen));
        colorsMap.insert(DeviceMapWidget::tr("No match "), QColor(Qt::darkRed));
        colorsMap.insert(DeviceMapWidget::tr("Current device "), map.palette().color(QPalette::Highlight));
        if (DeviceMapParts(map).search().contains(item)) {
            color = Qt::darkGreen;
        } else {
            item->setSelected(false);
            color = Qt::darkRed;
        }
        break;
    }
    case DeviceMapWidget::ByNetwork: {
        if (!info.name.contains(QLatin1Char('@'))) {
            color = Qt::red;
            colorsMap.insert(DeviceMapWidget::tr("No network device manager "), QColor(Qt::red));
            break;
        }
        const QString key = info.name.split(QLatin1Char('@')).value(1);
        if (!colorsMap.contains(key))
            colorsMap.insert(key, generatedColor(colorsMap.size() + 8));
        color = colorsMap.value(key);
        break;
    }
    case DeviceMapWidget::ByArea: {
        if (auto device = qobject_cast<BaseGuiDevice*>(deviceManager->getDevice(info.name))) {
            const QString key = device->getArea();
            if (!colorsMap.contains(key))
                colorsMap.insert(key, generatedColor(colorsMap.size() + 7));
            color = colorsMap.value(key);
        }
        break;
    }
    }

    item->setHighlightColor(color);
    item->update(item->boundingRect());
}
