// Numbers and list texts as a line writes them. Everything is checked before
// anything is called: lumbrik.dll would stop quietly in the middle of a
// malformed list and take a number out of range as an address.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// An optional sign and one or more decimal digits, within signed 32 bits.
// On failure `fehler` says why (code page 1252).
bool zahl_lesen(std::string_view text, int32_t &wert, std::string &fehler);

// A decimal number such as 2.5 (a comma works as well), with optional sign.
bool dezimal_lesen(std::string_view text, double &wert, std::string &fehler);

// A well formed list: '[', optionally one space, numbers as zahl_lesen takes
// them separated by exactly one space, optionally one space, ']', nothing
// after. On failure `fehler` says what is wrong.
bool liste_pruefen(std::string_view text, std::string &fehler);
