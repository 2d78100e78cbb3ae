#include "ZenticWizard.h"

#include <QAbstractButton>
#include <QtTest>

namespace {

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

};

QTEST_MAIN(TestZenticWizard)
#include "tst_ZenticWizard.moc"
