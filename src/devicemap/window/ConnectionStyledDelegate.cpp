#include "ConnectionStyledDelegate.h"

#include "ConnectionListModel.h"
#include "TypePair.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {

// A font set in pixels reports no point size; its effective one stands in for it.
qreal pointSizeOf(const QFont& font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

QFont captionFont(const QFont& font)
{
    QFont small = font;
    small.setPointSize(qMax(int(pointSizeOf(font) * 0.7), 6));
    return small;
}

QString captionOf(const QModelIndex& index)
{
    const TypePair types = index.data(ConnectionListModel::TypePairRole).value<TypePair>();
    return types.first != types.second ? ConnectionStyledDelegate::tr("autoconvert") : QString();
}

bool isPressed(const QModelIndex& index)
{
    bool converts = false;
    const int state = index.data(ConnectionListModel::CheckedRole).toInt(&converts);
    return converts && state == Qt::Checked;
}

} // namespace

ConnectionStyledDelegate::ConnectionStyledDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , button(std::make_unique<QPushButton>())
{
}

ConnectionStyledDelegate::~ConnectionStyledDelegate() = default;

void ConnectionStyledDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    painter->save();
    QStyleOptionViewItem itemOption = option;
    initStyleOption(&itemOption, index);
    itemOption.text.clear();

    const bool pressed = isPressed(index);
    QStyleOptionButton buttonOption;
    buttonOption.rect = itemOption.rect;
    buttonOption.state = QStyle::State_Enabled | QStyle::State_Active;
    if (pressed)
        buttonOption.state |= QStyle::State_On;

    // Re-applying an unchanged style sheet would re-polish the button on every row painted.
    const QString styleSheet = option.widget ? option.widget->styleSheet() : qApp->styleSheet();
    if (button->styleSheet() != styleSheet)
        button->setStyleSheet(styleSheet);
    button->style()->drawControl(QStyle::CE_PushButton, &buttonOption, painter, button.get());

    const QString caption = captionOf(index);
    const QColor text = button->palette().color(QPalette::Current, QPalette::Text);
    const QColor highlighted = button->palette().color(QPalette::Current, QPalette::HighlightedText);
    const bool textIsDarker = text.lightness() <= highlighted.lightness();
    const QColor darker = textIsDarker ? text : highlighted;
    const QColor lighter = textIsDarker ? highlighted : text;
    painter->setPen(pressed ? lighter : darker);

    if (!caption.isEmpty()) {
        const QFont small = captionFont(itemOption.font);
        const int flags = Qt::AlignHCenter | Qt::AlignTop;
        painter->setFont(small);
        painter->drawText(QFontMetrics(small).boundingRect(itemOption.rect, flags, caption), flags, caption);
    }
    painter->setFont(itemOption.font);
    painter->drawText(itemOption.rect, Qt::AlignCenter, index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize ConnectionStyledDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid())
        return QSize(-1, -1);
    const QString caption = captionOf(index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QString fontKey = option.font.key();
    if (fontKey != measuredFontKey || measuredSizes.size() > 20000) {
        measuredSizes.clear();
        measuredFontKey = fontKey;
    }
    const QString key = caption + QLatin1Char('\n') + text;
    const auto known = measuredSizes.constFind(key);
    if (known != measuredSizes.cend())
        return known.value();

    const qreal scaledPad = pointSizeOf(option.font) * 0.525;
    const int pad = scaledPad > 2.0 ? int(scaledPad) : 2;
    const QRect captionRect = caption.isEmpty()
        ? QRect(0, 0, 0, 0)
        : QFontMetrics(captionFont(option.font)).boundingRect(option.rect, Qt::AlignHCenter | Qt::AlignTop, caption);
    const QRect textArea(option.rect.left(), option.rect.top(), option.rect.width(), 0);
    const QRect textRect = QFontMetrics(option.font).boundingRect(textArea, Qt::AlignCenter, text);

    const QSize size(qMax(textRect.width(), captionRect.width()) + 2 * pad,
                     textRect.height() + 2 * qMax(captionRect.height(), pad));
    measuredSizes.insert(key, size);
    return size;
}
