// The picture of the simulator window (see panel_bild.h).
#include "simulator/panel_bild.h"

#include <algorithm>
#include <cmath>

namespace panel_bild {
namespace {

// One output, motor half or input per column.
constexpr int spalte = 64;
constexpr int lampe_oben = 26;
constexpr int lampe_groesse = 36;
constexpr int motor_oben = 84;
constexpr int motor_hoehe = 28;
constexpr int schalter_oben = 140;
constexpr int schalter_breite = 48;
constexpr int schalter_hoehe = 28;
constexpr int schieber_oben = 194;
constexpr int feld_links[SIM_SPANNUNGEN] = {124, 240};
constexpr int feld_breite = 72;
constexpr int feld_hoehe = 22;

// The model's view.
constexpr int modell_links = box_breite + aussen;
constexpr int modell_rechts = breite - aussen;
constexpr int achsen_oben = 30;
constexpr int achs_hoehe = 58;
constexpr int teil_zeile = 20;
constexpr int fehler_oben = hoehe - (fehler_zeilen + 1) * zeile_hoehe - 6;

// A lit lamp is an eighth of the way from grey to gold per level, one more
// than its level: level 1 is a quarter of the way, so a dim lamp still reads
// as lit, and level 7 is full gold.
static_assert(SIM_STUFEN + 1 == 8);
constexpr farbe lampe_aus{96, 96, 96};
constexpr farbe lampe_voll{255, 215, 0};

uint8_t mischen(uint8_t aus, uint8_t voll, int stufe) {
  return static_cast<uint8_t>(aus + (voll - aus) * (stufe + 1) / 8);
}

} // namespace

rechteck lampe_rechteck(int ausgang) {
  const int links = aussen + ausgang * spalte + (spalte - lampe_groesse) / 2;
  return {links, lampe_oben, links + lampe_groesse, lampe_oben + lampe_groesse};
}

rechteck lampe_text_rechteck(int ausgang) {
  const int links = aussen + ausgang * spalte;
  return {links, lampe_text, links + spalte, lampe_text + zeile_hoehe};
}

rechteck motor_rechteck(int motor) {
  const int links = aussen + 2 * motor * spalte + 4;
  return {links, motor_oben, links + 2 * spalte - 8, motor_oben + motor_hoehe};
}

rechteck schalter_rechteck(int eingang) {
  const int links = aussen + eingang * spalte + (spalte - schalter_breite) / 2;
  return {links, schalter_oben, links + schalter_breite, schalter_oben + schalter_hoehe};
}

rechteck schieber_rechteck(int analog) {
  const int oben = schieber_oben + analog * schieber_zeile;
  return {schieber_links - 8, oben, schieber_links + schieber_laenge + 8, oben + schieber_zeile};
}

int schieber_mitte(int analog) {
  return schieber_oben + analog * schieber_zeile + schieber_zeile / 2;
}

rechteck spannung_feld(int nummer) {
  return {feld_links[nummer], spannung_oben, feld_links[nummer] + feld_breite,
          spannung_oben + feld_hoehe};
}

rechteck aufruf_rechteck() {
  return {0, aufruf_oben, box_breite, hoehe};
}

rechteck box_flaeche() {
  return {0, 0, box_breite, hoehe};
}

int32_t schieber_wert(int x) {
  return std::clamp((x - schieber_links) * schieber_schritt, 0, analog_hoechst);
}

int schieber_x(int32_t wert) {
  return schieber_links + std::clamp(wert, 0, analog_hoechst) / schieber_schritt;
}

farbe lampenfarbe(bool an, int32_t stufe) {
  if (!an)
    return lampe_aus;
  const int s = std::clamp(stufe, 1, SIM_STUFEN);
  return {mischen(lampe_aus.rot, lampe_voll.rot, s), mischen(lampe_aus.gruen, lampe_voll.gruen, s),
          mischen(lampe_aus.blau, lampe_voll.blau, s)};
}

bool motor_gezeigt(const modell::beschreibung *m, int motor) {
  return !m || std::any_of(m->achsen.begin(), m->achsen.end(),
                           [&](const modell::achse &a) { return a.motor == motor + 1; });
}

treffer treffen(punkt p) {
  for (int i = 0; i < SIM_EINGAENGE; ++i)
    if (schalter_rechteck(i).enthaelt(p))
      return {ziel::schalter, i};
  for (int i = 0; i < SIM_ANALOGE; ++i)
    if (schieber_rechteck(i).enthaelt(p))
      return {ziel::schieber, i};
  for (int i = 0; i < SIM_SPANNUNGEN; ++i)
    if (spannung_feld(i).enthaelt(p))
      return {ziel::feld, i};
  if (menue_rechteck().enthaelt(p))
    return {ziel::modell_menue, 0};
  return {};
}

rechteck modell_flaeche() {
  return {box_breite, 0, breite, hoehe};
}

rechteck menue_rechteck() {
  return {modell_rechts - 96, 4, modell_rechts, 4 + 20};
}

rechteck modell_titel() {
  return {modell_links, titel_ausgaenge, menue_rechteck().links - 6, titel_ausgaenge + zeile_hoehe};
}

achs_bild achse_bild(size_t achse) {
  const int oben = achsen_oben + static_cast<int>(achse) * achs_hoehe;
  if (oben + achs_hoehe > fehler_oben)
    return {};
  return {{modell_links, oben, modell_rechts, oben + zeile_hoehe},
          {modell_links + 6, oben + 20, modell_rechts - 6, oben + 34},
          {modell_links, oben + 36, modell_rechts, oben + 54}};
}

std::pair<double, double> achsbereich(const modell::beschreibung &m, size_t achse) {
  const modell::achse &a = m.achsen[achse];
  if (a.min && a.max && *a.max > *a.min)
    return {*a.min, *a.max};
  double ende = 0;
  for (const modell::licht &l : m.lichter)
    if (l.achse == static_cast<int>(achse)) {
      ende = std::max(ende, l.bei + l.laenge);
      for (double t : l.teile)
        ende = std::max(ende, t + l.laenge);
    }
  return {0, ende > 0 ? ende * 1.2 : 1000};
}

int achse_x(const std::pair<double, double> &bereich, const rechteck &bahn, double position) {
  const double anteil = (position - bereich.first) / (bereich.second - bereich.first);
  const double x = bahn.links + std::clamp(anteil, 0.0, 1.0) * (bahn.rechts - bahn.links);
  return static_cast<int>(std::lround(x));
}

std::vector<std::pair<double, double>> teile_bei(const modell::beschreibung &m, size_t achse,
                                                 double position) {
  const std::pair<double, double> bereich = achsbereich(m, achse);
  std::vector<std::pair<double, double>> teile;
  for (const modell::licht &l : m.lichter) {
    if (l.achse != static_cast<int>(achse))
      continue;
    for (double t : l.teile) {
      const std::pair<double, double> stueck{t + position, t + position + l.laenge};
      if (stueck.second > bereich.first && stueck.first < bereich.second &&
          std::find(teile.begin(), teile.end(), stueck) == teile.end())
        teile.push_back(stueck);
    }
  }
  return teile;
}

std::vector<teil_eintrag> teile_anordnen(const modell::beschreibung &m) {
  std::vector<teil_eintrag> teile;
  using art = teil_eintrag::art;
  for (size_t i = 0; i < m.lampen.size(); ++i)
    teile.push_back({art::lampe, i, {}});
  for (size_t i = 0; i < m.lichter.size(); ++i)
    teile.push_back({art::licht, i, {}});
  for (size_t i = 0; i < m.taster_liste.size(); ++i)
    teile.push_back({art::taster, i, {}});
  for (size_t i = 0; i < m.potis.size(); ++i)
    teile.push_back({art::poti, i, {}});

  size_t gezeigt = 0;
  while (gezeigt < m.achsen.size() && !achse_bild(gezeigt).schiene.leer())
    ++gezeigt;
  const int oben = achsen_oben + static_cast<int>(gezeigt) * achs_hoehe + 4;
  const int halb = (modell_rechts - modell_links) / 2;
  for (size_t i = 0; i < teile.size(); ++i) {
    const int y = oben + static_cast<int>(i / 2) * teil_zeile;
    if (y + teil_zeile > fehler_oben)
      break;
    const int x = modell_links + static_cast<int>(i % 2) * halb;
    teile[i].feld = {x, y, x + halb, y + teil_zeile};
  }
  return teile;
}

rechteck fehler_rechteck() {
  return {modell_links, fehler_oben, modell_rechts, hoehe - 4};
}

} // namespace panel_bild
