// The cursor registry.
#include "ProgramCursors.h"

#include <QBitmap>
#include <QPixmap>
#include <map>

namespace {

// The finger tip of the 32 x 32 hand picture.
constexpr int kHandHotSpotX = 10;
constexpr int kHandHotSpotY = 5;

std::map<int, QCursor>& Registry() {
  static std::map<int, QCursor> registry;
  return registry;
}

}  // namespace

void RegisterProgramCursors() {
  if (Registry().count(kHandPointCursor) != 0) return;
  Registry().emplace(kHandPointCursor,
                     QCursor(QPixmap(QStringLiteral(":/VRCURSORHANDPOINT.xpm")), kHandHotSpotX, kHandHotSpotY));
}

QCursor ProgramCursor(int number) {
  const auto found = Registry().find(number);
  return found != Registry().end() ? found->second : QCursor(Qt::ArrowCursor);
}
