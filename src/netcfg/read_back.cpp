#include "netcfg/read_back.h"

#include <algorithm>

namespace tavi {
namespace {

constexpr char kNone[] = "없음";
constexpr char kDhcpText[] = "자동 (DHCP)";

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

std::string AddressText(Ipv4 address, Ipv4 mask) {
  return Ipv4Text(address) + " / " + Ipv4Text(mask);
}

std::string ListText(const std::vector<std::string>& entries) {
  if (entries.empty()) return kNone;
  std::string text;
  for (const std::string& entry : entries) {
    if (!text.empty()) text += ", ";
    text += entry;
  }
  return text;
}

std::string ListText(const std::vector<Ipv4>& addresses) {
  std::vector<std::string> texts;
  for (Ipv4 address : addresses)
    texts.push_back(Ipv4Text(address));
  return ListText(texts);
}

ReadBackItem AddressModeItem(const ApplyValues& asked, const LiveConnection& found) {
  return {"IP 설정", asked.UseDhcp ? kDhcpText : "수동", found.dhcp ? kDhcpText : "수동",
          found.dhcp == asked.UseDhcp};
}

ReadBackItem LeaseItem(const LiveConnection& found) {
  std::vector<std::string> texts;
  bool leased = false;
  for (const LiveAddress& entry : found.addresses) {
    texts.push_back(AddressText(entry.address, entry.mask) + (entry.leased ? "" : " (임대 아님)"));
    leased = leased || entry.leased;
  }
  return {"IP 주소", "DHCP 서버가 주는 주소", ListText(texts), leased};
}

ReadBackItem StaticAddressItem(const ApplyValues& asked, const LiveConnection& found) {
  const std::optional<Ipv4> address = ParseIpv4(asked.IP);
  const std::optional<Ipv4> mask = ParseIpv4(asked.SubNetMask);
  std::vector<std::string> texts;
  bool present = false;
  for (const LiveAddress& entry : found.addresses) {
    texts.push_back(AddressText(entry.address, entry.mask));
    present = present || (address && mask && entry.address == *address && entry.mask == *mask);
  }
  return {"IP 주소",
          std::string(TrimBlanks(asked.IP)) + " / " + std::string(TrimBlanks(asked.SubNetMask)),
          ListText(texts), present};
}

// The asked texts of a list that must be found exactly: blank texts ask for nothing.
ReadBackItem ExactListItem(std::string label, const std::vector<const std::string*>& asked,
                           const std::vector<Ipv4>& found) {
  std::vector<std::string> texts;
  std::vector<Ipv4> wanted;
  bool parsed = true;
  for (const std::string* text : asked) {
    const std::string_view trimmed = TrimBlanks(*text);
    if (trimmed.empty()) continue;
    texts.emplace_back(trimmed);
    const std::optional<Ipv4> address = ParseIpv4(trimmed);
    parsed = parsed && address.has_value();
    if (address) wanted.push_back(*address);
  }
  return {std::move(label), ListText(texts), ListText(found), parsed && wanted == found};
}

}  // namespace

std::optional<Ipv4> ParseIpv4(std::string_view text) {
  text = TrimBlanks(text);
  Ipv4 address = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    unsigned value = 0;
    int digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9' && digits < 3) {
      value = value * 10 + static_cast<unsigned>(text.front() - '0');
      text.remove_prefix(1);
      ++digits;
    }
    if (digits == 0 || value > 255) return std::nullopt;
    address = (address << 8) | value;
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

std::string Ipv4Text(Ipv4 address) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (shift != 24) text += '.';
    text += std::to_string((address >> shift) & 0xFF);
  }
  return text;
}

Ipv4 PrefixMask(unsigned prefixLength) {
  if (prefixLength == 0) return 0;
  return prefixLength >= 32 ? 0xFFFFFFFFu : ~((0xFFFFFFFFu >> prefixLength));
}

ReadBack CompareWithAsked(const ApplyValues& asked, const LiveConnection& found) {
  ReadBack result;
  std::vector<ReadBackItem>& items = result.items;
  items.push_back(AddressModeItem(asked, found));
  if (asked.UseDhcp) {
    items.push_back(LeaseItem(found));
  } else {
    items.push_back(StaticAddressItem(asked, found));
    items.push_back(ExactListItem("기본 게이트웨이", {&asked.GateWay}, found.gateways));
  }
  if (asked.AutoDns) {
    items.push_back({"DNS 서버", "자동", ListText(found.dnsServers), true});
  } else {
    items.push_back(
        ExactListItem("DNS 서버", {&asked.FirstDNS, &asked.SecondDNS}, found.dnsServers));
  }
  if (found.status != LiveConnection::Status::Found) {
    for (ReadBackItem& item : items)
      item.same = false;
  }
  result.matches =
      std::all_of(items.begin(), items.end(), [](const ReadBackItem& item) { return item.same; });
  return result;
}

}  // namespace tavi
