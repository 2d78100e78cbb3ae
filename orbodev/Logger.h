#pragma once

#include "orbodev_export.h"

class LogBuffer;

/**
 * Feeds Qt's log into the process-wide LogBuffer. The first getDefaultBuffer() call installs
 * a message handler that copies each message into the buffer and passes it on to the
 * handler installed before. Thread-safe.
 */
class ORBODEV_EXPORT Logger
{
public:
    /// The process-wide buffer, installing the handler on first use. Never null.
    static LogBuffer* getDefaultBuffer();
};
