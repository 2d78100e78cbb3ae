#include "SavePage.h"

#include "MetaDeviceFile.h"
#include "ModalRunner.h"
#include "ZenticMessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

SavePage::SavePage(QWidget* parent)
    : QWizardPage(parent)
    , fileNameEdit(new QLineEdit(this))
    , defaultFileName(freeFileName(QDir::currentPath() + QStringLiteral("/metadevices")))
{
    setTitle(tr("Save config"));
    auto* pageLayout = new QVBoxLayout(this);
    auto* rowLayout = new QHBoxLayout;
    pageLayout->addLayout(rowLayout);
    rowLayout->addWidget(fileNameEdit);
    auto* selectButton = new QPushButton(tr("Select file..."), this);
    rowLayout->addWidget(selectButton);

    registerField(QStringLiteral("fileName"), fileNameEdit);
    fileNameEdit->setText(defaultFileName);
    fileNameEdit->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_saveFile")), QLineEdit::LeadingPosition);
    connect(selectButton, &QPushButton::clicked, this, &SavePage::selectFile);
}

QString SavePage::getDefaultFileName() const
{
    return defaultFileName;
}

QLineEdit* SavePage::getFileNameEdit() const
{
    return fileNameEdit;
}

QString SavePage::freeFileName(const QString& directory)
{
    QString name = directory + QStringLiteral("/metadevice.yml");
    for (int number = 1; QFileInfo::exists(name); ++number)
        name = directory + QStringLiteral("/metadevice (%1).yml").arg(number);
    return name;
}

void SavePage::cleanupPage()
{
    setField(QStringLiteral("fileName"), fileNameEdit->text());
}

bool SavePage::validatePage()
{
    QString name = fileNameEdit->text();
    if (name.split(QLatin1Char('.')).constLast() != QLatin1String("yml")) {
        name += QStringLiteral(".yml");
        fileNameEdit->setText(name);
    }
    // The file's name becomes the meta device's type when it is imported: a name whose devices
    // a saved graph would give back as another type's or as unknown ones is not offered.
    const QString type = MetaDeviceFile::typeName(name);
    if (!type.isEmpty() && !MetaDeviceFile::typeNameReadsBack(type)) {
        ZenticMessageBox::warning(this, tr("The meta device was not saved"),
                                  tr("The name of \"%1\" has a character that a saved graph does not keep (such as an "
                                     "invisible byte order mark at its start), so the devices of this meta device "
                                     "would not load back as its own. Choose another name.")
                                      .arg(name));
        return false;
    }
    if (!QFileInfo::exists(name))
        return true;
    return ZenticMessageBox::confirmReplace(
        this, tr("\"%1\" already exists. Do you want to replace it?").arg(name),
        tr("A file with the same name already exists. Replacing it will overwrite its current contents."));
}

void SavePage::selectFile()
{
    // The dialog runs its own event loop, in which the wizard may be closed and deleted.
    const QPointer<QLineEdit> edit = fileNameEdit;
    const QString name = ModalRunner::getSaveFileName(this, tr("Save export config"), defaultFileName,
                                                      tr("Config files (*.yml)"));
    if (edit && !name.isEmpty())
        edit->setText(name);
}
