#pragma once

/// An internal helper.
class Helper
{
public:
    static int count();
};

/// Internal too.
class Inner
{
};

struct HelperBase
{
};

namespace HelperNamespace {
struct Reading
{
    int value = 0;
};
} // namespace HelperNamespace
