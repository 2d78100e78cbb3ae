#include "NetworkRowDelegate.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QtTest>

namespace {

const QRect rowRect(0, 0, 300, 60);
const int wifiRole = NetworkRowDelegate::getWifiIndex() + 1;
const int lockRole = NetworkRowDelegate::getLockIndex() + 1;
const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;

QIcon solidIcon(const QColor& colour)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QImage paintRow(const QAbstractItemDelegate& delegate, const QModelIndex& index,
                QStyle::State state = QStyle::State_Enabled)
{
    QStyleOptionViewItem option;
    option.rect = rowRect;
    option.state = state;
    option.palette = QApplication::palette();
    QImage image(rowRect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

bool containsColour(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

} // namespace

class TestNetworkRowDelegate : public QObject
{
    Q_OBJECT

private:
    QStandardItemModel* model = nullptr;
    QListView* view = nullptr;
    NetworkRowDelegate* delegate = nullptr;
    QModelIndex index;

private Q_SLOTS:
    void init()
    {
        model = new QStandardItemModel(this);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
        model->appendRow(new QStandardItem(QStringLiteral("Workshop")));
        index = model->index(0, 0);
        view = new QListView;
        view->setModel(model);
        delegate = new NetworkRowDelegate(view, view);
        view->setItemDelegate(delegate);
    }

    void cleanup()
    {
        delete view;
        delete model;
        QApplication::setPalette(QPalette());
    }

    void iconsAndSpinnerSitAtTheirRightEdges()
    {
        // A 60 px row with only a name is the base delegate's row
        QCOMPARE(view->sizeHintForRow(0), 60);
        QCOMPARE(paintRow(*delegate, index), paintRow(QStyledItemDelegate(), index));

        // Icons: 20 x 20, each right edge inset from the row's, vertically centred
        model->setData(index, solidIcon(Qt::red), wifiRole);
        model->setData(index, solidIcon(Qt::green), lockRole);
        model->setData(index, solidIcon(Qt::blue), statusRole);
        const QImage image = paintRow(*delegate, index);
        for (const auto& [inset, colour] : {std::pair<int, QColor>{5, Qt::red}, {35, Qt::green}, {70, Qt::blue}}) {
            const QRect drawn(rowRect.right() - inset - 19, 20, 20, 20);
            QCOMPARE(image.copy(drawn), solidIcon(colour).pixmap(20, 20).toImage().convertToFormat(image.format()));
            QVERIFY(image.pixelColor(drawn.left() - 1, 19) != colour && image.pixelColor(drawn.right() + 1, 40) != colour);
        }

        // The spinner covers the status icon, in its place and nowhere else; "true" as text is no spinner
        model->setData(index, QStringLiteral("true"), spinnerRole);
        QCOMPARE(paintRow(*delegate, index), image);
        model->setData(index, true, spinnerRole);
        QImage withSpinner = paintRow(*delegate, index);
        const QRect statusPlace(rowRect.right() - 89, 20, 20, 20);
        QVERIFY(withSpinner.copy(statusPlace) != image.copy(statusPlace));
        QPainter(&withSpinner).drawImage(statusPlace, image.copy(statusPlace));
        QCOMPARE(withSpinner, image);
    }

    void conditionAndAddressColours_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("alternateBase");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("drawn");
        const QColor blue(0, 0, 220);
        QTest::newRow("condition in highlight") << conditionRole << false << blue << QColor(200, 0, 0) << true;
        QTest::newRow("selected condition") << conditionRole << true << blue << QColor(0, 160, 0) << true;
        QTest::newRow("address in alternate base") << ipAddressRole << false << blue << blue << true;
        QTest::newRow("selected address in base") << ipAddressRole << true << blue << blue << false;
        // An alternate base as light as the base could not be read: a grey instead.
        QTest::newRow("address on a pale alternate base")
            << ipAddressRole << false << QColor(247, 247, 247) << QColor(102, 102, 102) << true;
    }

    void conditionAndAddressColours()
    {
        QFETCH(int, role);
        QFETCH(bool, selected);
        QFETCH(QColor, alternateBase);
        QFETCH(QColor, colour);
        QFETCH(bool, drawn);
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Highlight, QColor(200, 0, 0));
        palette.setColor(QPalette::HighlightedText, QColor(0, 160, 0));
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::AlternateBase, alternateBase);
        QApplication::setPalette(palette);
        model->setData(index, QString(), Qt::DisplayRole);
        model->setData(index, QStringLiteral("127.0.10.23"), role);

        const QImage image = paintRow(*delegate, index, selected ? QStyle::State_Enabled | QStyle::State_Selected : QStyle::State_Enabled);

        QCOMPARE(containsColour(image, colour), drawn);
    }

    void animatesOnlyWhileARowShowsTheSpinner()
    {
        view->resize(300, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        view->grab();
        QVERIFY(!delegate->isAnimating());

        model->setData(index, true, spinnerRole);
        QTRY_VERIFY(delegate->isAnimating());
        model->setData(index, QVariant(), spinnerRole);
        QTRY_VERIFY(!delegate->isAnimating());
        model->setData(index, true, spinnerRole);
        QTRY_VERIFY(delegate->isAnimating());
        view->hide();
        QTRY_VERIFY(!delegate->isAnimating());
    }
};

QTEST_MAIN(TestNetworkRowDelegate)
#include "tst_NetworkRowDelegate.moc"
