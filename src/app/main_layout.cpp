#include "app/main_layout.h"

#include <algorithm>

#include "app/app_info.h"
#include "app/version.h"

namespace tavi {
namespace {

using enum ControlId;
using enum ControlKind;

constexpr ControlSpec kLayout[] = {
    // On the window itself.
    {Label8, "Label8", Label, frmMain, 8, 16, 56, 12, "사용 환경:", -1, kNoFlags},
    {Label1, "Label1", Label, frmMain, 16, 416, 129, 12, kWebAddress, -1,
     kWebLink | kStartsDisabled},
    {listboxPlace, "listboxPlace", ListBox, frmMain, 10, 32, 213, 225, "", 0, kNoFlags},
    {Panel3, "Panel3", Panel, frmMain, 223, 368, 32, 87, "", 7, kNoFlags},
    {GroupBox1, "GroupBox1", GroupBox, frmMain, 232, 16, 473, 393,
     "인터넷 프로토콜 TCP/IP 등록정보", 8, kNoFlags},
    {StatusBar, "StatusBar", ControlKind::Status, frmMain, 231, 418, 481, 26, "", -1, kNoFlags},
    {btnAdd, "btnAdd", PushButton, frmMain, 10, 267, 74, 25, "추가", 1, kNoFlags},
    {btnDelete, "btnDelete", PushButton, frmMain, 88, 267, 74, 25, "삭제", 2, kNoFlags},
    {btnHelp, "btnHelp", PushButton, frmMain, 118, 299, 104, 25, "도움말", 6, kNoFlags},
    {btnClose, "btnClose", PushButton, frmMain, 615, 419, 90, 25, "닫기", 10, kNoFlags},
    {btnMoveUp, "btnMoveUp", PushButton, frmMain, 198, 267, 25, 25, "↑", 4, kNoFlags},
    {btnMoveDown, "btnMoveDown", PushButton, frmMain, 170, 267, 25, 25, "↓", 3, kNoFlags},
    {btnUpdate, "btnUpdate", PushButton, frmMain, 10, 299, 103, 25, "업데이트", 5, kNoFlags},

    // In GroupBox1.
    {Label6, "Label6", Label, GroupBox1, 16, 96, 398, 38,
     "네트워크가 IP 자동 설정 기능을 지원하면 IP 설정이 자동으로 할당되도록 할 수 있습니다. "
     "지원하지 않으면, 네트워크 관리자에게 적절한 IP 설정 값을 문의해야 합니다.",
     -1, kWordWrap},
    {Label7, "Label7", Label, GroupBox1, 16, 32, 52, 12, "사용환경:", -1, kNoFlags},
    {Label2, "Label2", Label, GroupBox1, 16, 64, 84, 12, "네트워크 연결 :", -1, kNoFlags},
    {GroupBoxIP, "GroupBoxIP", GroupBox, GroupBox1, 19, 168, 435, 86, "", 3, kNoFlags},
    {rdoAutoDNS, "rdoAutoDNS", RadioButton, GroupBox1, 32, 264, 201, 17,
     "자동으로 DNS 서버 주소 받기(&B)", 4, kNoFlags},
    {GroupBox3, "GroupBox3", GroupBox, GroupBox1, 19, 280, 435, 66, "", 6, kNoFlags},
    {rdoNextDNS, "rdoNextDNS", RadioButton, GroupBox1, 32, 280, 193, 17,
     "다음 DNS 서버 주소 사용(&E):", 5, kNoFlags},
    {Panel1, "Panel1", Panel, GroupBox1, 32, 143, 156, 41, "", 2, kNoFlags},
    {edtPlace, "edtPlace", Edit, GroupBox1, 75, 28, 382, 20, "", 0, kNoFlags},
    {cmbNIC, "cmbNIC", DropDownList, GroupBox1, 112, 61, 345, 20, "", 1, kNoFlags},
    {btnApplyNetWork, "btnApplyNetWork", PushButton, GroupBox1, 122, 357, 213, 26,
     "네트워크 환경 설정", 8, kNoFlags},
    {btnSave, "btnSave", PushButton, GroupBox1, 362, 357, 90, 25, "저장", 7, kStartsDisabled},

    // In Panel1: one radio group.
    {rdoDHCP, "rdoDHCP", RadioButton, Panel1, 0, 4, 161, 17, "자동으로 IP 주소 받기(&O)", 0,
     kNoFlags},
    {rdoIP, "rdoIP", RadioButton, Panel1, 0, 24, 150, 17, "다음 IP 주소 사용(&S):", 1, kNoFlags},

    // In GroupBoxIP.
    {lblIP, "lblIP", Label, GroupBoxIP, 16, 21, 56, 12, "IP 주소(&I):", -1, kNoFlags},
    {lblSubNetMask, "lblSubNetMask", Label, GroupBoxIP, 16, 42, 98, 12, "서브넷 마스크(&U):", -1,
     kNoFlags},
    {lblGateWay, "lblGateWay", Label, GroupBoxIP, 16, 64, 110, 12, "기본 게이트웨이(&D):", -1,
     kNoFlags},
    {edtIP, "edtIP", Edit, GroupBoxIP, 232, 16, 153, 20, "", 0, kNoFlags},
    {edtSubNetMask, "edtSubNetMask", Edit, GroupBoxIP, 232, 40, 153, 20, "", 1, kNoFlags},
    {edtGateWay, "edtGateWay", Edit, GroupBoxIP, 232, 62, 153, 20, "", 2, kNoFlags},

    // In GroupBox3.
    {lbl1stDNS, "lbl1stDNS", Label, GroupBox3, 16, 22, 131, 12, "기본 설정 DNS 서버(&P):", -1,
     kNoFlags},
    {lbl2ndDNS, "lbl2ndDNS", Label, GroupBox3, 16, 47, 103, 12, "보조 DNS 서버(&A):", -1, kNoFlags},
    {edt1stDNS, "edt1stDNS", Edit, GroupBox3, 232, 16, 153, 20, "", 0, kNoFlags},
    {edt2ndDNS, "edt2ndDNS", Edit, GroupBox3, 232, 40, 153, 20, "", 1, kNoFlags},
};

constexpr TooltipSpec kTooltips[] = {
    {btnApplyNetWork, "현재 내용으로 네트워크 환경을 설정합니다."},
    {btnMoveUp, "위로 이동"},
    {btnMoveDown, "아래로 이동"},
};

constexpr StatusPanelSpec kPanels[] = {
    {52, "현재 IP", PanelBevel::Raised, true}, {92, "127.127.127.127", PanelBevel::Lowered, false},
    {4, "", PanelBevel::Raised, false},        {230, "", PanelBevel::Lowered, false},
    {50, "", PanelBevel::None, false},
};

bool HasChildren(ControlId id) {
  return std::ranges::any_of(kLayout, [id](const ControlSpec& c) { return c.parent == id; });
}

// Tab place, or none for what keyboard navigation never reaches: labels, the status bar
// and a container without controls.
bool TakesPartInNavigation(const ControlSpec& c) {
  if (c.tabOrder < 0) return false;
  return !IsContainer(c.kind) || HasChildren(c.id);
}

int Layer(const ControlSpec& c) {
  if (TakesPartInNavigation(c)) return 0;
  return c.kind == Label ? 2 : 1;
}

void AppendChildren(ControlId parent, std::vector<ControlId>& order) {
  std::vector<int> rows;
  for (int i = 0; i < static_cast<int>(std::size(kLayout)); ++i) {
    if (kLayout[i].parent == parent) rows.push_back(i);
  }
  std::ranges::stable_sort(rows, [](int a, int b) {
    const ControlSpec& x = kLayout[a];
    const ControlSpec& y = kLayout[b];
    if (Layer(x) != Layer(y)) return Layer(x) < Layer(y);
    if (Layer(x) == 0) return x.tabOrder < y.tabOrder;
    return a > b;  // later-designed above
  });
  for (int row : rows) {
    order.push_back(kLayout[row].id);
    if (IsContainer(kLayout[row].kind)) AppendChildren(kLayout[row].id, order);
  }
}

}  // namespace

std::span<const ControlSpec> MainLayout() {
  return kLayout;
}

const ControlSpec* FindControl(ControlId id) {
  for (const ControlSpec& c : kLayout) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

bool IsContainer(ControlKind kind) {
  return kind == Panel || kind == GroupBox;
}

std::vector<ControlId> CreationOrder() {
  std::vector<ControlId> order;
  order.reserve(std::size(kLayout));
  AppendChildren(frmMain, order);
  return order;
}

std::span<const TooltipSpec> MainTooltips() {
  return kTooltips;
}

std::span<const StatusPanelSpec> StatusPanels() {
  return kPanels;
}

const char* MainCaption() {
  return "Tavi " TAVI_STRINGIZE(TAVI_VERSION_MAJOR) "." TAVI_STRINGIZE(TAVI_VERSION_MINOR);
}

int ScaleFrom96(int value96, int dpi) {
  const long long scaled = static_cast<long long>(value96) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 48) / 96 : -((-scaled + 48) / 96));
}

ScaledRect ScaleRect(const ControlSpec& control, int dpi) {
  return {ScaleFrom96(control.left96, dpi), ScaleFrom96(control.top96, dpi),
          ScaleFrom96(control.width96, dpi), ScaleFrom96(control.height96, dpi)};
}

std::vector<int> StatusPanelEdges(int dpi) {
  std::vector<int> edges;
  int right = 0;
  for (const StatusPanelSpec& panel : kPanels) {
    right += ScaleFrom96(panel.width96, dpi);
    edges.push_back(right);
  }
  return edges;
}

}  // namespace tavi
