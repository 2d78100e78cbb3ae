#include "Helper.h"

namespace {

class Unrelated
{
};

} // namespace

/// Only this source file defines it.
class SourceOnly
{
};

int Helper::count()
{
    return 0;
}
