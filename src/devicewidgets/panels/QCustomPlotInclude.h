#pragma once

// QCustomPlot's header spells Qt's keywords out ("signals", "foreach"), which this library
// switches off because the framework's DeviceInfo has members of those names. They are
// lent to the header for as long as it is read. Include this file last, in sources only:
// hosts do not get QCustomPlot's include path.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef signals
#undef slots
#undef foreach
