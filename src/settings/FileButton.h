#pragma once

#include "dozerozozu_export.h"

#include <QFileInfo>
#include <QPushButton>

/**
 * Push button that shows a file path and lets the user pick another file with a
 * file dialog; the editor of ConfigOption's File kind. Files under the working
 * directory show as relative paths.
 */
class DOZEROZOZU_EXPORT FileButton : public QPushButton
{
    Q_OBJECT
public:
    FileButton(const QString& filePath, QString filter, QWidget* parent = nullptr);

    QFileInfo getFileInfo() const;
    QString getFilter() const;

Q_SIGNALS:
    void fileSelected();

protected Q_SLOTS:
    void buttonClicked();

private:
    QFileInfo fileInfo;
    QString filter;
};
