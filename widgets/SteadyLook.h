// Our widgets look the same whether or not their container is disabled or
// they have the focus: the container blocks input, nothing more.
#pragma once

class QWidget;

// Makes the disabled colours of `widget`'s palette equal to the active ones.
void KeepLookWhenDisabled(QWidget& widget);
// Draws `widget`'s frame without the style's focus highlight.
void HideFocusFrame(QWidget& widget);
