#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "DeviceConnectionItem.h"
#include "DeviceFile.h"
#include "DeviceText.h"
#include "ExportMetaDeviceWizard.h"
#include "LibraryTranslator.h"
#include "MapClipboard.h"
#include "MapCommands.h"
#include "ModalRunner.h"
#include "TemplateFiles.h"
#include "TestSupport.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGraphicsScene>
#include <QMimeData>
#include <QtTest>

namespace {

// Two scalers, the first feeding the second, as device text.
QString pairText()
{
    DeviceInfo first;
    first.name = "left";
    first.type = "scaler";
    DeviceInfo second = first;
    second.name = "right";
    second.incomingConnections.append(Connection{"left", "output(double)", "input(double)"});
    return DeviceText::compose({first, second});
}

// The links that join devices, each "sourceType>targetType" ("outside" for a device not
// among them), sorted.
QStringList linksOf(DeviceManager& manager, const QStringList& devices)
{
    const auto typeOf = [&](const QString& name) {
        return devices.contains(name) ? manager.getDeviceInfo(name).type : QStringLiteral("outside");
    };
    QStringList links;
    for (const QString& name : devices) {
        const DeviceInfo info = manager.getDeviceInfo(name);
        for (const Connection& link : info.outgoingConnections)
            links.append(info.type + '>' + typeOf(link.device));
        for (const Connection& link : info.incomingConnections) {
            if (!devices.contains(link.device))
                links.append("outside>" + info.type);
        }
    }
    links.sort();
    return links;
}

// n scalers s0, s1, ... each feeding the next, the third next and the fifth before, as device text.
QString chainText(int count)
{
    QList<DeviceInfo> infos;
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("s%1").arg(i);
        info.type = "scaler";
        for (int next : {i + 1, i + 3, i - 5}) {
            if (next >= 0 && next < count)
                info.outgoingConnections.append(Connection{QStringLiteral("s%1").arg(next), "output(double)", "input(double)"});
        }
        infos.append(info);
    }
    return DeviceText::compose(infos);
}

QStringList namesIn(const QString& deviceText)
{
    QStringList names;
    for (const DeviceInfo& info : YamlSerialiser::parseYamlFromString(deviceText, nullptr))
        names.append(info.name);
    return names;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// Copy, paste, templates, meta-device export, files dragged onto the map, and the delete command.
class TestMapClipboard : public QObject, DeviceMapFixture
{
    Q_OBJECT

    QStringList pair;
    // Fresh for each test: the fixture's directory lives as long as the whole suite.
    std::unique_ptr<QTemporaryDir> files;

    QUndoStack* stack() { return map->getUndoStack(); }
    QString dataDir() const { return files->filePath("data"); }

    void setCursor(const QPoint& viewportPoint) { QCursor::setPos(map->viewport()->mapToGlobal(viewportPoint)); }

    QString writeFile(const QString& relativePath, const QByteArray& content)
    {
        const QString path = files->filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    }

    bool dragEnter(const QList<QUrl>& urls, const QPoint& at = QPoint(300, 200))
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(map->viewport(), &enter);
        return enter.isAccepted();
    }

    void dropFile(const QString& path, const QPoint& at = QPoint(300, 200))
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(dragEnter(mime.urls(), at));
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(map->viewport(), &drop);
        // The drop is handled once the drag is over, from the event loop.
        QCoreApplication::processEvents();
    }

    void select(const QStringList& names)
    {
        map->scene()->clearSelection();
        for (const QString& name : names)
            item(name)->setSelected(true);
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        files = std::make_unique<QTemporaryDir>();
        manager->markInitialised();
        openMap();
        map->resize(800, 600);
        pair = linkedPair("scaler");
        item(pair.at(0))->placeDevice(QPointF(0, 0));
        item(pair.at(1))->placeDevice(QPointF(200, 0));
        TemplateFiles::setDataLocation(dataDir());
        QApplication::clipboard()->clear();
    }

    void cleanup()
    {
        TemplateFiles::setDataLocation(QString());
        tearDownFixture();
    }

    void copyTwoDevicesAndPasteThemAroundThePoint()
    {
        select(pair);
        DeviceMapParts(*map).clipboard().copy();

        DeviceMapParts(*map).clipboard().paste(QPoint(400, 300));

        // One entry re-creates both, linked, centred on the point and selected
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->text(0), QStringLiteral("Paste devices"));
        const QStringList names = manager->getDeviceNames().mid(2);
        QCOMPARE(names.size(), 2);
        QVERIFY(map->getConnection(names.at(0), names.at(1)) || map->getConnection(names.at(1), names.at(0)));
        const QPointF middle = (item(names.at(0))->getCenter() + item(names.at(1))->getCenter()) / 2;
        QCOMPARE(middle, map->mapToScene(QPoint(400, 300)));
        QCOMPARE(map->scene()->selectedItems().size(), 2);
    }

    void copyWithoutSelectionTakesTheDeviceUnderTheCursor_data()
    {
        QTest::addColumn<bool>("overDevice");
        QTest::newRow("over a device") << true;
        QTest::newRow("over empty space") << false;
    }

    void copyWithoutSelectionTakesTheDeviceUnderTheCursor()
    {
        // Given the cursor over the linked pair's target, or over nothing
        QFETCH(bool, overDevice);
        setCursor(map->mapFromScene(overDevice ? item(pair.at(1))->getCenter() : QPointF(500, 500)));
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        DeviceMapParts(*map).clipboard().copy();
        DeviceMapParts(*map).clipboard().paste(QPoint(100, 400));

        // Then that device alone is copied, without its link to the device left behind
        const QList<DeviceInfo> copied = YamlSerialiser::parseYamlFromString(QApplication::clipboard()->text(), nullptr);
        QCOMPARE(copied.size(), overDevice ? 1 : 0);
        QCOMPARE(stack()->count(), overDevice ? 1 : 0);
        QCOMPARE(answer.count(), 0);
    }

    void unreadableClipboardTextShowsOneBoxAndChangesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("headline");
        QTest::newRow("malformed") << "left: [unclosed" << "Corrupted configuration";
        QTest::newRow("too long") << QString(DeviceText::maxTextLength + 1, 'x') << "Text too large";
        // The parser's message quoted the name whole, and the box took seconds to show it.
        QTest::newRow("message naming a 1 MiB anchor") << "config_version: 2\npump: *" + QString(1 << 20, 'a') + "\n"
                                                       << "Corrupted configuration";
    }

    void unreadableClipboardTextShowsOneBoxAndChangesNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, headline);
        QApplication::clipboard()->setText(text);
        QString details;
        ZenticMessageBox::AnswerGuard answer([&details](ZenticMessageBox& box) {
            details = box.detailedText();
            return box.button(QMessageBox::Ok);
        });

        DeviceMapParts(*map).clipboard().paste(QPoint(100, 100));

        QCOMPARE(answer.texts(), QStringList({headline}));
        if (text.size() < 100)
            QCOMPARE(details, text);
        QVERIFY(details.size() <= DeviceText::maxDetailedText + 1);
        // The sentence around the parser's message is short.
        QVERIFY(answer.informativeTexts().first().size() <= DeviceText::maxMessageText + 100);
        QCOMPARE(stack()->count(), 0);
        QCOMPARE(manager->getDeviceNames(), pair);
    }

    void aNewerVersionAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("pasted");
        QTest::newRow("Ok") << int(QMessageBox::Ok) << 1;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << 0;
    }

    void aNewerVersionAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(int, pasted);
        DeviceInfo info;
        info.name = "newer";
        info.type = "adder";
        QApplication::clipboard()->setText("config_version: 99\n" + YamlSerialiser::serialise(info));
        ZenticMessageBox::AnswerGuard guard{QMessageBox::StandardButton(answer)};

        DeviceMapParts(*map).clipboard().paste(QPoint(100, 100));

        QCOMPARE(guard.texts(), QStringList({"Unsupported version"}));
        QCOMPARE(manager->getDeviceNames().size(), 2 + pasted);
    }

    void exportedTemplateAsksBeforeReplacingAndDropsBackAsOneMacro()
    {
        // Given a template exported once, and changed on disk since
        select(pair);
        ModalRunner::InputAnswerGuard names(QStringList({"pump", "pump", "pump"}));
        map->exportTemplate(map->scene()->selectedItems());
        const QString path = dataDir() + "/templates/pump.yml";
        QCOMPARE(YamlSerialiser::parseYamlFromString(readFile(path), nullptr).size(), 2);
        writeFile("data/templates/pump.yml", "changed");

        // When it is exported again under its name, refused, then accepted
        {
            ZenticMessageBox::AnswerGuard refuse(ZenticMessageBox::AnswerGuard::RejectRole);
            map->exportTemplate(map->scene()->selectedItems());
            QCOMPARE(refuse.texts(), QStringList({"\"pump.yml\" already exists. Do you want to replace it?"}));
        }
        QCOMPARE(readFile(path), QStringLiteral("changed"));
        ZenticMessageBox::AnswerGuard replace(QStringLiteral("Replace"));
        map->exportTemplate(map->scene()->selectedItems());
        QCOMPARE(readFile(path), map->getConfig(map->scene()->selectedItems()));

        // When it is dropped on the map, it makes one macro of paste and cluster, undone at once
        map->scene()->clearSelection();
        dropFile(path, QPoint(400, 300));
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->text(0), QStringLiteral("Create template pump"));
        QCOMPARE(manager->getDeviceNames().size(), 4);
        QVERIFY(map->getClusterItems().contains("pump-0"));
        stack()->undo();
        QCOMPARE(manager->getDeviceNames(), pair);
        QVERIFY(map->getClusterItems().isEmpty());
    }

    void refusesTemplateNamesThatLeaveTheDirectory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../evil";
        QTest::newRow("slash") << "a/evil";
        QTest::newRow("backslash") << "a\\evil";
        QTest::newRow("dots") << "..";
    }

    void refusesTemplateNamesThatLeaveTheDirectory()
    {
        QFETCH(QString, name);
        select(pair);
        ModalRunner::InputAnswerGuard type(name);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        map->exportTemplate(map->scene()->selectedItems());

        QCOMPARE(answer.texts(), QStringList({"Export template error"}));
        QVERIFY(QDir(dataDir() + "/templates").entryList(QDir::Files).isEmpty());
        QVERIFY(!QFileInfo::exists(dataDir() + "/evil.yml"));
    }

    void aFailedTemplateWriteKeepsTheOldFileAndSaysSo()
    {
        const QString path = writeFile("data/templates/pump.yml", "old");
        select(pair);
        ModalRunner::InputAnswerGuard type("pump");
        ZenticMessageBox::AnswerGuard answer(ZenticMessageBox::AnswerGuard::AcceptRole);
        TestSupport::FileSizeLimit limit(16);
        if (!limit.isActive())
            QSKIP("The file size limit cannot be lowered here");

        map->exportTemplate(map->scene()->selectedItems());
        limit.lift();

        QCOMPARE(answer.texts().last(), QStringLiteral("Export template error"));
        QCOMPARE(readFile(path), QStringLiteral("old"));
    }

    void anotherDroppedFileAsksWhatToDo_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::newRow("insert") << "Insert devices";
        QTest::newRow("meta device") << "Import meta device";
        QTest::newRow("template") << "Import template";
        QTest::newRow("cancel") << "";
    }

    void anotherDroppedFileAsksWhatToDo()
    {
        // Given a device file in a folder named like the templates one, but in capitals, and an
        // older template of its name
        QFETCH(QString, choice);
        const QString path = writeFile("Templates/arm.yml", pairText().toUtf8());
        writeFile("data/templates/arm.yml", "old");
        ZenticMessageBox::AnswerGuard answer([&choice](ZenticMessageBox& box) -> QAbstractButton* {
            for (QAbstractButton* button : box.buttons()) {
                if (button->text() == (choice.isEmpty() ? "Cancel" : choice) || button->text() == "Replace")
                    return button;
            }
            return nullptr;
        });

        dropFile(path);

        // Then the user chose, and an import asked before it replaced the older template
        QCOMPARE(answer.texts().value(0), QStringLiteral("How do you want to process the file?"));
        QCOMPARE(answer.count(), choice == "Import template" ? 2 : 1);
        QCOMPARE(stack()->count(), choice == "Insert devices" ? 1 : 0);
        QCOMPARE(manager->getDeviceNames().size(), choice == "Insert devices" ? 4 : 2);
        QCOMPARE(manager->getDeviceTypes().contains("arm"), choice == "Import meta device");
        QCOMPARE(readFile(dataDir() + "/templates/arm.yml"), choice == "Import template" ? pairText() : QString("old"));
        QVERIFY(DeviceMapParts(*map).clipboard().draggedFilePath().isEmpty());
    }

    void draggingAsksNothingAndTheDropSaysWhatIsWrong_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("headline");
        QTest::newRow("corrupted") << QByteArray("left: [unclosed") << "Corrupted configuration";
        QTest::newRow("too large") << QByteArray(DeviceFile::maxSize + 1, 'x') << "Unreadable file";
        QTest::newRow("binary") << QByteArray("left:\n  type: \0x\n", 18) << "Unreadable file";
    }

    // Binary is what no text file holds; a byte that is not UTF-8 is text all the same.
    void aDeviceFileWithALatin1ByteIsDraggedAndDropped()
    {
        const QString path = writeFile("templates/latin.yml", "# caf\xe9 au lait\n" + pairText().toUtf8());
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        QVERIFY(dragEnter({QUrl::fromLocalFile(path)}));
        // Laid out for the preview from the event loop.
        QTRY_COMPARE(map->getDragArrangement().devices.size(), 2);
        DeviceMapParts(*map).clipboard().dragLeave();
        dropFile(path);

        QCOMPARE(answer.count(), 0);
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->text(0), QStringLiteral("Create template latin"));
        QCOMPARE(manager->getDeviceNames().size(), 4);
    }

    void pastedAndDroppedTextsJoinEveryListedLinkOnce_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("dropped");
        // As the demo's sample template lists its links: outgoing only.
        const QByteArray outgoingOnly =
            "config_version: 2\n"
            "wave:\n  type: generator\n  outgoing:\n    - \"gain.input(double)<wave.valueChanged(double)\"\n"
            "gain:\n  type: scaler\n  outgoing:\n    - \"gate.input(double)<gain.output(double)\"\n"
            "gate:\n  type: comparator\n  outgoing:\n    - \"tally.increment()<gate.crossed()\"\n"
            "tally:\n  type: counter\n";
        // One link outgoing only, one listed both ways, one incoming only.
        const QByteArray eachWay =
            "config_version: 2\n"
            "wave:\n  type: generator\n  outgoing:\n    - \"gain.input(double)<this.valueChanged(double)\"\n"
            "gain:\n  type: scaler\n  outgoing:\n    - \"gate.input(double)<gain.output(double)\"\n"
            "gate:\n  type: comparator\n  connections:\n    - \"this.input(double)<gain.output(double)\"\n"
            "tally:\n  type: counter\n  connections:\n    - \"this.increment()<gate.crossed()\"\n";
        QTest::newRow("outgoing only, pasted") << outgoingOnly << false;
        QTest::newRow("outgoing only, dropped") << outgoingOnly << true;
        QTest::newRow("each way, pasted") << eachWay << false;
        QTest::newRow("each way, dropped") << eachWay << true;
    }

    void pastedAndDroppedTextsJoinEveryListedLinkOnce()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, dropped);
        ZenticMessageBox::AnswerGuard noBox(QMessageBox::Ok);
        const QString path = writeFile("data/templates/alarm.yml", text);
        QApplication::clipboard()->setText(QString::fromUtf8(text));

        // When the text is pasted or dropped twice, the second time under the manager's names
        QStringList before = manager->getDeviceNames();
        for (int time = 0; time < 2; ++time) {
            manager->clearCallLog();
            if (dropped)
                dropFile(path);
            else
                DeviceMapParts(*map).clipboard().paste(QPoint(300, 200));

            // Then each time the new devices form the chain, each link made once, and nothing more
            QStringList pasted = manager->getDeviceNames();
            for (const QString& name : qAsConst(before))
                pasted.removeOne(name);
            QCOMPARE(pasted.size(), 4);
            QCOMPARE(linksOf(*manager, pasted),
                     QStringList({"comparator>counter", "generator>scaler", "scaler>comparator"}));
            QCOMPARE(manager->callLog().filter("addConnection(").size(), 3);
            before = manager->getDeviceNames();
        }
        QCOMPARE(noBox.count(), 0);
    }

    void draggingAsksNothingAndTheDropSaysWhatIsWrong()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, headline);
        const QString path = writeFile("broken.yml", content);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        QVERIFY(dragEnter({QUrl::fromLocalFile(path)}));
        QCOMPARE(answer.count(), 0);
        QVERIFY(map->getDragArrangement().isEmpty());
        DeviceMapParts(*map).clipboard().dragLeave();
        dropFile(path);

        QCOMPARE(answer.texts(), QStringList({headline}));
        QCOMPARE(stack()->count(), 0);
    }

    void exportWizardSpeaksTheUsersLanguage()
    {
        // Given a Russian user
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));

        // When the pair is exported as a meta device
        map->exportMetaDevice({item(pair.at(0)), item(pair.at(1))});
        QPointer<ExportMetaDeviceWizard> wizard = map->findChild<ExportMetaDeviceWizard*>();
        LibraryTranslator::remove();

        // Then the wizard, modal over the map, bears the translated title
        QVERIFY(wizard && wizard->isModal());
        QCOMPARE(wizard->windowTitle(), QString::fromUtf8("Экспорт мета-устройства"));
        delete wizard.data();
    }

    // The scene hands out its selection in the order of a hash, which changes from run to run.
    void theSameEditsGiveTheSameText_data()
    {
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<int>("step");
        QTest::newRow("select all and copy") << false << 1;
        QTest::newRow("delete all and undo") << true << 1;
        QTest::newRow("delete every seventh and undo") << true << 7;
        QTest::newRow("delete three and undo") << true << 13;
    }

    void theSameEditsGiveTheSameText()
    {
        // Given a chain of 40 devices, and every step-th of them selected
        QFETCH(bool, deleting);
        QFETCH(int, step);
        QVERIFY(manager->loadYamlFromString(chainText(40)));
        openMap();
        const QStringList graph = manager->getDeviceNames();
        const QString graphText = manager->toYamlString();
        QStringList selected;
        QStringList stayed;
        for (int i = 0; i < graph.size(); ++i) {
            item(graph.at(i))->placeDevice(QPointF(100 * (i % 8), 60 * (i / 8)));
            (i % step == 0 ? selected : stayed).append(graph.at(i));
        }
        select(selected);

        // When the selection is copied, or deleted and the deletion undone
        ZenticMessageBox::AnswerGuard answer(ZenticMessageBox::AnswerGuard::AcceptRole);
        if (!deleting) {
            DeviceMapParts(*map).clipboard().copy();
            QCOMPARE(namesIn(QApplication::clipboard()->text()), selected);
            return;
        }
        DeviceMapParts(*map).commands().deleteSelectionOrItemUnderCursor();
        QCOMPARE(manager->getDeviceNames(), stayed);
        stack()->undo();

        // Then the devices come back after those that stayed, in the graph's order, the whole
        // graph as it was; and the question named them in that order
        QCOMPARE(manager->getDeviceNames(), stayed + selected);
        if (stayed.isEmpty())
            QCOMPARE(manager->toYamlString(), graphText);
        if (selected.size() < 4)
            QCOMPARE(answer.texts().value(0), "Are you sure you want to remove \"" + selected.join("\", \"") + "\"?");
    }

    void deleteTakesWhatIsUnderTheCursor_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("bending point") << "bend" << "Remove bending point";
        QTest::newRow("cluster") << "cluster" << "Remove cluster c";
    }

    void deleteTakesWhatIsUnderTheCursor()
    {
        QFETCH(QString, what);
        QFETCH(QString, undoText);
        DeviceConnectionItem* link = map->getConnection(pair.at(0), pair.at(1));
        link->setBendingPoints({QPointF(150, 200)});
        link->update(QRectF());
        map->createCluster("c", QRectF(600, 400, 100, 100));
        // Links and clusters take their shapes when they are painted.
        QImage picture(1200, 1000, QImage::Format_ARGB32);
        QPainter painter(&picture);
        map->scene()->render(&painter);
        // A cluster is caught by its label, its second outline.
        const QPointF label = map->getClusterItems().value("c")->shape().toSubpathPolygons().value(1).boundingRect().center();
        const QPointF target = what == "bend" ? QPointF(150, 200) : map->getClusterItems().value("c")->mapToScene(label);
        setCursor(map->mapFromScene(target) + QPoint(1, 1));

        DeviceMapParts(*map).commands().deleteSelectionOrItemUnderCursor();

        QCOMPARE(stack()->count(), 1);
        QVERIFY(stack()->text(0).startsWith(undoText));
        if (what == "bend")
            QVERIFY(map->getConnection(pair.at(0), pair.at(1))->getBendingPoints().isEmpty());
    }
};

QTEST_MAIN(TestMapClipboard)
#include "tst_MapClipboard.moc"
