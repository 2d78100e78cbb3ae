#pragma once

#include "dozerozozu_export.h"

#include <QPointer>

class QGraphicsScene;

/**
 * Leaves a scene without its BSP index while it lives, for a command that moves or reshapes
 * many items at once, and gives the index back afterwards.
 *
 * Each geometry change takes the item out of the BSP tree, leaf by leaf, and a removal scans
 * every leaf the item covers; a link across the map covers many leaves, each holding many
 * links, so a command that reshapes every link of a densely linked map costs the square of
 * its links. Without the index a geometry change costs nothing, and the tree is built again
 * in one pass, at the next paint or query, with the depth the scene had.
 *
 * A pause inside another, or on a scene that has no BSP index, changes nothing. The scene may
 * go first. GUI thread only; made on the stack for one command.
 *
 *     const SceneIndexPause pause(map->scene());
 */
class DOZEROZOZU_EXPORT SceneIndexPause
{
public:
    explicit SceneIndexPause(QGraphicsScene* scene);
    ~SceneIndexPause();

    SceneIndexPause(const SceneIndexPause&) = delete;
    SceneIndexPause& operator=(const SceneIndexPause&) = delete;

private:
    QPointer<QGraphicsScene> scene;
    int bspTreeDepth = 0;
    bool paused = false;
};
