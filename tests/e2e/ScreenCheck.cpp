// Reads the real window's pixels off the X server's screen, or off a
// picture of a screen taken by a Wayland compositor.
//
//   screen_check save OUT.png X Y W H   saves that rectangle of the screen
//   screen_check startup X Y            checks the window whose client area
//                                       starts at X, Y as it looks after
//                                       start-up; prints every pixel it read
//   screen_check pixel X Y R G B        exits 0 when the screen's pixel at
//                                       X, Y has that colour
//
// With SCREEN_CHECK_PICTURE=FILE in the environment the screen is that
// picture: a Wayland client cannot read the screen, its compositor can.
//
// The start-up checks are pixels the layout fixes exactly: the chart's
// background, the traces' first point on the plot's middle row, the level
// thumbs at their start rows and the mute button's face.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace {

struct Expected {
  const char* what;
  QPoint at;  // client coordinates of the main window
  QColor color;
};

const QColor kChartBackground(0, 64, 64);
const QColor kMixTrace(255, 128, 0);
const QColor kFace(240, 240, 240);
const QColor kBlack(0, 0, 0);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);

constexpr QPoint kChart(8, 35);
constexpr int kGroupTop = 274;
constexpr int kGroupLefts[] = {8, 96, 186, 276, 366, 456, 546, 636, 729};
constexpr QPoint kSliderInGroup(16, 51);
constexpr int kThumbColumn = 22;        // inside the thumb picture, clear of gutter and ticks
constexpr int kGeneratorThumbTop = 90;  // level 16384 of 32767
constexpr int kMasterThumbTop = 91;     // 50 of 100: 80.5 rounds to even
constexpr int kThumbHeight = 9;

std::vector<Expected> StartUpPixels() {
  std::vector<Expected> pixels{
      {"chart background, top left", kChart + QPoint(1, 1), kChartBackground},
      {"chart background, bottom left", kChart + QPoint(2, 206), kChartBackground},
      // Every trace starts at value 0: the mix, drawn last over the others,
      // covers the first point on the middle row of the plot.
      {"first point of the traces", kChart + QPoint(6, 105), kMixTrace},
      {"left of the first point", kChart + QPoint(3, 105), kChartBackground},
      {"mute button face", QPoint(kGroupLefts[8], kGroupTop) + QPoint(16 + 3, 32 + 3), kGrey},
  };
  for (int group = 0; group < 9; ++group) {
    const int top = group < 8 ? kGeneratorThumbTop : kMasterThumbTop;
    const QPoint slider = QPoint(kGroupLefts[group], kGroupTop) + kSliderInGroup;
    pixels.push_back({"above the thumb", slider + QPoint(kThumbColumn, top - 1), kFace});
    pixels.push_back({"thumb's top edge", slider + QPoint(kThumbColumn, top), kBlack});
    pixels.push_back({"thumb's face", slider + QPoint(kThumbColumn, top + 3), kSilver});
    pixels.push_back({"thumb's bottom edge", slider + QPoint(kThumbColumn, top + kThumbHeight - 1), kBlack});
    pixels.push_back({"below the thumb", slider + QPoint(kThumbColumn, top + kThumbHeight), kFace});
  }
  return pixels;
}

QImage Screen() {
  const QString picture = qEnvironmentVariable("SCREEN_CHECK_PICTURE");
  const QImage screen = picture.isEmpty() ? QGuiApplication::primaryScreen()->grabWindow(0).toImage() : QImage(picture);
  return screen.convertToFormat(QImage::Format_RGB32);
}

int CheckStartUp(QPoint origin) {
  const QImage screen = Screen();
  int wrong = 0;
  for (const Expected& e : StartUpPixels()) {
    const QPoint at = origin + e.at;
    const QColor seen = screen.pixelColor(at);
    const bool ok = seen == e.color;
    wrong += ok ? 0 : 1;
    std::printf("%-32s (%3d,%3d): %3d %3d %3d, expected %3d %3d %3d %s\n", e.what, e.at.x(), e.at.y(), seen.red(),
                seen.green(), seen.blue(), e.color.red(), e.color.green(), e.color.blue(), ok ? "ok" : "WRONG");
  }
  return wrong == 0 ? 0 : 1;
}

int Usage(const char* program) {
  std::fprintf(stderr, "usage: %s save OUT.png X Y W H | startup X Y | pixel X Y R G B\n", program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() == 7 && args[1] == "save") {
    const QRect area(args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt());
    return Screen().copy(area).save(args[2]) ? 0 : 1;
  }
  if (args.size() == 4 && args[1] == "startup") return CheckStartUp(QPoint(args[2].toInt(), args[3].toInt()));
  if (args.size() == 7 && args[1] == "pixel") {
    const QColor expected(args[4].toInt(), args[5].toInt(), args[6].toInt());
    return Screen().pixelColor(args[2].toInt(), args[3].toInt()) == expected ? 0 : 1;
  }
  return Usage(argv[0]);
}
