#pragma once

#include "dozerozozu_export.h"

#include <QColor>
#include <QPushButton>

/**
 * Push button showing a colour swatch; a press opens a colour dialog. The editor of
 * ConfigOption's Colour kind. The colour is invalid until setColor() or a choice.
 */
class DOZEROZOZU_EXPORT PickColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PickColorButton(QString text, QWidget* parent = nullptr);

    /// Stores the colour and redraws the swatch; emits nothing.
    void setColor(const QColor& color);
    QColor getColor() const;

Q_SIGNALS:
    /// The user accepted a colour in the dialog.
    void colorSelected(QColor color);
    /// Every colour the user tries in the dialog, and the stored one again on cancel.
    void currentColorChanged(QColor color);

private Q_SLOTS:
    void _pressed();

private:
    void drawSwatch();

    QColor color;
};
