#include "LibraryTranslator.h"

#include <QCoreApplication>
#include <QtTest>

class TestLibraryTranslator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { LibraryTranslator::remove(); }

    void russianUserSeesRussianTexts()
    {
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
        QCOMPARE(QCoreApplication::translate("ScreenKeyboardDialog", "Password"), QString::fromUtf8("Пароль"));
        // The settings editor's texts that were out of lupdate's sight
        QCOMPARE(QCoreApplication::translate("QObject", "Input value"), QString::fromUtf8("Введите значение"));
    }

};

QTEST_GUILESS_MAIN(TestLibraryTranslator)
#include "tst_LibraryTranslator.moc"
