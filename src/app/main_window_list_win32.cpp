// The list of places and the buttons beside it: Select, Save, Add, Delete and the two moves.
// Each keeps the list box, Profiles and the INI file in step: one record per entry, in the
// same order, also when the file refuses a write.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "profiles/profile_list.h"
#include "profiles/profile_store.h"
#include "win/text_win32.h"

namespace tavi {
namespace {

using enum ControlId;

int EntryCount(HWND list) {
  const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

int SelectedEntry(HWND list) {
  const auto index = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

// Setting the selection from code notifies nothing: Select runs only where a caller asks.
void SelectEntry(HWND list, int index) {
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The text of a list box entry or a combo box item: the two controls differ only in their
// messages (and their error value, which is -1 for both).
std::string ListText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
  const auto length = ::SendMessageW(control, lengthMessage, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(control, textMessage, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return WideToUtf8(text);
}

std::string EntryText(HWND list, int index) {
  return ListText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

std::vector<std::string> Entries(HWND list) {
  std::vector<std::string> entries;
  const int count = EntryCount(list);
  for (int i = 0; i < count; ++i)
    entries.push_back(EntryText(list, i));
  return entries;
}

void ReplaceEntry(HWND list, int index, const std::string& text) {
  ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

std::string ItemText(HWND combo, int index) {
  return ListText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

// The profile file is text in the system's ANSI code page.
ProfileFileText SystemProfileFileText() {
  return {[](std::string_view character) { return FitsCodePage(character, CP_ACP); },
          SameIgnoringCase};
}

// The first item from the top whose whole text equals the name, letter case aside; none
// when no item does.
void SelectConnection(HWND combo, std::string_view name) {
  const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
  int match = -1;
  for (int i = 0; i < count && match < 0; ++i) {
    if (SameIgnoringCase(ItemText(combo, i), name)) match = i;
  }
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
}

EditedProfile EditedProfileOf(const TfrmMain& frm) {
  EditedProfile edited;
  edited.Place = frm.Text(edtPlace);
  const HWND nic = frm.Control(cmbNIC);
  const auto selected = ::SendMessageW(nic, CB_GETCURSEL, 0, 0);
  if (selected != CB_ERR) edited.NIC = ItemText(nic, static_cast<int>(selected));
  edited.IP = frm.Text(edtIP);
  edited.SubNetMask = frm.Text(edtSubNetMask);
  edited.GateWay = frm.Text(edtGateWay);
  edited.FirstDNS = frm.Text(edt1stDNS);
  edited.SecondDNS = frm.Text(edt2ndDNS);
  edited.UseDhcp = frm.IsChecked(rdoDHCP);
  edited.StaticChosen = frm.IsChecked(rdoIP);
  edited.AutoDns = frm.IsChecked(rdoAutoDNS);
  return edited;
}

void ApplyMoveButtonRule(const TfrmMain& frm) {
  const HWND list = frm.Control(listboxPlace);
  const MoveButtonStates states = MoveButtonRule(SelectedEntry(list), EntryCount(list));
  ::EnableWindow(frm.Control(btnMoveUp), states.up);
  ::EnableWindow(frm.Control(btnMoveDown), states.down);
}

void MoveSelectedEntry(TfrmMain& frm, MoveDirection direction) {
  const HWND list = frm.Control(listboxPlace);
  const int from = SelectedEntry(list);
  const int to = MoveTarget(from, EntryCount(list), direction);
  if (to < 0) return;
  const HWND button = frm.Control(direction == MoveDirection::Up ? btnMoveUp : btnMoveDown);
  const bool buttonHadFocus = ::GetFocus() == button;
  // The moved place stays selected and the buttons follow it, also when the file refuses
  // the new order (the list and Profiles have changed by then).
  auto finish = [&] {
    SelectEntry(list, to);
    ApplyMoveButtonRule(frm);
    // Disabling the focused button took the focus away; give it back, or to the list when
    // the place has reached the end.
    if (buttonHadFocus) ::SetFocus(::IsWindowEnabled(button) ? button : list);
  };
  try {
    frm.SwapProfiles(std::min(from, to), std::max(from, to));
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

}  // namespace

void TfrmMain::listboxPlaceClick() {
  Adding = false;
  ApplyMoveButtonRule(*this);
  const HWND list = Control(listboxPlace);
  const int index = SelectedEntry(list);
  if (index >= 0) {
    // The values come from the file, read now; Profiles holds only names and order.
    const TNetworkInfo shown = ReadProfile(*IniFile, EntryText(list, index));
    SetText(edtPlace, shown.Place);
    SelectConnection(Control(cmbNIC), shown.NIC);
    SetText(edtIP, ShownAddress(shown.IP));
    SetText(edtSubNetMask, ShownAddress(shown.SubNetMask));
    SetText(edtGateWay, ShownAddress(shown.GateWay));
    SetText(edt1stDNS, ShownAddress(shown.FirstDNS));
    SetText(edt2ndDNS, ShownAddress(shown.SecondDNS));
  }
  // The address button first, then the DNS button: a static address without a primary DNS
  // server ends with automatic DNS selected, though the static choice disabled it.
  SetChecked(Text(edtIP).empty() ? rdoDHCP : rdoIP);
  SetChecked(Text(edt1stDNS).empty() ? rdoAutoDNS : rdoNextDNS);
  ::EnableWindow(Control(btnSave), FALSE);
}

void TfrmMain::btnSaveClick() {
  const HWND list = Control(listboxPlace);
  const EditedProfile edited = EditedProfileOf(*this);
  const SavePlan plan = PlanSave(edited, Entries(list), SystemProfileFileText());
  if (plan.check != SaveCheck::Ok) {
    ShowMessage(SaveRefusalText(plan), kTaviCaption, MB_OK | MB_ICONEXCLAMATION);
    if (plan.check == SaveCheck::MissingAddress) {
      ::SetFocus(Control(edtIP));
    } else if (plan.check != SaveCheck::EmptyName) {
      ::SetFocus(Control(edtPlace));
    }
    return;
  }

  // The file first: when it refuses a write, the list and Profiles have not changed.
  WriteProfile(ProfileToSave(edited), *IniFile);
  if (plan.appends) {
    const auto added = ::SendMessageW(list, LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(Utf8ToWide(edited.Place).c_str()));
    if (added < 0) throw std::runtime_error("Cannot add " + edited.Place + " to the list");
    // The record takes the fields as they stand; only its name and order are used later.
    Profiles.push_back({edited.Place, edited.NIC, edited.IP, edited.SubNetMask, edited.GateWay,
                        edited.FirstDNS, edited.SecondDNS,
                        static_cast<std::int32_t>(Profiles.size())});
    SelectEntry(list, static_cast<int>(added));
  } else {
    // The saved place is the one selected, whatever was selected before, so that the list
    // shows what the fields hold and Delete erases what the question names.
    SelectEntry(list, plan.listed);
  }
  Adding = false;
  ApplyMoveButtonRule(*this);
  ::EnableWindow(Control(btnSave), TRUE);
  ShowMessage(SavedText(edited.Place), kSavedCaption, MB_OK | MB_ICONINFORMATION);
}

void TfrmMain::btnAddClick() {
  SelectEntry(Control(listboxPlace), -1);
  for (ControlId field : {edtPlace, edtIP, edtSubNetMask, edtGateWay, edt1stDNS, edt2ndDNS}) {
    SetText(field, "");
  }
  SetChecked(rdoDHCP);
  SetChecked(rdoAutoDNS);
  ::SetFocus(Control(edtPlace));
  Adding = true;
}

void TfrmMain::btnDeleteClick() {
  if (ShowMessage(DeleteQuestionText(Text(edtPlace)), kDeleteCaption, MB_YESNO | MB_ICONQUESTION) !=
      IDYES) {
    return;
  }
  const HWND list = Control(listboxPlace);
  const int index = SelectedEntry(list);
  if (index < 0 || index >= static_cast<int>(Profiles.size())) return;  // nothing selected
  // The file first: when it refuses the erase, the list and Profiles stay whole. The entry's
  // text names the section, not the name field, which the user may have edited.
  IniFile->EraseSection(EntryText(list, index));
  Profiles.erase(Profiles.begin() + index);
  ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SelectEntry(list, 0);
  listboxPlaceClick();
}

void TfrmMain::btnMoveUpClick() {
  MoveSelectedEntry(*this, MoveDirection::Up);
}

void TfrmMain::btnMoveDownClick() {
  MoveSelectedEntry(*this, MoveDirection::Down);
}

void TfrmMain::SwapProfiles(int a, int b) {
  ::EnableWindow(Control(btnMoveUp), FALSE);
  ::EnableWindow(Control(btnMoveDown), FALSE);
  const HWND list = Control(listboxPlace);
  const int selected = SelectedEntry(list);
  const std::string first = EntryText(list, a);
  const std::string second = EntryText(list, b);
  ReplaceEntry(list, a, second);
  ReplaceEntry(list, b, first);
  SelectEntry(list, selected);
  ExchangeProfiles(Profiles, static_cast<size_t>(a), static_cast<size_t>(b));
  WriteProfileOrders(Profiles, *IniFile);
}

}  // namespace tavi
