// The profile file on the platform's private-profile functions. Every call goes straight
// to the file; nothing is cached here. A file without a byte-order mark stays in the
// system's ANSI code page.
#pragma once

#include <string>

#include "profiles/ini_store.h"

namespace tavi {

class PrivateProfileStore final : public IniStore {
 public:
  explicit PrivateProfileStore(std::string path);

  const std::string& Path() const { return path_; }

  std::vector<std::string> ReadSections() const override;
  // Names of the section's keys, in file order.
  std::vector<std::string> ReadKeys(std::string_view section) const;
  std::string ReadString(std::string_view section, std::string_view key) const override;
  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void EraseSection(std::string_view section) override;

 private:
  // Every section name as the file lists it, repeated names included.
  std::vector<std::string> AllSections() const;

  std::string path_;
  std::wstring widePath_;
};

}  // namespace tavi
