#include "update/file_path.h"

namespace tavi {
namespace {

constexpr std::string_view kSeparators = "\\/";

}  // namespace

std::string FolderOf(std::string_view path) {
  const size_t separator = path.find_last_of(kSeparators);
  return std::string(separator == std::string_view::npos ? "" : path.substr(0, separator + 1));
}

std::string ParentFolderOf(std::string_view path) {
  const size_t separator = path.find_last_of(kSeparators);
  return std::string(separator == std::string_view::npos ? "" : path.substr(0, separator));
}

std::string FileNameOf(std::string_view path) {
  const size_t separator = path.find_last_of(kSeparators);
  return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace tavi
