// The parser's messages, matched on their stable parts (see parserfehler.h).
#include "simulator/modell/parserfehler.h"

#include <cstdint>

namespace modell {
namespace {

bool hat(std::string_view text, std::string_view teil) {
  return text.find(teil) != std::string_view::npos;
}

// The last name in quotes, as in "cannot redefine existing table 'a'".
std::string genannt(std::string_view text) {
  const size_t zu = text.rfind('\'');
  const size_t auf = zu == 0 || zu == std::string_view::npos ? zu : text.rfind('\'', zu - 1);
  if (auf == std::string_view::npos || auf == zu)
    return "";
  return std::string(text.substr(auf + 1, zu - auf - 1));
}

} // namespace

std::string parserfehler_erklaeren(std::string_view b) {
  // A text whose closing quote is missing runs into the end of its line.
  if (hat(b, "parsing string") && hat(b, "control characters"))
    return "ein Text ist nicht geschlossen: am Ende des Textes fehlt das \" (so: name = "
           "\"schranke\")";
  if (hat(b, "parsing literal string") && hat(b, "control characters"))
    return "ein Text ist nicht geschlossen: am Ende des Textes fehlt das ' (so: name = 'schranke')";
  if (hat(b, "unknown escape sequence"))
    return "im Text steht ein \\, der hier nicht geht: in \"...\" steht \\ nur vor \", \\, n oder "
           "t; "
           "für einen Windows-Pfad einfache Anführungszeichen nehmen ('C:\\lumbrik\\lauf.csv')";
  if (hat(b, "table header") && hat(b, "cannot redefine"))
    return std::string("der Abschnitt [")
        .append(genannt(b))
        .append("] steht zweimal; die beiden zu einem zusammenfassen (mehrere gleiche Teile "
                "schreibt man [[so]])");
  if (hat(b, "cannot redefine"))
    return std::string("'")
        .append(genannt(b))
        .append("' steht in diesem Abschnitt zweimal; eine der beiden Zeilen löschen");
  if (hat(b, "table header") && hat(b, "expected ']'"))
    return "der Abschnittskopf ist nicht geschlossen: es fehlt ] (so: [modell] oder [[lampe]])";
  if (hat(b, "parsing array") || (hat(b, "expected ']'") && hat(b, "array")))
    return "eine Liste ist nicht geschlossen: es fehlt ] (so: werte = [0, 512, 1023])";
  if (hat(b, "expected '='"))
    return "nach dem Namen fehlt das = (so: name = \"schranke\")";
  if (hat(b, "expected value"))
    return "nach dem = fehlt der Wert";
  if (hat(b, "expected a comment or whitespace, saw ','"))
    return "eine Zahl mit Komma: Dezimalzahlen schreibt man mit Punkt (1.5 statt 1,5)";
  if (hat(b, "expected a comment or whitespace"))
    return "nach dem Wert steht noch etwas: jede Angabe auf eine eigene Zeile schreiben";
  if (hat(b, "not representable"))
    return "die Zahl ist zu groß";
  if (hat(b, "parsing boolean"))
    return "ein Wahrheitswert ist true oder false, klein geschrieben";
  if (hat(b, "integer") || hat(b, "floating-point") || hat(b, "could not determine value type"))
    return "der Wert ist weder eine Zahl noch true/false noch ein Text; Texte stehen in "
           "Anführungszeichen (so: name = \"schranke\"), Dezimalzahlen mit Punkt (1.5)";
  if (hat(b, "utf-8"))
    return "die Datei enthält Bytes, die kein Text sind";
  return "hier ist die Datei kein gültiges TOML; die Zeile mit einem Beispiel in docs\\modelle.md "
         "vergleichen";
}

bool ist_utf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<uint8_t>(text[i]);
    size_t folge = 0;
    if (c >= 0xC2 && c <= 0xDF)
      folge = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      folge = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      folge = 3;
    else if (c >= 0x80)
      return false;
    if (text.size() - i <= folge)
      return false;
    for (size_t k = 1; k <= folge; ++k)
      if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80)
        return false;
    i += folge + 1;
  }
  return true;
}

std::string aus_1252(std::string_view text) {
  // 0x80 to 0x9F; the rest of 1252's upper half is Latin-1, as in Unicode.
  static constexpr char16_t mitte[32] = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string aus;
  aus.reserve(text.size() + text.size() / 8);
  for (const char zeichen : text) {
    const auto c = static_cast<uint8_t>(zeichen);
    const char16_t u = c < 0x80 ? c : c < 0xA0 ? mitte[c - 0x80] : c;
    if (u < 0x80) {
      aus += static_cast<char>(u);
    } else if (u < 0x800) {
      aus += static_cast<char>(0xC0 | (u >> 6));
      aus += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      aus += static_cast<char>(0xE0 | (u >> 12));
      aus += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      aus += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return aus;
}

} // namespace modell
