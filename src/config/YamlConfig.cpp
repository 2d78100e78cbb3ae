#include "YamlConfig.h"

#include "BoundedFileRead.h"
#include "SafeFileWriter.h"
#include "YamlConfigFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <stdexcept>
#include <string>
#include <sys/stat.h>

template class Singleton<YamlConfig>;

namespace {

using ConfigNode = YamlConfig::ConfigNode;

bool configNodesEqual(const ConfigNode& first, const ConfigNode& second);

// Pairs the children in key order and compares their names, not the dictionary keys.
bool configNodeChildrenEqual(const ConfigNode& first, const ConfigNode& second)
{
    if (first.children.isSharedWith(second.children))
        return true;
    if (first.children.size() != second.children.size())
        return false;
    auto other = second.children.constBegin();
    for (auto child = first.children.constBegin(); child != first.children.constEnd(); ++child, ++other) {
        if (!configNodesEqual(child.value(), other.value()))
            return false;
    }
    return true;
}

bool configNodesEqual(const ConfigNode& first, const ConfigNode& second)
{
    return first.isNode == second.isNode && first.name == second.name && first.value == second.value
        && configNodeChildrenEqual(first, second);
}

QString indentedName(const QString& name, int depth)
{
    return QString(qMax(depth, 0), QLatin1Char('-')) + name;
}

const ConfigNode* childNamed(const ConfigNode& parent, const QString& name)
{
    if (!parent.children.contains(name))
        return nullptr;
    const auto child = parent.children.constFind(parent.children.storedKey(name));
    return child == parent.children.constEnd() ? nullptr : &child.value();
}

enum class WalkEnd { Reached, MissingName, MetLeaf };

// Follows names down from start without changing anything; nullptr when the walk fails.
const ConfigNode* findNode(const ConfigNode& start, const QStringList& names, WalkEnd* end)
{
    const ConfigNode* current = &start;
    for (const QString& name : names) {
        const ConfigNode* child = childNamed(*current, name);
        if (!child) {
            *end = WalkEnd::MissingName;
            return nullptr;
        }
        if (!child->isNode) {
            *end = WalkEnd::MetLeaf;
            return nullptr;
        }
        current = child;
    }
    *end = WalkEnd::Reached;
    return current;
}

// Follows names down from start, creating missing inner nodes when asked; nullptr when the walk fails.
ConfigNode* walkNode(ConfigNode& start, const QStringList& names, bool createMissing, WalkEnd* end)
{
    ConfigNode* current = &start;
    for (const QString& name : names) {
        if (!current->children.contains(name)) {
            if (!createMissing) {
                *end = WalkEnd::MissingName;
                return nullptr;
            }
            ConfigNode created;
            created.name = name;
            current = &current->children.insert(name, created).value();
            continue;
        }
        ConfigNode* child = &current->children[name];
        if (!child->isNode) {
            *end = WalkEnd::MetLeaf;
            return nullptr;
        }
        current = child;
    }
    *end = WalkEnd::Reached;
    return current;
}

ConfigNode leafNode(const QString& name, const QString& value)
{
    ConfigNode leaf;
    leaf.isNode = false;
    leaf.name = name;
    leaf.value = value;
    return leaf;
}

QStringList splitPath(const QString& path)
{
    return path.split(QLatin1Char('/'));
}

enum class ChildKind { Node, Leaf };

// Names of the children of one kind below path; a leaf as the path's last name simply has none.
QStringList childNames(const ConfigNode& root, const QString& path, ChildKind kind, const char* invalidPathWarning)
{
    const QStringList names = splitPath(path);
    WalkEnd end = WalkEnd::Reached;
    const ConfigNode* node = findNode(root, names, &end);
    if (!node) {
        if (end == WalkEnd::MetLeaf && findNode(root, names.mid(0, names.size() - 1), &end))
            return QStringList();
        qDebug() << invalidPathWarning << path;
        return QStringList();
    }
    QStringList result;
    for (auto child = node->children.constBegin(); child != node->children.constEnd(); ++child) {
        if (child.value().isNode == (kind == ChildKind::Node))
            result.append(child.value().name);
    }
    return result;
}

// At most one byte more than a configuration file may hold, so that a larger one is told.
bool readFileContent(const QString& path, QByteArray* content, QString* error)
{
    QFile input(path);
    if (!BoundedFileRead::openRegularFile(input, error))
        return false;
    if (BoundedFileRead::read(input, YamlConfigFile::maxFileSize, content))
        return true;
    *error = QStringLiteral("cannot read: ") + input.errorString();
    return false;
}

// How many names a file may be kept aside under: <path><suffix>, then _2 up to this.
const int keptAsideNames = 1000;

// The first free name of path + suffix, path + suffix + "_2", ...: a rename never overwrites,
// so whatever was kept aside before stays. Returns the name taken; empty when path is still
// there.
QString moveAsideUnderFreeName(const QString& path, const QString& suffix)
{
    for (int attempt = 1; attempt <= keptAsideNames; ++attempt) {
        const QString aside = path + suffix + (attempt == 1 ? QString() : QStringLiteral("_%1").arg(attempt));
        if (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink())
            continue;
        return QFile::rename(path, aside) ? aside : QString();
    }
    return QString();
}

// A changed value may be megabytes long: the log shows its head and how long it is.
QString loggedValue(const QString& value)
{
    const int shownLength = 80;
    if (value.size() <= shownLength)
        return value;
    // Never half a surrogate pair.
    const int headLength = value.at(shownLength - 1).isHighSurrogate() ? shownLength - 1 : shownLength;
    return value.left(headLength) + QStringLiteral("... (%1 characters)").arg(value.size());
}

bool readsAsConfiguration(const QString& path, QByteArray* content, QString* reason)
{
    if (!readFileContent(path, content, reason))
        return false;
    try {
        YamlConfigFile::read(*content);
    } catch (const std::exception& error) {
        *reason = QString::fromUtf8(error.what());
        return false;
    }
    return true;
}

// Whether both paths lead to one file.
bool sameFile(const QString& first, const QString& second)
{
    struct stat firstStatus;
    struct stat secondStatus;
    return ::stat(QFile::encodeName(first).constData(), &firstStatus) == 0
        && ::stat(QFile::encodeName(second).constData(), &secondStatus) == 0
        && firstStatus.st_dev == secondStatus.st_dev && firstStatus.st_ino == secondStatus.st_ino;
}

// Puts what the backup holds at path, where nothing is. A backup that is a link is read, not
// moved: in the file's place it would have every later save write through it into the file it
// names, outside the store's folder. What it held was read and checked already, so that is
// what is written; the link goes, as a renamed backup would, and what it names stays as it was.
bool putBackupInPlace(const QString& backup, const QString& path, const QByteArray& content)
{
    if (!QFileInfo(backup).isSymLink())
        return QFile::rename(backup, path);
    // As the rename, never over anything that came meanwhile.
    const QFileInfo target(path);
    QString error;
    if (target.exists() || target.isSymLink() || !SafeFileWriter::writeFile(path, content, &error)) {
        qWarning() << "YamlConfig::parseConfig() | WARNING cannot write the backup's content |" << path << error;
        return false;
    }
    if (!QFile::remove(backup))
        qWarning() << "YamlConfig::parseConfig() | WARNING cannot remove the backup link |" << backup;
    return true;
}

// Puts backup in path's place, keeping the file aside. Returns what was done, for the log;
// *named becomes the path that line ends with when it is not the backup's.
const char* restoreBackup(const QString& path, const QString& backup, QString* named)
{
    const QFileInfo fileInfo(path);
    // A link to the file holds nothing the file does not, and still names it after every save.
    // (A hard link does not: the first save gives the file a new inode, and leaves the backup
    // holding the old text, so that one is taken up as any other.)
    if (QFileInfo(backup).isSymLink() && sameFile(backup, path))
        return "| backup not used, it is the file itself |";
    const qint64 currentSize = fileInfo.exists() ? fileInfo.size() : 0;
    if (QFileInfo(backup).size() < currentSize)
        return "| backup not used, smaller than the file |";
    // Size alone says nothing of content: junk must not push a good file aside.
    QByteArray content;
    QString unreadable;
    if (!readsAsConfiguration(backup, &content, &unreadable)) {
        qWarning() << "YamlConfig::parseConfig() | WARNING backup does not read as a configuration, left alone |"
                   << backup << unreadable;
        return "| backup not used, it does not read as a configuration |";
    }

    // Neither rename overwrites; if the backup cannot take the file's place, the file goes back.
    const bool fileThere = fileInfo.exists() || fileInfo.isSymLink();
    const QString corrupted = fileThere ? moveAsideUnderFreeName(path, QStringLiteral("_corrupted")) : QString();
    if (fileThere && corrupted.isEmpty()) {
        *named = path;
        return "| backup not used, the file cannot be moved aside |";
    }
    if (!putBackupInPlace(backup, path, content)) {
        if (fileThere && !QFile::rename(corrupted, path))
            qCritical() << "YamlConfig::parseConfig() | ERROR cannot put the file back |" << corrupted;
        return "| backup not used, it cannot take the file's place |";
    }
    if (!fileThere)
        return "| backup used, it took the file's place |";
    *named = corrupted;
    return "| backup used, the file kept as |";
}

} // namespace

YamlConfig::YamlConfig(QObject* parent)
    : Config(parent)
{
}

YamlConfig::~YamlConfig() = default;

int YamlConfig::parseConfig(const QString& path, bool skipBackupCheck)
{
    file = path;
    fileRefused = false;
    if (!skipBackupCheck)
        recoverFromBackup(path);

    if (!QFileInfo::exists(path)) {
        qWarning().noquote() << "Config file " + path + " not found! Falling back to default values";
        return 0;
    }
    // Until the file has been read whole, it holds what the tree does not: the next save must
    // not write over it, whatever leaves this function.
    fileRefused = true;
    QByteArray content;
    QString unreadable;
    if (!readFileContent(path, &content, &unreadable)) {
        qWarning() << "YamlConfig::parseConfig() | WARNING cannot read file |" << path << unreadable;
        return 0;
    }
    if (content.size() > YamlConfigFile::maxFileSize) {
        throw std::runtime_error("YamlConfig::parseConfig(): " + path.toStdString() + " is larger than "
                                + std::to_string(YamlConfigFile::maxFileSize) + " bytes");
    }

    // Read into a tree of its own first: a file that fails half-way must not leave half of it behind.
    const YamlConfigFile::Reading reading = YamlConfigFile::read(content);
    if (reading.replacedCharacters)
        qWarning() << "YamlConfig::parseConfig() | WARNING bytes that are not UTF-8 text read as U+FFFD |" << path;
    for (const YamlConfigFile::RepeatedKey& repeated : reading.repeatedKeys) {
        qWarning() << "YamlConfig::parseConfig() | WARNING key given twice, the later one taken |" << repeated.key
                   << QStringLiteral("line %1").arg(repeated.line) << path;
    }
    if (reading.repeatedKeyCount > reading.repeatedKeys.size()) {
        qWarning() << "YamlConfig::parseConfig() | WARNING more keys given twice, the later ones taken |"
                   << reading.repeatedKeyCount - reading.repeatedKeys.size() << path;
    }
    for (auto entry = reading.tree.children.constBegin(); entry != reading.tree.children.constEnd(); ++entry)
        root.children.insert(entry.key(), entry.value());
    savedRoot = root;
    changed = false;
    byteOrderMark = reading.byteOrderMark;
    fileRefused = false;
    return reading.leafCount;
}

bool YamlConfig::saveConfig()
{
    if (!changed || configNodesEqual(savedRoot, root))
        return true;

    qDebug() << "saving yaml because there are changes:";
    logChanges();

    const QFileInfo fileInfo(file);
    if (fileInfo.exists() && !fileInfo.isWritable()) {
        qWarning() << "YamlConfig::saveConfig() | WARNING file is not writable |" << file;
        return false;
    }

    // One entry the file cannot hold must not keep every other setting from being saved.
    const YamlConfigFile::Writing writing = YamlConfigFile::write(root, byteOrderMark);
    for (const QString& key : writing.altered)
        qWarning() << "YamlConfig::saveConfig() | WARNING value cannot be stored exactly, stored as far as it can be |"
                   << key;
    for (const QString& key : writing.leftOut)
        qWarning() << "YamlConfig::saveConfig() | WARNING entry cannot be stored, left out of the file |" << key;
    for (const QString& key : writing.readBackOtherwise)
        qWarning() << "YamlConfig::saveConfig() | WARNING value reads back otherwise |" << key;
    // A file the next start would refuse loses every setting: the file stays as it was.
    if (!writing.tooLarge.isEmpty()) {
        qCritical() << "YamlConfig::saveConfig() | ERROR the configuration is larger than a file may be, not saved |"
                    << YamlConfigFile::maxFileSize;
        for (const QString& key : writing.tooLarge)
            qCritical() << "YamlConfig::saveConfig() | ERROR entry too large |" << key;
        return false;
    }
    // Checked before the file is replaced: a text that does not read back must never reach the disk.
    if (writing.text.isEmpty()) {
        qCritical() << "YAML configuration file corrupted! Saving aborted.";
        return false;
    }

    if (fileRefused && !keepRefusedFileAside())
        return false;

    QString error;
    if (!SafeFileWriter::writeFile(file, writing.text, &error)) {
        qCritical() << "YamlConfig::saveConfig() | ERROR cannot write file |" << file << error;
        return false;
    }

    // Snapshot first: a listener that changes the store from configChanged() must leave that
    // change pending for the next save, not have it taken for saved.
    savedRoot = root;
    changed = false;
    Q_EMIT configChanged();
    return true;
}

QString YamlConfig::getParam(const QString& key, const QString& path, const QString& defaultValue,
                             bool storeDefault)
{
    if (key.isEmpty()) {
        qDebug() << "YamlConfig::getParam() | WARNING key is empty |" << path + QLatin1Char('|') + key;
        return defaultValue;
    }
    WalkEnd end = WalkEnd::Reached;
    ConfigNode* node = walkNode(root, splitPath(path), storeDefault, &end);
    const ConfigNode* entry = node ? childNamed(*node, key) : nullptr;
    if (!node || (entry && entry->isNode)) {
        qDebug() << "YamlConfig::getParam() | WARNING invalid path |" << path;
        return defaultValue;
    }
    if (entry)
        return entry->value;
    if (storeDefault) {
        node->children.insert(key, leafNode(key, defaultValue));
        changed = true;
    }
    return defaultValue;
}

bool YamlConfig::setParam(const QString& key, const QString& value, const QString& path, bool apply)
{
    if (key.isEmpty()) {
        qDebug() << "YamlConfig::setParam() | WARNING key is empty | " << path + QLatin1Char('|') + key;
        return false;
    }
    WalkEnd end = WalkEnd::Reached;
    ConfigNode* node = walkNode(root, splitPath(path), true, &end);
    if (!node) {
        qDebug() << "YamlConfig::setParam() | WARNING invalid path |" << path;
        return false;
    }
    // A new leaf is a change whatever its value: an empty one must reach the file as well.
    const bool created = !node->children.contains(key);
    if (created)
        node->children.insert(key, leafNode(key, QString()));
    ConfigNode& leaf = node->children[key];
    if (leaf.isNode) {
        qDebug() << "YamlConfig::setParam() | WARNING invalid path |" << path;
        return false;
    }
    if (leaf.value == value && !created)
        return true;
    changedKeys.insert(changedKeyPath(key, path));
    leaf.value = value;
    changed = true;
    if (apply)
        applyConfig();
    return true;
}

bool YamlConfig::removeNode(const QString& path)
{
    const QStringList names = splitPath(path);
    WalkEnd end = WalkEnd::Reached;
    ConfigNode* parent = walkNode(root, names.mid(0, names.size() - 1), false, &end);
    const QString& name = names.last();
    if (!parent || !parent->children.contains(name) || !parent->children.value(name).isNode) {
        qDebug() << "YamlConfig::removeNode(QString path) | WARNING invalid path |" << path;
        return false;
    }
    parent->children.remove(name);
    changed = true;
    return true;
}

bool YamlConfig::removeParam(const QString& key, const QString& path)
{
    WalkEnd end = WalkEnd::Reached;
    ConfigNode* node = walkNode(root, splitPath(path), false, &end);
    if (!node) {
        qDebug() << "YamlConfig::removeParam(QString key, QString path) | WARNING invalid path |" << path;
        return false;
    }
    if (!node->children.contains(key)) {
        qDebug() << "YamlConfig::removeParam(QString key, QString path) | WARNING no such key |"
                 << path + QLatin1Char('|') + key;
        return false;
    }
    if (node->children.value(key).isNode) {
        qDebug() << "YamlConfig::removeParam(QString key, QString path) | WARNING invalid path |"
                 << path + QLatin1Char('|') + key;
        return false;
    }
    node->children.remove(key);
    changedKeys.insert(changedKeyPath(key, path));
    changed = true;
    applyConfig();
    return true;
}

bool YamlConfig::renameNode(const QString& oldNodePath, const QString& newNodeName)
{
    const QStringList names = splitPath(oldNodePath);
    WalkEnd end = WalkEnd::Reached;
    ConfigNode* parent = walkNode(root, names.mid(0, names.size() - 1), false, &end);
    if (!parent) {
        qDebug() << "YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING invalid path |"
                 << oldNodePath;
        return false;
    }
    if (parent->children.contains(newNodeName)) {
        qDebug() << "YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING newNodeName "
                    "already exists |"
                 << oldNodePath;
        return false;
    }
    const QString& oldName = names.last();
    if (!parent->children.contains(oldName) || !parent->children.value(oldName).isNode) {
        qDebug() << "YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING invalid path |"
                 << oldNodePath;
        return false;
    }
    ConfigNode renamed = parent->children.value(oldName);
    parent->children.remove(oldName);
    renamed.name = newNodeName;
    parent->children.insert(newNodeName, renamed);
    changed = true;
    applyConfig();
    return true;
}

QStringList YamlConfig::getNodes()
{
    QStringList names;
    names.reserve(root.children.size());
    for (auto child = root.children.constBegin(); child != root.children.constEnd(); ++child)
        names.append(child.value().name);
    return names;
}

QStringList YamlConfig::getNodes(const QString& path)
{
    return childNames(root, path, ChildKind::Node, "YamlConfig::getNodes(QString path) | WARNING invalid path |");
}

QStringList YamlConfig::getParams(const QString& path)
{
    return childNames(root, path, ChildKind::Leaf, "YamlConfig::getParams(QString path) | WARNING invalid path |");
}

void YamlConfig::printDump()
{
    qDebug() << "=== === CONFIG === ===";
    printNode(root, -1);
    qDebug() << "=== === === === === ===";
}

void YamlConfig::countKeys(const ConfigNode& node, int& count)
{
    if (!node.isNode) {
        ++count;
        return;
    }
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child)
        countKeys(child.value(), count);
}

void YamlConfig::compare(const ConfigNode& node, const ConfigNode& otherRoot, const QStringList& ancestors,
                         QStringList* missing, QStringList* modified)
{
    const QString location = ancestors.isEmpty() ? QString() : QLatin1Char('/') + ancestors.join(QLatin1Char('/'));
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        if (entry.isNode) {
            compare(entry, otherRoot, ancestors + QStringList(entry.name), missing, modified);
            continue;
        }
        const ConfigNode* other = findKey(otherRoot, ancestors, entry.name);
        const QString prefix = location + QLatin1Char('|') + entry.name + QLatin1Char(':');
        if (!other)
            missing->append(prefix + loggedValue(entry.value));
        else if (modified && other->value != entry.value)
            modified->append(prefix + loggedValue(other->value) + QStringLiteral(" -> ") + loggedValue(entry.value));
    }
}

const YamlConfig::ConfigNode* YamlConfig::findKey(const ConfigNode& otherRoot, const QStringList& ancestors,
                                                  const QString& name)
{
    WalkEnd end = WalkEnd::Reached;
    const ConfigNode* parent = findNode(otherRoot, ancestors, &end);
    if (!parent)
        return nullptr;
    const ConfigNode* leaf = childNamed(*parent, name);
    return leaf && !leaf->isNode ? leaf : nullptr;
}

void YamlConfig::logChanges()
{
    // Walking both trees costs more than the rest of a large save; skip it when nobody reads it.
    if (!QLoggingCategory::defaultCategory()->isDebugEnabled())
        return;
    QStringList added;
    QStringList modified;
    QStringList removed;
    compare(root, savedRoot, QStringList(), &added, &modified);
    compare(savedRoot, root, QStringList(), &removed, nullptr);
    const auto logList = [](const char* title, const QStringList& entries) {
        if (entries.isEmpty())
            return;
        qDebug() << title;
        for (const QString& entry : entries)
            qDebug().noquote() << "  " + entry;
    };
    logList(" parameters added:", added);
    logList(" parameters modified:", modified);
    logList(" parameters removed:", removed);
}

void YamlConfig::printNode(const ConfigNode& node, int depth)
{
    if (node.isNode)
        qDebug() << indentedName(node.name, depth) << ":";
    else
        qDebug() << indentedName(node.name, depth) << ":" << node.value;
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child)
        printNode(child.value(), depth + 1);
}

bool YamlConfig::keepRefusedFileAside()
{
    // Nothing to keep: no file is there, or a directory, which no write replaces.
    const QFileInfo refused(file);
    if ((!refused.exists() && !refused.isSymLink()) || refused.isDir()) {
        fileRefused = false;
        return true;
    }
    const QString aside = moveAsideUnderFreeName(file, QStringLiteral("_refused"));
    if (aside.isEmpty()) {
        qCritical() << "YamlConfig::saveConfig() | ERROR the file was refused when loaded and cannot be kept aside, "
                       "not saved |"
                    << file;
        return false;
    }
    qWarning() << "YamlConfig::saveConfig() | WARNING the file was refused when loaded, kept aside |" << file << aside;
    fileRefused = false;
    return true;
}

void YamlConfig::recoverFromBackup(const QString& path)
{
    const QFileInfo fileInfo(path);
    const QStringList backups = fileInfo.absoluteDir().entryList(
        QStringList(fileInfo.fileName() + QStringLiteral("_??????_??????.backup")), QDir::Files,
        QDir::Name | QDir::IgnoreCase);
    if (backups.isEmpty())
        return;
    const QString backup = fileInfo.absoluteDir().absoluteFilePath(backups.last());
    QString named = backup;
    const char* outcome = restoreBackup(path, backup, &named);
    qWarning() << "Found backup file while loading " << fileInfo.fileName() << outcome << named;
}
