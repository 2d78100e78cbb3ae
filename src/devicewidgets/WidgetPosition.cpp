#include "WidgetPosition.h"

void WidgetPosition::registerMetaType()
{
    qRegisterMetaType<WidgetPosition>("WidgetPosition");
}
