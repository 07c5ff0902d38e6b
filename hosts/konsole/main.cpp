// lumbrik-konsole.exe: loads lumbrik.dll as any host does and runs its
// commands line by line - typed at a console, from a script, or piped in.
#include "basis/windows_text.h"
#include "hosts/konsole/ausfuehren.h"
#include "hosts/konsole/bruecke.h"
#include "hosts/konsole/ein_ausgabe.h"
#include "hosts/konsole/escape.h"
#include "hosts/konsole/optionen.h"
#include "hosts/konsole/zeichensatz.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int alles_gelaufen = 0;
constexpr int zeile_gescheitert = 1;
constexpr int nicht_geladen = 2;
constexpr int modell_fehler = 3;
constexpr int modell_nicht_geladen = 4;
constexpr int bericht_fehlt = 5;

// The system's own words for an error code, in 1252 as the console's texts.
std::string systemtext(DWORD kode) {
  const std::string text = utf8_nach_1252(windows_text::systemtext(kode));
  return verbinden({text.empty() ? "Fehler" : text, " (", std::to_string(kode), ")"});
}

std::string voller_pfad(const std::string &pfad) {
  char voll[MAX_PATH] = {};
  const DWORD laenge = GetFullPathNameA(pfad.c_str(), MAX_PATH, voll, nullptr);
  return laenge > 0 && laenge < MAX_PATH ? std::string(voll, laenge) : pfad;
}

// Started by a double-click, the console has a window of its own that
// closes with it, and a message why it cannot start would flash by unread:
// then it waits for Enter.
void fenster_offen_halten() {
  DWORD prozesse[2];
  DWORD modus = 0;
  const HANDLE ein = GetStdHandle(STD_INPUT_HANDLE);
  if (GetConsoleProcessList(prozesse, 2) != 1 || !GetConsoleMode(ein, &modus))
    return;
  zeile_ausgeben("Die Eingabetaste schlie" SZ "t das Fenster.");
  FlushConsoleInputBuffer(ein);
  char zeile[64];
  DWORD gelesen = 0;
  ReadConsoleA(ein, zeile, sizeof zeile, &gelesen, nullptr);
}

void zeilenfehler(unsigned long nummer, const std::string &text) {
  zeile_ausgeben(verbinden({"Zeile ", std::to_string(nummer), ": ", text}), ausgabe_ziel::fehler);
}

// A model was asked for and the simulated box in this process refused it
// (it said why on standard error when it opened): the rest of the script
// would check nothing.
bool modell_abgelehnt(bool verlangt, const sitzung &s) {
  return verlangt && s.sim && *s.sim->modell_meldung_utf8() != '\0' &&
         *s.sim->modell_name_utf8() == '\0';
}

// An umFish40.DLL that is not the simulated one may be the recorder, which
// loads the library behind it at the first open: once vorbereitung has run,
// the simulated box may be there, and what the options can do is known.
void simulator_dahinter_suchen(sitzung &s, const optionen &o) {
  s.hinter_gesucht = true;
  s.sim = simulator_finden();
  const bool gewaehlt = !o.modell.empty() || !o.bericht.empty();
  if (s.sim && gewaehlt)
    zeile_ausgeben("lumbrik-konsole: umFish40.DLL ist der Mitschnitt; --modell und --bericht "
                   "gelten im simulierten Interface dahinter (echt\\umFish40.DLL).",
                   ausgabe_ziel::fehler);
  if (!s.sim && gewaehlt)
    zeile_ausgeben("lumbrik-konsole: --modell und --bericht gehen nur mit dem simulierten "
                   "Interface; geladen ist ein anderes umFish40.DLL.",
                   ausgabe_ziel::fehler);
  if (!s.sim && o.zustand)
    zeile_ausgeben("lumbrik-konsole: --zustand geht nur mit dem simulierten Interface; "
                   "geladen ist ein anderes umFish40.DLL.",
                   ausgabe_ziel::fehler);
}

// Reads and runs every line; true when each one ran. Stops at a line that
// left a model asked for refused.
bool zeilen_abarbeiten(zeilenquelle &quelle, sitzung &s, const optionen &o, bool modell_verlangt) {
  const bool interaktiv = quelle.konsole();
  if (interaktiv)
    zeile_ausgeben(verbinden({versions_text(), " - hilfe zeigt die Befehle, ende beendet."}));
  bool alle_gelaufen = true;
  std::string roh;
  for (unsigned long nummer = 1;; ++nummer) {
    if (interaktiv)
      ausgeben("lumbrik> ");
    if (!quelle.naechste(roh) || strg_c_gedrueckt())
      break;
    const gelesene_zeile z = zeile_lesen(roh);
    // Typed lines are on the screen already; read ones are echoed, so the
    // output can be followed on its own.
    if (!interaktiv)
      zeile_ausgeben(z.art == zeilen_art::befehl || z.art == zeilen_art::fehler
                         ? verbinden({"> ", z.text})
                         : z.text);
    if (z.art == zeilen_art::fehler) {
      zeilenfehler(nummer, z.fehler);
      alle_gelaufen = false;
      continue;
    }
    if (z.art != zeilen_art::befehl)
      continue;
    if (z.befehl->art == befehl_art::ende)
      break;
    std::string fehler;
    if (!ausfuehren(z, s, fehler)) {
      zeilenfehler(nummer, fehler);
      alle_gelaufen = false;
    }
    if (!s.sim && !s.hinter_bruecke && !s.hinter_gesucht && s.vorbereitet)
      simulator_dahinter_suchen(s, o);
    if (strg_c_gedrueckt() || modell_abgelehnt(modell_verlangt, s))
      break;
  }
  if (strg_c_gedrueckt()) {
    zeile_ausgeben("lumbrik-konsole: Strg+C - abgebrochen", ausgabe_ziel::fehler);
    alle_gelaufen = false;
  }
  if (interaktiv)
    zeile_ausgeben("");
  return alle_gelaufen;
}

// --modell and --bericht choose what the simulated box reads from its
// environment when it opens; _putenv updates the C runtime's copy it reads.
void modell_waehlen(const optionen &o) {
  if (!o.modell.empty())
    _putenv(verbinden({"LUMBRIK_MODELL=", o.modell}).c_str());
  if (!o.bericht.empty())
    _putenv(verbinden({"LUMBRIK_BERICHT=", o.bericht}).c_str());
}

// What became of the model of a run: its name (empty when none ran), why a
// chosen one did not, and its faults; texts in the console's code page.
struct modell_ausgang {
  std::string name;
  std::string meldung;
  uint64_t fehler = 0;
  // The first faults in time order (up to fehler_gezeigt of them).
  std::vector<akte::bericht::fehler_eintrag> liste;
  // The simulator has said why already, on standard error.
  bool gemeldet = false;
  // Why the report asked for cannot be written, or empty.
  std::string bericht;
};

constexpr size_t fehler_gezeigt = 10;

// A teacher sees why a run failed without opening its report: when, which
// rule, what it means.
void fehler_auflisten(const modell_ausgang &m) {
  for (const akte::bericht::fehler_eintrag &f : m.liste) {
    char zeit[32];
    std::snprintf(zeit, sizeof zeit, "%.2f", static_cast<double>(f.zeit_ms) / 1000.0);
    std::replace(std::begin(zeit), std::end(zeit), '.', ',');
    zeile_ausgeben(
        verbinden({"  bei ", zeit, " s: ", utf8_nach_1252(f.regel), " - ", utf8_nach_1252(f.text)}),
        ausgabe_ziel::fehler);
  }
  if (m.fehler > m.liste.size())
    zeile_ausgeben(
        verbinden({"  ", ELLIPSE " und ", std::to_string(m.fehler - m.liste.size()), " weitere"}),
        ausgabe_ziel::fehler);
}

// A teacher's script checks a learner's program by the exit code: a model
// that was asked for and did not run checked nothing, so it counts above
// faults; a report asked for and not written cannot be graded, so it too;
// faults the model recorded count above lines that failed.
int ende_mit_modell(bool verlangt, const modell_ausgang &m, int ende) {
  if (verlangt && m.name.empty()) {
    // Said once: what the simulator said already is not repeated.
    zeile_ausgeben(m.gemeldet ? "lumbrik-konsole: ohne das Modell pr" UE "ft das Skript nichts; "
                                "es endet (Exit-Code 4)."
                              : verbinden({"lumbrik-konsole: das Modell lief nicht - ", m.meldung}),
                   ausgabe_ziel::fehler);
    return modell_nicht_geladen;
  }
  if (!m.bericht.empty()) {
    zeile_ausgeben(verbinden({"lumbrik-konsole: kein Bericht - ", m.bericht}),
                   ausgabe_ziel::fehler);
    return bericht_fehlt;
  }
  if (m.fehler == 0)
    return ende;
  zeile_ausgeben(verbinden({"lumbrik-konsole: das Modell ", m.name, " hat ",
                            std::to_string(m.fehler), " Fehler gemeldet:"}),
                 ausgabe_ziel::fehler);
  fehler_auflisten(m);
  return modell_fehler;
}

constexpr char nie_geoeffnet[] = "das Interface wurde nie ge" OE "ffnet (vorbereitung)";

// The simulated box in this process says what became of its model.
modell_ausgang modell_der_box(const simulator_steuerung &sim) {
  modell_ausgang m;
  m.name = utf8_nach_1252(sim.modell_name_utf8());
  m.meldung = utf8_nach_1252(sim.modell_meldung_utf8());
  m.fehler = sim.modell_fehler();
  m.gemeldet = !m.meldung.empty();
  sim_fehler f{};
  for (uint32_t i = 0; i < fehler_gezeigt && sim.modell_fehler_eintrag(i, &f); ++i)
    m.liste.push_back({f.zeit_ms, f.regel_utf8, f.text_utf8});
  m.bericht = utf8_nach_1252(sim.bericht_meldung_utf8());
  if (m.meldung.empty()) {
    sim_zustand zustand{};
    sim.zustand_lesen(&zustand);
    m.meldung =
        zustand.geoeffnet == 0 ? nie_geoeffnet : "im Fenster wurde kein Modell gew" AE "hlt";
  }
  return m;
}

// Behind the bridge the model's end comes from the report, once the helper
// has ended; without one the exit code stays the lines'.
int ende_hinter_bruecke(bool verlangt, const sitzung &s, const bericht_abholung &a, int ende) {
  std::string meldung;
  const std::optional<akte::bericht> stand = bericht_abholen(s.dll.modul, a, meldung);
  if (stand) {
    modell_ausgang m;
    m.name = utf8_nach_1252(stand->modell);
    m.meldung = utf8_nach_1252(stand->meldung);
    m.fehler = stand->fehler_anzahl;
    // The helper's simulator wrote its own line when it refused the model.
    m.gemeldet = !m.meldung.empty();
    m.liste.assign(stand->fehler.begin(),
                   stand->fehler.begin() +
                       static_cast<std::ptrdiff_t>(std::min(stand->fehler.size(), fehler_gezeigt)));
    return ende_mit_modell(verlangt, m, ende);
  }
  // Without vorbereitung no helper ran, and no report was to come.
  if (!s.vorbereitet) {
    modell_ausgang m;
    m.meldung = nie_geoeffnet;
    return ende_mit_modell(verlangt, m, ende);
  }
  zeile_ausgeben(verbinden({"lumbrik-konsole: ", meldung}), ausgabe_ziel::fehler);
  // A report named by the user and not there cannot be graded.
  return a.vorlaeufig.empty() ? bericht_fehlt : ende;
}

} // namespace

int main(int argc, char **argv) {
  // The thread gets its message queue now: escape_nach posts to it, and a
  // post to a thread without one is lost.
  MSG nachricht;
  PeekMessageA(&nachricht, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

  const std::vector<std::string_view> argumente(argv + 1, argv + argc);
  optionen o;
  std::string fehler;
  if (!optionen_lesen(argumente, o, fehler)) {
    zeile_ausgeben(verbinden({"lumbrik-konsole: ", fehler, " (--hilfe zeigt den Aufruf)"}),
                   ausgabe_ziel::fehler);
    return zeile_gescheitert;
  }
  if (o.hilfe) {
    ausgeben(gebrauch_text());
    return alles_gelaufen;
  }
  if (o.version) {
    zeile_ausgeben(versions_text());
    return alles_gelaufen;
  }

  const auto quelle = o.skript.empty() ? std::make_unique<zeilenquelle>()
                                       : std::make_unique<zeilenquelle>(o.skript);
  if (!quelle->offen()) {
    const DWORD kode = GetLastError();
    zeile_ausgeben(verbinden({"lumbrik-konsole: das Skript ", voller_pfad(o.skript),
                              " kann nicht ge" OE "ffnet werden: ", systemtext(kode)}),
                   ausgabe_ziel::fehler);
    return zeile_gescheitert;
  }

  modell_waehlen(o);
  sitzung s;
  if (!lumbrik_laden(o.dll, s.dll, fehler)) {
    zeile_ausgeben(verbinden({"lumbrik-konsole: ", fehler}), ausgabe_ziel::fehler);
    fenster_offen_halten();
    return nicht_geladen;
  }
  s.sim = simulator_finden();
  s.zustand_zeigen = o.zustand;
  s.haupt_thread = GetCurrentThreadId();
  strg_c_abfangen(s.haupt_thread);
  if (quelle->konsole())
    s.konsole_eingabe = quelle->handle();
  const std::string helfer = s.sim ? "" : bruecke_helfer();
  s.hinter_bruecke = !helfer.empty();
  // Chosen before the first command: the helper starts at vorbereitung and
  // takes the environment as it is then.
  std::optional<bericht_abholung> abholung;
  if (!helfer.empty())
    abholung = bericht_bestellen();
  if ((!o.modell.empty() || !o.bericht.empty()) && !helfer.empty())
    zeile_ausgeben(verbinden({"lumbrik-konsole: umFish40.DLL ist die Br" UE "cke f" UE
                              "r 64-Bit-Programme; --modell und --bericht gelten im Helfer ",
                              helfer, ", wenn er das simulierte Interface l" AE "dt."}),
                   ausgabe_ziel::fehler);
  if (o.zustand && s.hinter_bruecke)
    zeile_ausgeben("lumbrik-konsole: --zustand geht nicht durch die Br" UE "cke f" UE
                   "r 64-Bit-Programme.",
                   ausgabe_ziel::fehler);
  // The recorder loads the library behind it at the first open: what is
  // there is known after vorbereitung. Any other is known now.
  if (!s.sim && !s.hinter_bruecke && !mitschnitt_geladen())
    simulator_dahinter_suchen(s, o);
  if (o.boxen_auf_konsole)
    boxen_auf_konsole();

  char gewaehlt[2] = {};
  const bool verlangt =
      !o.modell.empty() || GetEnvironmentVariableA("LUMBRIK_MODELL", gewaehlt, sizeof gewaehlt) > 0;
  const int ende = zeilen_abarbeiten(*quelle, s, o, verlangt) ? alles_gelaufen : zeile_gescheitert;
  if (abholung)
    return ende_hinter_bruecke(verlangt, s, *abholung, ende);
  return s.sim ? ende_mit_modell(verlangt, modell_der_box(*s.sim), ende) : ende;
}
