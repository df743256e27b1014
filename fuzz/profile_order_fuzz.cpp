// The order of the places: loading sorts by the stored Order text and renumbers; the stored
// order survives a restart; every move exchanges two neighbours and is stored so that the
// next start shows the list as it was left.
//   input: moves US order text US order text ...
// Place i (up to 32) reads the i-th order text; each byte of "moves" moves a place.
#include <algorithm>
#include <string>
#include <vector>

#include "fake_ini_store.h"
#include "fuzz_support.h"
#include "profiles/integer_text.h"
#include "profiles/profile_list.h"
#include "profiles/profile_store.h"

namespace {

using tavi::TProfileList;
using Strings = std::vector<std::string>;

Strings Names(const TProfileList& profiles) {
  Strings names;
  for (const tavi::TNetworkInfo& profile : profiles)
    names.push_back(profile.Place);
  return names;
}

// Positions 0..n-1 in list order.
void CheckNumbered(const TProfileList& profiles) {
  for (std::size_t i = 0; i < profiles.size(); ++i)
    FUZZ_CHECK(profiles[i].Order == static_cast<std::int32_t>(i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Strings fields = tavi::fuzz::Fields(tavi::fuzz::AsText(data, size), 1);
  tavi::test::FakeIniStore ini;
  // The stand-in file finds a key by walking its sections: a few dozen keep runs quick.
  for (std::size_t i = 1; i < fields.size() && i <= 32; ++i)
    ini.Add("place " + std::to_string(i), {{"NIC", "LAN"}, {"Order", fields[i]}});
  const std::size_t count = ini.sections.size();

  // Loading keeps every place once, sorted by the stored number (0 when there is none).
  TProfileList profiles = tavi::LoadProfiles(ini);
  FUZZ_CHECK(profiles.size() == count);
  Strings sorted = Names(profiles);
  std::sort(sorted.begin(), sorted.end());
  Strings stored = ini.ReadSections();
  std::sort(stored.begin(), stored.end());
  FUZZ_CHECK(sorted == stored);
  CheckNumbered(profiles);
  for (std::size_t i = 1; i < profiles.size(); ++i) {
    FUZZ_CHECK(ini.ReadInteger(profiles[i - 1].Place, "Order", 0) <=
               ini.ReadInteger(profiles[i].Place, "Order", 0));
  }
  FUZZ_CHECK(Names(tavi::LoadProfiles(ini)) == Names(profiles));  // the same file, the same list

  // The numbers written back give the same list at the next start.
  tavi::WriteProfileOrders(profiles, ini);
  FUZZ_CHECK(Names(tavi::LoadProfiles(ini)) == Names(profiles));

  // Moves as the list's buttons make them.
  Strings entries = Names(profiles);
  const int n = static_cast<int>(count);
  int selected = n == 0 ? -1 : static_cast<int>(tavi::fuzz::ByteAt(fields[0], 0) % count);
  for (std::size_t m = 1; m < fields[0].size() && m <= 32; ++m) {
    const unsigned move = tavi::fuzz::ByteAt(fields[0], m);
    const auto direction = move & 1 ? tavi::MoveDirection::Up : tavi::MoveDirection::Down;
    if (move & 2) selected = static_cast<int>(move >> 2) - 1;  // any selection, none included
    const int target = tavi::MoveTarget(selected, n, direction);
    const tavi::MoveButtonStates buttons = tavi::MoveButtonRule(selected, n);
    if (selected >= 0 && selected < n) {
      FUZZ_CHECK(buttons.up == (tavi::MoveTarget(selected, n, tavi::MoveDirection::Up) != -1));
      FUZZ_CHECK(buttons.down == (tavi::MoveTarget(selected, n, tavi::MoveDirection::Down) != -1));
    }
    if (target == -1) continue;
    FUZZ_CHECK(target >= 0 && target < n && (target == selected - 1 || target == selected + 1));
    std::swap(entries[static_cast<std::size_t>(selected)],
              entries[static_cast<std::size_t>(target)]);
    tavi::ExchangeProfiles(profiles, static_cast<std::size_t>(selected),
                           static_cast<std::size_t>(target));
    FUZZ_CHECK(Names(profiles) == entries);
    CheckNumbered(profiles);
    tavi::WriteProfileOrders(profiles, ini);
    selected = target;
  }
  FUZZ_CHECK(Names(tavi::LoadProfiles(ini)) == entries);
  return 0;
}
