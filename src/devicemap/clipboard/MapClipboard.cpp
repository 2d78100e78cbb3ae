#include "MapClipboard.h"

#include "ConnectionString.h"
#include "DeviceFile.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "ExportMetaDeviceWizard.h"
#include "MapItemIndex.h"
#include "MapWaitCursor.h"
#include "MetaDeviceImport.h"
#include "ModalRunner.h"
#include "PasteDevicesOperation.h"
#include "RunningCommands.h"
#include "SafeFileWriter.h"
#include "TemplateFiles.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <QtDebug>

#include <utility>

namespace {

// How often a drop that came during an operation's wait looks again whether the wait is over.
constexpr int dropRetryMs = 20;

QList<DeviceNodeItem*> deviceItems(const QList<QGraphicsItem*>& items)
{
    QList<DeviceNodeItem*> devices;
    for (QGraphicsItem* item : items) {
        if (auto device = dynamic_cast<DeviceNodeItem*>(item))
            devices.append(device);
    }
    return devices;
}

} // namespace

MapClipboard::MapClipboard(DeviceMapWidget& map)
    : map(map)
{
}

// The snapshot leaves out the links to devices not copied; their connection strings go as well,
// or every paste of part of a linked group would report them as incorrect connections.
QString MapClipboard::deviceText(const QList<QGraphicsItem*>& items) const
{
    QList<DeviceInfo> infos = map.getDevicesArrangement(items).devices;
    QSet<QString> copied;
    for (const DeviceInfo& info : qAsConst(infos))
        copied.insert(info.name);
    for (DeviceInfo& info : infos) {
        QStringList kept;
        for (const QString& text : qAsConst(info.connectionStrings)) {
            const std::optional<ConnectionString> parsed = ConnectionString::parse(text);
            if (!parsed || copied.contains(parsed->source))
                kept.append(text);
        }
        info.connectionStrings = kept;
    }
    return DeviceText::compose(infos);
}

void MapClipboard::copy()
{
    QList<QGraphicsItem*> items = map.scene()->selectedItems();
    if (items.isEmpty()) {
        if (DeviceNodeItem* under = deviceAt(cursorPoint()))
            items.append(under);
    }
    QApplication::clipboard()->setText(deviceText(items), QClipboard::Clipboard);
}

void MapClipboard::paste(const QPoint& viewportPoint)
{
    // No question about the clipboard's text for a paste that would be refused.
    if (!RunningCommands::mayBegin(&map, "MapClipboard::paste()"))
        return;
    const QPoint point = viewportPoint.isNull() ? cursorPoint() : viewportPoint;
    QPointer<DeviceMapWidget> alive(&map);
    const QList<DeviceInfo> infos = DeviceText::parse(&map, QApplication::clipboard()->text(QClipboard::Clipboard));
    if (!alive || infos.isEmpty())
        return;
    // The layout of the pasted devices is part of the paste. A map deleted while it waits
    // ends the paste there, before the manager has made anything.
    MapWaitCursor busy(PasteDevicesOperation::workOf(infos));
    const DevicesArrangement arrangement = map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
    if (!alive)
        return;
    pushPaste(infos, arrangement, point);
}

void MapClipboard::pasteDevices(const DevicesArrangement& arrangement, const QPoint& viewportPoint)
{
    pushPaste(arrangement.devices, arrangement, viewportPoint.isNull() ? cursorPoint() : viewportPoint);
}

void MapClipboard::pushPaste(const QList<DeviceInfo>& infos, const DevicesArrangement& arrangement,
                             const QPoint& viewportPoint)
{
    if (infos.isEmpty())
        return;
    MapWaitCursor busy(PasteDevicesOperation::workOf(infos));
    map.pushOperation(new PasteDevicesOperation(&map, infos, arrangement, map.mapToScene(viewportPoint)));
}

void MapClipboard::exportTemplate(const QList<QGraphicsItem*>& items)
{
    if (items.isEmpty())
        return;
    const QString text = deviceText(items);
    QPointer<DeviceMapWidget> alive(&map);
    bool ok = false;
    const QString name = ModalRunner::getText(&map, DeviceMapWidget::tr("Export template"),
                                              DeviceMapWidget::tr("Template name:"), QString(), &ok);
    if (!alive || !ok || name.isEmpty())
        return;
    if (!TemplateFiles::isAcceptableName(name)) {
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Export template error"),
                                  DeviceMapWidget::tr("A template name may not contain \"/\", \"\\\" or \"..\"."));
        return;
    }
    const QString path = TemplateFiles::pathForName(name);
    QString error;
    if (TemplateFiles::ensureDirectory(&error)) {
        if (QFileInfo::exists(path) && !confirmReplacing(path))
            return;
        if (SafeFileWriter::writeFile(path, text.toUtf8(), &error))
            return;
    }
    qWarning().noquote() << "DeviceMapWidget::exportTemplate() | WARNING can not write the template |" << path << "|"
                         << error;
    ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Export template error"),
                              DeviceMapWidget::tr("The template could not be saved: %1").arg(error));
}

void MapClipboard::exportMetaDevice(const QList<QGraphicsItem*>& items)
{
    const QList<DeviceNodeItem*> devices = deviceItems(items);
    if (devices.isEmpty())
        return;
    const QList<QGraphicsItem*> deviceList(devices.cbegin(), devices.cend());
    const DevicesArrangement arrangement = map.getDevicesArrangement(deviceList);
    auto wizard = new ExportMetaDeviceWizard(deviceList, arrangement.devices, map.getDeviceManager(), &map);
    wizard->setModal(true);
    // The wizard titles itself, in the user's language.
    wizard->show();
}

bool MapClipboard::dragEnter(QDragEnterEvent* event)
{
    clearDrag();
    const QMimeData* mime = event->mimeData();
    const QList<QUrl> urls = mime ? mime->urls() : QList<QUrl>();
    // Of several files only the first counts.
    const QString path = urls.isEmpty() || !urls.first().isLocalFile() ? QString() : urls.first().toLocalFile();
    if (path.isEmpty() || !DeviceFile::isDeviceFilePath(path)) {
        event->ignore();
        return false;
    }
    dragPath = path;
    dragText = DeviceFile::readText(path, &dragReadError);
    // Quietly: a question now would hold the drag. What is wrong is said at the drop.
    const QList<DeviceInfo> infos = dragReadError.isEmpty() ? DeviceText::read(dragText).devices : QList<DeviceInfo>();
    // Qt's drag goes on with its own state once this returns, and the layout's wait runs the
    // host's timers, which may delete the map's window: the preview is laid out from the event loop.
    if (!infos.isEmpty()) {
        const int request = dragRequest;
        QTimer::singleShot(0, &map, [this, infos, request]() { layOutDrag(infos, request); });
    }
    event->acceptProposedAction();
    map.viewport()->update();
    return true;
}

void MapClipboard::layOutDrag(const QList<DeviceInfo>& infos, int request)
{
    // The drag left, was dropped or entered again meanwhile.
    if (request != dragRequest)
        return;
    QPointer<DeviceMapWidget> alive(&map);
    DevicesArrangement layout = map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
    // A map deleted during the layout's wait took this object along.
    if (!alive || request != dragRequest)
        return;
    dragLayout = std::move(layout);
    map.viewport()->update();
}

DevicesArrangement MapClipboard::fileArrangement(const QString& path)
{
    if (!DeviceFile::isDeviceFilePath(path))
        return DevicesArrangement();
    QString error;
    const QString text = DeviceFile::readText(path, &error);
    if (!error.isEmpty()) {
        qWarning().noquote() << "DeviceMapWidget::getDeviceArrangement() | WARNING can not read the device file |"
                             << path << "|" << error;
        return DevicesArrangement();
    }
    QPointer<DeviceMapWidget> alive(&map);
    const QList<DeviceInfo> infos = DeviceText::parse(&map, text);
    if (!alive)
        return DevicesArrangement();
    return map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
}

void MapClipboard::dragMove(QDragMoveEvent* event)
{
    event->acceptProposedAction();
    if (!dragLayout.isEmpty())
        map.viewport()->update();
}

void MapClipboard::dragLeave()
{
    clearDrag();
    map.viewport()->update();
}

void MapClipboard::drop(QDropEvent* event)
{
    if (dragPath.isEmpty()) {
        event->ignore();
        return;
    }
    DroppedFile file{dragPath, dragText, dragReadError, dragLayout, event->pos()};
    clearDrag();
    map.viewport()->update();
    event->acceptProposedAction();
    QTimer::singleShot(0, &map, [this, file]() { processDropWhenIdle(file); });
}

void MapClipboard::clearDrag()
{
    ++dragRequest;
    dragPath.clear();
    dragText.clear();
    dragReadError.clear();
    dragLayout = DevicesArrangement();
}

// A drop is the user's, not a host's: it waits for the command running (an operation's wait
// for the manager among them) instead of being refused.
void MapClipboard::processDropWhenIdle(const DroppedFile& file)
{
    if (DeviceMapParts(map).runningCommands().isRunning()) {
        QTimer::singleShot(dropRetryMs, &map, [this, file]() { processDropWhenIdle(file); });
        return;
    }
    processDrop(file);
}

void MapClipboard::processDrop(const DroppedFile& file)
{
    if (!file.readError.isEmpty()) {
        qWarning().noquote() << "DeviceMapWidget::dropEvent() | WARNING can not read the device file |" << file.path
                             << "|" << file.readError;
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Unreadable file"),
                                  DeviceMapWidget::tr("The file \"%1\" was not read: %2")
                                      .arg(QFileInfo(file.path).fileName(), file.readError));
        return;
    }
    QPointer<DeviceMapWidget> alive(&map);
    const QList<DeviceInfo> infos = DeviceText::parse(&map, file.text);
    if (!alive || infos.isEmpty())
        return;
    DevicesArrangement arrangement = file.layout;
    {
        MapWaitCursor busy(PasteDevicesOperation::workOf(infos));
        if (arrangement.devices.isEmpty()) {
            arrangement = map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
            if (!alive)
                return;
        }
        if (file.path.contains(QLatin1String("/templates/"))) {
            createTemplate(QFileInfo(file.path).completeBaseName(), arrangement, file.viewportPoint);
            return;
        }
    }
    // The question waits for the user, under no wait cursor; the insert it may lead to shows its own.
    askHowToProcess(file, arrangement);
}

void MapClipboard::createTemplate(const QString& templateName, const DevicesArrangement& arrangement,
                                  const QPoint& viewportPoint)
{
    QPointer<DeviceMapWidget> alive(&map);
    const QString text = DeviceMapWidget::tr("Create template ") + templateName;
    // One command: the macro is closed whatever a host's slot on the paste's reports runs, and
    // nothing but its own paste and cluster goes into it.
    const RunningCommands::Entry command(&map, "MapClipboard::createTemplate()", text);
    if (!command.hasBegun())
        return;
    QUndoStack* stack = map.getUndoStack();
    stack->beginMacro(text);
    {
        RunningCommands::OwnStep own(&map);
        pushPaste(arrangement.devices, arrangement, viewportPoint);
    }
    if (!alive)
        return;
    {
        RunningCommands::OwnStep own(&map);
        map.createClusterForTemplate(templateName, map.scene()->selectedItems());
    }
    if (!alive)
        return;
    stack->endMacro();
}

void MapClipboard::askHowToProcess(const DroppedFile& file, const DevicesArrangement& arrangement)
{
    // On the heap: a map deleted while the box runs deletes the box with it.
    QPointer<ZenticMessageBox> box = new ZenticMessageBox(&map, QMessageBox::Question,
                                                          DeviceMapWidget::tr("How do you want to process the file?"),
                                                          DeviceMapWidget::tr("Choose processing method to continue."));
    QPushButton* insert = box->addButton(DeviceMapWidget::tr("Insert devices"), QMessageBox::AcceptRole);
    QPushButton* metaDevice = box->addButton(DeviceMapWidget::tr("Import meta device"), QMessageBox::AcceptRole);
    QPushButton* importAsTemplate = box->addButton(DeviceMapWidget::tr("Import template"), QMessageBox::AcceptRole);
    // Escape and closing the box answer Cancel, which has no button of its own.
    box->addButton(QMessageBox::Cancel)->hide();
    QPointer<DeviceMapWidget> alive(&map);
    box->exec();
    if (!alive || !box)
        return;
    const QAbstractButton* clicked = box->clickedButton();
    delete box.data();
    if (clicked == insert)
        pushPaste(arrangement.devices, arrangement, file.viewportPoint);
    else if (clicked == metaDevice)
        importMetaDevice(file.path);
    else if (clicked == importAsTemplate)
        importTemplate(file.path);
}

void MapClipboard::importMetaDevice(const QString& path)
{
    const QString refusal = MetaDeviceImport::importFile(map.getDeviceManager(), path, "DeviceMapWidget::dropEvent()");
    map.updateTypesMenu();
    if (!refusal.isEmpty())
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Import meta device error"), refusal);
}

void MapClipboard::importTemplate(const QString& path)
{
    const QString target = TemplateFiles::importPath(path);
    QString error;
    if (TemplateFiles::ensureDirectory(&error)) {
        if (QFileInfo(target).canonicalFilePath() == QFileInfo(path).canonicalFilePath())
            return;
        if (QFileInfo::exists(target) && !confirmReplacing(target))
            return;
        if (TemplateFiles::copyFile(path, target, &error))
            return;
    }
    qWarning().noquote() << "DeviceMapWidget::dropEvent() | WARNING can not import the template |" << target << "|"
                         << error;
    ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Import template error"), DeviceMapWidget::tr("Import failed!"));
}

bool MapClipboard::confirmReplacing(const QString& path)
{
    QPointer<DeviceMapWidget> alive(&map);
    const bool replace = ZenticMessageBox::confirmReplace(
        &map, DeviceMapWidget::tr("\"%1\" already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()),
        DeviceMapWidget::tr("Template with the same name already exists. Replacing it will overwrite its current contents."));
    return alive && replace;
}

QPoint MapClipboard::cursorPoint() const
{
    return map.viewport()->mapFromGlobal(QCursor::pos());
}

DeviceNodeItem* MapClipboard::deviceAt(const QPoint& viewportPoint) const
{
    const QPolygonF square = map.mapToScene(QRect(viewportPoint, QSize(2, 2)));
    const QList<QGraphicsItem*> found = map.scene()->items(square, Qt::IntersectsItemShape, Qt::DescendingOrder);
    for (QGraphicsItem* item : found) {
        auto device = dynamic_cast<DeviceNodeItem*>(item);
        // The hidden end of a link being drawn is a node item too, but of no device.
        if (device && !DeviceMapParts(map).itemIndex().nameOf(device).isEmpty())
            return device;
    }
    return nullptr;
}
