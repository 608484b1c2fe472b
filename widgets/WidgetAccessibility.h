// What screen readers and other assistive tools learn about the self-drawn
// controls: the accessibility interfaces of the level slider (a slider with a
// value), the toggle button (a checkable button with a press action) and the
// spin box (a spin box with a value and its text), and the notices the
// controls send when their value or checked state changes.
#pragma once

class QAccessibleEvent;
class QObject;
class QVariant;
class QWidget;

// Registers the interfaces with Qt's accessibility framework (once per
// process) and makes sure `control` is answered with its own. Every control's
// constructor calls it. Qt keeps the first interface made for an object, and
// QWidget's constructor may already have asked for one while the object was
// no more than a QWidget (a child of a disabled parent announces its state
// from there): that one is dropped.
void AttachAccessibility(QWidget& control);

// Tells the listening assistive tools that `control`'s value is now `value`,
// or that its checked state flipped. Nothing happens while none listens.
void NotifyValueChanged(QObject& control, const QVariant& value);
void NotifyCheckedChanged(QObject& control);

// Where the notices go. By default to Qt (QAccessible::updateAccessibility),
// which passes them on only while an assistive tool listens: on a platform
// without one, such as the offscreen platform of the tests, they vanish. A
// test puts its recorder here; nullptr brings Qt back. Returns the sink
// replaced. Window thread only.
using AccessibilityNoticeSink = void (*)(QAccessibleEvent* notice);
AccessibilityNoticeSink SetAccessibilityNoticeSink(AccessibilityNoticeSink sink);
