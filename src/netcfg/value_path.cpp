#include "netcfg/value_path.h"

namespace tavi {

std::size_t FindLastChar(char character, std::string_view text) {
  const std::size_t position = text.rfind(character);
  return position == std::string_view::npos ? 0 : position + 1;
}

std::optional<ValuePath> SplitValuePath(std::string_view valuePath) {
  const std::size_t position = FindLastChar('\\', valuePath);
  if (position == 0) return std::nullopt;
  return ValuePath{std::string(valuePath.substr(0, position - 1)),
                   std::string(valuePath.substr(position))};
}

}  // namespace tavi
