#pragma once

#include "orbodev_export.h"

#include <QList>
#include <QMetaType>
#include <QString>

/// One wireless network as the wireless-network manager reports it. Copied by value.
struct ORBODEV_EXPORT NetworkInformation
{
    QString ssid;
    /// Password to join with; filled by the caller of a connection request.
    QString password;
    /// Signal strength, 0 to 100.
    qint32 signal = 0;
    /// Joined without a password.
    bool isOpen = false;
    /// A password is remembered, so it is joined without asking.
    bool isSaved = false;
    /// Address of this machine on the network while connected.
    QString ipAddress;
    /// Security scheme, e.g. "WPA2"; informative only.
    QString security;

    bool operator==(const NetworkInformation& other) const
    {
        return ssid == other.ssid && password == other.password && signal == other.signal
            && isOpen == other.isOpen && isSaved == other.isSaved && ipAddress == other.ipAddress
            && security == other.security;
    }
    bool operator!=(const NetworkInformation& other) const { return !(*this == other); }
};

/// The networks of one scan; registered as the meta type "WirelessNetworksInfo".
typedef QList<NetworkInformation> WirelessNetworksInfo;

Q_DECLARE_METATYPE(NetworkInformation)
