#include "DeviceConnectionsDialog.h"

#include "AdjustableListView.h"
#include "ConnectionFilterModel.h"
#include "ConnectionListModel.h"
#include "ConnectionStyledDelegate.h"
#include "CreateConnectionOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "LineEditWithKeyboard.h"
#include "ReadonlyBracket.h"
#include "RemoveConnectionOperation.h"
#include "RunningCommands.h"
#include "TouchScrollMaker.h"

#include <QApplication>
#include <QCheckBox>
#include <QDebug>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpacerItem>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

DeviceConnectionsDialog::AnswerHook& answerHook()
{
    static DeviceConnectionsDialog::AnswerHook hook;
    return hook;
}

QString colourText(const QColor& colour)
{
    return QStringLiteral("rgb(%1, %2, %3);").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

qreal pointSizeOf(const QFont& font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

qreal applicationPointSize()
{
    return pointSizeOf(QApplication::font());
}

QScreen* screenFor(const QWidget* widget)
{
    if (QScreen* screen = QGuiApplication::screenAt(widget->pos()))
        return screen;
    return widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
}

// How tall the pair list and the conversion list may grow by themselves: about 480 px, but never
// so much that the dialog's minimum height alone would pass nine tenths of a small screen.
int listHeightCap(const QWidget* dialog)
{
    const QWidget* anchor = dialog->parentWidget() ? dialog->parentWidget() : dialog;
    const QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 1080;
    return qMin(480, screenHeight * 9 / 20);
}

// The manager may repeat a pair, or write one differently (an empty parameter list as "()" or
// "(void)"); each pair gets one row, under its first spelling.
QStringList uniquePairTexts(const QStringList& texts)
{
    QStringList unique;
    QSet<QString> seen;
    for (const QString& text : texts) {
        const QString key = ConnectionMeta::isPairText(text) ? ConnectionMeta::fromSignature(text).pairText() : text;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        unique.append(text);
    }
    return unique;
}

struct SignalSlot
{
    QString signal;
    QString slot;
};

// A pair text back to its signal and slot. Texts of existing connections are looked up, so their
// signal and slot are passed on exactly as the manager listed them; any other text comes from a
// row, which only well-formed pair texts become.
bool splitPair(const QString& text, const QHash<QString, SignalSlot>& existing, SignalSlot* pair)
{
    if (existing.contains(text)) {
        *pair = existing.value(text);
        return true;
    }
    if (!ConnectionMeta::isPairText(text))
        return false;
    const int cut = text.indexOf(QLatin1Char('<'));
    pair->slot = text.left(cut);
    pair->signal = text.mid(cut + 1);
    return true;
}

QList<Connection> connectionsBetween(const DeviceInfo& source, const DeviceInfo& target)
{
    QList<Connection> connections;
    for (const Connection& connection : source.outgoingConnections) {
        if (connection.device == target.name)
            connections.append(connection);
    }
    return connections;
}

// The map's own stack goes through the map, as a step of the choice, which runs as one command.
void pushOnStack(DeviceMapWidget* map, QUndoStack& stack, QUndoCommand* operation)
{
    if (&stack != map->getUndoStack()) {
        stack.push(operation);
        return;
    }
    RunningCommands::OwnStep own(map);
    if (!map->pushOperation(operation))
        qWarning().noquote() << "DeviceConnectionsDialog::manageConnections() | WARNING the map is busy, "
                                "connection change dropped |";
}

// New pairs of a link the map does not show make one undoable creation, releasing every pair of
// a link one undoable removal that keeps its bends; anything else goes straight to the manager.
void applyChoice(DeviceMapWidget* map, DeviceManager* manager, QUndoStack& stack, const DeviceInfo& source,
                 const DeviceInfo& target, const QStringList& initial, const QStringList& selected)
{
    if (QSet<QString>(initial.cbegin(), initial.cend()) == QSet<QString>(selected.cbegin(), selected.cend()))
        return;
    // The pairs changed straight on the manager are saved with the choice, once, as an
    // operation saves its step (the operations pushed here save inside this bracket).
    ReadonlyBracket bracket(manager, map);
    QHash<QString, SignalSlot> existing;
    for (const Connection& connection : connectionsBetween(source, target))
        existing.insert(connection.slot + QLatin1Char('<') + connection.signal, {connection.signal, connection.slot});

    QStringList signalList;
    QStringList slotList;
    const bool linkShown = map->getConnection(source.name, target.name);
    for (const QString& text : selected) {
        SignalSlot pair;
        if (initial.contains(text) || !splitPair(text, existing, &pair))
            continue;
        if (linkShown) {
            manager->addConnection(source.name, target.name, pair.signal, pair.slot);
        } else {
            signalList.append(pair.signal);
            slotList.append(pair.slot);
        }
    }
    if (!signalList.isEmpty())
        pushOnStack(map, stack, new CreateConnectionOperation(map, target.name, source.name, signalList, slotList));

    signalList.clear();
    slotList.clear();
    for (const QString& text : initial) {
        SignalSlot pair;
        if (selected.contains(text) || !splitPair(text, existing, &pair))
            continue;
        if (selected.isEmpty()) {
            signalList.append(pair.signal);
            slotList.append(pair.slot);
        } else {
            manager->removeConnection(source.name, target.name, pair.signal, pair.slot);
        }
    }
    if (!signalList.isEmpty()) {
        const DeviceConnectionItem* link = map->getConnection(source.name, target.name);
        const QList<QPointF> bends = link ? link->getBendingPoints() : QList<QPointF>();
        pushOnStack(map, stack,
                    new RemoveConnectionOperation(map, target.name, source.name, signalList, slotList, bends));
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Building

DeviceConnectionsDialog::DeviceConnectionsDialog(DeviceManager* manager, DeviceInfo sourceInfo, DeviceInfo targetInfo,
                                                 QWidget* parent)
    : QDialog(parent)
    , source(sourceInfo.name)
    , target(targetInfo.name)
    , deviceManager(manager)
{
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setWindowModality(Qt::WindowModal);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    setWindowTitle(tr("Edit connection"));

    for (const Connection& connection : connectionsBetween(sourceInfo, targetInfo))
        initial.append(connection.slot + QLatin1Char('<') + connection.signal);
    // A connection listed twice would stay chosen after one release.
    initial.removeDuplicates();

    QStringList offered;
    collectOfferedPairs(manager, &offered);
    buildPairList(uniquePairTexts(offered));
    buildDisplayTypesBox();
    QSet<TypePair> neededConversions;
    bool everyRowConverts = true;
    measureRowsAndPressExisting(&neededConversions, &everyRowConverts);
    connect(model, SIGNAL(selectionChanged(bool, QModelIndex)), this, SLOT(onSelectionChanged(bool, QModelIndex)));
    connect(pairList, &QAbstractItemView::pressed, this, &DeviceConnectionsDialog::togglePair);
    buildConversionGroup(manager, neededConversions, everyRowConverts);
    buildSearchField();
    tryToDisplayParentheses();
    buildLayout();

    selected = initial;
    adjustSize();
}

DeviceConnectionsDialog::~DeviceConnectionsDialog() = default;

void DeviceConnectionsDialog::collectOfferedPairs(DeviceManager* manager, QStringList* offered)
{
    if (!manager) {
        deviceDisabled = true;
        *offered = initial;
        return;
    }
    QStringList identical;
    QStringList converted;
    manager->findMatchingMethods(source, target, QString(), QString(), &identical, &converted);
    *offered = identical + converted;

    // A device the manager does not know (a lost network peer) cannot be wired either.
    const QSharedPointer<DeviceHandle> sourceHandle = manager->getDeviceHandle(source);
    const QSharedPointer<DeviceHandle> targetHandle = manager->getDeviceHandle(target);
    deviceDisabled = !sourceHandle || !targetHandle || sourceHandle->getState() == BaseDevice::Disabled
        || targetHandle->getState() == BaseDevice::Disabled;
    if (deviceDisabled)
        *offered += initial;
}

void DeviceConnectionsDialog::buildPairList(const QStringList& offered)
{
    pairList = new AdjustableListView(this);
    pairList->setObjectName(QStringLiteral("pairList"));
    model = new ConnectionListModel(this);
    model->setConnectionSignatures(offered);
    TouchScrollMaker::activateTouchScroll(pairList);
    proxy = new ConnectionFilterModel(this);
    proxy->setSourceModel(model);
    pairList->setModel(proxy);
    pairList->setItemDelegate(new ConnectionStyledDelegate(this));
    const QString styleSheet =
        QStringLiteral("QListView{ text-align: center; font-weight: bold; background-color: transparent; } "
                       "QPushButton {font-weight: bold; background-color: %1;} "
                       "QPushButton:checked{background-color: %2;}");
    pairList->setStyleSheet(styleSheet.arg(colourText(Qt::darkGray), colourText(Qt::darkGreen)));
    pairList->setSelectionMode(QAbstractItemView::MultiSelection);
    pairList->setFocusPolicy(Qt::NoFocus);
    const qreal spacing = applicationPointSize() * 0.375;
    pairList->setSpacing(spacing > 1.0 ? int(spacing) : 1);
    pairList->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void DeviceConnectionsDialog::buildDisplayTypesBox()
{
    displayTypes = new QCheckBox(tr("Display types"), this);
    displayTypes->setObjectName(QStringLiteral("displayTypes"));
    const QString indicator = QString::number(qMax(applicationPointSize() * 2.25, 15.0));
    displayTypes->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(indicator));
    connect(displayTypes, &QCheckBox::toggled, this, [this](bool show) {
        model->showTypes(show);
        pairList->updateGeometry();
        adjustSize();
    });
}

void DeviceConnectionsDialog::measureRowsAndPressExisting(QSet<TypePair>* neededConversions, bool* everyRowConverts)
{
    pairList->ensurePolished();
    QStyleOptionViewItem option;
    option.initFrom(pairList);
    option.font = pairList->font();
    option.rect = QRect(0, 0, pairList->viewport()->width(), 0);
    const int cap = listHeightCap(this);
    const int rowGap = 2 * pairList->spacing();
    int total = 0;

    const QSet<QString> existing(initial.cbegin(), initial.cend());
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row);
        if (total <= cap - 1) {
            total += pairList->itemDelegate()->sizeHint(option, index).height() + rowGap;
            pairList->setMinimumHeight(qMin(total, cap) + 2 * pairList->frameWidth());
        }
        const TypePair types = index.data(ConnectionListModel::TypePairRole).value<TypePair>();
        if (types.first != types.second)
            neededConversions->insert(types);
        else
            *everyRowConverts = false;
        if (existing.contains(index.data(ConnectionListModel::SignatureRole).toString()))
            model->setData(index, QVariant(), ConnectionListModel::CheckedRole);
    }
}

void DeviceConnectionsDialog::buildConversionGroup(DeviceManager* manager, const QSet<TypePair>& neededConversions,
                                                   bool everyRowConverts)
{
    if (!manager || neededConversions.isEmpty())
        return;
    conversionList = new QListWidget(this);
    TouchScrollMaker::activateTouchScroll(conversionList);
    QFont smallFont = QApplication::font();
    smallFont.setPointSize(qMax(int(applicationPointSize() * 0.75), 5));
    const QString indicator = QString::number(qMax(pointSizeOf(smallFont) * 2.25, 15.0));
    const QString boxStyle =
        QStringLiteral("QCheckBox{ padding: 5px; } QCheckBox::indicator { width: %1px; height: %1px; }").arg(indicator);
    const int cap = listHeightCap(this);
    int total = 0;

    for (const TypePair& types : manager->getTypeConversions()) {
        // A conversion listed in both directions is one conversion: one box.
        if (!neededConversions.contains(types) || conversionBoxes.contains(types))
            continue;
        auto box = new QCheckBox(QStringLiteral("%1 <> %2").arg(types.first, types.second), conversionList);
        box->setStyleSheet(boxStyle);
        box->setFont(smallFont);
        box->setFocusPolicy(Qt::NoFocus);
        if (everyRowConverts) {
            box->setChecked(true);
            proxy->addFilterConversion(types);
        }
        conversionBoxes.insert(types, box);
        conversionOrder.append(types);
        connect(box, &QCheckBox::toggled, this, [this, types](bool checked) { conversionChecked(checked, types); });

        auto item = new QListWidgetItem(conversionList);
        item->setSizeHint(box->sizeHint());
        conversionList->setItemWidget(item, box);
        if (total <= cap - 1) {
            total += box->sizeHint().height();
            conversionList->setFixedHeight(total + 2 * conversionList->frameWidth());
        }
    }
    if (conversionBoxes.isEmpty()) {
        delete conversionList;
        conversionList = nullptr;
        return;
    }
    conversionList->setStyleSheet(
        QStringLiteral("QListWidget{ padding: 0px; margin: 0px; background-color: transparent; }"));
    conversionList->setMaximumWidth(conversionList->sizeHintForColumn(0) + 2 * conversionList->frameWidth());

    conversionGroup = new QGroupBox(tr("Possible conversion"), this);
    auto groupLayout = new QVBoxLayout(conversionGroup);
    const int margin = int(applicationPointSize() * 0.2 + 1.0);
    groupLayout->setContentsMargins(margin, margin, margin, margin);
    groupLayout->addWidget(conversionList);
    groupLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::MinimumExpanding));
    const QString groupStyle =
        QStringLiteral("QGroupBox{ border: 1px solid %1; border-radius: 2px; margin-top: 1.5em; padding: 1px; }"
                       "QGroupBox::title{ subcontrol-origin: margin; top: 0em; left: 0em; padding: 2px; color: %1; }");
    conversionGroup->setStyleSheet(groupStyle.arg(palette().color(QPalette::WindowText).name()));
    conversionGroup->setFont(QApplication::font());
}

void DeviceConnectionsDialog::buildSearchField()
{
    auto field = new LineEditWithKeyboard(this, tr("Input text"));
    field->setObjectName(QStringLiteral("search"));
    field->setPlaceholderText(tr("Search..."));
    field->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    connect(field, &QLineEdit::textChanged, this, &DeviceConnectionsDialog::setSearchText);
    search = field;
}

void DeviceConnectionsDialog::buildLayout()
{
    auto grid = new QGridLayout(this);
    const int top = deviceDisabled ? 1 : 0;
    if (deviceDisabled) {
        auto note = new QLabel(tr("The connection is disabled - perhaps network connection to it is lost\n"
                                  "or the connection may contain an unrecognized device."),
                               this);
        note->setObjectName(QStringLiteral("disabledNote"));
        note->setAlignment(Qt::AlignCenter);
        grid->addWidget(note, 0, 1, Qt::AlignCenter);
    }
    grid->addWidget(displayTypes, top, 0);
    grid->addWidget(search, top, 1);
    if (conversionGroup)
        grid->addWidget(conversionGroup, top, 2, 2, 1, Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(pairList, top + 1, 1, 3, 1);
    grid->addWidget(new QLabel(source, this), top + 2, 0, Qt::AlignCenter);
    grid->addWidget(new QLabel(target, this), top + 2, 2, Qt::AlignCenter);

    ok = new QPushButton(tr("Ok"), this);
    ok->setEnabled(!deviceDisabled);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    cancel = new QPushButton(tr("Cancel"), this);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(ok, top + 4, 0);
    grid->addWidget(cancel, top + 4, 2);
}

// ---------------------------------------------------------------------------------------------
// Reacting to the user

void DeviceConnectionsDialog::setSearchText(const QString& text)
{
    // Every word in the typed order, anything between them: "chan set" finds
    // "changed(int) > set(int)" but not "set(int) > changed(int)".
    QString pattern;
    for (const QString& word : text.simplified().split(QLatin1Char(' ')))
        pattern += QStringLiteral("(.*)") + QRegularExpression::escape(word);
    QRegularExpression expression(pattern, QRegularExpression::CaseInsensitiveOption);
    expression.optimize();
    proxy->setFilterRegularExpression(expression);
}

void DeviceConnectionsDialog::togglePair(const QModelIndex& proxyIndex)
{
    model->setData(proxy->mapToSource(proxyIndex), QVariant(), ConnectionListModel::CheckedRole);
}

void DeviceConnectionsDialog::onSelectionChanged(bool isSelected, QModelIndex index)
{
    const QString pair = index.data(ConnectionListModel::SignatureRole).toString();
    if (isSelected)
        selected.append(pair);
    else
        selected.removeOne(pair);
}

void DeviceConnectionsDialog::conversionChecked(bool checked, TypePair types)
{
    if (checked)
        proxy->addFilterConversion(types);
    else
        proxy->removeFilterConversion(types);
    tryToDisplayParentheses();
}

void DeviceConnectionsDialog::tryToDisplayParentheses()
{
    bool typesNeeded = false;
    QSet<QString> names;
    for (int row = 0; row < proxy->rowCount() && !typesNeeded; ++row) {
        const ConnectionMeta pair = model->connectionAt(proxy->mapToSource(proxy->index(row, 0)).row());
        const QString text = pair.first.name + QStringLiteral(" > ") + pair.second.name;
        typesNeeded = names.contains(text);
        names.insert(text);
    }
    displayTypes->setChecked(typesNeeded);
    model->showTypes(typesNeeded);
}

void DeviceConnectionsDialog::adjustSize()
{
    QSize size = sizeHint();
    if (const QScreen* screen = screenFor(this)) {
        const QRect area = screen->geometry();
        size = QSize(qMin(area.width() * 9 / 10, size.width()), qMin(area.height() * 9 / 10, size.height()));
    }
    resize(size);
}

// ---------------------------------------------------------------------------------------------
// Queries

QString DeviceConnectionsDialog::sourceName() const
{
    return source;
}

QString DeviceConnectionsDialog::targetName() const
{
    return target;
}

QStringList DeviceConnectionsDialog::offeredPairs() const
{
    QStringList pairs;
    for (int row = 0; row < model->rowCount(); ++row)
        pairs.append(model->connectionAt(row).pairText());
    return pairs;
}

QStringList DeviceConnectionsDialog::visiblePairs() const
{
    QStringList pairs;
    for (int row = 0; row < proxy->rowCount(); ++row)
        pairs.append(proxy->index(row, 0).data(ConnectionListModel::SignatureRole).toString());
    return pairs;
}

QStringList DeviceConnectionsDialog::initialPairs() const
{
    return initial;
}

QStringList DeviceConnectionsDialog::selectedPairs() const
{
    return selected;
}

bool DeviceConnectionsDialog::isDeviceDisabled() const
{
    return deviceDisabled;
}

QList<TypePair> DeviceConnectionsDialog::conversions() const
{
    return conversionOrder;
}

QCheckBox* DeviceConnectionsDialog::conversionBox(const TypePair& types) const
{
    return conversionBoxes.value(types);
}

QCheckBox* DeviceConnectionsDialog::displayTypesBox() const
{
    return displayTypes;
}

QLineEdit* DeviceConnectionsDialog::searchField() const
{
    return search;
}

QListView* DeviceConnectionsDialog::pairListView() const
{
    return pairList;
}

QPushButton* DeviceConnectionsDialog::okButton() const
{
    return ok;
}

bool DeviceConnectionsDialog::pressPair(const QString& pairText)
{
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const QModelIndex index = proxy->index(row, 0);
        if (index.data(ConnectionListModel::SignatureRole).toString() == pairText) {
            togglePair(index);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Running

int DeviceConnectionsDialog::exec()
{
    // A copy: the hook may install another one while it answers.
    const AnswerHook hook = answerHook();
    if (hook) {
        // Whatever the hook does may take the parent, and this dialog with it, away.
        const QPointer<DeviceConnectionsDialog> self(this);
        const Answer answer = hook(*this);
        if (!self)
            return QDialog::Rejected;
        switch (answer) {
        case Answer::Accept:
            // As for a user: with "Ok" disabled the dialog can only be cancelled.
            if (ok->isEnabled())
                accept();
            else
                reject();
            return result();
        case Answer::Reject:
            reject();
            return result();
        case Answer::RunModal:
            break;
        }
    }
    return QDialog::exec();
}

QStringList DeviceConnectionsDialog::getConnections(DeviceManager* manager, DeviceInfo source, DeviceInfo target,
                                                    QWidget* parent)
{
    // The parent, and the dialog with it, may be deleted while the dialog runs.
    QPointer<DeviceConnectionsDialog> dialog = new DeviceConnectionsDialog(manager, source, target, parent);
    const QStringList initial = dialog->initial;
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return initial;
    const QStringList result = accepted ? dialog->selected : initial;
    delete dialog;
    return result;
}

QStringList DeviceConnectionsDialog::manageConnections(DeviceManager* manager, DeviceInfo source, DeviceInfo target,
                                                       QUndoStack& stack, QWidget* parent)
{
    QPointer<DeviceMapWidget> map = qobject_cast<DeviceMapWidget*>(parent);
    if (!map) {
        qWarning().noquote() << "DeviceConnectionsDialog::manageConnections() | WARNING parent is not a device map, "
                                "nothing is applied |";
        return getConnections(manager, source, target, parent);
    }
    QPointer<DeviceManager> guardedManager = manager;
    QPointer<DeviceConnectionsDialog> dialog = new DeviceConnectionsDialog(manager, source, target, parent);
    const QStringList initial = dialog->initial;
    // No choice asked for that would be refused.
    if (!RunningCommands::mayBegin(map, "DeviceConnectionsDialog::manageConnections()")) {
        delete dialog;
        return initial;
    }
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return initial;
    const QStringList selected = dialog->selected;
    delete dialog;
    if (!accepted)
        return initial;
    if (!map || !guardedManager) {
        qWarning().noquote() << "DeviceConnectionsDialog::manageConnections() | WARNING the map or the manager went "
                                "away, nothing is applied |";
        return initial;
    }
    // The direct calls and the pushes of the choice are one command, refused as a whole inside another.
    const RunningCommands::Entry command(map, "DeviceConnectionsDialog::manageConnections()");
    if (!command.hasBegun())
        return initial;
    applyChoice(map, guardedManager, stack, source, target, initial, selected);
    return selected;
}

DeviceConnectionsDialog::AnswerHook DeviceConnectionsDialog::setAnswerHook(AnswerHook hook)
{
    AnswerHook previous = std::move(answerHook());
    answerHook() = std::move(hook);
    return previous;
}

DeviceConnectionsDialog::AnswerGuard::AnswerGuard(Answer answer)
    : AnswerGuard(AnswerHook([answer](DeviceConnectionsDialog&) { return answer; }))
{
}

DeviceConnectionsDialog::AnswerGuard::AnswerGuard(const QStringList& pairsToToggle)
    : AnswerGuard(AnswerHook([pairsToToggle](DeviceConnectionsDialog& dialog) {
        for (const QString& pair : pairsToToggle) {
            if (!dialog.pressPair(pair)) {
                qWarning().noquote() << "DeviceConnectionsDialog::AnswerGuard | WARNING no visible row" << pair
                                     << "| cancelled";
                return Answer::Reject;
            }
        }
        return Answer::Accept;
    }))
{
}

DeviceConnectionsDialog::AnswerGuard::AnswerGuard(AnswerHook hook)
    : m_decide(std::move(hook))
{
    m_previous = setAnswerHook([this](DeviceConnectionsDialog& dialog) {
        m_requests.append({dialog.sourceName(), dialog.targetName(), dialog.offeredPairs(), dialog.visiblePairs(),
                           dialog.initialPairs(), dialog.isDeviceDisabled()});
        return m_decide ? m_decide(dialog) : Answer::RunModal;
    });
}

DeviceConnectionsDialog::AnswerGuard::~AnswerGuard()
{
    setAnswerHook(std::move(m_previous));
}

int DeviceConnectionsDialog::AnswerGuard::count() const
{
    return m_requests.size();
}

QList<DeviceConnectionsDialog::AnswerGuard::Request> DeviceConnectionsDialog::AnswerGuard::requests() const
{
    return m_requests;
}
