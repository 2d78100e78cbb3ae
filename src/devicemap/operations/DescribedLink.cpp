#include "DescribedLink.h"

#include <QHash>
#include <QSet>

namespace {

// A device outside the list is told by its name, one of the list by its entry.
QStringList linkKey(const DescribedLink& link)
{
    return {QString::number(link.sourceEntry), link.text.source, link.text.signal, QString::number(link.targetEntry),
            link.target(), link.text.slot};
}

// The entry a peer of entry owner's link stands for: the owner itself under its own name,
// otherwise the first entry of that name.
int peerEntry(const QString& peer, int owner, const QList<DeviceInfo>& infos, const QHash<QString, int>& firstEntries)
{
    return peer == infos.at(owner).name ? owner : firstEntries.value(peer, -1);
}

} // namespace

QString DescribedLink::target() const
{
    return text.target == QLatin1String("this") ? owner : text.target;
}

QList<DescribedLink> DescribedLink::list(const QList<DeviceInfo>& infos, QStringList* malformed)
{
    QHash<QString, int> firstEntries;
    for (int entry = infos.size() - 1; entry >= 0; --entry)
        firstEntries.insert(infos.at(entry).name, entry);

    QList<DescribedLink> links;
    QSet<QStringList> outgoing;
    for (int entry = 0; entry < infos.size(); ++entry) {
        const DeviceInfo& info = infos.at(entry);
        for (const Connection& connection : info.outgoingConnections) {
            DescribedLink link{{connection.device, connection.slot, info.name, connection.signal}, info.name};
            if (connection.device.isEmpty() || connection.slot.isEmpty() || connection.signal.isEmpty()) {
                if (malformed)
                    malformed->append(link.text.toString());
                continue;
            }
            link.sourceEntry = entry;
            link.targetEntry = peerEntry(connection.device, entry, infos, firstEntries);
            outgoing.insert(linkKey(link));
            links.append(link);
        }
    }
    for (int entry = 0; entry < infos.size(); ++entry) {
        const DeviceInfo& info = infos.at(entry);
        for (const QString& text : info.connectionStrings) {
            const std::optional<ConnectionString> parsed = ConnectionString::parse(text);
            if (!parsed) {
                if (malformed)
                    malformed->append(text);
                continue;
            }
            DescribedLink link{*parsed, info.name};
            link.sourceEntry = peerEntry(link.text.source, entry, infos, firstEntries);
            link.targetEntry = peerEntry(link.target(), entry, infos, firstEntries);
            if (!outgoing.contains(linkKey(link)))
                links.append(link);
        }
    }
    return links;
}
