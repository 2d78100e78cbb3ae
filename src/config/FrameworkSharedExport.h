#pragma once

// The framework stand-in compiles the library's one file writer and its bounded readers of
// outside text into itself as well; it has no export header of its own.
#if defined(DOZEROZOZU_BUILT_INTO_FRAMEWORK)
#define DOZEROZOZU_SHARED_EXPORT
#else
#include "dozerozozu_export.h"
#define DOZEROZOZU_SHARED_EXPORT DOZEROZOZU_EXPORT
#endif
