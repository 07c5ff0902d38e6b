// lumbrik-klasse.exe's Windows-free core: what counts as a submission, the
// command line, a program's word size from its PE header, the verdict from
// what a run left behind, and the results (klasse.html, .csv, .json). Every
// text is UTF-8; the Windows part converts at its edges.
#pragma once

#include "aufzeichnung/bericht.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace klasse {

// --- The command line ---

struct optionen {
  // --modell=NAME|DATEI: a built-in model or a model file.
  std::string modell;
  // --vorbild=DATEI.csv: a recording of a reference run on the real kit.
  std::string vorbild;
  // --klick=BESCHRIFTUNG: the button pressed once the program's window is there.
  std::string klick;
  // --dauer=SEKUNDEN: how long a program may run.
  double dauer_s = 30;
  // --gleichzeitig=N: programs run at once; 0: as many as the machine has cores.
  int gleichzeitig = 0;
  // --ziel=ORDNER: where the results' folder is made; empty: the current one.
  std::string ziel;
  // The folder of submissions.
  std::string abgaben;
  bool hilfe = false;
};

// Reads the arguments after the program name. On failure `fehler` says why.
bool optionen_lesen(std::span<const std::string_view> argumente, optionen &o, std::string &fehler);

std::string_view gebrauch_text();

// The check's own exit codes; a learner's verdict never gives one of the others.
enum ende : int {
  alle_bestanden = 0,
  aufruf_falsch = 1,
  keine_abgaben = 2,
  nicht_alle_bestanden = 3,
  kein_modell = 4,
  nicht_schreibbar = 5,
};

// --- The submissions ---

// One entry of the submissions' folder as the Windows part found it.
struct eintrag {
  std::string name;
  bool ordner = false;
  // A folder's files (not its subfolders), names only.
  std::vector<std::string> dateien;
};

enum class programm_art { exe, skript };

struct abgabe {
  // The learner, from the folder's or the file's name.
  std::string name;
  // The entry in the submissions' folder, and the program within it (equal
  // for a single file).
  std::string eintrag;
  std::string programm;
  programm_art art = programm_art::exe;
};

struct auslassung {
  std::string name;
  std::string grund;
};

struct abgaben_liste {
  std::vector<abgabe> abgaben;
  std::vector<auslassung> uebersprungen;
};

// Sorted by name; the results' folders must not clash either (case is not
// told apart on Windows).
abgaben_liste abgaben_finden(std::vector<eintrag> eintraege);

// A file name a learner's name becomes in the results: no character Windows
// refuses, never empty.
std::string ordner_name(std::string_view name);

// 32 or 64 from a PE file's first bytes (up to 4 KiB suffice), or 0.
int pe_bits(std::span<const unsigned char> kopf);

// "klasse-2026-12-11_14-05-09", and "-2", "-3" … when that exists already.
std::string ergebnis_ordner(int jahr, int monat, int tag, int stunde, int minute, int sekunde,
                            int versuch);

// A model file's text with a recording named in its [modell] table, for
// --modell together with --vorbild. Empty with `fehler` set when it cannot.
std::optional<std::string> modell_mit_vorbild(std::string_view toml, std::string_view vorbild,
                                              std::string &fehler);

// --- One run and its verdict ---

struct lauf_ergebnis {
  bool gestartet = false;
  // Why it did not start (the system's message).
  std::string startfehler;
  uint32_t exit_code = 0;
  bool zeit_um = false;
  double grenze_s = 30; // the time it had (--dauer=)
  double laufzeit_s = 0;
  bool skript = false;
  // The simulator's report, if it wrote one.
  std::optional<std::string> bericht_json;
  // The texts of the message boxes answered, in order.
  std::vector<std::string> meldungen;
  // What it printed (the start of it), UTF-8 as the console writes to a file.
  std::string ausgabe;
};

enum class urteil { bestanden, fehler, abgestuerzt, haengt, nie_geoeffnet, startet_nicht };

std::string_view urteil_text(urteil u);

// A fault as the run's report lists it.
using fehler_eintrag = akte::bericht::fehler_eintrag;

struct bewertung {
  urteil u = urteil::bestanden;
  // Why, in words, for the verdicts other than bestanden and fehler.
  std::string grund;
  uint64_t fehler_anzahl = 0;
  std::vector<fehler_eintrag> fehler;
  std::string modell;
};

// Reads the report defensively: fields it lacks are simply absent.
bewertung bewerten(const lauf_ergebnis &l);

// The simulator's report with the texts of the boxes answered added as
// "meldungsboxen", everything else kept as it stands; empty when there is
// nothing to add or the report is not a whole one.
std::optional<std::string> bericht_mit_boxen(std::string_view json,
                                             const std::vector<std::string> &meldungen);

// --- The results ---

struct zeile {
  abgabe a;
  int bits = 0;
  lauf_ergebnis lauf;
  bewertung b;
  // Paths relative to klasse.html; empty when the run left none.
  std::string bericht, spur, ausgabe;
  // The timing diagram, inline.
  std::string svg;
};

struct klasse_stand {
  std::string titel;
  std::string zeitpunkt;
  std::string modell;
  std::string vorbild;
  std::vector<zeile> zeilen;
  std::vector<auslassung> uebersprungen;
};

std::string klasse_html(const klasse_stand &k);
// For German Excel: UTF-8 with BOM, ';', decimal comma, CR LF.
std::string klasse_csv(const klasse_stand &k);
std::string klasse_json(const klasse_stand &k);

// "9 Abgaben: 5 bestanden, 2 Fehler, 1 abgestürzt, 1 hängt"
std::string zusammenfassung(const klasse_stand &k);

} // namespace klasse
