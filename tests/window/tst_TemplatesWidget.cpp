#include "DeviceConnectionItem.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "LayoutProcess.h"
#include "MapAutoLayout.h"
#include "ModalRunner.h"
#include "TemplateDescriptionFile.h"
#include "TemplatePreview.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "OutsideTextReaders.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QAbstractItemModelTester>
#include <QFileSystemModel>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

// Two linked devices, as the map exports a template.
const QByteArray& pumpLine = OutsideTextReaders::twoLinkedDevices;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), qint64(data.size()));
}

QStringList devicesOf(const QByteArray& text)
{
    QStringList devices;
    for (const DeviceInfo& info : YamlSerialiser::parseYamlFromString(QString::fromUtf8(text), nullptr))
        devices.append(YamlSerialiser::serialise(info));
    return devices;
}

} // namespace

class TestTemplatesWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void makesTheFolderAndItsSystemLinkOnce();
    void listsAndWritesTheFolderTheHostChose();
    void listsOnlyYamlTemplatesAndFolders();
    void selectingATemplateShowsTitleDescriptionAndPreview();
    void confirmAddsTheDescriptionAndKeepsTheDevices();
    void failedWriteIsReportedAndKeepsTheOldState();
    void faultyTemplatesShowNoEditableDescription_data();
    void faultyTemplatesShowNoEditableDescription();
    void focusOnTheTreeShowsTheNoticeAndNoBox_data();
    void focusOnTheTreeShowsTheNoticeAndNoBox();
    void renameGivesYamlNames_data();
    void renameGivesYamlNames();
    void renameRefusesFoldersInNamesAndTakenNames_data();
    void renameRefusesFoldersInNamesAndTakenNames();
    void noMenuForFoldersEmptySpaceOrSystemTemplates();
    void deleteRemovesAtOnceAndReportsFailure();
    void previewSkipsLinksToDevicesOutsideTheTemplate();
    void aTemplateChosenDuringAnotherOnesPreviewIsTheOneShown();
    void aNoticeQuotingAHugeKeyShowsItsHead();

private:
    void openPanel();
    void select(const QString& path);
    QString templatePath(const QString& fileName) const { return QDir(templates).filePath(fileName); }
    template<typename T>
    T* child(const QString& name) const
    {
        return panel->findChild<T*>(name);
    }
    QTreeView* tree() const { return child<QTreeView>(QStringLiteral("templatesFileView")); }
    QFileSystemModel* files() const { return qobject_cast<QFileSystemModel*>(tree()->model()); }
    QTextEdit* editor() const { return child<QTextEdit>(QStringLiteral("descriptionEditor")); }
    QLabel* title() const { return child<QLabel>(QStringLiteral("descriptionTitle")); }
    QLabel* notice() const { return child<QLabel>(QStringLiteral("descriptionNotice")); }
    QPushButton* confirmButton() const { return child<QPushButton>(QStringLiteral("confirmDescriptionButton")); }
    QPushButton* cancelButton() const { return child<QPushButton>(QStringLiteral("cancelDescriptionButton")); }
    QGraphicsView* preview() const { return child<QGraphicsView>(QStringLiteral("templatesPreview")); }
    bool buttonsShown() const { return !confirmButton()->isHidden() && !cancelButton()->isHidden(); }
    void openContextMenu(const QString& path);
    QList<DeviceNodeItem*> previewDevices() const;

    QTemporaryDir dataHome;
    std::unique_ptr<QTemporaryDir> work;
    QString templates;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    std::unique_ptr<TemplatesWidget> panel;
};

void TestTemplatesWidget::initTestCase()
{
    QVERIFY(dataHome.isValid());
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
}

void TestTemplatesWidget::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
    templates = TemplatesWidget::templatesDirectory();
    QDir(templates).removeRecursively();
    TemplatesWidget::setSystemTemplatesDirectory(work->filePath(QStringLiteral("system-templates")));
    manager = std::make_unique<TestDeviceManager>();
    map = std::make_unique<DeviceMapWidget>(manager.get(), work->filePath(QStringLiteral("map.ini")));
}

void TestTemplatesWidget::cleanup()
{
    panel.reset();
    map.reset();
    manager.reset();
    TestSupport::setReadOnly(work->path(), false);
    TestSupport::setReadOnly(templates, false);
    QDir(templates).removeRecursively();
    work.reset();
}

void TestTemplatesWidget::openPanel()
{
    panel = std::make_unique<TemplatesWidget>(map.get(), nullptr);
    panel->resize(400, 900);
}

void TestTemplatesWidget::select(const QString& path)
{
    const QModelIndex index = files()->index(path);
    QVERIFY2(index.isValid(), qPrintable(path));
    tree()->setCurrentIndex(index);
}

void TestTemplatesWidget::openContextMenu(const QString& path)
{
    const QModelIndex index = files()->index(path);
    tree()->scrollTo(index);
    Q_EMIT tree()->customContextMenuRequested(tree()->visualRect(index).center());
}

QList<DeviceNodeItem*> TestTemplatesWidget::previewDevices() const
{
    QList<DeviceNodeItem*> devices;
    for (QGraphicsItem* item : preview()->scene()->items()) {
        if (auto device = dynamic_cast<DeviceNodeItem*>(item))
            devices.append(device);
    }
    return devices;
}

void TestTemplatesWidget::makesTheFolderAndItsSystemLinkOnce()
{
    // Given system templates: a new folder links to them
    QVERIFY(QDir().mkpath(TemplatesWidget::systemTemplatesDirectory()));
    openPanel();
    const QFileInfo link(templatePath(QStringLiteral("system")));
    QCOMPARE(link.symLinkTarget(), TemplatesWidget::systemTemplatesDirectory());
    QCOMPARE(tree()->rootIndex(), files()->index(templates));

    // An existing folder whose link the user removed does not get it back
    QVERIFY(QFile::remove(link.filePath()));
    openPanel();
    QVERIFY(!QFileInfo(link.filePath()).isSymLink());
}

void TestTemplatesWidget::listsAndWritesTheFolderTheHostChose()
{
    // Given a host that points the templates at a folder of its own, holding one template
    const QString chosen = work->filePath(QStringLiteral("run/templates"));
    writeAll(chosen + QStringLiteral("/pump.yml"), pumpLine);
    TemplatesWidget::setTemplatesDirectory(chosen);

    // When the user describes the template in a panel made then
    openPanel();
    select(chosen + QStringLiteral("/pump.yml"));
    editor()->setPlainText(QStringLiteral("Feeds the valve"));
    confirmButton()->click();
    TemplatesWidget::setTemplatesDirectory(QString());

    // Then the panel listed that folder and wrote there; the data location's folder was not made
    QCOMPARE(tree()->rootIndex(), files()->index(chosen));
    QCOMPARE(TemplateDescriptionFile::read(chosen + QStringLiteral("/pump.yml")).description,
             QStringLiteral("Feeds the valve"));
    QVERIFY(!QFileInfo::exists(templates));
    QCOMPARE(TemplatesWidget::templatesDirectory(), templates);
}

void TestTemplatesWidget::listsOnlyYamlTemplatesAndFolders()
{
    writeAll(templatePath(QStringLiteral("a.yml")), pumpLine);
    writeAll(templatePath(QStringLiteral("b.yaml")), pumpLine);
    writeAll(templatePath(QStringLiteral("notes.txt")), "text");
    QVERIFY(QDir().mkpath(templatePath(QStringLiteral("folder"))));
    openPanel();
    QAbstractItemModelTester tester(files(), QAbstractItemModelTester::FailureReportingMode::QtTest);

    const QModelIndex root = tree()->rootIndex();
    QTRY_COMPARE(files()->rowCount(root), 3);
    QStringList shown;
    for (int row = 0; row < 3; ++row)
        shown.append(files()->fileName(files()->index(row, 0, root)));
    shown.sort();
    QCOMPARE(shown, (QStringList{"a.yml", "b.yaml", "folder"}));
}

void TestTemplatesWidget::selectingATemplateShowsTitleDescriptionAndPreview()
{
    writeAll(templatePath(QStringLiteral("pump_line.yml")), pumpLine + "export:\n  description: Feeds the valve\n");
    openPanel();

    select(templatePath(QStringLiteral("pump_line.yml")));

    QCOMPARE(title()->text(), QStringLiteral("Pump_line"));
    QCOMPARE(editor()->toPlainText(), QStringLiteral("Feeds the valve"));
    QVERIFY(!editor()->isReadOnly());
    // The preview is laid out from the event loop.
    QTRY_COMPARE(previewDevices().size(), 2);
    int links = 0;
    for (QGraphicsItem* item : preview()->scene()->items())
        links += dynamic_cast<DeviceConnectionItem*>(item) ? 1 : 0;
    QCOMPARE(links, 1);
}

void TestTemplatesWidget::confirmAddsTheDescriptionAndKeepsTheDevices()
{
    const QString path = templatePath(QStringLiteral("pump.yml"));
    writeAll(path, pumpLine);
    openPanel();
    select(path);
    QVERIFY(editor()->toPlainText().isEmpty());

    // Cancel brings the stored text back
    editor()->setPlainText(QStringLiteral("dropped"));
    QVERIFY(buttonsShown());
    cancelButton()->click();
    QVERIFY(editor()->toPlainText().isEmpty());

    const QString text = QStringLiteral("Line one: \"quoted\" # not a comment\nЛиния [2]");
    editor()->setPlainText(text);
    confirmButton()->click();

    QVERIFY(!buttonsShown());
    QCOMPARE(TemplateDescriptionFile::read(path).description, text);
    QCOMPARE(devicesOf(readAll(path)), devicesOf(pumpLine));

    // A template that starts with a byte-order mark keeps it when rewritten
    writeAll(path, "\xEF\xBB\xBF" + pumpLine);
    QVERIFY(TemplateDescriptionFile::write(path, text));
    QVERIFY(readAll(path).startsWith("\xEF\xBB\xBF"));
    QCOMPARE(TemplateDescriptionFile::read(path).description, text);
}

void TestTemplatesWidget::failedWriteIsReportedAndKeepsTheOldState()
{
    const QString path = templatePath(QStringLiteral("pump.yml"));
    const QByteArray original = pumpLine + "export:\n  description: old\n";
    writeAll(path, original);
    openPanel();
    select(path);

    // Given a disk that takes no more than a few bytes
    editor()->setPlainText(QStringLiteral("new"));
    ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
    {
        TestSupport::FileSizeLimit limit(16);
        QVERIFY(limit.isActive());
        confirmButton()->click();
    }

    QCOMPARE(warning.count(), 1);
    QCOMPARE(readAll(path), original);
    QVERIFY(buttonsShown()); // still unsaved
}

void TestTemplatesWidget::faultyTemplatesShowNoEditableDescription_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("description");

    QTest::newRow("malformed YAML") << QByteArray("pump1: [unclosed\n  type: x\n") << QString();
    QTest::newRow("export is a list") << pumpLine + "export: [1, 2]\n" << QString();
    QTest::newRow("description is a map") << pumpLine + "export:\n  description: {a: b}\n" << QString();
    QTest::newRow("several documents") << pumpLine + "export:\n  description: first\n---\nother: 1\n"
                                       << QStringLiteral("first");
    QTest::newRow("binary") << QByteArray("pump1:\n  type: \0x\n", 18) << QString();
}

void TestTemplatesWidget::faultyTemplatesShowNoEditableDescription()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, description);
    const QString path = templatePath(QStringLiteral("faulty.yml"));
    writeAll(path, text);
    openPanel();

    // No box either: the panel says itself what is wrong.
    ZenticMessageBox::AnswerGuard noBox(QMessageBox::Ok);
    select(path);

    QCOMPARE(noBox.count(), 0);
    QCOMPARE(title()->text(), QStringLiteral("Faulty"));
    QCOMPARE(editor()->toPlainText(), description);
    QVERIFY(editor()->isReadOnly());
    QVERIFY(!notice()->isHidden());

    // A save forced past the read-only editor is refused, reported, and changes nothing.
    QVERIFY(QMetaObject::invokeMethod(panel.get(), "confirmDescriptionChanges"));
    QCOMPARE(noBox.count(), 1);
    QCOMPARE(readAll(path), text);
}

void TestTemplatesWidget::focusOnTheTreeShowsTheNoticeAndNoBox_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expectedNotice");
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("previewed");

    const QString notAMap = QStringLiteral("The template is not a YAML map of devices.");
    QTest::newRow("a list") << QByteArray("- pump1\n- valve1\n") << notAMap << false << 0;
    QTest::newRow("a text") << QByteArray("pumps and valves\n") << notAMap << false << 0;
    QTest::newRow("empty") << QByteArray() << QStringLiteral("The template is empty.") << false << 0;
    // The description is fine and stays editable; the devices are what can not be read.
    QTest::newRow("a device that is no map")
        << QByteArray("config_version: 2\npump1: 5\n")
        << QStringLiteral("The devices of the template can not be read: device \"pump1\" is not a mapping") << true << 0;
    // The version's question belongs to inserting the template, not to looking at it.
    QTest::newRow("a newer version") << QByteArray(pumpLine).replace("config_version: 2", "config_version: 99")
                                     << QString() << true << 2;
    // A byte-order mark says the file is UTF-8.
    QTest::newRow("a byte-order mark") << "\xEF\xBB\xBF" + pumpLine << QString() << true << 2;
    // A Latin-1 letter is no binary; a rewrite would replace it, so the description stays as it is.
    QTest::newRow("a byte that is not UTF-8")
        << "# caf\xe9\n" + pumpLine
        << QStringLiteral("The template holds bytes that are not UTF-8; saving a description would replace them, "
                          "so it is not changed here.")
        << false << 2;
}

void TestTemplatesWidget::focusOnTheTreeShowsTheNoticeAndNoBox()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expectedNotice);
    QFETCH(bool, editable);
    QFETCH(int, previewed);
    // Given the only template of the folder
    const QString path = templatePath(QStringLiteral("faulty.yml"));
    writeAll(path, text);
    ZenticMessageBox::AnswerGuard noBox(QMessageBox::Ok);
    openPanel();
    panel->show();
    panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(panel.get()));
    QTRY_COMPARE(files()->rowCount(tree()->rootIndex()), 1);

    // When the tree gets keyboard focus, which makes its first entry current (the tree may
    // have had it from the start, before the folder was read)
    editor()->setFocus();
    tree()->setFocus(Qt::TabFocusReason);

    // Then the panel says what is wrong itself, without a box
    QTRY_COMPARE(title()->text(), QStringLiteral("Faulty"));
    QCOMPARE(noBox.count(), 0);
    QCOMPARE(notice()->text(), expectedNotice);
    QCOMPARE(notice()->isHidden(), expectedNotice.isEmpty());
    QCOMPARE(editor()->isReadOnly(), !editable);
    QTRY_COMPARE(previewDevices().size(), previewed);
}

void TestTemplatesWidget::renameGivesYamlNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "pump" << "pump.yml";
    QTest::newRow("yaml") << "pump.yaml" << "pump.yaml";
    QTest::newRow("upper case") << "pump.YML" << "pump.YML.yml";
    QTest::newRow("empty: kept") << "" << "old.yml";
}

void TestTemplatesWidget::renameGivesYamlNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    writeAll(templatePath(QStringLiteral("old.yml")), pumpLine);
    openPanel();

    ModalRunner::MenuAnswerGuard choose(QStringLiteral("Rename"));
    ModalRunner::InputAnswerGuard type(typed);
    openContextMenu(templatePath(QStringLiteral("old.yml")));

    QCOMPARE(readAll(templatePath(expected)), pumpLine);
    QCOMPARE(QFileInfo::exists(templatePath(QStringLiteral("old.yml"))), expected == QLatin1String("old.yml"));
}

void TestTemplatesWidget::renameRefusesFoldersInNamesAndTakenNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("slash") << "../escape";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("taken name") << "taken";
    QTest::newRow("vanished meanwhile") << "vanished";
}

void TestTemplatesWidget::renameRefusesFoldersInNamesAndTakenNames()
{
    QFETCH(QString, typed);
    writeAll(templatePath(QStringLiteral("old.yml")), pumpLine);
    writeAll(templatePath(QStringLiteral("taken.yml")), "config_version: 2\n");
    openPanel();

    const QString old = templatePath(QStringLiteral("old.yml"));
    ModalRunner::MenuAnswerGuard choose(QStringLiteral("Rename"));
    // The prompt is answered with typed; "vanished" takes the file away while it is open.
    ModalRunner::InputAnswerGuard type([&](const ModalRunner::InputRequest&) -> std::optional<QString> {
        if (typed == QLatin1String("vanished"))
            QFile::rename(old, old + QStringLiteral(".moved"));
        return typed;
    });
    ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
    openContextMenu(old);
    QFile::rename(old + QStringLiteral(".moved"), old);

    QCOMPARE(warning.count(), 1);
    QCOMPARE(readAll(old), pumpLine);
    QCOMPARE(readAll(templatePath(QStringLiteral("taken.yml"))), QByteArray("config_version: 2\n"));
    QCOMPARE(QDir(templates).entryList(QDir::Files).size(), 2);
}

void TestTemplatesWidget::noMenuForFoldersEmptySpaceOrSystemTemplates()
{
    QVERIFY(QDir().mkpath(TemplatesWidget::systemTemplatesDirectory()));
    writeAll(QDir(TemplatesWidget::systemTemplatesDirectory()).filePath(QStringLiteral("shipped.yml")), pumpLine);
    openPanel();
    const QString shipped = templatePath(QStringLiteral("system/shipped.yml"));
    tree()->expandAll();

    ModalRunner::MenuAnswerGuard choose(QStringLiteral("Delete"));
    openContextMenu(shipped);
    openContextMenu(templatePath(QStringLiteral("system")));
    Q_EMIT tree()->customContextMenuRequested(QPoint(5, tree()->viewport()->height() - 5));

    QCOMPARE(choose.count(), 0);
    QVERIFY(QFileInfo::exists(shipped));
}

void TestTemplatesWidget::deleteRemovesAtOnceAndReportsFailure()
{
    const QString path = templatePath(QStringLiteral("gone.yml"));
    writeAll(path, pumpLine);
    writeAll(templatePath(QStringLiteral("kept.yml")), pumpLine);
    openPanel();
    select(path);

    {
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Delete"));
        ZenticMessageBox::AnswerGuard noQuestion(QMessageBox::Ok);
        openContextMenu(path);
        QCOMPARE(noQuestion.count(), 0);
    }
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(title()->text(), QStringLiteral("Description"));

    // A file that goes while its menu is open cannot be deleted: the user hears of it.
    const QString kept = templatePath(QStringLiteral("kept.yml"));
    ModalRunner::MenuAnswerGuard choose([&kept](QMenu& menu) {
        QFile::rename(kept, kept + QStringLiteral(".moved"));
        return ModalRunner::findAction(&menu, QStringLiteral("Delete"));
    });
    ZenticMessageBox::AnswerGuard warning(QMessageBox::Ok);
    openContextMenu(kept);
    QCOMPARE(warning.count(), 1);
    QVERIFY(QFileInfo::exists(kept + QStringLiteral(".moved")));
}

void TestTemplatesWidget::previewSkipsLinksToDevicesOutsideTheTemplate()
{
    DevicesArrangement arrangement;
    for (const QString& name : {QStringLiteral("a"), QStringLiteral("b")}) {
        DeviceInfo info;
        info.name = name;
        info.type = QStringLiteral("generator");
        arrangement.devices.append(info);
        arrangement.deviceRects.insert(name, QRectF(name == QLatin1String("a") ? 0 : 200, 0, 100, 40));
    }
    arrangement.connections = {{QStringLiteral("a"), QStringLiteral("b"), {QPointF(150, 100)}},
                               {QStringLiteral("a"), QStringLiteral("elsewhere"), {}},
                               {QStringLiteral("nowhere"), QStringLiteral("b"), {}}};
    arrangement.boundingRect = QRectF(0, 0, 300, 40);
    QGraphicsScene scene;

    QCOMPARE(TemplatePreview::draw(&scene, arrangement), 2);

    QList<DeviceConnectionItem*> links;
    for (QGraphicsItem* item : scene.items()) {
        if (auto link = dynamic_cast<DeviceConnectionItem*>(item))
            links.append(link);
    }
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first()->getBendingPoints(), (QList<QPointF>{QPointF(150, 100)}));
}

void TestTemplatesWidget::aTemplateChosenDuringAnotherOnesPreviewIsTheOneShown()
{
    // Given two templates, and layouts that take a while
    const QString pair = templatePath(QStringLiteral("pair.yml"));
    const QString single = templatePath(QStringLiteral("single.yml"));
    writeAll(pair, pumpLine);
    writeAll(single, "config_version: 2\nlone:\n  type: generator\n");
    writeAll(work->filePath(QStringLiteral("slow-layout")),
             "#!/bin/sh\nsleep 0.3\nexec '" + LayoutProcess::installedProgram().toUtf8() + "'\n");
    QFile::setPermissions(work->filePath(QStringLiteral("slow-layout")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    GraphLayoutAdapter::Options options;
    options.layoutProgram = work->filePath(QStringLiteral("slow-layout"));
    DeviceMapParts(*map).automaticLayout().setOptions(options);
    openPanel();
    QTRY_VERIFY(files()->index(single).isValid());

    // When the host chooses the second while the first one's preview is laid out
    QTimer host;
    connect(&host, &QTimer::timeout, this, [&] {
        if (TestSupport::childProcesses().isEmpty())
            return;
        host.stop();
        select(single);
    });
    host.start(10);
    select(pair);

    // Then the panel shows the second one, and the first one's layout, done last, changes nothing
    QTRY_VERIFY(!host.isActive() && TestSupport::childProcesses().isEmpty());
    QTRY_COMPARE(previewDevices().size(), 1);
    QTest::qWait(50);
    QCOMPARE(previewDevices().size(), 1);
    QCOMPARE(title()->text(), QStringLiteral("Single"));
}

// Laying out the whole key would hold the panel for seconds at each selection and resize.
void TestTemplatesWidget::aNoticeQuotingAHugeKeyShowsItsHead()
{
    // Given a device of a 1 MiB name (a key that long must be explicit) and no type
    const QString path = templatePath(QStringLiteral("huge.yml"));
    writeAll(path, "config_version: 2\n? " + QByteArray(1024 * 1024, 'k') + "\n: {params: {}}\n");
    openPanel();

    select(path);

    const QString shown = notice()->text();
    QVERIFY2(shown.startsWith(QStringLiteral("The devices of the template can not be read: device \"kkk")),
             qPrintable(shown.left(200)));
    QVERIFY(shown.size() < 2000);
    QVERIFY(!notice()->isHidden());
}

QTEST_MAIN(TestTemplatesWidget)
#include "tst_TemplatesWidget.moc"
