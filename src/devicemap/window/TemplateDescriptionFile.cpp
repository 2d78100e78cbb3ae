#include "TemplateDescriptionFile.h"

#include "BoundedYaml.h"
#include "DeviceFile.h"
#include "SafeFileWriter.h"
#include "YamlSerialiser.h"

#include <QCoreApplication>
#include <QStringList>

#include <yaml-cpp/yaml.h>

#include <exception>

namespace {

// The user's texts, in the context "TemplateDescriptionFile".
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(TemplateDescriptionFile)
};

const char* const kExportKey = "export";
const char* const kDescriptionKey = "description";

// The one document of a template, or an empty node with the fault set.
struct Document
{
    YAML::Node root;
    QString text;
    /// The file began with a UTF-8 byte-order mark, which a rewrite keeps.
    bool byteOrderMark = false;
    TemplateDescriptionFile::Fault fault = TemplateDescriptionFile::Fault::None;
    QString problem;
};

using Fault = TemplateDescriptionFile::Fault;

Document load(const QString& path)
{
    Document document;
    QString readError;
    bool replaced = false;
    document.text = DeviceFile::readText(path, &readError, &replaced, &document.byteOrderMark);
    if (!readError.isEmpty()) {
        document.fault = Fault::Unreadable;
        document.problem = Texts::tr("The template can not be read (%1).").arg(readError);
        return document;
    }
    int documentCount = 0;
    try {
        document.root = BoundedYaml::load(document.text.toStdString(), &documentCount);
    } catch (const std::exception& error) {
        document.fault = Fault::NotYaml;
        document.problem = Texts::tr("The template is not valid YAML: %1").arg(QString::fromUtf8(error.what()));
        return document;
    }
    if (documentCount == 0) {
        document.fault = Fault::Empty;
        document.problem = Texts::tr("The template is empty.");
        return document;
    }
    if (documentCount > 1) {
        document.fault = Fault::SeveralDocuments;
        document.problem = Texts::tr("The template holds several YAML documents; saving a description would keep "
                                     "only the first, so it is not changed here.");
    } else if (!document.root.IsMap()) {
        document.fault = Fault::NotAMap;
        document.problem = Texts::tr("The template is not a YAML map of devices.");
    } else if (replaced) {
        document.fault = Fault::NotUtf8;
        document.problem = Texts::tr("The template holds bytes that are not UTF-8; saving a description would "
                                     "replace them, so it is not changed here.");
    }
    return document;
}

// A null "export" or "description" holds nothing that a rewrite could lose.
Fault descriptionFault(const YAML::Node& root, QString* description, QString* problem)
{
    const YAML::Node exportNode = root[kExportKey];
    if (!exportNode || exportNode.IsNull())
        return Fault::None;
    if (!exportNode.IsMap()) {
        *problem = Texts::tr("The template's \"export\" section is not a map.");
        return Fault::ExportNotAMap;
    }
    const YAML::Node descriptionNode = exportNode[kDescriptionKey];
    if (!descriptionNode || descriptionNode.IsNull())
        return Fault::None;
    if (!descriptionNode.IsScalar()) {
        *problem = Texts::tr("The template's description is not text.");
        return Fault::DescriptionNotText;
    }
    *description = QString::fromStdString(descriptionNode.Scalar());
    return Fault::None;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Every device, as the framework writes it; a rewrite must leave this unchanged.
bool devicesOf(const QString& text, QStringList* devices)
{
    try {
        const QList<DeviceInfo> infos = YamlSerialiser::parseYamlFromString(text, nullptr);
        for (const DeviceInfo& info : infos)
            devices->append(YamlSerialiser::serialise(info));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

namespace TemplateDescriptionFile {

Reading read(const QString& path)
{
    Reading reading;
    const Document document = load(path);
    reading.fault = document.fault;
    reading.problem = document.problem;
    reading.text = document.text;
    if (document.root && document.root.IsMap()) {
        // Of several documents the first one's description is shown, read-only.
        QString problem;
        const Fault fault = descriptionFault(document.root, &reading.description, &problem);
        if (reading.fault == Fault::None) {
            reading.fault = fault;
            reading.problem = problem;
        }
    }
    reading.editable = reading.fault == Fault::None;
    return reading;
}

bool write(const QString& path, const QString& description, QString* error)
{
    const Document document = load(path);
    if (document.fault != Fault::None)
        return fail(error, document.problem);
    // Not a clone: a clone expands every alias, and the emitter writes shared nodes once.
    YAML::Node root = document.root;
    QString oldDescription;
    QString problem;
    if (descriptionFault(root, &oldDescription, &problem) != Fault::None)
        return fail(error, problem);

    if (!root[kExportKey] || root[kExportKey].IsNull())
        root[kExportKey] = YAML::Node(YAML::NodeType::Map);
    root[kExportKey][kDescriptionKey] = description.toStdString();
    YAML::Emitter emitter;
    emitter << root;
    if (!emitter.good())
        return fail(error, Texts::tr("The description can not be written as YAML: %1")
                               .arg(QString::fromStdString(emitter.GetLastError())));
    const QByteArray text = QByteArray(emitter.c_str(), int(emitter.size())) + '\n';
    const QByteArray fileText = document.byteOrderMark ? "\xEF\xBB\xBF" + text : text;

    // What is written must read back as it was meant: the new description, the same devices.
    QStringList before;
    QStringList after;
    const bool devicesReadBefore = devicesOf(document.text, &before);
    const bool devicesReadAfter = devicesOf(QString::fromUtf8(text), &after);
    bool descriptionReadsBack = false;
    try {
        const YAML::Node reread = BoundedYaml::load(text.toStdString());
        QString written;
        QString rereadProblem;
        descriptionReadsBack =
            descriptionFault(reread, &written, &rereadProblem) == Fault::None && written == description;
    } catch (const std::exception&) {
        descriptionReadsBack = false;
    }
    if (!descriptionReadsBack || devicesReadBefore != devicesReadAfter || before != after)
        return fail(error, Texts::tr("The description can not be stored in this template without changing it."));

    QString writeError;
    if (!SafeFileWriter::writeFile(path, fileText, &writeError))
        return fail(error, Texts::tr("The template can not be written (%1).").arg(writeError));
    return true;
}

} // namespace TemplateDescriptionFile
