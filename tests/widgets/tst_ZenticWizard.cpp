#include "ZenticWizard.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWizardPage>
#include <QtTest>

namespace {

QWizardPage* page(const QString& text, QSize minimum)
{
    auto* wizardPage = new QWizardPage;
    auto* layout = new QVBoxLayout(wizardPage);
    layout->addWidget(new QLabel(text));
    wizardPage->setMinimumSize(minimum);
    return wizardPage;
}

QPoint centred(const QWidget& widget)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = widget.frameGeometry();
    return QPoint(qRound((screen.width() - frame.width()) * 0.5), qRound((screen.height() - frame.height()) * 0.5));
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
        const QFontMetrics metrics(wizard.font());
        for (const auto& [which, text] : {std::pair{QWizard::NextButton, "Next"}, {QWizard::FinishButton, "Finish"},
                                          {QWizard::CancelButton, "Cancel"}}) {
            QCOMPARE(wizard.button(which)->text(), QString(text));
            QCOMPARE(wizard.button(which)->minimumWidth(),
                     metrics.boundingRect(text).width() + 4 * metrics.averageCharWidth());
        }
    }

    void pageChangeFitsAndCentres()
    {
        ZenticWizard wizard(nullptr, true);
        wizard.addPage(page("small", QSize(200, 100)));
        wizard.addPage(page("large", QSize(400, 300)));
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        wizard.restart();

        wizard.next();

        QCOMPARE(wizard.minimumSize(), wizard.sizeHint());
        QCOMPARE(wizard.maximumSize(), wizard.sizeHint());
        QTRY_COMPARE(wizard.frameGeometry().topLeft(), centred(wizard));
    }
};

QTEST_MAIN(TestZenticWizard)
#include "tst_ZenticWizard.moc"
