#include "ui/path_data.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace purvex::ui {
namespace {

constexpr double kPi = std::numbers::pi;

// Appends the arc of the ellipse (centre c, radii rx ry, rotation phi) from angle t0 through
// dt (radians, standard orientation with y pointing down) in pieces of at most 90 degrees.
void AppendEllipticArc(double cx, double cy, double rx, double ry, double phi, double t0, double dt,
                       std::vector<PathSegment>& out) {
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::abs(dt) / (kPi / 2) - 1e-9)));
    const double step = dt / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    auto point = [&](double t) {
        const double x = rx * std::cos(t);
        const double y = ry * std::sin(t);
        return Point{static_cast<float>(cx + x * cosPhi - y * sinPhi),
                     static_cast<float>(cy + x * sinPhi + y * cosPhi)};
    };
    auto tangent = [&](double t) {
        const double x = -rx * std::sin(t);
        const double y = ry * std::cos(t);
        return Point{static_cast<float>(x * cosPhi - y * sinPhi),
                     static_cast<float>(x * sinPhi + y * cosPhi)};
    };
    double t = t0;
    for (int i = 0; i < pieces; ++i) {
        const double t1 = t + step;
        const Point p0 = point(t);
        const Point p1 = point(t1);
        const Point d0 = tangent(t);
        const Point d1 = tangent(t1);
        const auto kf = static_cast<float>(k);
        out.push_back(
            {true, {p0.x + kf * d0.x, p0.y + kf * d0.y}, {p1.x - kf * d1.x, p1.y - kf * d1.y}, p1});
        t = t1;
    }
}

double VectorAngle(double ux, double uy, double vx, double vy) {
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    void SkipSeparators() {
        while (pos_ < text_.size() &&
               (std::isspace(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == ',')) {
            ++pos_;
        }
    }
    bool AtEnd() {
        SkipSeparators();
        return pos_ >= text_.size();
    }
    bool AtCommand() {
        SkipSeparators();
        return pos_ < text_.size() && std::isalpha(static_cast<unsigned char>(text_[pos_]));
    }
    char Command() { return text_[pos_++]; }
    bool Number(float& value) {
        SkipSeparators();
        const char* first = text_.data() + pos_;
        const char* last = text_.data() + text_.size();
        const auto result = std::from_chars(first, last, value);
        if (result.ec != std::errc{} || !std::isfinite(value)) {
            return false;
        }
        pos_ += static_cast<std::size_t>(result.ptr - first);
        return true;
    }
    bool Flag(bool& value) {
        SkipSeparators();
        if (pos_ < text_.size() && (text_[pos_] == '0' || text_[pos_] == '1')) {
            value = text_[pos_++] == '1';
            return true;
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

void AppendSvgArc(Point from, float rxIn, float ryIn, float rotationDeg, bool largeArc, bool sweep,
                  Point to, std::vector<PathSegment>& out) {
    double rx = std::abs(rxIn);
    double ry = std::abs(ryIn);
    if ((from.x == to.x && from.y == to.y)) {
        return;
    }
    if (rx == 0 || ry == 0) {
        out.push_back({false, {}, {}, to});
        return;
    }
    // Endpoint to centre parameterisation, as the SVG implementation notes describe it.
    const double phi = rotationDeg * kPi / 180.0;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double dx = (from.x - to.x) / 2.0;
    const double dy = (from.y - to.y) / 2.0;
    const double x1 = cosPhi * dx + sinPhi * dy;
    const double y1 = -sinPhi * dx + cosPhi * dy;
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double factor = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0.0;
    if (largeArc == sweep) {
        factor = -factor;
    }
    const double cx1 = factor * rx * y1 / ry;
    const double cy1 = -factor * ry * x1 / rx;
    const double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x + to.x) / 2.0;
    const double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y + to.y) / 2.0;
    const double ux = (x1 - cx1) / rx;
    const double uy = (y1 - cy1) / ry;
    const double vx = (-x1 - cx1) / rx;
    const double vy = (-y1 - cy1) / ry;
    const double t0 = VectorAngle(1, 0, ux, uy);
    double dt = VectorAngle(ux, uy, vx, vy);
    if (!sweep && dt > 0) {
        dt -= 2 * kPi;
    } else if (sweep && dt < 0) {
        dt += 2 * kPi;
    }
    const std::size_t first = out.size();
    AppendEllipticArc(cx, cy, rx, ry, phi, t0, dt, out);
    // Land exactly on the requested end point so that following segments join cleanly.
    if (out.size() > first) {
        out.back().end = to;
    }
}

PathFigure CircularArc(Point centre, float radius, float startDeg, float sweepDeg) {
    PathFigure figure;
    // 12 o'clock clockwise is the standard angle minus 90 degrees when y points down.
    const double t0 = (startDeg - 90.0) * kPi / 180.0;
    figure.start = {static_cast<float>(centre.x + radius * std::cos(t0)),
                    static_cast<float>(centre.y + radius * std::sin(t0))};
    if (sweepDeg != 0 && radius > 0) {
        AppendEllipticArc(centre.x, centre.y, radius, radius, 0, t0, sweepDeg * kPi / 180.0,
                          figure.segments);
    }
    return figure;
}

std::optional<std::vector<PathFigure>> ParsePathData(std::string_view data) {
    std::vector<PathFigure> figures;
    Scanner s(data);
    Point current;
    char command = 0;
    while (!s.AtEnd()) {
        if (s.AtCommand()) {
            command = s.Command();
        } else if (command == 0 || command == 'Z') {
            return std::nullopt;
        }
        if (command != 'M' && command != 'Z' && figures.empty()) {
            return std::nullopt;
        }
        float v[7] = {};
        auto numbers = [&](int n) {
            for (int i = 0; i < n; ++i) {
                if (!s.Number(v[i])) {
                    return false;
                }
            }
            return true;
        };
        switch (command) {
            case 'M':
                if (!numbers(2)) {
                    return std::nullopt;
                }
                current = {v[0], v[1]};
                figures.push_back({current, {}, false});
                command = 'L';  // further pairs after M are lines
                break;
            case 'L':
                if (!numbers(2)) {
                    return std::nullopt;
                }
                current = {v[0], v[1]};
                figures.back().segments.push_back({false, {}, {}, current});
                break;
            case 'H':
                if (!numbers(1)) {
                    return std::nullopt;
                }
                current.x = v[0];
                figures.back().segments.push_back({false, {}, {}, current});
                break;
            case 'V':
                if (!numbers(1)) {
                    return std::nullopt;
                }
                current.y = v[0];
                figures.back().segments.push_back({false, {}, {}, current});
                break;
            case 'C':
                if (!numbers(6)) {
                    return std::nullopt;
                }
                current = {v[4], v[5]};
                figures.back().segments.push_back({true, {v[0], v[1]}, {v[2], v[3]}, current});
                break;
            case 'A': {
                bool large = false;
                bool sweep = false;
                if (!numbers(3) || !s.Flag(large) || !s.Flag(sweep) || !s.Number(v[3]) ||
                    !s.Number(v[4])) {
                    return std::nullopt;
                }
                const Point to{v[3], v[4]};
                AppendSvgArc(current, v[0], v[1], v[2], large, sweep, to, figures.back().segments);
                current = to;
                break;
            }
            case 'Z':
                if (figures.empty()) {
                    return std::nullopt;
                }
                figures.back().closed = true;
                current = figures.back().start;
                break;
            default:
                return std::nullopt;
        }
    }
    return figures;
}

std::string RoundedRectPath(float x, float y, float w, float h, float r) {
    char buffer[320];
    std::snprintf(buffer, sizeof(buffer),
                  "M%g %g H%g A%g %g 0 0 1 %g %g V%g A%g %g 0 0 1 %g %g H%g A%g %g 0 0 1 %g %g "
                  "V%g A%g %g 0 0 1 %g %g Z",
                  x + r, y, x + w - r, r, r, x + w, y + r, y + h - r, r, r, x + w - r, y + h, x + r,
                  r, r, x, y + h - r, y + r, r, r, x + r, y);
    return buffer;
}

std::string CirclePath(float cx, float cy, float r) {
    char buffer[160];
    std::snprintf(buffer, sizeof(buffer), "M%g %g A%g %g 0 0 1 %g %g A%g %g 0 0 1 %g %g Z", cx - r,
                  cy, r, r, cx + r, cy, r, r, cx - r, cy);
    return buffer;
}

}  // namespace purvex::ui
