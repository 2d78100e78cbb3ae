#include "AboutDialog.h"

#include "DozeRozOZUVersion.h"
#include "OrboDevVersion.h"
#include "ZenticMessageBox.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int commitLength = 8;
constexpr int copyButtonSize = 25;
constexpr int copyButtonMargin = 5;

QString fromGlobal(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

void placeCopyButton(QWidget* dialog, QWidget* copyButton)
{
    copyButton->move(dialog->width() - copyButton->width() - copyButtonMargin, copyButtonMargin);
}

// Keeps the copy button, which is in no layout, in the dialog's top-right corner.
class ResizeEventFilter : public QObject
{
public:
    ResizeEventFilter(QPushButton* copyButton, QObject* parent)
        : QObject(parent)
        , m_copyButton(copyButton)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && m_copyButton && watched->isWidgetType())
            placeCopyButton(static_cast<QWidget*>(watched), m_copyButton);
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QPushButton> m_copyButton;
};

QLabel* versionRow(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setStyleSheet(QStringLiteral("font-weight: normal;"));
    return label;
}

// The line the copy button puts on the clipboard: "name version (commit)" per entry, entries
// separated by one space. One multi-argument substitution, so a "%2" inside a name stays as written.
QString copiedText(const QList<VersionInfo>& versions)
{
    QStringList lines;
    for (const VersionInfo& entry : versions)
        lines << QStringLiteral("%1 %2 (%3)").arg(entry.name, entry.version, entry.commit.left(commitLength));
    return lines.join(QLatin1Char(' '));
}

} // namespace

void AboutDialog::showAboutDialog(QList<VersionInfo> versions, QWidget* parent)
{
    QPointer<AboutDialog> dialog = new AboutDialog(std::move(versions), parent);
    dialog->exec();
    delete dialog;
}

AboutDialog::AboutDialog(QList<VersionInfo> versions, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("About"));
    auto* mainLayout = new QVBoxLayout(this);

    versions.append({QStringLiteral("OrboDev"), fromGlobal(OrboDevVersion::version),
                     fromGlobal(OrboDevVersion::gitSHA), fromGlobal(OrboDevVersion::buildDate), QString()});
    versions.append({QStringLiteral("DozeRozOZU"), fromGlobal(DozeRozOZUVersion::version),
                     fromGlobal(DozeRozOZUVersion::gitSHA), fromGlobal(DozeRozOZUVersion::buildDate), QString()});

    for (const VersionInfo& entry : qAsConst(versions)) {
        auto* group = new QGroupBox(entry.name);
        auto* groupLayout = new QVBoxLayout(group);
        group->setStyleSheet(QStringLiteral("font-size: 15px; font-weight: bold"));
        groupLayout->addWidget(versionRow(tr("Version number: ") + entry.version));
        groupLayout->addWidget(versionRow(tr("Commit number: ") + entry.commit.left(commitLength)));
        groupLayout->addWidget(versionRow(tr("Build date: ") + entry.buildDate));
        if (!entry.packageType.isEmpty()) {
            QLabel* packageRow = versionRow(tr("Package type: ") + entry.packageType);
            packageRow->setWordWrap(true);
            groupLayout->addWidget(packageRow);
        }
        mainLayout->addWidget(group);
        mainLayout->addSpacing(20);
    }

    auto* copyButton = new QPushButton(this);
    copyButton->setIcon(QIcon(QStringLiteral(":/icons/copy")));
    copyButton->setFixedSize(copyButtonSize, copyButtonSize);
    copyButton->setStyleSheet(QStringLiteral("QPushButton { min-width: 25px; min-height: 25px; }"));
    copyButton->setToolTip(tr("Copy version information"));
    copyButton->setAccessibleName(tr("Copy version information"));
    placeCopyButton(this, copyButton);
    connect(copyButton, &QPushButton::clicked, this, [this, versions] {
        QGuiApplication::clipboard()->setText(copiedText(versions), QClipboard::Clipboard);
        ZenticMessageBox::information(this, tr("Success!"), tr("Version information copied to clipboard."),
                                      QMessageBox::Ok, QMessageBox::Ok);
    });
    installEventFilter(new ResizeEventFilter(copyButton, this));

    auto* buttonBox = new QDialogButtonBox(Qt::Vertical);
    buttonBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    QPushButton* closeButton = buttonBox->addButton(QDialogButtonBox::Close);
    closeButton->setIcon(QIcon());
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    mainLayout->addWidget(buttonBox);
    closeButton->setFocus(Qt::OtherFocusReason);
}
