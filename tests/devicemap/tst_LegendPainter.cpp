#include "LegendPainter.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QApplication>
#include <QPainter>
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

private:
    QFont font;

    struct Drawn
    {
        QList<RecordedText> texts;
        QList<QRectF> pixmapRects;
    };

    // Draws with a painter on the recording device, so that its font matches the metrics.
    Drawn draw(LegendPainter::ArrangementOrder order, LegendPainter::LegendAlignment alignment,
                              QPoint topLeft, const QMap<QString, QPixmap>& entries)
    {
        RecordingPaintDevice device;
        QPainter painter(&device);
        painter.setFont(font);
        LegendPainter legend(&painter, QFontMetricsF(font, &device), order, alignment, Qt::black);
        legend.drawLegend(topLeft, entries);
        painter.end();
        return {device.engine.texts, device.engine.pixmapRects};
    }

    double textWidth(const QString& text)
    {
        RecordingPaintDevice device;
        return QFontMetricsF(font, &device).horizontalAdvance(text);
    }

private Q_SLOTS:
    void initTestCase()
    {
        font = QApplication::font();
        font.setPointSize(10);
    }

    void emptyLegendDrawsNothing()
    {
        LegendPainter legend(nullptr, QFontMetricsF(font), LegendPainter::TextThenIcon, LegendPainter::LeftAligned,
                             Qt::black);
        QCOMPARE(legend.getLegendSize({}), QSize(40, -15));
        QCOMPARE(legend.getWidestText({}), 0.0);
        QCOMPARE(legend.getWidestPixmap({}), 0.0);

        const Drawn drawn = draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(5, 5), {});
        QVERIFY(drawn.texts.isEmpty());
        QVERIFY(drawn.pixmapRects.isEmpty());
    }

    void sizeAddsTextGapPictureAndRows()
    {
        const QMap<QString, QPixmap> entries{{"Delete ", picture(30, 16)}, {"Copy ", picture(50, 16)}};
        LegendPainter legend(nullptr, QFontMetricsF(font), LegendPainter::TextThenIcon, LegendPainter::LeftAligned,
                             Qt::black);

        const QSize size = legend.getLegendSize(entries);

        const QFontMetricsF metrics(font);
        const double widest = std::max(metrics.horizontalAdvance("Delete "), metrics.horizontalAdvance("Copy "));
        QCOMPARE(size, QSize(int(widest + 40 + 50), 47));
    }

    void rowsFollowKeyOrderAndPictureHeights()
    {
        const QMap<QString, QPixmap> entries{{"b second", picture(20, 16)}, {"a first", picture(20, 16)}};

        const Drawn drawn =
            draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(10, 100), entries);

        QCOMPARE(drawn.pixmapRects.size(), 2);
        QCOMPARE(drawn.pixmapRects[0].top(), 100.0);
        QCOMPARE(drawn.pixmapRects[1].top(), 131.0);
        QCOMPARE(drawn.texts.size(), 2);
        QCOMPARE(drawn.texts[0].text, QString("a first"));
        QCOMPARE(drawn.texts[1].text, QString("b second"));
        QCOMPARE(drawn.texts[1].baseline.y() - drawn.texts[0].baseline.y(), 31.0);
    }

    void textThenIconRightAlignedEndsTextsAtGap()
    {
        const QMap<QString, QPixmap> entries{{"Paste ", picture(20, 16)}, {"Rearrange layout ", picture(30, 16)}};
        const double widest = std::max(textWidth("Paste "), textWidth("Rearrange layout "));
        const QPoint origin(10, 10);

        const Drawn drawn =
            draw(LegendPainter::TextThenIcon, LegendPainter::RightAligned, origin, entries);

        for (const RecordedText& text : drawn.texts)
            QVERIFY(qAbs(text.baseline.x() + textWidth(text.text) - (origin.x() + widest)) <= 1.0);
        for (const QRectF& rect : drawn.pixmapRects)
            QCOMPARE(rect.left(), double(int(origin.x() + widest + 40)));
    }

    void iconThenTextRightAlignedEndsPicturesAtGap()
    {
        const QMap<QString, QPixmap> entries{{"Paste ", picture(20, 16)}, {"Rearrange ", picture(30, 10)}};
        const QPoint origin(10, 10);

        const Drawn drawn =
            draw(LegendPainter::IconThenText, LegendPainter::RightAligned, origin, entries);

        QCOMPARE(drawn.pixmapRects.size(), 2);
        for (const QRectF& rect : drawn.pixmapRects)
            QCOMPARE(rect.right(), 40.0);
        for (const RecordedText& text : drawn.texts)
            QCOMPARE(text.baseline.x(), 80.0);
    }

    void leftAlignedColumnsStartAtTheirEdges()
    {
        const QMap<QString, QPixmap> entries{{"Paste ", picture(20, 16)}, {"Rearrange ", picture(30, 10)}};
        const QPoint origin(10, 10);

        const Drawn iconFirst =
            draw(LegendPainter::IconThenText, LegendPainter::LeftAligned, origin, entries);
        for (const QRectF& rect : iconFirst.pixmapRects)
            QCOMPARE(rect.left(), 10.0);

        const Drawn textFirst =
            draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, origin, entries);
        for (const RecordedText& text : textFirst.texts)
            QCOMPARE(text.baseline.x(), 10.0);
    }

    void textIsCentredOnItsPicture()
    {
        const QMap<QString, QPixmap> entries{{"Tall ", picture(20, 40)}};
        RecordingPaintDevice device;
        const QFontMetricsF metrics(font, &device);

        const Drawn drawn =
            draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(0, 0), entries);

        const double textTop = int(20 - 0.5 * metrics.height());
        QCOMPARE(drawn.texts.first().baseline.y(), textTop + metrics.ascent());
    }

    void multiWordTextStaysOnOneLine()
    {
        const QMap<QString, QPixmap> entries{{"Thread worker two", picture(20, 16)}};

        const Drawn drawn =
            draw(LegendPainter::TextThenIcon, LegendPainter::LeftAligned, QPoint(0, 0), entries);

        QCOMPARE(drawn.texts.size(), 1);
        QCOMPARE(drawn.texts.first().text, QString("Thread worker two"));
    }
};

QTEST_MAIN(TestLegendPainter)
#include "tst_LegendPainter.moc"
