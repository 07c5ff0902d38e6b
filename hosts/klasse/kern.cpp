#include "hosts/klasse/kern.h"

#include "basis/optionen.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <map>

namespace klasse {

namespace {

bool beginnt(std::string_view s, std::string_view anfang) {
  return s.substr(0, anfang.size()) == anfang;
}

char klein(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string klein(std::string_view s) {
  std::string aus(s);
  std::transform(aus.begin(), aus.end(), aus.begin(), [](char c) { return klein(c); });
  return aus;
}

bool endet(std::string_view name, std::string_view endung) {
  return name.size() > endung.size() && klein(name.substr(name.size() - endung.size())) == endung;
}

bool zahl_lesen(std::string_view text, double &wert) {
  std::string t(text);
  std::replace(t.begin(), t.end(), ',', '.');
  const char *ende = t.data() + t.size();
  const auto [p, ec] = std::from_chars(t.data(), ende, wert);
  return ec == std::errc() && p == ende;
}

// The options, all of which take a value after "=" (--hilfe is apart);
// each has its branch in optionen_lesen.
constexpr option_mit_wert mit_wert[] = {{"--modell", "schranke"}, {"--vorbild", "muster.csv"},
                                        {"--klick", "Start"},     {"--dauer", "20"},
                                        {"--gleichzeitig", "4"},  {"--ziel", "ergebnisse"}};
constexpr std::string_view alle[] = {"--modell", "--vorbild",      "--klick",
                                     "--dauer",  "--gleichzeitig", "--ziel"};

std::string_view beispiel(std::string_view name) {
  for (const option_mit_wert &m : mit_wert)
    if (m.name == name)
      return m.beispiel;
  return "...";
}

bool zahl_lesen(std::string_view text, int &wert) {
  const char *ende = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), ende, wert);
  return ec == std::errc() && p == ende;
}

} // namespace

// --- The command line ---

bool optionen_lesen(std::span<const std::string_view> argumente, optionen &o, std::string &fehler) {
  for (std::string_view a : argumente) {
    const size_t gleich = a.find('=');
    const std::string_view name = a.substr(0, gleich);
    const std::string_view wert = gleich == std::string_view::npos ? "" : a.substr(gleich + 1);
    if (a == "--hilfe" || a == "--help" || a == "/?") {
      o.hilfe = true;
    } else if (!beginnt(a, "--")) {
      if (!o.abgaben.empty()) {
        fehler = "nur ein Ordner mit Abgaben: " + o.abgaben + " und " + std::string(a);
        return false;
      }
      o.abgaben = a;
    } else if (std::find(std::begin(alle), std::end(alle), name) == std::end(alle) ||
               gleich == std::string_view::npos) {
      fehler = option_erklaeren(a, alle, mit_wert) + " (--hilfe zeigt alle)";
      return false;
    } else if (wert.empty()) {
      fehler = "die Option " + std::string(a) + " braucht einen Wert, z. B. " + std::string(name) +
               "=" + std::string(beispiel(name));
      return false;
    } else if (name == "--modell") {
      o.modell = wert;
    } else if (name == "--vorbild") {
      o.vorbild = wert;
    } else if (name == "--klick") {
      o.klick = wert;
    } else if (name == "--ziel") {
      o.ziel = wert;
    } else if (name == "--dauer") {
      if (!zahl_lesen(wert, o.dauer_s) || !(o.dauer_s > 0 && o.dauer_s <= 3600)) {
        fehler = "--dauer braucht Sekunden von 0,1 bis 3600, nicht " + std::string(wert);
        return false;
      }
    } else if (name == "--gleichzeitig") {
      if (!zahl_lesen(wert, o.gleichzeitig) || o.gleichzeitig < 1 || o.gleichzeitig > 64) {
        fehler = "--gleichzeitig braucht eine Zahl von 1 bis 64, nicht " + std::string(wert);
        return false;
      }
    }
  }
  if (o.hilfe)
    return true;
  if (o.abgaben.empty()) {
    fehler = "welcher Ordner hält die Abgaben? z. B. lumbrik-klasse --modell=schranke abgaben";
    return false;
  }
  if (o.modell.empty() && o.vorbild.empty()) {
    fehler = "wogegen prüfen? --modell=NAME|DATEI oder --vorbild=MITSCHNITT.csv (oder beides)";
    return false;
  }
  return true;
}

std::string_view gebrauch_text() {
  return "lumbrik-klasse: prüft die Programme einer Klasse gegen ein Modell oder einen "
         "Mitschnitt.\n"
         "\n"
         "  lumbrik-klasse [Optionen] ABGABEN\n"
         "\n"
         "ABGABEN ist ein Ordner mit einem Eintrag je Schülerin oder Schüler: einem Ordner\n"
         "mit einem Programm (.exe) oder Konsolen-Skript (.txt) darin, oder einer einzelnen\n"
         ".exe oder .txt, benannt nach ihr oder ihm.\n"
         "\n"
         "  --modell=NAME|DATEI     eingebautes Modell (schranke, ampel, aufzug, band)\n"
         "                          oder eine Modelldatei (.toml)\n"
         "  --vorbild=DATEI.csv     Mitschnitt der eigenen Lösung am echten Interface;\n"
         "                          mit --modell zusammen: das Modell mit diesem Mitschnitt\n"
         "  --klick=BESCHRIFTUNG    drückt im Fenster des Programms einmal diese Schaltfläche\n"
         "  --dauer=SEKUNDEN        so lange darf ein Programm laufen (30)\n"
         "  --gleichzeitig=N        so viele Programme laufen zugleich (Zahl der Kerne)\n"
         "  --ziel=ORDNER           dort entsteht der Ordner klasse-DATUM_ZEIT (hier)\n"
         "\n"
         "Ergebnis: klasse.html, klasse.csv und klasse.json im neuen Ordner.\n"
         "Exit-Code: 0 alle bestanden, 3 nicht alle bestanden, 1 Aufruf falsch,\n"
         "2 keine Abgaben, 4 Modell oder Mitschnitt fehlt, 5 Ordner nicht schreibbar.\n";
}

// --- The submissions ---

std::string ordner_name(std::string_view name) {
  std::string aus;
  for (char c : name)
    aus += (static_cast<unsigned char>(c) < 32 ||
            std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos)
               ? '_'
               : c;
  while (!aus.empty() && (aus.back() == '.' || aus.back() == ' '))
    aus.pop_back();
  return aus.empty() ? "_" : aus;
}

abgaben_liste abgaben_finden(std::vector<eintrag> eintraege) {
  std::sort(eintraege.begin(), eintraege.end(),
            [](const eintrag &a, const eintrag &b) { return klein(a.name) < klein(b.name); });
  abgaben_liste l;
  std::map<std::string, std::string> vergeben;
  for (const eintrag &e : eintraege) {
    abgabe a{e.name, e.name, e.name, programm_art::exe};
    if (e.ordner) {
      std::vector<std::string> exe, skripte;
      for (const std::string &d : e.dateien) {
        if (endet(d, ".exe"))
          exe.push_back(d);
        else if (endet(d, ".txt"))
          skripte.push_back(d);
      }
      // A read-me beside a program is no script of its own.
      if (exe.size() == 1) {
        a.programm = exe.front();
      } else if (exe.empty() && skripte.size() == 1) {
        a.programm = skripte.front();
        a.art = programm_art::skript;
      } else {
        l.uebersprungen.push_back(
            {e.name, exe.size() > 1 ? "mehrere Programme (.exe) im Ordner; es darf nur eines sein"
                     : skripte.empty() ? "kein Programm (.exe) und kein Skript (.txt) im Ordner"
                                       : "mehrere Skripte (.txt) und kein Programm im Ordner"});
        continue;
      }
    } else if (endet(e.name, ".exe") || endet(e.name, ".txt")) {
      a.name = e.name.substr(0, e.name.size() - 4);
      a.art = endet(e.name, ".txt") ? programm_art::skript : programm_art::exe;
    } else {
      l.uebersprungen.push_back({e.name, "kein Programm (.exe) und kein Skript (.txt)"});
      continue;
    }
    const auto [stelle, neu] = vergeben.emplace(klein(ordner_name(a.name)), e.name);
    if (!neu) {
      l.uebersprungen.push_back({e.name, "gleicher Name wie " + stelle->second});
      continue;
    }
    l.abgaben.push_back(a);
  }
  return l;
}

int pe_bits(std::span<const unsigned char> kopf) {
  auto wort = [&](size_t stelle, size_t laenge) -> std::optional<uint32_t> {
    if (stelle + laenge > kopf.size())
      return std::nullopt;
    uint32_t w = 0;
    for (size_t i = laenge; i-- > 0;)
      w = w << 8 | kopf[stelle + i];
    return w;
  };
  if (wort(0, 2) != 0x5A4Du) // "MZ"
    return 0;
  const std::optional<uint32_t> pe = wort(0x3C, 4);
  if (!pe || wort(*pe, 4) != 0x4550u) // "PE\0\0"
    return 0;
  const std::optional<uint32_t> magie = wort(*pe + 24, 2);
  return magie == 0x10Bu ? 32 : magie == 0x20Bu ? 64 : 0;
}

std::string ergebnis_ordner(int jahr, int monat, int tag, int stunde, int minute, int sekunde,
                            int versuch) {
  std::array<char, 64> b{};
  std::snprintf(b.data(), b.size(), "klasse-%04d-%02d-%02d_%02d-%02d-%02d", jahr, monat, tag,
                stunde, minute, sekunde);
  std::string name = b.data();
  return versuch > 1 ? name + "-" + std::to_string(versuch) : name;
}

std::optional<std::string> modell_mit_vorbild(std::string_view toml, std::string_view vorbild,
                                              std::string &fehler) {
  std::string pfad = "\"";
  for (char c : vorbild)
    pfad += c == '\\' ? "\\\\" : c == '"' ? "\\\"" : std::string(1, c);
  pfad += '"';
  size_t zeile = 0;
  std::optional<size_t> hinter_kopf;
  while (zeile < toml.size()) {
    size_t ende = toml.find('\n', zeile);
    if (ende == std::string_view::npos)
      ende = toml.size();
    std::string_view z = toml.substr(zeile, ende - zeile);
    while (!z.empty() && (z.back() == '\r' || z.back() == ' ' || z.back() == '\t'))
      z.remove_suffix(1);
    while (!z.empty() && (z.front() == ' ' || z.front() == '\t'))
      z.remove_prefix(1);
    if (z == "[modell]" && !hinter_kopf)
      hinter_kopf = std::min(ende + 1, toml.size());
    else if (hinter_kopf && beginnt(z, "["))
      break;
    else if (hinter_kopf && beginnt(z, "mitschnitt") &&
             z.find_first_not_of(" \t", 10) == z.find('=')) {
      fehler = "das Modell nennt schon einen Mitschnitt; --vorbild nur mit einem Modell ohne";
      return std::nullopt;
    }
    zeile = ende + 1;
  }
  if (!hinter_kopf) {
    fehler = "das Modell hat keine Tabelle [modell]";
    return std::nullopt;
  }
  std::string aus(toml.substr(0, *hinter_kopf));
  if (!aus.empty() && aus.back() != '\n')
    aus += '\n';
  return aus + "mitschnitt = " + pfad + "\n" + std::string(toml.substr(*hinter_kopf));
}

// --- One run and its verdict ---

std::string_view urteil_text(urteil u) {
  switch (u) {
  case urteil::bestanden:
    return "bestanden";
  case urteil::fehler:
    return "Fehler";
  case urteil::abgestuerzt:
    return "abgestürzt";
  case urteil::haengt:
    return "hängt";
  case urteil::nie_geoeffnet:
    return "öffnet das Interface nie";
  case urteil::startet_nicht:
    return "startet nicht";
  }
  return "";
}

namespace {

std::string hex(uint32_t wert) {
  std::array<char, 16> b{};
  std::snprintf(b.data(), b.size(), "0x%08X", wert);
  return b.data();
}

// The exceptions a learner's program meets most, in words.
std::string ausnahme_text(uint32_t code) {
  switch (code) {
  case 0xC0000005u:
    return "Zugriffsverletzung";
  case 0xC0000094u:
    return "Division durch null";
  case 0xC00000FDu:
    return "Stapelüberlauf";
  case 0xC000001Du:
    return "ungültiger Befehl";
  case 0xC0000409u:
    return "abgebrochen";
  case 0xC000013Au:
    return "mit Strg+C beendet";
  default:
    return "Ausnahme";
  }
}

// The codes with which Windows refuses to start a program at all.
std::optional<std::string> startcode_text(uint32_t code) {
  switch (code) {
  case 0xC0000135u:
    return "eine DLL, die das Programm braucht, fehlt";
  case 0xC0000139u:
    return "eine Funktion, die das Programm braucht, fehlt in einer DLL";
  case 0xC000007Bu:
    return "eine DLL passt nicht zum Programm (32/64 Bit)";
  case 0xC0000142u:
    return "eine DLL ließ sich nicht starten";
  default:
    return std::nullopt;
  }
}

// Each line of what a program printed, without its line end.
template <class F> void jede_zeile(std::string_view text, F f) {
  while (!text.empty()) {
    const size_t ende = std::min(text.find('\n'), text.size());
    std::string_view zeile = text.substr(0, ende);
    text.remove_prefix(std::min(ende + 1, text.size()));
    if (!zeile.empty() && zeile.back() == '\r')
      zeile.remove_suffix(1);
    f(zeile);
  }
}

// The script's line the console ran last, as it echoes them ("> pause 400").
std::string letzter_befehl(std::string_view ausgabe) {
  std::string_view zuletzt;
  jede_zeile(ausgabe, [&](std::string_view zeile) {
    if (zeile.substr(0, 2) == "> ")
      zuletzt = zeile.substr(2);
  });
  return std::string(zuletzt.substr(0, 200));
}

// The console's line why it stopped: "Zeile 2: unbekannter Befehl …" or
// "lumbrik-konsole: …"; empty when it printed none.
std::string abbruchgrund(std::string_view ausgabe) {
  std::string_view grund;
  jede_zeile(ausgabe, [&](std::string_view zeile) {
    constexpr std::string_view konsole = "lumbrik-konsole: ";
    if (!grund.empty())
      return;
    if (zeile.substr(0, konsole.size()) == konsole)
      grund = zeile.substr(konsole.size());
    else if (zeile.substr(0, 6) == "Zeile ")
      grund = zeile;
  });
  return std::string(grund.substr(0, 300));
}

} // namespace

bewertung bewerten(const lauf_ergebnis &l) {
  bewertung b;
  if (l.bericht_json) {
    // Fields it lacks (an older or newer simulator's) are no fault.
    if (const std::optional<akte::bericht> r = akte::bericht_lesen(*l.bericht_json, false)) {
      b.modell = r->modell;
      b.fehler = r->fehler;
      b.fehler_anzahl = std::max<uint64_t>(r->fehler.size(), r->fehler_anzahl);
      // A model that did not run checked nothing; its reason is a fault.
      if (!r->meldung.empty() && r->modell.empty())
        b.grund = "das Modell lief nicht: " + r->meldung;
    } else {
      b.grund = "der Bericht ist unvollständig";
    }
  }
  const uint32_t c = l.exit_code;
  if (!l.gestartet) {
    b.u = urteil::startet_nicht;
    b.grund = l.startfehler;
  } else if (l.zeit_um) {
    b.u = urteil::haengt;
    // A script says where it waited; a program only how long it had.
    char grenze[32];
    std::snprintf(grenze, sizeof grenze, "%g", l.grenze_s);
    b.grund =
        std::string("lief länger als ") + grenze + " s und wurde beendet (mehr Zeit: --dauer=)";
    if (const std::string zuletzt = letzter_befehl(l.ausgabe); l.skript && !zuletzt.empty())
      b.grund += "; zuletzt lief: " + zuletzt;
  } else if (const auto start = startcode_text(c)) {
    b.u = urteil::startet_nicht;
    b.grund = *start + " (" + hex(c) + ")" + (l.startfehler.empty() ? "" : ": " + l.startfehler);
  } else if (c >= 0xC0000000u) {
    b.u = urteil::abgestuerzt;
    b.grund = ausnahme_text(c) + " (" + hex(c) + ")";
  } else if (l.skript && (c == 1 || c == 2)) {
    // The console refused a line of the script, or could not read it; the
    // line it printed says which and what to write instead.
    b.u = urteil::abgestuerzt;
    const std::string warum = abbruchgrund(l.ausgabe);
    b.grund = warum.empty() ? "das Skript brach ab (Exit-Code " + std::to_string(c) + ")"
                            : "das Skript brach ab: " + warum;
  } else if (!l.bericht_json) {
    b.u = urteil::nie_geoeffnet;
    b.grund = l.skript ? "vorbereitung wurde nie aufgerufen; ein Skript beginnt mit der Zeile "
                         "vorbereitung"
                       : "vorbereitung wurde nie aufgerufen";
  } else if (b.fehler_anzahl > 0 || !b.grund.empty()) {
    b.u = urteil::fehler;
  } else if (c != 0 && !l.skript) {
    b.u = urteil::abgestuerzt;
    b.grund = "endete mit Exit-Code " + std::to_string(c);
  } else {
    b.u = urteil::bestanden;
  }
  return b;
}

std::optional<std::string> bericht_mit_boxen(std::string_view json,
                                             const std::vector<std::string> &meldungen) {
  // Ordered: the report keeps the order its writer chose.
  nlohmann::ordered_json j = nlohmann::ordered_json::parse(json, nullptr, false);
  if (meldungen.empty() || !j.is_object())
    return std::nullopt;
  j["meldungsboxen"] = meldungen;
  return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace klasse
