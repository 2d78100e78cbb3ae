#include "DeviceInputWidget.h"
#include "DeviceManager.h"
#include "DeviceSlotsInputWidget.h"
#include "ProbeDevice.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

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

    static QString noticeOf(const QWidget& row)
    {
        const QList<QLabel*> labels = row.findChildren<QLabel*>();
        return labels.size() > 1 ? labels.at(1)->text() : QString();
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
            QCOMPARE(toggle->text(), tr("False"));
            QTest::mouseClick(toggle, Qt::LeftButton);
            QCOMPARE(toggle->text(), tr("True"));
        } else if (auto* lineEdit = qobject_cast<QLineEdit*>(row.getEditor())) {
            QTest::keyClicks(lineEdit, typed);
        } else if (auto* spinBox = qobject_cast<QAbstractSpinBox*>(row.getEditor())) {
            spinBox->selectAll();
            QTest::keyClicks(spinBox, typed);
        }
        QCOMPARE(row.getEditor() == nullptr, slot == "trigger()");

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
        QCOMPARE(noticeOf(row), tr("(no input control)"));
        QVERIFY(!row.getEditor() && row.getSendButton()->isHidden());
    }

    void enterSendsEachTimeWithoutPressingTheDialogsDefault()
    {
        // Given the int row inside a dialog whose OK button is the default
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* row = new DeviceInputWidget(*manager, name, QStringLiteral("setCount(int)"));
        layout->addWidget(row);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
        layout->addWidget(buttons);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* spinBox = qobject_cast<QSpinBox*>(row->getEditor());
        spinBox->setValue(7);
        spinBox->setFocus();
        // When Return and then Enter are pressed in it
        QTest::keyClick(spinBox, Qt::Key_Return);
        QTest::keyClick(spinBox, Qt::Key_Enter);
        // Then the value went twice and the dialog is still open
        QCOMPARE(probe()->received, 2);
        QCOMPARE(probe()->lastCount, 7);
        QVERIFY(dialog.isVisible());
    }

    void panelHasOneRowPerSlot()
    {
        DeviceSlotsInputWidget panel(*manager, name);
        const QList<DeviceInputWidget*> rows = panel.findChildren<DeviceInputWidget*>();
        QCOMPARE(rows.size(), manager->getDeviceInfo(name).slots.size());
        QCOMPARE(std::count_if(rows.begin(), rows.end(), [](auto* row) { return noticeOf(*row) == tr("(no input control)"); }),
                 2);
    }
};

QTEST_MAIN(tst_DeviceInputWidget)
#include "tst_DeviceInputWidget.moc"
