#pragma once

#include "dozerozozu_export.h"

class QFont;
class QPainter;

/**
 * When the map's items are drawn in full and when simplified.
 *
 * The scale is the painter's level of detail (QStyleOptionGraphicsItem::levelOfDetailFromTransform;
 * 1 is 1:1). While a line of the application font is at least readableLineHeight device pixels
 * high the items draw everything: down to a scale of 0.41 for a 9 pt font at 96 dpi, whose line
 * is 17 pixels high. Below that no text can be read, so nodes become filled rectangles without
 * text and links lines without arrow heads, and what is smaller than a pixel is left out. Nodes
 * and links switch at the same scale, so that the two never disagree.
 *
 * Pure functions of the painter and the application font; GUI thread only (the scale of the
 * last font asked for is kept).
 */
namespace MapLevelOfDetail {

/// Device pixels a line of text needs to be read.
constexpr double readableLineHeight = 7.0;

/// The scale below which items are simplified: readableLineHeight over the font's line height.
DOZEROZOZU_EXPORT double simplifiedBelow(const QFont& font);
/// simplifiedBelow() of the application font.
DOZEROZOZU_EXPORT double simplifiedBelow();
/// The painter's scale from item to device coordinates.
DOZEROZOZU_EXPORT double scaleOf(const QPainter* painter);
/// Whether an item painted at scale draws in full.
DOZEROZOZU_EXPORT bool drawsInFull(double scale);

} // namespace MapLevelOfDetail
