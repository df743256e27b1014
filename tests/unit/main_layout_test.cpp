// The layout table's structure: parents, IDs, and the one z-order that Win32 uses for both
// overlapping and the Tab key.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/main_layout.h"

namespace tavi {
namespace {

bool Overlap(const ControlSpec& a, const ControlSpec& b) {
  return a.left96 < b.left96 + b.width96 && b.left96 < a.left96 + a.width96 &&
         a.top96 < b.top96 + b.height96 && b.top96 < a.top96 + a.height96;
}

TEST(MainLayout, EveryControlHasAUniqueIdAndAContainerForParent) {
  std::set<int> ids;
  for (const ControlSpec& c : MainLayout()) {
    EXPECT_TRUE(ids.insert(static_cast<int>(c.id)).second) << c.name;
    // Enter and Escape arrive as IDOK and IDCANCEL; no control may answer to them.
    EXPECT_GT(static_cast<int>(c.id), 2) << c.name;
    if (c.parent != ControlId::frmMain) {
      ASSERT_NE(FindControl(c.parent), nullptr) << c.name;
      EXPECT_TRUE(IsContainer(FindControl(c.parent)->kind)) << c.name;
    }
  }
  EXPECT_EQ(ids.size(), 37u);
  EXPECT_EQ(CreationOrder().size(), MainLayout().size());
}

TEST(MainLayout, ZOrderAgreesWithTheDesignWhereverItShows) {
  // Where two windowed controls of one parent overlap, the design puts the later-designed
  // one above; Win32's single order (tab order first) must agree, except where the overlap
  // is one row of plain background in both controls.
  const std::vector<ControlId> order = CreationOrder();
  auto zIndex = [&](ControlId id) { return std::ranges::find(order, id) - order.begin(); };
  const auto layout = MainLayout();
  std::vector<std::string> disagreements;
  for (size_t i = 0; i < layout.size(); ++i) {
    for (size_t j = i + 1; j < layout.size(); ++j) {
      const ControlSpec& earlier = layout[i];
      const ControlSpec& later = layout[j];
      if (earlier.parent != later.parent || !Overlap(earlier, later)) continue;
      if (earlier.kind == ControlKind::Label || later.kind == ControlKind::Label) {
        ADD_FAILURE() << earlier.name << " and " << later.name << ": a label under a control";
        continue;
      }
      // Smaller z-index = created earlier = higher in Win32's z-order.
      if (zIndex(later.id) > zIndex(earlier.id)) {
        disagreements.push_back(std::string(earlier.name) + "/" + later.name);
      }
    }
  }
  EXPECT_EQ(disagreements,
            (std::vector<std::string>{"rdoAutoDNS/GroupBox3", "rdoAutoDNS/rdoNextDNS"}));

  // Those two overlaps are the single pixel row y = 280 of GroupBox1.
  const ControlSpec& autoDns = *FindControl(ControlId::rdoAutoDNS);
  EXPECT_EQ(autoDns.top96 + autoDns.height96 - 1, FindControl(ControlId::rdoNextDNS)->top96);
  EXPECT_EQ(autoDns.top96 + autoDns.height96 - 1, FindControl(ControlId::GroupBox3)->top96);
}

TEST(MainLayout, CreationFollowsTheTabOrderWithinEachParent) {
  std::map<ControlId, std::vector<std::string>> byParent;
  for (ControlId id : CreationOrder()) {
    const ControlSpec& c = *FindControl(id);
    byParent[c.parent].push_back(c.name);
  }
  EXPECT_EQ(byParent[ControlId::frmMain],
            (std::vector<std::string>{"listboxPlace", "btnAdd", "btnDelete", "btnMoveDown",
                                      "btnMoveUp", "btnUpdate", "btnHelp", "GroupBox1", "btnClose",
                                      "StatusBar", "Panel3", "Label1", "Label8"}));
  EXPECT_EQ(byParent[ControlId::GroupBox1],
            (std::vector<std::string>{"edtPlace", "cmbNIC", "Panel1", "GroupBoxIP", "rdoAutoDNS",
                                      "rdoNextDNS", "GroupBox3", "btnSave", "btnApplyNetWork",
                                      "Label2", "Label7", "Label6"}));
  EXPECT_EQ(byParent[ControlId::GroupBoxIP],
            (std::vector<std::string>{"edtIP", "edtSubNetMask", "edtGateWay", "lblGateWay",
                                      "lblSubNetMask", "lblIP"}));
  // A parent is created before its children.
  const std::vector<ControlId> order = CreationOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    const ControlId parent = FindControl(order[i])->parent;
    if (parent == ControlId::frmMain) continue;
    EXPECT_LT(std::ranges::find(order, parent) - order.begin(), static_cast<long>(i));
  }
}

TEST(MainLayout, StatusPanelsAndScaling) {
  int total = 0;
  for (const StatusPanelSpec& panel : StatusPanels())
    total += panel.width96;
  EXPECT_LE(total, FindControl(ControlId::StatusBar)->width96);
  EXPECT_STREQ(StatusPanels()[kAddressPanel].text, "127.127.127.127");
  EXPECT_STREQ(MainCaption(), "Tavi 2.4");

  EXPECT_EQ(ScaleFrom96(712, 96), 712);
  EXPECT_EQ(ScaleFrom96(12, 120), 15);
  EXPECT_EQ(ScaleFrom96(25, 144), 38);  // 37.5 rounds up
  EXPECT_EQ(ScaleFrom96(-12, 120), -15);
}

}  // namespace
}  // namespace tavi
