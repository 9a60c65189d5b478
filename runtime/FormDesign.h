#pragma once
// The design data of a window: the window's own settings and its controls with their positions,
// texts, fonts and colours, as constants that a form carries and a window implementation builds
// from. Positions and sizes are in twips (1/1440 inch, 15 twips per pixel at 96 dpi); colours
// are 0x00BBGGRR, or 0x800000nn for system colour nn.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace runtime {

/// Index of a control in FormDesign::controls.
using ControlId = std::size_t;

/// The event source that stands for the window itself rather than one of its controls.
inline constexpr ControlId kFormItself = static_cast<ControlId>(-1);

enum class ControlKind { Label, TextBox, RichTextBox, CommandButton, Timer };

enum class Alignment { Left, Right, Centre };

enum class Event { Load, Click, Timer };

using ColorValue = std::uint32_t;

/// The system colour of a window's background, as a colour value.
inline constexpr ColorValue kSystemWindowBackground = 0x80000005;

struct FontDesign {
    std::string_view name;
    int pointSize = 0;
    int weight = 400; ///< 400 regular, 700 bold.
};

struct ControlDesign {
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    std::string_view text; ///< UTF-8; a caption or a box's initial text.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int tabIndex = 0;
    FontDesign font;
    std::optional<ColorValue> foreColor;
    std::optional<ColorValue> backColor;
    Alignment alignment = Alignment::Left;
    int intervalMs = 0; ///< Timers only.
};

struct FormDesign {
    std::string_view name;
    std::string_view caption; ///< UTF-8.
    int clientLeft = 0;
    int clientTop = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    FontDesign font;
    std::string_view linkTopic;
    std::span<const ControlDesign> controls;
};

} // namespace runtime
