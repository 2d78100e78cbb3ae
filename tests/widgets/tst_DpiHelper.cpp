#include "DpiHelper.h"

#include <QApplication>
#include <QtTest>

// The offscreen screen reports QT_FONT_DPI as its logical resolution.
class TestDpiHelper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scalesFrom96To144Dpi()
    {
        QCOMPARE(DpiHelper::getScaledWidth(100), 150.0);
        QCOMPARE(DpiHelper::getScaledHeight(10), 15.0);
        QCOMPARE(DpiHelper::getScaledSize(QSize(101, 101)), QSize(151, 151));
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_FONT_DPI", "144");
    QApplication app(argc, argv);
    TestDpiHelper test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DpiHelper.moc"
