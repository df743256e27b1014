// An in-memory profile file for native tests: sections in creation order, names matched
// without regard to ASCII letter case, as the real private-profile functions match them.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "profiles/ini_store.h"

namespace tavi::test {

class FakeIniStore : public IniStore {
 public:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };

  std::vector<Section> sections;
  int writes = 0;

  std::vector<std::string> ReadSections() const override {
    std::vector<std::string> names;
    for (const Section& s : sections) {
      if (Find(s.name) == &s) names.push_back(s.name);  // a repeated name once, as first spelt
    }
    return names;
  }

  std::string ReadString(std::string_view section, std::string_view key) const override {
    if (const Section* s = Find(section)) {
      for (const auto& [k, v] : s->keys)
        if (Same(k, key)) return v;
    }
    return {};
  }

  void WriteString(std::string_view section, std::string_view key,
                   std::string_view value) override {
    ++writes;
    Section* s = Find(section);
    if (!s) s = &sections.emplace_back(Section{std::string(section), {}});
    for (auto& [k, v] : s->keys) {
      if (Same(k, key)) {
        v = value;
        return;
      }
    }
    s->keys.emplace_back(std::string(key), std::string(value));
  }

  void EraseSection(std::string_view section) override {
    std::erase_if(sections, [&](const Section& s) { return Same(s.name, section); });
  }

  void Add(std::string name, std::vector<std::pair<std::string, std::string>> keys = {}) {
    sections.push_back(Section{std::move(name), std::move(keys)});
  }

 private:
  static bool Same(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
      return lower(x) == lower(y);
    });
  }
  Section* Find(std::string_view name) const {
    auto it = std::ranges::find_if(sections, [&](const Section& s) { return Same(s.name, name); });
    return it == sections.end() ? nullptr : const_cast<Section*>(&*it);
  }
};

}  // namespace tavi::test
