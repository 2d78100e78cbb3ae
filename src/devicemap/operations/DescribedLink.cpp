#include "DescribedLink.h"

#include <QSet>

namespace {

QStringList linkKey(const DescribedLink& link)
{
    return {link.text.source, link.text.signal, link.target(), link.text.slot};
}

} // namespace

QString DescribedLink::target() const
{
    return text.target == QLatin1String("this") ? owner : text.target;
}

QList<DescribedLink> DescribedLink::list(const QList<DeviceInfo>& infos, QStringList* malformed)
{
    QList<DescribedLink> links;
    QSet<QStringList> outgoing;
    for (const DeviceInfo& info : infos) {
        for (const Connection& connection : info.outgoingConnections) {
            const DescribedLink link{{connection.device, connection.slot, info.name, connection.signal}, info.name};
            if (connection.device.isEmpty() || connection.slot.isEmpty() || connection.signal.isEmpty()) {
                if (malformed)
                    malformed->append(link.text.toString());
                continue;
            }
            outgoing.insert(linkKey(link));
            links.append(link);
        }
    }
    for (const DeviceInfo& info : infos) {
        for (const QString& text : info.connectionStrings) {
            const std::optional<ConnectionString> parsed = ConnectionString::parse(text);
            if (!parsed) {
                if (malformed)
                    malformed->append(text);
                continue;
            }
            const DescribedLink link{*parsed, info.name};
            if (!outgoing.contains(linkKey(link)))
                links.append(link);
        }
    }
    return links;
}
