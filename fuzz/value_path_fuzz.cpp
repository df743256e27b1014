// Registry value paths and the layout of registry string data: a split loses nothing, and
// the string data the program writes reads back as the text it came from, in both widths.
#include <string>

#include "fuzz_support.h"
#include "netcfg/value_path.h"

namespace {

template <typename Char>
void CheckStringData(std::basic_string_view<Char> data) {
  const Char nul{};
  // Reading data drops at most the terminating NUL, nothing else.
  const std::basic_string_view<Char> text = tavi::RegStringText(data);
  FUZZ_CHECK(data.starts_with(text) && data.size() - text.size() <= 1);
  FUZZ_CHECK(text.size() == data.size() || data.back() == nul);
  const std::basic_string_view<Char> list = tavi::RegMultiStringText(data);
  FUZZ_CHECK(data.starts_with(list) && data.size() - list.size() <= 1);

  // A text without NULs, written as a single-entry list, reads back as that entry.
  std::basic_string<Char> entry(data);
  std::erase(entry, nul);
  const std::basic_string<Char> written = tavi::SingleEntryMultiString<Char>(entry);
  std::basic_string<Char> expected = entry;
  expected += nul;
  FUZZ_CHECK(tavi::RegMultiStringText<Char>(written) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view path = tavi::fuzz::AsText(data, size);

  const std::optional<tavi::ValuePath> split = tavi::SplitValuePath(path);
  const std::size_t last = path.rfind('\\');
  FUZZ_CHECK(split.has_value() == (last != std::string_view::npos));
  FUZZ_CHECK(tavi::FindLastChar('\\', path) == (split ? last + 1 : 0));
  if (split) {
    FUZZ_CHECK(split->keyPath + "\\" + split->valueName == path);
    FUZZ_CHECK(split->valueName.find('\\') == std::string::npos);
  }

  CheckStringData<char>(path);
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < size; i += 2)
    wide += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  CheckStringData<char16_t>(wide);
  return 0;
}
