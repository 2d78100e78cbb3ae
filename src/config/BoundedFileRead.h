#pragma once

#include "FrameworkSharedExport.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <limits>

class QFile;
class QIODevice;

/**
 * The one way a file with a size cap is read: memory grows with what the file holds, never
 * with the cap. QIODevice::read(maxSize) reserves maxSize bytes before it reads the first
 * one; those pages are never touched, but on a 32-bit panel or under strict overcommit the
 * reservation of a 64 MiB cap fails for an 8 KiB file.
 *
 * The size a file claims is only a first guess: a file may grow while it is read, and files
 * under /proc claim none at all. So the device is read until its end or until one byte past
 * the cap, whichever comes first.
 *
 * Only regular files are read: a pipe nobody writes to blocks the open itself, and a device
 * never ends. openRegularFile() is the one place that tells them apart.
 *
 * Stateless; any thread. Used by the library and by the framework stand-in.
 *
 *     QFile file(path);
 *     QString why;
 *     if (!BoundedFileRead::openRegularFile(file, &why))
 *         return fail(why);
 *     QByteArray text;
 *     if (!BoundedFileRead::read(file, maxSize, &text))
 *         return fail(QStringLiteral("cannot read: ") + file.errorString());
 *     if (text.size() > maxSize)
 *         return fail(QStringLiteral("too large"));
 */
namespace BoundedFileRead {

/**
 * Opens file, whose name is set, read-only when it names a regular file (or a link to one).
 * Otherwise false, with *error "no such file", "not a regular file" or "cannot open: " and the
 * system's reason; nothing on the way waits for a writer. What is opened is checked, not only
 * what the path named a moment before.
 */
DOZEROZOZU_SHARED_EXPORT bool openRegularFile(QFile& file, QString* error = nullptr);

/// The most bytes a QByteArray holds: Qt 5 allocates its header, its bytes and a NUL after
/// them in one block of at most INT_MAX bytes.
inline constexpr qint64 mostHeld = qint64(std::numeric_limits<int>::max()) - qint64(sizeof(QArrayData)) - 1;

/**
 * Reads device from its position to its end into *content, at most maxSize + 1 bytes: a
 * content longer than maxSize tells a file larger than allowed. A cap of 0 reads at most one
 * byte; a cap of heldAtMost or more reads up to heldAtMost bytes, and a device holding more
 * fails. False when the device failed to read, *content then holding what came before the
 * failure, and for a negative cap, which reads nothing. heldAtMost is lowered only by tests,
 * which cannot afford a 2 GiB file.
 */
DOZEROZOZU_SHARED_EXPORT bool read(QIODevice& device, qint64 maxSize, QByteArray* content,
                                   qint64 heldAtMost = mostHeld);

} // namespace BoundedFileRead
