#include "Logger.h"

#include "LogBuffer.h"

#include <QMutex>

#include <atomic>
#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;

LogBuffer* defaultBuffer()
{
    // Never destroyed: messages may still arrive while static objects are torn down.
    static LogBuffer* buffer = new LogBuffer;
    return buffer;
}

void bufferingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    defaultBuffer()->append(type, message);
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

LogBuffer* Logger::getDefaultBuffer()
{
    static QMutex installMutex;
    static std::atomic<bool> installed{false};
    if (!installed.load()) {
        QMutexLocker locker(&installMutex);
        if (!installed.load()) {
            previousHandler = qInstallMessageHandler(bufferingHandler);
            installed.store(true);
        }
    }
    return defaultBuffer();
}
