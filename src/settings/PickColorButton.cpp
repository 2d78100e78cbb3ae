#include "PickColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPointer>
#include <QPixmap>

PickColorButton::PickColorButton(QString text, QWidget* parent)
    : QPushButton(text, parent)
{
    connect(this, SIGNAL(pressed()), this, SLOT(_pressed()));
}

void PickColorButton::setColor(const QColor& newColor)
{
    color = newColor;
    drawSwatch();
}

QColor PickColorButton::getColor() const
{
    return color;
}

void PickColorButton::drawSwatch()
{
    QPixmap swatch(64, 64);
    swatch.fill(palette().color(QPalette::Current, QPalette::Text));
    {
        QPainter painter(&swatch);
        painter.fillRect(QRect(1, 1, 62, 62), color);
    }
    setIcon(QIcon(swatch));
}

void PickColorButton::_pressed()
{
    QColorDialog dialog;
    dialog.setOptions(dialog.options() | QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(color);
    connect(&dialog, SIGNAL(currentColorChanged(QColor)), this, SIGNAL(currentColorChanged(QColor)));
    // The dialog has no parent: the button (and the settings dialog holding it) may be
    // destroyed while it runs.
    QPointer<PickColorButton> self(this);
    const int result = dialog.exec();
    if (!self)
        return;
    if (result == QDialog::Accepted) {
        color = dialog.selectedColor();
        drawSwatch();
        Q_EMIT colorSelected(color);
    } else {
        Q_EMIT currentColorChanged(color);
    }
}
