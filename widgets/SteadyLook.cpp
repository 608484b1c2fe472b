// Palette and style adjustments for a steady look.
#include "SteadyLook.h"

#include <QApplication>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

namespace {

class NoFocusFrameStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameLineEdit || element == PE_PanelLineEdit) {
      if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option)) {
        QStyleOptionFrame unfocused(*frame);
        unfocused.state &= ~QStyle::State_HasFocus;
        QProxyStyle::drawPrimitive(element, &unfocused, painter, widget);
        return;
      }
      QStyleOption unfocused(*option);
      unfocused.state &= ~QStyle::State_HasFocus;
      QProxyStyle::drawPrimitive(element, &unfocused, painter, widget);
      return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
};

}  // namespace

void KeepLookWhenDisabled(QWidget& widget) {
  QPalette palette = widget.palette();
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto colorRole = static_cast<QPalette::ColorRole>(role);
    palette.setColor(QPalette::Disabled, colorRole, palette.color(QPalette::Active, colorRole));
  }
  widget.setPalette(palette);
}

void HideFocusFrame(QWidget& widget) {
  // One proxy for the whole application, owned by it.
  static NoFocusFrameStyle* style = [] {
    auto* proxy = new NoFocusFrameStyle(QApplication::style()->name());
    proxy->setParent(qApp);
    return proxy;
  }();
  widget.setStyle(style);
}
