#include "YamlConfigFile.h"

#include "BoundedYaml.h"
#include "YamlTextWriter.h"

#include <yaml-cpp/emitter.h>
#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/exceptions.h>
#include <yaml-cpp/mark.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using ConfigNode = YamlConfig::ConfigNode;

const QByteArray byteOrderMarkBytes("\xEF\xBB\xBF");

// A QString built from a YAML text; like the file's other readers, it ends at a NUL. A text
// may begin with U+FEFF, which QString::fromUtf8() would take for a byte-order mark and drop.
QString fromYamlText(const std::string& text)
{
    const char* start = text.c_str();
    int marks = 0;
    while (std::strncmp(start, byteOrderMarkBytes.constData(), 3) == 0) {
        start += 3;
        ++marks;
    }
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(start);
}

std::string toYamlText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

// What a YAML reader refuses to find raw in a text (YAML 1.1's printable set): controls but
// tab and line breaks, surrogates, U+FFFE and U+FFFF.
bool isRefusedRaw(uint codePoint)
{
    if (codePoint < 0x20)
        return codePoint != '\t' && codePoint != '\n' && codePoint != '\r';
    return codePoint == 0x7F || (codePoint >= 0x80 && codePoint <= 0x9F && codePoint != 0x85)
           || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint == 0xFFFE || codePoint == 0xFFFF;
}

bool isPlainAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x7F || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r'))
            return false;
    }
    return true;
}

/*
 * The file's text as a YAML reader takes it. yaml-cpp, which read these files before, took
 * bytes that are not UTF-8 and raw control characters (and older writers left a raw DEL in
 * a file): they become U+FFFD rather than make the whole configuration unreadable.
 */
std::string readableText(const QByteArray& content, bool* byteOrderMark, bool* replaced)
{
    *byteOrderMark = content.startsWith(byteOrderMarkBytes);
    const QByteArray body = *byteOrderMark ? content.mid(byteOrderMarkBytes.size()) : content;
    *replaced = false;
    if (isPlainAscii(body))
        return content.toStdString();
    const QString decoded = QString::fromUtf8(body);
    QByteArray readable = decoded.toUtf8();
    *replaced = readable != body;
    QVector<uint> codePoints = decoded.toUcs4();
    bool refused = false;
    for (uint& codePoint : codePoints) {
        if (isRefusedRaw(codePoint)) {
            codePoint = QChar::ReplacementCharacter;
            refused = true;
        }
    }
    if (refused) {
        readable = QString::fromUcs4(codePoints.constData(), codePoints.size()).toUtf8();
        *replaced = true;
    }
    return ((*byteOrderMark ? byteOrderMarkBytes : QByteArray()) + readable).toStdString();
}

// Every refusal of what is not part of the format says what was found and what the format is.
[[noreturn]] void refuse(const YAML::Mark& mark, const std::string& found,
                         const char* format = "the configuration holds mappings of texts")
{
    throw YAML::ParserException(mark, "found " + found + "; " + format);
}

QString keyLocation(const QStringList& ancestors, const QString& name)
{
    const QString path = ancestors.isEmpty() ? QString() : QLatin1Char('/') + ancestors.join(QLatin1Char('/'));
    return path + QLatin1Char('|') + name;
}

/*
 * Builds the tree from the parser's events. The document is a mapping (or empty); a mapping
 * is an inner node, a scalar a leaf; anything else is refused where it stands. An entry
 * replaces an earlier one of the same name in any letter case, with its subtree.
 *
 * On the way it counts, from below, the bytes the tree takes once written back: a file that
 * would be larger than any file the store reads is refused now, not at the next start, after a
 * save (aliases make a short file stand for a large tree).
 */
class ConfigTreeBuilder : public YAML::EventHandler
{
public:
    ConfigNode tree;
    int leafCount = 0;
    QList<YamlConfigFile::RepeatedKey> repeatedKeys;
    int repeatedKeyCount = 0;

    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t anchor) override { complete(Item(Item::Null, mark), anchor); }
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t anchor) override
    {
        Item repeated = anchored.at(anchor - 1);
        repeated.mark = mark;
        repeated.repeated = true;
        complete(repeated, YAML::NullAnchor);
    }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t anchor, const std::string& value) override
    {
        Item scalar(Item::Scalar, mark);
        scalar.node.isNode = false;
        scalar.node.value = fromYamlText(value);
        scalar.bytes = (long long)(std::strlen(value.c_str()));
        complete(scalar, anchor);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        refuse(mark, "a list");
    }
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t anchor,
                    YAML::EmitterStyle::value) override
    {
        open.push_back(Frame{Item(Item::Map, mark), anchor, false, QString(), 0, YAML::Mark()});
    }
    void OnMapEnd() override
    {
        Frame frame = open.back();
        open.pop_back();
        complete(frame.item, frame.anchor);
    }

private:
    struct Item
    {
        enum Kind { Null, Scalar, Map };
        Item(Kind kind, const YAML::Mark& mark)
            : kind(kind)
            , mark(mark)
        {
        }
        Kind kind;
        YAML::Mark mark;
        ConfigNode node;
        int leaves = 0;
        /// A scalar's UTF-8 bytes; a mapping's written bytes as if at the top level.
        long long bytes = 0;
        /// A mapping's entries, nested ones too: each is indented once more below the top level.
        long long lines = 0;
        /// Brought in by an alias: its entries were not counted where it stands.
        bool repeated = false;
    };

    struct Frame
    {
        Item item;
        YAML::anchor_t anchor = YAML::NullAnchor;
        bool hasKey = false;
        QString key;
        long long keyBytes = 0;
        YAML::Mark keyMark;
    };

    void complete(const Item& item, YAML::anchor_t anchor)
    {
        if (anchor != YAML::NullAnchor) {
            if (anchored.size() < anchor)
                anchored.resize(anchor, Item(Item::Null, YAML::Mark::null_mark()));
            anchored[anchor - 1] = item;
        }
        if (open.empty()) {
            // The document itself: a mapping's entries are the tree; an empty document holds none.
            if (item.kind == Item::Scalar)
                refuse(item.mark, "a text where the top-level mapping belongs");
            if (item.kind == Item::Map) {
                tree = item.node;
                leafCount += item.leaves;
            }
            return;
        }
        Frame& parent = open.back();
        if (!parent.hasKey) {
            if (item.kind == Item::Null)
                refuse(item.mark, "an empty key");
            if (item.kind != Item::Scalar)
                refuse(item.mark, "a key that is not text");
            parent.key = item.node.value;
            parent.keyBytes = item.bytes;
            parent.keyMark = item.mark;
            parent.hasKey = true;
            return;
        }
        if (item.kind == Item::Null)
            refuse(item.mark, "an empty value (an empty text is written \"\")");
        countWritten(parent, item);
        ConfigNode entry = item.node;
        entry.name = parent.key;
        const int leaves = item.kind == Item::Scalar ? 1 : item.leaves;
        CaseInsensetiveDictionary<ConfigNode>& children = parent.item.node.children;
        // The store keeps one entry per name in any letter case: the later one replaces the earlier.
        if (children.contains(parent.key))
            replaceRepeated(parent, children.value(parent.key));
        children.insert(parent.key, entry);
        parent.item.leaves += leaves;
        parent.hasKey = false;
    }

    void replaceRepeated(Frame& parent, const ConfigNode& earlier)
    {
        parent.item.leaves -= leavesOf(earlier);
        // A file of nothing but one key repeated must not flood the log.
        if (++repeatedKeyCount > YamlConfigFile::maxRepeatedKeysNamed)
            return;
        QStringList ancestors;
        for (std::size_t frame = 0; frame + 1 < open.size(); ++frame)
            ancestors.append(open[frame].key);
        repeatedKeys.append(YamlConfigFile::RepeatedKey{keyLocation(ancestors, parent.key), parent.keyMark.line + 1});
    }

    static int leavesOf(const ConfigNode& node)
    {
        if (!node.isNode)
            return 1;
        int leaves = 0;
        for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child)
            leaves += leavesOf(child.value());
        return leaves;
    }

    /*
     * The written form of an entry at depth d is at least its indentation (2 d), its key, and
     * ": ", its value and a line break for a leaf, or ":" and a line break and its entries one
     * level deeper for a mapping; quoting, escaping and explicit keys only add to that.
     */
    void countWritten(Frame& parent, const Item& item)
    {
        const long long depth = (long long)(open.size()) - 1;
        long long entryBytes = parent.keyBytes + (item.kind == Item::Scalar ? item.bytes + 3 : 2);
        long long bytesHere = 2 * depth + entryBytes;
        if (item.kind == Item::Map) {
            entryBytes += item.bytes + 2 * item.lines;
            parent.item.lines += item.lines;
            if (item.repeated)
                bytesHere += item.bytes + 2 * (depth + 1) * item.lines;
        }
        parent.item.bytes += entryBytes;
        parent.item.lines += 1;
        // The last line has no line break.
        written += bytesHere;
        if (written - 1 > YamlConfigFile::maxFileSize) {
            refuse(item.mark, "entries that take more than " + std::to_string(YamlConfigFile::maxFileSize)
                                  + " bytes once written", "a configuration file holds no more");
        }
    }

    std::vector<Frame> open;
    std::vector<Item> anchored;
    long long written = 0;
};

bool isLoneSurrogate(const QString& text, int index)
{
    const QChar character = text.at(index);
    if (character.isHighSurrogate())
        return index + 1 >= text.size() || !text.at(index + 1).isLowSurrogate();
    if (character.isLowSurrogate())
        return index == 0 || !text.at(index - 1).isHighSurrogate();
    return false;
}

bool isNoncharacter(uint codePoint)
{
    return (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
}

uint codePointAt(const QString& text, int index)
{
    const QChar character = text.at(index);
    if (character.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(character, text.at(index + 1));
    return character.unicode();
}

bool needsAlteringToStore(const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        if (character.isNull() || (character.isSurrogate() && isLoneSurrogate(text, i)) || isNoncharacter(codePointAt(text, i)))
            return true;
    }
    return false;
}

// The part of text that a file gives back: its readers end a text at a NUL, a lone surrogate
// has no UTF-8 form, and the emitter writes a noncharacter as U+FFFD.
QString storableText(const QString& text)
{
    if (!needsAlteringToStore(text))
        return text;
    const int nul = text.indexOf(QChar(0));
    const QString beforeNul = nul < 0 ? text : text.left(nul);
    QString result;
    result.reserve(beforeNul.size());
    for (int i = 0; i < beforeNul.size(); ++i) {
        const QChar character = beforeNul.at(i);
        if (character.isSurrogate() && isLoneSurrogate(beforeNul, i))
            continue;
        const uint codePoint = codePointAt(beforeNul, i);
        if (isNoncharacter(codePoint)) {
            result.append(QChar(QChar::ReplacementCharacter));
            i += QChar::requiresSurrogates(codePoint) ? 1 : 0;
            continue;
        }
        result.append(character);
    }
    return result;
}

bool treeNeedsAlteringToStore(const ConfigNode& node)
{
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        if (needsAlteringToStore(entry.name) || needsAlteringToStore(entry.value) || treeNeedsAlteringToStore(entry))
            return true;
    }
    return false;
}

// A copy of node's children as the file can hold them. A name that becomes the name of an
// entry copied before it is left out: the file cannot hold both.
void copyStorable(const ConfigNode& node, const QStringList& ancestors, ConfigNode& copy,
                  YamlConfigFile::Writing* writing)
{
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        ConfigNode stored = entry;
        stored.name = storableText(entry.name);
        stored.value = storableText(entry.value);
        if (copy.children.contains(stored.name)) {
            writing->leftOut.append(keyLocation(ancestors, entry.name));
            continue;
        }
        if (stored.name != entry.name || stored.value != entry.value)
            writing->altered.append(keyLocation(ancestors, entry.name));
        if (entry.isNode) {
            stored.children = CaseInsensetiveDictionary<ConfigNode>();
            copyStorable(entry, ancestors + QStringList(stored.name), stored, writing);
        }
        copy.children.insert(stored.name, stored);
    }
}

void composeNode(YAML::Emitter& emitter, const ConfigNode& node)
{
    emitter << YAML::Key;
    YamlTextWriter::writeKey(emitter, toYamlText(node.name));
    emitter << YAML::Value;
    if (!node.isNode) {
        YamlTextWriter::writeValue(emitter, toYamlText(node.value));
        return;
    }
    emitter << YAML::BeginMap;
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child)
        composeNode(emitter, child.value());
    emitter << YAML::EndMap;
}

QByteArray compose(const ConfigNode& tree, bool byteOrderMark)
{
    YAML::Emitter emitter;
    emitter << YAML::BeginMap;
    for (auto child = tree.children.constBegin(); child != tree.children.constEnd(); ++child)
        composeNode(emitter, child.value());
    emitter << YAML::EndMap;
    if (!emitter.good())
        return QByteArray();
    const QByteArray text(emitter.c_str(), int(emitter.size()));
    return byteOrderMark ? byteOrderMarkBytes + text : text;
}

const ConfigNode* childNamed(const ConfigNode& parent, const QString& name)
{
    if (!parent.children.contains(name))
        return nullptr;
    const auto child = parent.children.constFind(parent.children.storedKey(name));
    return child == parent.children.constEnd() ? nullptr : &child.value();
}

// Lists the entries of node that other lacks (or holds as another kind or name) and, when
// modified is given, the leaves whose value differs.
void listDifferences(const ConfigNode& node, const ConfigNode& other, const QStringList& ancestors,
                     QStringList* missing, QStringList* modified)
{
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        const ConfigNode* match = childNamed(other, entry.name);
        if (!match || match->isNode != entry.isNode || match->name != entry.name) {
            missing->append(keyLocation(ancestors, entry.name));
        } else if (entry.isNode) {
            listDifferences(entry, *match, ancestors + QStringList(entry.name), missing, modified);
        } else if (modified && match->value != entry.value) {
            modified->append(keyLocation(ancestors, entry.name));
        }
    }
}

// Whether text reads back with every entry of written, and no other; values that read back
// otherwise are listed in modified.
bool readsBack(const QByteArray& text, const ConfigNode& written, QStringList* modified)
{
    if (text.isEmpty())
        return false;
    ConfigNode reread;
    try {
        reread = YamlConfigFile::read(text).tree;
    } catch (const std::exception&) {
        return false;
    }
    QStringList missing;
    QStringList unexpected;
    listDifferences(written, reread, QStringList(), &missing, modified);
    listDifferences(reread, written, QStringList(), &unexpected, nullptr);
    return missing.isEmpty() && unexpected.isEmpty();
}

// entry alone, inside its ancestors' nodes, as a tree of its own.
ConfigNode treeOf(const QStringList& ancestors, const ConfigNode& entry)
{
    ConfigNode tree;
    ConfigNode* parent = &tree;
    for (const QString& name : ancestors) {
        ConfigNode node;
        node.name = name;
        parent = &parent->children.insert(name, node).value();
    }
    parent->children.insert(entry.name, entry);
    return tree;
}

/*
 * The children of node that read back on their own, each with as much of its subtree as
 * does; the entries that do not are named in leftOut. An inner node none of whose entries
 * reads back goes with them.
 */
void keepReadable(const ConfigNode& node, const QStringList& ancestors, ConfigNode& kept, QStringList* leftOut)
{
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        QStringList modified;
        if (readsBack(compose(treeOf(ancestors, entry), false), treeOf(ancestors, entry), &modified)) {
            kept.children.insert(entry.name, entry);
            continue;
        }
        if (!entry.isNode || entry.children.isEmpty()) {
            leftOut->append(keyLocation(ancestors, entry.name));
            continue;
        }
        ConfigNode keptEntry = entry;
        keptEntry.children = CaseInsensetiveDictionary<ConfigNode>();
        keepReadable(entry, ancestors + QStringList(entry.name), keptEntry, leftOut);
        if (!keptEntry.children.isEmpty())
            kept.children.insert(keptEntry.name, keptEntry);
    }
}

struct SizedLeaf
{
    long long bytes;
    QString key;
};

void listLeaves(const ConfigNode& node, const QStringList& ancestors, std::vector<SizedLeaf>* leaves)
{
    for (auto child = node.children.constBegin(); child != node.children.constEnd(); ++child) {
        const ConfigNode& entry = child.value();
        if (entry.isNode) {
            listLeaves(entry, ancestors + QStringList(entry.name), leaves);
            continue;
        }
        const long long bytes = 2 * ancestors.size() + entry.name.toUtf8().size() + entry.value.toUtf8().size() + 3;
        leaves->push_back(SizedLeaf{bytes, keyLocation(ancestors, entry.name)});
    }
}

// The largest leaves, largest first, whose lines together are at least excess bytes long (at
// most maxTooLarge of them: a tree of many small entries is too large as a whole).
QStringList largestEntries(const ConfigNode& tree, long long excess)
{
    const int maxTooLarge = 100;
    std::vector<SizedLeaf> leaves;
    listLeaves(tree, QStringList(), &leaves);
    std::stable_sort(leaves.begin(), leaves.end(),
                     [](const SizedLeaf& first, const SizedLeaf& second) { return first.bytes > second.bytes; });
    QStringList largest;
    for (const SizedLeaf& leaf : leaves) {
        if (excess <= 0 || largest.size() == maxTooLarge)
            break;
        largest.append(leaf.key);
        excess -= leaf.bytes;
    }
    return largest;
}

} // namespace

namespace YamlConfigFile {

Reading read(const QByteArray& content)
{
    if (content.size() > maxFileSize)
        refuse(YAML::Mark::null_mark(), "a file larger than " + std::to_string(maxFileSize) + " bytes",
               "a configuration file holds no more");
    Reading reading;
    const std::string text = readableText(content, &reading.byteOrderMark, &reading.replacedCharacters);
    ConfigTreeBuilder builder;
    YAML::Mark laterContent;
    BoundedYaml::read(text, builder, &laterContent);
    // A save writes one document: what a second one holds would be lost.
    if (!laterContent.is_null())
        refuse(laterContent, "a second document", "the configuration holds one document, a mapping of texts");
    reading.tree = builder.tree;
    reading.leafCount = builder.leafCount;
    reading.repeatedKeys = builder.repeatedKeys;
    reading.repeatedKeyCount = builder.repeatedKeyCount;
    return reading;
}

Writing write(const ConfigNode& tree, bool byteOrderMark)
{
    Writing writing;
    ConfigNode storable;
    const ConfigNode* written = &tree;
    if (treeNeedsAlteringToStore(tree)) {
        copyStorable(tree, QStringList(), storable, &writing);
        written = &storable;
    }
    writing.text = compose(*written, byteOrderMark);
    // Larger than the store reads: nothing is left out to make it fit, the caller decides.
    if (writing.text.size() > maxFileSize) {
        writing.tooLarge = largestEntries(*written, writing.text.size() - maxFileSize);
        writing.text.clear();
        return writing;
    }
    if (readsBack(writing.text, *written, &writing.readBackOtherwise))
        return writing;

    // One entry the file cannot hold must not keep the others from being saved.
    ConfigNode kept;
    keepReadable(*written, QStringList(), kept, &writing.leftOut);
    writing.readBackOtherwise.clear();
    writing.text = compose(kept, byteOrderMark);
    if (!readsBack(writing.text, kept, &writing.readBackOtherwise))
        writing.text.clear();
    return writing;
}

} // namespace YamlConfigFile
