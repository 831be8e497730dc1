// The platform's part of CodePage: which code pages it knows and the conversion itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace CodePagePlatform {

// The platform's own identifier for a code page the user named ("1252", "UTF-8"); nullopt when
// the platform cannot convert it.
std::optional<std::string> identifierFor(const std::string& name);

// The code page in force when nothing overrides it, and its name in messages.
std::string defaultIdentifier();
const char* defaultDescription();

// Characters the code page lacks, and malformed input, become '?'.
std::string toEightBit(const std::string& identifier, std::string_view utf8);
std::string toUtf8(const std::string& identifier, std::string_view eightBit);

} // namespace CodePagePlatform
