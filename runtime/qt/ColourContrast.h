#pragma once
// How well one colour stands out from another, as WCAG 2 measures it, and a colour of the design
// kept readable on whatever background the desktop's colour scheme gives it. The window keeps
// each of its design colours wherever it reads well and moves it, just as far as needed, toward
// the scheme's own text colour where it does not (blue captions on a dark window, say).

#include <QColor>

namespace runtime {

/// The least contrast ratio that WCAG 2 asks of text of ordinary size (level AA).
inline constexpr double kReadableContrast = 4.5;

/// The WCAG 2 contrast ratio of two colours: (L1 + 0.05) / (L2 + 0.05) of their relative
/// luminances, the lighter first; from 1 (equal luminance) to 21 (black and white). Alpha is
/// ignored.
/// Examples: `contrastRatio(Qt::black, Qt::white) == 21`;
/// `contrastRatio(QColor(255, 0, 0), Qt::black)` is 5.25.
double contrastRatio(const QColor& a, const QColor& b);

/// `wanted` where it stands out from `background` by at least `minimum`; otherwise the first
/// colour on the way from `wanted` to `toward` that does, in steps of 1/255. When even `toward`
/// does not, the way leads to black or white instead, whichever stands out more.
/// Examples: `readableColour(Qt::blue, QColor(0xef, 0xef, 0xef), Qt::black) == Qt::blue`;
/// `readableColour(Qt::blue, QColor(0x32, 0x32, 0x32), Qt::white)` is a light blue,
/// QColor(0x8d, 0x8d, 0xff), which stands out by 4.51.
QColor readableColour(const QColor& wanted, const QColor& background, const QColor& toward,
                      double minimum = kReadableContrast);

} // namespace runtime
