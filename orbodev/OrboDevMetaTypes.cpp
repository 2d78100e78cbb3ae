#include "OrboDevMetaTypes.h"

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "DoubleVec.h"
#include "TypePair.h"
#include "WirelessNetworkManager.h"

#include <QMetaType>

void registerOrboDevMetaTypes()
{
    qRegisterMetaType<DoubleVec>("DoubleVec");
    qRegisterMetaType<TypePair>("TypePair");
    qRegisterMetaType<DeviceInfo>("DeviceInfo");
    qRegisterMetaType<BaseDevice::DeviceState>("BaseDevice::DeviceState");
    qRegisterMetaType<NetworkInformation>("NetworkInformation");
    qRegisterMetaType<WirelessNetworksInfo>("WirelessNetworksInfo");
    qRegisterMetaType<WirelessNetworkManager::NetworkStatus>("WirelessNetworkManager::NetworkStatus");
}
