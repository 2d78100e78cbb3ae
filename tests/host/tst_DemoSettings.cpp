#include "DemoSettings.h"
#include "DemoStartup.h"
#include "DemoWindows.h"
#include "DeviceManager.h"
#include "DeviceMapWindow.h"
#include "GraphLock.h"
#include "HeightToleranceDialog.h"
#include "HeightToleranceWidget.h"
#include "LibraryTranslator.h"
#include "NumpadDialog.h"
#include "SafeFileWriter.h"
#include "SettingsWindow.h"
#include "Singleton.h"
#include "TestSupport.h"
#include "ToleranceWidget.h"
#include "YamlConfig.h"
#include "ZenticMessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

// While it lives, the files this thread opens are opened as a user whom permissions stop: root
// opens any file, so as root they are opened under the file-system user id of "nobody", which
// sets root's overriding of permissions aside (setfsuid(2)) where the system lets it.
class OpensAsAnotherUser
{
public:
    OpensAsAnotherUser()
        : m_previous(::geteuid() == 0 ? ::setfsuid(65534) : -1)
    {
    }
    ~OpensAsAnotherUser()
    {
        if (m_previous >= 0)
            ::setfsuid(uid_t(m_previous));
    }
    OpensAsAnotherUser(const OpensAsAnotherUser&) = delete;
    OpensAsAnotherUser& operator=(const OpensAsAnotherUser&) = delete;

private:
    int m_previous;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The demo's own settings as it reads them at start: the language they choose holds for the
// library's windows, whatever the system's language.
class tst_DemoSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir home;

    static QStringList menuTitles(QMainWindow* window)
    {
        QStringList titles;
        for (QAction* action : window->menuBar()->actions())
            titles.append(action->text());
        return titles;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        // The demo's data folder, where its settings file lies, is made below this home.
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
        QVERIFY(DemoSettings::file().startsWith(home.path()));
    }

    void init()
    {
        // As the start of a run that keeps the user's changes makes it.
        QVERIFY(QDir().mkpath(demoDataFolder()));
    }

    void cleanup()
    {
        DemoSettings::installTranslations(QLocale(QLocale::English));
        QDir(DemoSettings::file()).removeRecursively();
        QFile::remove(DemoSettings::file());
        DemoFiles::setCurrent(DemoFiles());
        GraphLock::release();
    }

    void savedLanguageChoosesTheTexts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("editMenu");
        QTest::addColumn<QString>("pollUnit");
        // The suites run with the system's language set to C, that is English texts.
        QTest::newRow("Russian chosen") << QByteArray("demo:\n  language: ru\n") << "ru" << QString::fromUtf8("Правка")
                                        << QString::fromUtf8(" мс");
        QTest::newRow("English chosen") << QByteArray("demo:\n  language: en\n") << "en" << "Edit" << " ms";
        QTest::newRow("the system's") << QByteArray("demo:\n  language: system\n") << "C" << "Edit" << " ms";
        QTest::newRow("nothing saved") << QByteArray() << "C" << "Edit" << " ms";
        QTest::newRow("no language there is") << QByteArray("demo:\n  language: qq\n") << "C" << "Edit" << " ms";
        QTest::newRow("malformed file") << QByteArray("demo: [language: ru\n") << "C" << "Edit" << " ms";
    }

    void savedLanguageChoosesTheTexts()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, language);
        QFETCH(QString, editMenu);
        QFETCH(QString, pollUnit);
        // Given the demo's settings file
        if (!file.isEmpty())
            QVERIFY(SafeFileWriter::writeFile(DemoSettings::file(), file));

        // When the demo starts with it
        YamlConfig settings;
        TestSupport::LogCapture log;
        DemoSettings::load(&settings);
        const QLocale locale = DemoSettings::language(&settings);
        DemoSettings::installTranslations(locale);

        // Then the library's windows speak the chosen language, or the system's
        QCOMPARE(locale.name().left(2), language.left(2));
        DeviceManager manager;
        manager.markInitialised();
        auto* window = new DeviceMapWindow(&manager, home.filePath(QStringLiteral("map.ini")), nullptr);
        QCOMPARE(menuTitles(window).value(1), editMenu);
        delete window;
        // And so do the demo's own settings, units included
        SettingsWindow settingsWindow;
        auto* period =
            settingsWindow.getConfigOption(QStringLiteral("pollPeriod")).getEditorWidget()->findChild<QSpinBox*>();
        QVERIFY(period);
        QCOMPARE(period->suffix(), pollUnit);
        // And a file it cannot read is said so, and kept aside for the user to mend, where no
        // save of the settings writes over it
        const bool unreadable = file.startsWith("demo: [");
        QCOMPARE(log.containsFragment(QStringLiteral("cannot be read, the defaults apply")), unreadable);
        settings.setParam(QStringLiteral("language"), QStringLiteral("en"), DemoSettings::node(), false);
        QVERIFY(settings.saveConfig());
        if (unreadable) {
            QFile kept(DemoSettings::file() + QStringLiteral("_corrupted"));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), file);
            QVERIFY(kept.remove());
        }
    }

    void aFailedSaveSaysSoRatherThanAskingForARestart_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("told");
        QTest::newRow("file written") << true << "en" << "ru" << "Restart required.";
        QTest::newRow("file not written") << false << "ru" << "en" << "The settings could not be saved.";
    }

    void aFailedSaveSaysSoRatherThanAskingForARestart()
    {
        QFETCH(bool, writable);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, told);
        // Given the demo's settings with a language chosen, in a file that can be written or not
        // (a folder in its place stops the writing whatever the user's rights)
        YamlConfig* settings = Singleton<YamlConfig>::instance();
        DemoSettings::load(settings);
        settings->setParam(QStringLiteral("language"), from, DemoSettings::node(), false);
        if (!writable)
            QVERIFY(QDir().mkpath(DemoSettings::file()));
        SettingsWindow window;
        auto* language = qobject_cast<QComboBox*>(window.getConfigOption(QStringLiteral("language")).getEditorWidget());
        QVERIFY(language);

        // When the user chooses another language and saves
        language->setCurrentIndex(language->findData(to));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        TestSupport::LogCapture log;
        QTest::mouseClick(window.getSaveButton(), Qt::LeftButton);

        // Then one box tells what became of it: a restart takes the language up only when it was kept
        QCOMPARE(ok.texts(), QStringList{told});
        YamlConfig reread;
        DemoSettings::load(&reread);
        QCOMPARE(DemoSettings::language(&reread).language() == QLocale(to).language(), writable);
        QDir(DemoSettings::file()).removeRecursively();
    }

    void settingsWindowTellsOfAnUnreadableFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("malformed file") << QByteArray("demo: [language: ru\n") << true;
        QTest::newRow("readable file") << QByteArray("demo:\n  language: en\n") << false;
    }

    void settingsWindowTellsOfAnUnreadableFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, unreadable);
        // Given the demo started on its settings file
        QVERIFY(SafeFileWriter::writeFile(DemoSettings::file(), file));
        YamlConfig settings;
        TestSupport::LogCapture log;
        DemoSettings::load(&settings);
        const QString keptAs = DemoSettings::file() + QStringLiteral("_corrupted");

        // When the user looks at the settings
        SettingsWindow window;
        window.show();

        // Then a file that could not be read is told of there, with where it is kept
        auto* notice = window.findChild<QLabel*>(QStringLiteral("settingsFileNotice"));
        QCOMPARE(notice && notice->isVisible(), unreadable);
        if (unreadable) {
            QVERIFY(notice->text().contains(QFileInfo(keptAs).fileName()));
            QVERIFY(QFile::remove(keptAs));
        }
    }

    void settingsFileThatCannotBeOpenedIsToldOfAndLeftAlone_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a file its permissions keep from being read") << false;
        QTest::newRow("a folder in the file's place") << true;
    }

    void settingsFileThatCannotBeOpenedIsToldOfAndLeftAlone()
    {
        QFETCH(bool, folder);
        // Given the user's settings file, which the demo cannot open (as root: not as another user)
        const QString file = DemoSettings::file();
        if (folder) {
            QVERIFY(QDir().mkpath(file) && SafeFileWriter::writeFile(file + "/inside", "demo:\n  language: ru\n"));
        } else {
            QVERIFY(SafeFileWriter::writeFile(file, "demo:\n  language: ru\n"));
            QVERIFY(QFile::setPermissions(file, QFileDevice::WriteOwner));
            QVERIFY(QFile::setPermissions(home.path(), QFile::permissions(home.path()) | QFileDevice::ExeOther));
        }
        const QStringList settingsFiles{QStringLiteral("demo-settings*")};
        const QStringList entriesBefore = QDir(demoDataFolder()).entryList(settingsFiles, QDir::AllEntries | QDir::Hidden);
        const QFileInfo fileBefore(file);

        // When the demo starts on the user's graph, and the user looks at the settings, chooses
        // another language and saves
        YamlConfig* settings = Singleton<YamlConfig>::instance();
        {
            const OpensAsAnotherUser opens;
            QFile probe(file);
            if (!folder && (!QFileInfo::exists(file) || probe.open(QIODevice::ReadOnly)))
                QSKIP("Nothing keeps this process from reading a file, whatever its permissions.");
            DemoSettings::read(settings);
        }
        DeviceManager manager;
        QVERIFY(DemoStartup::prepareManager(&manager, DemoFiles::forStart(QString(), false)));
        QVERIFY(DemoFiles::current().isKept());
        SettingsWindow window;
        window.show();
        auto* notice = window.findChild<QLabel*>(QStringLiteral("settingsFileNotice"));
        auto* language = qobject_cast<QComboBox*>(window.getConfigOption(QStringLiteral("language")).getEditorWidget());
        QVERIFY(language);
        language->setCurrentIndex(language->findData(language->currentData() == "ru" ? "en" : "ru"));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        QTest::mouseClick(window.getSaveButton(), Qt::LeftButton);

        // Then the settings page tells that the file cannot be read and the defaults are shown,
        // and Save that the change is not kept
        QVERIFY(notice && notice->isVisible());
        QVERIFY2(notice->text().contains(QDir::toNativeSeparators(file) + " cannot be read, so the defaults are shown"),
                 qPrintable(notice->text()));
        QCOMPARE(ok.texts(), QStringList{"Changes to the settings are not kept."});
        // And the file is as it was, where it was: nothing written over it, moved or put beside it
        QCOMPARE(QDir(demoDataFolder()).entryList(settingsFiles, QDir::AllEntries | QDir::Hidden), entriesBefore);
        const QFileInfo fileAfter(file);
        QCOMPARE(fileAfter.permissions(), fileBefore.permissions());
        QCOMPARE(fileAfter.lastModified(), fileBefore.lastModified());
        QVERIFY(folder || QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(folder ? contents(file + "/inside") : contents(file), QByteArray("demo:\n  language: ru\n"));
    }

    void toleranceDialogSaysWhetherTheChangeIsKept_data()
    {
        QTest::addColumn<bool>("kept");
        QTest::newRow("a run that keeps nothing") << false;
        QTest::newRow("a run that keeps the user's changes") << true;
    }

    void toleranceDialogSaysWhetherTheChangeIsKept()
    {
        QFETCH(bool, kept);
        // Given the data folder with the user's settings, and a run on its graph, which another
        // demo edits or not
        QVERIFY(SafeFileWriter::writeFile(DemoSettings::file(), "demo:\n  language: en\n"));
        QLockFile otherDemo(GraphLock::lockFileOf(DemoStartup::savedGraph()));
        QVERIFY(kept || otherDemo.tryLock(0));
        const QMap<QString, QByteArray> before = TestSupport::contentsBelow(home.path());
        YamlConfig* settings = Singleton<YamlConfig>::instance();
        DemoSettings::read(settings);
        DeviceManager manager;
        QVERIFY(DemoStartup::prepareManager(&manager, DemoFiles::forStart(QString(), false)));
        QCOMPARE(DemoFiles::current().isKept(), kept);

        // When the user enters a height tolerance in the settings' dialog, twice
        SettingsWindow window;
        const std::unique_ptr<HeightToleranceDialog> dialog(SettingsWindow::newHeightToleranceDialog(&window));
        ToleranceWidget* tolerance = dialog->getHeightToleranceWidget()->getToleranceWidget();
        const double high = tolerance->getToleranceValue().high;
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        for (double entered : {high + 1, high + 2}) {
            NumpadDialog::AnswerGuard type(entered);
            QTest::mousePress(tolerance->highField(), Qt::LeftButton);
            QCoreApplication::processEvents();
        }

        // Then it holds for the run; a run that keeps nothing says once that it is not kept, and
        // leaves the data folder as it was, byte for byte; another keeps it without a word
        QCOMPARE(settings->getDouble(QStringLiteral("heightToleranceHigh"), QStringLiteral("project2d"), 0.0), high + 2);
        QCOMPARE(ok.texts(), kept ? QStringList() : QStringList{"This run keeps none of your changes."});
        QVERIFY2(kept || ok.informativeTexts().value(0).contains(QDir::toNativeSeparators(DemoSettings::file())),
                 qPrintable(ok.informativeTexts().value(0)));
        if (!kept)
            QCOMPARE(TestSupport::contentsBelow(home.path()), before);
        else
            QVERIFY(contents(DemoSettings::file()).contains("heightToleranceHigh: " + QByteArray::number(high + 2)));
    }

    void runThatKeepsNothingLeavesTheSettingsFileAlone_data()
    {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QByteArray>("file");
        // A null file: none, nor any data folder.
        for (const char* run : {"a second demo on the graph", "a --graph that does not load", "a screenshot run"}) {
            QTest::addRow("%s, a readable settings file", run) << run << QByteArray("demo:\n  language: en\n");
            QTest::addRow("%s, an unreadable settings file", run) << run << QByteArray("demo: [language: ru\n");
            QTest::addRow("%s, no settings file", run) << run << QByteArray();
        }
    }

    void runThatKeepsNothingLeavesTheSettingsFileAlone()
    {
        QFETCH(QString, run);
        QFETCH(QByteArray, file);
        // Given the data folder with the row's settings file, and the graph the run is to show:
        // one another demo edits, or one that does not load
        QVERIFY(QDir(demoDataFolder()).removeRecursively());
        if (!file.isNull())
            QVERIFY(QDir().mkpath(demoDataFolder()) && SafeFileWriter::writeFile(DemoSettings::file(), file));
        const QMap<QString, QByteArray> before = TestSupport::contentsBelow(home.path());
        QTemporaryDir graphs;
        QVERIFY(graphs.isValid());
        const QString graph = graphs.filePath(QStringLiteral("graph.yaml"));
        QLockFile otherDemo(GraphLock::lockFileOf(graph));
        if (run.startsWith("a second demo")) {
            QFile sample(DemoStartup::sampleGraph());
            QVERIFY(sample.open(QIODevice::ReadOnly) && SafeFileWriter::writeFile(graph, sample.readAll()));
            QVERIFY(otherDemo.tryLock(0));
        } else {
            QVERIFY(SafeFileWriter::writeFile(graph, "wave9: [\n"));
        }

        // When the run starts as the demo does, and the user chooses another language and saves
        TestSupport::LogCapture log;
        YamlConfig* settings = Singleton<YamlConfig>::instance();
        DemoSettings::read(settings);
        DeviceManager manager;
        const bool screenshots = run == "a screenshot run";
        QVERIFY(DemoStartup::prepareManager(&manager, DemoFiles::forStart(screenshots ? QString() : graph, screenshots)));
        QVERIFY(!DemoFiles::current().isKept());
        SettingsWindow window;
        auto* language = qobject_cast<QComboBox*>(window.getConfigOption(QStringLiteral("language")).getEditorWidget());
        QVERIFY(language);
        language->setCurrentIndex(language->findData(language->currentData() == "ru" ? "en" : "ru"));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        QTest::mouseClick(window.getSaveButton(), Qt::LeftButton);

        // Then Save says that the run keeps none of it, and the data folder is as it was, byte
        // for byte, or still not there
        QCOMPARE(ok.texts(), QStringList{"This run keeps none of your changes."});
        QVERIFY2(ok.informativeTexts().value(0).contains(QDir::toNativeSeparators(DemoSettings::file())),
                 qPrintable(ok.informativeTexts().value(0)));
        QCOMPARE(TestSupport::contentsBelow(home.path()), before);
        QCOMPARE(QFileInfo::exists(demoDataFolder()), !file.isNull());
        QVERIFY(QDir().mkpath(demoDataFolder()));
    }
};

QTEST_MAIN(tst_DemoSettings)
#include "tst_DemoSettings.moc"
