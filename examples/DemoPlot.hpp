#pragma once

// The demo's picture: an SVG file with the field seen from above (the true
// path, the path odometry estimated live and the one it estimated again from
// the replayed log) and, below it, the heading error against time. Plain
// text output, no dependencies; the demo owns one and calls Write once.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace demo {

struct PathPoint {
  double x;  // metres
  double y;  // metres
};

struct Series {
  std::string label;
  std::string colour;
  std::string dash;  // SVG stroke-dasharray, empty for a solid line
  std::vector<PathPoint> points;
};

class DemoPlot {
 public:
  /// Adds a path to the field panel (x forward, y left, metres).
  void AddPath(Series path) { paths_.push_back(std::move(path)); }
  /// Adds a curve to the time panel: x is seconds, y is degrees.
  void AddHeadingError(Series curve) { errors_.push_back(std::move(curve)); }

  /// Writes the picture to `file`. @return false when it cannot be written.
  bool Write(const std::string& file, const std::string& title) const {
    std::ofstream out(file);
    if (!out) return false;
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight
        << "\" font-family=\"sans-serif\" font-size=\"13\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"20\" y=\"26\" font-size=\"16\">" << title << "</text>\n";
    // The field is drawn with x to the right and y up, one scale for both.
    Panel field{60, 50, kWidth - 90, 420};
    Bounds fieldBounds = BoundsOf(paths_, 0.3);
    fieldBounds.EqualScale(field);
    Frame(out, field, fieldBounds, "x (m)", "y (m)");
    for (const Series& path : paths_) Polyline(out, field, fieldBounds, path);
    Legend(out, field, paths_);

    Panel time{60, 540, kWidth - 90, 150};
    Bounds timeBounds = BoundsOf(errors_, 0.0);
    const double span = std::max({std::abs(timeBounds.yMin), std::abs(timeBounds.yMax), 0.01});
    timeBounds.yMin = -span * 1.1;
    timeBounds.yMax = span * 1.1;
    Frame(out, time, timeBounds, "time (s)", "heading error (deg)");
    for (const Series& curve : errors_) Polyline(out, time, timeBounds, curve);
    Legend(out, time, errors_);
    out << "</svg>\n";
    return static_cast<bool>(out);
  }

 private:
  static constexpr int kWidth = 900;
  static constexpr int kHeight = 730;

  struct Panel {
    double left, top, width, height;
  };
  struct Bounds {
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    // Widens one axis so that a metre is as long across as up.
    void EqualScale(const Panel& panel) {
      const double scale = std::max((xMax - xMin) / panel.width, (yMax - yMin) / panel.height);
      const double cx = (xMin + xMax) / 2.0, cy = (yMin + yMax) / 2.0;
      xMin = cx - scale * panel.width / 2.0;
      xMax = cx + scale * panel.width / 2.0;
      yMin = cy - scale * panel.height / 2.0;
      yMax = cy + scale * panel.height / 2.0;
    }
  };

  static Bounds BoundsOf(const std::vector<Series>& all, double margin) {
    Bounds b{1e300, -1e300, 1e300, -1e300};
    for (const Series& s : all) {
      for (const PathPoint& p : s.points) {
        b.xMin = std::min(b.xMin, p.x);
        b.xMax = std::max(b.xMax, p.x);
        b.yMin = std::min(b.yMin, p.y);
        b.yMax = std::max(b.yMax, p.y);
      }
    }
    if (b.xMin > b.xMax) return Bounds{};
    return {b.xMin - margin, b.xMax + margin, b.yMin - margin, b.yMax + margin};
  }

  static double X(const Panel& p, const Bounds& b, double x) {
    return p.left + (x - b.xMin) / (b.xMax - b.xMin) * p.width;
  }
  static double Y(const Panel& p, const Bounds& b, double y) {
    return p.top + p.height - (y - b.yMin) / (b.yMax - b.yMin) * p.height;
  }

  static void Frame(std::ofstream& out, const Panel& p, const Bounds& b, const char* xLabel, const char* yLabel) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"none\" stroke=\"#999\"/>\n",
                  p.left, p.top, p.width, p.height);
    out << text;
    // The zero lines, when they are in view, and the range at the corners.
    if (b.yMin < 0 && b.yMax > 0) {
      std::snprintf(text, sizeof text, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n",
                    p.left, p.left + p.width, Y(p, b, 0), Y(p, b, 0));
      out << text;
    }
    if (b.xMin < 0 && b.xMax > 0) {
      std::snprintf(text, sizeof text, "<line x1=\"%.1f\" x2=\"%.1f\" y1=\"%.1f\" y2=\"%.1f\" stroke=\"#ddd\"/>\n",
                    X(p, b, 0), X(p, b, 0), p.top, p.top + p.height);
      out << text;
    }
    std::snprintf(text, sizeof text,
                  "<text x=\"%.1f\" y=\"%.1f\">%.3g</text><text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.3g</text>\n"
                  "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"middle\">%s</text>\n",
                  p.left, p.top + p.height + 16, b.xMin, p.left + p.width, p.top + p.height + 16, b.xMax,
                  p.left + p.width / 2, p.top + p.height + 16, xLabel);
    out << text;
    std::snprintf(text, sizeof text,
                  "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.3g</text>"
                  "<text x=\"%.1f\" y=\"%.1f\" text-anchor=\"end\">%.3g</text>\n"
                  "<text transform=\"translate(%.1f %.1f) rotate(-90)\" text-anchor=\"middle\">%s</text>\n",
                  p.left - 4, p.top + p.height, b.yMin, p.left - 4, p.top + 10, b.yMax, p.left - 34,
                  p.top + p.height / 2, yLabel);
    out << text;
  }

  static void Polyline(std::ofstream& out, const Panel& p, const Bounds& b, const Series& s) {
    out << "<polyline fill=\"none\" stroke-width=\"1.6\" stroke=\"" << s.colour << "\"";
    if (!s.dash.empty()) out << " stroke-dasharray=\"" << s.dash << "\"";
    out << " points=\"";
    char point[48];
    for (const PathPoint& q : s.points) {
      std::snprintf(point, sizeof point, "%.1f,%.1f ", X(p, b, q.x), Y(p, b, q.y));
      out << point;
    }
    out << "\"/>\n";
  }

  static void Legend(std::ofstream& out, const Panel& p, const std::vector<Series>& all) {
    double y = p.top + 18;
    for (const Series& s : all) {
      out << "<line x1=\"" << p.left + 10 << "\" x2=\"" << p.left + 40 << "\" y1=\"" << y - 4 << "\" y2=\"" << y - 4
          << "\" stroke-width=\"2\" stroke=\"" << s.colour << "\""
          << (s.dash.empty() ? "" : " stroke-dasharray=\"" + s.dash + "\"") << "/>"
          << "<text x=\"" << p.left + 48 << "\" y=\"" << y << "\">" << s.label << "</text>\n";
      y += 18;
    }
  }

  std::vector<Series> paths_;
  std::vector<Series> errors_;
};

}  // namespace demo
