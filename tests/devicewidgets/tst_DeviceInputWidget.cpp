#include "DeviceInputWidget.h"
#include "DeviceManager.h"
#include "ProbeDevice.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

class tst_DeviceInputWidget : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceManager> manager;
    QString name;

    ProbeDevice* probe() const { return static_cast<ProbeDevice*>(manager->getDevice(name)); }

    /// What the probe received last through slot.
    QVariant lastReceived(const QString& slot) const
    {
        const QMap<QString, QVariant> received{{"setValue(double)", probe()->lastValue},
                                               {"setCount(int)", probe()->lastCount},
                                               {"setText(QString)", probe()->lastText},
                                               {"setBytes(QByteArray)", probe()->lastBytes},
                                               {"setFlag(bool)", probe()->lastFlag},
                                               {"trigger()", probe()->triggers}};
        return received.value(slot);
    }

private Q_SLOTS:
    void init()
    {
        manager = std::make_unique<DeviceManager>();
        manager->registerDeviceType("probe", DeviceTypeInfo(), [] { return new ProbeDevice; });
        name = manager->createDevice("probe", true);
    }

    void cleanup() { manager.reset(); }

    void typedValueReachesTheDevice_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("received");
        QTest::newRow("double") << "setValue(double)" << "-12.5" << QVariant(-12.5);
        QTest::newRow("int") << "setCount(int)" << "4711" << QVariant(4711);
        QTest::newRow("text, blanks kept") << "setText(QString)" << "  a <b> &  " << QVariant("  a <b> &  ");
        QTest::newRow("bytes") << "setBytes(QByteArray)" << "00 ff 1A" << QVariant(QByteArray("\x00\xff\x1a", 3));
        // A bool is a toggle button, clicked once here; a slot without argument has no editor.
        QTest::newRow("bool") << "setFlag(bool)" << "" << QVariant(true);
        QTest::newRow("no argument") << "trigger()" << "" << QVariant(1);
    }

    void typedValueReachesTheDevice()
    {
        QFETCH(QString, slot);
        QFETCH(QString, typed);
        QFETCH(QVariant, received);
        DeviceInputWidget row(*manager, name, slot);
        row.show();
        if (auto* toggle = qobject_cast<QPushButton*>(row.getEditor())) {
            QTest::mouseClick(toggle, Qt::LeftButton);
        } else if (auto* lineEdit = qobject_cast<QLineEdit*>(row.getEditor())) {
            QTest::keyClicks(lineEdit, typed);
        } else if (auto* spinBox = qobject_cast<QAbstractSpinBox*>(row.getEditor())) {
            spinBox->selectAll();
            QTest::keyClicks(spinBox, typed);
        }

        QTest::mouseClick(row.getSendButton(), Qt::LeftButton);

        QCOMPARE(probe()->received, 1);
        QCOMPARE(lastReceived(slot), received);
    }

    void unsupportedSlotsCannotBeCalled_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::newRow("two arguments") << "setPair(int,double)";
        QTest::newRow("vector") << "setVector(DoubleVec)";
    }

    void unsupportedSlotsCannotBeCalled()
    {
        QFETCH(QString, slot);
        DeviceInputWidget row(*manager, name, slot);
        QCOMPARE(row.findChildren<QLabel*>().value(1)->text(), tr("(no input control)"));
        QVERIFY(!row.getEditor() && row.getSendButton()->isHidden());
    }

};

QTEST_MAIN(tst_DeviceInputWidget)
#include "tst_DeviceInputWidget.moc"
