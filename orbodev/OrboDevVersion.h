#pragma once

#include "orbodev_export.h"

/// Version of the device framework, stamped at build time.
namespace OrboDevVersion {
ORBODEV_EXPORT extern const char* const version;
ORBODEV_EXPORT extern const char* const gitSHA;
ORBODEV_EXPORT extern const char* const buildDate;
ORBODEV_EXPORT extern const char* const changes;
}
