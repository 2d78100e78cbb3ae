#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "DevicePropertiesPage.h"
#include "DevicesSelectionPage.h"
#include "ExportMetaDeviceWizard.h"
#include "MetaDevice.h"
#include "SavePage.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

namespace {

// A device with signals but no slots, whose parameter names need quoting in YAML.
class SensorDevice : public BaseDevice
{
    Q_OBJECT
public:
    SensorDevice()
    {
        addParam(QStringLiteral("gain: max"), QStringLiteral("3"));
        addParam(QStringLiteral("# note"), QStringLiteral("n"));
        addParam(QStringLiteral("\"quoted\" 'name'"), QStringLiteral("q"));
        addParam(QStringLiteral("[range] {x}"), QStringLiteral("r"));
    }
Q_SIGNALS:
    void level(double value);
    void alarm();
};

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

    void nextNeedsACheckedDevice();
    void pagesFollowCaseSensitiveNameOrder();
    void skipsToTheFirstCheckedDevicesPage();
    void backChecksTheDeviceAgainAndKeepsThePage();
    void pickListsFollowTheClicks();
    void sectionsOnlyForWhatTheDeviceHas();
    void fileNameGetsYmlExtension_data();
    void fileNameGetsYmlExtension();
    void defaultNameTakesTheNextFreeNumber();
    void selectFileTakesTheChosenName();
    void replaceNeedsTheUsersYes_data();
    void replaceNeedsTheUsersYes();
    void writesExactlyThePickedItems();
    void uncheckedDevicesAndEmptyPicks_data();
    void uncheckedDevicesAndEmptyPicks();
    void fileReadsBackThroughParseMetaDevice();
    void quotedNamesReadBackUnchanged();
    void dottedDeviceNamesKeepTheirPicks();
    void sameItemOnTwoDevicesGetsDistinctKeys();
    void missingDirectoriesAreCreated();
    void writeFailureIsReportedAndKeepsTheOldFile_data();
    void writeFailureIsReportedAndKeepsTheOldFile();
    void deviceNamedFileNameKeepsTheFileName();
    void closingDeletesTheWizard();

private:
    QString create(const QString& type) { return manager->createDevice(type, false); }
    ExportMetaDeviceWizard* openWizard(const QStringList& names);
    DevicesSelectionPage* selectionPage() const { return static_cast<DevicesSelectionPage*>(wizard->page(0)); }
    SavePage* savePage() const { return static_cast<SavePage*>(wizard->page(wizard->savePageId())); }
    QPushButton* itemButton(const QString& objectName) const;
    void checkDevice(const QString& name) { selectionPage()->deviceButton(name)->click(); }
    void next() { wizard->button(QWizard::NextButton)->click(); }
    void back() { wizard->button(QWizard::BackButton)->click(); }
    /// From the selection page through every checked device's page to the save page, picking
    /// the buttons of these object names on the way.
    void pickAndGoToSavePage(const QStringList& picks);
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
    previousDirectory = QDir::currentPath();
    QDir::setCurrent(dir->path());
    manager = std::make_unique<DeviceManager>();
    manager->registerDeviceType(QStringLiteral("sensor"), DeviceTypeInfo(), [] { return new SensorDevice; });
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

ExportMetaDeviceWizard* TestExportMetaDeviceWizard::openWizard(const QStringList& names)
{
    QList<QGraphicsItem*> items;
    QList<DeviceInfo> infos;
    for (const QString& name : names) {
        DeviceInfo info = manager->getDeviceInfo(name);
        if (info.name.isEmpty()) { // a device the manager does not know
            info.name = name;
            info.type = QStringLiteral("ghost");
        }
        items.append(new DeviceNodeItem(info, QRectF(0, 0, 120, 40)));
        scene->addItem(items.last());
        infos.append(info);
    }
    wizard = new ExportMetaDeviceWizard(items, infos, manager.get());
    wizard->show();
    return wizard;
}

QPushButton* TestExportMetaDeviceWizard::itemButton(const QString& objectName) const
{
    return wizard->currentPage()->findChild<QPushButton*>(objectName);
}

void TestExportMetaDeviceWizard::pickAndGoToSavePage(const QStringList& picks)
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

void TestExportMetaDeviceWizard::nextNeedsACheckedDevice()
{
    openWizard({create("counter"), create("toggle")});
    QAbstractButton* nextButton = wizard->button(QWizard::NextButton);
    QVERIFY(!nextButton->isEnabled());
    checkDevice("toggle1");
    QVERIFY(nextButton->isEnabled());
    checkDevice("toggle1");
    QVERIFY(!nextButton->isEnabled());
}

void TestExportMetaDeviceWizard::pagesFollowCaseSensitiveNameOrder()
{
    // Given devices Beta and alpha
    const QString beta = create("counter"), alpha = create("toggle");
    QVERIFY(manager->renameDevice(beta, "Beta") && manager->renameDevice(alpha, "alpha"));
    openWizard({"alpha", "Beta"});

    // Then the selection lists alpha first, but Beta's page comes first
    QList<QPushButton*> buttons = selectionPage()->findChildren<QPushButton*>();
    QCOMPARE(buttons.at(0)->text(), QString("alpha"));
    QCOMPARE(buttons.at(1)->text(), QString("Beta"));
    checkDevice("alpha");
    checkDevice("Beta");
    next();
    QCOMPARE(wizard->currentId(), 1);
    QCOMPARE(static_cast<DevicePropertiesPage*>(wizard->currentPage())->getDeviceName(), QString("Beta"));
    next();
    QCOMPARE(wizard->currentId(), 2);
    QCOMPARE(wizard->currentPage()->title(), QString("alpha properties"));
    next();
    QCOMPARE(wizard->currentId(), 4);
    QCOMPARE(wizard->currentPage()->title(), QString("Save config"));
    QVERIFY(wizard->button(QWizard::FinishButton)->isVisible());
}

void TestExportMetaDeviceWizard::skipsToTheFirstCheckedDevicesPage()
{
    QStringList names;
    for (int i = 0; i < 5; ++i)
        names.append(create("counter"));
    openWizard(names);
    checkDevice(names.at(2));
    next();
    QCOMPARE(wizard->currentId(), 3);
    next();
    QCOMPARE(wizard->currentId(), 7);
    QCOMPARE(wizard->nextId(), -1);
}

void TestExportMetaDeviceWizard::backChecksTheDeviceAgainAndKeepsThePage()
{
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    next();
    // Entering the page unchecks the device without counting as the user's click
    QVERIFY(!selectionPage()->deviceButton(counter)->isChecked());
    itemButton(counter + ".reset()")->click();
    QPushButton* picked = itemButton(counter + ".reset()");

    back();
    QCOMPARE(wizard->currentId(), 0);
    QVERIFY(selectionPage()->deviceButton(counter)->isChecked());
    QVERIFY(wizard->button(QWizard::NextButton)->isEnabled());
    next();
    QCOMPARE(wizard->currentId(), 1);
    QCOMPARE(itemButton(counter + ".reset()"), picked);
    QVERIFY(picked->isChecked());
    QCOMPARE(wizard->getSelectedDevices(), QStringList{counter});
    QCOMPARE(wizard->getSelectedSlots(), QStringList{counter + ".reset()"});
}

void TestExportMetaDeviceWizard::pickListsFollowTheClicks()
{
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    next();
    QPushButton* signal = itemButton(counter + ".countChanged(int)");
    signal->click();
    signal->click();
    QVERIFY(wizard->getSelectedSignals().isEmpty());
    signal->click();
    signal->click();
    signal->click();
    QCOMPARE(wizard->getSelectedSignals(), QStringList{counter + ".countChanged(int)"});
    itemButton(counter + ".step")->click();
    itemButton(counter + ".increment()")->click();
    QCOMPARE(wizard->getSelectedParams(), QStringList{counter + ".step"});
    QCOMPARE(wizard->getSelectedSlots(), QStringList{counter + ".increment()"});
}

void TestExportMetaDeviceWizard::sectionsOnlyForWhatTheDeviceHas()
{
    // Given a device without slots and one the manager does not know
    const QString sensor = create("sensor");
    openWizard({sensor, "ghost"});
    checkDevice(sensor);
    checkDevice("ghost");

    // Then the ghost's page has its title only, and the sensor's has no SLOTS section
    next();
    QCOMPARE(wizard->currentPage()->title(), QString("ghost properties"));
    QVERIFY(wizard->currentPage()->findChildren<QPushButton*>().isEmpty());
    next();
    QStringList titles;
    for (QLabel* label : wizard->currentPage()->findChildren<QLabel*>())
        titles.append(label->text());
    QCOMPARE(titles, (QStringList{"SIGNALS", "PARAMETERS"}));
    QVERIFY(itemButton(sensor + ".alarm()"));
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
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    pickAndGoToSavePage({});
    finish(typed);
    QTRY_VERIFY(!wizard);
    QVERIFY(QFileInfo::exists(dir->filePath(written)));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{written});
}

void TestExportMetaDeviceWizard::defaultNameTakesTheNextFreeNumber()
{
    QVERIFY(QDir(dir->path()).mkdir("metadevices"));
    QVERIFY(writeText(dir->filePath("metadevices/metadevice.yml"), "x"));
    QVERIFY(writeText(dir->filePath("metadevices/metadevice (1).yml"), "x"));
    openWizard({create("counter")});
    const QString expected = QDir::currentPath() + "/metadevices/metadevice (2).yml";
    QCOMPARE(savePage()->getDefaultFileName(), expected);
    QCOMPARE(savePage()->getFileNameEdit()->text(), expected);
}

void TestExportMetaDeviceWizard::selectFileTakesTheChosenName()
{
    QVERIFY(QDir(dir->path()).mkdir("metadevices"));
    openWizard({create("counter")});
    const QString chosen = dir->filePath("chosen.yml");
    QString openedAt;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        openedAt = dialog->selectedFiles().value(0);
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    savePage()->getFileNameEdit()->setText("typed");
    savePage()->selectFile();
    QCOMPARE(openedAt, savePage()->getDefaultFileName());
    QCOMPARE(savePage()->getFileNameEdit()->text(), chosen);
}

void TestExportMetaDeviceWizard::replaceNeedsTheUsersYes_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("cancel") << "Cancel" << false;
    QTest::newRow("replace") << "Replace" << true;
}

void TestExportMetaDeviceWizard::replaceNeedsTheUsersYes()
{
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    const QString path = dir->filePath("existing.yml");
    QVERIFY(writeText(path, "old"));
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    pickAndGoToSavePage({});

    ZenticMessageBox::AnswerGuard guard(answer);
    const QString text = finish(path);
    QCOMPARE(guard.texts(), QStringList{QString("\"%1\" already exists. Do you want to replace it?").arg(path)});
    QCOMPARE(text != "old", replaced);
    QTRY_COMPARE(wizard.isNull(), replaced);
    if (!replaced)
        QCOMPARE(wizard->currentId(), wizard->savePageId());
}

void TestExportMetaDeviceWizard::writesExactlyThePickedItems()
{
    // Given a counter and a toggle, with picks made across sections in mixed order
    const QString counter = create("counter"), toggle = create("toggle");
    openWizard({counter, toggle});
    checkDevice(toggle);
    checkDevice(counter);
    pickAndGoToSavePage({counter + ".step", counter + ".reset()", counter + ".countChanged(int)",
                         toggle + ".state(bool)", toggle + ".toggle()"});

    // When the file is written
    const QString text = finish(dir->filePath("pick.yml"));

    // Then sections come in fixed order, picks in picking order, then every device
    const QString expected = "export:\n"
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
        + YamlSerialiser::serialise(manager->getDeviceInfo(toggle));
    QCOMPARE(text, expected);
}

void TestExportMetaDeviceWizard::uncheckedDevicesAndEmptyPicks_data()
{
    QTest::addColumn<bool>("pick");
    QTest::addColumn<QString>("head");
    QTest::newRow("nothing picked") << false << "\nconfig_version: 2\n";
    QTest::newRow("device unchecked after its pick") << true
                                                     << "export:\n  slots:\n  signals:\n  parameters:\n\nconfig_version: 2\n";
}

void TestExportMetaDeviceWizard::uncheckedDevicesAndEmptyPicks()
{
    QFETCH(bool, pick);
    QFETCH(QString, head);
    const QString counter = create("counter"), toggle = create("toggle");
    openWizard({counter, toggle});
    checkDevice(counter);
    next();
    if (pick)
        itemButton(counter + ".reset()")->click();
    back();
    checkDevice(counter);
    checkDevice(toggle);
    pickAndGoToSavePage({});
    const QString text = finish(dir->filePath("out.yml"));
    QVERIFY2(text.startsWith(head), qPrintable(text));
    QVERIFY(text.contains("\ncounter1:\n") && text.contains("\ntoggle1:\n"));
}

void TestExportMetaDeviceWizard::fileReadsBackThroughParseMetaDevice()
{
    // Given a file with picks of all three kinds
    const QString scaler = create("scaler");
    QVERIFY(manager->setDeviceParam(scaler, "factor", "7") && manager->applyDeviceParams(scaler));
    openWizard({scaler});
    checkDevice(scaler);
    pickAndGoToSavePage({scaler + ".factor", scaler + ".input(double)", scaler + ".output(double)"});
    const QString path = dir->filePath("scaled.yml");
    finish(path);

    // When the framework imports it and makes a device of it
    QVERIFY(manager->parseMetaDevice(path, QString()));
    const QString meta = manager->createDevice("scaled", false);

    // Then the meta device exports what was picked
    const QSharedPointer<DeviceHandle> handle = manager->getDeviceHandle(meta);
    QVERIFY(handle);
    QCOMPARE(handle->getParamValue(scaler + ".factor"), QString("7"));
    QCOMPARE(handle->getParamValue("exportedSlots"), scaler + ".input(double)");
    QCOMPARE(handle->getParamValue("exportedSignals"), scaler + ".output(double)");
}

void TestExportMetaDeviceWizard::quotedNamesReadBackUnchanged()
{
    const QString sensor = create("sensor");
    openWizard({sensor});
    checkDevice(sensor);
    const QStringList params{"gain: max", "# note", "\"quoted\" 'name'", "[range] {x}"};
    QStringList picks;
    for (const QString& param : params)
        picks.append(sensor + "." + param);
    pickAndGoToSavePage(picks);
    const QString text = finish(dir->filePath("sensor.yml"));

    const MetaDevice::Description description = MetaDevice::parse(text);
    QCOMPARE(description.parameterExports.size(), params.size());
    for (int i = 0; i < params.size(); ++i) {
        QCOMPARE(description.parameterExports.at(i).key, params.at(i));
        QCOMPARE(description.parameterExports.at(i).device, sensor);
        QCOMPARE(description.parameterExports.at(i).item, params.at(i));
    }
    QCOMPARE(description.devices.value(0).paramValues.value("gain: max"), QString("3"));
}

void TestExportMetaDeviceWizard::dottedDeviceNamesKeepTheirPicks()
{
    // Given a device of a networked manager whose name holds dots
    manager->addNetworkManager("plant.lan");
    const QString remote = manager->createDevice("plant.lan/counter", false);
    QCOMPARE(remote, QString("counter1@plant.lan"));
    openWizard({remote});
    checkDevice(remote);
    pickAndGoToSavePage({remote + ".reset()", remote + ".step"});

    const QString text = finish(dir->filePath("remote.yml"));

    QVERIFY2(text.contains("    reset(): counter1@plant.lan.reset()\n"), qPrintable(text));
    const MetaDevice::Description description = MetaDevice::parse(text);
    QCOMPARE(description.slotExports.size(), 1);
    QCOMPARE(description.slotExports.at(0).device, remote);
    QCOMPARE(description.slotExports.at(0).item, QString("reset()"));
    QCOMPARE(description.parameterExports.value(0).item, QString("step"));
}

void TestExportMetaDeviceWizard::sameItemOnTwoDevicesGetsDistinctKeys()
{
    const QString first = create("counter"), second = create("counter");
    openWizard({first, second});
    checkDevice(first);
    checkDevice(second);
    pickAndGoToSavePage({first + ".reset()", second + ".reset()", second + ".increment()"});

    const QString text = finish(dir->filePath("two.yml"));

    QVERIFY2(text.startsWith("export:\n  slots:\n    counter1.reset(): counter1.reset()\n"
                             "    counter2.reset(): counter2.reset()\n    increment(): counter2.increment()\n"),
             qPrintable(text));
    const MetaDevice::Description description = MetaDevice::parse(text);
    QCOMPARE(description.slotExports.size(), 3);
    QCOMPARE(description.slotExports.at(1).device, second);
}

void TestExportMetaDeviceWizard::missingDirectoriesAreCreated()
{
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    pickAndGoToSavePage({});
    QVERIFY(!QFileInfo::exists("metadevices"));
    QVERIFY(!finish(savePage()->getDefaultFileName()).isEmpty());

    openWizard({counter});
    checkDevice(counter);
    pickAndGoToSavePage({});
    QVERIFY(!finish(dir->filePath("deep/er/meta.yml")).isEmpty());
}

void TestExportMetaDeviceWizard::writeFailureIsReportedAndKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("fileSizeLimit");
    QTest::newRow("directory blocked by a file") << false;
    QTest::newRow("write cut short") << true;
}

void TestExportMetaDeviceWizard::writeFailureIsReportedAndKeepsTheOldFile()
{
    QFETCH(bool, fileSizeLimit);
    // Given an old file, and something in the way of replacing it
    const QString path = fileSizeLimit ? dir->filePath("old.yml") : dir->filePath("blocked/old.yml");
    QVERIFY(writeText(fileSizeLimit ? path : dir->filePath("blocked"), "old"));
    const QString counter = create("counter");
    openWizard({counter});
    checkDevice(counter);
    pickAndGoToSavePage({counter + ".reset()"});
    savePage()->getFileNameEdit()->setText(path);
    rlimit previousLimit{};
    ::getrlimit(RLIMIT_FSIZE, &previousLimit);
    if (fileSizeLimit) {
        // A file-size limit stops writes whatever the process's privileges.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previousLimit;
        limited.rlim_cur = 16;
        if (::setrlimit(RLIMIT_FSIZE, &limited) != 0)
            QSKIP("The file-size limit cannot be lowered here");
    }

    // When Finish is clicked (and the replacement accepted)
    bool wizardOpenAtWarning = false;
    ZenticMessageBox::AnswerGuard guard([&](ZenticMessageBox& box) -> QAbstractButton* {
        if (box.windowTitle() == QLatin1String("Warning"))
            wizardOpenAtWarning = wizard && wizard->isVisible();
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == QLatin1String("Replace"))
                return button;
        }
        return box.button(QMessageBox::Ok);
    });
    wizard->button(QWizard::FinishButton)->click();
    ::setrlimit(RLIMIT_FSIZE, &previousLimit);

    // Then a warning says so while the wizard is still up, it closes, and the old file stays
    QCOMPARE(guard.texts().last(), QString("The meta device was not saved"));
    QVERIFY(wizardOpenAtWarning);
    QTRY_VERIFY(!wizard);
    QCOMPARE(readAll(fileSizeLimit ? path : dir->filePath("blocked")), QByteArray("old"));
}

void TestExportMetaDeviceWizard::deviceNamedFileNameKeepsTheFileName()
{
    const QString device = create("counter");
    QVERIFY(manager->renameDevice(device, "fileName"));
    openWizard({"fileName"});
    checkDevice("fileName");
    pickAndGoToSavePage({"fileName.reset()"});
    const QString text = finish(dir->filePath("named.yml"));
    QVERIFY2(text.startsWith("export:\n  slots:\n    reset(): fileName.reset()\n"), qPrintable(text));
}

void TestExportMetaDeviceWizard::closingDeletesTheWizard()
{
    openWizard({create("counter")});
    wizard->button(QWizard::CancelButton)->click();
    QTRY_VERIFY(!wizard);
    QVERIFY(QDir(dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

QTEST_MAIN(TestExportMetaDeviceWizard)
#include "tst_ExportMetaDeviceWizard.moc"
