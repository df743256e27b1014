#include "app/tray_menu.h"

#include "netcfg/apply_profile.h"

namespace tavi {
namespace {

// A menu takes "&" for the mark of its accelerator; a name shows it as typed.
std::string MenuText(std::string_view name) {
  std::string text;
  for (const char c : name) {
    text += c;
    if (c == '&') text += '&';
  }
  return text;
}

}  // namespace

std::string TrayTipText(const LastApply& last) {
  std::string text = "Tavi";
  if (last.outcome == LastApply::Outcome::None) return text;
  text += " - " + last.place;
  if (last.outcome == LastApply::Outcome::Failed)
    text += std::string(" (") + kApplyFailedText + ")";
  return text;
}

std::vector<TrayMenuItem> TrayMenuItems(std::span<const std::string> places, const LastApply& last,
                                        const TrayMenuState& state) {
  using Kind = TrayMenuItem::Kind;
  std::vector<TrayMenuItem> items;
  bool checked = false;
  for (int i = 0; i < static_cast<int>(places.size()); ++i) {
    const std::string& name = places[static_cast<size_t>(i)];
    // The first entry of that name only, should the list hold it twice.
    const bool current =
        !checked && last.outcome == LastApply::Outcome::Applied && name == last.place;
    checked = checked || current;
    items.push_back({Kind::Place, MenuText(name), i, current, state.canApply});
  }
  items.push_back({Kind::Separator, "", -1, false, true});
  items.push_back({Kind::Open, kTrayOpenText, -1, false, true});
  items.push_back({Kind::Close, kTrayCloseText, -1, false, state.canClose});
  return items;
}

}  // namespace tavi
