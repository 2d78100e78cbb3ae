#include "NetworkRowDelegate.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QtTest>

namespace {

const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;

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

    void addressOnAPaleAlternateBaseIsDrawnGrey()
    {
        // Given an alternate base as light as the base, where the address could not be read
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::AlternateBase, QColor(247, 247, 247));
        QApplication::setPalette(palette);
        model->setData(index, QString(), Qt::DisplayRole);
        model->setData(index, QStringLiteral("127.0.10.23"), ipAddressRole);

        // When the row is painted
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 300, 60);
        option.state = QStyle::State_Enabled;
        option.palette = QApplication::palette();
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate->paint(&painter, option, index);
        painter.end();

        // Then the address is a grey between text and base
        QVERIFY(containsColour(image, QColor(102, 102, 102)));
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
