// What the download takes from a reply: the status line and whether it is a success, the
// announced length, and the progress made of both.
//   input: raw header block; its first 16 bytes also serve as two 64-bit sizes
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz_support.h"
#include "update/download_result.h"
#include "update/update_texts.h"

namespace {

// "HTTP/<anything> <code>" with a three-digit code from 200 to 299 that ends the status
// line or is followed by a blank or a line end.
bool ExpectedSuccess(std::string_view line) {
  if (!line.starts_with("HTTP/")) return false;
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return false;
  std::string_view code = line.substr(blank + 1);
  code = code.substr(0, code.find_first_of(" \r\n"));
  return code.size() == 3 && code[0] == '2' && code.find_first_not_of("0123456789") == code.npos;
}

std::optional<std::int64_t> ExpectedLength(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
    return std::nullopt;
  return static_cast<std::int64_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view headers = tavi::fuzz::AsText(data, size);

  // The status line is the block up to its first CR, which it keeps.
  const std::string status = tavi::StatusLine(headers);
  FUZZ_CHECK(headers.starts_with(status));
  const std::size_t cr = headers.find('\r');
  FUZZ_CHECK(status.size() == (cr == std::string_view::npos ? headers.size() : cr + 1));
  FUZZ_CHECK(tavi::IsSuccessStatus(status) == ExpectedSuccess(status));
  FUZZ_CHECK(tavi::IsSuccessStatus(headers) == ExpectedSuccess(headers));

  // The whole block and each of its lines as a Content-Length value.
  FUZZ_CHECK(tavi::ParseContentLength(headers) == ExpectedLength(headers));
  const std::string_view value = headers.substr(std::min(cr + 1, headers.size()));
  FUZZ_CHECK(tavi::ParseContentLength(value) == ExpectedLength(value));

  if (size >= 16) {
    std::int64_t total = 0;
    std::int64_t read = 0;
    std::memcpy(&total, data, sizeof total);
    std::memcpy(&read, data + 8, sizeof read);
    if (total >= 0)
      FUZZ_CHECK(tavi::ParseContentLength(" " + std::to_string(total) + "\t") == total);
    // Progress stays on the bar and never goes back while bytes arrive.
    const int percent = tavi::ProgressPercent(total, read);
    FUZZ_CHECK(percent >= 0 && percent <= 100);
    if (read < std::numeric_limits<std::int64_t>::max())
      FUZZ_CHECK(tavi::ProgressPercent(total, read + 1) >= percent);
    if (total > 0 && read >= total) FUZZ_CHECK(percent == 100);
  }
  return 0;
}
