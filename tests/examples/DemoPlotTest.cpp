// The demo's picture: whatever the data, no text meets other text or a plot
// area, every series stays inside its panel, and the ticks fall on round
// values.

#include "DemoPlot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

using demo::Box;
using demo::DemoPlot;
using demo::Mark;
using demo::Point;
using demo::Series;

// The data the demo plots: a figure-eight 4 m by 2 m driven in 10 s, with
// odometry a few millimetres and a hundredth of a degree off.
DemoPlot FigureEight() {
  DemoPlot plot;
  Series truth{"true path (simulation)", "#888", Mark::Band, {}};
  Series live{"odometry, live", "#d62728", Mark::Line, {}};
  Series replay{"odometry, replayed from the log", "#1f77b4", Mark::Dots, {}};
  Series liveCm{"live", "#d62728", Mark::Line, {}}, replayCm{"replayed", "#1f77b4", Mark::Dots, {}};
  Series liveDeg{"live", "#d62728", Mark::Line, {}}, replayDeg{"replayed", "#1f77b4", Mark::Dots, {}};
  const double w = 2 * std::numbers::pi / 10;
  for (int i = 1; i <= 2500; ++i) {
    const double t = 0.004 * i;
    const Point p{2 * std::sin(w * t), std::sin(2 * w * t)};
    truth.points.push_back(p);
    live.points.push_back({p.x + 0.005 * t / 10, p.y});
    liveCm.points.push_back({t, 0.05 * t + 0.1 * std::sin(t)});
    liveDeg.points.push_back({t, 0.014 * std::sin(3 * t)});
    if (i % 25 == 0) {
      replay.points.push_back(live.points.back());
      replayCm.points.push_back(liveCm.points.back());
      replayDeg.points.push_back(liveDeg.points.back());
    }
  }
  plot.AddPath(truth);
  plot.AddPath(live);
  plot.AddPath(replay);
  plot.AddPositionError(liveCm);
  plot.AddPositionError(replayCm);
  plot.AddHeadingError(liveDeg);
  plot.AddHeadingError(replayDeg);
  return plot;
}

// A path round the edge of a whole competition field, far from the origin,
// with large errors of both signs and a few points that are not numbers.
DemoPlot FieldFillingPath() {
  DemoPlot plot;
  Series path{"a path round the field with a rather long label that wraps the legend", "#222", Mark::Line, {}};
  Series dots{"the same as dots", "#1f77b4", Mark::Dots, {}};
  for (const Point corner : {Point{100, 50}, Point{116.5, 50}, Point{116.5, 58.2}, Point{100, 58.2}, Point{100, 50}})
    path.points.push_back(corner);
  path.points.push_back({NAN, 3});
  dots.points = path.points;
  Series cm{"error", "#d62728", Mark::Line, {{0, -1234.5}, {150, 987.25}, {INFINITY, 0}}};
  Series deg{"heading", "#d62728", Mark::Line, {{0, -179.9}, {150, 179.9}}};
  plot.AddPath(path);
  plot.AddPath(dots);
  plot.AddPositionError(cm);
  plot.AddHeadingError(deg);
  return plot;
}

// No data at all, and an error that is exactly zero throughout.
DemoPlot Empty() {
  DemoPlot plot;
  plot.AddPositionError({"none", "#000", Mark::Line, {{0, 0}, {10, 0}}});
  return plot;
}

double TickValue(const std::string& text) {
  std::string ascii = text;
  if (ascii.rfind("\u2212", 0) == 0) ascii = "-" + ascii.substr(3);
  std::size_t used = 0;
  try {
    const double v = std::stod(ascii, &used);
    return used == ascii.size() ? v : NAN;
  } catch (const std::exception&) {
    return NAN;
  }
}

// The values of one row (same top) or column (same right edge) of tick
// labels are evenly spaced by 1, 2 or 5 times a power of ten.
void ExpectRoundTicks(const std::map<double, std::vector<double>>& axes, const char* which) {
  bool found = false;
  for (const auto& [edge, values] : axes) {
    if (values.size() < 3) continue;
    found = true;
    const double step = std::abs(values[1] - values[0]);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 || std::abs(mantissa - 5) < 1e-6)
        << which << " step " << step;
    for (std::size_t i = 1; i < values.size(); ++i) {
      EXPECT_NEAR(std::abs(values[i] - values[i - 1]), step, step * 1e-6) << which;
      EXPECT_NEAR(values[i] / step, std::round(values[i] / step), 1e-6) << which << " tick " << values[i];
    }
  }
  EXPECT_TRUE(found) << "no " << which << " axis with three labelled ticks";
}

// Nothing overlaps, for the demo's data and for data that fills the field.
TEST(DemoPlot, NoTextMeetsTextOrDataAndEverySeriesStaysInItsPanel) {
  for (auto [name, plot] : {std::pair{"figure-eight", FigureEight()}, std::pair{"field-filling", FieldFillingPath()},
                            std::pair{"empty", Empty()}}) {
    SCOPED_TRACE(name);
    const std::string svg = plot.Svg("A title");
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    const std::vector<Box>& boxes = plot.Boxes();
    std::map<int, const Box*> areas;
    for (const Box& b : boxes) {
      if (b.kind == Box::Kind::Area) areas[b.panel] = &b;
      EXPECT_GE(b.left, 0) << b.what;
      EXPECT_GE(b.top, 0) << b.what;
      EXPECT_LE(b.right, DemoPlot::kWidth) << b.what;
      EXPECT_LE(b.bottom, plot.Height()) << b.what;
    }
    EXPECT_EQ(areas.size(), 3u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const Box& a = boxes[i];
      if (a.kind == Box::Kind::Data) {
        ASSERT_TRUE(areas.contains(a.panel));
        EXPECT_TRUE(a.Inside(*areas[a.panel])) << "series '" << a.what << "' leaves its panel";
        continue;
      }
      for (std::size_t j = i + 1; j < boxes.size(); ++j) {
        const Box& b = boxes[j];
        if (b.kind != Box::Kind::Data) {
          EXPECT_FALSE(a.Overlaps(b)) << "'" << a.what << "' meets '" << b.what << "'";
        }
      }
    }
  }
}

// Ticks are labelled at round values on both axes of every panel.
TEST(DemoPlot, TicksAreLabelledAtRoundValues) {
  for (auto [name, plot] : {std::pair{"figure-eight", FigureEight()}, std::pair{"field-filling", FieldFillingPath()}}) {
    SCOPED_TRACE(name);
    plot.Svg("A title");
    for (int panel = 0; panel < 3; ++panel) {
      std::map<double, std::vector<double>> rows, columns;
      for (const Box& b : plot.Boxes()) {
        if (b.panel != panel || b.kind != Box::Kind::Text || std::isnan(TickValue(b.what))) continue;
        rows[b.top].push_back(TickValue(b.what));
        columns[b.right].push_back(TickValue(b.what));
      }
      ExpectRoundTicks(rows, "x");
      ExpectRoundTicks(columns, "y");
    }
  }
}

}  // namespace
