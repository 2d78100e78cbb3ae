#include "AdjustableCombobox.h"

#include <QApplication>
#include <QFontMetrics>

AdjustableCombobox::AdjustableCombobox(QWidget* parent)
    : QComboBox(parent)
{
    connect(this, SIGNAL(currentIndexChanged(int)), this, SLOT(updateSize()));
}

QSize AdjustableCombobox::minimumSizeHint() const
{
    const QFontMetrics metrics(QApplication::font());
    int widestText = 0;
    for (int index = 0; index < count(); ++index)
        widestText = qMax(widestText, metrics.boundingRect(itemText(index)).width());
    return QSize(iconSize().width() + 2 * metrics.height() + widestText, metrics.height());
}

void AdjustableCombobox::updateSize()
{
    setMinimumWidth(minimumSizeHint().width());
}
