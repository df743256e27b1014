// Loading, ordering and renumbering the list of places kept in the INI file.
#pragma once

#include <string>
#include <string_view>

#include "profiles/ini_store.h"
#include "profiles/network_info.h"

namespace tavi {

// The keys of a place's section, in the order a new section gets them, with the fields that
// hold their values. Order is apart: only the moves write it.
struct ProfileKey {
  const char* name;
  std::string TNetworkInfo::*field;
};
inline constexpr ProfileKey kProfileKeys[] = {
    {"NIC", &TNetworkInfo::NIC},
    {"IP", &TNetworkInfo::IP},
    {"SubNetMask", &TNetworkInfo::SubNetMask},
    {"GateWay", &TNetworkInfo::GateWay},
    {"1stDNS", &TNetworkInfo::FirstDNS},
    {"2ndDNS", &TNetworkInfo::SecondDNS},
};
inline constexpr char kOrderKey[] = "Order";

// The place of that name as the file holds it now: its values, empty where a key is absent,
// and Order left at 0.
TNetworkInfo ReadProfile(const IniStore& ini, std::string name);

// The INI file beside an executable: the file name's extension becomes ".ini",
// or ".ini" is appended when the file name has none.
std::string IniPathForExecutable(std::string_view executablePath);

// Negative, zero or positive as a's Order is below, equal to or above b's.
int CompareProfileOrder(const TNetworkInfo& a, const TNetworkInfo& b);

// In-place quicksort around the middle element. Not stable, but the same input
// always gives the same order.
void SortProfiles(TProfileList& profiles);

// Every section becomes a place; sorted by Order, then renumbered 0..n-1 in memory only.
TProfileList LoadProfiles(const IniStore& ini);

// Writes each place's Order to its section, in list order.
void WriteProfileOrders(const TProfileList& profiles, IniStore& ini);

}  // namespace tavi
