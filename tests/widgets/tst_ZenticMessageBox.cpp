#include "ZenticMessageBox.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <iterator>

namespace {

using Pick = std::function<QAbstractButton*(QMessageBox*)>;
using StandardFunction = QMessageBox::StandardButton (*)(QWidget*, const QString&, const QString&,
                                                         QMessageBox::StandardButtons, QMessageBox::StandardButton);

// Clicks what pick() chooses on the modal box as soon as it is up, as a user would; Escape
// when it chooses nothing.
void answerRealBoxSoon(Pick pick)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, pick] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->deleteLater();
        timer->stop();
        if (QAbstractButton* button = pick(box))
            button->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    timer->start();
}

// Answers the next box through the seam or as a real modal box, whichever the row asks for.
struct Answer
{
    Answer(bool realBox, Pick pick)
        : guard(realBox ? ZenticMessageBox::AnswerHook{} : [pick](ZenticMessageBox& box) { return pick(&box); })
    {
        if (realBox)
            answerRealBoxSoon(pick);
    }
    ZenticMessageBox::AnswerGuard guard;
};

const struct StandardCase
{
    StandardFunction function;
    const char* title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton pressed;
} standardCases[] = {
    {&ZenticMessageBox::warning, "Warning", QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
    {&ZenticMessageBox::information, "Information", QMessageBox::Ok, QMessageBox::Ok},
    {&ZenticMessageBox::critical, "Error", QMessageBox::Ok, QMessageBox::Ok},
    {&ZenticMessageBox::question, "Question", QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel},
};

QAbstractButton* buttonWithText(QMessageBox* box, const QString& text)
{
    const QList<QAbstractButton*> buttons = box->buttons();
    for (QAbstractButton* button : buttons)
        if (button->text() == text)
            return button;
    return nullptr;
}

QString headline(const QMessageBox& box)
{
    QString text = box.text();
    return text.remove("<b>").remove("</b>");
}

QString wordWiderThan(int width, QChar letter)
{
    const QFontMetrics metrics(QApplication::font());
    QString word = letter;
    while (metrics.boundingRect(word).width() < width)
        word += letter;
    return word;
}

} // namespace

class TestZenticMessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ZenticMessageBox::setFooterEnabled(false);
        QVERIFY(!ZenticMessageBox::setAnswerHook({}));
    }

    void standardFunctionsReturnPressedButton_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("realBox");
        for (bool realBox : {false, true})
            for (int row = 0; row < int(std::size(standardCases)); ++row)
                QTest::addRow("%s %s", realBox ? "real" : "hook", standardCases[row].title) << row << realBox;
    }

    void standardFunctionsReturnPressedButton()
    {
        QFETCH(int, row);
        QFETCH(bool, realBox);
        const StandardCase& given = standardCases[row];

        QString shownTitle;
        Answer answer(realBox, [&](QMessageBox* box) {
            shownTitle = box->windowTitle();
            return box->button(given.pressed);
        });

        QCOMPARE(given.function(nullptr, "Headline", "Details", given.buttons, QMessageBox::NoButton), given.pressed);
        QCOMPARE(shownTitle, QString(given.title));
        QCOMPARE(answer.guard.texts(), QStringList{"Headline"});
        QCOMPARE(answer.guard.informativeTexts(), QStringList{"Details"});
    }

    void defaultsGiveSingleIconlessOkMarkedAsDefault()
    {
        int buttonCount = 0;
        QVariant highlight;
        bool iconless = false;
        ZenticMessageBox::AnswerGuard answer([&](ZenticMessageBox& box) -> QAbstractButton* {
            buttonCount = box.buttons().size();
            highlight = box.defaultButton()->property("highlightButton");
            iconless = box.defaultButton()->icon().isNull();
            return box.defaultButton();
        });

        QCOMPARE(ZenticMessageBox::warning(nullptr, "Only", "texts"), QMessageBox::Ok);
        QCOMPARE(buttonCount, 1);
        QCOMPARE(highlight, QVariant(true));
        QVERIFY(iconless);
    }

    void confirmIsTrueOnlyForActionButton_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("realBox");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("hook delete") << false << "Delete" << false << true;
        QTest::newRow("hook cancel") << false << "Cancel" << false << false;
        QTest::newRow("real replace") << true << "Replace" << true << true;
        QTest::newRow("real cancel") << true << "Cancel" << true << false;
        QTest::newRow("real escape") << false << QString() << true << false;
    }

    void confirmIsTrueOnlyForActionButton()
    {
        QFETCH(bool, replace);
        QFETCH(QString, pressed);
        QFETCH(bool, realBox);
        QFETCH(bool, confirmed);

        QStringList buttonTexts;
        QString title, defaultText;
        bool styled = true;
        Answer answer(realBox, [&](QMessageBox* box) {
            // The buttons were added after construction: the styling still reached them.
            for (QAbstractButton* button : box->buttons()) {
                buttonTexts << button->text();
                styled = styled && button->icon().isNull()
                         && button->minimumWidth() == 8 * QFontMetrics(QApplication::font()).averageCharWidth();
            }
            title = box->windowTitle();
            defaultText = box->defaultButton()->text();
            styled = styled && box->defaultButton()->property("highlightButton").toBool();
            return buttonWithText(box, pressed);
        });
        const bool result = replace ? ZenticMessageBox::confirmReplace(nullptr, "Replace file?", "It exists.")
                                    : ZenticMessageBox::confirmDelete(nullptr, "Delete device?", QString());

        QCOMPARE(result, confirmed);
        const QString action = replace ? "Replace" : "Delete";
        buttonTexts.sort();
        QCOMPARE(buttonTexts, (QStringList{"Cancel", action}));
        QCOMPARE(defaultText, action);
        QCOMPARE(title, QString("Confirmation"));
        QVERIFY(styled);
    }

    void survivesParentDeletedWhileRunning()
    {
        // Given a real box over a window that goes away while the box is up
        auto* window = new QWidget;
        window->show();
        QTimer::singleShot(50, window, [window] {
            if (QApplication::activeModalWidget())
                delete window;
        });

        // When the window takes the box with it, the calls return "nothing chosen"
        QCOMPARE(ZenticMessageBox::warning(window, "Lost window", QString(), QMessageBox::Ok, QMessageBox::NoButton), QMessageBox::NoButton);

        auto* second = new QWidget;
        second->show();
        QTimer::singleShot(50, second, [second] {
            if (QApplication::activeModalWidget())
                delete second;
        });
        QVERIFY(!ZenticMessageBox::confirmDelete(second, "Delete device?", QString()));
    }

    void innermostGuardAnswersAndDecliningRunsRealBox()
    {
        ZenticMessageBox::AnswerGuard outer(QMessageBox::Ok);
        {
            ZenticMessageBox::AnswerGuard inner(QMessageBox::Cancel);
            QCOMPARE(ZenticMessageBox::warning(nullptr, "a", QString(), QMessageBox::Ok | QMessageBox::Cancel),
                     QMessageBox::Cancel);
            ZenticMessageBox::AnswerGuard declining(QMessageBox::Yes);
            answerRealBoxSoon([](QMessageBox* box) { return box->button(QMessageBox::Ok); });
            QCOMPARE(ZenticMessageBox::information(nullptr, "Done", QString()), QMessageBox::Ok);
            QCOMPARE(declining.count(), 1);
        }
        QCOMPARE(ZenticMessageBox::warning(nullptr, "a", QString(), QMessageBox::Ok | QMessageBox::Cancel),
                 QMessageBox::Ok);
        QCOMPARE(outer.count(), 1);
    }

    void textsAreHtmlEscaped()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Warning, "<i>x</i> & \"y\"", "a < b");
        QCOMPARE(headline(box), QString("&lt;i&gt;x&lt;/i&gt; &amp; &quot;y&quot;"));
        QCOMPARE(box.informativeText(),
                 QString("<p style='font-weight:normal; white-space: normal;'>a &lt; b</p>"));
        QCOMPARE(box.findChild<QLabel*>("qt_msgbox_label")->width(), 475);
    }

    void wideFirstWordIsShortened_data()
    {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("plain") << false;
        QTest::newRow("quoted, set later") << true;
    }

    void wideFirstWordIsShortened()
    {
        QFETCH(bool, quoted);
        const QString word = wordWiderThan(600, 'W');
        ZenticMessageBox box(nullptr, QMessageBox::Question, word + " rest stays", "info");
        if (quoted) {
            box.setText("\"" + word + "\" rest stays");
            box.show();
        }

        const QString shortened = headline(box).section(' ', 0, 0);
        QVERIFY(headline(box).endsWith(" rest stays"));
        QCOMPARE(shortened.startsWith('"'), quoted);
        QVERIFY(shortened.endsWith(quoted ? QString(QChar(0x2026)) + '"' : QString(QChar(0x2026))));
        QVERIFY(QFontMetrics(QApplication::font()).boundingRect(shortened).width() <= 450);
        QCOMPARE(box.minimumWidth(), 500);
        box.hide();
    }

    void showingAgainAddsNothing()
    {
        // Given a box without informative text, whose minimum width follows its short headline
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Saved", QString());
        QCOMPARE(box.text(), QString("<b>Saved<br></b>"));
        QCOMPARE(box.minimumWidth(), QFontMetrics(QApplication::font()).boundingRect("Saved<br>").width() + 100);

        // When it is shown twice
        box.show();
        box.hide();
        box.show();

        // Then headline and style are as after construction
        QCOMPARE(box.text(), QString("<b>Saved<br></b>"));
        QCOMPARE(box.styleSheet().size(), 229);
        box.hide();
    }

    void footerBandPaintedOnlyWhenEnabled_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("enabled") << true;
        QTest::newRow("disabled") << false;
    }

    void footerBandPaintedOnlyWhenEnabled()
    {
        QFETCH(bool, enabled);
        ZenticMessageBox::setFooterEnabled(enabled);
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Footer", "band");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        const QImage image = box.grab().toImage();
        const int bandTop = box.buttons().first()->mapTo(&box, QPoint(0, -15)).y();
        const QColor band = box.palette().color(QPalette::Link);
        QCOMPARE(image.pixelColor(1, image.height() - 2) == band, enabled);
        QVERIFY(image.pixelColor(1, qMax(0, bandTop - 3)) != band);
        box.hide();
    }

    void dragsByBackground()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Drag", "me");
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QPoint start = box.frameGeometry().topLeft();
        const QPoint global = box.mapToGlobal(QPoint(2, 2));

        QMouseEvent press(QEvent::MouseButtonPress, QPoint(2, 2), global, Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&box, &press);
        QMouseEvent move(QEvent::MouseMove, QPoint(32, 22), global + QPoint(30, 20), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&box, &move);

        QCOMPARE(box.frameGeometry().topLeft(), start + QPoint(30, 20));
        box.hide();
    }
};

QTEST_MAIN(TestZenticMessageBox)
#include "tst_ZenticMessageBox.moc"
