#include "MapKeys.h"
#include "DeviceMapParts.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "UnplacedZone.h"
#include "tst_MapInteraction_Pointer.h"

#include <QGraphicsScene>
#include <QScrollBar>
#include <QWheelEvent>

// The map's keys, wheel and zoom, driven by synthesised key and wheel events.
class TestMapKeys : public QObject, PointerFixture
{
    Q_OBJECT

    void wheel(const QPoint& pos, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* viewport = map->viewport();
        QWheelEvent event(QPointF(pos), QPointF(viewport->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }

    double scale() const { return map->transform().m11(); }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void controlWheelZoomsAboutTheCursor()
    {
        // Given a view scrolled into a large scene, the cursor off its centre
        openPointerMap();
        map->horizontalScrollBar()->setValue(500);
        map->verticalScrollBar()->setValue(400);
        const QPoint cursor(200, 150);
        const QPointF underCursor = map->mapToScene(cursor);

        // When it is zoomed in twice with Control and the wheel, then out once
        wheel(cursor, 120, Qt::ControlModifier);
        wheel(cursor, 120, Qt::ControlModifier);
        const double twiceIn = scale();
        const QPoint afterIn = map->mapFromScene(underCursor);
        wheel(cursor, -120, Qt::ControlModifier | Qt::ShiftModifier);

        // Then the scales are 1.5625 and 1.25, and the scene point stays under the cursor
        QCOMPARE(twiceIn, 1.5625);
        QVERIFY(qFuzzyCompare(scale(), 1.25));
        QVERIFY((afterIn - cursor).manhattanLength() <= 1);
        QVERIFY((map->mapFromScene(underCursor) - cursor).manhattanLength() <= 1);
    }

    void zoomStaysWithinItsLimitsAndResetsToOne_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("in");
        QTest::newRow("wheel in") << "wheel" << true;
        QTest::newRow("slots out") << "slots" << false;
    }

    void zoomStaysWithinItsLimitsAndResetsToOne()
    {
        QFETCH(QString, how);
        QFETCH(bool, in);
        openPointerMap();
        for (int i = 0; i < 40; ++i) {
            if (how == "wheel")
                wheel(QPoint(400, 300), in ? 120 : -120, Qt::ControlModifier);
            else
                QMetaObject::invokeMethod(map.get(), in ? "increaseScale" : "decreaseScale");
        }
        QCOMPARE(scale(), in ? MapKeys::maximumScale : MapKeys::minimumScale);
        map->applyScale(in ? 0.3 : 3.7, QPoint(100, 100));
        QMetaObject::invokeMethod(map.get(), "resetScale");
        QVERIFY(qFuzzyCompare(scale(), 1.0));
    }

    void wheelOverTheZoneRotatesTheUnplacedDevices_data()
    {
        QTest::addColumn<int>("delta");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("up") << 120 << false << QList<int>{1, 2, 0};
        QTest::newRow("down") << -120 << false << QList<int>{2, 0, 1};
        QTest::newRow("up, the first heading a pair") << 120 << true << QList<int>{2, 0, 1};
    }

    void wheelOverTheZoneRotatesTheUnplacedDevices()
    {
        QFETCH(int, delta);
        QFETCH(bool, linked);
        QFETCH(QList<int>, order);
        // Given three unplaced devices P, Q, R, and another map's unplaced device at the end
        openPointerMap();
        const QStringList names{create("scaler"), create("scaler"), create("scaler")};
        if (linked)
            manager->addDeviceConnection(names.at(0), names.at(1), QString(), QString());
        DeviceNodeItem::setUnplacedDevices(names + QStringList{"elsewhere"});
        paint();
        const QRectF cards = DeviceMapParts(*map).unplacedZone().unplacedZoneRect();
        QVERIFY(!cards.isEmpty());

        // When the wheel turns over the zone's cards
        wheel(cards.center().toPoint(), delta);

        // Then the list turned the wheel's way, and the scale did not change
        QStringList expected;
        for (int index : order)
            expected.append(names.at(index));
        QCOMPARE(DeviceMapParts(*map).unplacedZone().unplacedDevices(), expected);
        QCOMPARE(scale(), 1.0);
    }

    void controlNOpensTheTypesMenuAtTheCursorKeptInsideTheView_data()
    {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QPoint>("opened");
        QTest::newRow("inside") << QPoint(250, 120) << QPoint(250, 120);
        QTest::newRow("right of and below the view") << QPoint(5000, 4000) << QPoint(-1, -1);
    }

    void controlNOpensTheTypesMenuAtTheCursorKeptInsideTheView()
    {
        QFETCH(QPoint, cursor);
        QFETCH(QPoint, opened);
        openPointerMap();
        QWidget* viewport = map->viewport();
        if (opened == QPoint(-1, -1))
            opened = QPoint(viewport->width() - 1, viewport->height() - 1);
        QCursor::setPos(viewport->mapToGlobal(cursor));

        ModalRunner::MenuAnswerGuard choose(QStringLiteral("General/Generator"));
        QTest::keyClick(map.get(), Qt::Key_N, Qt::ControlModifier);

        QCOMPARE(choose.positions(), QList<QPoint>{viewport->mapToGlobal(opened)});
        QCOMPARE(choose.menus().first(), ModalRunner::actionTexts(DeviceMapParts(*map).menus().newDeviceMenu()));
        QCOMPARE(map->getDeviceItems().size(), 1);
        QCOMPARE(map->getDeviceItems().first()->pos(), map->mapToScene(opened));
        QCOMPARE(undoTexts().size(), 1);
    }
};

QTEST_MAIN(TestMapKeys)
#include "tst_MapKeys.moc"
