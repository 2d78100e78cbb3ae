#pragma once

#include "DeviceInfo.h"

#include <QList>

/// One of a device's two link lists in its description: the links that reach it, and those that leave it.
enum class LinkSide { Incoming, Outgoing };

/// The list at a link's other end that names the same link.
inline LinkSide opposite(LinkSide side)
{
    return side == LinkSide::Incoming ? LinkSide::Outgoing : LinkSide::Incoming;
}

inline const QList<Connection>& linksOn(const DeviceInfo& info, LinkSide side)
{
    return side == LinkSide::Incoming ? info.incomingConnections : info.outgoingConnections;
}
