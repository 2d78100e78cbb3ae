#pragma once

#include "DevicesArrangement.h"
#include "dozerozozu_export.h"

class QGraphicsScene;

/**
 * The drawing of a template in the templates panel: one device item per described device at
 * its place in the arrangement, and one link item per connection between two of them.
 *
 * Stateless; GUI thread (it makes scene items). The scene owns what is drawn.
 */
namespace TemplatePreview {

/// Replaces what scene shows by the arrangement. Links to a device the arrangement does not
/// describe have nothing to end at and are left out; returns how many were.
DOZEROZOZU_EXPORT int draw(QGraphicsScene* scene, const DevicesArrangement& arrangement);

/// Removes and deletes every item, each link before the devices it points at.
DOZEROZOZU_EXPORT void clear(QGraphicsScene* scene);

} // namespace TemplatePreview
