#pragma once

#include "ConfigOption.h"
#include "dozerozozu_export.h"

#include <QDialog>
#include <QMap>
#include <QVector>

class ConfigWidgetDragHelper;
class QGridLayout;
class QLayout;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

/**
 * The generic modal settings dialog: tabs of scrollable pages holding titled groups,
 * one row per ConfigOption (label left, editor right).
 *
 * Options are shown or hidden by their enabling conditions, saved on "Save" or, when
 * built with saveOnChange, on every change; one "Restart required." notice is shown per
 * save when any restart-bound option changed, then each option's store is applied. The
 * dialog fits itself into 90 % of its screen and keeps 20 pixels from the edges each
 * time it is shown, and can be dragged by its background. Owns every widget it shows
 * through Qt's parent chain. GUI thread only.
 *
 *     ConfigWidget dialog(false, parent, false);
 *     dialog.addOption(ConfigOption(config, tr("Name"), "name", ConfigOption::Text, false, "device", ""),
 *                      tr("Device"), {}, {});
 *     dialog.exec();
 */
class DOZEROZOZU_EXPORT ConfigWidget : public QDialog
{
    Q_OBJECT
public:
    ConfigWidget(bool saveOnChange, QWidget* parent = nullptr, bool paintFooter = false);
    ~ConfigWidget() override;

    /// Closes the current page with a spacer and opens a new tab; returns its index.
    int newTab(QString title);
    void newGroup(QString title);
    void addSpacer();
    /// The next addSpacer() (from newTab or a show) adds nothing.
    void skipSpacer();

    void addOption(ConfigOption option, QGridLayout* grid, Qt::Alignment labelAlignment,
                   Qt::Alignment editorAlignment);
    void addOption(ConfigOption option, Qt::Alignment labelAlignment, Qt::Alignment editorAlignment);
    /// Adds to the group titled `group`, opening a tab and a group of that title first when none exists.
    void addOption(ConfigOption option, const QString& group, Qt::Alignment labelAlignment,
                   Qt::Alignment editorAlignment);
    void addWidget(QWidget* widget, Qt::Alignment alignment);
    void addWidget(QWidget* widget, QString label, Qt::Alignment labelAlignment, Qt::Alignment widgetAlignment);
    void addLayout(QLayout* layout, Qt::Alignment alignment);

    /// The first option with exactly this key; an empty option (empty key) when none has it.
    ConfigOption getConfigOption(QString key);
    bool checkParamEnabledCondition(ConfigOption option);
    void setConditionalOptionsVisibility();

    QTabWidget* getTabWidget() const;
    QPushButton* getSaveButton() const;
    QPushButton* getCloseButton() const;
    /// Layout of the page opened by the last newTab(): a subclass puts its own widgets
    /// above or between the groups through it. Null before the first tab.
    QVBoxLayout* getCurrentPageLayout() const;
    /// Grid of the group opened by the last newGroup(); null before the first group.
    QGridLayout* getCurrentGroupLayout() const;
    QVector<ConfigOption> getOptions() const;
    ConfigWidgetDragHelper* getDragHelper() const;

public Q_SLOTS:
    /// Writes every option, shows one restart notice when needed, then applies the stores; those
    /// that still exist are applied even when the dialog is deleted meanwhile.
    virtual void save();

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void optionChanged();

private:
    void ensureTabAndGroup();
    void fitPagesWidth();

    QGridLayout* currentGroupLayout = nullptr;
    QVBoxLayout* currentPageLayout = nullptr;
    QTabWidget* tabWidget = nullptr;
    QWidget* currentPage = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* closeButton = nullptr;
    QVector<ConfigOption> options;
    QMap<QString, QGridLayout*> groups;
    int tabCount = 0;
    int groupCount = 0;
    bool saveOnChange = false;
    bool skipNextSpacer = false;
    bool paintFooter = false;
    ConfigWidgetDragHelper* dragHelper = nullptr;
};
