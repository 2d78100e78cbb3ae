#pragma once

#include "Helper.h"
#include "dozerozozu_export.h"

#include <qcustomplot.h>
#include <yaml-cpp/yaml.h>

/// Exported, but its header needs what a host does not have.
class DOZEROZOZU_EXPORT Includes
{
};

class Undocumented
{
};
