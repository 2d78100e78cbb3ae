#include "NetworkRowDelegate.h"

#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

namespace {

constexpr int rowHeight = 60;
constexpr int iconSize = 20;
constexpr int spinnerFrameInterval = 33;

bool holds(const QVariant& value, int type)
{
    return value.isValid() && !value.isNull() && value.userType() == type;
}

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

bool contrasts(const QColor& text, const QColor& background)
{
    return qAbs(text.lightness() - background.lightness()) >= 96;
}

QColor blend(const QColor& text, const QColor& background)
{
    return QColor((text.red() * 3 + background.red() * 2) / 5, (text.green() * 3 + background.green() * 2) / 5,
                  (text.blue() * 3 + background.blue() * 2) / 5);
}

QRect withRight(const QRect& rect, int right)
{
    QRect target = rect;
    target.setRight(right);
    return target;
}

} // namespace

NetworkRowDelegate::NetworkRowDelegate(QListView* list, QObject* parent)
    : QStyledItemDelegate(parent)
    , spinnerRenderer(new QSvgRenderer(list))
    , list(list)
    , animationTimer(new QTimer(this))
{
    // The renderer's own frame timer would repaint the list for as long as it lives; the
    // delegate's timer runs only while a visible row shows the spinner.
    spinnerRenderer->setFramesPerSecond(0);
    spinnerRenderer->load(QStringLiteral(":/icons/dozerozozu_spinner"));
    connect(spinnerRenderer, &QSvgRenderer::repaintNeeded, this, [this] {
        if (this->list)
            this->list->viewport()->update();
    });
    animationTimer->setInterval(spinnerFrameInterval);
    connect(animationTimer, &QTimer::timeout, this, &NetworkRowDelegate::advanceSpinners);
}

int NetworkRowDelegate::getWifiIndex() { return wifiIndex; }
int NetworkRowDelegate::getLockIndex() { return lockIndex; }
int NetworkRowDelegate::getStatusIndex() { return statusIndex; }
int NetworkRowDelegate::getSpinnerIndex() { return spinnerIndex; }
int NetworkRowDelegate::getNetworkConditionIndex() { return networkConditionIndex; }
int NetworkRowDelegate::getIpAddressIndex() { return ipAddressIndex; }

bool NetworkRowDelegate::isAnimating() const
{
    return animationTimer->isActive();
}

QSize NetworkRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(rowHeight);
    return size;
}

void NetworkRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);

    const struct
    {
        int role;
        int inset;
    } icons[] = {{wifiIndex + 1, 5}, {lockIndex + 1, 35}, {statusIndex + 1, 70}};
    for (const auto& icon : icons) {
        const QVariant value = index.data(icon.role);
        if (holds(value, QMetaType::QIcon))
            paintIcon(painter, option, value.value<QIcon>(), withRight(option.rect, option.rect.right() - icon.inset));
    }

    const QVariant spinner = index.data(spinnerIndex + 1);
    if (holds(spinner, QMetaType::Bool) && spinner.toBool())
        paintSpinner(painter, option, index);

    const QVariant condition = index.data(networkConditionIndex + 1);
    if (holds(condition, QMetaType::QString))
        paintNetworkCondition(painter, option, condition.toString());

    const QVariant address = index.data(ipAddressIndex + 1);
    if (holds(address, QMetaType::QString))
        paintIpAddress(painter, option, address.toString());
}

void NetworkRowDelegate::paintIcon(QPainter* painter, const QStyleOptionViewItem& option, QIcon icon, QRect rect) const
{
    QIcon::Mode mode = QIcon::Normal;
    if (!(option.state & QStyle::State_Enabled))
        mode = QIcon::Disabled;
    else if (option.state & QStyle::State_Selected)
        mode = QIcon::Selected;
    const QIcon::State state = (option.state & QStyle::State_Open) ? QIcon::On : QIcon::Off;
    const QPixmap pixmap = icon.pixmap(QSize(iconSize, iconSize), mode, state);
    if (pixmap.isNull())
        return;
    styleOf(option)->drawItemPixmap(painter, rect, Qt::AlignRight | Qt::AlignVCenter, pixmap);
}

void NetworkRowDelegate::paintSpinner(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    const QRect target((option.rect.right() - option.rect.left()) - 89, option.rect.top() + 20, iconSize, iconSize);
    spinnerRenderer->render(painter, target);
    // Painting a spinner is what starts the animation; advanceSpinners() stops it again.
    if (!animationTimer->isActive())
        animationTimer->start();
}

void NetworkRowDelegate::paintNetworkCondition(QPainter* painter, const QStyleOptionViewItem& option,
                                               QString text) const
{
    painter->save();
    QFont font;
    font.setPixelSize(18);
    painter->setFont(font);
    const QRect target = option.rect.adjusted(2, 0, 0, 0);
    const QString shown = QCoreApplication::translate("NetworkRowDelegate", text.toUtf8().constData());
    const QPalette::ColorRole role =
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Highlight;
    styleOf(option)->drawItemText(painter, target, Qt::AlignBottom, QGuiApplication::palette(), false, shown, role);
    painter->restore();
}

void NetworkRowDelegate::paintIpAddress(QPainter* painter, const QStyleOptionViewItem& option, QString text) const
{
    painter->save();
    QFont font;
    font.setPixelSize(15);
    painter->setFont(font);
    const QRect target = option.rect.adjusted(2, 0, 0, 0);
    QPalette palette = QGuiApplication::palette();
    const QPalette::ColorRole role =
        (option.state & QStyle::State_Selected) ? QPalette::Base : QPalette::AlternateBase;
    // The alternate base is meant to sit next to the base, not on it: in most palettes the two
    // are almost alike, and the address would be invisible on an unselected row. Such a
    // palette gets a grey between text and base for it.
    if (role == QPalette::AlternateBase && !contrasts(palette.color(role), palette.color(QPalette::Base)))
        palette.setColor(role, blend(palette.color(QPalette::Text), palette.color(QPalette::Base)));
    styleOf(option)->drawItemText(painter, target, Qt::AlignVCenter, palette, false, text, role);
    painter->restore();
}

QModelIndexList NetworkRowDelegate::spinnerRows() const
{
    QModelIndexList rows;
    const QAbstractItemModel* model = list ? list->model() : nullptr;
    if (!model)
        return rows;
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, list->modelColumn(), list->rootIndex());
        const QVariant spinner = index.data(spinnerIndex + 1);
        if (holds(spinner, QMetaType::Bool) && spinner.toBool())
            rows.append(index);
    }
    return rows;
}

void NetworkRowDelegate::advanceSpinners()
{
    const QModelIndexList rows = (list && list->isVisible()) ? spinnerRows() : QModelIndexList();
    if (rows.isEmpty()) {
        animationTimer->stop();
        return;
    }
    for (const QModelIndex& index : rows)
        list->viewport()->update(list->visualRect(index));
}
