#include "AdjustableCombobox.h"
#include "AdjustableListView.h"
#include "ElidedLabel.h"
#include "LabelWithTimer.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTimer>
#include <QtTest>

namespace {

const QChar ellipsis(0x2026);

class StyleChangeCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::StyleChange)
            ++count;
        return false;
    }
};

void press(QWidget* widget)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
}

} // namespace

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elidedLabelFittingOrBelowOneLine_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("elided");
        QTest::newRow("fits") << QSize(400, 100) << "first second" << false;
        QTest::newRow("below one line") << QSize(80, 3) << QString(ellipsis) << true;
    }

    void elidedLabelFittingOrBelowOneLine()
    {
        QFETCH(QSize, size);
        QFETCH(QString, shown);
        QFETCH(bool, elided);
        ElidedLabel label("first\nsecond");
        label.setFixedSize(size);
        label.grab();

        QCOMPARE(label.text(), shown);
        QCOMPARE(label.isElided(), elided);
        press(&label);
        QCOMPARE(label.height() != size.height(), elided);
    }

    void elidedLabelExpandsAndCollapses()
    {
        // Given a label two lines high with about five lines of text
        ElidedLabel label;
        const int spacing = QFontMetrics(label.font()).lineSpacing();
        const QFontMetrics metrics(label.font());
        QString text;
        while (metrics.horizontalAdvance(text) < 5 * 100 - 60)
            text += "word ";
        label.setText(text.trimmed());
        label.setFixedWidth(100);
        label.setFixedHeight(2 * spacing);
        label.grab();

        // Then it shows two lines, the second ending in the ellipsis
        const QStringList shown = label.text().split('\n');
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.last().endsWith(ellipsis));
        QVERIFY(label.isElided());
        QCOMPARE(label.styleSheet(), QString("QLabel:hover {color: orange;}"));

        // When pressed, it grows to the whole text; pressed again, it shrinks back
        press(&label);
        QVERIFY(label.height() >= 5 * spacing);
        QCOMPARE(label.height() % spacing, 0);
        label.grab();
        QCOMPARE(label.text().remove('\n'), label.fullText());
        press(&label);
        QCOMPARE(label.height(), 2 * spacing);
    }

    void elidedLabelRestylesOnlyWhenBecomingElided()
    {
        ElidedLabel label(QString(200, 'x'));
        label.setFixedSize(60, QFontMetrics(label.font()).lineSpacing());
        StyleChangeCounter counter;
        label.installEventFilter(&counter);

        label.grab();
        const int afterFirstPaint = counter.count;
        label.grab();
        label.repaint();
        label.grab();

        QVERIFY(afterFirstPaint >= 1);
        QCOMPARE(counter.count, afterFirstPaint);
    }

    void labelWithTimerFallsBackAfterRestartedDelay()
    {
        // Given a label whose construction text starts no timer
        LabelWithTimer label("a: 1;", "a: 2;", 1000);
        auto* timer = label.findChild<QTimer*>();
        QVERIFY(!timer->isActive());
        QCOMPARE(label.styleSheet(), QString("a: 1;"));

        // When a second text comes before the delay ran out
        label.setText("one");
        QTest::qWait(300);
        label.setText("two");

        // Then the first style holds a full delay after the second text, then the second style
        QVERIFY(timer->remainingTime() > 800);
        QCOMPARE(label.styleSheet(), QString("a: 1;"));
        QCOMPARE(label.text(), QString("two"));
        QTRY_COMPARE(label.styleSheet(), QString("a: 2;"));
    }

    void comboWidthFollowsItemsOnIndexChange()
    {
        AdjustableCombobox combo;
        combo.addItem("a");
        combo.updateGeometry();
        const int before = combo.minimumWidth();
        combo.addItem("a much longer item text");
        QCOMPARE(combo.minimumWidth(), before);

        combo.setCurrentIndex(1);

        const QFontMetrics metrics(QApplication::font());
        QCOMPARE(combo.minimumWidth(), combo.iconSize().width() + 2 * metrics.height()
                                           + metrics.boundingRect("a much longer item text").width());
        QCOMPARE(combo.minimumSizeHint().height(), metrics.height());
    }

    void listViewWidthWithEmptyModel()
    {
        QStringListModel model;
        QAbstractItemModelTester tester(&model);
        AdjustableListView view;
        view.setModel(&model);
        QCOMPARE(view.sizeHintForColumn(0), 0);
        QCOMPARE(view.sizeHintForColumn(1), -1);
        QCOMPARE(view.sizeHintForColumn(-1), -1);
        QCOMPARE(view.sizeHint().width(), view.verticalScrollBar()->width() + 20);
    }

    void listViewMeasuresSourceOfProxy()
    {
        QStringListModel model({"short", "the widest entry of all"});
        QAbstractItemModelTester tester(&model);
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&model);
        QAbstractItemModelTester proxyTester(&proxy);
        proxy.setFilterFixedString("short");
        AdjustableListView view;
        view.setModel(&proxy);

        AdjustableListView plain;
        QStringListModel widest({"the widest entry of all"});
        plain.setModel(&widest);
        QCOMPARE(proxy.rowCount(), 1);
        QCOMPARE(view.sizeHintForColumn(0), plain.sizeHintForColumn(0));
        QVERIFY(view.sizeHintForColumn(0) > 0);
    }
};

QTEST_MAIN(TestSmallWidgets)
#include "tst_SmallWidgets.moc"
