#include "ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.red()) + 0.7152 * linear(rgb.green()) + 0.0722 * linear(rgb.blue());
}

int mixed(int from, int to, double share) {
    return static_cast<int>(std::lround(from + (to - from) * share));
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readableColour(const QColor& wanted, const QColor& background, const QColor& toward,
                      double minimum) {
    if (contrastRatio(wanted, background) >= minimum) {
        return wanted;
    }
    QColor goal = toward.toRgb();
    if (contrastRatio(goal, background) < minimum) {
        const QColor black(Qt::black);
        const QColor white(Qt::white);
        goal = contrastRatio(black, background) > contrastRatio(white, background) ? black : white;
    }
    const QColor from = wanted.toRgb();
    constexpr int kSteps = 255;
    for (int step = 1; step < kSteps; ++step) {
        const double share = double(step) / kSteps;
        const QColor colour(mixed(from.red(), goal.red(), share),
                            mixed(from.green(), goal.green(), share),
                            mixed(from.blue(), goal.blue(), share));
        if (contrastRatio(colour, background) >= minimum) {
            return colour;
        }
    }
    return goal;
}

} // namespace runtime
