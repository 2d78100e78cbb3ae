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

private Q_SLOTS:
    void mergesGroupsWithoutTruncating();
    void replacesOwnGroupOnly();
    void savesEntityWithoutParameters();
    void refusesUnnamedOrMissingEntity();
    void reportsUnwritableTarget();
    void failedWriteKeepsTheOldFile();
};

void TestIniSerialiser::mergesGroupsWithoutTruncating()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("layout.ini");
    NamedParameters first("gauge1");
    first.addParam("widget/row", "2");
    NamedParameters second("gauge2");
    second.addParam("widget/row", "5");

    QVERIFY(IniSerialiser(&first).saveTo(path));
    QVERIFY(IniSerialiser(&second).saveTo(path));

    QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(settings.value("gauge1/widget/row").toString(), QString("2"));
    QCOMPARE(settings.value("gauge2/widget/row").toString(), QString("5"));
}

void TestIniSerialiser::replacesOwnGroupOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("layout.ini");
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue("gauge1/stale", "x");
        settings.setValue("other/keep", "y");
    }
    NamedParameters entity("gauge1");
    entity.addParam("widget/area", "main");

    QVERIFY(IniSerialiser(&entity).saveTo(path));

    QSettings settings(path, QSettings::IniFormat);
    QVERIFY(!settings.contains("gauge1/stale"));
    QCOMPARE(settings.value("gauge1/widget/area").toString(), QString("main"));
    QCOMPARE(settings.value("other/keep").toString(), QString("y"));
}

void TestIniSerialiser::savesEntityWithoutParameters()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("layout.ini");
    NamedParameters entity("empty1");

    // Nothing to write into a file that does not exist yet is still a successful save.
    QVERIFY(IniSerialiser(&entity).saveTo(path));
    QVERIFY(QFileInfo::exists(path));
}

void TestIniSerialiser::refusesUnnamedOrMissingEntity()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("layout.ini");
    TestSupport::LogCapture log;
    NamedParameters unnamed("");

    QVERIFY(!IniSerialiser(&unnamed).saveTo(path));
    QVERIFY(!IniSerialiser(nullptr).saveTo(path));

    QVERIFY(!QFile::exists(path));
}

void TestIniSerialiser::reportsUnwritableTarget()
{
    QTemporaryDir dir;
    NamedParameters entity("gauge1");
    entity.addParam("widget/row", "1");
    TestSupport::LogCapture log;

    QVERIFY(!IniSerialiser(&entity).saveTo(dir.filePath("missing/dir/layout.ini")));

    QVERIFY(log.containsFragment("IniSerialiser: cannot save"));
}

void TestIniSerialiser::failedWriteKeepsTheOldFile()
{
    // Given a file holding another entity's group, and an entity too large for the file-size limit
    QTemporaryDir dir;
    const QString path = dir.filePath("layout.ini");
    const QByteArray oldText = "[other]\nkeep=y\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(oldText) == oldText.size());
    }
    NamedParameters entity("gauge1");
    entity.addParam("widget/text", QString(64 * 1024, 'x'));
    TestSupport::LogCapture log;

    // When it is saved
    TestSupport::FileSizeLimit limit(oldText.size() + 256);
    if (!limit.isActive())
        QSKIP("The file-size limit cannot be lowered here");
    const bool saved = IniSerialiser(&entity).saveTo(path);
    limit.lift();

    // Then the failure is reported and the other group is still there, whole
    QVERIFY(!saved);
    QVERIFY(log.containsFragment("IniSerialiser: cannot save"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), oldText);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"layout.ini"});
}

QTEST_GUILESS_MAIN(TestIniSerialiser)
#include "tst_IniSerialiser.moc"
