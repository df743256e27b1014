// The profile file as the rest of the program sees it: sections of key=value text.
// The Win32 layer implements it on the private-profile functions; tests use a fake.
#pragma once

#include <cstdint>
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

  // Names of all sections, in file order; none when the file is absent.
  virtual std::vector<std::string> ReadSections() const = 0;
  // The value, or the empty text when the section or key is absent.
  virtual std::string ReadString(std::string_view section, std::string_view key) const = 0;
  // Creates the file and the section when absent. Throws IniWriteError when refused.
  virtual void WriteString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;
  // Removes the section header and all its keys. Throws IniWriteError when refused.
  virtual void EraseSection(std::string_view section) = 0;

  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
};

}  // namespace tavi
