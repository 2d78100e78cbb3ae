#pragma once

#include "dozerozozu_export.h"

/// Version of this library, stamped at build time.
namespace DozeRozOZUVersion {
/// Four dot-separated numbers, such as 1.0.0.0.
DOZEROZOZU_EXPORT extern const char* const version;
/// Commit the library was built from: 40 lower-case hex digits, all zeros outside a git checkout.
DOZEROZOZU_EXPORT extern const char* const gitSHA;
/// "dd.MM.yy HH:mm".
DOZEROZOZU_EXPORT extern const char* const buildDate;
/// Free change text; may be empty.
DOZEROZOZU_EXPORT extern const char* const changes;
}
