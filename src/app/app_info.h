// Who makes Tavi and where to find it, and the text of the help box.
#pragma once

#include <string>

namespace tavi {

inline constexpr char kWebAddress[] = "http://example.org";
inline constexpr char kAuthorName[] = "홍길동";
inline constexpr char kAuthorEmail[] = "tavi@example.org";

inline constexpr char kHelpCaption[] = "Tavi 도움말";

// The help text: lines joined by a single carriage return, no line break at the end.
std::string HelpText();

}  // namespace tavi
