#pragma once

#include "WidgetPosition.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <memory>

class BaseWidget;
class ControlDisposal;
class QGridLayout;
class QToolButton;

/**
 * The dashboard grid: lays out the device widgets of one area at the cells
 * their positions name and fills the holes between them with placeholders.
 * Every row and column that holds a cell takes an equal share of the room (a
 * widget wider than its share keeps its size), so a spanning widget shows its
 * span and an empty cell its size; an empty cell keeps at least room for its "+".
 *
 * In edit mode small tool buttons let the user add a widget of a device type at
 * a free or new cell ("+"), swap neighbours, and open a per-widget menu ("...")
 * to open the device's settings, expand or shrink the widget by one cell, or
 * remove it. Adding, removing and opening settings are only requested, through
 * the signals, from the WidgetManager; swapping, expanding and shrinking are
 * done here through BaseWidget::setPosition(), which also writes the place into
 * the device's parameters; placesChanged() then tells whoever keeps the places
 * (WidgetManager saves them).
 *
 * Each edit-mode button's object name names its cells, "add:row,column",
 * "swap:row,column:row,column" or "settings:row,column", for tests and style
 * sheets; buttons discarded by a rebuild lose their names at once. A button is
 * never deleted while its click runs, whatever runs meanwhile (menus, a host's
 * modal box on one of the signals, another rebuild): buttons discarded then are
 * deleted once the click has returned. The signals may run the host's event
 * loops, and the host may even delete the grid in them. The menus run through
 * ModalRunner::execMenu(), so tests answer them with ModalRunner::MenuAnswerGuard.
 *
 * Made parentless by WidgetManager::getWidgetsArea(); the host embeds and owns
 * it. Device widgets shown on the grid are its children; when the area is
 * destroyed it hands them back parentless to their manager. GUI thread only.
 */
class DOZEROZOZU_EXPORT DeviceWidgetArea : public QWidget
{
    Q_OBJECT

public:
    DeviceWidgetArea(const QList<QPointer<BaseWidget>>& widgets, const QStringList& widgetTypes,
                     QWidget* parent = nullptr);
    ~DeviceWidgetArea() override;

    bool isEditingEnabled() const;
    /// The hosted widgets, in the order they were given or added.
    QList<QPointer<BaseWidget>> getWidgets() const;
    /// The device types the add menu offers, sorted.
    QStringList getWidgetTypes() const;

    /// Hosts widget and rebuilds the grid.
    void addWidget(BaseWidget* widget);
    /// Drops every entry for widget (for null: every entry whose widget is gone), deletes it later and rebuilds the grid.
    void removeWidget(BaseWidget* widget);

Q_SIGNALS:
    /// The user chose a device type to add at the cell (row, column).
    void newWidgetRequested(QString type, int row, int column);
    void widgetSettingsRequested(QString deviceName);
    void removeWidgetRequested(QString deviceName);
    /// The user gave widgets new places (swap, expand, shrink, or a shift that makes room); their devices hold them.
    void placesChanged();
    /// Edit mode was switched on or off.
    void editingEnabledChanged(bool enabled);

public Q_SLOTS:
    void toggleEditingEnabled();
    void setEditingEnabled(bool enabled);
    /// Exchanges the widgets at the cells of the clicked swap button.
    void swapWidgets();
    /// Offers the device types for the cell of the clicked "+" button.
    void addWidget();
    /// Offers settings, expanding, shrinking and removal for the widget of the clicked "..." button.
    void settingsClicked();
    /// Rebuilds the grid from the widgets' positions and fills its holes with placeholders.
    void updateLayout();
    /// Rebuilds the edit-mode buttons for the current grid.
    void updateControls();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum MenuEntry {
        SettingsEntry,
        ExpandRightEntry,
        ExpandLeftEntry,
        ExpandUpEntry,
        ExpandDownEntry,
        ShrinkRightEntry,
        ShrinkLeftEntry,
        ShrinkUpEntry,
        ShrinkDownEntry,
        RemoveEntry,
    };

    void takeOldGrid();
    void placeWidgets();
    void addPlaceholders();
    void addPlaceholder(const QPoint& cell);
    /// Gives every row and column that holds a cell an equal share of the room.
    void shareSpaceAmongCells();
    void adjustSizes();
    void showPlacedWidgets();
    void clearControls();
    QToolButton* makeButton(int size, const QString& text, const QString& name, const char* slot);
    /// A "+" button of the given size at topLeft that offers a new widget at cell.
    void addAddButton(int size, const QPoint& topLeft, const QPoint& cell);
    void addPlaceholderButtons();
    void addEdgeButtons();
    void addSwapAndSettingsButtons();
    void placeSwapAndSettingsButtons();
    QWidget* widgetAt(const QPoint& cell) const;
    bool isFreeCell(int row, int column) const;
    /// Moves every placed widget one row (rows true) or one column down or right.
    void shiftWidgets(bool rows);
    QString deviceNameOf(BaseWidget* widget) const;

    QGridLayout* grid = nullptr;
    QStringList widgetTypes;
    bool editingEnabled = false;
    QList<QPointer<BaseWidget>> widgets;
    QMap<QToolButton*, QPair<QPoint, QPoint>> swapButtons;
    QMap<QToolButton*, QPoint> addButtons;
    QMap<QToolButton*, QPoint> settingsButtons;
    QSet<QWidget*> placeholders;
    std::unique_ptr<ControlDisposal> disposal;
};
