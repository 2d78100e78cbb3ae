#pragma once

#include "dozerozozu_export.h"

#include <QString>

/**
 * The description kept inside a template file: the text at "export"/"description" of the
 * file's YAML document, beside the devices (read by the map, which skips "export").
 *
 * Reading never throws and tells why a description cannot be edited: a file that cannot be
 * read, is not valid YAML (or lies beyond the bounds of BoundedYaml), holds several documents
 * (a rewrite keeps only what yaml-cpp emits of one document, so the others would be lost), is
 * not a map, holds bytes that are not UTF-8 (a rewrite would replace them), has an "export"
 * that is not a map or a "description" that is not text. Writing refuses those files, rewrites the whole
 * document through yaml-cpp's emitter (comments and quoting are the emitter's), checks that
 * the new text gives back the description and every device unchanged, and replaces the file
 * atomically (SafeFileWriter); on any failure the file stays as it was. A UTF-8 byte-order
 * mark at the start of the file is UTF-8 like the rest, and a rewrite keeps it. Files are at
 * most DeviceFile::maxSize; a rewrite holds the file's document and the new one at once, so
 * it takes twice what a read does.
 *
 * Stateless; any thread.
 *
 *     const TemplateDescriptionFile::Reading reading = TemplateDescriptionFile::read(path);
 *     editor->setReadOnly(!reading.editable);
 *     QString error;
 *     if (!TemplateDescriptionFile::write(path, editor->toPlainText(), &error))
 *         report(error);
 */
namespace TemplateDescriptionFile {

/// Why a description cannot be edited.
enum class Fault {
    None,
    Unreadable,       ///< missing, not a regular file, too large or binary (a NUL byte)
    NotYaml,          ///< the parser refused it
    Empty,            ///< no YAML document at all
    SeveralDocuments, ///< the first document's description is shown, read-only
    NotAMap,          ///< the document is not a map of devices
    ExportNotAMap,
    DescriptionNotText,
    NotUtf8,          ///< the description is shown, read-only: a rewrite would replace those bytes
};

struct Reading
{
    /// The description; empty when there is none or it cannot be read.
    QString description;
    /// Whether write() may rewrite the file.
    bool editable = false;
    Fault fault = Fault::None;
    /// Why the description cannot be edited (translated, for the user); empty when editable.
    QString problem;
    /// The file's whole text as read (DeviceFile::readText()); empty when it is Unreadable.
    QString text;
};

DOZEROZOZU_EXPORT Reading read(const QString& path);
/// Sets the description and rewrites the file; false, with a reason for the user, on failure.
DOZEROZOZU_EXPORT bool write(const QString& path, const QString& description, QString* error = nullptr);

} // namespace TemplateDescriptionFile
