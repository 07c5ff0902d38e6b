#include "zahlen.h"

#include "umlaute.h"
#include "verbinden.h"

#include <charconv>
#include <cstddef>

namespace {

bool ziffer(char c) {
  return c >= '0' && c <= '9';
}

std::string zitiert(std::string_view text) {
  return verbinden({"\"", text, "\""});
}

} // namespace

bool zahl_lesen(std::string_view text, int32_t &wert, std::string &fehler) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    ++i;
  if (i == text.size()) {
    fehler = verbinden({zitiert(text), " ist keine ganze Zahl"});
    return false;
  }
  for (size_t k = i; k < text.size(); ++k) {
    if (!ziffer(text[k])) {
      fehler = verbinden({zitiert(text), " ist keine ganze Zahl"});
      return false;
    }
  }
  // from_chars takes a minus but no plus.
  const char *anfang = text.data() + (text[0] == '+' ? 1 : 0);
  const auto [ende, ergebnis] = std::from_chars(anfang, text.data() + text.size(), wert);
  if (ergebnis != std::errc{} || ende != text.data() + text.size()) {
    fehler = verbinden({zitiert(text), " liegt au" SZ "erhalb von -2147483648 bis 2147483647"});
    return false;
  }
  return true;
}

bool dezimal_lesen(std::string_view text, double &wert, std::string &fehler) {
  std::string zahl(text);
  size_t i = 0;
  if (i < zahl.size() && (zahl[i] == '+' || zahl[i] == '-'))
    ++i;
  size_t ziffern = 0;
  bool komma = false;
  bool gut = true;
  for (size_t k = i; k < zahl.size() && gut; ++k) {
    if (ziffer(zahl[k])) {
      ++ziffern;
    } else if ((zahl[k] == '.' || zahl[k] == ',') && !komma) {
      komma = true;
      zahl[k] = '.';
    } else {
      gut = false;
    }
  }
  if (!gut || ziffern == 0) {
    fehler = verbinden({zitiert(text), " ist keine Dezimalzahl (Beispiel: 2.5)"});
    return false;
  }
  const char *anfang = zahl.data() + (zahl[0] == '+' ? 1 : 0);
  const auto [ende, ergebnis] = std::from_chars(anfang, zahl.data() + zahl.size(), wert);
  if (ergebnis != std::errc{} || ende != zahl.data() + zahl.size()) {
    fehler = verbinden({zitiert(text), " ist als Dezimalzahl nicht darstellbar"});
    return false;
  }
  return true;
}

bool liste_pruefen(std::string_view text, std::string &fehler) {
  if (text.empty() || text[0] != '[') {
    fehler = "eine Liste beginnt mit [";
    return false;
  }
  size_t i = 1;
  if (i < text.size() && text[i] == ' ')
    ++i;
  for (bool erste = true;; erste = false) {
    const size_t ende = text.find_first_of(" ]", i);
    if (ende == std::string_view::npos) {
      fehler = "die schlie" SZ "ende ] fehlt";
      return false;
    }
    const std::string_view token = text.substr(i, ende - i);
    if (token.empty()) {
      const size_t danach = text.find_first_not_of(' ', ende);
      if (erste && text[ende] == ']')
        fehler = "die Liste ist leer";
      else if (erste)
        fehler = "nach der [ steht h" OE "chstens ein Leerzeichen";
      else if (danach != std::string_view::npos && text[danach] == ']')
        fehler = "vor der ] steht h" OE "chstens ein Leerzeichen";
      else
        fehler = "zwischen zwei Zahlen steht genau ein Leerzeichen";
      return false;
    }
    int32_t wert = 0;
    if (!zahl_lesen(token, wert, fehler))
      return false;
    i = ende + 1;
    // One space may stand before the closing bracket.
    if (text[ende] == ' ' && i < text.size() && text[i] == ']')
      ++i;
    else if (text[ende] == ' ')
      continue;
    if (i != text.size()) {
      fehler = "nach der ] darf nichts mehr stehen";
      return false;
    }
    return true;
  }
}
