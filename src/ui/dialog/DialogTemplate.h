#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A dialog as data: the control table of one page, positions in dialog units.
// The layout (DialogLayout.h) turns it into widgets with the dialog font's metrics.

enum class ControlKind {
    PushButton,
    Label,
    GroupBox,
    Edit,
    ComboBox,
    CheckBox,
    ProgressBar,
    Picture,
};

// Style bits of one control.
namespace ControlStyle {
constexpr uint32_t None = 0;
constexpr uint32_t Hidden = 1u << 0;
constexpr uint32_t ReadOnly = 1u << 1;
constexpr uint32_t Sorted = 1u << 2;
constexpr uint32_t TabStop = 1u << 3;
constexpr uint32_t NoTabStop = 1u << 4;
constexpr uint32_t DefaultButton = 1u << 5;
constexpr uint32_t Multiline = 1u << 6;
constexpr uint32_t VScroll = 1u << 7;
constexpr uint32_t Centered = 1u << 8;
constexpr uint32_t Border = 1u << 9;
constexpr uint32_t AutoHScroll = 1u << 10;
constexpr uint32_t DropDown = 1u << 11; // combo box with an edit field
constexpr uint32_t LeftText = 1u << 12; // check box with its text on the left
constexpr uint32_t WordWrap = 1u << 13;
} // namespace ControlStyle

constexpr int noControlId = -1; // labels, group boxes and pictures that nobody addresses

struct ControlSpec {
    int id;
    ControlKind kind;
    std::string caption; // text, or the image resource path of a picture
    int x, y, w, h;      // dialog units
    uint32_t style;
    std::vector<std::string> items; // initial combo-box items, in template order
};

struct DialogTemplate {
    int id;
    std::string caption; // the tab caption
    int width, height;   // dialog units
    std::vector<ControlSpec> controls;
};
