#include "SettingsWindow.h"

#include "DemoFiles.h"
#include "DemoMenu.h"
#include "DemoSettings.h"
#include "HeightToleranceDialog.h"
#include "Singleton.h"
#include "YamlConfig.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include <memory>

namespace {

const QString hostNode = DemoSettings::node();

} // namespace

SettingsWindow::SettingsWindow(QWidget* parent)
    : ConfigWidget(false, parent, false)
    , m_config(Singleton<YamlConfig>::instance())
{
    // The demo is one window among several: it must not block the others.
    setModal(false);
    setWindowModality(Qt::NonModal);
    setWindowTitle(tr("Demo settings"));
    // No menu here, but the key that quits from every other window quits from this one too.
    addAction(newQuitAction(this));

    // The host loaded the settings at start (DemoSettings::load()).
    storeDefaults();

    addGeneralOptions();
    addDisplayOptions();
    addDeviceOptions();
}

SettingsWindow* SettingsWindow::showSettings()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        auto* settings = qobject_cast<SettingsWindow*>(window);
        if (settings && settings->isVisible()) {
            settings->raise();
            settings->activateWindow();
            return settings;
        }
    }
    // A fresh one rather than a closed one shown again: that one still shows the edits the
    // user closed it on without saving.
    auto* settings = new SettingsWindow;
    settings->setAttribute(Qt::WA_DeleteOnClose);
    settings->show();
    return settings;
}

void SettingsWindow::save()
{
    const QVector<ConfigOption> options = getOptions();
    for (ConfigOption option : options)
        option.save();
    if (!m_config->saveConfig()) {
        ZenticMessageBox::warning(this, tr("The settings could not be saved."),
                                  tr("%1 could not be written (the log says why): the changes hold only until the "
                                     "demo quits, and a new language is not taken up at the next start.")
                                      .arg(QDir::toNativeSeparators(DemoSettings::savedFile())));
        m_config->applyConfig();
        return;
    }
    if (DemoSettings::savesAreKept()) {
        // The edits are in the store already: this adds the restart notice and applies them.
        ConfigWidget::save();
        return;
    }
    // Saved with the run: no restart takes them up.
    m_config->applyConfig();
    ZenticMessageBox::information(this, DemoSettings::notKeptHeadline(),
                                  tr("The changes hold until the demo quits, and a new language is not taken up: the next start "
                                     "reads %1 as it is.")
                                      .arg(QDir::toNativeSeparators(DemoSettings::file())));
}

HeightToleranceDialog* SettingsWindow::newHeightToleranceDialog(QWidget* parent)
{
    auto* dialog = new HeightToleranceDialog(parent);
    // The dialog saves each change as it is made; where no save is kept, the first one says so.
    auto toldOnce = std::make_shared<QMetaObject::Connection>();
    *toldOnce = connect(Singleton<YamlConfig>::instance(), &Config::configChanged, dialog, [dialog, toldOnce] {
        if (DemoSettings::savesAreKept())
            return;
        disconnect(*toldOnce);
        // After the save has returned: the box runs an event loop, and the dialog's widgets
        // are still in the middle of the change.
        QTimer::singleShot(0, dialog, [dialog] {
            ZenticMessageBox::information(dialog, DemoSettings::notKeptHeadline(),
                                          tr("The change holds until the demo quits: the next start reads %1 as it is.")
                                              .arg(QDir::toNativeSeparators(DemoSettings::file())));
        });
    });
    return dialog;
}

void SettingsWindow::storeDefaults()
{
    const QList<QPair<QString, QString>> defaults = {
        {QStringLiteral("stationName"), QStringLiteral("Demo station")},
        {QStringLiteral("language"), DemoSettings::systemLanguage()},
        {QStringLiteral("logging"), QStringLiteral("true")},
        {QStringLiteral("logFile"), QStringLiteral("demo.log")},
        {QStringLiteral("startupScript"), QStringLiteral("# runs when the host starts\nenabled: yes\nretries: 3\n")},
        {QStringLiteral("brightness"), QStringLiteral("70")},
        {QStringLiteral("accent"), QStringLiteral("10,20,30")},
        {QStringLiteral("theme"), QStringLiteral("dark")},
        {QStringLiteral("pollPeriod"), QStringLiteral("500")},
        {QStringLiteral("scale"), QStringLiteral("1.5")},
        {QStringLiteral("busAddress"), QStringLiteral("0x1F")},
        {QStringLiteral("channels"), QStringLiteral("A;C")},
    };
    for (const auto& entry : defaults)
        m_config->getParam(entry.first, hostNode, entry.second, true);
}

void SettingsWindow::addGeneralOptions()
{
    newTab(tr("General"));
    addUnreadableFileNotice();
    newGroup(tr("Host"));
    addOption(ConfigOption(m_config, tr("Station name"), QStringLiteral("stationName"), ConfigOption::Text, false,
                           hostNode, QString()),
              {}, {});
    ConfigOption language(m_config, tr("Language"), QStringLiteral("language"), ConfigOption::Choice, true, hostNode,
                          QString());
    language << QList<QPair<QString, QString>>{{DemoSettings::systemLanguage(), tr("System language")},
                                               {QStringLiteral("en"), tr("English")},
                                               {QStringLiteral("ru"), tr("Russian")}};
    addOption(language, {}, {});
    addOption(ConfigOption(m_config, tr("Keep a log"), QStringLiteral("logging"), ConfigOption::Bool, false, hostNode,
                           QString()),
              {}, {});
    ConfigOption logFile(m_config, tr("Log file"), QStringLiteral("logFile"), ConfigOption::File, false, hostNode,
                         QString());
    logFile.addEnabledConditions(QStringLiteral("logging"), {QStringLiteral("true")});
    addOption(logFile, {}, {});
    ConfigOption startup(m_config, tr("Start-up script"), QStringLiteral("startupScript"), ConfigOption::Text, false,
                         hostNode, QStringLiteral("multiline"));
    addOption(startup, {}, {});
}

// The file was read at start, before any window could tell: a user who finds the defaults
// back learns why where the settings are, without a box to get past first.
void SettingsWindow::addUnreadableFileNotice()
{
    const QString notice = DemoSettings::unreadableFileNotice();
    if (notice.isEmpty())
        return;
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(frame);
    auto* icon = new QLabel;
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* text = new QLabel(notice);
    text->setObjectName(QStringLiteral("settingsFileNotice"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text, 1);
    getCurrentPageLayout()->addWidget(frame);
}

void SettingsWindow::addDisplayOptions()
{
    newTab(tr("Display"));
    newGroup(tr("Screen"));
    ConfigOption brightness(m_config, tr("Brightness"), QStringLiteral("brightness"), ConfigOption::Slider, false,
                            hostNode, QString());
    addOption(brightness, {}, {});
    addOption(ConfigOption(m_config, tr("Accent colour"), QStringLiteral("accent"), ConfigOption::Colour, false,
                           hostNode, QString()),
              {}, {});
    ConfigOption theme(m_config, tr("Theme"), QStringLiteral("theme"), ConfigOption::EditableChoice, false, hostNode,
                       QString());
    theme << QStringList{QStringLiteral("light"), QStringLiteral("dark")};
    addOption(theme, {}, {});

    newGroup(tr("Project 2D"));
    auto* tolerance = new QPushButton(tr("Height tolerance..."));
    connect(tolerance, &QPushButton::clicked, this, [this] {
        // Closing every window meanwhile (Quit) deletes the dialog with this one.
        const QPointer<HeightToleranceDialog> dialog = newHeightToleranceDialog(this);
        dialog->exec();
        delete dialog.data();
    });
    addWidget(tolerance, tr("Height tolerance"), {}, {});
}

void SettingsWindow::addDeviceOptions()
{
    newTab(tr("Devices"));
    newGroup(tr("Polling"));
    ConfigOption period(m_config, tr("Poll period"), QStringLiteral("pollPeriod"), ConfigOption::Integer, false,
                        hostNode, tr("ms"));
    period << ConfigOption::Range{10, 60000};
    addOption(period, {}, {});
    addOption(ConfigOption(m_config, tr("Scale factor"), QStringLiteral("scale"), ConfigOption::Real, false, hostNode,
                           QString()),
              {}, {});
    addOption(ConfigOption(m_config, tr("Bus address"), QStringLiteral("busAddress"), ConfigOption::HexInteger, true,
                           hostNode, QString()),
              {}, {});
    ConfigOption channels(m_config, tr("Channels"), QStringLiteral("channels"), ConfigOption::CheckList, false,
                          hostNode, QString());
    channels << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    addOption(channels, {}, {});
}
