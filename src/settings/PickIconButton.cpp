#include "PickIconButton.h"

#include "ModalRunner.h"

#include <QDir>
#include <QPixmap>

PickIconButton::PickIconButton(QString text, QWidget* parent)
    : QPushButton(text, parent)
{
    const QString bitmaps = QStringLiteral("/usr/data/bitmaps");
    if (QDir(bitmaps).exists())
        directory = bitmaps;
    connect(this, SIGNAL(pressed()), this, SLOT(_pressed()));
}

PickIconButton::PickIconButton(QString iconFile, QString text, QWidget* parent)
    : PickIconButton(text, parent)
{
    setIcon(iconFile);
}

void PickIconButton::setIcon(QImage newImage)
{
    image = newImage;
    QPushButton::setIcon(QIcon(QPixmap::fromImage(
        image.isNull() ? image : image.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation))));
}

void PickIconButton::setIcon(QString file)
{
    setIcon(QImage(file));
}

QImage PickIconButton::getImage(QSize size)
{
    if (size.width() >= 0 && size.height() >= 0 && !image.isNull())
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image;
}

QString PickIconButton::getDirectory() const
{
    return directory;
}

void PickIconButton::_pressed()
{
    const QString file = ModalRunner::getOpenFileName(this, tr("Select icon"), directory, tr("Images (*.png *.jpg)"));
    if (file.isEmpty())
        return;
    setIcon(file);
    Q_EMIT iconSelected(image);
}
