#include "DeviceText.h"

#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPointer>
#include <QtDebug>

#include <exception>

namespace DeviceText {

QList<DeviceInfo> parse(QWidget* parent, const QString& text)
{
    if (text.size() > maxTextLength) {
        ZenticMessageBox::warning(
            parent, QCoreApplication::translate("DeviceMapWidget", "Text too large"),
            QCoreApplication::translate("DeviceMapWidget", "Device text longer than %1 MiB is not read.")
                .arg(maxTextLength / (1024 * 1024)));
        qWarning().noquote() << "DeviceText::parse() | WARNING device text too large |" << text.size();
        return QList<DeviceInfo>();
    }
    bool versionOk = true;
    QList<DeviceInfo> infos;
    try {
        infos = YamlSerialiser::parseYamlFromString(text, &versionOk);
    } catch (const std::exception& failure) {
        const QString message = QString::fromUtf8(failure.what());
        // On the heap: a parent deleted while the box runs deletes the box with it.
        QPointer<ZenticMessageBox> box = new ZenticMessageBox(
            parent, QMessageBox::Warning, QCoreApplication::translate("DeviceMapWidget", "Corrupted configuration"),
            QCoreApplication::translate("DeviceMapWidget", "The device configuration file is corrupted: %0")
                .arg(message));
        box->setStandardButtons(QMessageBox::Ok);
        // A long text in the details would stall the box: its head shows where the trouble is.
        box->setDetailedText(text.size() > maxDetailedText ? text.left(maxDetailedText) + QChar(0x2026) : text);
        box->exec();
        delete box.data();
        qCritical().noquote() << "Devices configuration corrupted! " + message;
        return QList<DeviceInfo>();
    }
    if (!versionOk) {
        const QMessageBox::StandardButton answer = ZenticMessageBox::warning(
            parent, QCoreApplication::translate("DeviceMapWidget", "Unsupported version"),
            QCoreApplication::translate("DeviceMapWidget",
                                        "Pasted configuration version exceeds the current one, do you want to continue?"),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
        if (answer != QMessageBox::Ok)
            infos.clear();
    }
    return infos;
}

QString compose(const QList<DeviceInfo>& infos)
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data().constData());
    for (const DeviceInfo& info : infos)
        text += YamlSerialiser::serialise(info);
    return text;
}

} // namespace DeviceText
