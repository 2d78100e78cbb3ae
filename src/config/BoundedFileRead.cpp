#include "BoundedFileRead.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

namespace BoundedFileRead {

bool openRegularFile(QFile& file, QString* error)
{
    const QFileInfo info(file.fileName());
    if (!info.exists())
        return fail(error, QStringLiteral("no such file"));
    if (!info.isFile())
        return fail(error, QStringLiteral("not a regular file"));
    // The path may name something else by the time it is opened. Without O_NONBLOCK the open of
    // a pipe waits for a writer; with it, the open returns at once and what it opened is asked.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error, QStringLiteral("cannot open: ") + qt_error_string(errno));
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(error, QStringLiteral("not a regular file"));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, QStringLiteral("cannot open: ") + file.errorString());
    }
    return true;
}

bool read(QIODevice& device, qint64 maxSize, QByteArray* content, qint64 heldAtMost)
{
    content->clear();
    // No content can fit a negative cap, not even none: success would pass an empty text off
    // as the file's.
    if (maxSize < 0)
        return false;
    // A cap beyond what a QByteArray holds reads up to that, and a device holding more fails
    // rather than passing a text cut short off as the whole.
    const bool capHeld = maxSize < heldAtMost;
    const qint64 limit = capHeld ? maxSize + 1 : heldAtMost;
    // Room for what the file claims and one byte more, so that the read that finds its end
    // needs no larger buffer.
    const qint64 claimed = device.isSequential() ? device.bytesAvailable() : device.size() - device.pos();
    content->reserve(int(claimed < limit ? qMax(claimed, qint64(0)) + 1 : limit));

    char chunk[16 * 1024];
    while (content->size() < limit) {
        const int start = content->size();
        const qint64 room = content->capacity() - start;
        qint64 got = 0;
        if (room > 0) {
            const qint64 wanted = qMin(room, limit - start);
            content->resize(int(start + wanted));
            got = device.read(content->data() + start, wanted);
            content->resize(start + int(qMax(got, qint64(0))));
        } else {
            // Past what the file claimed: it grew, or it claims nothing. Appending grows the
            // buffer geometrically, in step with what is read.
            got = device.read(chunk, qMin(qint64(sizeof chunk), limit - start));
            if (got > 0)
                content->append(chunk, int(got));
        }
        if (got < 0)
            return false;
        if (got == 0)
            break;
    }
    if (capHeld || content->size() < limit)
        return true;
    // Full to the last byte it holds: the content is the whole file only if nothing follows.
    char beyond = 0;
    return device.read(&beyond, 1) == 0;
}

} // namespace BoundedFileRead
