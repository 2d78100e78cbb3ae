#pragma once

#include <QPair>
#include <QVector>

/**
 * An order to create the links of a device text in, such that every device's incoming list
 * and every device's outgoing list come out as the text gives them: a device lists its links
 * in the order they were made, and the same edits must give the same file.
 *
 * The links are numbered 0 to count - 1 in the order the text first lists them; each list of
 * the text is a chain in which a link follows the one before it. A link sits in at most two
 * lists (its source's outgoing one and its target's incoming one). Where the lists contradict
 * each other (a text edited by hand), what is left goes in text order. Costs time linear in
 * the links.
 *
 *     LinkCreationOrder order(3, 2);
 *     order.append(0, 2);  order.append(0, 1);  // list 0 lists link 2, then link 1
 *     order.append(1, 0);  order.append(1, 2);  // list 1 lists link 0, then link 2
 *     order.order();                            // 0, 2, 1
 *
 * A value used on one thread. Internal to the framework.
 */
class LinkCreationOrder
{
public:
    LinkCreationOrder(int linkCount, int listCount);

    /// link comes next in list.
    void append(int list, int link);
    /// Every link once, each after those it follows in its lists.
    QVector<int> order() const;

private:
    int m_linkCount = 0;
    QVector<int> m_lastOfList;
    /// (earlier, later) pairs.
    QVector<QPair<int, int>> m_follows;
};
