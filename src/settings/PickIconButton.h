#pragma once

#include "dozerozozu_export.h"

#include <QImage>
#include <QPushButton>

/**
 * Push button showing an image as its 64 x 64 icon; a press lets the user pick an
 * image file. Keeps the chosen image at full size. Offered to host code.
 */
class DOZEROZOZU_EXPORT PickIconButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PickIconButton(QString text, QWidget* parent = nullptr);
    PickIconButton(QString iconFile, QString text, QWidget* parent = nullptr);

    void setIcon(QImage image);
    /// Loads the image from the file (format from its contents); a null image when unreadable.
    void setIcon(QString file);
    /// The image scaled to exactly `size` when both dimensions are 0 or more; otherwise
    /// the full-size image. Null when there is no image.
    QImage getImage(QSize size);
    QString getDirectory() const;

Q_SIGNALS:
    void iconSelected(QImage icon);

private Q_SLOTS:
    void _pressed();

private:
    QString directory;
    QImage image;
};
