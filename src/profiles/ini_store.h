// The profile file as the rest of the program sees it: sections of key=value text.
// The Win32 layer implements it on the private-profile functions; tests use a fake.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavi {

// A write or erase that the file refused. It ends the running operation.
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& path)
      : std::runtime_error("Unable to write to " + path) {}
};

class IniStore {
 public:
  virtual ~IniStore() = default;

  // Names of the sections, in file order; none when the file is absent. The file reads a name
  // repeated, in any letter case, as its first section only: such a name is listed once, as
  // first spelt.
  virtual std::vector<std::string> ReadSections() const = 0;
  // The value, or the empty text when the section or key is absent.
  virtual std::string ReadString(std::string_view section, std::string_view key) const = 0;
  // The values of several keys of one section, in the order asked, each as ReadString gives
  // it. A file may do this in one read instead of one a key.
  virtual std::vector<std::string> ReadStrings(std::string_view section,
                                               std::span<const std::string_view> keys) const;
  // Creates the file and the section when absent. Throws IniWriteError when refused.
  virtual void WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Removes the section, header and keys, and every other section of that name, so that
  // none comes to light in its place. Throws IniWriteError when refused.
  virtual void EraseSection(std::string_view section) = 0;

  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
};

}  // namespace tavi
