#include "ZenticWizard.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A page whose content asks for size.
QWizardPage* pageAsking(const QSize& size)
{
    struct Content : QWidget
    {
        QSize wish;
        QSize sizeHint() const override { return wish; }
    };
    auto* page = new QWizardPage;
    auto* content = new Content;
    content->wish = size;
    (new QVBoxLayout(page))->addWidget(content);
    return page;
}

} // namespace

class TestZenticWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void footerBringsHouseButtons()
    {
        ZenticWizard classic(nullptr, false);
        QVERIFY(!classic.button(QWizard::BackButton)->text().isEmpty());
        // The house Back button shows only its icon
        ZenticWizard wizard(nullptr, true);
        QVERIFY(wizard.button(QWizard::BackButton)->text().isEmpty());
        QCOMPARE(wizard.button(QWizard::BackButton)->accessibleName(), QStringLiteral("Back"));
        QCOMPARE(wizard.button(QWizard::BackButton)->toolTip(), QStringLiteral("Back"));
        QCOMPARE(wizard.button(QWizard::NextButton)->text(), QStringLiteral("Next"));
    }

    void fitsEachPageWithinTheMaximumItWasGiven()
    {
        // Given a wizard at most 500 high, with a small page and a tall, wide one
        ZenticWizard wizard(nullptr, false);
        wizard.setMaximumHeight(500);
        wizard.addPage(pageAsking(QSize(100, 50)));
        wizard.addPage(pageAsking(QSize(900, 1200)));
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));

        // When the pages change, the small one takes what it asks, the tall one no more than 500
        wizard.next();
        wizard.back();
        const int smallWidth = wizard.width();
        QVERIFY(wizard.height() < 500);
        wizard.next();
        QCOMPARE(wizard.height(), 500);
        QVERIFY(wizard.width() > smallWidth);

        // And a maximum set between two page changes is the new bound, in its direction only
        wizard.back();
        wizard.setMaximumHeight(700);
        wizard.next();
        QCOMPARE(wizard.height(), 700);
        QVERIFY(wizard.width() > smallWidth);
        QCOMPARE(wizard.maximumHeight(), 700);
    }

};

QTEST_MAIN(TestZenticWizard)
#include "tst_ZenticWizard.moc"
