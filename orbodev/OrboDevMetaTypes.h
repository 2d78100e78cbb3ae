#pragma once

#include "orbodev_export.h"

/**
 * Registers the framework's meta types under their names ("DoubleVec", "TypePair",
 * "BaseDevice::DeviceState", "NetworkInformation", "WirelessNetworksInfo",
 * "WirelessNetworkManager::NetworkStatus", "DeviceInfo"). The device manager and the
 * wireless-network manager call it on construction; calling it again does no harm.
 */
ORBODEV_EXPORT void registerOrboDevMetaTypes();
