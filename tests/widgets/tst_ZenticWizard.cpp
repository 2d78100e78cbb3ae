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
    void footerBringsHouseButtons_data()
    {
        QTest::addColumn<bool>("footer");
        QTest::newRow("footer") << true;
        QTest::newRow("no footer") << false;
    }

    void footerBringsHouseButtons()
    {
        QFETCH(bool, footer);
        ZenticWizard wizard(nullptr, footer);
        QCOMPARE(wizard.wizardStyle(), QWizard::ClassicStyle);
        // The house Back button shows only its icon; the classic one has a text.
        QCOMPARE(wizard.button(QWizard::BackButton)->text().isEmpty(), footer);
        if (!footer)
            return;
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
