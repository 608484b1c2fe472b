// The spin box's arrow pictures, drawn in code at the screen's resolution:
// a black triangle whose rows grow by one pixel on each side, so that its
// slopes step by single device pixels at any ratio.
#pragma once

#include <QImage>

enum class ArrowDirection { kUp, kDown };

// Rows of the arrow at one device pixel per logical pixel; its width is
// 2 * rows - 1.
inline constexpr int kArrowRows = 4;

// The arrow at `ratio` device pixels per logical pixel (rounded to whole
// rows), transparent around the triangle, with that device pixel ratio.
QImage ArrowPicture(ArrowDirection direction, double ratio);
