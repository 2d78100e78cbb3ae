#include "LineEditWithKeyboard.h"
#include "ScreenKeyboardDialog.h"
#include "tst_ScreenKeyboardDialog_support.h"

#include <QAction>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QtTest>

using namespace KeyboardTest;

namespace {

QAction* keyboardAction(QLineEdit* field)
{
    return field->actions().value(0);
}

} // namespace

class TestLineEditWithKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNameRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("plain with space") << "report 1.txt" << true;
        QTest::newRow("leading dot") << ".profile" << true;
        QTest::newRow("reserved prefix only") << "CONSOLE" << true;
        QTest::newRow("254 characters") << QString(254, 'a') << true;
        QTest::newRow("255 characters") << QString(255, 'a') << false;
        QTest::newRow("CON") << "CON" << false;
        QTest::newRow("con.txt") << "con.txt" << false;
        QTest::newRow("aux") << "aux" << false;
        QTest::newRow("COM1") << "COM1" << false;
        QTest::newRow("colon") << "a:b" << false;
        QTest::newRow("trailing dot") << "name." << false;
        QTest::newRow("two leading dots") << "..name" << false;
        QTest::newRow("leading space") << " name" << false;
        QTest::newRow("question mark") << "a?b" << false;
        QTest::newRow("control character") << QStringLiteral("a\tb") << false;
        QTest::newRow("empty") << "" << false;
    }

    void fileNameRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, acceptable);
        LineEditWithKeyboard field(nullptr, "Name", false, false, true, Qt::WindowFlags());
        QVERIFY(field.validator());
        int position = 0;
        QCOMPARE(field.validator()->validate(name, position) == QValidator::Acceptable, acceptable);
        QCOMPARE(int(LineEditWithKeyboard::filenameRegularExpresion.patternOptions()), 0x45);
        QCOMPARE(LineEditWithKeyboard::filenameRegularExpresion.pattern().size(), 100);
    }

    void fileNameTextIsSimplified()
    {
        LineEditWithKeyboard fileName(nullptr, "Name", false, false, true, Qt::WindowFlags());
        fileName.QLineEdit::setText("  my   file ");
        QCOMPARE(fileName.text(), QStringLiteral("my file"));

        LineEditWithKeyboard plain(nullptr, "Name", false, false, false, Qt::WindowFlags());
        plain.setText("  my   file ");
        QCOMPARE(plain.text(), QStringLiteral("  my   file "));
        QVERIFY(!plain.validator());
    }

    void iconSizeSetsStyleSheet()
    {
        LineEditWithKeyboard field(nullptr, "Name", false, false, false, Qt::WindowFlags());
        const QString before = field.styleSheet();
        field.setIconSize(0);
        field.setIconSize(-5);
        QCOMPARE(field.styleSheet(), before);
        field.setIconSize(24);
        QCOMPARE(field.styleSheet(), QStringLiteral("QLineEdit {   icon-size: 24px;}"));
    }

    void sizeHintIsThirteenLettersWide()
    {
        LineEditWithKeyboard field(nullptr, "Name", false, false, false, Qt::WindowFlags());
        const int width = 13 * field.fontMetrics().horizontalAdvance(QLatin1Char('W'));
        QCOMPARE(field.sizeHint().width(), width);
        field.setText(QString(200, 'i'));
        QCOMPARE(field.sizeHint().width(), width);
    }

    void passwordEyeTogglesEchoMode()
    {
        LineEditWithKeyboard field(nullptr, "Name", true, false, false, Qt::WindowFlags());
        QCOMPARE(field.echoMode(), QLineEdit::Password);
        QCOMPARE(field.actions().size(), 2);
        QAction* eye = field.actions().at(1);
        eye->trigger();
        QCOMPARE(field.echoMode(), QLineEdit::Normal);
        eye->trigger();
        QCOMPARE(field.echoMode(), QLineEdit::Password);
    }

    void passwordKeyboardConfirmReplacesCancelKeeps()
    {
        LineEditWithKeyboard field(nullptr, "Name", true, false, false, Qt::WindowFlags());
        field.setText("old");

        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Password"));
            QVERIFY(clickKey(dialog, "x"));
            dialog->reject();
        });
        keyboardAction(&field)->trigger();
        QCOMPARE(field.text(), QStringLiteral("old"));

        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "x"));
            dialog->accept();
        });
        keyboardAction(&field)->trigger();
        QCOMPARE(field.text(), QStringLiteral("oldx"));
    }

    void keyboardOpensOverCurrentParent()
    {
        // Given a field built in one widget and then moved into another window's layout
        QWidget first;
        QWidget second;
        auto layout = new QVBoxLayout(&second);
        auto field = new LineEditWithKeyboard(&first, "Title", false, false, false, Qt::WindowFlags());
        layout->addWidget(field);
        second.show();

        // When its keyboard opens, then it opens over the window the field is in now
        QWidget* keyboardParent = nullptr;
        QString title;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            keyboardParent = dialog->parentWidget();
            title = dialog->windowTitle();
            QVERIFY(clickKey(dialog, "q"));
            dialog->accept();
        });
        keyboardAction(field)->trigger();
        QCOMPARE(keyboardParent, &second);
        QCOMPARE(title, QStringLiteral("Title"));
        QCOMPARE(field->text(), QStringLiteral("q"));
        QCOMPARE(layout->indexOf(field), 0);
    }

    void fileNameKeyboardGreysForbiddenKeys()
    {
        QWidget window;
        auto layout = new QHBoxLayout(&window);
        auto field = new LineEditWithKeyboard(&window, "Name", false, false, true, Qt::WindowFlags());
        layout->addWidget(field);
        field->setText("a");
        window.show();

        QStringList disabled;
        QStringList enabled;
        onKeyboard([&](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "?123"));
            for (const char* text : {"/", ":", "*", "?", "\"", "-", "1"})
                (key(dialog, text)->isEnabled() ? enabled : disabled) << text;
            dialog->reject();
        });
        keyboardAction(field)->trigger();
        QCOMPARE(disabled, (QStringList{"/", ":", "*", "?", "\""}));
        QCOMPARE(enabled, (QStringList{"-", "1"}));
        QCOMPARE(field->text(), QStringLiteral("a"));
    }

    void fieldWithoutLayoutKeepsItsPlace()
    {
        QWidget window;
        auto field = new LineEditWithKeyboard(&window, "Name", false, false, false, Qt::WindowFlags());
        field->move(5, 7);
        window.show();
        onKeyboard([](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "z"));
            dialog->accept();
        });
        keyboardAction(field)->trigger();
        QCOMPARE(field->text(), QStringLiteral("z"));
        QCOMPARE(field->parentWidget(), &window);
        QCOMPARE(field->pos(), QPoint(5, 7));
    }
};

QTEST_MAIN(TestLineEditWithKeyboard)
#include "tst_LineEditWithKeyboard.moc"
