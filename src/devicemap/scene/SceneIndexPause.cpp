#include "SceneIndexPause.h"

#include <QGraphicsScene>

SceneIndexPause::SceneIndexPause(QGraphicsScene* scene)
    : scene(scene)
{
    if (!scene || scene->itemIndexMethod() != QGraphicsScene::BspTreeIndex)
        return;
    bspTreeDepth = scene->bspTreeDepth();
    scene->setItemIndexMethod(QGraphicsScene::NoIndex);
    paused = true;
}

SceneIndexPause::~SceneIndexPause()
{
    if (!paused || !scene)
        return;
    // A new index starts with an automatic depth: the map's fitted one is put back.
    scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    scene->setBspTreeDepth(bspTreeDepth);
}
