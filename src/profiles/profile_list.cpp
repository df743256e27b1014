#include "profiles/profile_list.h"

#include <algorithm>
#include <utility>

#include "profiles/profile_store.h"

namespace tavi {
namespace {

// Length of the UTF-8 sequence that starts with this byte (1 for a stray continuation byte,
// so that a broken text still moves on).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t at = 0; at < text.size();) {
    const size_t length =
        std::min(SequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
    characters.push_back(text.substr(at, length));
    at += length;
  }
  return characters;
}

// C0 controls, DEL and the C1 controls (U+0080 to U+009F): line breaks and tabs among them.
bool IsControl(std::string_view character) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first < 0x20 || first == 0x7F;
  return character.size() == 2 && first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

// The blanks that the file trims from a section name: the space and the ideographic space.
bool IsBlank(std::string_view character) {
  return character == " " || character == "\u3000";
}

// Whether the file would give the name back exactly: a bracket ends or opens a section
// header, a control character breaks or trims the line, and blanks at either end are trimmed.
bool Holdable(std::string_view name) {
  const std::vector<std::string_view> characters = Characters(name);
  for (std::string_view c : characters) {
    if (c == "[" || c == "]" || IsControl(c)) return false;
  }
  return !IsBlank(characters.front()) && !IsBlank(characters.back());
}

std::string UnstorableCharacters(std::string_view name, const ProfileFileText& file) {
  std::string found;
  for (std::string_view c : Characters(name)) {
    if (file.holds(c) || found.find(c) != std::string::npos) continue;
    if (!found.empty()) found += ' ';
    found += c;
  }
  return found;
}

// "[" + name + rest, appended piece by piece (GCC 12 warns falsely on the chained +).
std::string Bracketed(std::string_view name, std::string_view rest) {
  std::string text;
  text.reserve(name.size() + rest.size() + 1);
  text += '[';
  text += name;
  text += rest;
  return text;
}

}  // namespace

MoveButtonStates MoveButtonRule(int selected, int count) {
  return {selected > 0, selected < count - 1};
}

int MoveTarget(int selected, int count, MoveDirection direction) {
  if (selected < 0 || selected >= count) return -1;
  const int target = direction == MoveDirection::Up ? selected - 1 : selected + 1;
  return target >= 0 && target < count ? target : -1;
}

std::vector<std::string> PlaceNames(const TProfileList& profiles) {
  std::vector<std::string> names;
  for (const TNetworkInfo& profile : profiles)
    names.push_back(profile.Place);
  return names;
}

void ExchangeProfiles(TProfileList& profiles, std::size_t a, std::size_t b) {
  std::swap(profiles[a], profiles[b]);
  for (size_t p = 0; p < profiles.size(); ++p)
    profiles[p].Order = static_cast<std::int32_t>(p);
}

SavePlan PlanSave(const EditedProfile& edited, std::span<const std::string> entries,
                  const ProfileFileText& file) {
  SavePlan plan;
  if (edited.Place.empty()) {
    plan.check = SaveCheck::EmptyName;
    return plan;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == edited.Place) {
      plan.listed = static_cast<int>(i);
      break;
    }
  }
  // A listed name came from the file, so the file holds it; only a new name is checked.
  if (plan.listed == -1) {
    if (!Holdable(edited.Place)) {
      plan.check = SaveCheck::UnholdableName;
      return plan;
    }
    plan.detail = UnstorableCharacters(edited.Place, file);
    if (!plan.detail.empty()) {
      plan.check = SaveCheck::UnstorableCharacters;
      return plan;
    }
    for (const std::string& entry : entries) {
      if (file.sameSection(entry, edited.Place)) {
        plan.check = SaveCheck::CaseTwin;
        plan.detail = entry;
        return plan;
      }
    }
  }
  if (edited.StaticChosen && (edited.IP.empty() || edited.SubNetMask.empty())) {
    plan.check = SaveCheck::MissingAddress;
    return plan;
  }
  plan.appends = plan.listed == -1;
  return plan;
}

std::string SaveRefusalText(const SavePlan& plan) {
  switch (plan.check) {
    case SaveCheck::Ok:
      break;
    case SaveCheck::EmptyName:
      return kEmptyNameText;
    case SaveCheck::UnholdableName:
      return "사용환경 이름에는 대괄호([ ])와 줄 바꿈 같은 제어 문자를 쓸 수 없으며, "
             "이름 앞뒤에 공백을 둘 수 없습니다.";
    case SaveCheck::UnstorableCharacters:
      return "사용환경 이름에 이 시스템의 문자 코드에 없는 문자는 쓸 수 없습니다: " + plan.detail;
    case SaveCheck::CaseTwin:
      return "이름이 대소문자만 다른 사용환경 " +
             Bracketed(plan.detail, "]이(가) 이미 있습니다. 다른 이름을 입력하세요.");
    case SaveCheck::MissingAddress:
      return kMissingAddressText;
  }
  return {};
}

TNetworkInfo ProfileToSave(const EditedProfile& edited) {
  TNetworkInfo profile;
  profile.Place = edited.Place;
  profile.NIC = edited.NIC;
  if (!edited.UseDhcp) {
    profile.IP = edited.IP;
    profile.SubNetMask = edited.SubNetMask;
    profile.GateWay = edited.GateWay;
  }
  if (!edited.AutoDns) {
    profile.FirstDNS = edited.FirstDNS;
    profile.SecondDNS = edited.SecondDNS;
  }
  return profile;
}

void WriteProfile(const TNetworkInfo& profile, IniStore& ini) {
  for (const ProfileKey& key : kProfileKeys)
    ini.WriteString(profile.Place, key.name, profile.*key.field);
}

std::string_view ShownAddress(std::string_view value) {
  if (value.size() <= kShownAddressBytes) return value;
  size_t end = kShownAddressBytes;
  while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80)
    --end;  // not inside a UTF-8 sequence
  return value.substr(0, end);
}

std::string SavedText(std::string_view name) {
  return Bracketed(name, "]에 대한 정보를 저장하였습니다.");
}

std::string UnreadableFileText(std::string_view path) {
  return "사용 환경 파일을 읽을 수 없어 사용 환경을 보여 줄 수 없습니다. 다른 프로그램이 파일을 "
         "열고 있다면 그 프로그램을 닫은 뒤 Tavi를 다시 시작하세요.\r\r" +
         std::string(path);
}

std::string DeleteQuestionText(std::string_view name) {
  return Bracketed(name, "]에 대한 정보를 삭제 하시겠습니까?");
}

}  // namespace tavi
