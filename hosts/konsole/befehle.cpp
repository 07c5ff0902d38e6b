#include "basis/abstand.h"
#include "hosts/konsole/befehle.h"

#include "hosts/konsole/zeichensatz.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using enum argument_art;

// clang-format off
constexpr befehl_beschreibung tabelle[] = {
#define BESCHREIBUNG(name, gruppe, aufruf, form, argumente, erklaerung) \
  {#name, befehl_art::name, befehl_gruppe::gruppe, interface_aufruf::aufruf, argument_formen::form, argumente, erklaerung},
  KONSOLE_BEFEHLE(BESCHREIBUNG)
#undef BESCHREIBUNG
};
// clang-format on

// A console 80 columns wide wraps a line of 80 characters before its line end.
constexpr size_t zeilenbreite = 79;
// A call longer than this would push every explanation to the right; it
// stands on a line of its own instead.
constexpr size_t laengster_aufruf = 24;

// `text` after `einzug`, broken between words so that no line is longer
// than zeilenbreite; continued lines start at the same column.
std::string umbrechen(std::string einzug, std::string_view text) {
  const size_t spalte = einzug.size();
  std::string ergebnis;
  std::string zeile = std::move(einzug);
  bool leer = true;
  while (!text.empty()) {
    const size_t ende = std::min(text.find(' '), text.size());
    const std::string_view wort = text.substr(0, ende);
    text.remove_prefix(std::min(ende + 1, text.size()));
    if (!leer && zeile.size() + 1 + wort.size() > zeilenbreite) {
      ergebnis += zeile + "\n";
      zeile.assign(spalte, ' ');
      leer = true;
    }
    zeile += verbinden({leer ? "" : " ", wort});
    leer = false;
  }
  return ergebnis + zeile;
}

std::string kleingeschrieben(std::string_view text) {
  std::string klein(text);
  for (char &c : klein)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return klein;
}

// The command `name` most likely meant: the same in other case, otherwise
// the nearest within about a third of its length; nullptr if none is near.
const befehl_beschreibung *gemeinter_befehl(std::string_view name) {
  std::vector<std::string_view> namen;
  for (const auto &b : tabelle)
    namen.push_back(b.name);
  const auto gemeint = gemeintes_wort(kleingeschrieben(name), namen);
  return gemeint ? befehl_finden(*gemeint) : nullptr;
}

} // namespace

std::span<const befehl_beschreibung> alle_befehle() {
  return tabelle;
}

std::string hilfe_text() {
  size_t breite = 0;
  for (const befehl_beschreibung &b : tabelle) {
    const size_t laenge = b.name.size() + 1 + b.argumente.size();
    if (laenge <= laengster_aufruf)
      breite = std::max(breite, laenge);
  }
  std::string text;
  const befehl_gruppe gruppen[] = {befehl_gruppe::lumbrik, befehl_gruppe::simulator,
                                   befehl_gruppe::konsole};
  const char *ueberschriften[] = {"Befehle von lumbrik.dll (Zahlen dezimal, Listen wie [1 2 3]):",
                                  "Nur mit dem simulierten Interface:", "Die Konsole selbst:"};
  for (int g = 0; g < 3; ++g) {
    text += ueberschriften[g];
    text += '\n';
    for (const befehl_beschreibung &b : tabelle) {
      if (b.gruppe != gruppen[g])
        continue;
      std::string aufruf = verbinden({"  ", b.name, " ", b.argumente});
      if (aufruf.size() > 2 + breite) {
        text += verbinden({aufruf, "\n"});
        aufruf.clear();
      }
      aufruf.resize(2 + breite + 2, ' ');
      text += verbinden({umbrechen(aufruf, b.erklaerung), "\n"});
    }
  }
  text += "Leere Zeilen und Zeilen mit # am Anfang werden " UE "bersprungen.";
  return text;
}

std::string hilfe_text(const befehl_beschreibung &b) {
  const char *herkunft = b.gruppe == befehl_gruppe::lumbrik ? "ein Befehl von lumbrik.dll"
                         : b.gruppe == befehl_gruppe::simulator
                             ? "nur mit dem simulierten Interface"
                             : "ein Befehl der Konsole";
  std::string text = verbinden({b.name, b.argumente.empty() ? "" : " ", b.argumente, "\n",
                                umbrechen("  ", b.erklaerung), "\n  (", herkunft, ")"});
  if (b.form.arten[0] == zahl_oder_liste)
    text += "\n  N ist eine Zahl von -32767 bis 32768, eine Liste wie [1 2 3] hat Zahlen mit"
            "\n  genau einem Leerzeichen dazwischen. roh \"TEXT\" gibt TEXT unver" AE "ndert an"
            "\n  lumbrik.dll, auch wenn er keine wohlgeformte Liste ist.";
  return text;
}

const befehl_beschreibung *befehl_finden(std::string_view name) {
  for (const befehl_beschreibung &b : tabelle)
    if (b.name == name)
      return &b;
  return nullptr;
}

std::string unbekannter_befehl(std::string_view name) {
  const befehl_beschreibung *gemeint = gemeinter_befehl(name);
  if (gemeint == nullptr)
    return verbinden({"unbekannter Befehl \"", name, "\" (hilfe zeigt alle Befehle)"});
  return verbinden({"unbekannter Befehl \"", name, "\" - meinten Sie \"", gemeint->name, "\"?"});
}
