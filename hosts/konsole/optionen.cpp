#include "hosts/konsole/optionen.h"

#include "basis/optionen.h"
#include "hosts/konsole/zeichensatz.h"

namespace {

// The options that take a value after "=", and all of them by name.
constexpr option_mit_wert mit_wert[] = {
    {"--dll", "PFAD"}, {"--modell", "schranke"}, {"--bericht", "lauf.json"}};
constexpr std::string_view alle[] = {"--dll",   "--modell",  "--bericht", "--boxes",
                                     "--boxen", "--zustand", "--hilfe",   "--version"};

} // namespace

bool optionen_lesen(std::span<const std::string_view> argumente, optionen &o, std::string &fehler) {
  bool nur_dateien = false;
  for (std::string_view a : argumente) {
    if (!nur_dateien && a == "--") {
      nur_dateien = true;
    } else if (!nur_dateien && a.starts_with("--dll=")) {
      o.dll = a.substr(6);
      if (o.dll.empty()) {
        fehler = "--dll= braucht einen Pfad";
        return false;
      }
    } else if (!nur_dateien && (a.starts_with("--modell=") || a.starts_with("--bericht="))) {
      const size_t gleich = a.find('=');
      (a[2] == 'm' ? o.modell : o.bericht) = a.substr(gleich + 1);
      if (a.size() == gleich + 1) {
        fehler = verbinden({a, " braucht einen Namen oder Pfad"});
        return false;
      }
    } else if (!nur_dateien && (a == "--boxes=console" || a == "--boxen=konsole")) {
      o.boxen_auf_konsole = true;
    } else if (!nur_dateien && (a == "--boxes=window" || a == "--boxen=fenster")) {
      o.boxen_auf_konsole = false;
    } else if (!nur_dateien && a == "--zustand") {
      o.zustand = true;
    } else if (!nur_dateien && (a == "--hilfe" || a == "--help" || a == "-h" || a == "/?")) {
      o.hilfe = true;
    } else if (!nur_dateien && a == "--version") {
      o.version = true;
    } else if (!nur_dateien && a.size() > 1 && a.front() == '-') {
      fehler = option_erklaeren(a, alle, mit_wert);
      return false;
    } else if (o.skript.empty()) {
      o.skript = a;
    } else {
      fehler = verbinden({"nur eine Skriptdatei, nicht auch ", a});
      return false;
    }
  }
  return true;
}

std::string_view gebrauch_text() {
  return "Aufruf: lumbrik-konsole.exe [Optionen] [SKRIPT]\n"
         "\n"
         "F" UE "hrt Befehle von lumbrik.dll Zeile f" UE "r Zeile aus: aus SKRIPT, sonst von der\n"
         "Standardeingabe (an einer Konsole mit Eingabeaufforderung). hilfe listet die\n"
         "Befehle, ende beendet.\n"
         "\n"
         "Optionen:\n"
         "  --dll=PFAD       lumbrik.dll von hier laden (Datei oder Ordner);\n"
         "                   sonst aus dem Ordner des Programms\n"
         "  --boxes=console  Meldungsboxen auf der Konsole ausgeben und best" AE "tigen,\n"
         "                   statt sie als Fenster zu zeigen\n"
         "  --zustand        den Zustand des simulierten Interfaces, wenn ein Befehl\n"
         "                   ihn ge" AE "ndert hat\n"
         "  --modell=NAME    das simulierte Interface simuliert ein Modell: eingebaut\n"
         "                   (schranke, ampel, aufzug, band) oder eine Modelldatei\n"
         "  --bericht=DATEI  am Ende den Bericht des Laufs (JSON), daneben Spur (.csv)\n"
         "                   und Zeitdiagramm (.svg)\n"
         "  --hilfe          nur diesen Text zeigen\n"
         "  --version        nur die Version zeigen\n"
         "\n"
         "Hinter der Br" UE "cke f" UE "r 64-Bit-Programme gelten --modell und --bericht im\n"
         "Helfer, wenn er das simulierte Interface l" AE "dt.\n"
         "\n"
         "Ende: 0, wenn jede Zeile lief; 1, wenn eine Zeile nicht lief (oder Strg+C);\n"
         "2, wenn lumbrik.dll oder umFish40.DLL nicht geladen werden kann; 3, wenn das\n"
         "Modell Fehler gemeldet hat (auch wenn daneben eine Zeile nicht lief; hinter\n"
         "der Br" UE "cke laut dem Bericht, den der Helfer am Ende schreibt); 4, wenn das\n"
         "verlangte Modell nicht lief (die Modelldatei ist fehlerhaft, oder das\n"
         "Interface wurde nie ge" OE "ffnet).\n";
}

std::string versions_text() {
  return verbinden(
      {"lumbrik-konsole ", LUMBRIK_VERSION, " (", std::to_string(sizeof(void *) * 8), " Bit)"});
}
