// Draws a trace as a timing diagram (see zeitdiagramm.h).
#include "zeitdiagramm.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
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

// One line of the trace, or false.
bool zerlegen(const std::string &text, zeile &z) {
  std::istringstream s(text);
  std::string zeit, wert;
  if (!std::getline(s, zeit, ',') || !std::getline(s, z.art, ',') ||
      !std::getline(s, z.name, ',') || !std::getline(s, wert))
    return false;
  char *ende = nullptr;
  z.zeit = std::strtoll(zeit.c_str(), &ende, 10);
  if (zeit.empty() || *ende || z.zeit < 0)
    return false;
  z.wert = std::strtod(wert.c_str(), &ende);
  return !wert.empty() && !*ende && std::isfinite(z.wert);
}

struct spalte {
  bool hat = false;
  double erster = 0, letzter = 0, min = 0, max = 0;
};

struct spur {
  std::string art, name;
  std::vector<spalte> spalten;
};

int rang(const std::string &art) {
  static const char *const reihe[] = {"ausgang", "motor", "eingang", "analog", "achse"};
  for (int i = 0; i < 5; ++i)
    if (art == reihe[i])
      return i;
  return 5;
}

std::string beschriftung(const spur &s) {
  static const std::map<std::string, std::string> namen{{"ausgang", "Ausgang"},
                                                        {"motor", "Motor"},
                                                        {"eingang", "Eingang"},
                                                        {"analog", "Analog"},
                                                        {"achse", "Achse"}};
  const auto n = namen.find(s.art);
  return (n != namen.end() ? n->second : s.art) + " " + s.name;
}

std::string xml(const std::string &s) {
  std::string aus;
  for (char c : s) {
    switch (c) {
    case '<':
      aus += "&lt;";
      break;
    case '>':
      aus += "&gt;";
      break;
    case '&':
      aus += "&amp;";
      break;
    case '"':
      aus += "&quot;";
      break;
    default:
      aus += c;
    }
  }
  return aus;
}

} // namespace

bool zeitdiagramm(const std::string &spurdatei, const std::string &svg, std::string &meldung) {
  std::ifstream ein(spurdatei, std::ios::binary);
  if (!ein) {
    meldung = "Zeitdiagramm: die Spur " + spurdatei + " lässt sich nicht lesen";
    return false;
  }
  // First pass: the time range and the lanes.
  std::string text;
  zeile z;
  int64_t ende = 1;
  std::map<std::pair<int, std::string>, size_t> index;
  std::vector<spur> spuren;
  std::vector<std::pair<int64_t, std::string>> fehler;
  for (int nummer = 1; std::getline(ein, text); ++nummer) {
    if (nummer == 1 && text.rfind("zeit_ms,", 0) == 0)
      continue;
    if (text.empty() || text == "\r")
      continue;
    if (!zerlegen(text, z)) {
      meldung = "Zeitdiagramm: " + spurdatei + ", Zeile " + std::to_string(nummer) +
                ": erwartet zeit_ms,art,name,wert";
      return false;
    }
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
  // Second pass: each change into its pixel column.
  ein.clear();
  ein.seekg(0);
  for (int nummer = 1; std::getline(ein, text); ++nummer) {
    if (!zerlegen(text, z) || z.art == "fehler")
      continue;
    const auto i = index.find(std::make_pair(rang(z.art), z.art + "," + z.name));
    if (i == index.end())
      continue;
    spalte &s = spuren[i->second].spalten[static_cast<size_t>(z.zeit * (breite - 1) / ende)];
    if (!s.hat) {
      s = {true, z.wert, z.wert, z.wert, z.wert};
    } else {
      s.letzter = z.wert;
      s.min = std::min(s.min, z.wert);
      s.max = std::max(s.max, z.wert);
    }
  }

  std::ofstream aus(svg, std::ios::binary);
  if (!aus) {
    meldung = "Zeitdiagramm: " + svg + " lässt sich nicht anlegen";
    return false;
  }
  const int gesamt_hoehe = oben + static_cast<int>(index.size()) * (hoehe + abstand) + 20;
  aus << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << rand_links + breite + 20
      << "\" height=\"" << gesamt_hoehe << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  // A tick per tenth of the run, labelled in seconds.
  for (int k = 0; k <= 10; ++k) {
    const int x = rand_links + k * (breite - 1) / 10;
    aus << "<line x1=\"" << x << "\" y1=\"" << oben - 8 << "\" x2=\"" << x << "\" y2=\""
        << gesamt_hoehe - 20 << "\" stroke=\"#ddd\"/><text x=\"" << x << "\" y=\"" << oben - 12
        << "\" text-anchor=\"middle\">" << static_cast<double>(ende) * k / 10000.0 << " s</text>\n";
  }
  int y0 = oben;
  for (const auto &[schluessel, i] : index) {
    const spur &s = spuren[i];
    double lo = 0, hi = 0;
    bool erst = true;
    for (const spalte &c : s.spalten)
      if (c.hat) {
        lo = erst ? c.min : std::min(lo, c.min);
        hi = erst ? c.max : std::max(hi, c.max);
        erst = false;
      }
    if (hi <= lo)
      hi = lo + 1;
    auto y = [&](double v) { return y0 + hoehe - (v - lo) / (hi - lo) * hoehe; };
    const bool stufen = s.art != "achse";
    std::ostringstream pfad;
    bool begonnen = false;
    double jetzt = 0;
    for (int x = 0; x < breite; ++x) {
      const spalte &c = s.spalten[static_cast<size_t>(x)];
      if (!c.hat)
        continue;
      const int px = rand_links + x;
      if (!begonnen)
        pfad << "M" << px << "," << y(c.erster);
      else if (stufen)
        pfad << " L" << px << "," << y(jetzt) << " L" << px << "," << y(c.erster);
      else
        pfad << " L" << px << "," << y(c.erster);
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
    aus << "<g class=\"spur\" data-art=\"" << xml(s.art) << "\" data-name=\"" << xml(s.name)
        << "\">\n  <text x=\"6\" y=\"" << y0 + hoehe / 2 + 4 << "\">" << xml(beschriftung(s))
        << "</text>\n  <rect x=\"" << rand_links << "\" y=\"" << y0 << "\" width=\"" << breite
        << "\" height=\"" << hoehe << "\" fill=\"#f7f7f7\"/>\n  <path d=\"" << pfad.str()
        << "\" fill=\"none\" stroke=\"" << (stufen ? "#1f5fa8" : "#2a8a3a")
        << "\" stroke-width=\"1.5\"/>\n</g>\n";
    y0 += hoehe + abstand;
  }
  for (const auto &[zeit, regel] : fehler) {
    const int64_t x = rand_links + zeit * (breite - 1) / ende;
    aus << "<g class=\"fehler\"><title>" << xml(regel) << " bei " << zeit
        << " ms</title><line x1=\"" << x << "\" y1=\"" << oben - 4 << "\" x2=\"" << x << "\" y2=\""
        << gesamt_hoehe - 20 << "\" stroke=\"#d00\" stroke-width=\"2\"/><text x=\"" << x + 3
        << "\" y=\"" << gesamt_hoehe - 6 << "\" fill=\"#d00\">" << xml(regel) << "</text></g>\n";
  }
  aus << "</svg>\n";
  if (!aus) {
    meldung = "Zeitdiagramm: " + svg + " ließ sich nicht ganz schreiben";
    return false;
  }
  return true;
}

} // namespace modell
