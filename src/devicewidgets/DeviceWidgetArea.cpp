#include "DeviceWidgetArea.h"

#include "BaseGuiDevice.h"
#include "BaseWidget.h"
#include "ControlDisposal.h"
#include "ModalRunner.h"

#include <QAction>
#include <QDebug>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

/// Rows and columns the grid may have at most.
const int MaxGridExtent = 256;

/// Width and height an empty cell keeps at the least: room for its 32 px "+" clear of the
/// 16 px swap buttons that sit on its edges.
const int PlaceholderMinimumSize = 48;

// Cells are kept as QPoint(row, column).
int rowOf(const QPoint& cell)
{
    return cell.x();
}

int columnOf(const QPoint& cell)
{
    return cell.y();
}

QString cellText(const QPoint& cell)
{
    return QStringLiteral("%1,%2").arg(rowOf(cell)).arg(columnOf(cell));
}

std::tuple<int, int, int, int> cellPairKey(const QPoint& first, const QPoint& second)
{
    return std::make_tuple(rowOf(first), columnOf(first), rowOf(second), columnOf(second));
}

QPoint centreOf(const QRect& rect)
{
    return QPoint((rect.left() + rect.right()) / 2, (rect.top() + rect.bottom()) / 2);
}

} // namespace

DeviceWidgetArea::DeviceWidgetArea(const QList<QPointer<BaseWidget>>& widgets, const QStringList& widgetTypes,
                                   QWidget* parent)
    : QWidget(parent)
    , widgetTypes(widgetTypes)
    , widgets(widgets)
    , disposal(std::make_unique<ControlDisposal>())
{
    std::sort(this->widgetTypes.begin(), this->widgetTypes.end());
    updateLayout();
}

DeviceWidgetArea::~DeviceWidgetArea()
{
    // The device widgets belong to their manager, which shows them again on the
    // next grid it makes; they must not die with this one.
    for (const QPointer<BaseWidget>& widget : qAsConst(widgets)) {
        if (widget && widget->parentWidget() == this)
            widget->setParent(nullptr);
    }
    // Deleted by a host's slot inside a click: the clicked button outlives the grid until its click returns.
    disposal->release(addButtons.keys() + swapButtons.keys() + settingsButtons.keys());
}

bool DeviceWidgetArea::isEditingEnabled() const
{
    return editingEnabled;
}

QList<QPointer<BaseWidget>> DeviceWidgetArea::getWidgets() const
{
    return widgets;
}

QStringList DeviceWidgetArea::getWidgetTypes() const
{
    return widgetTypes;
}

void DeviceWidgetArea::addWidget(BaseWidget* widget)
{
    widgets.append(widget);
    updateLayout();
}

void DeviceWidgetArea::removeWidget(BaseWidget* widget)
{
    widgets.erase(std::remove_if(widgets.begin(), widgets.end(),
                                 [widget](const QPointer<BaseWidget>& entry) { return entry.data() == widget; }),
                  widgets.end());
    if (widget)
        widget->deleteLater();
    updateLayout();
}

void DeviceWidgetArea::toggleEditingEnabled()
{
    setEditingEnabled(!editingEnabled);
}

void DeviceWidgetArea::setEditingEnabled(bool enabled)
{
    const bool changed = editingEnabled != enabled;
    editingEnabled = enabled;
    setAttribute(Qt::WA_MouseTracking, enabled);
    updateControls();
    update();
    if (changed)
        Q_EMIT editingEnabledChanged(enabled);
}

void DeviceWidgetArea::updateLayout()
{
    takeOldGrid();
    grid = new QGridLayout;
    placeWidgets();
    addPlaceholders();
    shareSpaceAmongCells();
    setLayout(grid);
    showPlacedWidgets();
    adjustSizes();
    QMetaObject::invokeMethod(this, "updateControls", Qt::QueuedConnection);
}

void DeviceWidgetArea::takeOldGrid()
{
    QLayout* old = layout();
    if (!old)
        return;
    while (QLayoutItem* item = old->takeAt(0)) {
        QWidget* widget = item->widget();
        if (widget && placeholders.contains(widget))
            delete widget;
        delete item;
    }
    placeholders.clear();
    delete old;
    grid = nullptr;
}

void DeviceWidgetArea::placeWidgets()
{
    QSet<BaseWidget*> placed;
    for (const QPointer<BaseWidget>& widget : qAsConst(widgets)) {
        if (!widget || placed.contains(widget))
            continue;
        const WidgetPosition pos = widget->getPosition();
        if (!pos.isPlaced())
            continue;
        // A span read from a parameter that is no number comes as 0, which the
        // grid would take as "to the edge"; one cell is the sane reading.
        const int rowspan = std::max(1, pos.rowspan);
        const int colspan = std::max(1, pos.colspan);
        // Every rebuild walks all cells, so a place typed far out in a device's
        // parameters would stall the GUI; such a widget is left off the grid.
        if (qint64(pos.row) + rowspan > MaxGridExtent || qint64(pos.column) + colspan > MaxGridExtent) {
            qWarning().noquote() << "DeviceWidgetArea: widget" << widget->objectName()
                                 << "lies beyond the grid's last cell and is not shown";
            continue;
        }
        grid->addWidget(widget, pos.row, pos.column, rowspan, colspan);
        placed.insert(widget);
    }
}

void DeviceWidgetArea::addPlaceholders()
{
    // A hole is a free cell in a row and a column that both hold a widget. A row
    // or column without any widget stays collapsed, as the grid would draw it,
    // rather than being padded with empty cells.
    QSet<int> usedRows;
    QSet<int> usedColumns;
    QList<QPoint> freeCells;
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (grid->itemAtPosition(row, column)) {
                usedRows.insert(row);
                usedColumns.insert(column);
            } else {
                freeCells.append(QPoint(row, column));
            }
        }
    }

    for (const QPoint& cell : qAsConst(freeCells)) {
        if (!usedRows.contains(rowOf(cell)) || !usedColumns.contains(columnOf(cell)))
            continue;
        addPlaceholder(cell);
    }

    const bool hasLiveWidget = std::any_of(widgets.cbegin(), widgets.cend(),
                                           [](const QPointer<BaseWidget>& widget) { return !widget.isNull(); });
    if (grid->rowCount() == 1 && grid->columnCount() == 1 && !hasLiveWidget)
        addPlaceholder(QPoint(0, 0));
}

void DeviceWidgetArea::addPlaceholder(const QPoint& cell)
{
    auto placeholder = new QWidget;
    placeholder->setMinimumSize(PlaceholderMinimumSize, PlaceholderMinimumSize);
    grid->addWidget(placeholder, rowOf(cell), columnOf(cell));
    placeholders.insert(placeholder);
}

void DeviceWidgetArea::shareSpaceAmongCells()
{
    // Without stretch factors a grid gives room beyond the size hints to expanding
    // widgets only (a slider, say): an empty cell shrank to nothing, and a column held
    // by nothing but a spanning widget with it, so that the widget looked one column
    // wide. Equal factors on every row and column that holds a cell give each cell an
    // equal share; a row or column without any stays collapsed.
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (grid->itemAtPosition(row, column)) {
                grid->setRowStretch(row, 1);
                grid->setColumnStretch(column, 1);
            }
        }
    }
}

void DeviceWidgetArea::showPlacedWidgets()
{
    // A widget taken off the grid stays our child; left visible it would keep
    // drawing itself at its old place.
    for (const QPointer<BaseWidget>& widget : qAsConst(widgets)) {
        if (!widget)
            continue;
        if (grid->indexOf(widget) >= 0)
            widget->show();
        else if (widget->parentWidget() == this)
            widget->hide();
    }
    // Shown now rather than on the layout's deferred show, so that the sizes set
    // next count the empty cells too.
    for (QWidget* placeholder : qAsConst(placeholders))
        placeholder->show();
}

void DeviceWidgetArea::adjustSizes()
{
    grid->invalidate();
    setMinimumSize(grid->minimumSize());
    grid->activate();
    updateGeometry();
    if (QWidget* parent = parentWidget()) {
        parent->updateGeometry();
        if (QWidget* grandparent = parent->parentWidget())
            grandparent->setMinimumSize(grid->minimumSize());
    }
}

void DeviceWidgetArea::updateControls()
{
    clearControls();
    if (!editingEnabled) {
        update();
        return;
    }
    if (!grid)
        return;

    updateGeometry();
    grid->activate();
    addPlaceholderButtons();
    addEdgeButtons();
    addSwapAndSettingsButtons();
    placeSwapAndSettingsButtons();
    update();
}

void DeviceWidgetArea::clearControls()
{
    // The buttons go at once from sight, from the maps and from their names (findChild() by
    // name must find the live one); the clicked one may still be up the stack, under an event
    // loop run by a menu or by a host's slot, and is deleted only once its click is over.
    auto discard = [this](QToolButton* button) {
        button->hide();
        button->setObjectName(QString());
        disposal->discard(button);
    };
    for (QToolButton* button : addButtons.keys())
        discard(button);
    for (QToolButton* button : swapButtons.keys())
        discard(button);
    for (QToolButton* button : settingsButtons.keys())
        discard(button);
    addButtons.clear();
    swapButtons.clear();
    settingsButtons.clear();
}

QToolButton* DeviceWidgetArea::makeButton(int size, const QString& text, const QString& name, const char* slot)
{
    auto button = new QToolButton(this);
    button->setFixedSize(size, size);
    button->setText(text);
    button->setAccessibleName(name);
    button->setToolTip(name);
    connect(button, SIGNAL(clicked(bool)), this, slot);
    return button;
}

void DeviceWidgetArea::addAddButton(int size, const QPoint& topLeft, const QPoint& cell)
{
    QToolButton* button = makeButton(size, QStringLiteral("+"), tr("Add widget"), SLOT(addWidget()));
    button->move(topLeft);
    button->show();
    addButtons.insert(button, cell);
    button->setObjectName(QStringLiteral("add:") + cellText(cell));
}

void DeviceWidgetArea::addPlaceholderButtons()
{
    for (QWidget* placeholder : qAsConst(placeholders)) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(grid->indexOf(placeholder), &row, &column, &rowSpan, &columnSpan);
        addAddButton(32, centreOf(placeholder->geometry()) - QPoint(16, 16), QPoint(row, column));
    }
}

void DeviceWidgetArea::addEdgeButtons()
{
    const int rowCount = grid->rowCount();
    const int columnCount = grid->columnCount();
    for (int row = 0; row < rowCount; ++row) {
        QWidget* last = widgetAt(QPoint(row, columnCount - 1));
        if (!last)
            continue;
        addAddButton(16, QPoint(width() - 16, centreOf(last->geometry()).y() - 8), QPoint(row, columnCount));
        if (QWidget* first = widgetAt(QPoint(row, 0)))
            addAddButton(16, QPoint(0, centreOf(first->geometry()).y() - 8), QPoint(row, -1));
    }
    for (int column = 0; column < columnCount; ++column) {
        QWidget* last = widgetAt(QPoint(rowCount - 1, column));
        if (!last)
            continue;
        addAddButton(16, QPoint(centreOf(last->geometry()).x() - 8, height() - 16), QPoint(rowCount, column));
        if (QWidget* first = widgetAt(QPoint(0, column)))
            addAddButton(16, QPoint(centreOf(first->geometry()).x() - 8, 0), QPoint(-1, column));
    }
}

void DeviceWidgetArea::addSwapAndSettingsButtons()
{
    std::set<std::tuple<int, int, int, int>> swappedPairs;
    const QIcon swapIcon = style()->standardIcon(QStyle::SP_BrowserReload);
    for (int index = 0; index < grid->count(); ++index) {
        QWidget* widget = grid->itemAt(index)->widget();
        if (!widget || placeholders.contains(widget))
            continue;
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        const QPoint cell(row, column);
        const QPoint neighbours[] = {QPoint(row - 1, column), QPoint(row, column - 1), QPoint(row, column + 1),
                                     QPoint(row + 1, column)};
        for (const QPoint& neighbour : neighbours) {
            QWidget* other = widgetAt(neighbour);
            if (!other || other == widget)
                continue;
            if (swappedPairs.count(cellPairKey(cell, neighbour)) || swappedPairs.count(cellPairKey(neighbour, cell)))
                continue;
            swappedPairs.insert(cellPairKey(cell, neighbour));
            QToolButton* button = makeButton(16, QString(), tr("Swap widgets"), SLOT(swapWidgets()));
            button->setIcon(swapIcon);
            swapButtons.insert(button, qMakePair(cell, neighbour));
            button->setObjectName(QStringLiteral("swap:") + cellText(cell) + QLatin1Char(':') + cellText(neighbour));
        }
        QToolButton* button = makeButton(16, QStringLiteral("..."), tr("Widget menu"), SLOT(settingsClicked()));
        settingsButtons.insert(button, cell);
        button->setObjectName(QStringLiteral("settings:") + cellText(cell));
    }
}

void DeviceWidgetArea::placeSwapAndSettingsButtons()
{
    for (auto it = swapButtons.cbegin(); it != swapButtons.cend(); ++it) {
        QWidget* first = widgetAt(it.value().first);
        QWidget* second = widgetAt(it.value().second);
        const QRect meeting = first->geometry().adjusted(-10, -10, 10, 10)
                                  .intersected(second->geometry().adjusted(-10, -10, 10, 10));
        QToolButton* button = it.key();
        button->move(centreOf(meeting) - QPoint(button->width() / 2, button->height() / 2));
        button->show();
    }
    for (auto it = settingsButtons.cbegin(); it != settingsButtons.cend(); ++it) {
        QToolButton* button = it.key();
        button->move(centreOf(widgetAt(it.value())->geometry()) - QPoint(button->width() / 2, button->height() / 2));
        button->show();
    }
}

QWidget* DeviceWidgetArea::widgetAt(const QPoint& cell) const
{
    if (!grid)
        return nullptr;
    QLayoutItem* item = grid->itemAtPosition(rowOf(cell), columnOf(cell));
    return item ? item->widget() : nullptr;
}

bool DeviceWidgetArea::isFreeCell(int row, int column) const
{
    QWidget* widget = widgetAt(QPoint(row, column));
    return !widget || placeholders.contains(widget);
}

void DeviceWidgetArea::shiftWidgets(bool rows)
{
    // Only placed widgets move: an unplaced one shows (-1, -1) because its device
    // is not initialised, and writing a shifted copy of that would overwrite the
    // place the device keeps.
    for (const QPointer<BaseWidget>& widget : qAsConst(widgets)) {
        if (!widget)
            continue;
        WidgetPosition pos = widget->getPosition();
        if (!pos.isPlaced())
            continue;
        if (rows)
            ++pos.row;
        else
            ++pos.column;
        widget->setPosition(pos);
    }
}

QString DeviceWidgetArea::deviceNameOf(BaseWidget* widget) const
{
    if (BaseGuiDevice* device = widget->getDevice())
        return device->getObjectName();
    return widget->getObjectName();
}

void DeviceWidgetArea::swapWidgets()
{
    const ControlDisposal::ClickScope click(*disposal);
    auto button = qobject_cast<QToolButton*>(sender());
    if (!button || !swapButtons.contains(button))
        return;
    const QPoint cellA = swapButtons.value(button).first;
    const QPoint cellB = swapButtons.value(button).second;
    auto widgetA = qobject_cast<BaseWidget*>(widgetAt(cellA));
    auto widgetB = qobject_cast<BaseWidget*>(widgetAt(cellB));

    if (widgetA && widgetB) {
        const WidgetPosition posA = widgetA->getPosition();
        widgetA->setPosition(widgetB->getPosition());
        widgetB->setPosition(posA);
    } else if (widgetA) {
        widgetA->setPosition(WidgetPosition(rowOf(cellB), columnOf(cellB), 1, 1));
    } else if (widgetB) {
        widgetB->setPosition(WidgetPosition(rowOf(cellA), columnOf(cellA), 1, 1));
    }
    updateLayout();
    if (widgetA || widgetB)
        Q_EMIT placesChanged();
}

void DeviceWidgetArea::addWidget()
{
    const ControlDisposal::ClickScope click(*disposal);
    auto button = qobject_cast<QToolButton*>(sender());
    if (!button || !addButtons.contains(button))
        return;
    const QPoint target = addButtons.value(button);
    const QPoint menuPos = button->mapToGlobal(button->rect().center());

    QMenu menu;
    for (const QString& type : qAsConst(widgetTypes)) {
        QString label = type;
        if (!label.isEmpty())
            label[0] = label[0].toUpper();
        // The label is for the eye; the request must carry the type as registered.
        menu.addAction(label)->setData(type);
    }
    // The host may delete the area while the menu's own event loop runs.
    QPointer<DeviceWidgetArea> self(this);
    QAction* chosen = ModalRunner::execMenu(&menu, menuPos);
    if (!chosen || !self)
        return;

    int row = rowOf(target);
    int column = columnOf(target);
    const bool shift = row == -1 || column == -1;
    if (row == -1) {
        shiftWidgets(true);
        row = 0;
    }
    if (column == -1) {
        shiftWidgets(false);
        column = 0;
    }
    const QString type = chosen->data().toString();
    // The shift is told first: the request may fail and leave the shifted places alone.
    if (shift)
        Q_EMIT placesChanged();
    // Each signal may run the host's event loops, in which the host may delete the grid.
    if (!self)
        return;
    Q_EMIT newWidgetRequested(type, row, column);
    if (shift && self)
        updateLayout();
}

void DeviceWidgetArea::settingsClicked()
{
    const ControlDisposal::ClickScope click(*disposal);
    auto button = qobject_cast<QToolButton*>(sender());
    if (!button || !settingsButtons.contains(button))
        return;
    QPointer<BaseWidget> widget = qobject_cast<BaseWidget*>(widgetAt(settingsButtons.value(button)));
    if (!widget)
        return;
    const QPoint menuPos = button->mapToGlobal(button->rect().center());
    const WidgetPosition pos = widget->getPosition();

    QMenu menu;
    auto addEntry = [this](QMenu* target, QStyle::StandardPixmap icon, const QString& text, MenuEntry entry,
                           bool enabled) {
        QAction* action = target->addAction(style()->standardIcon(icon), text);
        action->setData(int(entry));
        action->setEnabled(enabled);
    };
    addEntry(&menu, QStyle::SP_FileDialogDetailedView, tr("Settings"), SettingsEntry, true);
    QMenu* expand = menu.addMenu(tr("Expand"));
    addEntry(expand, QStyle::SP_ArrowRight, tr("Expand rightward"), ExpandRightEntry,
             isFreeCell(pos.row, pos.column + pos.colspan));
    addEntry(expand, QStyle::SP_ArrowLeft, tr("Expand leftward"), ExpandLeftEntry, isFreeCell(pos.row, pos.column - 1));
    addEntry(expand, QStyle::SP_ArrowUp, tr("Expand upward"), ExpandUpEntry, isFreeCell(pos.row - 1, pos.column));
    addEntry(expand, QStyle::SP_ArrowDown, tr("Expand downward"), ExpandDownEntry,
             isFreeCell(pos.row + pos.rowspan, pos.column));
    QMenu* shrink = menu.addMenu(tr("Shrink"));
    addEntry(shrink, QStyle::SP_ArrowRight, tr("Shrink rightward"), ShrinkRightEntry, pos.colspan >= 2);
    addEntry(shrink, QStyle::SP_ArrowLeft, tr("Shrink leftward"), ShrinkLeftEntry, pos.colspan >= 2);
    addEntry(shrink, QStyle::SP_ArrowUp, tr("Shrink upward"), ShrinkUpEntry, pos.rowspan >= 2);
    addEntry(shrink, QStyle::SP_ArrowDown, tr("Shrink downward"), ShrinkDownEntry, pos.rowspan >= 2);
    addEntry(&menu, QStyle::SP_BrowserStop, tr("Remove"), RemoveEntry, true);

    QPointer<DeviceWidgetArea> self(this);
    QAction* chosen = ModalRunner::execMenu(&menu, menuPos);
    if (!chosen || !chosen->isEnabled() || !widget || !self)
        return;

    const QString deviceName = deviceNameOf(widget);
    WidgetPosition newPos = widget->getPosition();
    bool shifted = false;
    switch (MenuEntry(chosen->data().toInt())) {
    case SettingsEntry:
        Q_EMIT widgetSettingsRequested(deviceName);
        break;
    case ExpandRightEntry:
        ++newPos.colspan;
        break;
    case ExpandLeftEntry:
        if (newPos.column == 0) {
            shiftWidgets(false);
            shifted = true;
            newPos = widget->getPosition();
        }
        --newPos.column;
        ++newPos.colspan;
        break;
    case ExpandUpEntry:
        if (newPos.row == 0) {
            shiftWidgets(true);
            shifted = true;
            newPos = widget->getPosition();
        }
        --newPos.row;
        ++newPos.rowspan;
        break;
    case ExpandDownEntry:
        ++newPos.rowspan;
        break;
    case ShrinkRightEntry:
        ++newPos.column;
        --newPos.colspan;
        break;
    case ShrinkLeftEntry:
        --newPos.colspan;
        break;
    case ShrinkUpEntry:
        --newPos.rowspan;
        break;
    case ShrinkDownEntry:
        ++newPos.row;
        --newPos.rowspan;
        break;
    case RemoveEntry:
        Q_EMIT removeWidgetRequested(deviceName);
        break;
    }
    // The two requests may run the host's event loops, in which the host may delete the grid.
    if (!self)
        return;
    // "Settings" and "Remove" leave the place as it is; the device, possibly on
    // its way out, is not written to for nothing.
    const bool moved = widget && newPos != widget->getPosition();
    if (moved)
        widget->setPosition(newPos);
    updateLayout();
    if (moved || shifted)
        Q_EMIT placesChanged();
}

void DeviceWidgetArea::mouseMoveEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
}

void DeviceWidgetArea::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!editingEnabled || !grid)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    for (int index = 0; index < grid->count(); ++index) {
        if (QWidget* widget = grid->itemAt(index)->widget())
            painter.drawRect(widget->geometry().adjusted(-2, -2, 2, 2));
    }
}

void DeviceWidgetArea::resizeEvent(QResizeEvent* event)
{
    updateControls();
    QWidget::resizeEvent(event);
}
