#pragma once

#include <QPair>
#include <QVector>

#include <algorithm>

/**
 * The devices reached from roots (taken in their order), in reverse postorder of a
 * depth-first search that follows each device's successors in their order: every link it
 * follows, except those closing a cycle, leads to a later device.
 *
 * successorCount(device) gives how many successors a device has, successor(device, i) the
 * i-th, or -1 for one to pass over. visited holds one flag per device: flagged devices are
 * passed over, and the ones returned are left flagged. Iterative, since chains of thousands
 * of devices would overflow the stack otherwise.
 *
 * Internal to the automatic layout; any thread.
 */
template<typename Count, typename Successor>
QVector<int> reversePostorder(const QVector<int>& roots, QVector<bool>& visited, Count successorCount,
                              Successor successor)
{
    QVector<int> postorder;
    QVector<QPair<int, int>> stack;
    for (int root : roots) {
        if (visited.at(root))
            continue;
        visited[root] = true;
        stack.append({root, 0});
        while (!stack.isEmpty()) {
            const int device = stack.last().first;
            const int next = stack.last().second++;
            if (next < successorCount(device)) {
                const int target = successor(device, next);
                if (target >= 0 && !visited.at(target)) {
                    visited[target] = true;
                    stack.append({target, 0});
                }
                continue;
            }
            postorder.append(device);
            stack.removeLast();
        }
    }
    std::reverse(postorder.begin(), postorder.end());
    return postorder;
}

/// reversePostorder() over successor lists of device indexes.
inline QVector<int> reversePostorder(const QVector<int>& roots, QVector<bool>& visited,
                                     const QVector<QVector<int>>& successors)
{
    return reversePostorder(
        roots, visited, [&](int device) { return successors.at(device).size(); },
        [&](int device, int i) { return successors.at(device).at(i); });
}
