// The profile file on the platform's private-profile functions. Every call goes straight
// to the file; nothing is cached here. A file without a byte-order mark stays in the
// system's ANSI code page.
#pragma once

#include <chrono>
#include <string>

#include "profiles/ini_store.h"

namespace tavi {

class PrivateProfileStore final : public IniStore {
 public:
  explicit PrivateProfileStore(std::string path);

  const std::string& Path() const { return path_; }
  // False when the file is there but cannot be opened for reading, as long as the patience
  // lasts: the private-profile functions then read it as empty. Another program may hold it
  // open without sharing for a moment (a virus scanner, a backup or a sync tool).
  bool WaitUntilReadable(std::chrono::milliseconds patience) const;

  std::vector<std::string> ReadSections() const override;
  // Names of the section's keys, in file order.
  std::vector<std::string> ReadKeys(std::string_view section) const;
  std::string ReadString(std::string_view section, std::string_view key) const override;
  std::vector<std::string> ReadStrings(std::string_view section,
                                       std::span<const std::string_view> keys) const override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void EraseSection(std::string_view section) override;

 private:
  // Every section name as the file lists it, repeated names included.
  std::vector<std::string> AllSections() const;

  std::string path_;
  std::wstring widePath_;
};

}  // namespace tavi
