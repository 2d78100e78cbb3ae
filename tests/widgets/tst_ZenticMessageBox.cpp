#include "ZenticMessageBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <iterator>

Q_DECLARE_METATYPE(std::function<bool()>)

namespace {

using Pick = std::function<QAbstractButton*(QMessageBox*)>;
using StandardFunction = QMessageBox::StandardButton (*)(QWidget*, const QString&, const QString&,
                                                         QMessageBox::StandardButtons, QMessageBox::StandardButton);

// Answers the next box through the seam, or as a user would on a real modal box: clicks what
// pick() chooses as soon as the box is up, Escape when it chooses nothing.
struct Answer
{
    Answer(bool realBox, Pick pick)
        : guard(realBox ? ZenticMessageBox::AnswerHook{} : [pick](ZenticMessageBox& box) { return pick(&box); })
    {
        if (!realBox)
            return;
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

} // namespace

class TestZenticMessageBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
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

    void confirmIsTrueOnlyForActionButton_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("realBox");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("hook delete") << false << "Delete" << false << true;
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

        QString defaultText;
        Answer answer(realBox, [&](QMessageBox* box) {
            defaultText = box->defaultButton()->text();
            return buttonWithText(box, pressed);
        });
        const bool result = replace ? ZenticMessageBox::confirmReplace(nullptr, "Replace file?", "It exists.")
                                    : ZenticMessageBox::confirmDelete(nullptr, "Delete device?", QString());

        QCOMPARE(result, confirmed);
        QCOMPARE(defaultText, QString(replace ? "Replace" : "Delete"));
    }

    void cancelGuardPressesEveryBoxsCancel_data()
    {
        using Run = std::function<bool()>;
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("headline");
        QTest::newRow("confirm") << Run([] {
            return ZenticMessageBox::confirm(nullptr, QMessageBox::Warning, "Overwrite", "Overwrite map?", QString());
        }) << "Overwrite map?";
        QTest::newRow("confirm delete") << Run([] {
            return ZenticMessageBox::confirmDelete(nullptr, "Delete \"a\"?", QString());
        }) << "Delete \"a\"?";
        QTest::newRow("confirm replace") << Run([] {
            return ZenticMessageBox::confirmReplace(nullptr, "Replace file?", "It exists.");
        }) << "Replace file?";
        QTest::newRow("standard Cancel") << Run([] {
            return ZenticMessageBox::question(nullptr, "Apply?", QString(), QMessageBox::Ok | QMessageBox::Cancel)
                == QMessageBox::Ok;
        }) << "Apply?";
    }

    void cancelGuardPressesEveryBoxsCancel()
    {
        QFETCH(std::function<bool()>, run);
        QFETCH(QString, headline);
        // A real box would hang a headless run: one that comes up all the same is escaped and noted.
        bool realBoxShown = false;
        QTimer watchdog;
        connect(&watchdog, &QTimer::timeout, this, [&realBoxShown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                realBoxShown = true;
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        watchdog.start(20);

        ZenticMessageBox::AnswerGuard cancel(QMessageBox::Cancel);
        QVERIFY(!run());
        QVERIFY(!realBoxShown);
        QCOMPARE(cancel.count(), 1);
        QCOMPARE(cancel.texts().last(), headline);
    }

    void survivesParentDeletedWhileRunning()
    {
        // The standard boxes and the confirmations are built apart: both must let go.
        const auto deleteWhileUp = [] {
            auto* window = new QWidget;
            window->show();
            QTimer::singleShot(50, window, [window] {
                if (QApplication::activeModalWidget())
                    delete window;
            });
            return window;
        };
        QCOMPARE(ZenticMessageBox::warning(deleteWhileUp(), "Lost", QString(), QMessageBox::Ok, QMessageBox::NoButton),
                 QMessageBox::NoButton);
        QVERIFY(!ZenticMessageBox::confirmDelete(deleteWhileUp(), "Delete device?", QString()));
    }

    void textsAreHtmlEscaped()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Warning, "<i>x</i> & \"y\"", "a < b");
        QCOMPARE(headline(box), QString("&lt;i&gt;x&lt;/i&gt; &amp; &quot;y&quot;"));
        QCOMPARE(box.informativeText(),
                 QString("<p style='font-weight:normal; white-space: normal;'>a &lt; b</p>"));
    }

    void showingAgainAddsNothing()
    {
        ZenticMessageBox box(nullptr, QMessageBox::Information, "Saved", QString());
        box.show();
        box.hide();
        box.show();
        QCOMPARE(box.text(), QString("<b>Saved<br></b>"));
        QCOMPARE(box.styleSheet().size(), 229);
        box.hide();
    }

    void hiddenButtonStaysHiddenWhileTheBoxRuns_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("closing") << false;
    }

    void hiddenButtonStaysHiddenWhileTheBoxRuns()
    {
        QFETCH(bool, escape);
        // Given the drop question: three actions and a Cancel kept only for Escape and closing
        ZenticMessageBox box(nullptr, QMessageBox::Question, "How do you want to process the file?",
                             "Choose processing method to continue.");
        for (const char* text : {"Insert devices", "Import meta device", "Import template"})
            box.addButton(text, QMessageBox::AcceptRole);
        QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
        cancel->hide();

        // When it runs twice (a second show styles it again), answered while it is up
        for (int run = 0; run < 2; ++run) {
            QList<QAbstractButton*> shown;
            QTimer watch;
            connect(&watch, &QTimer::timeout, &box, [&] {
                if (QApplication::activeModalWidget() != &box || !box.isVisible())
                    return;
                watch.stop();
                // Let the show finish its styling and layout before looking.
                QTest::qWait(20);
                for (QAbstractButton* button : box.buttons()) {
                    if (button->isVisible())
                        shown << button;
                }
                if (escape)
                    QTest::keyClick(&box, Qt::Key_Escape);
                else
                    box.close();
            });
            watch.start(10);

            // Then the actions showed and Cancel did not, and the answer is Cancel
            QCOMPARE(box.exec(), int(QMessageBox::Cancel));
            QCOMPARE(shown.size(), 3);
            QVERIFY2(!shown.contains(cancel), qPrintable(QString("run %1").arg(run)));
            QCOMPARE(box.clickedButton(), cancel);
        }
    }
};

QTEST_MAIN(TestZenticMessageBox)
#include "tst_ZenticMessageBox.moc"
