#include "DeviceInputWidget.h"
#include "DeviceManager.h"
#include "DeviceSlotsInputWidget.h"
#include "ProbeDevice.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
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

    /// The row of the probe's slot, shown.
    std::unique_ptr<DeviceInputWidget> row(const QString& slot)
    {
        auto widget = std::make_unique<DeviceInputWidget>(*manager, name, slot);
        widget->show();
        return widget;
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
        QTest::newRow("double") << "setValue(double)" << "-12.5";
        QTest::newRow("int") << "setCount(int)" << "4711";
        QTest::newRow("text, blanks kept") << "setText(QString)" << "  a <b> &  ";
        QTest::newRow("bytes") << "setBytes(QByteArray)" << "00 ff 1A";
    }

    void typedValueReachesTheDevice()
    {
        QFETCH(QString, slot);
        QFETCH(QString, typed);
        auto widget = row(slot);
        QWidget* editor = widget->getEditor();
        QVERIFY(editor);
        if (auto* lineEdit = qobject_cast<QLineEdit*>(editor)) {
            QTest::keyClicks(lineEdit, typed);
        } else {
            auto* spinBox = qobject_cast<QAbstractSpinBox*>(editor);
            spinBox->selectAll();
            QTest::keyClicks(spinBox, typed);
        }
        QTest::mouseClick(widget->getSendButton(), Qt::LeftButton);
        QCOMPARE(probe()->received, 1);
        if (slot.startsWith(QLatin1String("setValue")))
            QCOMPARE(probe()->lastValue, -12.5);
        else if (slot.startsWith(QLatin1String("setCount")))
            QCOMPARE(probe()->lastCount, 4711);
        else if (slot.startsWith(QLatin1String("setText")))
            QCOMPARE(probe()->lastText, typed);
        else
            QCOMPARE(probe()->lastBytes, QByteArray("\x00\xff\x1a", 3));
    }

    void boolToggleSendsItsState()
    {
        auto widget = row(QStringLiteral("setFlag(bool)"));
        auto* toggle = qobject_cast<QPushButton*>(widget->getEditor());
        QCOMPARE(toggle->text(), tr("False"));
        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(toggle->text(), tr("True"));
        QTest::mouseClick(widget->getSendButton(), Qt::LeftButton);
        QCOMPARE(probe()->lastFlag, true);
        QTest::mouseClick(toggle, Qt::LeftButton);
        QTest::mouseClick(widget->getSendButton(), Qt::LeftButton);
        QCOMPARE(probe()->lastFlag, false);
        QCOMPARE(probe()->received, 2);
    }

    void slotWithoutArgumentIsCalledOnce()
    {
        auto widget = row(QStringLiteral("trigger()"));
        QVERIFY(!widget->getEditor());
        QCOMPARE(widget->findChildren<QLabel*>().first()->text(), QString());
        QSignalSpy sent(widget.get(), SIGNAL(output()));
        QTest::mouseClick(widget->getSendButton(), Qt::LeftButton);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(probe()->triggers, 1);
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
        QVERIFY(!DeviceInputWidget::isInputSupported(slot));
        auto widget = row(slot);
        QCOMPARE(noticeOf(*widget), tr("(no input control)"));
        QVERIFY(!widget->getEditor());
        QVERIFY(widget->getSendButton()->isHidden());
    }

    void rowFollowsTheSignature()
    {
        // A signature holding both is edited as double: the tests run in that order
        DeviceInputWidget both(*manager, name, QStringLiteral("odd(int)(double)"));
        QVERIFY(qobject_cast<QDoubleSpinBox*>(both.getEditor()));
        QVERIFY(DeviceInputWidget::isInputSupported(QStringLiteral("reset()")));
        DeviceInputWidget longType(*manager, name, QStringLiteral("set(ArgumentTypeOfSomeLength)"));
        QCOMPARE(longType.findChildren<QLabel*>().first()->text(), QStringLiteral("ArgumentTypeOfSomeLe..."));
    }

    void enterSendsEachTimeWithoutPressingTheDialogsDefault()
    {
        // Given the int row inside a dialog whose OK button is the default
        QDialog dialog;
        auto* layout = new QVBoxLayout(&dialog);
        auto* widget = new DeviceInputWidget(*manager, name, QStringLiteral("setCount(int)"));
        layout->addWidget(widget);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
        layout->addWidget(buttons);
        buttons->button(QDialogButtonBox::Ok)->setDefault(true);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* spinBox = qobject_cast<QSpinBox*>(widget->getEditor());
        spinBox->setValue(7);
        spinBox->setFocus();
        // When Return and then Enter are pressed in it
        QTest::keyClick(spinBox, Qt::Key_Return);
        QTest::keyClick(spinBox, Qt::Key_Enter);
        // Then the value went twice and the dialog is still open
        QCOMPARE(probe()->received, 2);
        QCOMPARE(probe()->lastCount, 7);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void panelHasOneRowPerSlot()
    {
        DeviceSlotsInputWidget panel(*manager, name);
        const QList<DeviceInputWidget*> rows = panel.findChildren<DeviceInputWidget*>();
        QCOMPARE(rows.size(), manager->getDeviceInfo(name).slots.size());
        int unsupported = 0;
        for (const DeviceInputWidget* row : rows)
            unsupported += noticeOf(*row) == tr("(no input control)") ? 1 : 0;
        QCOMPARE(unsupported, 2);
    }
};

QTEST_MAIN(tst_DeviceInputWidget)
#include "tst_DeviceInputWidget.moc"
