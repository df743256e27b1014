// The read-back of an apply: the asked values (typed text) against a connection (the system's
// numbers), netsh's output and the failure box. A connection that holds exactly what was asked
// matches, also with addresses the system added beside it; one not found never does; address
// texts round-trip; netsh's lines are single trimmed lines, each once.
// The box's text begins with "변경 실패" and ends without a line break.
//   input: flags US connection US ip US mask US gateway US dns1 US dns2 US place name
//          US netsh output US connection bytes (status, dhcp, then 4-byte addresses)
#include <algorithm>
#include <string>
#include <vector>

#include "apply_values_input.h"
#include "fuzz_support.h"
#include "netcfg/apply_profile.h"
#include "netcfg/read_back.h"

namespace {

using tavi::Ipv4;

// The connection bytes: status, DHCP, then address/mask/lease triples, gateways, DNS servers
// (a count byte before each list).
tavi::LiveConnection ConnectionFrom(std::string_view bytes) {
  std::size_t at = 0;
  auto byte = [&] { return tavi::fuzz::ByteAt(bytes, at++); };
  auto address = [&] {
    Ipv4 value = 0;
    for (int i = 0; i < 4; ++i)
      value = (value << 8) | byte();
    return value;
  };
  tavi::LiveConnection connection;
  connection.status = static_cast<tavi::LiveConnection::Status>(byte() % 3);
  connection.dhcp = byte() & 1;
  for (unsigned n = byte() % 4; n > 0; --n)
    connection.addresses.push_back({address(), address(), (byte() & 1) != 0});
  for (unsigned n = byte() % 3; n > 0; --n)
    connection.gateways.push_back(address());
  for (unsigned n = byte() % 3; n > 0; --n)
    connection.dnsServers.push_back(address());
  return connection;
}

// The asked text read as an address; none for a blank text.
std::vector<Ipv4> Asked(const std::vector<const std::string*>& texts, bool& parsed) {
  std::vector<Ipv4> addresses;
  for (const std::string* text : texts) {
    if (text->find_first_not_of(" \t") == std::string::npos) continue;
    const std::optional<Ipv4> address = tavi::ParseIpv4(*text);
    parsed = parsed && address;
    if (address) addresses.push_back(*address);
  }
  return addresses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> fields = tavi::fuzz::Fields(tavi::fuzz::AsText(data, size), 10);
  const tavi::ApplyValues asked = tavi::fuzz::ApplyValuesFrom(fields);
  const tavi::LiveConnection found = ConnectionFrom(fields[9]);

  for (const std::string& text : {asked.IP, asked.SubNetMask, asked.GateWay}) {
    if (const std::optional<Ipv4> address = tavi::ParseIpv4(text)) {
      FUZZ_CHECK(tavi::ParseIpv4(tavi::Ipv4Text(*address)) == address);
      FUZZ_CHECK(tavi::Ipv4Text(*address).size() <= 15);
    }
  }

  const tavi::ReadBack readBack = tavi::CompareWithAsked(asked, found);
  FUZZ_CHECK(readBack.matches ==
             std::all_of(readBack.items.begin(), readBack.items.end(),
                         [](const tavi::ReadBackItem& item) { return item.same; }));
  if (found.status != tavi::LiveConnection::Status::Found) FUZZ_CHECK(!readBack.matches);

  // The connection as asked, with whatever else the input put beside the address, matches.
  bool parsed = true;
  const std::vector<Ipv4> address = Asked({&asked.IP}, parsed);
  const std::vector<Ipv4> mask = Asked({&asked.SubNetMask}, parsed);
  tavi::LiveConnection asAsked = found;
  asAsked.status = tavi::LiveConnection::Status::Found;
  asAsked.dhcp = asked.UseDhcp;
  asAsked.gateways = Asked({&asked.GateWay}, parsed);
  if (!asked.AutoDns) asAsked.dnsServers = Asked({&asked.FirstDNS, &asked.SecondDNS}, parsed);
  if (asked.UseDhcp) {
    asAsked.addresses.push_back({0x0A000001, 0xFF000000, true});
  } else if (address.size() == 1 && mask.size() == 1) {
    asAsked.addresses.push_back({address[0], mask[0], false});
  }
  const bool askable = asked.UseDhcp || (address.size() == 1 && mask.size() == 1);
  if (parsed && askable) FUZZ_CHECK(tavi::CompareWithAsked(asked, asAsked).matches);

  const std::vector<std::string> lines = tavi::NetshMessageLines(fields[8]);
  FUZZ_CHECK(lines.size() <= 12);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    FUZZ_CHECK(!line.empty() && line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(static_cast<unsigned char>(line.front()) > ' ');
    FUZZ_CHECK(static_cast<unsigned char>(line.back()) > ' ');
    FUZZ_CHECK(std::count(lines.begin(), lines.end(), line) == 1);
  }
  // Only what the apply accepts is ever shown: no line breaks in the values then.
  if (tavi::CheckApplyValues(asked) != tavi::ApplyRefusal::None) return 0;
  const std::string text = tavi::ApplyFailureText(asked.NIC, found.status, readBack, "", lines);
  FUZZ_CHECK(text.starts_with("변경 실패\r\r"));
  FUZZ_CHECK(!text.ends_with("\r"));
  return 0;
}
