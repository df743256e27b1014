// The enabling rules of the editing area: the four states, reached as the user and as the
// program's code reach them.
#include <gtest/gtest.h>

#include "app/control_states.h"

namespace tavi {
namespace {

using enum ControlId;

// The four resulting states of the editing area (btnSave follows from the last action).
EditingState Expected(bool dhcp, bool autoDns) {
  EditingState s;
  s.rdoDHCP = dhcp;
  s.rdoIP = !dhcp;
  s.rdoAutoDNS = autoDns;
  s.rdoNextDNS = !autoDns;
  s.addressFieldsEnabled = !dhcp;
  s.addressFieldColor = dhcp ? FieldColor::ButtonFace : FieldColor::Window;
  s.rdoAutoDNSEnabled = dhcp;
  s.dnsFieldsEnabled = !autoDns;
  s.dnsFieldColor = autoDns ? FieldColor::ButtonFace : FieldColor::Window;
  s.btnSaveEnabled = true;
  return s;
}

EditingState Select(EditingState s, std::initializer_list<ControlId> radios) {
  for (ControlId radio : radios)
    s = SelectRadio(s, radio);
  return s;
}

TEST(EnablingRules, TheFourStatesAsTheProgramShowsProfiles) {
  const EditingState created;  // nothing selected, everything enabled and white
  EXPECT_EQ(Select(created, {rdoDHCP, rdoAutoDNS}), Expected(true, true));
  EXPECT_EQ(Select(created, {rdoDHCP, rdoNextDNS}), Expected(true, false));
  EXPECT_EQ(Select(created, {rdoIP, rdoNextDNS}), Expected(false, false));
  // A static address without DNS: the address button first, then rdoAutoDNS, which is
  // selected although the static choice disabled it.
  EXPECT_EQ(Select(created, {rdoIP, rdoAutoDNS}), Expected(false, true));
}

TEST(EnablingRules, TheUsersClicksLeadThroughTheFirstThreeStates) {
  EditingState s = Select({}, {rdoDHCP, rdoAutoDNS});
  // A static address forces manual DNS, running the DNS rule on the way.
  s = SelectRadio(s, rdoIP);
  EXPECT_EQ(s, Expected(false, false));
  // Back to DHCP: the address fields grey, rdoAutoDNS comes back, manual DNS stays.
  s = SelectRadio(s, rdoDHCP);
  EXPECT_EQ(s, Expected(true, false));
  s = SelectRadio(s, rdoAutoDNS);
  EXPECT_EQ(s, Expected(true, true));

  // From the fourth state a click on rdoNextDNS leads to the third.
  s = SelectRadio(Select({}, {rdoIP, rdoAutoDNS}), rdoNextDNS);
  EXPECT_EQ(s, Expected(false, false));
}

TEST(EnablingRules, SelectingTheSelectedButtonChangesNothing) {
  EditingState shown = Select({}, {rdoIP, rdoNextDNS});
  shown.btnSaveEnabled = false;  // as after showing a profile
  for (ControlId radio : {rdoIP, rdoNextDNS})
    EXPECT_EQ(SelectRadio(shown, radio), shown);
  EXPECT_EQ(SelectRadio(shown, edtIP), shown);  // not a radio button

  EditingState edited = EditInProgressRule(shown);
  EXPECT_TRUE(edited.btnSaveEnabled);
  edited.btnSaveEnabled = false;
  EXPECT_EQ(edited, shown);  // an edit touches nothing else
}

TEST(EnablingRules, TheRulesReadOnlyTheSelection) {
  // Whatever the controls show, a rule sets them from the radio buttons alone; it never
  // clears or selects anything in the other group unless a static address demands it.
  EditingState odd;
  odd.rdoDHCP = true;
  odd.addressFieldsEnabled = true;
  odd.rdoAutoDNSEnabled = false;
  const EditingState after = AddressModeRule(odd);
  EXPECT_FALSE(after.addressFieldsEnabled);
  EXPECT_TRUE(after.rdoAutoDNSEnabled);
  EXPECT_FALSE(after.rdoAutoDNS);
  EXPECT_FALSE(after.rdoNextDNS);
}

}  // namespace
}  // namespace tavi
