// Adapter discovery: the subkey list of the network class key, the connection names read
// under it, and the match against the console listing of "ipconfig /all".
//   input: subkey list (CR LF joined) US listing US name US name ...
// Each adapter subkey reads the next name field; a field that starts with a NUL is unreadable.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "netcfg/adapter_discovery.h"
#include "netcfg/value_path.h"

namespace {

using Strings = std::vector<std::string>;

// Positions where an element of a CR LF joined list begins with "{".
std::size_t AdapterSubkeys(std::string_view list) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == '{' && (i == 0 || (i >= 2 && list.substr(i - 2, 2) == "\r\n"))) ++count;
  }
  return count;
}

bool Occurs(std::string_view name, std::string_view listing) {
  return std::search(listing.begin(), listing.end(), name.begin(), name.end()) != listing.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Strings fields = tavi::fuzz::Fields(tavi::fuzz::AsText(data, size), 2);
  const std::string& subkeyList = fields[0];
  const std::string& listing = fields[1];

  // Only adapter subkeys are read, each one whole and in list order, and the read never
  // leaves the adapter's own key below the network class.
  Strings asked;
  Strings expected;
  const tavi::ConnectionNameReader reader =
      [&](const std::string& subkey) -> std::optional<std::string> {
    FUZZ_CHECK(subkey.starts_with('{'));
    FUZZ_CHECK(subkey.find("\r\n") == std::string::npos);
    FUZZ_CHECK(("\r\n" + subkeyList + "\r\n").find("\r\n" + subkey + "\r\n") != std::string::npos);
    const std::optional<tavi::ValuePath> path =
        tavi::SplitValuePath(tavi::ConnectionNamePath(subkey));
    FUZZ_CHECK(path && path->valueName == "Name");
    FUZZ_CHECK(path->keyPath ==
               std::string(tavi::kNetworkClassKey) + "\\" + subkey + "\\Connection");
    asked.push_back(subkey);
    const std::size_t field = 1 + asked.size();
    if (field >= fields.size() || fields[field].starts_with('\0')) return std::nullopt;
    expected.push_back(fields[field]);
    return fields[field];
  };
  const Strings names = tavi::AdapterConnectionNames(subkeyList, reader);
  FUZZ_CHECK(asked.size() == AdapterSubkeys(subkeyList));
  FUZZ_CHECK(names == expected);

  // Listed: exactly the names, in order, that are not empty and occur in the listing.
  const Strings listed = tavi::ListedConnectionNames(names, listing);
  Strings occurring;
  std::copy_if(names.begin(), names.end(), std::back_inserter(occurring),
               [&](const std::string& name) { return !name.empty() && Occurs(name, listing); });
  FUZZ_CHECK(listed == occurring);
  FUZZ_CHECK(tavi::AnyConnectionName(names) ==
             std::any_of(names.begin(), names.end(), [](const auto& n) { return !n.empty(); }));
  return 0;
}
