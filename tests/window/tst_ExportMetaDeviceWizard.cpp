#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "DevicesSelectionPage.h"
#include "ExportMetaDeviceWizard.h"
#include "MetaDevice.h"
#include "SavePage.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QGraphicsScene>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

class TestExportMetaDeviceWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void pagesFollowCaseSensitiveNameOrder();
    void fileNameGetsYmlExtension_data();
    void fileNameGetsYmlExtension();
    void nameMustReadBackAsTheType_data();
    void nameMustReadBackAsTheType();
    void defaultNameTakesTheNextFreeNumber();
    void replaceNeedsTheUsersYes();
    void writesExactlyThePickedItems();
    void fileReadsBackThroughParseMetaDevice();
    void picksKeepTheirDevicesWhateverTheNames();
    void writeFailureIsReportedAndKeepsTheOldFile();

private:
    QString create(const QString& type) { return manager->createDevice(type, false); }
    void openWizard(const QStringList& names);
    DevicesSelectionPage* selectionPage() const { return static_cast<DevicesSelectionPage*>(wizard->page(0)); }
    SavePage* savePage() const { return static_cast<SavePage*>(wizard->page(wizard->savePageId())); }
    QPushButton* itemButton(const QString& name) const { return wizard->currentPage()->findChild<QPushButton*>(name); }
    void checkDevice(const QString& name) { selectionPage()->deviceButton(name)->click(); }
    void next() { wizard->button(QWizard::NextButton)->click(); }
    /// Opens a wizard over names with all of them checked, picks these buttons on the
    /// devices' pages, writes fileName and returns the file's text.
    QString exportDevices(const QStringList& names, const QStringList& picks, const QString& fileName);
    void goToSavePage(const QStringList& picks);
    QString finish(const QString& fileName);

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDirectory;
    std::unique_ptr<DeviceManager> manager;
    std::unique_ptr<QGraphicsScene> scene;
    QPointer<ExportMetaDeviceWizard> wizard;
};

void TestExportMetaDeviceWizard::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    // The default file name lies under the current directory.
    previousDirectory = QDir::currentPath();
    QDir::setCurrent(dir->path());
    manager = std::make_unique<DeviceManager>();
    scene = std::make_unique<QGraphicsScene>();
}

void TestExportMetaDeviceWizard::cleanup()
{
    delete wizard;
    scene.reset();
    manager.reset();
    QDir::setCurrent(previousDirectory);
    dir.reset();
}

void TestExportMetaDeviceWizard::openWizard(const QStringList& names)
{
    QList<QGraphicsItem*> items;
    QList<DeviceInfo> infos;
    for (const QString& name : names) {
        const DeviceInfo info = manager->getDeviceInfo(name);
        items.append(new DeviceNodeItem(info, QRectF(0, 0, 120, 40)));
        scene->addItem(items.last());
        infos.append(info);
    }
    wizard = new ExportMetaDeviceWizard(items, infos, manager.get());
    wizard->show();
}

void TestExportMetaDeviceWizard::goToSavePage(const QStringList& picks)
{
    next();
    while (wizard->currentId() != wizard->savePageId()) {
        for (const QString& pick : picks) {
            if (QPushButton* button = itemButton(pick))
                button->click();
        }
        next();
    }
}

QString TestExportMetaDeviceWizard::finish(const QString& fileName)
{
    savePage()->getFileNameEdit()->setText(fileName);
    wizard->button(QWizard::FinishButton)->click();
    return readAll(fileName);
}

QString TestExportMetaDeviceWizard::exportDevices(const QStringList& names, const QStringList& picks,
                                                  const QString& fileName)
{
    openWizard(names);
    for (const QString& name : names)
        checkDevice(name);
    goToSavePage(picks);
    return finish(fileName);
}

void TestExportMetaDeviceWizard::pagesFollowCaseSensitiveNameOrder()
{
    // Given devices Beta and alpha
    QVERIFY(manager->renameDevice(create("counter"), "Beta") && manager->renameDevice(create("toggle"), "alpha"));
    openWizard({"alpha", "Beta"});

    // Then the selection lists alpha first and needs a checked device for Next
    const QList<QPushButton*> buttons = selectionPage()->findChildren<QPushButton*>();
    QCOMPARE(buttons.at(0)->text() + buttons.at(1)->text(), QString("alphaBeta"));
    QVERIFY(!wizard->button(QWizard::NextButton)->isEnabled());
    checkDevice("alpha");
    QVERIFY(wizard->button(QWizard::NextButton)->isEnabled());

    // And Beta's page comes first, then alpha's, then the save page with Finish
    checkDevice("Beta");
    next();
    QCOMPARE(wizard->currentPage()->title(), QString("Beta properties"));
    next();
    QCOMPARE(wizard->currentPage()->title(), QString("alpha properties"));
    next();
    QCOMPARE(wizard->currentId(), wizard->savePageId());
}

void TestExportMetaDeviceWizard::fileNameGetsYmlExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "config" << "config.yml";
    QTest::newRow("upper case") << "config.YML" << "config.YML.yml";
    QTest::newRow("yaml") << "config.yaml" << "config.yaml.yml";
    QTest::newRow("yml") << "config.yml" << "config.yml";
}

void TestExportMetaDeviceWizard::fileNameGetsYmlExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    exportDevices({create("counter")}, {}, typed);
    QTRY_VERIFY(!wizard);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{written});
}

void TestExportMetaDeviceWizard::nameMustReadBackAsTheType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("saved");
    const QChar byteOrderMark(0xFEFF);
    QTest::newRow("a leading byte order mark") << byteOrderMark + QString("pump") << false;
    QTest::newRow("a byte order mark after white space") << QString(" ") + byteOrderMark + "pump" << false;
    QTest::newRow("a lone surrogate") << QString("pu") + QChar(0xD800) + "mp" << false;
    QTest::newRow("a noncharacter") << QString("pump") + QChar(0xFDD0) << false;
    QTest::newRow("a byte order mark inside") << QString("pu") + byteOrderMark + "mp" << true;
}

void TestExportMetaDeviceWizard::nameMustReadBackAsTheType()
{
    QFETCH(QString, typed);
    QFETCH(bool, saved);
    // Given a file name that an import makes the meta device's type
    const QString path = dir->filePath(typed + ".yml");
    openWizard({create("counter")});
    checkDevice("counter1");
    goToSavePage({});
    ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

    // When Finish is clicked
    finish(path);

    // Then a name whose type a saved graph would not give back is refused with a box, on the save page
    QCOMPARE(answer.texts(), saved ? QStringList() : QStringList{"The meta device was not saved"});
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files).size(), saved ? 1 : 0);
    if (saved)
        QTRY_VERIFY(!wizard);
    else
        QCOMPARE(wizard->currentId(), wizard->savePageId());
}

void TestExportMetaDeviceWizard::defaultNameTakesTheNextFreeNumber()
{
    QVERIFY(QDir(dir->path()).mkdir("metadevices"));
    QVERIFY(writeText("metadevices/metadevice.yml", "x") && writeText("metadevices/metadevice (1).yml", "x"));
    openWizard({create("counter")});
    const QString expected = QDir::currentPath() + "/metadevices/metadevice (2).yml";
    QCOMPARE(savePage()->getDefaultFileName(), expected);
    QCOMPARE(savePage()->getFileNameEdit()->text(), expected);

    // The default's missing directory is made on Finish
    QVERIFY(QDir(dir->path()).removeRecursively());
    QVERIFY(QDir().mkpath(dir->path()));
    checkDevice("counter1");
    goToSavePage({});
    QVERIFY(!finish(expected).isEmpty());
}

void TestExportMetaDeviceWizard::replaceNeedsTheUsersYes()
{
    const QString path = dir->filePath("existing.yml");
    QVERIFY(writeText(path, "old"));
    {
        ZenticMessageBox::AnswerGuard cancel(QStringLiteral("Cancel"));
        QCOMPARE(exportDevices({create("counter")}, {}, path), QString("old"));
        QCOMPARE(cancel.texts(), QStringList{QString("\"%1\" already exists. Do you want to replace it?").arg(path)});
    }
    QCOMPARE(wizard->currentId(), wizard->savePageId());
    ZenticMessageBox::AnswerGuard replace(QStringLiteral("Replace"));
    QVERIFY(finish(path) != "old");
    QTRY_VERIFY(!wizard);
}

void TestExportMetaDeviceWizard::writesExactlyThePickedItems()
{
    // Given picks on two devices, made across sections in mixed order
    const QString counter = create("counter"), toggle = create("toggle");

    // When the file is written
    const QString text = exportDevices({counter, toggle},
                                       {counter + ".step", counter + ".reset()", counter + ".countChanged(int)",
                                        toggle + ".state(bool)", toggle + ".toggle()"},
                                       dir->filePath("pick.yml"));

    // Then sections come in fixed order, picks in picking order, then every device
    QCOMPARE(text, "export:\n"
                   "  slots:\n"
                   "    reset(): counter1.reset()\n"
                   "    toggle(): toggle1.toggle()\n"
                   "  signals:\n"
                   "    countChanged(int): counter1.countChanged(int)\n"
                   "    state(bool): toggle1.state(bool)\n"
                   "  parameters:\n"
                   "    step: counter1.step\n"
                   "\n"
                   "config_version: 2\n"
                       + YamlSerialiser::serialise(manager->getDeviceInfo(counter))
                       + YamlSerialiser::serialise(manager->getDeviceInfo(toggle)));
}

void TestExportMetaDeviceWizard::fileReadsBackThroughParseMetaDevice()
{
    // Given a file with picks of all three kinds
    const QString scaler = create("scaler");
    QVERIFY(manager->setDeviceParam(scaler, "factor", "7") && manager->applyDeviceParams(scaler));
    const QString path = dir->filePath("scaled.yml");
    exportDevices({scaler}, {scaler + ".factor", scaler + ".input(double)", scaler + ".output(double)"}, path);

    // When the framework imports it and makes a device of it
    QVERIFY(manager->parseMetaDevice(path, QString()));
    const QSharedPointer<DeviceHandle> handle = manager->getDeviceHandle(manager->createDevice("scaled", false));

    // Then the meta device exports what was picked
    QVERIFY(handle);
    QCOMPARE(handle->getParamValue(scaler + ".factor"), QString("7"));
    QCOMPARE(handle->getParamValue("exportedSlots"), scaler + ".input(double)");
    QCOMPARE(handle->getParamValue("exportedSignals"), scaler + ".output(double)");
}

void TestExportMetaDeviceWizard::picksKeepTheirDevicesWhateverTheNames()
{
    // Given a device of a networked manager, whose name holds dots, and a device named like
    // the save page's field, both exporting reset()
    manager->addNetworkManager("plant.lan");
    const QString remote = manager->createDevice("plant.lan/counter", false);
    QVERIFY(manager->renameDevice(create("counter"), "fileName"));

    const QString text = exportDevices({remote, "fileName"}, {remote + ".reset()", "fileName.reset()", remote + ".step"},
                                       dir->filePath("picks.yml"));

    // Then each pick is written under a key of its own and reads back with its device
    QVERIFY2(text.startsWith("export:\n  slots:\n    counter1@plant.lan.reset(): counter1@plant.lan.reset()\n"
                             "    fileName.reset(): fileName.reset()\n  signals:\n  parameters:\n"
                             "    step: counter1@plant.lan.step\n"),
             qPrintable(text));
    const MetaDevice::Description description = MetaDevice::parse(text);
    QCOMPARE(description.slotExports.value(0).device, remote);
    QCOMPARE(description.parameterExports.value(0).device, remote);
}

void TestExportMetaDeviceWizard::writeFailureIsReportedAndKeepsTheOldFile()
{
    // Given an old file, and a disk that takes only a few bytes
    const QString oldFile = dir->filePath("old.yml");
    QVERIFY(writeText(oldFile, "old"));
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    goToSavePage({counter + ".reset()"});
    savePage()->getFileNameEdit()->setText(oldFile);

    // When Finish is clicked and the replacement accepted
    bool wizardUpAtWarning = false;
    ZenticMessageBox::AnswerGuard guard([&](ZenticMessageBox& box) -> QAbstractButton* {
        wizardUpAtWarning = wizard && wizard->isVisible();
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == QLatin1String("Replace"))
                return button;
        }
        return box.button(QMessageBox::Ok);
    });
    {
        TestSupport::FileSizeLimit limit(16);
        QVERIFY(limit.isActive());
        wizard->button(QWizard::FinishButton)->click();
    }

    // Then a warning says so while the wizard is up, it closes, and the old file stays
    QCOMPARE(guard.texts().last(), QString("The meta device was not saved"));
    QVERIFY(wizardUpAtWarning);
    QTRY_VERIFY(!wizard);
    QCOMPARE(readAll(oldFile), QByteArray("old"));
}

QTEST_MAIN(TestExportMetaDeviceWizard)
#include "tst_ExportMetaDeviceWizard.moc"
