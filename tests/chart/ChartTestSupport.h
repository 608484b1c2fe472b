// The chart as the window sets it up, the traces it shows, and the load the
// window performs; shared by the chart tests and the chart benchmark.
#pragma once

#include <QImage>
#include <QSize>
#include <array>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "Colors.h"
#include "TChart.h"

namespace chart_test {

struct SeriesLook {
  const char* title;
  ColorNumber color;
  int penWidth;
};

inline constexpr int kSeriesCount = 9;
inline constexpr int kMixSeries = 8;
inline constexpr std::array<SeriesLook, kSeriesCount> kWindowSeries{{{"Gen1", clLime, 1},
                                                                     {"Gen2", clAqua, 1},
                                                                     {"Gen3", 0xC080FF, 1},
                                                                     {"Gen4", clOlive, 1},
                                                                     {"Gen5", 0x8000FF, 1},
                                                                     {"Gen6", clYellow, 1},
                                                                     {"Gen7", 0xFF8080, 1},
                                                                     {"Gen8", 0xFF80FF, 1},
                                                                     {"Mix", 0x0080FF, 2}}};
inline constexpr ColorNumber kBackground = 0x404000;
inline constexpr QSize kWindowChartSize(809, 209);
inline constexpr double kRange = 32768.0;

// The chart with the window's size, colour, margins, scale and nine series.
inline std::unique_ptr<TChart> MakeWindowChart() {
  auto chart = std::make_unique<TChart>();
  chart->resize(kWindowChartSize);
  chart->SetColor(kBackground);
  chart->SetMargins(4, 4, 4, 4);
  chart->SetVerticalRange(-kRange, kRange);
  for (const SeriesLook& look : kWindowSeries) {
    chart->AddSeries(QString::fromLatin1(look.title), look.color, look.penWidth).Reserve(32768);
  }
  return chart;
}

// Values per series, x = 0 .. N-1.
using Traces = std::array<std::vector<double>, kSeriesCount>;

// The eight start-up tones (110 Hz * k at level 16384, 48000 steps a second,
// the phase in half-cycles) and their average.
inline Traces StartupTones(int n) {
  Traces traces;
  for (auto& trace : traces) trace.resize(static_cast<std::size_t>(n));
  for (int x = 0; x < n; ++x) {
    double sum = 0.0;
    for (int k = 0; k < kMixSeries; ++k) {
      const double y = 16384.0 * std::sin(std::numbers::pi * x * 110.0 * (k + 1) / 48000.0);
      traces[static_cast<std::size_t>(k)][static_cast<std::size_t>(x)] = y;
      sum += y;
    }
    traces[kMixSeries][static_cast<std::size_t>(x)] = sum / 8.0;
  }
  return traces;
}

// One tone at 12000 Hz and full level in the first series, the others empty:
// it reaches +-32767 every few steps.
inline Traces FullLevelTone(int n) {
  Traces traces;
  auto& trace = traces[0];
  trace.resize(static_cast<std::size_t>(n));
  for (int x = 0; x < n; ++x) trace[static_cast<std::size_t>(x)] = 32767.0 * std::sin(std::numbers::pi * 0.25 * x);
  return traces;
}

// The window's refresh: every series opened, cleared, filled step by step
// (all series per step), closed.
inline void Load(TChart& chart, const Traces& traces) {
  for (int s = 0; s < kSeriesCount; ++s) chart.Series(s).BeginUpdate();
  for (int s = 0; s < kSeriesCount; ++s) chart.Series(s).Clear();
  std::size_t steps = 0;
  for (const auto& trace : traces) steps = std::max(steps, trace.size());
  for (std::size_t x = 0; x < steps; ++x) {
    for (int s = 0; s < kSeriesCount; ++s) {
      const auto& trace = traces[static_cast<std::size_t>(s)];
      if (x < trace.size()) chart.Series(s).AddXY(static_cast<double>(x), trace[x]);
    }
  }
  for (int s = 0; s < kSeriesCount; ++s) chart.Series(s).EndUpdate();
}

inline QImage Pixels(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace chart_test
