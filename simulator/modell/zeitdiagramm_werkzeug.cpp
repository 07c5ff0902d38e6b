// lumbrik-zeitdiagramm [--modell=MODELL] SPUR.csv [BILD.svg]: draws a trace
// of the simulated box as a timing diagram, as the DLL does beside its
// report. With the model that ran (a built-in name or a file) the lanes are
// named by its parts; without it, by number. The report beside the trace
// (SPUR.json), where there is one, gives the title line and the faults' texts.
#include "aufzeichnung/datei.h"
#include "aufzeichnung/zeitdiagramm.h"
#include "simulator/modell/anbindung.h"
#include "simulator/modell/aufzeichnung.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string option = "--modell=";
  std::string wahl;
  if (!args.empty() && args[0].rfind(option, 0) == 0) {
    wahl = args[0].substr(option.size());
    args.erase(args.begin());
  }
  const std::string aufruf =
      "Aufruf: lumbrik-zeitdiagramm [--modell=MODELL] SPUR.csv [BILD.svg]\n"
      "Zeichnet eine Spur (.csv) als Zeitdiagramm, ohne BILD.svg in SPUR.svg.\n"
      "--modell= benennt die Spuren nach den Teilen eines Modells.\n"
      "Der Bericht neben der Spur (SPUR.json) gibt, wo es ihn gibt, die Titelzeile\n"
      "und die Texte der Fehler.\n";
  if (args.size() == 1 && (args[0] == "--hilfe" || args[0] == "-h" || args[0] == "/?")) {
    akte::ausgeben(stdout, aufruf);
    return 0;
  }
  // A mistyped option is no trace to read.
  const bool option_falsch = !args.empty() && args[0].rfind("--", 0) == 0;
  if (args.empty() || args.size() > 2 || option_falsch) {
    akte::ausgeben(stderr, (option_falsch ? "unbekannte Option " + args[0] + "\n" : "") + aufruf);
    return 2;
  }
  const modell::ergebnis m = modell_beschaffen(wahl);
  if (!wahl.empty() && !m.modell) {
    akte::ausgeben(stderr, m.meldung + "\n");
    return 1;
  }
  const std::string &spur = args[0];
  std::string bild = args.size() == 2 ? args[1] : spur;
  if (args.size() == 1) {
    const size_t punkt = bild.rfind('.');
    bild = (punkt == std::string::npos ? bild : bild.substr(0, punkt)) + ".svg";
  }
  // The report beside the trace gives the title line, the faults' texts and
  // a replay's recording.
  const std::optional<akte::bericht> bericht = akte::bericht_neben(spur);
  const akte::teile teile = m.modell ? modell::teile_von(*m.modell) : akte::teile{};
  std::string meldung;
  if (!akte::zeitdiagramm(spur, bild, meldung, m.modell ? &teile : nullptr,
                          bericht ? &*bericht : nullptr)) {
    akte::ausgeben(stderr, meldung + "\n");
    return 1;
  }
  return 0;
}
