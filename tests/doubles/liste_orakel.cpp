#include "tests/doubles/liste_orakel.h"

#include <cstring>

namespace orakel {

namespace {

bool umwandeln(const std::string &token, int32_t &zahl) {
  size_t i = 0;
  if (!token.empty() && (token[0] == '+' || token[0] == '-'))
    i = 1;
  if (i == token.size())
    return false;
  for (size_t k = i; k < token.size(); ++k)
    if (token[k] < '0' || token[k] > '9')
      return false;
  const size_t erste = token.find_first_not_of('0', i);
  if (erste != std::string::npos && token.size() - erste > 10)
    return false;
  const long long wert = std::stoll(token);
  if (wert < INT32_MIN || wert > INT32_MAX)
    return false;
  zahl = static_cast<int32_t>(wert);
  return true;
}

// Copies text[anfang..trenner) by writing a zero at the delimiter and back.
std::string token_kopieren(char *text, size_t anfang, size_t trenner) {
  const char alt = text[trenner];
  text[trenner] = '\0';
  std::string token(text + anfang);
  text[trenner] = alt;
  return token;
}

} // namespace

ergebnis liste(char *text) {
  ergebnis e{weg::liste_abgebrochen, {}};
  size_t anfang = 0;
  for (;;) {
    if (!(text[anfang] == '[' && text[anfang + 1] != ' ')) {
      const char *leer = std::strchr(text + anfang, ' ');
      if (leer == nullptr)
        return e;
      anfang = static_cast<size_t>(leer - text);
    }
    anfang += 1;
    size_t ende = 0;
    std::string token;
    if (const char *leer = std::strchr(text + anfang, ' ')) {
      const size_t p = static_cast<size_t>(leer - text);
      token = token_kopieren(text, anfang, p);
      ende = p + 1;
    } else if (const char *klammer = std::strchr(text + anfang, ']')) {
      const size_t q = static_cast<size_t>(klammer - text);
      token = token_kopieren(text, anfang, q);
      ende = q;
    } else {
      return e; // unclosed: the text ends inside the list
    }
    int32_t zahl = 0;
    if (!umwandeln(token, zahl))
      return e;
    e.zahlen.push_back(zahl);
    if (text[ende] == ']') {
      e.genommen = weg::liste_fertig;
      return e;
    }
  }
}

ergebnis dispatch(intptr_t wert, char *text) {
  if (wert >= -32767 && wert <= 32768)
    return {weg::zahl, {static_cast<int32_t>(wert)}};
  if (text[0] != '[')
    return {weg::keine_liste, {}};
  return liste(text);
}

} // namespace orakel
