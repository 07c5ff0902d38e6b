// What the TOML parser says, in words a teacher can act on: the mistakes
// one makes while editing a model file by hand, each with what to change.
#pragma once

#include <string>
#include <string_view>

namespace modell {

// The German explanation of the parser's message `beschreibung`; one the
// list does not know gets a general one. Names no position: the caller has
// the line and column.
std::string parserfehler_erklaeren(std::string_view beschreibung);

// Whether `text` is valid UTF-8.
bool ist_utf8(std::string_view text);

// A text in Windows-1252 (ANSI, as older Notepads save) as UTF-8.
std::string aus_1252(std::string_view text);

} // namespace modell
