// Bevel frames.
#include "TVrBevel.h"

#include <QPainter>
#include <algorithm>

namespace {

// A side is at least one pixel wide, and its spacing is never negative.
TVrBevel::Side Sanitized(TVrBevel::Side side) {
  side.Width = std::max(side.Width, 1);
  side.Space = std::max(side.Space, 0);
  return side;
}

void PaintOutline(QPainter& painter, QRect& rect, TVrBevelOutlineStyle outline, TVrBevelOutlineStyle at) {
  if (outline == at) DrawRing(painter, rect, 1, ToQColor(clBlack));
}

void PaintSide(QPainter& painter, QRect& rect, const TVrBevel::Side& side) {
  PaintOutline(painter, rect, side.Outline, TVrBevelOutlineStyle::osOuter);
  if (side.Style != TVrBevelStyle::bsNone) {
    const bool lowered = side.Style == TVrBevelStyle::bsLowered;
    const QColor shadow = ToQColor(side.Shadow);
    const QColor highlight = ToQColor(side.Highlight);
    DrawFrame(painter, rect, side.Width, lowered ? shadow : highlight, lowered ? highlight : shadow);
  }
  PaintOutline(painter, rect, side.Outline, TVrBevelOutlineStyle::osInner);
  DrawRing(painter, rect, side.Space, ToQColor(side.SpaceColor));
}

}  // namespace

void DrawFrame(QPainter& painter, QRect& rect, int width, const QColor& top, const QColor& bottom) {
  for (int ring = 0; ring < width && rect.width() > 0 && rect.height() > 0; ++ring) {
    const int left = rect.left(), topRow = rect.top(), right = rect.right(), bottomRow = rect.bottom();
    painter.fillRect(QRect(left, topRow, 1, bottomRow - topRow + 1), top);  // left column, bottom up
    painter.fillRect(QRect(left, topRow, right - left, 1), top);            // top row, corner excluded
    painter.fillRect(QRect(right, topRow, 1, bottomRow - topRow + 1), bottom);
    painter.fillRect(QRect(left, bottomRow, right - left + 1, 1), bottom);
    rect.adjust(1, 1, -1, -1);
  }
}

void DrawRing(QPainter& painter, QRect& rect, int width, const QColor& color) {
  DrawFrame(painter, rect, width, color, color);
}

TVrBevel::TVrBevel() {
  FOuter.Style = TVrBevelStyle::bsRaised;
  FOuter.Outline = TVrBevelOutlineStyle::osOuter;
  FOuter.Space = 0;
}

void TVrBevel::SetBorderWidth(int width) { Set(FBorderWidth, std::max(width, 0)); }
void TVrBevel::SetBorderColor(ColorNumber color) { Set(FBorderColor, color); }
void TVrBevel::SetInner(const Side& side) { Set(FInner, Sanitized(side)); }
void TVrBevel::SetOuter(const Side& side) { Set(FOuter, Sanitized(side)); }
void TVrBevel::SetVisible(bool visible) { Set(FVisible, visible); }

void TVrBevel::Assign(const TVrBevel& other) {
  BeginUpdate();
  SetBorderWidth(other.FBorderWidth);
  SetBorderColor(other.FBorderColor);
  SetInner(other.FInner);
  SetOuter(other.FOuter);
  SetVisible(other.FVisible);
  EndUpdate();
}

void TVrBevel::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TVrBevel::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange();
}

void TVrBevel::Paint(QPainter& painter, QRect& rect) const {
  if (!FVisible) return;
  DrawRing(painter, rect, FBorderWidth, ToQColor(FBorderColor));
  PaintSide(painter, rect, FOuter);
  PaintSide(painter, rect, FInner);
}
