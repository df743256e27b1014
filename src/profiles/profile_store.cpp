#include "profiles/profile_store.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "profiles/integer_text.h"

namespace tavi {

std::int32_t IniStore::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
  return StrToIntDef(ReadString(section, key), fallback);
}

std::vector<std::string> IniStore::ReadStrings(std::string_view section,
                                               std::span<const std::string_view> keys) const {
  std::vector<std::string> values;
  for (std::string_view key : keys)
    values.push_back(ReadString(section, key));
  return values;
}

void IniStore::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

std::string IniPathForExecutable(std::string_view executablePath) {
  const size_t nameStart = executablePath.find_last_of("\\/:");
  const size_t dot = executablePath.rfind('.');
  const bool nameHasDot =
      dot != std::string_view::npos && (nameStart == std::string_view::npos || dot > nameStart);
  std::string path(nameHasDot ? executablePath.substr(0, dot) : executablePath);
  return path + ".ini";
}

int CompareProfileOrder(const TNetworkInfo& a, const TNetworkInfo& b) {
  return a.Order < b.Order ? -1 : (a.Order > b.Order ? 1 : 0);
}

namespace {

void QuickSort(TProfileList& list, int left, int right) {
  while (left < right) {
    int i = left;
    int j = right;
    // The pivot's Order is all the comparison looks at; keep that instead of a copy.
    const std::int32_t pivot = list[static_cast<size_t>(left + (right - left) / 2)].Order;
    do {
      while (list[static_cast<size_t>(i)].Order < pivot)
        ++i;
      while (list[static_cast<size_t>(j)].Order > pivot)
        --j;
      if (i <= j) {
        if (i != j) std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    // The two parts are sorted apart, so the order of sorting them changes nothing. Only the
    // smaller one recurses: an adverse file (every pivot the largest Order of its part) would
    // otherwise nest a call per place and overflow the stack.
    if (j - left < right - i) {
      QuickSort(list, left, j);
      left = i;
    } else {
      QuickSort(list, i, right);
      right = j;
    }
  }
}

}  // namespace

void SortProfiles(TProfileList& profiles) {
  if (profiles.size() > 1) QuickSort(profiles, 0, static_cast<int>(profiles.size()) - 1);
}

TNetworkInfo ReadProfile(const IniStore& ini, std::string name) {
  TNetworkInfo info;
  for (const ProfileKey& key : kProfileKeys)
    info.*key.field = ini.ReadString(name, key.name);
  info.Place = std::move(name);
  return info;
}

TProfileList LoadProfiles(const IniStore& ini) {
  // The six values and Order in one read a place: a file of thousands of places is read
  // thousands of times, not seven times that.
  std::vector<std::string_view> keys;
  for (const ProfileKey& key : kProfileKeys)
    keys.push_back(key.name);
  keys.push_back(kOrderKey);
  TProfileList profiles;
  for (std::string& name : ini.ReadSections()) {
    std::vector<std::string> values = ini.ReadStrings(name, keys);
    TNetworkInfo& info = profiles.emplace_back();
    for (size_t k = 0; k < std::size(kProfileKeys); ++k)
      info.*kProfileKeys[k].field = std::move(values[k]);
    info.Order = StrToIntDef(values.back(), 0);
    info.Place = std::move(name);
  }
  SortProfiles(profiles);
  for (size_t i = 0; i < profiles.size(); ++i)
    profiles[i].Order = static_cast<std::int32_t>(i);
  return profiles;
}

void WriteProfileOrders(const TProfileList& profiles, IniStore& ini) {
  for (const TNetworkInfo& info : profiles)
    ini.WriteInteger(info.Place, kOrderKey, info.Order);
}

}  // namespace tavi
