#pragma once

#include "CaseInsensetiveDictionary.h"
#include "Config.h"
#include "Singleton.h"
#include "dozerozozu_export.h"

#include <QString>
#include <QStringList>

/**
 * The configuration store backed by one YAML file, held as a tree of nested nodes.
 *
 * A path such as "a/b" names node b inside node a; it is split at every '/' and empty
 * parts are ordinary (empty) names. Node names and keys match in any letter case and are
 * written back in the case they were first given. Every value is text.
 *
 * The process-wide instance is Singleton<YamlConfig>::instance(); the host loads it with
 * parseConfig(), users change it through the Config interface and call saveConfig().
 * Lives on the GUI thread; no lock of its own.
 *
 * Loading throws a std::runtime_error for a file that is malformed or not of the store's
 * format; the tree is then left as it was before the call.
 *
 * A refused file is never written over. The store still takes its path as the file it saves
 * to (a host that catches the error and goes on saves where it meant to), but the first save
 * that writes renames the refused file first, to "<path>_refused" or, when that is taken,
 * "<path>_refused_2", "<path>_refused_3" and so on (a rename never overwrites), with the
 * warning "YamlConfig::saveConfig() | WARNING the file was refused when loaded, kept aside |"
 * followed by both paths. When it cannot be renamed, that save writes nothing and returns
 * false; so does every save that would keep a refused file aside once "<path>_refused" to
 * "<path>_refused_1000" are all taken, until some of them are removed. A file that exists but
 * cannot be read, or is no regular file (a pipe, a device), is kept aside the same way.
 *
 * A reload replaces the top-level entries the file names and takes the whole tree for saved:
 * a change made before it is lost, or written only with the next change.
 */
class DOZEROZOZU_EXPORT YamlConfig : public Config
{
    Q_OBJECT

public:
    /// One entry of the tree: an inner node (a YAML mapping) or a leaf (a scalar).
    struct DOZEROZOZU_EXPORT ConfigNode
    {
        bool isNode = true;
        /// In the letter case of the file or of the caller that created it.
        QString name;
        /// A leaf's text; empty for inner nodes.
        QString value;
        /// Keyed by name, found in any letter case, iterated in ascending stored-key order.
        CaseInsensetiveDictionary<ConfigNode> children;
    };

    explicit YamlConfig(QObject* parent = nullptr);
    ~YamlConfig() override;

    /**
     * Loads the file at path into the tree, first letting a backup beside it
     * ("<name>_??????_??????.backup", the last by name) replace it when at least as large,
     * unless skipBackupCheck: the backup is moved into the file's place, and the file is kept
     * beside it under the first free name of "<path>_corrupted", "<path>_corrupted_2" and on
     * (with "_1000" taken as well, the backup is not used). A backup that does not read as a
     * configuration (junk, a list, too large) leaves the file alone, with the warning
     * "YamlConfig::parseConfig() | WARNING backup does not read as a configuration, left alone |"
     * naming the backup and why. Whenever there is a backup, the warning
     * "Found backup file while loading " names the file, says whether the backup was used and
     * why not, and ends with the backup's path, or where the file was kept.
     * Top-level entries the file names replace those in the tree; others stay. Returns the
     * number of leaves read, 0 for a missing file or one that holds no entry (empty, comments
     * only, "---" alone, "~"); such a file still becomes the one saved to.
     * A path that is not a regular file (a pipe, a device) is not opened: the warning
     * "YamlConfig::parseConfig() | WARNING cannot read file |" with "not a regular file", and 0.
     * A file that is not valid YAML, not of the store's format, beyond the bounds of outside
     * YAML text (nesting deeper than 64 levels, more nodes than half the file's size in bytes
     * plus 16,384, aliases and tags that stand for more than 4 MiB plus 8 bytes per byte of
     * the file), larger than 16 MiB, or whose entries would take more than 16 MiB
     * once written back, throws a std::runtime_error whose what() names the line and column
     * and what was found, leaving the tree, the snapshot and the changed flag as they were.
     * The store's format is one document, a mapping whose values are texts or mappings of the
     * same kind: a document that is a text or a list, a list, an empty value, a key that is not
     * text and a second document with content are refused, since a save would lose them.
     * Bytes that are not UTF-8 and raw control characters are read as U+FFFD, with a warning.
     * A key given twice in one mapping (in any letter case: "Torque" and "torque" are one key)
     * is taken once, with the later value and the later spelling, counted as one leaf, and
     * warned of with "YamlConfig::parseConfig() | WARNING key given twice, the later one taken |",
     * the key ("/motor|speed"), its later line and the file; the next save that writes drops the
     * earlier one (a save with no change writes nothing, so the warning comes at every load
     * until then). Past 100 such keys, one more warning gives the number of the others.
     * The merge key "<<" is an ordinary key here: "<<: *base" is read as a node named "<<"
     * holding base's entries, not merged into its parent.
     * The path is remembered even when the file is refused; see the class comment.
     */
    int parseConfig(const QString& path, bool skipBackupCheck = false);
    /**
     * Writes the tree to the file when it differs from what was last loaded or saved,
     * atomically, logging the changes (a value longer than 80 characters by its head and its
     * length), then emits configChanged(). Returns false when a needed save failed (logged;
     * the file, the changed flag and the snapshot stay as they were); true when the file was
     * written or nothing needed writing.
     * Nothing is written that the next parseConfig() refuses: a tree larger than 16 MiB once
     * written fails the save, with its largest entries named in the log.
     * A text the file cannot give back exactly (U+0000 and what follows it, a lone surrogate,
     * a noncharacter) is written as far as it can be, with a warning naming its key; an entry
     * the file cannot hold at all (two names that became one, an entry nested deeper than 64
     * levels) is left out of the file with a warning, and the rest is saved all the same.
     * A file that began with a byte-order mark keeps it. A file refused at loading is kept
     * aside before the first write (see the class comment).
     */
    bool saveConfig();

    QString getParam(const QString& key, const QString& path, const QString& defaultValue = QString(),
                     bool storeDefault = false) override;
    /// A new leaf is a change whatever its value; so is another value of an existing one.
    bool setParam(const QString& key, const QString& value, const QString& path, bool apply) override;
    /// Removes the inner node at path with its subtree; does not apply.
    bool removeNode(const QString& path) override;
    /// Removes the leaf key of node path and applies.
    bool removeParam(const QString& key, const QString& path) override;
    /// Renames the inner node at oldNodePath within its parent; newNodeName is one name.
    bool renameNode(const QString& oldNodePath, const QString& newNodeName) override;
    /// Names of all top-level entries, inner nodes and leaves alike, in no defined order.
    QStringList getNodes() override;
    /// Names of the inner nodes directly below path, in key order.
    QStringList getNodes(const QString& path);
    /// Names of the leaves directly below path, in key order.
    QStringList getParams(const QString& path) override;

    /// Writes the whole tree to the debug log.
    void printDump();
    /// Adds the number of leaves in the subtree of node to count (1 for a leaf).
    void countKeys(const ConfigNode& node, int& count);

private:
    /// Lists the leaves below node missing from otherRoot and, when modified is given, those whose value differs.
    void compare(const ConfigNode& node, const ConfigNode& otherRoot, const QStringList& ancestors,
                 QStringList* missing, QStringList* modified);
    const ConfigNode* findKey(const ConfigNode& otherRoot, const QStringList& ancestors, const QString& name);
    void logChanges();
    void printNode(const ConfigNode& node, int depth);
    void recoverFromBackup(const QString& path);
    /// Renames the refused file out of the way; false when it is still there.
    bool keepRefusedFileAside();

    ConfigNode savedRoot;
    ConfigNode root;
    /// The file last loaded began with a byte-order mark.
    bool byteOrderMark = false;
    /// The file at `file` was refused (or could not be read): it holds what the tree does not.
    bool fileRefused = false;
};

extern template class Singleton<YamlConfig>;
