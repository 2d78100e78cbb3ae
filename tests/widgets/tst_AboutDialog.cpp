#include "AboutDialog.h"
#include "DozeRozOZUVersion.h"
#include "OrboDevVersion.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
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

QString builtInLine(const QString& name, const char* version, const char* sha)
{
    return name + ' ' + QString::fromUtf8(version) + " (" + QString::fromUtf8(sha).left(8) + ')';
}

} // namespace

class TestAboutDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copiesOneLineAndConfirms()
    {
        // A name holding substitution markers is taken as written
        AboutDialog dialog({{"Host %2 %3", "2.0", "0123456789abcdef", "today", QString()}}, nullptr);
        ZenticMessageBox::AnswerGuard success(QMessageBox::Ok);

        QCOMPARE(copyButton(dialog)->accessibleName(), copyButton(dialog)->toolTip());
        copyButton(dialog)->click();
        const QString expected = "Host %2 %3 2.0 (01234567) "
                                 + builtInLine("OrboDev", OrboDevVersion::version, OrboDevVersion::gitSHA) + ' '
                                 + builtInLine("DozeRozOZU", DozeRozOZUVersion::version, DozeRozOZUVersion::gitSHA);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QCOMPARE(success.texts(), QStringList{"Success!"});
        QCOMPARE(success.informativeTexts(), QStringList{"Version information copied to clipboard."});
    }
};

QTEST_MAIN(TestAboutDialog)
#include "tst_AboutDialog.moc"
