#include "DeviceText.h"

#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QCoreApplication>
#include <QtDebug>

#include <exception>

namespace DeviceText {

QList<DeviceInfo> parse(QWidget* parent, const QString& text)
{
    bool versionOk = true;
    QList<DeviceInfo> infos;
    try {
        infos = YamlSerialiser::parseYamlFromString(text, &versionOk);
    } catch (const std::exception& failure) {
        const QString message = QString::fromUtf8(failure.what());
        ZenticMessageBox box(
            parent, QMessageBox::Warning, QCoreApplication::translate("DeviceMapWidget", "Corrupted configuration"),
            QCoreApplication::translate("DeviceMapWidget", "The device configuration file is corrupted: %0")
                .arg(message));
        box.setStandardButtons(QMessageBox::Ok);
        // A long text in the details would stall the box: its head shows where the trouble is.
        box.setDetailedText(text.size() > maxDetailedText ? text.left(maxDetailedText) + QChar(0x2026) : text);
        box.exec();
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

} // namespace DeviceText
