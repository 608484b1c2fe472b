// A frame of up to two bevels, an outline and spacing rings, painted into a
// rectangle that shrinks as each ring is drawn. Every property change sends
// OnChange (unless inside BeginUpdate .. EndUpdate), which its owner answers
// with a repaint.
#pragma once

#include <QRect>
#include <functional>

#include "Colors.h"

class QPainter;

enum class TVrBevelStyle { bsNone, bsLowered, bsRaised };
enum class TVrBevelOutlineStyle { osOuter, osInner, osNone };

class TVrBevel {
 public:
  // The rings, outermost first: border, outer bevel, inner bevel. Colours,
  // widths and styles of one bevel side.
  struct Side {
    ColorNumber Shadow = clBtnShadow;
    ColorNumber Highlight = clBtnHighlight;
    int Width = 1;
    TVrBevelStyle Style = TVrBevelStyle::bsLowered;
    TVrBevelOutlineStyle Outline = TVrBevelOutlineStyle::osNone;
    int Space = 1;
    ColorNumber SpaceColor = clBtnFace;
    bool operator==(const Side&) const = default;
  };

  TVrBevel();

  int BorderWidth() const { return FBorderWidth; }
  ColorNumber BorderColor() const { return FBorderColor; }
  const Side& Inner() const { return FInner; }
  const Side& Outer() const { return FOuter; }
  bool Visible() const { return FVisible; }

  // Raised to 0.
  void SetBorderWidth(int width);
  void SetBorderColor(ColorNumber color);
  // A side's Width is raised to 1 and its Space to 0.
  void SetInner(const Side& side);
  void SetOuter(const Side& side);
  void SetVisible(bool visible);
  // Takes over every setting of `other`, with one notification.
  void Assign(const TVrBevel& other);

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  // Paints the frame into `rect` (half-open: right and bottom exclusive in
  // the sense of QRect::adjusted) and leaves in it what remains inside.
  void Paint(QPainter& painter, QRect& rect) const;

  std::function<void()> OnChange;

 private:
  template <class T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  void Changed();

  int FBorderWidth = 0;
  ColorNumber FBorderColor = clBtnFace;
  Side FInner;
  Side FOuter;
  bool FVisible = true;
  int FUpdateCount = 0;
};

// Draws `width` rings of a raised or lowered frame: the top colour on the
// left column and top row, the bottom colour on the right column and bottom
// row, which owns the top-right and bottom-left corners. Shrinks `rect`.
void DrawFrame(QPainter& painter, QRect& rect, int width, const QColor& top, const QColor& bottom);
// Draws `width` rings in one colour. Shrinks `rect`.
void DrawRing(QPainter& painter, QRect& rect, int width, const QColor& color);
