// The notification-area icon as data: what its tooltip says and what its menu holds.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavi {

// The place last applied in this run, as its completion box named it.
struct LastApply {
  enum class Outcome {
    None,     // nothing applied yet (a refused apply changes nothing, so it counts as none)
    Applied,  // read back as asked
    Failed,   // the commands ran but the connection did not show the place, or they did not run
  };
  Outcome outcome = Outcome::None;
  std::string place;
};

// "Tavi", then " - " and the place once one was applied, and " (변경 실패)" when that apply
// failed: after a failure the connection holds neither the place nor, surely, the one before.
std::string TrayTipText(const LastApply& last);

struct TrayMenuItem {
  enum class Kind { Place, Separator, Open, Close };
  Kind kind = Kind::Separator;
  std::string text;  // as the menu shows it: "&" doubled in a place's name
  int place = -1;    // Place: its position in the list
  bool checked = false;
  bool enabled = true;
};

// What the menu can do now.
struct TrayMenuState {
  bool canApply = true;  // no apply or update runs and no box of the window is open
  bool canClose = true;  // no box of the window is open
};

// Every place in list order (the one last applied and read back as asked checked; after a
// failure none is), a separator, "열기" and "닫기".
std::vector<TrayMenuItem> TrayMenuItems(std::span<const std::string> places, const LastApply& last,
                                        const TrayMenuState& state);

inline constexpr char kTrayOpenText[] = "열기";
inline constexpr char kTrayCloseText[] = "닫기";

}  // namespace tavi
