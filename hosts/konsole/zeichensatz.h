// Code page 1252 to and from Unicode. Every text of the console is 1252, as
// lumbrik's box texts are; it becomes UTF-16 for a console window and UTF-8
// for pipes and files, and what is typed or read comes back to 1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::u16string nach_utf16(std::string_view text);
std::string nach_utf8(std::string_view text);

// Typed text: characters 1252 lacks become '?'.
std::string utf16_nach_1252(std::u16string_view text);

// A whole script that starts with a UTF-16 byte order mark (as PowerShell's
// > writes it), little or big endian, as 1252 text; nothing for any other.
std::optional<std::string> utf16_skript_nach_1252(std::string_view bytes);

// A line of a script or of standard input: when it is valid UTF-8 it is
// converted (characters 1252 lacks become '?'), otherwise it is taken as
// 1252 already, so both kinds of script files work.
std::string eingabe_nach_1252(std::string_view zeile);
