// The rules that enable and colour the editing controls of the main window, as plain data
// in and out: the window reads the controls into an EditingState, runs a rule and writes
// the result back. Nothing here fires events; the window decides when a rule runs.
#pragma once

#include "app/main_layout.h"

namespace tavi {

enum class FieldColor { Window, ButtonFace };

struct EditingState {
  // Selection of the two radio groups; neither button of a group may be selected.
  bool rdoDHCP = false;
  bool rdoIP = false;
  bool rdoAutoDNS = false;
  bool rdoNextDNS = false;
  // edtIP, edtSubNetMask, edtGateWay and their labels.
  bool addressFieldsEnabled = true;
  FieldColor addressFieldColor = FieldColor::Window;
  bool rdoAutoDNSEnabled = true;
  // edt1stDNS, edt2ndDNS and their labels.
  bool dnsFieldsEnabled = true;
  FieldColor dnsFieldColor = FieldColor::Window;
  bool btnSaveEnabled = false;

  bool operator==(const EditingState&) const = default;
};

// Address mode (rdoDHCPClick): automatic when rdoDHCP is selected. A static address forces
// manual DNS, selecting rdoNextDNS (and running the DNS rule) when it was not selected.
EditingState AddressModeRule(EditingState state);

// DNS mode (rdoAutoDNSClick): automatic when rdoAutoDNS is selected.
EditingState DnsModeRule(EditingState state);

// Edit in progress (edtPlaceChange): any change of a field makes the profile savable.
EditingState EditInProgressRule(EditingState state);

bool IsRadioButton(ControlId id);
bool IsSelected(const EditingState& state, ControlId radio);

// Selecting a radio button, by the user or by code: when it was not selected, it becomes
// selected, its partner unselected, and its group's rule runs. Selecting the selected
// button changes nothing. Anything but the four radio buttons changes nothing either.
EditingState SelectRadio(EditingState state, ControlId radio);

// The selection alone, without running a rule: the window writes it before it runs the
// group's click handler.
EditingState WithSelection(EditingState state, ControlId radio);

}  // namespace tavi
