#include "app/control_states.h"

namespace tavi {

EditingState AddressModeRule(EditingState state) {
  const bool automatic = state.rdoDHCP;
  state.addressFieldsEnabled = !automatic;
  if (automatic) {
    state.addressFieldColor = FieldColor::ButtonFace;
    state.rdoAutoDNSEnabled = true;
  } else {
    state.addressFieldColor = FieldColor::Window;
    state.rdoAutoDNSEnabled = false;
    state = SelectRadio(state, ControlId::rdoNextDNS);
  }
  state.btnSaveEnabled = true;
  return state;
}

EditingState DnsModeRule(EditingState state) {
  const bool automatic = state.rdoAutoDNS;
  state.dnsFieldsEnabled = !automatic;
  state.dnsFieldColor = automatic ? FieldColor::ButtonFace : FieldColor::Window;
  state.btnSaveEnabled = true;
  return state;
}

EditingState EditInProgressRule(EditingState state) {
  state.btnSaveEnabled = true;
  return state;
}

bool IsRadioButton(ControlId id) {
  return id == ControlId::rdoDHCP || id == ControlId::rdoIP || id == ControlId::rdoAutoDNS ||
         id == ControlId::rdoNextDNS;
}

bool IsSelected(const EditingState& state, ControlId radio) {
  switch (radio) {
    case ControlId::rdoDHCP:
      return state.rdoDHCP;
    case ControlId::rdoIP:
      return state.rdoIP;
    case ControlId::rdoAutoDNS:
      return state.rdoAutoDNS;
    case ControlId::rdoNextDNS:
      return state.rdoNextDNS;
    default:
      return false;
  }
}

EditingState WithSelection(EditingState state, ControlId radio) {
  switch (radio) {
    case ControlId::rdoDHCP:
    case ControlId::rdoIP:
      state.rdoDHCP = radio == ControlId::rdoDHCP;
      state.rdoIP = !state.rdoDHCP;
      break;
    case ControlId::rdoAutoDNS:
    case ControlId::rdoNextDNS:
      state.rdoAutoDNS = radio == ControlId::rdoAutoDNS;
      state.rdoNextDNS = !state.rdoAutoDNS;
      break;
    default:
      break;
  }
  return state;
}

EditingState SelectRadio(EditingState state, ControlId radio) {
  if (!IsRadioButton(radio) || IsSelected(state, radio)) return state;
  state = WithSelection(state, radio);
  const bool addressGroup = radio == ControlId::rdoDHCP || radio == ControlId::rdoIP;
  return addressGroup ? AddressModeRule(state) : DnsModeRule(state);
}

}  // namespace tavi
