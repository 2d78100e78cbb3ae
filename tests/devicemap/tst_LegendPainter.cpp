#include "LegendPainter.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QtTest>

namespace {

QPixmap picture(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::red);
    return pixmap;
}

} // namespace

class TestLegendPainter : public QObject
{
    Q_OBJECT

    QFont font;
    RecordingPaintDevice metricsDevice;

    // Draws with a painter on the recording device, so that its font matches the metrics.
    Recording draw(LegendPainter::ArrangementOrder order, LegendPainter::LegendAlignment alignment, QPoint topLeft,
                   const QMap<QString, QPixmap>& entries)
    {
        RecordingPaintDevice device;
        QPainter painter(&device);
        painter.setFont(font);
        LegendPainter legend(&painter, QFontMetricsF(font, &device), order, alignment, Qt::black);
        legend.drawLegend(topLeft, entries);
        painter.end();
        return device.engine.recording;
    }

    double textWidth(const QString& text) { return QFontMetricsF(font, &metricsDevice).horizontalAdvance(text); }

private Q_SLOTS:
    void initTestCase()
    {
        font = QApplication::font();
        font.setPointSize(10);
    }

    void sizeAddsTextGapPictureAndRows()
    {
        LegendPainter legend(nullptr, QFontMetricsF(font), LegendPainter::TextThenIcon, LegendPainter::LeftAligned,
                             Qt::black);
        QCOMPARE(legend.getLegendSize({}), QSize(40, -15));
        const Recording empty = draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(5, 5), {});
        QVERIFY(empty.texts.isEmpty() && empty.pixmapRects.isEmpty());

        const QMap<QString, QPixmap> entries{{"Delete ", picture(30, 16)}, {"Copy ", picture(50, 16)}};
        const QFontMetricsF metrics(font);
        const double widest = std::max(metrics.horizontalAdvance("Delete "), metrics.horizontalAdvance("Copy "));
        QCOMPARE(legend.getLegendSize(entries), QSize(int(widest + 40 + 50), 47));
    }

    void rowsFollowKeyOrderWithTextsCentredOnOneLine()
    {
        // A text of several words stays on one line although its rectangle is its truncated width
        const QMap<QString, QPixmap> entries{{"b second of several words", picture(20, 40)}, {"a first", picture(20, 16)}};
        const QFontMetricsF metrics(font, &metricsDevice);

        const Recording drawn = draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(10, 100), entries);

        QCOMPARE(drawn.pixmapRects.size(), 2);
        QCOMPARE(drawn.pixmapRects[0].top(), 100.0);
        QCOMPARE(drawn.pixmapRects[1].top(), 131.0);
        QCOMPARE(drawn.texts.size(), 2);
        QCOMPARE(drawn.texts[0].text, QString("a first"));
        QCOMPARE(drawn.texts[1].text, QString("b second of several words"));
        QCOMPARE(drawn.texts[1].baseline.y(), 131 + int(20 - 0.5 * metrics.height()) + metrics.ascent());
    }

    void columnsAlign_data()
    {
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("alignment");

        QTest::newRow("text then icon, left") << int(LegendPainter::TextThenIcon) << int(LegendPainter::LeftAligned);
        QTest::newRow("text then icon, right") << int(LegendPainter::TextThenIcon) << int(LegendPainter::RightAligned);
        QTest::newRow("icon then text, left") << int(LegendPainter::IconThenText) << int(LegendPainter::LeftAligned);
        QTest::newRow("icon then text, right") << int(LegendPainter::IconThenText) << int(LegendPainter::RightAligned);
    }

    void columnsAlign()
    {
        QFETCH(int, order);
        QFETCH(int, alignment);

        // Given texts and pictures of different widths, drawn at x = 10
        const QMap<QString, QPixmap> entries{{"Paste ", picture(20, 16)}, {"Rearrange layout ", picture(30, 10)}};
        const double widestText = textWidth("Rearrange layout ");
        const double widestPicture = 30;

        const Recording drawn = draw(LegendPainter::ArrangementOrder(order), LegendPainter::LegendAlignment(alignment),
                                     QPoint(10, 10), entries);

        // Then the second column starts 40 after the first one's widest entry, and the first
        // column's entries start at x, or end flush against the gap when right-aligned
        QCOMPARE(drawn.texts.size(), 2);
        QCOMPARE(drawn.pixmapRects.size(), 2);
        const bool right = alignment == LegendPainter::RightAligned;
        for (int row = 0; row < 2; ++row) {
            const RecordedText& text = drawn.texts.at(row);
            const QRectF& pixmap = drawn.pixmapRects.at(row);
            if (order == LegendPainter::TextThenIcon) {
                QCOMPARE(pixmap.left(), double(int(10 + widestText + 40)));
                const double end = text.baseline.x() + textWidth(text.text);
                QVERIFY(qAbs((right ? end : text.baseline.x()) - (right ? 10 + widestText : 10)) <= 1.0);
            } else {
                QCOMPARE(text.baseline.x(), 10 + widestPicture + 40);
                QCOMPARE(right ? pixmap.right() : pixmap.left(), right ? 10 + widestPicture : 10.0);
            }
        }
    }

};

QTEST_MAIN(TestLegendPainter)
#include "tst_LegendPainter.moc"
