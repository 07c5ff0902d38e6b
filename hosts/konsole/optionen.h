// The command line of lumbrik-konsole.exe.
#pragma once

#include <span>
#include <string>
#include <string_view>

struct optionen {
  // --dll=PFAD: lumbrik.dll itself or its folder; empty: the program's folder.
  std::string dll;
  // --boxes=console: boxes are printed and acknowledged instead of shown.
  bool boxen_auf_konsole = false;
  // --zustand: the simulated box's state after each command.
  bool zustand = false;
  // --modell=NAME|DATEI and --bericht=DATEI: the simulated box's model and
  // report, as LUMBRIK_MODELL and LUMBRIK_BERICHT would choose them.
  std::string modell;
  std::string bericht;
  // --hilfe: usage only.
  bool hilfe = false;
  // --version: the version only.
  bool version = false;
  // The script file; empty: standard input.
  std::string skript;
};

// Reads the arguments after the program name. On failure `fehler` says why.
bool optionen_lesen(std::span<const std::string_view> argumente, optionen &o, std::string &fehler);

// The usage text of --hilfe, code page 1252.
std::string_view gebrauch_text();

// The program, its version and whether it is the 32- or the 64-bit build:
// "lumbrik-konsole 1.0.0 (32 Bit)".
std::string versions_text();
