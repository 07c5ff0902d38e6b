// One line of input, read into a command and its checked arguments, or into
// the reason it cannot run. Nothing here calls anything: a line that fails
// here never reaches lumbrik.dll.
#pragma once

#include "hosts/konsole/befehle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct argument {
  int32_t zahl = 0;
  double dezimal = 0;
  // The list text as written, when the argument is a list.
  std::string liste;
  // Set when the text came as `roh "..."`: it goes to lumbrik.dll as it is,
  // well formed or not.
  bool roh = false;
  // A word argument (hilfe BEFEHL), or a decimal number as written.
  std::string wort;
};

enum class zeilen_art { leer, kommentar, befehl, fehler };

struct gelesene_zeile {
  zeilen_art art = zeilen_art::leer;
  const befehl_beschreibung *befehl = nullptr;
  // Always as many as the command takes at most; omitted ones are 0.
  std::vector<argument> argumente;
  // The line without surrounding blanks.
  std::string text;
  // For a bad line, what is wrong (code page 1252, without the line number).
  std::string fehler;
};

gelesene_zeile zeile_lesen(std::string_view roh);

// Numbers and list texts as a line writes them. Everything is checked before
// anything is called: lumbrik.dll would stop quietly in the middle of a
// malformed list and take a number out of range as an address.

// An optional sign and one or more decimal digits, within signed 32 bits.
// On failure `fehler` says why (code page 1252).
bool zahl_lesen(std::string_view text, int32_t &wert, std::string &fehler);

// A decimal number such as 2.5 (a comma works as well), with optional sign.
bool dezimal_lesen(std::string_view text, double &wert, std::string &fehler);

// A well formed list: '[', optionally one space, numbers as zahl_lesen takes
// them separated by exactly one space, optionally one space, ']', nothing
// after. On failure `fehler` says what is wrong.
bool liste_pruefen(std::string_view text, std::string &fehler);
