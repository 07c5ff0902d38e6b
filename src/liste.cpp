#include "src/liste.h"

#include "src/plattform.h"

namespace lumbrik {

namespace {

// --- Reading a host's list text ---

// A text in the host's memory. Characters are fetched one region at a time,
// so a scan never touches a page that is not readable; reading past the last
// readable byte yields '\0', which ends the text there.
struct lesetext {
  const char *t;
  size_t lesbar;
  bool erschoepft;
};

char zeichen(lesetext &text, size_t i) {
  while (i >= text.lesbar) {
    const size_t mehr = text.erschoepft ? 0 : lesbare_bytes(text.t + text.lesbar);
    if (mehr == 0) {
      text.erschoepft = true;
      return '\0';
    }
    text.lesbar += mehr;
  }
  return text.t[i];
}

// Finds the first `gesucht` at or after `ab`, stopping at the end of the text.
bool suchen(lesetext &text, size_t ab, char gesucht, size_t &fund) {
  for (size_t i = ab;; ++i) {
    const char c = zeichen(text, i);
    if (c == gesucht) {
      fund = i;
      return true;
    }
    if (c == '\0')
      return false;
  }
}

// Converts text[von, bis): an optional sign and one or more decimal digits
// whose value fits in 32 bits. Leading zeros are fine, so length is no limit.
bool umwandeln(lesetext &text, size_t von, size_t bis, int32_t &zahl) {
  bool negativ = false;
  if (von < bis && (zeichen(text, von) == '+' || zeichen(text, von) == '-')) {
    negativ = zeichen(text, von) == '-';
    ++von;
  }
  if (von == bis)
    return false;
  constexpr int64_t grenze = int64_t{INT32_MAX} + 1;
  int64_t wert = 0;
  for (; von < bis; ++von) {
    const char c = zeichen(text, von);
    if (c < '0' || c > '9')
      return false;
    // Past the limit the value only has to stay out of range.
    if (wert <= grenze)
      wert = wert * 10 + (c - '0');
  }
  if (negativ)
    wert = -wert;
  if (wert < INT32_MIN || wert > INT32_MAX)
    return false;
  zahl = static_cast<int32_t>(wert);
  return true;
}

// Walks a list text (it starts with '['), performing the action for each
// number in order. True when it ended at the closing bracket; false when a
// token failed to convert or the text ended before the list did.
bool liste_abarbeiten(lesetext &text, aktion tun, void *kontext) {
  // One optional space may follow the bracket.
  size_t anfang = zeichen(text, 1) == ' ' ? 2 : 1;
  for (;;) {
    // A token runs to the next space; only when there is none, to the next
    // bracket. So "[1 2] 3" yields the token "2]", which fails.
    size_t trenner = 0;
    size_t ende = 0;
    if (suchen(text, anfang, ' ', trenner))
      ende = trenner + 1;
    else if (suchen(text, anfang, ']', trenner))
      ende = trenner;
    else
      return false; // the text ends inside the list

    int32_t zahl = 0;
    if (!umwandeln(text, anfang, trenner, zahl))
      return false;
    tun(zahl, kontext);
    if (zeichen(text, ende) == ']')
      return true;
    anfang = ende;
  }
}

} // namespace

weg zahl_oder_liste(intptr_t wert, aktion tun, void *kontext) {
  if (wert >= kleinste_zahl && wert <= groesste_zahl) {
    tun(static_cast<int32_t>(wert), kontext);
    return weg::zahl;
  }
  lesetext text{reinterpret_cast<const char *>(wert), 0, false};
  if (zeichen(text, 0) != '[')
    return weg::keine_liste;
  return liste_abarbeiten(text, tun, kontext) ? weg::liste_fertig : weg::liste_abgebrochen;
}

} // namespace lumbrik
