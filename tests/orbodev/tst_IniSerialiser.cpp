#include "IniSerialiser.h"
#include "TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class NamedParameters : public ParametersEntity
{
public:
    explicit NamedParameters(const QString& name) : m_name(name) {}
    QString getObjectName() const override { return m_name; }

private:
    QString m_name;
};

} // namespace

class TestIniSerialiser : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath("layout.ini"); }

private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void replacesOwnGroupOnly()
    {
        {
            QSettings settings(path(), QSettings::IniFormat);
            settings.setValue("gauge1/stale", "x");
            settings.setValue("other/keep", "y");
        }
        NamedParameters first("gauge1");
        first.addParam("widget/area", "main");
        NamedParameters second("gauge2");
        second.addParam("widget/row", "5");

        QVERIFY(IniSerialiser(&first).saveTo(path()));
        QVERIFY(IniSerialiser(&second).saveTo(path()));

        QSettings settings(path(), QSettings::IniFormat);
        QVERIFY(!settings.contains("gauge1/stale"));
        QCOMPARE(settings.value("gauge1/widget/area").toString(), QString("main"));
        QCOMPARE(settings.value("gauge2/widget/row").toString(), QString("5"));
        QCOMPARE(settings.value("other/keep").toString(), QString("y"));
    }

    void savesEntityWithoutParametersIntoANewFile()
    {
        NamedParameters entity("empty1");
        QVERIFY(IniSerialiser(&entity).saveTo(path()));
        QVERIFY(QFileInfo::exists(path()));
    }

    void refusesUnnamedEntityAndUnwritableTarget()
    {
        TestSupport::LogCapture log;
        NamedParameters unnamed("");
        NamedParameters entity("gauge1");
        entity.addParam("widget/row", "1");

        QVERIFY(!IniSerialiser(&unnamed).saveTo(path()));
        QVERIFY(!IniSerialiser(nullptr).saveTo(path()));
        QVERIFY(!IniSerialiser(&entity).saveTo(dir.filePath("missing/dir/layout.ini")));

        QVERIFY(!QFile::exists(path()));
        QVERIFY(log.containsFragment("IniSerialiser: cannot save"));
    }

    void failedWriteKeepsTheOldFile()
    {
        // Given a file holding another entity's group, and an entity too large for the file-size limit
        const QByteArray oldText = "[other]\nkeep=y\n";
        {
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oldText) == oldText.size());
        }
        NamedParameters entity("gauge1");
        entity.addParam("widget/text", QString(64 * 1024, 'x'));
        TestSupport::LogCapture log;

        TestSupport::FileSizeLimit limit(oldText.size() + 256);
        if (!limit.isActive())
            QSKIP("The file-size limit cannot be lowered here");
        const bool saved = IniSerialiser(&entity).saveTo(path());
        limit.lift();

        // Then the failure is reported and the other group is still there, whole
        QVERIFY(!saved);
        QVERIFY(log.containsFragment("IniSerialiser: cannot save"));
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), oldText);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"layout.ini"});
    }
};

QTEST_GUILESS_MAIN(TestIniSerialiser)
#include "tst_IniSerialiser.moc"
