#include "Form1Design.h"

#include "Form1.h"

#include <array>

namespace form {
namespace {

using runtime::Alignment;
using runtime::ControlDesign;
using runtime::ControlKind;
using runtime::FontDesign;

constexpr FontDesign kCaptionFont{"Arial", 12, 700};
constexpr FontDesign kBoxFont{"Arial", 24, 400};
constexpr runtime::ColorValue kBlue = 0x00FF0000;
constexpr runtime::ColorValue kRed = 0x000000FF;
constexpr runtime::ColorValue kBlack = 0x00000000;

// clang-format off
constexpr std::array<ControlDesign, 8> kControls{{
    // name          kind                        text                              left  top   width height tabIndex font                        foreColor backColor                         alignment          intervalMs
    {"Label1",       ControlKind::Label,         "Enter a Temperature to Convert", 480,  240,  3735, 375,   1,       kCaptionFont,               kBlue,    {},                               Alignment::Centre, 0},
    {"RichTextBox1", ControlKind::RichTextBox,   "",                               480,  720,  3735, 615,   0,       kBoxFont,                   {},       runtime::kSystemWindowBackground, Alignment::Left,   0},
    {"Label2",       ControlKind::Label,         "Degrees in  Fahrenheit",         480,  1560, 3615, 375,   4,       kCaptionFont,               kBlue,    {},                               Alignment::Centre, 0},
    {"Text2",        ControlKind::TextBox,       "",                               473,  1920, 3735, 660,   2,       kBoxFont,                   kRed,     kBlack,                           Alignment::Left,   0},
    {"Label3",       ControlKind::Label,         "Degrees in Celsius",             480,  2760, 3735, 375,   5,       kCaptionFont,               kBlue,    {},                               Alignment::Centre, 0},
    {"Text3",        ControlKind::TextBox,       "",                               473,  3120, 3735, 660,   3,       kBoxFont,                   kRed,     kBlack,                           Alignment::Left,   0},
    {"Command1",     ControlKind::CommandButton, "CLEAR",                          1080, 3960, 2535, 615,   6,       {"MS Sans Serif", 12, 700}, {},       {},                               Alignment::Centre, 0},
    {"Timer1",       ControlKind::Timer,         "",                               360,  3960, 0,    0,     0,       {},                         {},       {},                               Alignment::Left,   10},
}};
// clang-format on

constexpr runtime::FormDesign kForm1{
    .name = "Form1",
    .caption = "My Mirovane",
    .clientLeft = 9765,
    .clientTop = 5670,
    .clientWidth = 4680,
    .clientHeight = 4950,
    .font = {"MS Sans Serif", 12, 400},
    .linkTopic = "Form1",
    .controls = kControls,
};

constexpr std::array<runtime::EventBinding<Form1>, 3> kBindings{{
    {runtime::kFormItself, runtime::Event::Load, &Form1::Form_Load},
    {Command1, runtime::Event::Click, &Form1::Command1_Click},
    {Timer1, runtime::Event::Timer, &Form1::Timer1_Timer},
}};

} // namespace

const runtime::FormDesign& form1Design() {
    return kForm1;
}

std::span<const runtime::EventBinding<Form1>> form1Bindings() {
    return kBindings;
}

} // namespace form
