#include "ZenticMessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

using StandardFunction = std::function<QMessageBox::StandardButton(
    QWidget*, const QString&, const QString&, QMessageBox::StandardButtons, QMessageBox::StandardButton)>;

StandardFunction standardFunction(const QString& name)
{
    if (name == "warning")
        return &ZenticMessageBox::warning;
    if (name == "information")
        return &ZenticMessageBox::information;
    if (name == "critical")
        return &ZenticMessageBox::critical;
    return &ZenticMessageBox::question;
}

// Clicks a button of whatever modal box is up as soon as it is, the way a user would.
void clickModalButtonSoon(std::function<QAbstractButton*(QMessageBox*)> pick)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, pick] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        if (QAbstractButton* button = pick(box))
            button->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    timer->start();
}

QString firstWord(const QString& headline)
{
    return headline.section(QLatin1Char(' '), 0, 0);
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
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<bool>("realBox");

        for (bool realBox : {false, true}) {
            const char* how = realBox ? "real" : "hook";
            QTest::addRow("%s warning ok", how) << "warning" << "Warning" << int(QMessageBox::Ok)
                                                << int(QMessageBox::Ok) << realBox;
            QTest::addRow("%s information ok", how) << "information" << "Information" << int(QMessageBox::Ok)
                                                    << int(QMessageBox::Ok) << realBox;
            QTest::addRow("%s critical ok", how) << "critical" << "Error" << int(QMessageBox::Ok)
                                                 << int(QMessageBox::Ok) << realBox;
            QTest::addRow("%s question cancel", how) << "question" << "Question"
                                                     << int(QMessageBox::Ok | QMessageBox::Cancel)
                                                     << int(QMessageBox::Cancel) << realBox;
            QTest::addRow("%s warning yes", how) << "warning" << "Warning" << int(QMessageBox::Yes | QMessageBox::No)
                                                 << int(QMessageBox::Yes) << realBox;
        }
    }

    void standardFunctionsReturnPressedButton()
    {
        QFETCH(QString, function);
        QFETCH(QString, title);
        QFETCH(int, buttons);
        QFETCH(int, pressed);
        QFETCH(bool, realBox);

        const auto button = static_cast<QMessageBox::StandardButton>(pressed);
        QString shownTitle;
        if (realBox) {
            clickModalButtonSoon([button, &shownTitle](QMessageBox* box) {
                shownTitle = box->windowTitle();
                return box->button(button);
            });
        }
        ZenticMessageBox::AnswerGuard answer(realBox ? ZenticMessageBox::AnswerHook{}
                                                     : [button](ZenticMessageBox& box) { return box.button(button); });
        const QMessageBox::StandardButton result = standardFunction(function)(
            nullptr, "Headline", "Details", QMessageBox::StandardButtons(buttons), QMessageBox::NoButton);

        QCOMPARE(int(result), pressed);
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.titles(), QStringList{title});
        QCOMPARE(answer.texts(), QStringList{"Headline"});
        QCOMPARE(answer.informativeTexts(), QStringList{"Details"});
        if (realBox)
            QCOMPARE(shownTitle, title);
    }

    void defaultsGiveSingleOkMarkedAsDefault()
    {
        QList<QAbstractButton*> seenButtons;
        QVariant highlight;
        bool iconless = false;
        ZenticMessageBox::AnswerGuard answer([&](ZenticMessageBox& box) -> QAbstractButton* {
            seenButtons = box.buttons();
            highlight = box.defaultButton()->property("highlightButton");
            iconless = box.defaultButton()->icon().isNull();
            return box.defaultButton();
        });

        QCOMPARE(ZenticMessageBox::warning(nullptr, "Only", "texts"), QMessageBox::Ok);
        QCOMPARE(seenButtons.size(), 1);
        QCOMPARE(highlight, QVariant(true));
        QVERIFY(iconless);
    }

    void confirmReturnsTrueOnlyForActionButton_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("delete") << "Delete" << true;
        QTest::newRow("cancel") << "Cancel" << false;
    }

    void confirmReturnsTrueOnlyForActionButton()
    {
        QFETCH(QString, pressed);
        QFETCH(bool, accepted);

        QStringList buttonTexts;
        QString defaultText;
        ZenticMessageBox::AnswerGuard guard([&](ZenticMessageBox& box) -> QAbstractButton* {
            QAbstractButton* toPress = nullptr;
            for (QAbstractButton* button : box.buttons()) {
                buttonTexts << button->text();
                if (button->text() == pressed)
                    toPress = button;
            }
            defaultText = box.defaultButton()->text();
            return toPress;
        });
        QCOMPARE(ZenticMessageBox::confirmDelete(nullptr, "Delete device?", QString()), accepted);
        buttonTexts.sort();
        QCOMPARE(buttonTexts, (QStringList{"Cancel", "Delete"}));
        QCOMPARE(defaultText, QString("Delete"));
        QCOMPARE(guard.titles(), QStringList{"Confirmation"});
    }

    void confirmReplaceAcceptsThroughRole()
    {
        ZenticMessageBox::AnswerGuard accept(ZenticMessageBox::AnswerGuard::AcceptRole);
        QVERIFY(ZenticMessageBox::confirmReplace(nullptr, "Replace file?", "It exists."));
        ZenticMessageBox::AnswerGuard reject(ZenticMessageBox::AnswerGuard::RejectRole);
        QVERIFY(!ZenticMessageBox::confirmReplace(nullptr, "Replace file?", "It exists."));
        QCOMPARE(reject.count(), 1);
        QCOMPARE(accept.count(), 1);
    }

    void realModalBoxAnswersThroughClicks()
    {
        // Given no answer hook, a real modal box runs until a user clicks
        clickModalButtonSoon([](QMessageBox* box) { return box->button(QMessageBox::Cancel); });
        QCOMPARE(ZenticMessageBox::question(nullptr, "Save?", QString(), QMessageBox::Ok | QMessageBox::Cancel,
                                            QMessageBox::Ok),
                 QMessageBox::Cancel);

        clickModalButtonSoon([](QMessageBox* box) -> QAbstractButton* {
            for (QAbstractButton* button : box->buttons())
                if (button->text() == "Replace")
                    return button;
            return nullptr;
        });
        QVERIFY(ZenticMessageBox::confirmReplace(nullptr, "Replace?", QString()));
    }

    void escapeOnRealConfirmGivesFalse()
    {
        clickModalButtonSoon([](QMessageBox*) { return nullptr; });
        QVERIFY(!ZenticMessageBox::confirm(nullptr, QMessageBox::Warning, "Go", "Proceed?", QString()));
    }

    void hookDecliningLeavesRealBox()
    {
        ZenticMessageBox::AnswerGuard declined(QMessageBox::Yes);
        clickModalButtonSoon([](QMessageBox* box) { return box->button(QMessageBox::Ok); });
        QCOMPARE(ZenticMessageBox::information(nullptr, "Done", QString()), QMessageBox::Ok);
        QCOMPARE(declined.count(), 1);
    }

    void nestedGuardsRestorePrevious()
    {
        ZenticMessageBox::AnswerGuard outer(QMessageBox::Ok);
        {
            ZenticMessageBox::AnswerGuard inner(QMessageBox::Cancel);
            QCOMPARE(ZenticMessageBox::warning(nullptr, "a", QString(), QMessageBox::Ok | QMessageBox::Cancel),
                     QMessageBox::Cancel);
        }
        QCOMPARE(ZenticMessageBox::warning(nullptr, "a", QString(), QMessageBox::Ok | QMessageBox::Cancel),
                 QMessageBox::Ok);
        QCOMPARE(outer.count(), 1);
    }

    void headlineIsHtmlEscaped()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Warning, "<i>x</i> & \"y\"", "a < b");

        QVERIFY(box.text().startsWith("<b>&lt;i&gt;x&lt;/i&gt; &amp; &quot;y&quot;"));
        QVERIFY(box.informativeText().contains("a &lt; b"));
        QVERIFY(box.informativeText().startsWith("<p style='font-weight:normal; white-space: normal;'>"));
        auto* label = box.findChild<QLabel*>("qt_msgbox_label");
        QVERIFY(label);
        QCOMPARE(label->width(), 475);
    }

    void longFirstWordIsElided()
    {
        const QFontMetrics metrics(QApplication::font());
        QString longWord = "W";
        while (metrics.boundingRect(longWord).width() < 600)
            longWord += "W";

        ZenticMessageBox box(nullptr, QMessageBox::Information, longWord + " rest stays", "info");

        QString headline = box.text();
        headline.remove("<b>").remove("</b>");
        QVERIFY(headline.endsWith(" rest stays"));
        const QString word = firstWord(headline);
        QVERIFY(word.endsWith(QChar(0x2026)));
        QVERIFY(metrics.boundingRect(word).width() <= 450);
        QCOMPARE(box.minimumWidth(), 500);
    }

    void quotedFirstWordKeepsQuotes()
    {
        const QFontMetrics metrics(QApplication::font());
        QString name = "n";
        while (metrics.boundingRect(name).width() < 600)
            name += "n";

        ZenticMessageBox box(nullptr, QMessageBox::Question, "x", "info");
        box.setText("\"" + name + "\" is taken");
        box.show();

        QString headline = box.text();
        headline.remove("<b>").remove("</b>");
        const QString word = firstWord(headline);
        QVERIFY(word.startsWith('"'));
        QVERIFY(word.endsWith(QString(QChar(0x2026)) + '"'));
        QVERIFY(headline.endsWith(" is taken"));
    }

    void shortHeadlineSetsMinimumWidth()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Short", QString());
        const QFontMetrics metrics(QApplication::font());
        QCOMPARE(box.minimumWidth(), qMin(metrics.boundingRect("Short<br>").width() + 100, 500));
    }

    void showingAgainAddsNothing()
    {
        // Given a box without informative text
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Saved", QString());
        const QString styled = box.text();
        QCOMPARE(styled, QString("<b>Saved<br></b>"));

        // When it is shown, hidden and shown again
        box.show();
        box.hide();
        box.show();

        // Then its headline and style are as after construction
        QCOMPARE(box.text(), styled);
        QCOMPARE(box.styleSheet().size(), 229);
        box.hide();
    }

    void buttonsAddedLaterAreStyledOnShow()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Warning, "Custom", "buttons");
        QPushButton* later = box.addButton("Later", QMessageBox::AcceptRole);
        later->setIcon(QApplication::style()->standardIcon(QStyle::SP_DialogOkButton));
        box.setDefaultButton(later);
        box.show();

        QVERIFY(later->icon().isNull());
        QCOMPARE(later->property("highlightButton"), QVariant(true));
        QCOMPARE(later->minimumWidth(), 8 * QFontMetrics(QApplication::font()).averageCharWidth());
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
        box.setStandardButtons(QMessageBox::Ok);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        const QImage image = box.grab().toImage();
        const QColor bottomLeft = image.pixelColor(1, image.height() - 2);
        const int bandTop = box.buttons().first()->mapTo(&box, QPoint(0, -15)).y();
        const QColor aboveBand = image.pixelColor(1, qMax(0, bandTop - 3));
        const QColor band = box.palette().color(QPalette::Link);
        QCOMPARE(bottomLeft == band, enabled);
        QVERIFY(aboveBand != band);
        box.hide();
    }

    void dragsByBackground()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Drag", "me");
        box.move(100, 100);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QPoint start = box.frameGeometry().topLeft();

        const QPoint local(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, local, box.mapToGlobal(local), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &press);
        QMouseEvent move(QEvent::MouseMove, local + QPoint(30, 20), box.mapToGlobal(local) + QPoint(30, 20),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &move);

        QCOMPARE(box.frameGeometry().topLeft(), start + QPoint(30, 20));
        box.hide();
    }
};

QTEST_MAIN(TestZenticMessageBox)
#include "tst_ZenticMessageBox.moc"
