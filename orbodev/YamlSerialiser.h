#pragma once

#include "DeviceInfo.h"
#include "orbodev_export.h"

#include <QList>
#include <QString>

#include <stdexcept>

class QIODevice;

/**
 * Writes and reads device text: a configuration-version header followed by serialised
 * devices, concatenated with nothing between them, which together form one YAML document:
 *
 *     config_version: 2
 *     gen1:
 *       type: generator
 *       initialised: true
 *       thread: worker
 *       params:
 *         interval: "100"
 *       connections:
 *         - "this.setInterval(int)<counter1.countChanged(int)"
 *       outgoing:
 *         - "scaler1.input(double)<this.valueChanged(double)"
 *
 * "initialised" says whether loading or pasting the text initialises the device (the device
 * manager saves whether a device is meant to run, not whether it runs now).
 * "connections" holds the device's incoming links ("this.slot<source.signal"), "outgoing"
 * its links to other devices ("target.slot<this.signal"); "this" names the device itself
 * (its own name is read as "this" too), so the text stays valid when pasted under a new name.
 * "params", "connections" or "outgoing" with no value (a hand edit that emptied one) read
 * as none. A meta device's top-level "export" block is skipped by the reader; every other
 * top-level key must be a device.
 * Stateless; any thread.
 */
class ORBODEV_EXPORT YamlSerialiser
{
public:
    /// Raised for text that is YAML but not device text; text that is not YAML raises another std::runtime_error.
    class FormatError : public std::runtime_error
    {
    public:
        explicit FormatError(const std::string& message) : std::runtime_error(message) {}
    };

    /// The configuration version this framework writes and the newest it reads.
    static int configVersion();
    /// The key of the version header.
    static QString versionKey();

    /// Writes the header; an unopened device is opened for writing (and left open). False on failure.
    static bool writeConfigVersion(QIODevice* device);
    /// One device as text to append after the header.
    static QString serialise(const DeviceInfo& info);
    /**
     * The devices of text, in order. *versionOk (may be null) becomes false when the text
     * carries a newer configuration version than configVersion(). connectionStrings are
     * filled as "this.slot<source.signal". Throws an exception
     * derived from std::exception when text is malformed.
     */
    static QList<DeviceInfo> parseYamlFromString(const QString& text, bool* versionOk);
};
