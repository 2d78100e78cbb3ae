#include "LinkCreationOrder.h"

LinkCreationOrder::LinkCreationOrder(int linkCount, int listCount)
    : m_linkCount(linkCount)
    , m_lastOfList(listCount, -1)
{
}

void LinkCreationOrder::append(int list, int link)
{
    int& last = m_lastOfList[list];
    if (last >= 0 && last != link)
        m_follows.append(qMakePair(last, link));
    last = link;
}

QVector<int> LinkCreationOrder::order() const
{
    // Kahn's algorithm over the pairs, each link's successors side by side.
    QVector<int> waitingFor(m_linkCount, 0);
    QVector<int> firstSuccessor(m_linkCount + 1, 0);
    for (const auto& pair : m_follows) {
        ++waitingFor[pair.second];
        ++firstSuccessor[pair.first + 1];
    }
    for (int link = 0; link < m_linkCount; ++link)
        firstSuccessor[link + 1] += firstSuccessor[link];
    QVector<int> successors(m_follows.size());
    QVector<int> filled = firstSuccessor;
    for (const auto& pair : m_follows)
        successors[filled[pair.first]++] = pair.second;

    QVector<int> ready;
    ready.reserve(m_linkCount);
    for (int link = 0; link < m_linkCount; ++link) {
        if (waitingFor.at(link) == 0)
            ready.append(link);
    }
    QVector<bool> made(m_linkCount, false);
    QVector<int> order;
    order.reserve(m_linkCount);
    int next = 0;
    int earliestLeft = 0;
    while (order.size() < m_linkCount) {
        if (next == ready.size()) {
            // The lists contradict each other: the earliest link left goes next.
            while (made.at(earliestLeft))
                ++earliestLeft;
            ready.append(earliestLeft);
        }
        const int link = ready.at(next++);
        if (made.at(link))
            continue;
        made[link] = true;
        order.append(link);
        for (int i = firstSuccessor.at(link); i < firstSuccessor.at(link + 1); ++i) {
            const int successor = successors.at(i);
            if (--waitingFor[successor] == 0 && !made.at(successor))
                ready.append(successor);
        }
    }
    return order;
}
