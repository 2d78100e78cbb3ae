#include "AboutDialog.h"
#include "DozeRozOZUVersion.h"
#include "OrboDevVersion.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

QPushButton* copyButton(QWidget& dialog)
{
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        if (button->toolTip() == "Copy version information")
            return button;
    return nullptr;
}

QStringList rows(QGroupBox* group)
{
    QStringList texts;
    const QList<QLabel*> labels = group->findChildren<QLabel*>();
    for (QLabel* label : labels)
        texts << label->text();
    return texts;
}

QString builtInLine(const QString& name, const char* version, const char* sha)
{
    return name + ' ' + QString::fromUtf8(version) + " (" + QString::fromUtf8(sha).left(8) + ')';
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyListShowsFrameworkThenLibrary()
    {
        AboutDialog dialog({}, nullptr);
        const QList<QGroupBox*> groups = dialog.findChildren<QGroupBox*>();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0)->title(), QString("OrboDev"));
        QCOMPARE(groups.at(1)->title(), QString("DozeRozOZU"));
        const QStringList libraryRows = rows(groups.at(1));
        QCOMPARE(libraryRows,
                 (QStringList{"Version number: " + QString(DozeRozOZUVersion::version),
                              "Commit number: " + QString(DozeRozOZUVersion::gitSHA).left(8),
                              "Build date: " + QString(DozeRozOZUVersion::buildDate)}));
        QCOMPARE(dialog.windowTitle(), QString("About"));
    }

    void callerEntryComesFirstWithPackageRow()
    {
        AboutDialog dialog({{"Host", "2.0", "abc", "01.01.26 10:00", "deb package of the host"}}, nullptr);
        const QList<QGroupBox*> groups = dialog.findChildren<QGroupBox*>();
        QCOMPARE(groups.size(), 3);
        QCOMPARE(groups.first()->title(), QString("Host"));
        const QList<QLabel*> labels = groups.first()->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 4);
        QCOMPARE(labels.at(1)->text(), QString("Commit number: abc"));
        QCOMPARE(labels.last()->text(), QString("Package type: deb package of the host"));
        QVERIFY(labels.last()->wordWrap());
    }

    void copiesOneLineAndConfirms()
    {
        // Given a caller entry whose name holds a substitution marker
        AboutDialog dialog({{"Host %2 %3", "2.0", "0123456789abcdef", "today", QString()}}, nullptr);
        ZenticMessageBox::AnswerGuard success(QMessageBox::Ok);

        // When the copy button is clicked
        copyButton(dialog)->click();

        // Then the clipboard holds every entry on one line, the name taken as written
        const QString expected = "Host %2 %3 2.0 (01234567) "
                                 + builtInLine("OrboDev", OrboDevVersion::version, OrboDevVersion::gitSHA) + ' '
                                 + builtInLine("DozeRozOZU", DozeRozOZUVersion::version, DozeRozOZUVersion::gitSHA);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QCOMPARE(success.texts(), QStringList{"Success!"});
        QCOMPARE(success.informativeTexts(), QStringList{"Version information copied to clipboard."});
    }

    void copyButtonStaysInTopRightCorner()
    {
        AboutDialog dialog({}, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.resize(dialog.width() + 120, dialog.height() + 40);
        QPushButton* button = copyButton(dialog);
        QTRY_COMPARE(button->pos(), QPoint(dialog.width() - button->width() - 5, 5));
    }

    void showAboutDialogRunsModallyUntilClosed()
    {
        QTimer::singleShot(0, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* about = qobject_cast<AboutDialog*>(modal))
                QTest::keyClick(about, Qt::Key_Escape);
        });
        QWidget parent;
        AboutDialog::showAboutDialog({}, &parent);
        QVERIFY(parent.findChildren<AboutDialog*>().isEmpty());
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_AboutDialog.moc"
