#include "ReadonlyBracket.h"

#include "DeviceManager.h"

ReadonlyBracket::ReadonlyBracket(DeviceManager* manager)
    : manager(manager)
{
    if (!manager)
        return;
    wasReadonly = manager->getReadonly();
    manager->setReadonly(true);
}

ReadonlyBracket::~ReadonlyBracket()
{
    close();
}

void ReadonlyBracket::close()
{
    if (!manager)
        return;
    manager->setReadonly(wasReadonly);
    manager->saveYamlConfig();
    manager = nullptr;
}
