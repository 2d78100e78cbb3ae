#include "ConfigWidget.h"

#include "Config.h"
#include "ConfigWidgetDragHelper.h"
#include "Notifier.h"
#include "TouchScrollMaker.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

ConfigWidget::ConfigWidget(bool saveOnChange, QWidget* parent, bool paintFooter)
    : QDialog(parent)
    , saveOnChange(saveOnChange)
    , paintFooter(paintFooter)
{
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::Dialog);
    setModal(true);
    setWindowModality(Qt::WindowModal);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::MinimumExpanding);
    setAttribute(Qt::WA_MouseTracking);
    setWindowTitle(tr("Settings"));

    tabWidget = new QTabWidget(this);
    tabWidget->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::MinimumExpanding);

    saveButton = new QPushButton(tr("Save"), this);
    connect(saveButton, SIGNAL(clicked()), this, SLOT(save()));
    saveButton->setHidden(saveOnChange);
    saveButton->setEnabled(!saveOnChange);

    closeButton = new QPushButton(tr("Close"), this);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(close()));

    auto* layout = new QGridLayout(this);
    layout->addWidget(tabWidget, 0, 0, 1, 2);
    if (!saveOnChange)
        layout->addWidget(saveButton, 1, 0, Qt::AlignRight);
    layout->addWidget(closeButton, 1, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 100);
    layout->setColumnStretch(1, 1);

    dragHelper = new ConfigWidgetDragHelper(this);
    installEventFilter(dragHelper);
}

ConfigWidget::~ConfigWidget() = default;

void ConfigWidget::addSpacer()
{
    if (skipNextSpacer) {
        skipNextSpacer = false;
        return;
    }
    if (tabCount == 0 || !currentPageLayout)
        return;
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    currentPageLayout->addWidget(spacer);
}

void ConfigWidget::skipSpacer()
{
    skipNextSpacer = true;
}

int ConfigWidget::newTab(QString title)
{
    addSpacer();
    skipNextSpacer = false;
    ++tabCount;
    groupCount = 0;
    currentPage = new QWidget(this);
    currentPageLayout = new QVBoxLayout(currentPage);
    auto* scrollArea = new QScrollArea;
    TouchScrollMaker::activateTouchScroll(scrollArea);
    scrollArea->setWidget(currentPage);
    scrollArea->setWidgetResizable(true);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return tabWidget->addTab(scrollArea, title);
}

void ConfigWidget::newGroup(QString title)
{
    if (!currentPage)
        newTab(tr("General"));
    ++groupCount;
    auto* box = new QGroupBox(title, currentPage);
    currentGroupLayout = new QGridLayout(box);
    currentGroupLayout->setVerticalSpacing(7);
    currentPageLayout->addWidget(box);
    groups.insert(title, currentGroupLayout);
}

void ConfigWidget::ensureTabAndGroup()
{
    if (tabCount == 0)
        newTab(tr("General"));
    if (groupCount == 0)
        newGroup(tr("General"));
}

void ConfigWidget::addOption(ConfigOption option, QGridLayout* grid, Qt::Alignment labelAlignment,
                             Qt::Alignment editorAlignment)
{
    QWidget* editor = option.getEditorWidget();
    QLabel* label = option.getLabelWidget();
    if (!grid || !editor || !label)
        return;
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0, 1, 2, labelAlignment);
    grid->addWidget(editor, row, 2, 1, 3, editorAlignment);
    editor->setMaximumWidth(350);
    editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label->setBuddy(editor);
    grid->setColumnMinimumWidth(0, label->sizeHint().width());
    grid->setColumnMinimumWidth(2, editor->sizeHint().width());
    options.append(option);
    if (saveOnChange)
        connect(option.getNotifier(), SIGNAL(paramChanged()), this, SLOT(save()));
    connect(option.getNotifier(), SIGNAL(paramChanged()), this, SLOT(optionChanged()));
    setConditionalOptionsVisibility();
}

void ConfigWidget::addOption(ConfigOption option, Qt::Alignment labelAlignment, Qt::Alignment editorAlignment)
{
    ensureTabAndGroup();
    addOption(option, currentGroupLayout, labelAlignment, editorAlignment);
}

void ConfigWidget::addOption(ConfigOption option, const QString& group, Qt::Alignment labelAlignment,
                             Qt::Alignment editorAlignment)
{
    QGridLayout* grid = groups.value(group);
    if (!grid) {
        newTab(group);
        newGroup(group);
        grid = currentGroupLayout;
    }
    addOption(option, grid, labelAlignment, editorAlignment);
}

void ConfigWidget::addWidget(QWidget* widget, Qt::Alignment alignment)
{
    ensureTabAndGroup();
    currentGroupLayout->addWidget(widget, currentGroupLayout->rowCount(), 0, 1, 5, alignment);
}

void ConfigWidget::addWidget(QWidget* widget, QString label, Qt::Alignment labelAlignment,
                             Qt::Alignment widgetAlignment)
{
    ensureTabAndGroup();
    const int row = currentGroupLayout->rowCount();
    currentGroupLayout->addWidget(new QLabel(label), row, 0, 1, 2, labelAlignment);
    currentGroupLayout->addWidget(widget, row, 2, 1, 3, widgetAlignment);
}

void ConfigWidget::addLayout(QLayout* layout, Qt::Alignment alignment)
{
    ensureTabAndGroup();
    currentGroupLayout->addLayout(layout, currentGroupLayout->rowCount(), 0, 1, 5, alignment);
}

ConfigOption ConfigWidget::getConfigOption(QString key)
{
    for (const ConfigOption& option : qAsConst(options)) {
        if (option.getKey() == key)
            return option;
    }
    return ConfigOption();
}

bool ConfigWidget::checkParamEnabledCondition(ConfigOption option)
{
    const QMap<QString, QStringList> conditions = option.getEnabledConditions();
    for (auto it = conditions.constBegin(); it != conditions.constEnd(); ++it) {
        ConfigOption other = getConfigOption(it.key());
        if (other.getKey().isEmpty())
            continue;
        if (!it.value().contains(other.getCurrentParamValue(nullptr), Qt::CaseSensitive))
            return false;
    }
    return true;
}

void ConfigWidget::setConditionalOptionsVisibility()
{
    for (const ConfigOption& option : qAsConst(options)) {
        const bool enabled = checkParamEnabledCondition(option);
        option.getEditorWidget()->setVisible(enabled);
        option.getLabelWidget()->setVisible(enabled);
    }
}

QTabWidget* ConfigWidget::getTabWidget() const
{
    return tabWidget;
}

QPushButton* ConfigWidget::getSaveButton() const
{
    return saveButton;
}

QPushButton* ConfigWidget::getCloseButton() const
{
    return closeButton;
}

QVBoxLayout* ConfigWidget::getCurrentPageLayout() const
{
    return currentPageLayout;
}

QGridLayout* ConfigWidget::getCurrentGroupLayout() const
{
    return currentGroupLayout;
}

QVector<ConfigOption> ConfigWidget::getOptions() const
{
    return options;
}

void ConfigWidget::optionChanged()
{
    setConditionalOptionsVisibility();
}

// The notice's event loop, or a host's slot on a store's apply, may delete the dialog: the stores
// are taken from it first, and each is applied unless it went meanwhile.
void ConfigWidget::save()
{
    bool restartNeeded = false;
    QList<QPointer<Config>> stores;
    for (ConfigOption& option : options) {
        restartNeeded = option.save() || restartNeeded;
        if (Config* config = option.getConfig())
            stores.append(config);
    }
    if (restartNeeded) {
        ZenticMessageBox::information(this, tr("Restart required."),
                                      tr("Some of the made changes will only be applied after restart."),
                                      QMessageBox::Ok, QMessageBox::Ok);
    }
    for (const QPointer<Config>& config : qAsConst(stores)) {
        if (config)
            config->applyConfig();
    }
}

void ConfigWidget::fitPagesWidth()
{
    // The pages do not scroll sideways, and a scroll area asks for no more width than its font
    // allows, however wide its content: a page wider than its tab would lose its right part.
    // The scroll bar is counted whether shown or not, so that its coming cannot cut the page.
    for (int i = 0; i < tabWidget->count(); ++i) {
        auto* area = qobject_cast<QScrollArea*>(tabWidget->widget(i));
        if (!area || !area->widget())
            continue;
        area->setMinimumWidth(area->widget()->minimumSizeHint().width() + 2 * area->frameWidth()
                              + area->verticalScrollBar()->sizeHint().width());
    }
    if (layout())
        layout()->activate();
}

void ConfigWidget::showEvent(QShowEvent* event)
{
    addSpacer();
    fitPagesWidth();
    if (QGuiApplication::screens().isEmpty()) {
        QDialog::showEvent(event);
        return;
    }

    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint position = pos();
    if (position != QPoint(0, 0)) {
        const auto screens = QGuiApplication::screens();
        for (QScreen* candidate : screens) {
            if (candidate->geometry().contains(position)) {
                screen = candidate;
                break;
            }
        }
    }
    const QRect avail = screen->availableGeometry();

    const int maxW = qMin(int(avail.width() * 0.9), maximumWidth());
    const int maxH = qMin(int(avail.height() * 0.9), maximumHeight());
    setMinimumSize(qMin(maxW, minimumWidth()), qMin(maxH, minimumHeight()));
    setMaximumSize(maxW, maxH);

    QPoint target = position;
    if (position == QPoint(0, 0) || !avail.contains(position)) {
        target = QPoint(avail.left() + (avail.right() - avail.left() - (width() - 1)) / 2,
                        avail.top() + (avail.bottom() - avail.top() - (height() - 1)) / 2);
    }
    target = ConfigWidgetDragHelper::keepInside(target, size(), avail);

    if (windowFlags() & Qt::Window) {
        setStyle(QApplication::style());
        setStyleSheet(qApp->styleSheet());
    }
    QDialog::showEvent(event);

    QTimer::singleShot(0, this, [this, target] {
        if (pos() != target)
            move(target);
    });
}

void ConfigWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!paintFooter)
        return;
    const int top = tabWidget->y() + tabWidget->height() - 1;
    QPainter painter(this);
    painter.fillRect(QRect(0, top, width(), height() - top), palette().brush(QPalette::Current, QPalette::Link));
}

void ConfigWidget::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
}

ConfigWidgetDragHelper* ConfigWidget::getDragHelper() const
{
    return dragHelper;
}
