#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class Config;
class Notifier;
class QAbstractItemModel;
class QAbstractSpinBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QWidget;

/**
 * One setting of a ConfigWidget: a value of a Config store, addressed by key and node
 * path, bound to a label and an editor of one of eleven kinds.
 *
 * A value object: copies share the same widgets, the same store and the same Notifier,
 * whose paramChanged() announces every change of the editor. The widgets are created
 * without a parent and adopted by the dialog that lays them out; the option never
 * deletes them. The store is not owned and must outlive every copy. GUI thread only.
 *
 *     ConfigOption speed(config, tr("Speed"), "speed", ConfigOption::Integer, false, "motor", "rpm");
 *     speed << ConfigOption::Range{0, 3000};
 *     dialog->addOption(speed, {}, {});
 *
 * save() writes only what the user changed: an option whose editor shows the value it
 * showed once built (or after its last write) leaves the stored text exactly as it was,
 * whichever way the editor was touched; any other value is written.
 */
class DOZEROZOZU_EXPORT ConfigOption
{
public:
    enum InputType : int {
        Text = 0,
        Bool = 1,
        Choice = 2,
        Slider = 3,
        Real = 4,
        Integer = 5,
        CheckList = 6,
        Colour = 7,
        EditableChoice = 8,
        File = 9,
        HexInteger = 10
    };

    struct Range
    {
        double min;
        double max;
    };

    ConfigOption();
    ConfigOption(Config* config, QString label, QString key, InputType inputType, bool restartRequired,
                 QString path, QString unit);
    ConfigOption(const ConfigOption& other);
    ConfigOption& operator=(const ConfigOption& other);
    ~ConfigOption();

    /// An item whose text and stored value are both `item` (Choice, EditableChoice, CheckList).
    ConfigOption& operator<<(const QString& item);
    ConfigOption& operator<<(const QStringList& items);
    /// An item with stored value `first` and shown text `second`.
    ConfigOption& operator<<(const QPair<QString, QString>& item);
    ConfigOption& operator<<(const QList<QPair<QString, QString>>& items);
    /// The editor's range (Integer, HexInteger, Real, Slider); the stored value is read again.
    ConfigOption& operator<<(const Range& range);

    void setModel(QAbstractItemModel* model);
    void setToolTip(QString text);
    void setEnabledConditions(QMap<QString, QStringList> conditions);
    void addEnabledConditions(QString key, QStringList values);

    /// The editor's value as stored text; `valid` (may be null) is false only for an
    /// invalid colour.
    QString getCurrentParamValue(bool* valid);
    /// Writes the edited value into the store without applying it. Returns true when the
    /// option needs a restart and the stored text differs both from the text read at build
    /// time and from the text its set-up (range, items) left in the store.
    bool save();
    /// Whether the editor's value differs from what it showed once built or last written.
    bool isEdited() const;

    static void openScreenNumpadDialog(QAbstractSpinBox* box);
    static void openScreenKeyboardDialog(QLineEdit* edit);
    static void openCodeEditorDialog(QTextEdit* edit);

    QWidget* getEditorWidget() const;
    QLabel* getLabelWidget() const;
    Notifier* getNotifier() const;
    QString getUnit() const;
    bool isRestartRequired() const;
    InputType getInputType() const;
    QString getInitialValue() const;
    QString getKey() const;
    QString getPath() const;
    QMap<QString, QStringList> getEnabledConditions() const;
    Config* getConfig() const;

private:
    struct EditState;

    void buildEditor(const QString& suffix);
    void buildHexEditor();
    void addItem(const QString& value, const QString& text, bool pair);
    void configured();
    QString editorValue(bool* valid) const;
    int storedHexValue(const QString& text) const;

    QWidget* editorWidget = nullptr;
    std::shared_ptr<Notifier> notifier;
    QLabel* labelWidget = nullptr;
    QString unit;
    bool restartRequired = false;
    InputType inputType = Text;
    QString initialValue;
    QString key;
    QString path;
    QMap<QString, QStringList> enabledConditions;
    Config* config = nullptr;
    std::shared_ptr<EditState> editState;
};
