// One point of a chart series: a position on the horizontal axis and a value.
#pragma once

struct TChartPoint {
  double X;
  double Y;
};
