#include "FileButton.h"

#include "ModalRunner.h"

#include <QDir>

FileButton::FileButton(const QString& filePath, QString filter, QWidget* parent)
    : QPushButton(parent)
    , fileInfo(filePath)
    , filter(filter)
{
    setText(fileInfo.filePath());
    connect(this, SIGNAL(clicked(bool)), this, SLOT(buttonClicked()));
}

QFileInfo FileButton::getFileInfo() const
{
    return fileInfo;
}

QString FileButton::getFilter() const
{
    return filter;
}

void FileButton::buttonClicked()
{
    const QString chosen = ModalRunner::getOpenFileName(this, tr("Select file"), fileInfo.filePath(), filter);
    if (chosen.isEmpty())
        return;
    fileInfo = QFileInfo(chosen);
    // Only a path that starts with the working directory is shown relative to it.
    QString shown = fileInfo.filePath();
    const QString workingDirectory = QDir::current().absolutePath() + QLatin1Char('/');
    if (shown.startsWith(workingDirectory))
        shown.remove(0, workingDirectory.size());
    setText(shown);
    Q_EMIT fileSelected();
}
