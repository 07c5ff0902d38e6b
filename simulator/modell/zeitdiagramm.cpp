// Draws a trace as a timing diagram (see zeitdiagramm.h).
#include "simulator/modell/zeitdiagramm.h"

#include "aufzeichnung/datei.h"
#include "aufzeichnung/spur.h"
#include "simulator/modell/lauf.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace modell {
namespace {

constexpr int breite = 1200, rand_links = 150, hoehe = 26, abstand = 8, oben = 30;
constexpr size_t spuren_platz = 100, fehler_platz = 1000;

struct zeile {
  int64_t zeit;
  std::string art, name;
  double wert;
};

// A line of the trace as the drawing takes it.
void uebernehmen(const akte::eintrag &e, zeile &z) {
  z.zeit = e.us / 1000;
  z.art = akte::artname(e.a);
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

int rang(const std::string &art) {
  int i = 0;
#define MODELL_SIGNALART(name, wort)                                                               \
  if (art == #name)                                                                                \
    return i;                                                                                      \
  ++i;
  MODELL_SIGNALARTEN(MODELL_SIGNALART)
#undef MODELL_SIGNALART
  return i;
}

const char *wort_von(int art) {
#define MODELL_SIGNALART(name, wort) wort,
  static const char *const woerter[] = {MODELL_SIGNALARTEN(MODELL_SIGNALART)};
#undef MODELL_SIGNALART
  return art < static_cast<int>(std::size(woerter)) ? woerter[art] : "";
}

// The number of a box signal named in the trace, or 0.
int nummer_von(signalart art, const std::string &name) {
  const int anzahl = art == signalart::ausgang   ? SIM_AUSGAENGE
                     : art == signalart::motor   ? SIM_MOTOREN
                     : art == signalart::eingang ? SIM_EINGAENGE
                     : art == signalart::analog  ? SIM_ANALOGE
                                                 : 0;
  for (int n = 1; n <= anzahl; ++n)
    if (name == std::to_string(n))
      return n;
  return 0;
}

rolle rolle_von(const spur &s, const beschreibung *m) {
  rolle r;
  const int k = rang(s.art);
  if (k >= static_cast<int>(signalarten)) {
    r.titel = s.art + " " + s.name;
    return r;
  }
  const auto art = static_cast<signalart>(k);
  if (art == signalart::achse) {
    r.zeichnung = form::linie;
    r.teil = true;
    r.titel = m ? s.name + " (Position)" : "Achse " + s.name;
    return r;
  }
  const int n = nummer_von(art, s.name);
  r.nummer = n;
  r.zeichnung = art == signalart::motor ? form::motor : form::stufen;
  r.titel = std::string(wort_von(k)) + " " + s.name;
  if (n == 0 || !m)
    return r;
  const std::string kurz = " (" + kurzname(art, n) + ")";
  const auto benennen = [&](const std::string &name) {
    r.titel = name + kurz;
    r.teil = true;
  };
  switch (art) {
  case signalart::ausgang:
    for (const lampe &l : m->lampen)
      if (l.ausgang == n) {
        benennen(l.name);
        r.zeichnung = form::lampe;
      }
    // Motor k runs its axis up with output 2k-1 (down where it is reversed).
    for (const achse &a : m->achsen)
      if (n == 2 * a.motor - 1 || n == 2 * a.motor)
        benennen(a.name + ((n == 2 * a.motor - 1) != a.umgekehrt ? " +" : " \xE2\x88\x92"));
    break;
  case signalart::motor:
    for (const achse &a : m->achsen)
      if (a.motor == n)
        benennen(a.name);
    r.weglassen = !r.teil;
    break;
  case signalart::eingang:
    for (const schalter &x : m->schalter_liste)
      if (x.eingang == n)
        benennen(x.name);
    for (const licht &l : m->lichter)
      if (l.eingang == n)
        benennen(l.name);
    for (const taster &t : m->taster_liste)
      if (t.eingang == n)
        benennen(t.name);
    break;
  case signalart::analog:
    for (const poti &p : m->potis)
      if (p.analog == n)
        benennen(p.name);
    for (const licht &l : m->lichter)
      if (l.analog == n)
        benennen(l.name);
    break;
  default:
    break;
  }
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
std::string zusammenfassen(const std::vector<std::pair<signalart, int>> &signale) {
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

} // namespace

bool zeitdiagramm(const std::string &spurdatei, const std::string &svg, std::string &meldung,
                  const beschreibung *m) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> ein(datei_oeffnen(spurdatei, "rb"),
                                                             std::fclose);
  if (!ein) {
    meldung = "Zeitdiagramm: die Spur " + spurdatei + " lässt sich nicht lesen";
    return false;
  }
  akte::leser leser(ein.get(), spurdatei);
  // First pass: the time range and the lanes.
  akte::eintrag e;
  zeile z;
  int64_t ende = 1;
  std::map<std::pair<int, std::string>, size_t> index;
  std::vector<spur> spuren;
  std::vector<std::pair<int64_t, std::string>> fehler;
  while (leser.naechster(e)) {
    uebernehmen(e, z);
    ende = std::max(ende, z.zeit);
    if (z.art == "fehler") {
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
    rolle r;
    double lo, hi;
  };
  std::vector<gezeigt> liste;
  std::vector<std::pair<signalart, int>> ohne_aenderung;
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
    if (hi == 0 && lo == 0 && !r.teil && r.nummer != 0) {
      ohne_aenderung.emplace_back(static_cast<signalart>(schluessel.first), r.nummer);
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
    liste.push_back({&s, r, lo, hi});
  }
  const int fuss = oben + static_cast<int>(liste.size()) * (hoehe + abstand);
  const int gesamt_hoehe = fuss + (ohne_aenderung.empty() ? 0 : 18) + 20;
  aus << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << rand_links + breite + 20
      << "\" height=\"" << gesamt_hoehe << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
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
  for (const gezeigt &g : liste) {
    const spur &s = *g.s;
    const double lo = g.lo, hi = g.hi;
    auto y = [&](double v) { return y0 + hoehe - (v - lo) / (hi - lo) * hoehe; };
    const bool stufen = g.r.zeichnung != form::linie;
    std::ostringstream pfad;
    bool begonnen = false;
    double jetzt = 0;
    int erstes_x = rand_links;
    for (int x = 0; x < breite; ++x) {
      const spalte &c = s.spalten[static_cast<size_t>(x)];
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
    // A lamp lights the area under its level, a motor the area between its
    // level and the middle line (up for +, down for -).
    const char *strich = "#1f5fa8", *fuellung = "none";
    if (g.r.zeichnung == form::linie)
      strich = "#2a8a3a";
    if (begonnen && (g.r.zeichnung == form::lampe || g.r.zeichnung == form::motor)) {
      const double grund = y(g.r.zeichnung == form::lampe ? 0 : (lo + hi) / 2);
      pfad << " L" << rand_links + breite - 1 << "," << grund << " L" << erstes_x << "," << grund
           << " Z";
      strich = g.r.zeichnung == form::lampe ? "#b08c00" : "#1b7a34";
      fuellung = g.r.zeichnung == form::lampe ? "#ffd700" : "#8fd19e";
    }
    aus << "<g class=\"spur\" data-art=\"" << xml(s.art) << "\" data-name=\"" << xml(s.name)
        << "\">\n  <text x=\"6\" y=\"" << y0 + hoehe / 2 + 4 << "\">" << xml(g.r.titel)
        << "</text>\n  <rect x=\"" << rand_links << "\" y=\"" << y0 << "\" width=\"" << breite
        << "\" height=\"" << hoehe << "\" fill=\"#f7f7f7\"/>\n";
    if (g.r.zeichnung == form::motor)
      aus << "  <line x1=\"" << rand_links << "\" y1=\"" << y((lo + hi) / 2) << "\" x2=\""
          << rand_links + breite << "\" y2=\"" << y((lo + hi) / 2) << "\" stroke=\"#ccc\"/>\n";
    aus << "  <path d=\"" << pfad.str() << "\" fill=\"" << fuellung << "\" stroke=\"" << strich
        << "\" stroke-width=\"1.5\"/>\n</g>\n";
    weg();
    y0 += hoehe + abstand;
  }
  if (!ohne_aenderung.empty())
    aus << "<text class=\"ohne_aenderung\" x=\"6\" y=\"" << fuss + 8 << "\" fill=\"#666\">"
        << "ohne \xC3\x84nderung: " << zusammenfassen(ohne_aenderung) << "</text>\n";
  for (const auto &[zeit, regel] : fehler) {
    const auto x = rand_links + static_cast<int64_t>(static_cast<double>(zeit) /
                                                     static_cast<double>(ende) * (breite - 1));
    aus << "<g class=\"fehler\"><title>" << xml(regel) << " bei " << zeit
        << " ms</title><line x1=\"" << x << "\" y1=\"" << oben - 4 << "\" x2=\"" << x << "\" y2=\""
        << gesamt_hoehe - 20 << "\" stroke=\"#d00\" stroke-width=\"2\"/><text x=\"" << x + 3
        << "\" y=\"" << gesamt_hoehe - 6 << "\" fill=\"#d00\">" << xml(regel) << "</text></g>\n";
  }
  aus << "</svg>\n";
  weg();
  if (!geschrieben || std::fflush(datei.get()) != 0) {
    meldung = "Zeitdiagramm: " + svg + " ließ sich nicht ganz schreiben";
    return false;
  }
  return true;
}

} // namespace modell
