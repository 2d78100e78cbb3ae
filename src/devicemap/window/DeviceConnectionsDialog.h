#pragma once

#include "DeviceInfo.h"
#include "TypePair.h"
#include "dozerozozu_export.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>

class AdjustableListView;
class ConnectionFilterModel;
class ConnectionListModel;
class DeviceManager;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QUndoStack;

/**
 * Lets the user choose which signals of a sending device drive which slots of a receiving
 * device. Every pair the device manager's findMatchingMethods() offers is a row, shown as a
 * push button that is pressed while the pair is chosen; existing pairs start pressed. Pairs
 * whose parameter types differ stay hidden until their conversion is allowed in the
 * "Possible conversion" boxes (when every pair needs one, all are allowed at once). A search
 * field filters by words in order, and parameter types are shown when two visible pairs would
 * otherwise read the same. With a disabled device the dialog only lists and can only be
 * cancelled.
 *
 * The static functions build the dialog, run it modally and delete it; the map view calls
 * manageConnections() when the user draws or clicks a link. GUI thread only.
 *
 *     const QStringList chosen = DeviceConnectionsDialog::manageConnections(
 *         manager, manager->getDeviceInfo(source), manager->getDeviceInfo(target), *map->getUndoStack(), map);
 *
 * Answering the dialog without a user (tests, automated hosts)
 * ------------------------------------------------------------
 * Every modal run (exec(), and so both static functions) first asks the installed answer hook.
 * The hook gets the fully built dialog, not shown, and may press rows (pressPair()), type a
 * search or tick conversion boxes through the accessors below, then returns:
 *  - Answer::Accept: "Ok" is pressed; when "Ok" is disabled (a disabled device) nothing can be
 *    accepted and the run ends as cancelled, as it would for a user;
 *  - Answer::Reject: "Cancel" is pressed;
 *  - Answer::RunModal: the hook declines and the real modal dialog runs.
 * Without a hook (the default) the real modal dialog runs.
 *
 *     DeviceConnectionsDialog::AnswerGuard choose({"setA(double)<valueChanged(double)"}); // toggles, then Ok
 *     DeviceConnectionsDialog::AnswerGuard cancel(DeviceConnectionsDialog::Answer::Reject);
 *     DeviceConnectionsDialog::AnswerGuard custom([](DeviceConnectionsDialog& dialog) {
 *         dialog.searchField()->setText("chan set");
 *         return DeviceConnectionsDialog::Answer::Accept;
 *     });
 *     ...
 *     QCOMPARE(choose.requests().first().offered, expectedPairs);
 *
 * Guards nest: the innermost one answers; its destructor restores the hook before it.
 */
class DOZEROZOZU_EXPORT DeviceConnectionsDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Answer { RunModal, Accept, Reject };
    using AnswerHook = std::function<Answer(DeviceConnectionsDialog& dialog)>;

    /// Installs an answer hook while it lives and records each dialog it was asked about.
    class DOZEROZOZU_EXPORT AnswerGuard
    {
    public:
        /// The dialog as the hook found it, before answering.
        struct Request
        {
            QString source;
            QString target;
            QStringList offered;
            QStringList visible;
            QStringList initial;
            bool deviceDisabled = false;
        };

        explicit AnswerGuard(Answer answer);
        /// Toggles the visible rows with these pair texts in order (pressing or releasing them),
        /// then accepts; when one of them is not a visible row it logs a warning and cancels.
        explicit AnswerGuard(const QStringList& pairsToToggle);
        explicit AnswerGuard(AnswerHook hook);
        ~AnswerGuard();
        AnswerGuard(const AnswerGuard&) = delete;
        AnswerGuard& operator=(const AnswerGuard&) = delete;

        int count() const;
        QList<Request> requests() const;

    private:
        AnswerHook m_decide;
        AnswerHook m_previous;
        QList<Request> m_requests;
    };

    /// Builds the whole dialog for the link from source (signal side) to target (slot side).
    DeviceConnectionsDialog(DeviceManager* manager, DeviceInfo source, DeviceInfo target, QWidget* parent = nullptr);
    ~DeviceConnectionsDialog() override;

    /// Runs the dialog; the chosen pair texts when accepted, else the existing ones. Changes nothing.
    static QStringList getConnections(DeviceManager* manager, DeviceInfo source, DeviceInfo target, QWidget* parent);
    /**
     * Runs the dialog with the map view as parent and applies the change: new pairs of a link
     * the map does not show become one CreateConnectionOperation, releasing every pair one
     * RemoveConnectionOperation with the link's bending points (both pushed on stack), any
     * other change direct addConnection() / removeConnection() calls. Returns the chosen pair
     * texts when accepted, else the existing ones. A parent that is not a DeviceMapWidget
     * gets getConnections() and nothing is applied (logged). While another command of the map
     * runs, the choice is refused as a whole (logged): the existing ones, and nothing applied.
     */
    static QStringList manageConnections(DeviceManager* manager, DeviceInfo source, DeviceInfo target,
                                         QUndoStack& stack, QWidget* parent);
    /// Prefer AnswerGuard, which puts the previous hook back by itself.
    static AnswerHook setAnswerHook(AnswerHook hook);

    QString sourceName() const;
    QString targetName() const;
    /// Every row's pair text, in row order (duplicates and malformed texts left out).
    QStringList offeredPairs() const;
    /// The pair texts of the rows the search and the conversion rule let through.
    QStringList visiblePairs() const;
    /// The pairs that existed when the dialog opened.
    QStringList initialPairs() const;
    /// The pairs chosen now.
    QStringList selectedPairs() const;
    /// A device is disabled or unknown to the manager: "Ok" is disabled.
    bool isDeviceDisabled() const;
    /// The conversions that have a box, in the manager's order.
    QList<TypePair> conversions() const;
    /// The box of a conversion (either order), or null.
    QCheckBox* conversionBox(const TypePair& types) const;
    QCheckBox* displayTypesBox() const;
    QLineEdit* searchField() const;
    QListView* pairListView() const;
    QPushButton* okButton() const;
    /// Toggles the visible row of pairText as a press on it does; false when no visible row has it.
    bool pressPair(const QString& pairText);

    /// Resizes to the size hint, at most nine tenths of the screen the dialog is on.
    void adjustSize();
    /// Consults the answer hook (see the class comment), then runs modally.
    int exec() override;

public Q_SLOTS:
    /// Follows the model: a pressed row's pair is appended to the chosen pairs, a released one removed.
    void onSelectionChanged(bool selected, QModelIndex index);
    /// Allows or forbids a conversion, then decides again whether types are shown.
    void conversionChecked(bool checked, TypePair types);

protected Q_SLOTS:
    /// Shows parameter types exactly when two visible rows would read alike without them.
    void tryToDisplayParentheses();

private:
    void collectOfferedPairs(DeviceManager* manager, QStringList* offered);
    void buildPairList(const QStringList& offered);
    void buildDisplayTypesBox();
    void measureRowsAndPressExisting(QSet<TypePair>* neededConversions, bool* everyRowConverts);
    void buildConversionGroup(DeviceManager* manager, const QSet<TypePair>& neededConversions, bool everyRowConverts);
    void buildSearchField();
    void buildLayout();
    void setSearchText(const QString& text);
    void togglePair(const QModelIndex& proxyIndex);

    ConnectionListModel* model = nullptr;
    ConnectionFilterModel* proxy = nullptr;
    QMap<TypePair, QCheckBox*> conversionBoxes;
    QCheckBox* displayTypes = nullptr;
    QStringList selected;
    QStringList initial;

    QString source;
    QString target;
    bool deviceDisabled = false;
    QList<TypePair> conversionOrder;
    AdjustableListView* pairList = nullptr;
    QLineEdit* search = nullptr;
    QListWidget* conversionList = nullptr;
    QGroupBox* conversionGroup = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPointer<DeviceManager> deviceManager;
};
