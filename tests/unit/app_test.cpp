// The portable rules of app/: the command line, the keyboard layout a field asks for, the
// enabling rules of the editing area, the layout's scaling and the notification-area menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/control_states.h"
#include "app/input_language.h"
#include "app/main_layout.h"
#include "app/tray_menu.h"

namespace tavi {
namespace {

using enum ControlId;

using Args = std::vector<std::string>;

TEST(CommandLineArguments, SeparatorsQuotesAndTheProgramName) {
  EXPECT_EQ(CommandLineArguments(""), Args{});
  EXPECT_EQ(CommandLineArguments("tavi.exe"), Args{});
  EXPECT_EQ(CommandLineArguments("\"C:\\Program Files\\Tavi\\tavi.exe\" /s 0"), (Args{"/s", "0"}));
  // Every character up to the space separates, runs of them count once.
  EXPECT_EQ(CommandLineArguments("tavi  /S\t1\r\n\x01$2 "), (Args{"/S", "1", "$2"}));
  // Quotes group and vanish wherever they stand; a backslash escapes nothing.
  EXPECT_EQ(CommandLineArguments("tavi \"a b\"c x\"y z\" \"C:\\dir\\\" 7"),
            (Args{"a bc", "xy z", "C:\\dir\\", "7"}));
  EXPECT_EQ(CommandLineArguments("tavi \"\" \"unclosed 1"), (Args{"", "unclosed 1"}));
  EXPECT_EQ(CommandLineArguments("tavi 사무실 \"무선 연결\""), (Args{"사무실", "무선 연결"}));
}

TEST(RunExitCode, ZeroUntilSomethingGoesWrongThenTheFirstThatDidDecides) {
  RunExitCode run, missing;
  run.Record(ApplyOutcome::Applied);
  EXPECT_EQ(run.Code(), 0);
  for (ApplyOutcome outcome : {ApplyOutcome::Failed, ApplyOutcome::Refused})
    run.Record(outcome);
  run.RecordPlaceNotFound();
  missing.RecordPlaceNotFound();
  missing.Record(ApplyOutcome::Refused);
  EXPECT_EQ(run.Code(), 1);
  EXPECT_EQ(missing.Code(), 3);
}

TEST(InputLanguage, PrefersTheNamedKoreanInputMethodThenKeepsAKoreanOne) {
  const std::vector<KeyboardLayoutInfo> layouts = {
      {0x0409, ""},                              // English (United States)
      {0x0412, "Microsoft IME"},                 // a later Korean input method
      {0x0412, std::string(kFieldInputMethod)},  // the one the fields name
      {0x0812, ""},                              // another Korean locale
  };
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 0, kFieldInputMethod), 2);
  // Not installed: the current Korean layout stays, else the first Korean one is taken.
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 3, kConnectionInputMethod), 3);
  EXPECT_EQ(ChooseKeyboardLayout(layouts, 0, kConnectionInputMethod), 1);
  EXPECT_EQ(ChooseKeyboardLayout(layouts, -1, kConnectionInputMethod), 1);
  // No Korean layout: nothing is switched.
  EXPECT_EQ(
      ChooseKeyboardLayout(std::vector<KeyboardLayoutInfo>{{0x0409, ""}}, 0, kFieldInputMethod),
      -1);
}

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

TEST(MainLayout, StatusPanelsFitAndScalingRoundsHalvesUp) {
  int total = 0;
  for (const StatusPanelSpec& panel : StatusPanels())
    total += panel.width96;
  EXPECT_LE(total, FindControl(ControlId::StatusBar)->width96);
  EXPECT_EQ(ScaleFrom96(712, 96), 712);
  EXPECT_EQ(ScaleFrom96(12, 120), 15);
  EXPECT_EQ(ScaleFrom96(25, 144), 38);  // 37.5
  EXPECT_EQ(ScaleFrom96(-12, 120), -15);
  // Each value alone: the square buttons stay square.
  EXPECT_EQ(ScaleRect(*FindControl(btnMoveDown), 144), (ScaledRect{255, 401, 38, 38}));
  EXPECT_EQ(ScaleRect(*FindControl(StatusBar), 144), (ScaledRect{347, 627, 722, 39}));
  EXPECT_EQ(StatusPanelEdges(144), (std::vector<int>{78, 216, 222, 567, 642}));
}

// The real menu is read under Wine (win_apply_test, win_place_list_test); here what a name
// cannot show as it stands, and a name listed twice.
TEST(TrayMenu, AmpersandsStayAndOnlyTheFirstOfANameIsChecked) {
  Args shown;
  const LastApply last{LastApply::Outcome::Applied, "집"};
  for (const TrayMenuItem& item : TrayMenuItems(Args{"R&D", "집", "집"}, last, {true, false}))
    shown.push_back(item.text + (item.checked ? "*" : "") + (item.enabled ? "" : "-"));
  EXPECT_EQ(shown, (Args{"R&&D", "집*", "집", "", "열기", "닫기-"}));
}

}  // namespace
}  // namespace tavi
