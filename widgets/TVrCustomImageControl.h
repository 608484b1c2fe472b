// Base of the self-drawn windowed controls: an off-screen picture that every
// paint redraws completely and copies to the screen in one block, and
// Redraw, the synchronous repaint that every change of state asks for. The
// picture has the screen's resolution (DevicePixels.h): a control on a
// screen with two device pixels per logical pixel paints twice as many in
// each direction.
#pragma once

#include <QImage>
#include <QWidget>

class TVrCustomImageControl : public QWidget {
 public:
  explicit TVrCustomImageControl(QWidget* parent = nullptr);

  // Repaints at once, before returning; does nothing while the control is
  // being set up (BeginLoading .. EndLoading) or inside BeginUpdate ..
  // EndUpdate.
  void Redraw();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // While loading, setters store their values without repainting; the
  // window's construction brackets each control's settings with these.
  void BeginLoading() { FLoading = true; }
  void EndLoading();
  bool Loading() const { return FLoading; }

  // The background: the parent's face colour, also while disabled.
  QColor Color() const { return palette().color(QPalette::Active, QPalette::Window); }

 protected:
  // Draws the whole control into the off-screen picture, which is already
  // filled with Color(). The painter works in logical pixels, scaled to the
  // picture's PictureRatio(); a part that wants device pixels resets the
  // painter's transform (the picture itself has no ratio while it is
  // painted).
  virtual void PaintImage(QPainter& painter) = 0;
  // Device pixels per logical pixel of the picture being painted.
  double PictureRatio() const { return FPictureRatio; }
  void paintEvent(QPaintEvent* event) override;

  QImage FBitmapImage;

 private:
  double FPictureRatio = 1.0;
  int FUpdateCount = 0;
  bool FLoading = false;
};
