#include "DeviceText.h"

#include "BoundedYaml.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPointer>
#include <QtDebug>

#include <exception>

namespace DeviceText {

Reading read(const QString& text)
{
    Reading reading;
    if (text.size() > maxTextLength) {
        reading.failure = Reading::TooLong;
        return reading;
    }
    try {
        BoundedYaml::check(text.toStdString());
        reading.devices = YamlSerialiser::parseYamlFromString(text, &reading.versionOk);
    } catch (const std::exception& failure) {
        reading.devices.clear();
        reading.versionOk = true;
        reading.failure = Reading::Malformed;
        reading.error = QString::fromUtf8(failure.what());
    }
    return reading;
}

QList<DeviceInfo> parse(QWidget* parent, const QString& text)
{
    Reading reading = read(text);
    if (reading.failure == Reading::TooLong) {
        ZenticMessageBox::warning(
            parent, QCoreApplication::translate("DeviceMapWidget", "Text too large"),
            QCoreApplication::translate("DeviceMapWidget", "Device text longer than %1 MiB is not read.")
                .arg(maxTextLength / (1024 * 1024)));
        qWarning().noquote() << "DeviceText::parse() | WARNING device text too large |" << text.size();
        return QList<DeviceInfo>();
    }
    if (reading.failure == Reading::Malformed) {
        const QString& message = reading.error;
        // On the heap: a parent deleted while the box runs deletes the box with it.
        QPointer<ZenticMessageBox> box = new ZenticMessageBox(
            parent, QMessageBox::Warning, QCoreApplication::translate("DeviceMapWidget", "Corrupted configuration"),
            QCoreApplication::translate("DeviceMapWidget", "The device configuration file is corrupted: %0")
                .arg(head(message, maxMessageText)));
        box->setStandardButtons(QMessageBox::Ok);
        box->setDetailedText(head(text, maxDetailedText));
        box->exec();
        delete box.data();
        qCritical().noquote() << "Devices configuration corrupted! " + message;
        return QList<DeviceInfo>();
    }
    QList<DeviceInfo>& infos = reading.devices;
    if (!reading.versionOk) {
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

QString head(const QString& whole, int length)
{
    return whole.size() > length ? whole.left(length) + QChar(0x2026) : whole;
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
