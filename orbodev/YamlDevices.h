#pragma once

#include "DeviceInfo.h"

#include <QList>
#include <QString>

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

/**
 * Whether a device so named and of such a type is both again once its graph is saved and
 * loaded: its text, written as a saved graph is, gives both back as written. Not so for a
 * text holding a lone surrogate or a noncharacter (the writer puts "?" or U+FFFD in its
 * place), nor for one starting with U+FEFF (reading UTF-8 drops a leading byte order mark).
 */
bool readsBackFromSavedGraph(const QString& name, const QString& type);
