#include "LegendPainter.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QtTest>

class TestLegendPainter : public QObject
{
    Q_OBJECT

    static QPixmap picture(int width, int height)
    {
        QPixmap pixmap(width, height);
        pixmap.fill(Qt::red);
        return pixmap;
    }

private Q_SLOTS:
    void rowsFollowKeyOrderWithTextsCentredOnOneLine()
    {
        // Given a text of several words, whose rectangle is its truncated width
        QFont font = QApplication::font();
        font.setPointSize(10);
        const QMap<QString, QPixmap> entries{{"b second of several words", picture(20, 40)}, {"a first", picture(20, 16)}};

        RecordingPaintDevice device;
        QPainter painter(&device);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &device);
        LegendPainter(&painter, metrics, LegendPainter::TextThenIcon, LegendPainter::LeftAligned, Qt::black)
            .drawLegend(QPoint(10, 100), entries);
        painter.end();
        const Recording& drawn = device.engine.recording;

        // Then the rows follow the keys, 15 apart, and each text is drawn whole, centred on its row
        QCOMPARE(drawn.pixmapRects.size(), 2);
        QCOMPARE(drawn.pixmapRects[0].top(), 100.0);
        QCOMPARE(drawn.pixmapRects[1].top(), 131.0);
        QCOMPARE(drawn.texts.size(), 2);
        QCOMPARE(drawn.texts[0].text, QString("a first"));
        QCOMPARE(drawn.texts[1].text, QString("b second of several words"));
        QCOMPARE(drawn.texts[1].baseline.y(), 131 + int(20 - 0.5 * metrics.height()) + metrics.ascent());
    }
};

QTEST_MAIN(TestLegendPainter)
#include "tst_LegendPainter.moc"
