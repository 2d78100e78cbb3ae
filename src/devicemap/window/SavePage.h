#pragma once

#include "dozerozozu_export.h"

#include <QString>
#include <QWizardPage>

class QLineEdit;

/**
 * Last page of the export wizard: the meta-device file's name, in a line edit bound to the
 * wizard field "fileName", and "Select file..." for a file dialog.
 *
 * The default name is "metadevices/metadevice.yml" under the current directory, or the first
 * free "metadevices/metadevice (N).yml", fixed when the page is built. Accepting the page
 * adds ".yml" to a name whose last "."-separated part is not exactly "yml", refuses with a
 * warning a name that would make an imported meta device's type that a saved graph does not
 * give back (MetaDeviceFile::typeNameReadsBack()), and asks before an existing file is replaced.
 *
 * Owned by its wizard; GUI thread only. The file dialog is a real modal run: tests drive it
 * with a timer (it is non-native, so it is an ordinary QFileDialog).
 */
class DOZEROZOZU_EXPORT SavePage : public QWizardPage
{
    Q_OBJECT

public:
    explicit SavePage(QWidget* parent = nullptr);

    QString getDefaultFileName() const;
    QLineEdit* getFileNameEdit() const;

    /// "<directory>/metadevice.yml", else the first "<directory>/metadevice (N).yml" that does not exist.
    static QString freeFileName(const QString& directory);

    /// Keeps the typed name when the user goes back.
    void cleanupPage() override;
    bool validatePage() override;

public Q_SLOTS:
    /// A save dialog at the default name; a chosen name replaces the edit's text.
    void selectFile();

private:
    QLineEdit* fileNameEdit;
    QString defaultFileName;
};
