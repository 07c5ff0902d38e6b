#include "hosts/konsole/zeile.h"

#include "include/lumbrik.h"

#include "hosts/konsole/zeichensatz.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>

namespace {

constexpr std::string_view leerraum = " \t\r\n";

std::string_view ohne_rand(std::string_view text) {
  const size_t anfang = text.find_first_not_of(leerraum);
  if (anfang == std::string_view::npos)
    return {};
  return text.substr(anfang, text.find_last_not_of(leerraum) - anfang + 1);
}

std::vector<std::string_view> woerter(std::string_view text) {
  std::vector<std::string_view> liste;
  size_t i = text.find_first_not_of(leerraum);
  while (i != std::string_view::npos) {
    const size_t ende = text.find_first_of(leerraum, i);
    liste.push_back(text.substr(i, ende == std::string_view::npos ? ende : ende - i));
    i = ende == std::string_view::npos ? ende : text.find_first_not_of(leerraum, ende);
  }
  return liste;
}

std::string anzahl_text(int n) {
  if (n == 0)
    return "kein Argument";
  return verbinden({std::to_string(n), n == 1 ? " Argument" : " Argumente"});
}

bool nimmt_listen(const befehl_beschreibung &b) {
  return b.form.arten[0] == argument_art::zahl_oder_liste;
}

std::string falsche_anzahl(const befehl_beschreibung &b, const std::vector<std::string_view> &w) {
  std::string text = verbinden({b.name, " erwartet "});
  if (b.form.pflicht == b.form.hoechstens)
    text += anzahl_text(b.form.pflicht);
  else
    text += verbinden({"h" OE "chstens ", anzahl_text(b.form.hoechstens)});
  if (!b.argumente.empty())
    text += verbinden({" (", b.argumente, ")"});
  text += verbinden({", nicht ", std::to_string(w.size())});
  // Several numbers for a command that takes a list: show the list.
  if (nimmt_listen(b) && w.size() > 1) {
    std::string liste = "[";
    for (size_t i = 0; i < w.size(); ++i)
      liste += verbinden({i ? " " : "", w[i]});
    text += verbinden({"; mehrere Nummern als Liste: ", liste, "]"});
  }
  return text;
}

// A plain number outside this range would reach lumbrik.dll as the address
// of a list text.
constexpr int32_t kleinste_nummer = LUMBRIK_KLEINSTE_ZAHL;
constexpr int32_t groesste_nummer = LUMBRIK_GROESSTE_ZAHL;

bool argument_lesen(const befehl_beschreibung &b, argument_art art, std::string_view wort,
                    argument &arg, std::string &fehler) {
  if (art == argument_art::wort) {
    if (befehl_finden(wort) == nullptr) {
      fehler = unbekannter_befehl(wort);
      return false;
    }
    arg.wort = wort;
    return true;
  }
  if (wort.front() == '[') {
    if (art != argument_art::zahl_oder_liste) {
      fehler = verbinden({b.name, " nimmt keine Liste, nur Zahlen"});
      return false;
    }
    if (!liste_pruefen(wort, fehler)) {
      fehler = verbinden({"die Liste ", wort, " ist nicht wohlgeformt: ", fehler});
      return false;
    }
    arg.liste = wort;
    return true;
  }
  if (art == argument_art::dezimal) {
    arg.wort = wort;
    return dezimal_lesen(wort, arg.dezimal, fehler);
  }
  if (!zahl_lesen(wort, arg.zahl, fehler))
    return false;
  if (art == argument_art::zahl_oder_liste &&
      (arg.zahl < kleinste_nummer || arg.zahl > groesste_nummer)) {
    fehler = verbinden({wort,
                        " liegt au" SZ "erhalb von -32767 bis 32768 und w" UE
                        "rde als Adresse gelesen; als Liste geht es: [",
                        wort, "]"});
    return false;
  }
  return true;
}

// `roh "TEXT"`: the text between the quotes, as it is, for a command that
// takes lists. False when the line does not have that form; `fehler` then
// says why, unless the line does not start with roh at all.
bool roh_lesen(std::string_view rest, argument &arg, std::string &fehler) {
  constexpr std::string_view wort = "roh";
  if (!rest.starts_with(wort) ||
      (rest.size() > wort.size() && rest[wort.size()] != ' ' && rest[wort.size()] != '\t'))
    return false;
  const std::string_view text = ohne_rand(rest.substr(wort.size()));
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    fehler = "roh braucht einen Text in Anf" UE "hrungszeichen, zum Beispiel roh \"[1 x 2]\"";
    return false;
  }
  arg.liste = text.substr(1, text.size() - 2);
  arg.roh = true;
  return true;
}

gelesene_zeile fehlerhaft(std::string_view zeile, std::string fehler) {
  gelesene_zeile z;
  z.art = zeilen_art::fehler;
  z.text = zeile;
  z.fehler = std::move(fehler);
  return z;
}

} // namespace

gelesene_zeile zeile_lesen(std::string_view roh) {
  gelesene_zeile z;
  const std::string_view zeile = ohne_rand(roh);
  z.text = zeile;
  if (zeile.empty())
    return z;
  if (zeile.front() == '#') {
    z.art = zeilen_art::kommentar;
    return z;
  }
  // A control character typed or in a script would reach a command name or a
  // number unseen; Ctrl+D in particular ends nothing on Windows.
  for (const char c : zeile) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && c != '\t') || b == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", b);
      const std::string name =
          b == 0x7F ? std::string("Entf")
                    : verbinden({"Strg+", std::string(1, static_cast<char>('@' + b))});
      constexpr std::string_view anfang = "die Zeile enth" AE "lt das Steuerzeichen ";
      constexpr std::string_view ende =
          "); die Eingabe endet mit Strg+Z am Zeilenanfang oder mit ende";
      return fehlerhaft(zeile, verbinden({anfang, name, " (", code, ende}));
    }
  }

  const size_t name_ende = std::min(zeile.find_first_of(leerraum), zeile.size());
  const std::string_view name = zeile.substr(0, name_ende);
  const befehl_beschreibung *b = befehl_finden(name);
  if (b == nullptr)
    return fehlerhaft(zeile, unbekannter_befehl(name));

  // A list is one argument even though it contains spaces.
  const std::string_view rest = ohne_rand(zeile.substr(name_ende));
  if (nimmt_listen(*b)) {
    argument text;
    std::string fehler;
    if (roh_lesen(rest, text, fehler)) {
      z.art = zeilen_art::befehl;
      z.befehl = b;
      z.argumente.assign(static_cast<size_t>(b->form.hoechstens), argument{});
      z.argumente[0] = std::move(text);
      return z;
    }
    if (!fehler.empty())
      return fehlerhaft(zeile, fehler);
  }
  std::vector<std::string_view> w;
  if (nimmt_listen(*b) && !rest.empty() && rest.front() == '[')
    w.push_back(rest);
  else
    w = woerter(rest);
  if (static_cast<int>(w.size()) < b->form.pflicht ||
      static_cast<int>(w.size()) > b->form.hoechstens)
    return fehlerhaft(zeile, falsche_anzahl(*b, w));

  z.argumente.resize(static_cast<size_t>(b->form.hoechstens));
  for (size_t i = 0; i < w.size(); ++i) {
    std::string fehler;
    if (!argument_lesen(*b, b->form.arten[i], w[i], z.argumente[i], fehler))
      return fehlerhaft(zeile, fehler);
  }
  z.art = zeilen_art::befehl;
  z.befehl = b;
  return z;
}

// --- Numbers and lists ---
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
