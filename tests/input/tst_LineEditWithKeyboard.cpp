#include "LineEditWithKeyboard.h"
#include "tst_ScreenKeyboardDialog_support.h"

#include <QAction>
#include <QVBoxLayout>
#include <QValidator>

using namespace KeyboardTest;

namespace {

/// Opens the keyboard from the field's own icon, with action run on it.
void openKeyboard(QLineEdit* field, std::function<void(ScreenKeyboardDialog*)> action)
{
    onKeyboard(std::move(action));
    field->actions().value(0)->trigger();
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
        QTest::newRow("leading dot") << ".profile" << true;
        QTest::newRow("254 characters") << QString(254, 'a') << true;
        QTest::newRow("255 characters") << QString(255, 'a') << false;
        QTest::newRow("CON") << "CON" << false;
        QTest::newRow("colon") << "a:b" << false;
        QTest::newRow("trailing dot") << "name." << false;
    }

    void fileNameRule()
    {
        QFETCH(QString, name);
        QFETCH(bool, acceptable);
        LineEditWithKeyboard field(nullptr, "Name", false, false, true, Qt::WindowFlags());
        int position = 0;
        QCOMPARE(field.validator()->validate(name, position) == QValidator::Acceptable, acceptable);
    }

    void keyboardOpensOverCurrentParent()
    {
        // Given a field that no layout holds: a copy of its text is edited, the field stays put
        QWidget first;
        auto field = new LineEditWithKeyboard(&first, "Title", false, false, false, Qt::WindowFlags());
        field->move(5, 7);
        first.show();
        openKeyboard(field, [](ScreenKeyboardDialog* dialog) {
            QVERIFY(clickKey(dialog, "q"));
            dialog->accept();
        });
        QCOMPARE(field->text(), QStringLiteral("q"));
        QCOMPARE(field->pos(), QPoint(5, 7));

        // When it has moved into another window's layout, then the keyboard opens over that window
        QWidget second;
        auto layout = new QVBoxLayout(&second);
        layout->addWidget(field);
        second.show();
        QWidget* keyboardParent = nullptr;
        openKeyboard(field, [&keyboardParent](ScreenKeyboardDialog* dialog) {
            keyboardParent = dialog->parentWidget();
            QVERIFY(clickKey(dialog, "w"));
            dialog->accept();
        });
        QCOMPARE(keyboardParent, &second);
        QCOMPARE(field->text(), QStringLiteral("qw"));
        QCOMPARE(layout->indexOf(field), 0);
    }
};

QTEST_MAIN(TestLineEditWithKeyboard)
#include "tst_LineEditWithKeyboard.moc"
