// The main window's layout as data: every control with its parent, kind, position, size,
// text and tab place. The window creates its controls from this table and the tests compare
// the real windows with it. Positions are 96-DPI pixels; the window scales them.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace tavi {

// Control IDs, unique across the whole window (children of containers included), so that a
// notification forwarded from any container names its control unambiguously. They stay clear
// of IDOK and IDCANCEL, which the dialog keyboard interface sends for Enter and Escape.
enum class ControlId : int {
  frmMain = 0,
  // On the window itself.
  Label8 = 100,
  Label1 = 101,
  listboxPlace = 102,
  Panel3 = 103,
  GroupBox1 = 104,
  StatusBar = 105,
  btnAdd = 106,
  btnDelete = 107,
  btnHelp = 108,
  btnClose = 109,
  btnMoveUp = 110,
  btnMoveDown = 111,
  btnUpdate = 112,
  // In GroupBox1.
  Label6 = 200,
  Label7 = 201,
  Label2 = 202,
  GroupBoxIP = 203,
  rdoAutoDNS = 204,
  GroupBox3 = 205,
  rdoNextDNS = 206,
  Panel1 = 207,
  edtPlace = 208,
  cmbNIC = 209,
  btnApplyNetWork = 210,
  btnSave = 211,
  // In Panel1.
  rdoDHCP = 300,
  rdoIP = 301,
  // In GroupBoxIP.
  lblIP = 400,
  lblSubNetMask = 401,
  lblGateWay = 402,
  edtIP = 403,
  edtSubNetMask = 404,
  edtGateWay = 405,
  // In GroupBox3.
  lbl1stDNS = 500,
  lbl2ndDNS = 501,
  edt1stDNS = 502,
  edt2ndDNS = 503,
};

enum class ControlKind {
  Label,         // text painted on the parent's background; takes no focus
  ListBox,       // single selection, not sorted
  Panel,         // borderless container without caption
  GroupBox,      // container with an etched frame and an optional caption
  Status,        // status bar, not docked: placed like any other control
  PushButton,    // drawn as a Windows XP button, hand cursor
  RadioButton,   // one group per parent container
  Edit,          // single line
  DropDownList,  // selection only, no typing
};

enum ControlFlags : unsigned {
  kNoFlags = 0,
  kStartsDisabled = 1u << 0,
  kWordWrap = 1u << 1,  // labels: wrap at the label's width
  kWebLink = 1u << 2,   // labels: navy bold text with a hand cursor
};

struct ControlSpec {
  ControlId id;
  const char* name;
  ControlKind kind;
  ControlId parent;
  int left96, top96, width96, height96;  // within the parent's client area
  const char* text;                      // UTF-8; "&" marks the accelerator
  int tabOrder;                          // place among the parent's controls; -1: none
  unsigned flags;
};

// Every control, each parent's controls in the order they were designed: where two
// windowed controls of one parent overlap, the design puts the later one above.
std::span<const ControlSpec> MainLayout();

// The row of a control; null for frmMain and unknown IDs.
const ControlSpec* FindControl(ControlId id);

bool IsContainer(ControlKind kind);

// The order in which the window creates its controls: a parent before its children, and
// the children of one parent from the top of the z-order down. Win32 uses that one order
// both for overlapping and for the Tab key, so it is: the controls that take part in
// keyboard navigation, by tab place; then the other windowed controls (the status bar, an
// empty panel), later-designed first; then the labels, which lie beneath everything.
std::vector<ControlId> CreationOrder();

// Tooltips: only these three controls show one.
struct TooltipSpec {
  ControlId id;
  const char* text;
};
std::span<const TooltipSpec> MainTooltips();

// The status bar's panels, left to right.
enum class PanelBevel { Lowered, Raised, None };
struct StatusPanelSpec {
  int width96;
  const char* text;
  PanelBevel bevel;
  bool centred;
};
std::span<const StatusPanelSpec> StatusPanels();

// Status-bar panels written by the program.
inline constexpr int kAddressPanel = 1;
inline constexpr int kProgressPanel = 3;

// The window.
inline constexpr int kClientWidth96 = 712;
inline constexpr int kClientHeight96 = 462;
inline constexpr std::string_view kFontFace = "굴림";
inline constexpr int kFontHeight96 = 12;       // character height: 9 points at 96 DPI
inline constexpr int kListItemHeight96 = 12;   // listboxPlace and the items of cmbNIC
inline constexpr int kDropDownHeight96 = 160;  // cmbNIC's list when open
const char* MainCaption();                     // "Tavi " and the major and minor version

// A 96-DPI length at the display's resolution, rounded to the nearest pixel (halves away
// from zero: 37.5 becomes 38).
int ScaleFrom96(int value96, int dpi);

// A control's rectangle at the display's resolution: each value of the table scaled alone, so
// that controls of one size keep one size (a 25 x 25 button is 38 x 38 at 144 DPI). Edges
// may then move by a pixel against the scaled sum (the status bar's right edge, 712 at 96
// DPI, is 1069 at 144 where the client area ends at 1068); nothing in the layout shows it.
struct ScaledRect {
  int left, top, width, height;
  bool operator==(const ScaledRect&) const = default;
};
ScaledRect ScaleRect(const ControlSpec& control, int dpi);

// The right edge of each status-bar panel, for SB_SETPARTS: the sum of the scaled widths.
std::vector<int> StatusPanelEdges(int dpi);

}  // namespace tavi
