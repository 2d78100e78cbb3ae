#pragma once

#include "FrameworkSharedExport.h"

#include <QByteArray>
#include <QtGlobal>

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
 * Stateless; any thread. Used by the library and by the framework stand-in.
 *
 *     QByteArray text;
 *     if (!BoundedFileRead::read(file, maxSize, &text))
 *         return fail(QStringLiteral("cannot read: ") + file.errorString());
 *     if (text.size() > maxSize)
 *         return fail(QStringLiteral("too large"));
 */
namespace BoundedFileRead {

/**
 * Reads device from its position to its end into *content, at most maxSize + 1 bytes: a
 * content longer than maxSize tells a file larger than allowed. False when the device
 * failed to read; *content then holds what came before the failure.
 */
DOZEROZOZU_SHARED_EXPORT bool read(QIODevice& device, qint64 maxSize, QByteArray* content);

} // namespace BoundedFileRead
