// The frequency spin box: a one-line edit whose text is the number, with an
// arrow pair inside its right edge and a caption label above it.
//
// The value lives only in the text: FloatValue parses the text on every read
// and formats into it on every write, and every real change of the text
// (typed, deleted, pasted, stepped or rewritten) raises OnChange once, after
// announcing the new value to assistive tools.
// Typed characters are filtered (AcceptsChar), a refused one beeps; a paste
// is tried out first and dropped silently when the result is no number.
// Separators come from the process's regional settings.
#pragma once

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <cfloat>

#include "NotifyEvent.h"

class TAdvSpinButton;

enum class TLabelPosition { lpLeftTop, lpTopCenter };

class TAdvSpinEdit : public QLineEdit {
 public:
  explicit TAdvSpinEdit(QWidget* parent = nullptr);

  // Extended precision. Empty (or blank) text reads 0; text that is not a
  // number reads MinValue.
  long double FloatValue() const;
  // Rewrites the text with Precision decimals when that changes it. A value
  // that is not finite is ignored: no text would read back as it.
  void SetFloatValue(long double value);

  // Decimals written by SetFloatValue, clamped to 0 .. kMaxPrecision; the
  // text keeps its form until the next write.
  int Precision() const { return FPrecision; }
  void SetPrecision(int precision);
  // The steps; a value that is negative or not finite is ignored.
  double IncrementFloat() const { return FIncrementFloat; }
  void SetIncrementFloat(double step);
  double IncrementFloatPage() const { return FIncrementFloatPage; }
  void SetIncrementFloatPage(double step);
  // What text that is no number reads as; any value.
  int MinValue() const { return FMinValue; }
  void SetMinValue(int value) { FMinValue = value; }

  // Enough decimals to show the smallest normal double with 15 significant
  // digits (as QDoubleSpinBox allows).
  static constexpr int kMaxPrecision = DBL_MAX_10_EXP + DBL_DIG;

  // The caption label, created on first use on the box's parent.
  void SetLabelCaption(const QString& caption);
  // A value outside the enumeration is ignored.
  void SetLabelPosition(TLabelPosition position);
  // The gap above the box, clamped to -QWIDGETSIZE_MAX .. QWIDGETSIZE_MAX.
  void SetLabelMargin(int margin);
  QLabel* Label() const { return FLabel.data(); }
  TAdvSpinButton& Button() const { return *FButton; }

  void StepUp();
  void StepDown();
  // Decides on a typed character, which it may replace (the thousands
  // separator becomes the decimal separator).
  virtual bool AcceptsChar(QChar& character);

  TNotifyEvent OnChange;
  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

  static constexpr int kArrowWidth = 15;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  void setVisible(bool visible) override;

 private:
  struct Selection {
    int start;
    int length;
  };
  Selection CurrentSelection() const;
  void Select(Selection selection);
  void Step(double increment, bool extendSelection);
  void TypeCharacter(QChar character);
  void TryPaste(QClipboard::Mode mode);
  void PlaceLabel();
  void PlaceButton();
  // An arrow was pressed: the focus comes in with the whole text selected.
  void ArrowPressed();

  TAdvSpinButton* FButton;
  QPointer<QLabel> FLabel;
  TLabelPosition FLabelPosition = TLabelPosition::lpLeftTop;
  int FLabelMargin = 4;
  int FPrecision = 0;
  double FIncrementFloat = 0.1;
  double FIncrementFloatPage = 1.0;
  int FMinValue = 0;
  bool FMouseEntryPending = false;
  int FWheelRemainder = 0;
};
