#pragma once

// The demo's picture: an SVG file of three panels stacked one above the
// other, sharing one left edge:
//   - the field seen from above (x forward, y left, metres, one scale for
//     both), with the true path and the paths odometry estimated;
//   - the position error against time, in centimetres;
//   - the heading error against time, in degrees.
// Each panel has its legend in a strip above its plot area, so no legend
// ever covers data, and ticks at round values (1, 2 or 5 times a power of
// ten) spaced so that their labels never meet.
//
// A plot keeps a Box for everything it draws (texts, legend swatches, plot
// areas, the extent of each series), so a test can check that nothing
// overlaps for any data. Text extents are estimated from the font size,
// generously, since the renderer's font is unknown. Header-only and without
// dependencies; not thread-safe.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace demo {

struct Point {
  double x;
  double y;
};

/// How a series is drawn.
enum class Mark {
  Line,  ///< a thin line
  Band,  ///< a wide pale line, drawn beneath the others
  Dots,  ///< a dot per point, so that a line drawn on the same points still shows
};

struct Series {
  std::string label;
  std::string colour;
  Mark mark = Mark::Line;
  std::vector<Point> points;  ///< points that are not finite are left out
};

/// A rectangle on the picture, in SVG pixels (y grows downwards).
struct Box {
  enum class Kind {
    Text,    ///< any text, or a legend swatch
    Area,    ///< a panel's plot area: only data is drawn inside it
    Data,    ///< the extent of one series; lies inside its panel's area
  };
  Kind kind;
  int panel;  ///< index of the panel it belongs to, -1 for the title
  double left, top, right, bottom;
  std::string what;  ///< the text, the series' label or the panel's name

  bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  bool Inside(const Box& o) const { return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom; }
};

class DemoPlot {
 public:
  static constexpr double kWidth = 900;

  DemoPlot() {
    panels_.push_back({"field", "x (m)", "y (m)", true, false, {}});
    panels_.push_back({"position error", "time (s)", "position error (cm)", false, true, {}});
    panels_.push_back({"heading error", "time (s)", "heading error (deg)", false, true, {}});
  }

  /// Adds a path to the field panel (x forward, y left, metres).
  void AddPath(Series path) { panels_[0].series.push_back(std::move(path)); }
  /// Adds a curve to the position-error panel: x in seconds, y in centimetres.
  void AddPositionError(Series curve) { panels_[1].series.push_back(std::move(curve)); }
  /// Adds a curve to the heading-error panel: x in seconds, y in degrees.
  void AddHeadingError(Series curve) { panels_[2].series.push_back(std::move(curve)); }

  /// The picture as SVG text; also records Boxes() and Height().
  std::string Svg(const std::string& title) {
    boxes_.clear();
    std::ostringstream out;
    std::ostringstream body;
    double y = 14;
    y = Text(body, -1, 20, y + kTitleSize, title, kTitleSize, Anchor::Start) + 6;
    const double plotLeft = PlotLeft();
    for (std::size_t i = 0; i < panels_.size(); ++i) y = DrawPanel(body, static_cast<int>(i), plotLeft, y) + 12;
    height_ = std::ceil(y);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << height_
        << "\" font-family=\"sans-serif\" font-size=\"" << kFontSize << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << body.str() << "</svg>\n";
    return out.str();
  }

  /// Writes the picture to `file`. @return false when it cannot be written.
  bool Write(const std::string& file, const std::string& title) {
    const std::string svg = Svg(title);
    std::ofstream out(file);
    out << svg;
    return static_cast<bool>(out);
  }

  /// Everything the last Svg() drew.
  const std::vector<Box>& Boxes() const { return boxes_; }
  /// The height of the last picture, pixels.
  double Height() const { return height_; }

 private:
  static constexpr double kTitleSize = 16;
  static constexpr double kFontSize = 13;
  static constexpr double kTickSize = 12;
  static constexpr double kRight = 20;       // margin right of the plot areas
  static constexpr double kSwatch = 28;      // length of a legend's sample line
  static constexpr double kLegendRow = 20;
  static constexpr double kFieldMaxHeight = 440;
  static constexpr double kFieldMinHeight = 160;
  static constexpr double kTimePanelHeight = 150;
  static constexpr double kInset = 5;  // between the frame and the data

  enum class Anchor { Start, Middle, End };

  struct Panel {
    std::string name;
    std::string xLabel, yLabel;
    bool equalScale;   // a metre as long across as up
    bool includeZero;  // the value axis shows 0
    std::vector<Series> series;
  };

  struct Range {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    bool Empty() const { return !(min <= max); }
    void Add(double v) {
      min = std::min(min, v);
      max = std::max(max, v);
    }
  };

  struct Axis {
    double min = 0, max = 1;  // data units at the two ends
    double step = 1;          // between ticks
    std::vector<double> ticks;
    int decimals = 0;
  };

  // Estimated extent of a text: wide enough for the broadest sans-serif
  // glyphs on average, so that real text stays inside.
  static double TextWidth(const std::string& text, double size) {
    std::size_t glyphs = 0;
    for (unsigned char c : text) glyphs += (c & 0xC0) != 0x80 ? 1 : 0;
    return 0.62 * size * static_cast<double>(glyphs);
  }

  static std::string Escape(const std::string& text) {
    std::string escaped;
    for (char c : text) {
      if (c == '<') {
        escaped += "&lt;";
      } else if (c == '>') {
        escaped += "&gt;";
      } else if (c == '&') {
        escaped += "&amp;";
      } else {
        escaped += c;
      }
    }
    return escaped;
  }

  static std::string Number(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    const std::string s = text;
    if (s[0] != '-') return s;
    // No "-0"; a negative number gets a real minus sign.
    return s.find_first_not_of("-0.") == std::string::npos ? s.substr(1) : "\u2212" + s.substr(1);
  }

  // Writes a text with its baseline at `baseline` and records its box;
  // returns the box's bottom.
  double Text(std::ostream& out, int panel, double x, double baseline, const std::string& text, double size,
              Anchor anchor) {
    const double width = TextWidth(text, size);
    const double left = anchor == Anchor::Start ? x : anchor == Anchor::Middle ? x - width / 2 : x - width;
    const Box box{Box::Kind::Text, panel, left, baseline - 0.8 * size, left + width, baseline + 0.25 * size, text};
    boxes_.push_back(box);
    out << "<text x=\"" << x << "\" y=\"" << baseline << "\" font-size=\"" << size << "\""
        << (anchor == Anchor::Middle ? " text-anchor=\"middle\"" : anchor == Anchor::End ? " text-anchor=\"end\"" : "")
        << ">" << Escape(text) << "</text>\n";
    return box.bottom;
  }

  // Text turned a quarter left, centred on (cx, cy).
  void UprightText(std::ostream& out, int panel, double cx, double cy, const std::string& text) {
    const double length = TextWidth(text, kFontSize);
    boxes_.push_back({Box::Kind::Text, panel, cx - 0.55 * kFontSize, cy - length / 2, cx + 0.55 * kFontSize,
                      cy + length / 2, text});
    out << "<text transform=\"translate(" << cx + 0.35 * kFontSize << " " << cy
        << ") rotate(-90)\" text-anchor=\"middle\">" << Escape(text) << "</text>\n";
  }

  static Range DataRange(const Panel& panel, bool x) {
    Range r;
    for (const Series& s : panel.series) {
      for (const Point& p : s.points) {
        if (std::isfinite(p.x) && std::isfinite(p.y)) r.Add(x ? p.x : p.y);
      }
    }
    return r;
  }

  // 1, 2 or 5 times a power of ten, at least `least`.
  static double RoundStep(double least) {
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
      if (m * power >= least * (1 - 1e-9)) return m * power;
    }
    return 10.0 * power;
  }

  static int Decimals(double step) {
    for (int d = 0; d < 12; ++d) {
      const double scaled = step * std::pow(10.0, d);
      if (std::abs(scaled - std::round(scaled)) < 1e-6 * scaled) return d;
    }
    return 12;
  }

  // Ticks for `range` drawn over `pixels`: round steps, no closer than
  // `spacing(step)` pixels apart. With `extend` the ends move out to ticks.
  template <class Spacing>
  static Axis Ticks(Range range, double pixels, bool extend, Spacing spacing) {
    Axis axis;
    double step = RoundStep((range.max - range.min) / 10.0);
    for (int tries = 0; tries < 40; ++tries) {
      axis.min = extend ? std::floor(range.min / step + 1e-9) * step : range.min;
      axis.max = extend ? std::ceil(range.max / step - 1e-9) * step : range.max;
      if ((step / (axis.max - axis.min)) * pixels >= spacing(step)) break;
      step = RoundStep(step * 1.01);
    }
    axis.step = step;
    axis.decimals = Decimals(step);
    for (double t = std::ceil(axis.min / step - 1e-9) * step; t <= axis.max + step * 1e-9; t += step) {
      axis.ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    }
    return axis;
  }

  static Range Padded(Range r, double minimumSpan) {
    if (r.Empty()) r = {0, 0};
    if (r.max - r.min < minimumSpan) {
      const double centre = (r.min + r.max) / 2;
      r = {centre - minimumSpan / 2, centre + minimumSpan / 2};
    }
    return r;
  }

  // A panel's scales for a plot area `plotWidth` wide.
  struct Layout {
    Axis x, y;
    double plotHeight = kTimePanelHeight;
  };

  static Layout LayOut(const Panel& panel, double plotWidth) {
    Layout layout;
    Range xr = DataRange(panel, true), yr = DataRange(panel, false);
    if (panel.equalScale) {
      xr = Padded({xr.min - 0.25, xr.max + 0.25}, 1.0);
      yr = Padded({yr.min - 0.25, yr.max + 0.25}, 1.0);
      layout.plotHeight =
          std::clamp(plotWidth * (yr.max - yr.min) / (xr.max - xr.min), kFieldMinHeight, kFieldMaxHeight);
      // One scale for both: widen whichever axis is short.
      const double scale = std::max((xr.max - xr.min) / plotWidth, (yr.max - yr.min) / layout.plotHeight);
      xr = Padded(xr, scale * plotWidth);
      yr = Padded(yr, scale * layout.plotHeight);
    } else {
      xr = Padded(xr, 1.0);
      if (yr.Empty()) yr = {0, 0};
      if (panel.includeZero) yr.Add(0.0);
      // An error of exactly zero everywhere still gets a readable axis.
      if (yr.max - yr.min < 1e-9) yr.max = yr.min + 1.0;
    }
    // The axes of the time panels end at ticks; the field keeps its one scale.
    const bool extend = !panel.equalScale;
    const double inner = plotWidth - 2 * kInset;
    layout.x = Ticks(xr, inner, extend, [&](double step) {
      const double widest = std::max(TextWidth(Number(xr.min, Decimals(step)), kTickSize),
                                     TextWidth(Number(xr.max, Decimals(step)), kTickSize));
      return std::max(widest + 14, 50.0);
    });
    layout.y = Ticks(yr, layout.plotHeight - 2 * kInset, extend, [](double) { return 1.6 * kTickSize + 12; });
    return layout;
  }

  static double WidestLabel(const Axis& axis) {
    double widest = 0;
    for (double t : axis.ticks) widest = std::max(widest, TextWidth(Number(t, axis.decimals), kTickSize));
    return widest;
  }

  // The left edge of the plot areas, shared by the panels so that their
  // time axes line up: room for the upright axis label and the widest value
  // label. Wider labels leave a narrower area, which may pick other ticks,
  // so this settles in a few rounds.
  double PlotLeft() const {
    double left = 0;
    for (int round = 0; round < 6; ++round) {
      double widest = 0;
      for (const Panel& p : panels_) widest = std::max(widest, WidestLabel(LayOut(p, kWidth - kRight - left).y));
      const double needed = 16 + 1.1 * kFontSize + 10 + widest + 6;
      if (needed <= left) break;
      left = needed;
    }
    return left;
  }

  // Draws one panel from `top`; returns the bottom of what it drew.
  double DrawPanel(std::ostream& out, int index, double plotLeft, double top) {
    const Panel& panel = panels_[static_cast<std::size_t>(index)];
    const double plotWidth = kWidth - kRight - plotLeft;

    // The legend: entries left to right, wrapping, above the plot area.
    double x = plotLeft, baseline = top + kFontSize;
    for (const Series& s : panel.series) {
      const double width = kSwatch + 6 + TextWidth(s.label, kFontSize);
      if (x > plotLeft && x + width > plotLeft + plotWidth) {
        x = plotLeft;
        baseline += kLegendRow;
      }
      Swatch(out, index, x, baseline - 0.3 * kFontSize, s);
      Text(out, index, x + kSwatch + 6, baseline, s.label, kFontSize, Anchor::Start);
      x += width + 22;
    }
    const double areaTop = baseline + 0.25 * kFontSize + 10;

    const Layout layout = LayOut(panel, plotWidth);
    const Axis& xAxis = layout.x;
    const Axis& yAxis = layout.y;
    const double plotHeight = layout.plotHeight;
    const Box area{Box::Kind::Area, index, plotLeft, areaTop, plotLeft + plotWidth, areaTop + plotHeight, panel.name};
    boxes_.push_back(area);
    // Data keeps a few pixels off the frame, so that a line along an edge shows.
    auto px = [&](double v) {
      return area.left + kInset + (v - xAxis.min) / (xAxis.max - xAxis.min) * (plotWidth - 2 * kInset);
    };
    auto py = [&](double v) {
      return area.bottom - kInset - (v - yAxis.min) / (yAxis.max - yAxis.min) * (plotHeight - 2 * kInset);
    };

    // Grid and tick labels, outside the plot area.
    for (double t : xAxis.ticks) {
      out << "<line x1=\"" << px(t) << "\" x2=\"" << px(t) << "\" y1=\"" << area.top << "\" y2=\"" << area.bottom
          << "\" stroke=\"" << (t == 0 ? "#bbb" : "#eee") << "\"/>\n";
      Text(out, index, px(t), area.bottom + 6 + 0.8 * kTickSize, Number(t, xAxis.decimals), kTickSize,
           Anchor::Middle);
    }
    for (double t : yAxis.ticks) {
      out << "<line x1=\"" << area.left << "\" x2=\"" << area.right << "\" y1=\"" << py(t) << "\" y2=\"" << py(t)
          << "\" stroke=\"" << (t == 0 ? "#bbb" : "#eee") << "\"/>\n";
      Text(out, index, area.left - 6, py(t) + 0.3 * kTickSize, Number(t, yAxis.decimals), kTickSize, Anchor::End);
    }
    out << "<rect x=\"" << area.left << "\" y=\"" << area.top << "\" width=\"" << plotWidth << "\" height=\""
        << plotHeight << "\" fill=\"none\" stroke=\"#888\"/>\n";
    const double xLabelBottom =
        Text(out, index, area.left + plotWidth / 2, area.bottom + 12 + 1.8 * kTickSize + 0.8 * kFontSize,
             panel.xLabel, kFontSize, Anchor::Middle);
    UprightText(out, index, 16 + 0.55 * kFontSize, area.top + plotHeight / 2, panel.yLabel);

    // The data: bands first, so that lines and dots stay on top.
    for (Mark mark : {Mark::Band, Mark::Line, Mark::Dots}) {
      for (const Series& s : panel.series) {
        if (s.mark == mark) DrawSeries(out, index, s, px, py);
      }
    }
    return xLabelBottom;
  }

  // The stroke attributes of a line or band.
  static std::string Stroke(const Series& s) {
    return " stroke=\"" + s.colour + (s.mark == Mark::Band ? "\" stroke-width=\"7\" stroke-opacity=\"0.35\""
                                                             : "\" stroke-width=\"1.6\"");
  }

  void Swatch(std::ostream& out, int panel, double x, double y, const Series& s) {
    boxes_.push_back({Box::Kind::Text, panel, x, y - 5, x + kSwatch, y + 5, "legend: " + s.label});
    if (s.mark == Mark::Dots) {
      for (double dx : {4.0, 14.0, 24.0}) {
        out << "<circle cx=\"" << x + dx << "\" cy=\"" << y << "\" r=\"2.5\" fill=\"" << s.colour << "\"/>\n";
      }
    } else {
      out << "<line x1=\"" << x << "\" x2=\"" << x + kSwatch << "\" y1=\"" << y << "\" y2=\"" << y << "\""
          << Stroke(s) << "/>\n";
    }
  }

  template <class Px, class Py>
  void DrawSeries(std::ostream& out, int panel, const Series& s, Px px, Py py) {
    Box extent{Box::Kind::Data, panel, 1e300, 1e300, -1e300, -1e300, s.label};
    // Half a band's width or a dot's radius: the drawn ink, not just the points.
    const double ink = s.mark == Mark::Band ? 3.5 : s.mark == Mark::Dots ? 2.5 : 0.8;
    std::ostringstream points;
    char text[48];
    for (const Point& p : s.points) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
      const double x = px(p.x), y = py(p.y);
      extent.left = std::min(extent.left, x - ink);
      extent.right = std::max(extent.right, x + ink);
      extent.top = std::min(extent.top, y - ink);
      extent.bottom = std::max(extent.bottom, y + ink);
      if (s.mark == Mark::Dots) {
        std::snprintf(text, sizeof text, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.5\"/>", x, y);
      } else {
        std::snprintf(text, sizeof text, "%.1f,%.1f ", x, y);
      }
      points << text;
    }
    if (extent.left > extent.right) return;
    boxes_.push_back(extent);
    if (s.mark == Mark::Dots) {
      out << "<g fill=\"" << s.colour << "\">" << points.str() << "</g>\n";
    } else {
      out << "<polyline fill=\"none\" stroke-linejoin=\"round\"" << Stroke(s) << " points=\"" << points.str()
          << "\"/>\n";
    }
  }

  std::vector<Panel> panels_;
  std::vector<Box> boxes_;
  double height_ = 0;
};

}  // namespace demo
