// The console's texts: code page 1252, as lumbrik's box texts are. They go out
// as UTF-8 (a console window gets that as UTF-16), and what is typed or read
// comes back to 1252. A text in UTF-8 (a model's, a report's) says so
// in its name (`_utf8`) and becomes 1252 where it enters (utf8_nach_1252).
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// German letters of 1252 for string literals, so that the sources stay ASCII
// and every text is 1252: "Ausg" AE "nge".
#define AE "\xE4"
#define OE "\xF6"
#define UE "\xFC"
#define SZ "\xDF"
#define AE_GROSS "\xC4"
#define OE_GROSS "\xD6"
#define UE_GROSS "\xDC"
#define ELLIPSE "\x85"

// Texts are built by appending pieces: GCC 12 at -O3 warns falsely
// (-Wrestrict) about "literal" + std::string&&, which warnings-as-errors
// turns into a failed build.
inline std::string verbinden(std::initializer_list<std::string_view> teile) {
  std::string text;
  for (std::string_view teil : teile)
    text += teil;
  return text;
}

std::string nach_utf8(std::string_view text);

// Typed text: characters 1252 lacks become '?'.
std::string utf16_nach_1252(std::u16string_view text);

// A whole script that starts with a UTF-16 byte order mark (as PowerShell's
// > writes it), little or big endian, as 1252 text; nothing for any other.
std::optional<std::string> utf16_skript_nach_1252(std::string_view bytes);

// A text known to be UTF-8, such as a model's name: characters 1252 lacks,
// and bytes that are no UTF-8 after all, become '?'.
std::string utf8_nach_1252(std::string_view utf8);

// A line of a script or of standard input: when it is valid UTF-8 it is
// converted (characters 1252 lacks become '?'), otherwise it is taken as
// 1252 already, so both kinds of script files work.
std::string eingabe_nach_1252(std::string_view zeile);

// A number as a German reads it: decimal comma, at most three places.
std::string mit_komma(double wert);
