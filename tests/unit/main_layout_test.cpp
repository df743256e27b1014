// The layout table's structure: parents, IDs, and the one z-order that Win32 uses for both
// overlapping and the Tab key (the real window's tab order is checked under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/main_layout.h"

namespace tavi {
namespace {

TEST(MainLayout, UniqueIdsAndEveryParentAContainerCreatedBeforeItsChildren) {
  const std::vector<ControlId> order = CreationOrder();
  auto position = [&](ControlId id) { return std::ranges::find(order, id) - order.begin(); };
  std::set<int> ids;
  for (const ControlSpec& c : MainLayout()) {
    EXPECT_TRUE(ids.insert(static_cast<int>(c.id)).second) << c.name;
    // Enter and Escape arrive as IDOK and IDCANCEL; no control may answer to them.
    EXPECT_GT(static_cast<int>(c.id), 2) << c.name;
    EXPECT_LT(position(c.id), static_cast<long>(order.size())) << c.name;
    if (c.parent == ControlId::frmMain) continue;
    ASSERT_NE(FindControl(c.parent), nullptr) << c.name;
    EXPECT_TRUE(IsContainer(FindControl(c.parent)->kind)) << c.name;
    EXPECT_LT(position(c.parent), position(c.id)) << c.name;
  }
  EXPECT_EQ(order.size(), MainLayout().size());
}

TEST(MainLayout, ZOrderAgreesWithTheDesignWhereverItShows) {
  // Where two controls of one parent overlap, the later-designed one lies above (created
  // earlier in Win32), except on the one background pixel row y = 280 of GroupBox1.
  const std::vector<ControlId> order = CreationOrder();
  auto zIndex = [&](ControlId id) { return std::ranges::find(order, id) - order.begin(); };
  const auto layout = MainLayout();
  std::vector<std::string> disagreements;
  for (size_t i = 0; i < layout.size(); ++i) {
    for (size_t j = i + 1; j < layout.size(); ++j) {
      const ControlSpec& a = layout[i];
      const ControlSpec& b = layout[j];
      if (a.parent != b.parent || a.left96 >= b.left96 + b.width96 ||
          b.left96 >= a.left96 + a.width96 || a.top96 >= b.top96 + b.height96 ||
          b.top96 >= a.top96 + a.height96)
        continue;
      EXPECT_TRUE(a.kind != ControlKind::Label && b.kind != ControlKind::Label)
          << a.name << " and " << b.name << ": a label under a control";
      if (zIndex(b.id) > zIndex(a.id)) disagreements.push_back(std::string(a.name) + "/" + b.name);
    }
  }
  EXPECT_EQ(disagreements,
            (std::vector<std::string>{"rdoAutoDNS/GroupBox3", "rdoAutoDNS/rdoNextDNS"}));
  const ControlSpec& autoDns = *FindControl(ControlId::rdoAutoDNS);
  EXPECT_EQ(autoDns.top96 + autoDns.height96 - 1, FindControl(ControlId::rdoNextDNS)->top96);
  EXPECT_EQ(autoDns.top96 + autoDns.height96 - 1, FindControl(ControlId::GroupBox3)->top96);
}

TEST(MainLayout, StatusPanelsFitAndScalingRoundsHalvesUp) {
  int total = 0;
  for (const StatusPanelSpec& panel : StatusPanels())
    total += panel.width96;
  EXPECT_LE(total, FindControl(ControlId::StatusBar)->width96);
  EXPECT_EQ(ScaleFrom96(712, 96), 712);
  EXPECT_EQ(ScaleFrom96(12, 120), 15);
  EXPECT_EQ(ScaleFrom96(25, 144), 38);  // 37.5
  EXPECT_EQ(ScaleFrom96(-12, 120), -15);
}

}  // namespace
}  // namespace tavi
