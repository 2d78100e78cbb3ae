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
    void footerButtonsAreHouseButtons()
    {
        ZenticWizard wizard(nullptr, true);
        QAbstractButton* back = wizard.button(QWizard::BackButton);
        QVERIFY(back->text().isEmpty());
        QCOMPARE(back->styleSheet(), QString("background-color: rgba(255, 255, 255, 0);"));
        QCOMPARE(wizard.button(QWizard::NextButton)->text(), QString("Next"));
        QCOMPARE(wizard.button(QWizard::FinishButton)->text(), QString("Finish"));
        QCOMPARE(wizard.button(QWizard::CancelButton)->text(), QString("Cancel"));
        const QFontMetrics metrics(wizard.font());
        QCOMPARE(wizard.button(QWizard::NextButton)->minimumWidth(),
                 metrics.boundingRect("Next").width() + 4 * metrics.averageCharWidth());
        QCOMPARE(wizard.wizardStyle(), QWizard::ClassicStyle);
    }

    void withoutFooterStandardButtons()
    {
        ZenticWizard wizard(nullptr, false);
        QVERIFY(!wizard.button(QWizard::BackButton)->text().isEmpty());
        QVERIFY(wizard.button(QWizard::NextButton)->styleSheet().isEmpty());
    }

    void pageChangeFitsAndCentres()
    {
        // Given a wizard with a small and a large page
        ZenticWizard wizard(nullptr, true);
        wizard.addPage(page("small", QSize(200, 100)));
        wizard.addPage(page("large", QSize(400, 300)));
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        wizard.restart();

        // When it moves to the large page
        wizard.next();

        // Then it takes the page's size, cannot be resized and sits in the screen's middle
        QCOMPARE(wizard.minimumSize(), wizard.sizeHint());
        QCOMPARE(wizard.maximumSize(), wizard.sizeHint());
        QTRY_COMPARE(wizard.frameGeometry().topLeft(), centred(wizard));
    }

    void leavesGeometryAloneWhenMaximisedOrRejected_data()
    {
        QTest::addColumn<bool>("rejectFirst");
        QTest::newRow("maximised") << false;
        QTest::newRow("rejected") << true;
    }

    void leavesGeometryAloneWhenMaximisedOrRejected()
    {
        QFETCH(bool, rejectFirst);
        ZenticWizard wizard(nullptr, false);
        wizard.addPage(page("one", QSize(200, 100)));
        wizard.addPage(page("two", QSize(400, 300)));
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        if (rejectFirst) {
            wizard.reject();
        } else {
            wizard.setWindowState(Qt::WindowMaximized);
            QTRY_VERIFY(wizard.isMaximized());
        }
        const QSize maximum = wizard.maximumSize();
        const QPoint pos = wizard.pos();

        wizard.next();

        QCOMPARE(wizard.maximumSize(), maximum);
        QCOMPARE(wizard.pos(), pos);
    }
};

QTEST_MAIN(TestZenticWizard)
#include "tst_ZenticWizard.moc"
