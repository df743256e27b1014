// The enabling rules of the editing area: the four states, reached as the user and as the
// program's code reach them.
#include <gtest/gtest.h>

#include "app/control_states.h"

namespace tavi {
namespace {

using enum ControlId;

// The four resulting states of the editing area (btnSave follows from the last action).
EditingState Expected(bool dhcp, bool autoDns) {
  const auto grey = [](bool automatic) {
    return automatic ? FieldColor::ButtonFace : FieldColor::Window;
  };
  return {dhcp, !dhcp, autoDns, !autoDns, !dhcp, grey(dhcp), dhcp, !autoDns, grey(autoDns), true};
}

EditingState Select(EditingState s, std::initializer_list<ControlId> radios) {
  for (ControlId radio : radios)
    s = SelectRadio(s, radio);
  return s;
}

TEST(EnablingRules, TheFourStatesThroughCodeAndThroughClicks) {
  const EditingState created;  // nothing selected, everything enabled and white
  EXPECT_EQ(Select(created, {rdoDHCP, rdoAutoDNS}), Expected(true, true));
  EXPECT_EQ(Select(created, {rdoDHCP, rdoNextDNS}), Expected(true, false));
  EXPECT_EQ(Select(created, {rdoIP, rdoNextDNS}), Expected(false, false));
  // A static address without DNS: rdoAutoDNS selected although the static choice disabled it.
  EXPECT_EQ(Select(created, {rdoIP, rdoAutoDNS}), Expected(false, true));

  // Clicks: a static address forces manual DNS; back to DHCP, manual DNS stays.
  const EditingState automatic = Select(created, {rdoDHCP, rdoAutoDNS});
  EXPECT_EQ(Select(automatic, {rdoIP}), Expected(false, false));
  EXPECT_EQ(Select(automatic, {rdoIP, rdoDHCP}), Expected(true, false));
  EXPECT_EQ(Select(created, {rdoIP, rdoAutoDNS, rdoNextDNS}), Expected(false, false));

  // The DHCP rule neither clears nor selects a DNS button.
  EditingState dhcpOnly;
  dhcpOnly.rdoDHCP = true;
  dhcpOnly = AddressModeRule(dhcpOnly);
  EXPECT_FALSE(dhcpOnly.addressFieldsEnabled || dhcpOnly.rdoAutoDNS || dhcpOnly.rdoNextDNS);
}

TEST(EnablingRules, SelectingTheSelectedButtonChangesNothingAndAnEditOnlyEnablesSave) {
  EditingState shown = Select({}, {rdoIP, rdoNextDNS});
  shown.btnSaveEnabled = false;  // as after showing a profile
  for (ControlId id : {rdoIP, rdoNextDNS, edtIP})
    EXPECT_EQ(SelectRadio(shown, id), shown);

  EditingState edited = EditInProgressRule(shown);
  EXPECT_TRUE(edited.btnSaveEnabled);
  edited.btnSaveEnabled = false;
  EXPECT_EQ(edited, shown);
}

}  // namespace
}  // namespace tavi
