// The rules behind the list of places and its buttons: which move buttons are live, what a
// move exchanges and renumbers, which names the profile file can hold, and what Save does
// with the list in each case. The window reads its controls, asks these, and carries out
// the answer.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/ini_store.h"
#include "profiles/network_info.h"

namespace tavi {

// ---- Moving ------------------------------------------------------------------------------

struct MoveButtonStates {
  bool up = false;
  bool down = false;
  bool operator==(const MoveButtonStates&) const = default;
};

// selected is the index of the selected entry (-1 for none), count the number of entries.
MoveButtonStates MoveButtonRule(int selected, int count);

enum class MoveDirection { Up, Down };

// Where a move takes the selected entry; -1 when the move does nothing (no selection, the
// first entry up, the last entry down), whatever state the buttons are in.
int MoveTarget(int selected, int count, MoveDirection direction);

// Exchanges the places at positions a and b, as their list entries were, and gives every
// place its position as Order. By position, not by name: the records follow the entries
// whatever the names are.
void ExchangeProfiles(TProfileList& profiles, std::size_t a, std::size_t b);

// The places' names, in list order.
std::vector<std::string> PlaceNames(const TProfileList& profiles);

// ---- Saving ------------------------------------------------------------------------------

// The editing controls as Save sees them.
struct EditedProfile {
  std::string Place;  // as typed, not trimmed
  std::string NIC;    // the selected connection; empty when none is selected
  std::string IP;
  std::string SubNetMask;
  std::string GateWay;
  std::string FirstDNS;
  std::string SecondDNS;
  bool UseDhcp = false;       // rdoDHCP selected
  bool StaticChosen = false;  // rdoIP selected
  bool AutoDns = false;       // rdoAutoDNS selected
};

// How the profile file treats text, for the names it is asked to hold.
struct ProfileFileText {
  // Whether the file's code page holds this one character (a UTF-8 sequence).
  std::function<bool(std::string_view character)> holds;
  // Whether the file takes the two names for the same section (it ignores letter case).
  std::function<bool(std::string_view a, std::string_view b)> sameSection;
};

enum class SaveCheck {
  Ok,
  EmptyName,             // nothing typed
  UnholdableName,        // brackets, control characters, leading or trailing blanks
  UnstorableCharacters,  // characters outside the file's code page
  CaseTwin,              // a listed name that differs only in letter case
  MissingAddress,        // a static address without address or mask
};

struct SavePlan {
  SaveCheck check = SaveCheck::Ok;
  // The listed twin (CaseTwin) or the characters the file cannot hold (UnstorableCharacters).
  std::string detail;
  // The entry whose name was typed, exactly; -1 when the name is not listed.
  int listed = -1;
  // A new entry and a new record go to the end of the list (the name is not listed).
  bool appends = false;
};

// What Save does, decided before anything changes. A listed name saves that profile; any
// other name becomes a new profile at the end, whether or not the edit began with Add, but
// only when the file can hold it back exactly and it does not clash with a listed name that
// the file would take for the same section.
SavePlan PlanSave(const EditedProfile& edited, std::span<const std::string> entries,
                  const ProfileFileText& file);

// The message box text of a refused Save (every check but Ok).
std::string SaveRefusalText(const SavePlan& plan);

// The profile as the file gets it: DHCP empties the address keys, automatic DNS the DNS keys.
TNetworkInfo ProfileToSave(const EditedProfile& edited);

// Writes the six keys of a profile to its section, in the order of a new section: NIC, IP,
// SubNetMask, GateWay, 1stDNS, 2ndDNS. Order is left alone.
void WriteProfile(const TNetworkInfo& profile, IniStore& ini);

// An address value of the file as its field shows it: cut to kShownAddressBytes at a character
// boundary. No address is near that long, and an edit control takes minutes over a value of
// a megabyte that a damaged file may hold.
inline constexpr size_t kShownAddressBytes = 255;
std::string_view ShownAddress(std::string_view value);

// ---- Messages ----------------------------------------------------------------------------

inline constexpr char kTaviCaption[] = "Tavi";
inline constexpr char kEmptyNameText[] = "사용환경을 입력하세요.";
inline constexpr char kMissingAddressText[] =
    "어댑터에는 적어도 IP 주소가 하나 필요합니다. IP 주소를 입력하십시오.";
inline constexpr char kSavedCaption[] = "저장 완료";
inline constexpr char kDeleteCaption[] = "삭제 확인";

std::string SavedText(std::string_view name);
// At start, a profile file that is there but could not be read: no place is listed.
std::string UnreadableFileText(std::string_view path);
std::string DeleteQuestionText(std::string_view name);

}  // namespace tavi
