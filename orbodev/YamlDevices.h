#pragma once

#include "DeviceInfo.h"

#include <QList>

namespace YAML {
class Node;
}

/**
 * The devices of a device-text document already loaded (BoundedYaml::load), for a reader
 * that needs the document for more than its devices (a meta device's export block) and must
 * not read the text twice. YamlSerialiser::parseYamlFromString() loads and calls it.
 * Throws YamlSerialiser::FormatError as that does. Internal to the framework stand-in.
 */
QList<DeviceInfo> parseYamlDevices(const YAML::Node& root, bool* versionOk);
