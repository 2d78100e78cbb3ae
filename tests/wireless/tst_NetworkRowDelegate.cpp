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

QStyleOptionViewItem rowOption(QStyle::State extra = QStyle::State_Enabled)
{
    QStyleOptionViewItem option;
    option.rect = rowRect;
    option.state = extra;
    option.palette = QApplication::palette();
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    return option;
}

QImage paintRow(const QAbstractItemDelegate& delegate, const QModelIndex& index,
                QStyle::State state = QStyle::State_Enabled)
{
    QImage image(rowRect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, rowOption(state), index);
    return image;
}

bool containsColour(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
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

private Q_SLOTS:
    void init();
    void cleanup();
    void indexConstantsRowHeightAndPlainRow();
    void wrongTypesDrawNothing_data();
    void wrongTypesDrawNothing();
    void iconsSitAtTheirRightEdges();
    void conditionAndAddressColoursFollowSelection();
    void animatesOnlyWhileARowShowsTheSpinner();

private:
    QStandardItemModel* model = nullptr;
    QListView* view = nullptr;
    NetworkRowDelegate* delegate = nullptr;
};

void TestNetworkRowDelegate::init()
{
    model = new QStandardItemModel(this);
    new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    model->appendRow(new QStandardItem(QStringLiteral("Workshop")));
    view = new QListView;
    view->setModel(model);
    delegate = new NetworkRowDelegate(view, view);
    view->setItemDelegate(delegate);
}

void TestNetworkRowDelegate::cleanup()
{
    delete view;
    delete model;
    QApplication::setPalette(QPalette());
}

void TestNetworkRowDelegate::indexConstantsRowHeightAndPlainRow()
{
    QCOMPARE((QList<int>{NetworkRowDelegate::getWifiIndex(), NetworkRowDelegate::getLockIndex(),
                         NetworkRowDelegate::getStatusIndex(), NetworkRowDelegate::getSpinnerIndex(),
                         NetworkRowDelegate::getNetworkConditionIndex(), NetworkRowDelegate::getIpAddressIndex()}),
             (QList<int>{50, 51, 52, 53, 54, 55}));
    const QModelIndex index = model->index(0, 0);
    const QSize base = QStyledItemDelegate().sizeHint(rowOption(), index);
    QCOMPARE(delegate->sizeHint(rowOption(), index), QSize(base.width(), 60));
    // A row with only a name is the base delegate's row.
    QCOMPARE(paintRow(*delegate, index), paintRow(QStyledItemDelegate(), index));
}

void TestNetworkRowDelegate::wrongTypesDrawNothing_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("spinner false") << spinnerRole << QVariant(false);
    QTest::newRow("spinner as text") << spinnerRole << QVariant(QStringLiteral("true"));
    QTest::newRow("condition as icon") << conditionRole << QVariant(solidIcon(Qt::red));
    QTest::newRow("address as icon") << ipAddressRole << QVariant(solidIcon(Qt::red));
    QTest::newRow("signal as text") << wifiRole << QVariant(QStringLiteral(":/icons/dozerozozu_wifiOne"));
}

void TestNetworkRowDelegate::wrongTypesDrawNothing()
{
    QFETCH(int, role);
    QFETCH(QVariant, value);
    const QModelIndex index = model->index(0, 0);
    const QImage plain = paintRow(*delegate, index);

    model->setData(index, value, role);

    QCOMPARE(paintRow(*delegate, index), plain);
}

void TestNetworkRowDelegate::iconsSitAtTheirRightEdges()
{
    const QModelIndex index = model->index(0, 0);
    model->setData(index, solidIcon(Qt::red), wifiRole);
    model->setData(index, solidIcon(Qt::green), lockRole);
    model->setData(index, solidIcon(Qt::blue), statusRole);

    const QImage image = paintRow(*delegate, index);

    const int right = rowRect.right();
    for (const auto& [inset, colour] : {std::pair<int, QColor>{5, Qt::red}, {35, Qt::green}, {70, Qt::blue}}) {
        // 20 x 20, its right edge inset from the row's, vertically centred (lines 20 to 39).
        const QRect drawn(right - inset - 19, 20, 20, 20);
        QCOMPARE(image.copy(drawn), solidIcon(colour).pixmap(20, 20).toImage().convertToFormat(image.format()));
        QVERIFY(image.pixelColor(drawn.right() + 1, 30) != colour && image.pixelColor(drawn.left() - 1, 30) != colour);
        QVERIFY(image.pixelColor(drawn.left(), 19) != colour && image.pixelColor(drawn.left(), 40) != colour);
    }

    // The spinner covers the status icon, in its place and nowhere else.
    model->setData(index, true, spinnerRole);
    QImage withSpinner = paintRow(*delegate, index);
    const QRect statusPlace(right - 89, 20, 20, 20);
    QVERIFY(withSpinner.copy(statusPlace) != image.copy(statusPlace));
    QPainter(&withSpinner).drawImage(statusPlace, image.copy(statusPlace));
    QCOMPARE(withSpinner, image);
}

void TestNetworkRowDelegate::conditionAndAddressColoursFollowSelection()
{
    // Given a palette whose four roles are told apart by colour
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Highlight, QColor(200, 0, 0));
    palette.setColor(QPalette::HighlightedText, QColor(0, 160, 0));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::AlternateBase, QColor(0, 0, 220));
    QApplication::setPalette(palette);
    const QModelIndex index = model->index(0, 0);
    model->setData(index, QString(), Qt::DisplayRole);
    model->setData(index, QStringLiteral("WWWWWW"), conditionRole);
    const QRect bottom(0, 40, 200, 20);
    const QRect middle(0, 20, 200, 20);

    // Then the condition line is drawn in the highlight colour, or highlighted text when selected
    const QImage plain = paintRow(*delegate, index);
    const QImage selected = paintRow(*delegate, index, QStyle::State_Enabled | QStyle::State_Selected);
    QVERIFY(containsColour(plain, bottom, QColor(200, 0, 0)));
    QVERIFY(containsColour(selected, bottom, QColor(0, 160, 0)));
    QVERIFY(!containsColour(plain, middle, QColor(0, 0, 220)));

    // And the address in the alternate base colour, or the base colour when selected
    model->setData(index, QVariant(), conditionRole);
    model->setData(index, QStringLiteral("127.0.10.23"), ipAddressRole);
    QVERIFY(containsColour(paintRow(*delegate, index), middle, QColor(0, 0, 220)));
    const QImage selectedAddress = paintRow(*delegate, index, QStyle::State_Enabled | QStyle::State_Selected);
    QVERIFY(!containsColour(selectedAddress, middle, QColor(0, 0, 220)));
    QVERIFY(!containsColour(selectedAddress, bottom, QColor(0, 160, 0)));

    // Unless the alternate base is as light as the base, where it could not be read
    palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
    palette.setColor(QPalette::Text, QColor(0, 0, 0));
    QApplication::setPalette(palette);
    QVERIFY(containsColour(paintRow(*delegate, index), middle, QColor(102, 102, 102)));
}

void TestNetworkRowDelegate::animatesOnlyWhileARowShowsTheSpinner()
{
    // Given a shown list without a spinner
    view->resize(300, 200);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->grab();
    QVERIFY(!delegate->isAnimating());

    // When a row starts connecting, the spinner turns
    const QModelIndex index = model->index(0, 0);
    model->setData(index, true, spinnerRole);
    QTRY_VERIFY(delegate->isAnimating());
    QCOMPARE(delegate->spinnerRows(), QModelIndexList{index});

    // And it stops once no row shows it, or the list is hidden
    model->setData(index, QVariant(), spinnerRole);
    QTRY_VERIFY(!delegate->isAnimating());
    model->setData(index, true, spinnerRole);
    QTRY_VERIFY(delegate->isAnimating());
    view->hide();
    QTRY_VERIFY(!delegate->isAnimating());
}

QTEST_MAIN(TestNetworkRowDelegate)
#include "tst_NetworkRowDelegate.moc"
