// The level slider: one integer Position between MinValue and MaxValue,
// shown as a picture thumb on a sunken gutter between two rows of tick marks,
// and reported through OnChange after every change, whatever its source
// (code, mouse, wheel or keys).
//
// Pixel rules: "halved" truncates toward zero; values computed in floating
// point are rounded to the nearest integer with ties to even, and pixels
// beyond the range of an int saturate at its limits.
//
// Every setter clamps or ignores a value it cannot use, compares, stores and
// redraws. Pixel widths are clamped to 0 .. kMaxExtent and pixel offsets to
// -kMaxExtent .. kMaxExtent: no widget is larger, and every sum of them still
// fits an int. A value outside its enumeration is ignored.
#pragma once

#include <QImage>
#include <QRect>
#include <algorithm>

#include "Colors.h"
#include "NotifyEvent.h"
#include "PointerConfinement.h"
#include "TVrBevel.h"
#include "TVrCustomImageControl.h"

enum class TVrOrientation { voVertical, voHorizontal };
enum class TVrProgressStyle { psBottomLeft, psTopRight };
enum class TVrTickMarks { tmNone, tmBoth, tmBottomRight, tmTopLeft };

enum TVrTrackBarOption : unsigned {
  toActiveClick = 1u << 0,  // a press beside the thumb makes it jump there
  toMouseClip = 1u << 1,    // the pointer is confined to the slider during a drag
  toHandPoint = 1u << 2,    // the pointing hand over the thumb
  toFixedPoints = 1u << 3,  // mouse values snap to multiples of Frequency
  toThumbOpaque = 1u << 4,  // the thumb's transparent colour is painted too
};
using TVrTrackBarOptions = unsigned;
inline constexpr TVrTrackBarOptions kAllTrackBarOptions =
    toActiveClick | toMouseClip | toHandPoint | toFixedPoints | toThumbOpaque;

class TVrTrackBar : public TVrCustomImageControl {
 public:
  explicit TVrTrackBar(QWidget* parent = nullptr);

  int MinValue() const { return FMinValue; }
  int MaxValue() const { return FMaxValue; }
  int Position() const { return FPosition; }
  TVrOrientation Orientation() const { return FOrientation; }
  TVrProgressStyle Style() const { return FStyle; }
  TVrTrackBarOptions Options() const { return FOptions; }
  int Frequency() const { return FFrequency; }
  int BorderWidth() const { return FBorderWidth; }
  int GutterWidth() const { return FGutterWidth; }
  TVrBevel& GutterBevel() { return FGutterBevel; }
  TVrTickMarks TickMarks() const { return FTickMarks; }
  int ThumbStates() const { return FThumbStates; }

  // The largest pixel width or offset a setter keeps.
  static constexpr int kMaxExtent = QWIDGETSIZE_MAX;

  // Clamped to MinValue .. MaxValue; an unchanged value does nothing, a new
  // one is drawn and announced to assistive tools before OnChange runs.
  void SetPosition(int value);
  // Any value. Position moves into the new range (with its OnChange). A
  // MinValue above MaxValue is kept as given: Position then stays at
  // MaxValue and every value is drawn where MinValue would be.
  void SetMinValue(int value);
  void SetMaxValue(int value);
  // Outside loading, swaps width and height.
  void SetOrientation(TVrOrientation orientation);
  void SetStyle(TVrProgressStyle style);
  // Bits beyond kAllTrackBarOptions are dropped.
  void SetOptions(TVrTrackBarOptions options);
  // Raised to at least 1: the wheel and the keys always move, and ticks are
  // always spaced by a positive step.
  void SetFrequency(int frequency);
  // 0 .. kMaxExtent. A border that leaves no room for the thumb's travel
  // draws every value at the track's start.
  void SetBorderWidth(int width);
  // 0 .. kMaxExtent.
  void SetGutterWidth(int width);
  void SetGutterColor(ColorNumber color);
  void SetGutterBevel(const TVrBevel& bevel) { FGutterBevel.Assign(bevel); }
  void SetTickMarks(TVrTickMarks marks);
  void SetTickColor(ColorNumber color);
  // -kMaxExtent .. kMaxExtent.
  void SetScaleOffset(int offset);
  void SetFocusColor(ColorNumber color);
  // -kMaxExtent .. kMaxExtent; negative: no focus frame.
  void SetFocusOffset(int offset);
  // 1 .. 4 pictures side by side.
  void SetThumbStates(int states);
  // A tab stop takes the focus by keyboard and by a click.
  void SetTabStop(bool tabStop);

  // The thumb's leading edge (top for vertical, left for horizontal) for a
  // value, and the value for a leading edge; any int is accepted.
  int PositionToPixel(int value) const;
  int PixelToPosition(int pixel) const;
  // Moves the thumb's leading edge to `pixel` (clamped to the track) and
  // takes the value found there.
  void MoveThumbTo(int pixel);

  TNotifyEvent OnChange;

 protected:
  void PaintImage(QPainter& painter) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Lengths along the track, in logical pixels or in the picture's device
  // pixels: every pixel mapping below works in either, so that a picture at
  // a higher resolution places ticks and thumb at its own pixels.
  struct TrackExtents {
    int control;  // the control's length
    int border;   // before the track, and after it
    int thumb;    // the thumb's length
    int Length() const { return std::max(control - 2 * border - thumb, 0); }
  };
  TrackExtents Extents(double ratio) const;
  // The thumb's leading edge for a value, in the extents' pixels.
  int LeadingEdge(int value, const TrackExtents& extents) const;
  bool Vertical() const { return FOrientation == TVrOrientation::voVertical; }
  // The track runs from the far edge: values grow upward or leftward.
  bool Reversed() const;
  int TrackStart() const;
  int TrackLength() const;
  double Range() const;
  QRect GutterRect() const;
  // Where the thumb is drawn for the current Position.
  QRect ThumbRect() const;
  template <class T>
  void SetAndRedraw(T& field, const T& value);
  void Change();
  // After a change of the range: a Position now outside it moves in.
  void KeepPositionInRange();
  // Loads the picture for the orientation, with its transparent colour
  // already cleared unless toThumbOpaque: paints only copy it.
  void LoadThumbImage();
  // The thumb pictures at the picture's ratio, made from the loaded ones
  // when the ratio changed.
  const QImage& DeviceThumbImage(double ratio);
  void DrawTicks(QPainter& painter, int base, int longTick, int shortTick) const;
  void DrawThumb(QPainter& painter, const QImage& pictures) const;
  void SetFocused(bool focused);
  void UpdateHover(const QPoint& point);

  int FMinValue = 0;
  int FMaxValue = 100;
  int FPosition = 0;
  TVrProgressStyle FStyle = TVrProgressStyle::psBottomLeft;
  TVrOrientation FOrientation = TVrOrientation::voHorizontal;
  TVrTrackBarOptions FOptions = toActiveClick | toMouseClip | toHandPoint | toThumbOpaque;
  int FFrequency = 10;
  int FBorderWidth = 10;
  TVrBevel FGutterBevel;
  int FGutterWidth = 9;
  ColorNumber FGutterColor = clBlack;
  TVrTickMarks FTickMarks = TVrTickMarks::tmBoth;
  ColorNumber FTickColor = clBlack;
  int FScaleOffset = 5;
  ColorNumber FFocusColor = clBlack;
  int FFocusOffset = 0;

  // Run-time state.
  int FHit = 0;  // pointer to thumb edge distance of a drag
  bool FClipOn = false;
  bool FFocused = false;
  int FThumbWidth = 0;
  int FThumbHeight = 0;
  QImage FThumbImage;  // ThumbStates pictures side by side, as drawn
  QImage FDeviceThumbImage;          // the same at FDeviceThumbRatio
  double FDeviceThumbRatio = 0.0;    // 0: not made yet
  bool FThumbDown = false;
  bool FThumbHasMouse = false;
  int FThumbStates = 1;
  int FWheelRemainder = 0;
  PointerConfinement FConfinement;
};
