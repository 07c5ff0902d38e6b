// Draws a trace as a timing diagram (see zeitdiagramm.h).
#include "aufzeichnung/zeitdiagramm.h"

#include "aufzeichnung/datei.h"
#include "aufzeichnung/spur.h"
#include "basis/box_groessen.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <cstdio>
#include <iterator>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

namespace akte {
namespace {

// Above the lanes the title line, the legend and the ticks' labels; at the
// right the scales of axis and analog lanes.
constexpr int breite = 1200, rand_links = 150, rand_rechts = 56, hoehe = 26, abstand = 8, oben = 74;
constexpr size_t spuren_platz = 100;

struct zeile {
  int64_t zeit;
  std::string art, name;
  double wert;
};

// A line of the trace as the drawing takes it.
void uebernehmen(const eintrag &e, zeile &z) {
  z.zeit = e.us / 1000;
  z.art = artname(e.a);
  z.name = e.name;
  z.wert = e.wert;
}

struct spalte {
  bool hat = false;
  double erster = 0, letzter = 0, min = 0, max = 0;
};

// How a lane is drawn: steps, a lamp (lit area by level), a motor (level
// up or down from a middle line), or a line (an axis's position).
enum class form { stufen, lampe, motor, linie };

struct spur {
  std::string art, name;
  std::vector<spalte> spalten;
};

// What a lane shows, from the model that ran where it is known.
struct rolle {
  std::string titel;
  form zeichnung = form::stufen;
  bool teil = false;      // belongs to one of the model's parts
  bool weglassen = false; // a motor the model's axes do not use
  int nummer = 0;         // of a box signal, or 0
};

int rang(const std::string &artname) {
  int i = 0;
#define DIAGRAMM_ART(name, wort)                                                                   \
  if (artname == #name)                                                                            \
    return i;                                                                                      \
  ++i;
  AKTE_MODELLARTEN(DIAGRAMM_ART)
#undef DIAGRAMM_ART
  return i;
}

const char *wort_von(int k) {
#define DIAGRAMM_ART(name, wort) wort,
  static const char *const woerter[] = {AKTE_MODELLARTEN(DIAGRAMM_ART)};
#undef DIAGRAMM_ART
  return k < static_cast<int>(std::size(woerter)) ? woerter[k] : "";
}

// The number of a box signal named in the trace, or 0.
int nummer_von(art a, const std::string &name) {
  const int anzahl = a == art::ausgang   ? SIM_AUSGAENGE
                     : a == art::motor   ? SIM_MOTOREN
                     : a == art::eingang ? SIM_EINGAENGE
                     : a == art::analog  ? SIM_ANALOGE
                                         : 0;
  for (int n = 1; n <= anzahl; ++n)
    if (name == std::to_string(n))
      return n;
  return 0;
}

rolle rolle_von(const spur &s, const teile *m) {
  rolle r;
  const int k = rang(s.art);
  if (k >= static_cast<int>(modellarten)) {
    r.titel = s.art + " " + s.name;
    return r;
  }
  const auto a = static_cast<art>(k);
  if (a == art::achse) {
    r.zeichnung = form::linie;
    r.teil = true;
    r.titel = m ? s.name + " (Position)" : "Achse " + s.name;
    return r;
  }
  const int n = nummer_von(a, s.name);
  r.nummer = n;
  r.zeichnung = a == art::motor ? form::motor : form::stufen;
  r.titel = std::string(wort_von(k)) + " " + s.name;
  if (n == 0 || !m)
    return r;
  for (const teile::teil &t : m->signale)
    if (t.a == a && t.nummer == n) {
      r.titel = t.name + " (" + kurzname(a, n) + ")";
      r.teil = true;
      if (t.lampe)
        r.zeichnung = form::lampe;
    }
  // Only the motors the model's axes use are drawn as motors.
  r.weglassen = a == art::motor && !r.teil;
  return r;
}

// Seconds with the decimal comma, as the console writes them: "0,5 s".
std::string sekunden(int64_t ms) {
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    char nachkomma[8];
    std::snprintf(nachkomma, sizeof nachkomma, "%03d", static_cast<int>(ms % 1000));
    std::string n = nachkomma;
    n.erase(n.find_last_not_of('0') + 1);
    text += "," + n;
  }
  return text + " s";
}

// The round step (1, 2 or 5 times a power of ten milliseconds) that puts
// at most ten ticks on a run of `ende` milliseconds.
int64_t tick_schritt(int64_t ende) {
  for (int64_t zehner = 1;; zehner *= 10)
    for (const int64_t f : {1, 2, 5})
      if (ende <= 10 * f * zehner)
        return f * zehner;
}

// "A1, A2, E3–E8": runs of three or more numbers of one kind as a range.
std::string zusammenfassen(const std::vector<std::pair<art, int>> &signale) {
  std::string text;
  for (size_t i = 0; i < signale.size();) {
    size_t j = i;
    while (j + 1 < signale.size() && signale[j + 1].first == signale[i].first &&
           signale[j + 1].second == signale[j].second + 1)
      ++j;
    const auto [art, n] = signale[i];
    text += (text.empty() ? "" : ", ") + kurzname(art, n);
    if (j >= i + 2)
      text += "\xE2\x80\x93" + kurzname(art, signale[j].second);
    else if (j == i + 1)
      text += ", " + kurzname(art, signale[j].second);
    i = j + 1;
  }
  return text;
}

// The length of the UTF-8 character at `i`, or 0 where the text is not
// UTF-8 or holds a character XML does not allow (U+FFFE, U+FFFF).
size_t utf8_laenge(std::string_view s, size_t i) {
  const auto b = [&](size_t k) {
    return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u;
  };
  const unsigned c = b(0);
  const auto folge = [&](size_t k, unsigned von = 0x80, unsigned bis = 0xBF) {
    return b(k) >= von && b(k) <= bis;
  };
  if (c >= 0xC2 && c <= 0xDF)
    return folge(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    const bool zweites = c == 0xE0 ? folge(1, 0xA0) : c == 0xED ? folge(1, 0x80, 0x9F) : folge(1);
    const bool verboten = c == 0xEF && b(1) == 0xBF && (b(2) == 0xBE || b(2) == 0xBF);
    return zweites && folge(2) && !verboten ? 3 : 0;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const bool zweites = c == 0xF0 ? folge(1, 0x90) : c == 0xF4 ? folge(1, 0x80, 0x8F) : folge(1);
    return zweites && folge(2) && folge(3) ? 4 : 0;
  }
  return 0;
}

// Text for XML: markup escaped, and what XML forbids (control characters,
// bytes that are no UTF-8) shown as U+FFFD, so any trace gives a
// well-formed picture.
std::string xml(std::string_view s) {
  std::string aus;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t laenge = c < 0x80 ? 1 : utf8_laenge(s, i);
    if (c < 0x20 || c == 0x7F || laenge == 0)
      aus += "\xEF\xBF\xBD";
    else if (c == '<')
      aus += "&lt;";
    else if (c == '>')
      aus += "&gt;";
    else if (c == '&')
      aus += "&amp;";
    else if (c == '"')
      aus += "&quot;";
    else
      aus.append(s.substr(i, laenge));
    i += laenge == 0 ? 1 : laenge;
  }
  return aus;
}

// The pixel column of a time on a run of `ende` ms.
size_t spalte_bei(int64_t zeit, int64_t ende) {
  const double x = static_cast<double>(zeit) / static_cast<double>(ende) * (breite - 1);
  return static_cast<size_t>(std::clamp(x, 0.0, double{breite - 1}));
}

void eintragen(spalte &s, double wert) {
  if (!s.hat) {
    s = {true, wert, wert, wert, wert};
  } else {
    s.letzter = wert;
    s.min = std::min(s.min, wert);
    s.max = std::max(s.max, wert);
  }
}

// A lane's columns as a path: steps for box signals, a line for an axis.
// `erstes_x` and `jetzt` tell where it began and the value it ends on.
std::string pfad_von(const std::vector<spalte> &spalten, const std::function<double(double)> &y,
                     bool stufen, int &erstes_x, double &jetzt) {
  std::ostringstream pfad;
  bool begonnen = false;
  for (int x = 0; x < breite; ++x) {
    const spalte &c = spalten[static_cast<size_t>(x)];
    if (!c.hat)
      continue;
    const int px = rand_links + x;
    if (!begonnen) {
      pfad << "M" << px << "," << y(c.erster);
      erstes_x = px;
    } else if (stufen) {
      pfad << " L" << px << "," << y(jetzt) << " L" << px << "," << y(c.erster);
    } else {
      pfad << " L" << px << "," << y(c.erster);
    }
    // Several changes within one pixel: the column spans all their values.
    if (c.min != c.max)
      pfad << " L" << px << "," << y(c.min) << " L" << px << "," << y(c.max);
    if (c.letzter != c.erster || c.min != c.max)
      pfad << " L" << px << "," << y(c.letzter);
    jetzt = c.letzter;
    begonnen = true;
  }
  if (begonnen)
    pfad << " L" << rand_links + breite - 1 << "," << y(jetzt);
  return pfad.str();
}

// What a replay's recording adds to its lanes: each output's and motor's
// recorded columns, and when the recording first read each input.
struct aufnahme_spuren {
  std::vector<std::vector<spalte>> spalten;
  std::vector<int64_t> erst_gelesen;
  bool da = false;
};

// Reads the recording twice (its end, which may lie past the replay's,
// then its columns) onto the lanes the replay has. Without it, nothing.
aufnahme_spuren aufnahme_lesen(const bericht::aufnahme_angaben &aufnahme,
                               const std::map<std::pair<int, std::string>, size_t> &index,
                               size_t lanes, int64_t &ende) {
  aufnahme_spuren a;
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> ein(datei_oeffnen(aufnahme.spur, "rb"),
                                                             std::fclose);
  if (!ein)
    return a;
  // The same strict reader as the trace's: a recording it refuses adds nothing.
  leser leser(ein.get(), aufnahme.spur);
  eintrag e;
  zeile z;
  // Both within a year: their sum cannot overflow, whatever a report says.
  const int64_t null = std::clamp<int64_t>(aufnahme.null_ms, 0, spur_zeit_max_us / 1000);
  while (leser.naechster(e)) {
    uebernehmen(e, z);
    ende = std::max(ende, z.zeit + null);
  }
  if (!leser.fehler().empty())
    return a;
  a.spalten.assign(lanes, {});
  a.erst_gelesen.assign(lanes, -1);
  leser.zurueck();
  while (leser.naechster(e)) {
    uebernehmen(e, z);
    const auto i = index.find(std::make_pair(rang(z.art), z.art + "," + z.name));
    if (i == index.end())
      continue;
    if (z.art == "eingang" || z.art == "analog") {
      int64_t &erst = a.erst_gelesen[i->second];
      erst = erst < 0 ? z.zeit + null : std::min(erst, z.zeit + null);
    } else if (z.art == "ausgang" || z.art == "motor") {
      std::vector<spalte> &s = a.spalten[i->second];
      if (s.empty())
        s.resize(breite);
      eintragen(s[spalte_bei(z.zeit + null, ende)], z.wert);
    }
  }
  a.da = true;
  return a;
}

// A number with the decimal comma, to four places: "12,5", "-3".
std::string zahl(double wert) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", wert);
  std::string t = text;
  std::replace(t.begin(), t.end(), '.', ',');
  return t;
}

// "2026-12-11T15:42:07" as a German reads it: "11.12.2026, 15:42 Uhr".
std::string datum(const std::string &beginn) {
  int j = 0, mo = 0, t = 0, h = 0, mi = 0;
  if (std::sscanf(beginn.c_str(), "%4d-%2d-%2dT%2d:%2d", &j, &mo, &t, &h, &mi) != 5)
    return "";
  char text[40];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d, %02d:%02d Uhr", t, mo, j, h, mi);
  return text;
}

// The characters of a UTF-8 text.
size_t zeichen(std::string_view text) {
  size_t n = 0;
  for (const char c : text)
    n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

// The byte at which character `n` of a UTF-8 text begins.
size_t byte_von(std::string_view text, size_t n) {
  size_t i = 0;
  for (; i < text.size() && n > 0; --n) {
    const size_t l = utf8_laenge(text, i);
    i += static_cast<unsigned char>(text[i]) < 0x80 || l == 0 ? 1 : l;
  }
  return i;
}

// A UTF-8 text of more than `anzahl` characters cut in the middle, between
// words, to about that many: its beginning names the signal or rule, its
// end often what happened ("… 1,20 s an (Stufe 7), jetzt aus").
std::string kuerzen(std::string_view text, size_t anzahl) {
  const size_t n = zeichen(text);
  if (n <= anzahl)
    return std::string(text);
  size_t kopf = byte_von(text, anzahl / 2 - 2), schwanz = byte_von(text, n - anzahl / 2);
  const size_t leer = text.rfind(' ', kopf);
  if (leer != std::string_view::npos && leer > 0)
    kopf = leer;
  const size_t wort = text.find(' ', schwanz > 0 ? schwanz - 1 : 0);
  if (wort != std::string_view::npos && wort + 1 < text.size())
    schwanz = wort + 1;
  return std::string(text.substr(0, kopf)) + " \xE2\x80\xA6 " + std::string(text.substr(schwanz));
}

std::string dateiname(const std::string &pfad) {
  const size_t trenner = pfad.find_last_of("/\\");
  return trenner == std::string::npos ? pfad : pfad.substr(trenner + 1);
}

// A fault's mark: its line, and below the lanes its text in one of three
// rows where one is free (else the line alone; the full text is its title).
struct fehler_marke {
  int64_t zeit;
  std::string text, titel;
  int reihe = -1;
  bool links = false; // the label ends at the line (near the right edge)
};

std::vector<fehler_marke> fehler_marken(const std::vector<std::pair<int64_t, std::string>> &fehler,
                                        const bericht *lauf, const teile *m, int64_t ende) {
  // The report's texts by time and rule, in their order.
  std::map<std::pair<int64_t, std::string>, std::deque<std::string>> texte;
  if (lauf)
    for (const bericht::fehler_eintrag &f : lauf->fehler)
      texte[{f.zeit_ms, f.regel}].push_back(f.text);
  constexpr int reihen = 3, zeichenbreite = 6;
  std::array<int64_t, reihen> frei;
  frei.fill(INT64_MIN);
  std::vector<fehler_marke> marken;
  for (const auto &[zeit, name] : fehler) {
    std::string text;
    const auto t = texte.find({zeit, name});
    if (t != texte.end() && !t->second.empty()) {
      text = t->second.front();
      t->second.pop_front();
    } else if (m) {
      for (const auto &[regel, regeltext] : m->regeln)
        if (regel == name)
          text = regeltext;
    }
    fehler_marke f{zeit, kuerzen(text.empty() ? name : text, 60),
                   name + " bei " + sekunden(zeit) + (text.empty() ? "" : ": " + text)};
    const int64_t x = rand_links + static_cast<int64_t>(spalte_bei(zeit, ende));
    const auto weite = static_cast<int64_t>(zeichen(f.text)) * zeichenbreite;
    f.links = x + 3 + weite > rand_links + breite + rand_rechts;
    const int64_t von = f.links ? x - 3 - weite : x, bis = f.links ? x : x + 3 + weite;
    for (int r = 0; r < reihen; ++r)
      if (frei[static_cast<size_t>(r)] <= von) {
        f.reihe = r;
        frei[static_cast<size_t>(r)] = bis + 8;
        break;
      }
    marken.push_back(std::move(f));
  }
  return marken;
}

// The title line: what ran, when, how long, how many faults.
void titel_schreiben(std::ostream &aus, const bericht *lauf, const teile *m,
                     const std::string &spurdatei, int64_t ende, int64_t fehler_anzahl) {
  std::string was;
  if (!lauf)
    was = (m ? "Modell " + m->modell + " \xC2\xB7 " : "") + "Spur " + dateiname(spurdatei);
  else if (lauf->aufnahme)
    was = "Aufnahme " + dateiname(lauf->aufnahme->spur) + " nachgespielt" +
          (lauf->modell == "mitschnitt" ? "" : " mit dem Modell " + lauf->modell);
  else if (lauf->modell.empty())
    was = "Aufnahme am Interface";
  else
    was = "Modell " + lauf->modell + (lauf->titel.empty() ? "" : " (" + lauf->titel + ")");
  const std::string wann = lauf ? datum(lauf->beginn) : "";
  const int64_t dauer = lauf ? lauf->laufzeit_ms : ende;
  aus << "<text class=\"titel\" x=\"6\" y=\"18\" font-size=\"14\"><tspan font-weight=\"bold\">"
      << xml(was) << "</tspan>" << (wann.empty() ? "" : " \xC2\xB7 " + xml(wann))
      << " \xC2\xB7 Dauer " << sekunden(dauer / 100 * 100) << " \xC2\xB7 ";
  if (fehler_anzahl == 0)
    aus << "<tspan fill=\"#2a7a2a\">keine Fehler</tspan></text>\n";
  else
    aus << "<tspan fill=\"#d00\" font-weight=\"bold\">" << fehler_anzahl
        << " Fehler</tspan></text>\n";
}

// What a diagram draws, for its legend.
struct gezeichnet {
  bool lampe = false, motor = false, stufen = false, linie = false, fehler = false,
       ungelesen = false, aufnahme = false;
};

// The legend: what each drawing the diagram has means, and the short names
// of the box's signals.
void legende_schreiben(std::ostream &aus, const gezeichnet &g) {
  aus << "<g class=\"legende\" font-size=\"10\" fill=\"#333\">\n";
  int x = 6;
  const int y = 32;
  // Each entry as wide as its text needs, at about 5.6 px a character.
  const auto eintrag = [&](const std::string &bild, std::string_view text) {
    aus << "  <g transform=\"translate(" << x << "," << y << ")\">" << bild
        << "<text x=\"20\" y=\"9\">" << text << "</text></g>\n";
    x += 34 + static_cast<int>(zeichen(text) * 28 / 5);
  };
  if (g.lampe)
    eintrag("<rect width=\"14\" height=\"10\" fill=\"#ffd700\" stroke=\"#b08c00\"/>", "Lampe an");
  if (g.motor)
    eintrag("<line x1=\"0\" y1=\"5\" x2=\"14\" y2=\"5\" stroke=\"#ccc\"/><rect x=\"1\" width=\"5\" "
            "height=\"5\" fill=\"#8fd19e\" stroke=\"#1b7a34\"/><rect x=\"8\" y=\"5\" width=\"5\" "
            "height=\"5\" fill=\"#8fd19e\" stroke=\"#1b7a34\"/>",
            "Motor vor (oben) / zur\xC3\xBC"
            "ck (unten)");
  if (g.stufen)
    eintrag("<path d=\"M0,10 L6,10 L6,0 L14,0\" fill=\"none\" stroke=\"#1f5fa8\" "
            "stroke-width=\"1.5\"/>",
            "Schalter, Ausgang: oben = an");
  if (g.linie)
    eintrag(
        "<path d=\"M0,9 L5,3 L9,6 L14,1\" fill=\"none\" stroke=\"#2a8a3a\" stroke-width=\"1.5\"/>",
        "Position einer Achse");
  if (g.fehler)
    eintrag("<line x1=\"7\" y1=\"0\" x2=\"7\" y2=\"10\" stroke=\"#d00\" stroke-width=\"2\"/>",
            "Fehler");
  if (g.ungelesen)
    eintrag("<rect width=\"14\" height=\"10\" fill=\"url(#ungelesen)\"/>",
            "von der Aufnahme noch nicht gelesen");
  if (g.aufnahme)
    eintrag(
        "<path d=\"M0,8 L5,8 L5,2 L14,2\" fill=\"none\" stroke=\"#7f7f7f\" stroke-opacity=\"0.45\" "
        "stroke-width=\"5\"/>",
        "aufgenommen");
  aus << "  <text x=\"" << x + 10 << "\" y=\"" << y + 9
      << "\" fill=\"#666\">A Ausgang \xC2\xB7 M Motor \xC2\xB7 E Eingang \xC2\xB7 AX, AY "
         "Analogeingang</text>\n</g>\n";
}

} // namespace

bool zeitdiagramm(const std::string &spurdatei, const std::string &svg, std::string &meldung,
                  const teile *m, const bericht *lauf) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> ein(datei_oeffnen(spurdatei, "rb"),
                                                             std::fclose);
  if (!ein) {
    meldung = "Zeitdiagramm: die Spur " + spurdatei + " lässt sich nicht lesen";
    return false;
  }
  leser leser(ein.get(), spurdatei);
  // First pass: the time range and the lanes.
  eintrag e;
  zeile z;
  int64_t ende = 1;
  std::map<std::pair<int, std::string>, size_t> index;
  std::vector<spur> spuren;
  std::vector<std::pair<int64_t, std::string>> fehler;
  int64_t fehler_gezaehlt = 0;
  while (leser.naechster(e)) {
    uebernehmen(e, z);
    ende = std::max(ende, z.zeit);
    if (z.art == "fehler") {
      ++fehler_gezaehlt;
      if (fehler.size() < fehler_platz)
        fehler.emplace_back(z.zeit, z.name);
    } else if (spuren.size() < spuren_platz) {
      const auto schluessel = std::make_pair(rang(z.art), z.art + "," + z.name);
      if (!index.count(schluessel)) {
        index[schluessel] = spuren.size();
        spuren.push_back({z.art, z.name, std::vector<spalte>(breite)});
      }
    }
  }
  if (!leser.fehler().empty()) {
    meldung = "Zeitdiagramm: " + leser.fehler();
    return false;
  }
  const aufnahme_spuren aufnahme = lauf && lauf->aufnahme
                                       ? aufnahme_lesen(*lauf->aufnahme, index, spuren.size(), ende)
                                       : aufnahme_spuren{};
  // Second pass: each change into its pixel column.
  leser.zurueck();
  while (leser.naechster(e)) {
    uebernehmen(e, z);
    if (z.art == "fehler")
      continue;
    const auto i = index.find(std::make_pair(rang(z.art), z.art + "," + z.name));
    if (i == index.end())
      continue;
    spalte &s = spuren[i->second].spalten[static_cast<size_t>(
        static_cast<double>(z.zeit) / static_cast<double>(ende) * (breite - 1))];
    if (!s.hat) {
      s = {true, z.wert, z.wert, z.wert, z.wert};
    } else {
      s.letzter = z.wert;
      s.min = std::min(s.min, z.wert);
      s.max = std::max(s.max, z.wert);
    }
  }

  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> datei(datei_oeffnen(svg, "wb"),
                                                               std::fclose);
  if (!datei) {
    meldung = "Zeitdiagramm: " + svg + " lässt sich nicht anlegen";
    return false;
  }
  // Written piece by piece: a lane's path is the largest piece.
  std::ostringstream aus;
  bool geschrieben = true;
  const auto weg = [&] {
    const std::string stueck = aus.str();
    geschrieben =
        std::fwrite(stueck.data(), 1, stueck.size(), datei.get()) == stueck.size() && geschrieben;
    aus.str("");
  };
  // Which lanes are drawn: a lane that stays at 0 and belongs to no part is
  // only named in one line at the foot. One that holds another value is
  // drawn: an input a recording read once, as active, says something.
  struct gezeigt {
    const spur *s;
    size_t i;
    rolle r;
    double lo, hi;
  };
  std::vector<gezeigt> liste;
  std::vector<std::pair<art, int>> ohne_aenderung;
  for (const auto &[schluessel, i] : index) {
    const spur &s = spuren[i];
    const rolle r = rolle_von(s, m);
    if (r.weglassen)
      continue;
    double lo = 0, hi = 0;
    bool erst = true;
    for (const spalte &c : s.spalten)
      if (c.hat) {
        lo = erst ? c.min : std::min(lo, c.min);
        hi = erst ? c.max : std::max(hi, c.max);
        erst = false;
      }
    // What the recording had stands on the same scale, and keeps the lane.
    if (aufnahme.da)
      for (const spalte &c : aufnahme.spalten[i])
        if (c.hat) {
          lo = std::min(lo, c.min);
          hi = std::max(hi, c.max);
        }
    if (hi == 0 && lo == 0 && !r.teil && r.nummer != 0) {
      ohne_aenderung.emplace_back(static_cast<art>(schluessel.first), r.nummer);
      continue;
    }
    // Lamps and motors on the box's scale of levels, the rest on its own;
    // a box signal's with its 0, so an input active all along stands high.
    if (r.zeichnung == form::lampe) {
      hi = std::max(hi, double{SIM_STUFEN});
      lo = std::min(lo, 0.0);
    } else if (r.zeichnung == form::motor) {
      hi = std::max({hi, -lo, double{SIM_STUFEN}});
      lo = -hi;
    } else {
      if (r.nummer != 0) {
        lo = std::min(lo, 0.0);
        hi = std::max(hi, 0.0);
      }
      if (hi <= lo)
        hi = lo + 1;
    }
    liste.push_back({&s, i, r, lo, hi});
  }
  const int fuss = oben + static_cast<int>(liste.size()) * (hoehe + abstand);
  const std::vector<fehler_marke> marken = fehler_marken(fehler, lauf, m, ende);
  int reihen = 0;
  for (const fehler_marke &f : marken)
    reihen = std::max(reihen, f.reihe + 1);
  const int fehler_oben = fuss + (ohne_aenderung.empty() ? 0 : 18);
  const int gesamt_hoehe = fehler_oben + std::max(reihen, 1) * 14 + 8;
  // Where an input's lane was not yet read by the recording: before its
  // first line in a recording's own trace, before the recording's first
  // read in a replay (whose box assumed that read's value meanwhile).
  std::vector<int> bekannt_ab(liste.size(), rand_links);
  bool ungelesen = false;
  for (size_t k = 0; k < liste.size(); ++k) {
    const spur &s = *liste[k].s;
    if (s.art != "eingang" && s.art != "analog")
      continue;
    int ab = rand_links;
    for (int x = 0; x < breite; ++x)
      if (s.spalten[static_cast<size_t>(x)].hat) {
        ab = rand_links + x;
        break;
      }
    const int64_t erst = aufnahme.da ? aufnahme.erst_gelesen[liste[k].i] : -1;
    // Read first at the recording's zero: known from the replay's start.
    if (aufnahme.da && erst > lauf->aufnahme->null_ms && !liste[k].r.teil)
      ab = std::max(ab, rand_links + static_cast<int>(spalte_bei(erst, ende)));
    bekannt_ab[k] = ab;
    ungelesen = ungelesen || ab > rand_links;
  }
  aus << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
      << rand_links + breite + rand_rechts << "\" height=\"" << gesamt_hoehe
      << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
      << "<defs><pattern id=\"ungelesen\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
         "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#e2e2e2\"/><line "
         "x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"#b4b4b4\" "
         "stroke-width=\"3\"/></pattern></defs>\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  titel_schreiben(aus, lauf, m, spurdatei, ende,
                  lauf ? static_cast<int64_t>(lauf->fehler_anzahl) : fehler_gezaehlt);
  gezeichnet was{};
  for (const gezeigt &g : liste) {
    was.lampe = was.lampe || g.r.zeichnung == form::lampe;
    was.motor = was.motor || g.r.zeichnung == form::motor;
    was.stufen = was.stufen || g.r.zeichnung == form::stufen;
    was.linie = was.linie || g.r.zeichnung == form::linie;
  }
  was.fehler = !marken.empty();
  was.ungelesen = ungelesen;
  was.aufnahme = aufnahme.da;
  legende_schreiben(aus, was);
  // Ticks in round steps, labelled in seconds.
  const int64_t schritt = tick_schritt(ende);
  for (int64_t t = 0; t <= ende; t += schritt) {
    const auto x = rand_links + static_cast<int64_t>(static_cast<double>(t) /
                                                     static_cast<double>(ende) * (breite - 1));
    aus << "<line x1=\"" << x << "\" y1=\"" << oben - 8 << "\" x2=\"" << x << "\" y2=\"" << fuss
        << "\" stroke=\"#ddd\"/><text x=\"" << x << "\" y=\"" << oben - 12
        << "\" text-anchor=\"middle\">" << sekunden(t) << "</text>\n";
  }
  int y0 = oben;
  for (size_t k = 0; k < liste.size(); ++k) {
    const gezeigt &g = liste[k];
    const spur &s = *g.s;
    const double lo = g.lo, hi = g.hi;
    const std::function<double(double)> y = [&](double v) {
      return y0 + hoehe - (v - lo) / (hi - lo) * hoehe;
    };
    const bool stufen = g.r.zeichnung != form::linie;
    double jetzt = 0;
    int erstes_x = rand_links;
    std::string pfad = pfad_von(s.spalten, y, stufen, erstes_x, jetzt);
    const bool begonnen = !pfad.empty();
    // A lamp lights the area under its level, a motor the area between its
    // level and the middle line (up for +, down for -).
    const char *strich = "#1f5fa8", *fuellung = "none";
    if (g.r.zeichnung == form::linie)
      strich = "#2a8a3a";
    if (begonnen && (g.r.zeichnung == form::lampe || g.r.zeichnung == form::motor)) {
      const double grund = y(g.r.zeichnung == form::lampe ? 0 : (lo + hi) / 2);
      std::ostringstream schluss;
      schluss << " L" << rand_links + breite - 1 << "," << grund << " L" << erstes_x << "," << grund
              << " Z";
      pfad += schluss.str();
      strich = g.r.zeichnung == form::lampe ? "#b08c00" : "#1b7a34";
      fuellung = g.r.zeichnung == form::lampe ? "#ffd700" : "#8fd19e";
    }
    aus << "<g class=\"spur\" data-art=\"" << xml(s.art) << "\" data-name=\"" << xml(s.name)
        << "\">\n  <text x=\"6\" y=\"" << y0 + hoehe / 2 + 4 << "\">" << xml(g.r.titel)
        << "</text>\n  <rect x=\"" << rand_links << "\" y=\"" << y0 << "\" width=\"" << breite
        << "\" height=\"" << hoehe << "\" fill=\"#f7f7f7\"/>\n";
    if (bekannt_ab[k] > rand_links)
      aus << "  <rect class=\"ungelesen\" x=\"" << rand_links << "\" y=\"" << y0 << "\" width=\""
          << bekannt_ab[k] - rand_links << "\" height=\"" << hoehe
          << "\" fill=\"url(#ungelesen)\"><title>von der Aufnahme noch nicht "
             "gelesen</title></rect>\n";
    if (g.r.zeichnung == form::motor)
      aus << "  <line x1=\"" << rand_links << "\" y1=\"" << y((lo + hi) / 2) << "\" x2=\""
          << rand_links + breite << "\" y2=\"" << y((lo + hi) / 2) << "\" stroke=\"#ccc\"/>\n";
    // In a replay, what the recording had, faintly behind what the host does now.
    if (aufnahme.da && !aufnahme.spalten[g.i].empty()) {
      int x_aufnahme = rand_links;
      double zuletzt = 0;
      aus << "  <path class=\"aufnahme\" d=\""
          << pfad_von(aufnahme.spalten[g.i], y, true, x_aufnahme, zuletzt)
          << "\" fill=\"none\" stroke=\"#7f7f7f\" stroke-opacity=\"0.45\" stroke-width=\"5\" "
             "stroke-linejoin=\"round\"><title>aufgenommen</title></path>\n";
    }
    aus << "  <path d=\"" << pfad << "\" fill=\"" << fuellung << "\" stroke=\"" << strich
        << "\" stroke-width=\"1.5\"/>\n";
    // Axis positions and analog values on their own scale: its ends at the right.
    if (g.r.zeichnung == form::linie || s.art == "analog")
      aus << "  <text class=\"skala\" x=\"" << rand_links + breite + 4 << "\" y=\"" << y0 + 8
          << "\" font-size=\"9\" fill=\"#666\">" << zahl(hi) << "</text><text class=\"skala\" x=\""
          << rand_links + breite + 4 << "\" y=\"" << y0 + hoehe
          << "\" font-size=\"9\" fill=\"#666\">" << zahl(lo) << "</text>\n";
    aus << "</g>\n";
    weg();
    y0 += hoehe + abstand;
  }
  if (!ohne_aenderung.empty())
    aus << "<text class=\"ohne_aenderung\" x=\"6\" y=\"" << fuss + 8 << "\" fill=\"#666\">"
        << "ohne \xC3\x84nderung: " << zusammenfassen(ohne_aenderung) << "</text>\n";
  for (const fehler_marke &f : marken) {
    const int64_t x = rand_links + static_cast<int64_t>(spalte_bei(f.zeit, ende));
    aus << "<g class=\"fehler\"><title>" << xml(f.titel) << "</title><line x1=\"" << x << "\" y1=\""
        << oben - 4 << "\" x2=\"" << x << "\" y2=\"" << fehler_oben + std::max(f.reihe, 0) * 14 + 2
        << "\" stroke=\"#d00\" stroke-width=\"2\"/>";
    if (f.reihe >= 0)
      aus << "<text x=\"" << (f.links ? x - 3 : x + 3) << "\" y=\""
          << fehler_oben + f.reihe * 14 + 11 << "\"" << (f.links ? " text-anchor=\"end\"" : "")
          << " fill=\"#d00\">" << xml(f.text) << "</text>";
    aus << "</g>\n";
  }
  aus << "</svg>\n";
  weg();
  if (!geschrieben || std::fflush(datei.get()) != 0) {
    meldung = "Zeitdiagramm: " + svg + " ließ sich nicht ganz schreiben";
    return false;
  }
  return true;
}

} // namespace akte
