#pragma once

#include <optional>
#include <string>
#include <string_view>

// Start messages are stored as Windows-1252 text; the player and the authoring tool speak UTF-8.

// Every byte decodes; the five bytes the code page leaves undefined map to U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

// Empty when the text is not valid UTF-8 or holds a character the code page cannot store.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);
