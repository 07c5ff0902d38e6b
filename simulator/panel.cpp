// The window of the simulated box.
//
// It lives on a thread of its own, so it stays live while the host's thread
// is busy (a pause is a busy wait), and it reads the box it shows only in
// snapshots that take the box's lock briefly and drop it again, so no window
// call ever runs with the lock held. A timer polls the change
// counter, the call count and the model at 25 Hz and redraws only what
// changed; a host calling thousands of commands a second is never slowed by
// drawing, and a moving axis is followed while no vendor call comes.
// Where things go and in which colour is panel_bild's business.
#include "simulator/panel.h"

#include "basis/windows_text.h"
#include "simulator/aufruf_text.h"
#include "simulator/box.h"
#include "simulator/panel_bild.h"
#include "simulator/sim_steuerung.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace panel_bild;
// Box signals are named as the diagram names them: A3, M1, E1, AX.
using modell::kurzname;
using modell::signalart;

COLORREF rgb(farbe f) {
  return RGB(f.rot, f.gruen, f.blau);
}

RECT rect(const rechteck &r) {
  return {r.links, r.oben, r.rechts, r.unten};
}

// --- Messages and timing ---

constexpr UINT nachricht_zeigen = WM_APP + 1;
constexpr UINT_PTR uhr = 1;
constexpr UINT uhr_takt_ms = 40;
constexpr int feld_id = 100;
constexpr char klassenname[] = "lumbrik_simulator_panel";
constexpr char fenstertitel[] = "lumbrik Simulator";

constexpr UINT_PTR menue_kein_modell = 1;
constexpr UINT_PTR menue_erstes_modell = 2;

// What the window shows. Only the window's thread touches it.
struct anzeige {
  // The box it shows, set once before the window's thread starts.
  box *quelle = nullptr;
  box_bild bild;
  // Why the model chosen in the menu could not run, or empty.
  std::string wahl_meldung;
  HWND spannung_feld[SIM_SPANNUNGEN]{};
  // The slider being dragged, or -1.
  int ziehen = -1;
  // Set while we write a field ourselves, so its change is not taken as input.
  bool feld_wird_gesetzt = false;
};
anzeige panel;

// Shared with host threads, which only start the thread or post to the window.
std::atomic<bool> gestartet{false};
std::atomic<HWND> fenster{nullptr};
HINSTANCE modul = nullptr;

// --- Drawing ---

void flaeche(HDC dc, const rechteck &r, farbe f) {
  SetDCBrushColor(dc, rgb(f));
  const RECT w = rect(r);
  FillRect(dc, &w, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Pen and brush for outlined shapes.
void stift(HDC dc, farbe linie, farbe fuellung) {
  SelectObject(dc, GetStockObject(DC_PEN));
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, rgb(linie));
  SetDCBrushColor(dc, rgb(fuellung));
}

void text(HDC dc, const char *t, const rechteck &r, UINT ausrichtung, farbe f = schrift) {
  SetTextColor(dc, rgb(f));
  RECT w = rect(r);
  DrawTextA(dc, t, -1, &w, ausrichtung | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// Model files are UTF-8, so their names and texts are drawn as such.
void text_utf8(HDC dc, const std::string &t, const rechteck &r, UINT ausrichtung, farbe f = schrift,
               UINT zeilen = DT_SINGLELINE | DT_VCENTER) {
  const std::wstring breit = windows_text::breit(t);
  SetTextColor(dc, rgb(f));
  RECT w = rect(r);
  DrawTextW(dc, breit.c_str(), -1, &w, ausrichtung | zeilen | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void ueberschrift_zeichnen(HDC dc, int oben, const char *t) {
  text(dc, t, {aussen, oben, box_breite - aussen, oben + zeile_hoehe}, DT_LEFT, ueberschrift);
}

void lampe_zeichnen(HDC dc, int i) {
  const bool an = panel.bild.zustand.ausgang_an[i] != 0;
  const rechteck r = lampe_rechteck(i);
  stift(dc, rahmen, lampenfarbe(an, panel.bild.zustand.ausgang_stufe[i]));
  Ellipse(dc, r.links, r.oben, r.rechts, r.unten);
  char t[32];
  if (an)
    std::snprintf(t, sizeof t, "%d: Stufe %ld", i + 1,
                  static_cast<long>(panel.bild.zustand.ausgang_stufe[i]));
  else
    std::snprintf(t, sizeof t, "%d", i + 1);
  text(dc, t, lampe_text_rechteck(i), DT_CENTER);
}

// A box under the motor's two lamps: its name, an arrow for its direction
// (a square when it stands) and its level. Where the model that runs uses
// no motor there (its outputs are lamps, say), an empty grey box.
void motor_zeichnen(HDC dc, int m) {
  const rechteck r = motor_rechteck(m);
  const bool gezeigt = motor_gezeigt(panel.bild.modell.modell.get(), m);
  stift(dc, gezeigt ? rahmen : motor_steht, gezeigt ? weiss : hintergrund);
  Rectangle(dc, r.links, r.oben, r.rechts, r.unten);
  const std::string name = kurzname(signalart::motor, m + 1);
  text(dc, name.c_str(), {r.links + 6, r.oben, r.links + 40, r.unten}, DT_LEFT,
       gezeigt ? schrift : ueberschrift);
  if (!gezeigt)
    return;

  const int32_t richtung = panel.bild.zustand.motor_richtung[m];
  const int mx = (r.links + r.rechts) / 2;
  const int my = (r.oben + r.unten) / 2;
  if (richtung == 0) {
    stift(dc, motor_steht, motor_steht);
    Rectangle(dc, mx - 5, my - 5, mx + 5, my + 5);
    return;
  }
  const int spitze = richtung > 0 ? 9 : -9;
  const POINT pfeil[3] = {{mx - spitze, my - 9}, {mx + spitze, my}, {mx - spitze, my + 9}};
  stift(dc, motor_laeuft, motor_laeuft);
  Polygon(dc, pfeil, 3);
  const int32_t stufe = panel.bild.zustand.ausgang_stufe[richtung > 0 ? 2 * m : 2 * m + 1];
  char t[16];
  std::snprintf(t, sizeof t, "%ld", static_cast<long>(stufe));
  text(dc, t, {r.rechts - 40, r.oben, r.rechts - 8, r.unten}, DT_RIGHT);
}

void schalter_zeichnen(HDC dc, int i) {
  // What lumbrik's schalter reads as active: a value above 0.
  const bool an = panel.bild.zustand.eingang[i] > 0;
  const rechteck r = schalter_rechteck(i);
  stift(dc, rahmen, an ? schalter_an : schalter_aus);
  RoundRect(dc, r.links, r.oben, r.rechts, r.unten, 8, 8);
  char t[16];
  std::snprintf(t, sizeof t, "%d", i + 1);
  text(dc, t, r, DT_CENTER, an ? weiss : schrift);
}

void schieber_zeichnen(HDC dc, int i) {
  const rechteck zeile = schieber_rechteck(i);
  const int mitte = schieber_mitte(i);
  text(dc, kurzname(signalart::analog, i + 1).c_str(),
       {aussen, zeile.oben, schieber_links - 8, zeile.unten}, DT_LEFT);

  const int32_t wert = panel.bild.zustand.analog[i];
  const int x = schieber_x(wert);
  flaeche(dc, {schieber_links, mitte - 3, x, mitte + 3}, schiene_voll);
  flaeche(dc, {x, mitte - 3, schieber_links + schieber_laenge, mitte + 3}, schiene);
  stift(dc, rahmen, weiss);
  Rectangle(dc, x - 4, mitte - 9, x + 5, mitte + 9);

  char t[16];
  std::snprintf(t, sizeof t, "%ld", static_cast<long>(wert));
  const int rechts = schieber_links + schieber_laenge + 14;
  text(dc, t, {rechts, zeile.oben, box_breite - aussen, zeile.unten}, DT_LEFT);
}

void spannungen_zeichnen(HDC dc) {
  const rechteck erstes = spannung_feld(0);
  text(dc, "Spannungen", {aussen, erstes.oben, erstes.links, erstes.unten}, DT_LEFT, ueberschrift);
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    const rechteck r = spannung_feld(i);
    char t[8];
    std::snprintf(t, sizeof t, "U%d", i + 1);
    text(dc, t, {r.links - 24, r.oben, r.links - 4, r.unten}, DT_RIGHT);
  }
}

// "Letzter Aufruf #12: rbSetLampEx(0x4C4B0001, 1, 1, 7) = 0".
void aufruf_zeichnen(HDC dc) {
  std::string zeile = "Letzter Aufruf: keiner";
  if (panel.bild.letzter_da)
    zeile = "Letzter Aufruf #" + std::to_string(panel.bild.aufrufe) + ": " +
            aufruf_zeile(panel.bild.letzter);
  const rechteck r = aufruf_rechteck();
  text(dc, zeile.c_str(), {aussen, r.oben, box_breite - aussen, r.oben + zeile_hoehe}, DT_LEFT);
}

void box_zeichnen(HDC dc) {
  flaeche(dc, box_flaeche(), hintergrund);
  ueberschrift_zeichnen(dc, titel_ausgaenge, "Ausg\xE4nge und Motoren");
  for (int i = 0; i < SIM_AUSGAENGE; ++i)
    lampe_zeichnen(dc, i);
  for (int m = 0; m < SIM_MOTOREN; ++m)
    motor_zeichnen(dc, m);
  ueberschrift_zeichnen(dc, titel_eingaenge, "Eing\xE4nge (klicken schaltet)");
  for (int i = 0; i < SIM_EINGAENGE; ++i)
    schalter_zeichnen(dc, i);
  ueberschrift_zeichnen(dc, titel_analog, "Analoge Eing\xE4nge (0 bis 1023)");
  for (int i = 0; i < SIM_ANALOGE; ++i)
    schieber_zeichnen(dc, i);
  spannungen_zeichnen(dc);
  aufruf_zeichnen(dc);
}

// --- The model's view ---

bool licht_hell(const modell::licht &l) {
  const modell_stand &s = panel.bild.modell;
  if (l.eingang != 0)
    return (s.eingang[static_cast<size_t>(l.eingang - 1)] > 0) == l.aktiv_bei_licht;
  return s.analog[static_cast<size_t>(l.analog - 1)] == l.hell;
}

void achse_zeichnen(HDC dc, const modell::beschreibung &m, size_t i) {
  const achs_bild b = achse_bild(i);
  const modell::achse &a = m.achsen[i];
  const double position = panel.bild.modell.positionen[i];
  char t[48];
  std::snprintf(t, sizeof t, " (M%d): %.0f", a.motor, position);
  text_utf8(dc, a.name + t, b.name, DT_LEFT);

  const auto bereich = achsbereich(m, i);
  const int mitte = (b.schiene.oben + b.schiene.unten) / 2;
  flaeche(dc, {b.schiene.links, mitte - 2, b.schiene.rechts, mitte + 2}, schiene);
  if (a.min) {
    // The moving part, between its stops.
    const int x = achse_x(bereich, b.schiene, position);
    flaeche(dc, {b.schiene.links - 2, b.schiene.oben, b.schiene.links, b.schiene.unten}, rahmen);
    flaeche(dc, {b.schiene.rechts, b.schiene.oben, b.schiene.rechts + 2, b.schiene.unten}, rahmen);
    stift(dc, rahmen, teil_farbe);
    Rectangle(dc, x - 5, b.schiene.oben, x + 6, b.schiene.unten);
  } else {
    // A belt: the parts it carries move along it.
    for (const auto &[von, bis] : teile_bei(m, i, position)) {
      const int links = achse_x(bereich, b.schiene, von);
      const int rechts = std::max(achse_x(bereich, b.schiene, bis), links + 2);
      stift(dc, rahmen, teil_farbe);
      Rectangle(dc, links, b.schiene.oben + 2, rechts, b.schiene.unten - 2);
    }
  }
  for (const modell::licht &l : m.lichter)
    if (l.achse == static_cast<int>(i)) {
      const int x = achse_x(bereich, b.schiene, l.bei);
      flaeche(dc, {x - 1, b.schiene.oben - 4, x + 2, b.schiene.unten + 4},
              licht_hell(l) ? lampenfarbe(true, 7) : licht_dunkel);
    }
  for (const modell::schalter &s : m.schalter_liste) {
    if (s.achse != static_cast<int>(i))
      continue;
    const bool an = panel.bild.modell.eingang[static_cast<size_t>(s.eingang - 1)] > 0;
    const int links = achse_x(bereich, b.schiene, s.ab.value_or(bereich.first));
    const int rechts =
        std::max(achse_x(bereich, b.schiene, s.bis.value_or(bereich.second)), links + 4);
    flaeche(dc, {links, b.schalter.oben, rechts, b.schalter.oben + 6},
            an ? schalter_an : schalter_aus);
    text(dc, kurzname(signalart::eingang, s.eingang).c_str(),
         {links - 20, b.schalter.oben + 6, rechts + 20, b.schalter.unten}, DT_CENTER,
         an ? schalter_an : ueberschrift);
  }
}

void teil_zeichnen(HDC dc, const modell::beschreibung &m, const teil_eintrag &e) {
  const modell_stand &s = panel.bild.modell;
  const rechteck r = e.feld;
  const int my = (r.oben + r.unten) / 2;
  const rechteck zeichen{r.links, my - 6, r.links + 12, my + 6};
  const rechteck schrift_feld{r.links + 18, r.oben, r.rechts - 4, r.unten};
  using art = teil_eintrag::art;
  switch (e.typ) {
  case art::lampe: {
    const modell::lampe &l = m.lampen[e.index];
    stift(dc, rahmen, lampenfarbe(s.an[static_cast<size_t>(l.ausgang - 1)] != 0, 7));
    Ellipse(dc, zeichen.links, zeichen.oben, zeichen.rechts, zeichen.unten);
    text_utf8(dc, l.name + " (" + kurzname(signalart::ausgang, l.ausgang) + ")", schrift_feld,
              DT_LEFT);
    break;
  }
  case art::licht: {
    const modell::licht &l = m.lichter[e.index];
    stift(dc, rahmen, licht_hell(l) ? lampenfarbe(true, 7) : licht_dunkel);
    Rectangle(dc, zeichen.links, zeichen.oben, zeichen.rechts, zeichen.unten);
    const std::string an = l.eingang != 0 ? kurzname(signalart::eingang, l.eingang)
                                          : kurzname(signalart::analog, l.analog);
    text_utf8(dc, l.name + " (" + an + ")", schrift_feld, DT_LEFT);
    break;
  }
  case art::taster: {
    const modell::taster &k = m.taster_liste[e.index];
    const bool gedrueckt = s.eingang[static_cast<size_t>(k.eingang - 1)] > 0;
    stift(dc, rahmen, gedrueckt ? schalter_an : schalter_aus);
    RoundRect(dc, zeichen.links, zeichen.oben, zeichen.rechts, zeichen.unten, 4, 4);
    text_utf8(dc, k.name + " (" + kurzname(signalart::eingang, k.eingang) + ")", schrift_feld,
              DT_LEFT);
    break;
  }
  case art::poti: {
    const modell::poti &p = m.potis[e.index];
    text_utf8(dc,
              p.name + " (" + kurzname(signalart::analog, p.analog) +
                  "): " + std::to_string(s.analog[static_cast<size_t>(p.analog - 1)]),
              {r.links, r.oben, r.rechts - 4, r.unten}, DT_LEFT);
    break;
  }
  }
}

void fehler_zeichnen(HDC dc, const modell::beschreibung &m) {
  const modell_stand &s = panel.bild.modell;
  const rechteck r = fehler_rechteck();
  std::string kopf = "Fehler: keine";
  if (s.fehler_anzahl > 0)
    kopf = "Fehler: " + std::to_string(s.fehler_anzahl);
  text(dc, kopf.c_str(), {r.links, r.oben, r.rechts, r.oben + zeile_hoehe}, DT_LEFT,
       s.fehler_anzahl > 0 ? fehler_rot : ueberschrift);
  int y = r.oben + zeile_hoehe;
  for (const modell::fehler_eintrag &f : s.fehler) {
    const modell::regel &regel = m.regeln[static_cast<size_t>(f.regel)];
    char zeit[32];
    std::snprintf(zeit, sizeof zeit, "%.1f s: ", static_cast<double>(f.zeit) / 1000.0);
    text_utf8(dc, zeit + regel.text, {r.links, y, r.rechts, y + zeile_hoehe}, DT_LEFT, fehler_rot);
    y += zeile_hoehe;
  }
}

void modell_zeichnen(HDC dc) {
  const rechteck flaeche_ = modell_flaeche();
  flaeche(dc, flaeche_, modell_grund);
  flaeche(dc, {flaeche_.links, 0, flaeche_.links + 1, flaeche_.unten}, schiene);
  const rechteck menue = menue_rechteck();
  stift(dc, rahmen, weiss);
  Rectangle(dc, menue.links, menue.oben, menue.rechts, menue.unten);
  text(dc, "Modell w\xE4hlen \x85", menue, DT_CENTER);

  const std::shared_ptr<const modell::beschreibung> &m = panel.bild.modell.modell;
  if (!m) {
    text(dc, "Kein Modell", modell_titel(), DT_LEFT, ueberschrift);
    const std::string &meldung =
        panel.wahl_meldung.empty() ? panel.bild.modell.meldung : panel.wahl_meldung;
    const rechteck r = fehler_rechteck();
    if (!meldung.empty())
      text_utf8(dc, meldung, {r.links, menue.unten + 12, r.rechts, r.unten}, DT_LEFT, fehler_rot,
                DT_WORDBREAK);
    return;
  }
  text_utf8(dc, "Modell: " + (m->titel.empty() ? m->name : m->titel), modell_titel(), DT_LEFT,
            ueberschrift);
  for (size_t i = 0; i < m->achsen.size() && !achse_bild(i).schiene.leer(); ++i)
    achse_zeichnen(dc, *m, i);
  for (const teil_eintrag &e : teile_anordnen(*m))
    if (!e.feld.leer())
      teil_zeichnen(dc, *m, e);
  fehler_zeichnen(dc, *m);
}

void alles_zeichnen(HDC dc) {
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  box_zeichnen(dc);
  modell_zeichnen(dc);
}

// Drawn into a bitmap first and copied in one go, so nothing flickers.
void malen(HWND f) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(f, &ps);
  HDC puffer = CreateCompatibleDC(dc);
  HBITMAP bild = CreateCompatibleBitmap(dc, breite, hoehe);
  if (puffer != nullptr && bild != nullptr) {
    HGDIOBJ vorher = SelectObject(puffer, bild);
    alles_zeichnen(puffer);
    BitBlt(dc, 0, 0, breite, hoehe, puffer, 0, 0, SRCCOPY);
    SelectObject(puffer, vorher);
  }
  if (bild != nullptr)
    DeleteObject(bild);
  if (puffer != nullptr)
    DeleteDC(puffer);
  EndPaint(f, &ps);
}

// --- Reading the box ---

enum aenderung { nichts = 0, nur_aufruf = 1, nur_modell = 2, alles = 3 };

// A fresh snapshot; says what differs from the one shown.
int auffrischen() {
  box_bild neu;
  panel.quelle->bild_lesen(neu, fehler_zeilen);
  const box_bild &alt = panel.bild;
  // The inputs a model drives change while its axes move, without a change
  // at the box.
  const bool eingaenge_gleich =
      std::equal(std::begin(neu.zustand.eingang), std::end(neu.zustand.eingang),
                 alt.zustand.eingang) &&
      std::equal(std::begin(neu.zustand.analog), std::end(neu.zustand.analog), alt.zustand.analog);
  int geaendert = nichts;
  if (neu.zustand.aenderungen != alt.zustand.aenderungen || !eingaenge_gleich)
    geaendert = alles;
  else if (!(neu.modell == alt.modell))
    geaendert = nur_modell;
  else if (neu.aufrufe != alt.aufrufe)
    geaendert = nur_aufruf;
  panel.bild = std::move(neu);
  return geaendert;
}

bool feld_lesen(HWND feld, int32_t &wert) {
  char t[32] = {};
  GetWindowTextA(feld, t, sizeof t);
  char *ende = nullptr;
  errno = 0;
  const long zahl = std::strtol(t, &ende, 10);
  if (ende == t || *ende != '\0' || errno != 0 || zahl < INT32_MIN || zahl > INT32_MAX)
    return false;
  wert = static_cast<int32_t>(zahl);
  return true;
}

// A field shows the box's voltage unless the user is typing in it.
void felder_abgleichen() {
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    HWND feld = panel.spannung_feld[i];
    int32_t wert = 0;
    if (feld == nullptr || GetFocus() == feld ||
        (feld_lesen(feld, wert) && wert == panel.bild.zustand.spannung[i]))
      continue;
    char t[16];
    std::snprintf(t, sizeof t, "%ld", static_cast<long>(panel.bild.zustand.spannung[i]));
    panel.feld_wird_gesetzt = true;
    SetWindowTextA(feld, t);
    panel.feld_wird_gesetzt = false;
  }
}

void neu_zeichnen(HWND f, const rechteck &r) {
  const RECT w = rect(r);
  InvalidateRect(f, &w, FALSE);
}

void nachsehen(HWND f) {
  const int geaendert = auffrischen();
  if (geaendert == alles) {
    felder_abgleichen();
    InvalidateRect(f, nullptr, FALSE);
  } else if (geaendert == nur_modell) {
    neu_zeichnen(f, modell_flaeche());
    neu_zeichnen(f, aufruf_rechteck());
  } else if (geaendert == nur_aufruf) {
    neu_zeichnen(f, aufruf_rechteck());
  }
}

// A field the user leaves shows the box's value again, read afresh: the
// user's last keystroke may be newer than the snapshot.
void feld_verlassen(HWND f) {
  auffrischen();
  felder_abgleichen();
  InvalidateRect(f, nullptr, FALSE);
}

// --- The user's hand ---

// The user's value is set even when the snapshot shows it already: the
// snapshot may be older than the user's last change.
void schieber_setzen(int i, int x) {
  panel.quelle->analog_setzen(i + 1, schieber_wert(x));
}

void spannung_uebernehmen(int i) {
  int32_t wert = 0;
  if (!panel.feld_wird_gesetzt && feld_lesen(panel.spannung_feld[i], wert))
    panel.quelle->spannung_setzen(i + 1, wert);
}

std::vector<std::string> eingebaute_modelle() {
  std::vector<std::string> namen;
  const std::string liste = modell::eingebaute_namen();
  size_t ab = 0;
  while (ab < liste.size()) {
    const size_t komma = liste.find(", ", ab);
    namen.push_back(liste.substr(ab, komma - ab));
    ab = komma == std::string::npos ? liste.size() : komma + 2;
  }
  return namen;
}

// The built-in models and none; the one that runs is ticked.
void menue_zeigen(HWND f) {
  HMENU menue = CreatePopupMenu();
  if (menue == nullptr)
    return;
  const std::vector<std::string> namen = eingebaute_modelle();
  const std::string laeuft = panel.bild.modell.modell ? panel.bild.modell.modell->name : "";
  AppendMenuA(menue, MF_STRING | (laeuft.empty() ? MF_CHECKED : 0u), menue_kein_modell,
              "Kein Modell");
  for (size_t i = 0; i < namen.size(); ++i)
    AppendMenuA(menue, MF_STRING | (namen[i] == laeuft ? MF_CHECKED : 0u), menue_erstes_modell + i,
                namen[i].c_str());
  const rechteck knopf = menue_rechteck();
  POINT p{knopf.links, knopf.unten};
  ClientToScreen(f, &p);
  const auto wahl = static_cast<UINT_PTR>(TrackPopupMenu(
      menue, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_NONOTIFY, p.x, p.y, 0, f, nullptr));
  DestroyMenu(menue);
  if (wahl == 0)
    return;
  const std::string name = wahl == menue_kein_modell ? "" : namen[wahl - menue_erstes_modell];
  panel.quelle->modell_waehlen(name, panel.wahl_meldung);
  nachsehen(f);
  InvalidateRect(f, nullptr, FALSE);
}

bool ist_feld(HWND w) {
  for (HWND feld : panel.spannung_feld)
    if (w != nullptr && w == feld)
      return true;
  return false;
}

void druecken(HWND f, POINT p) {
  // Leaves a voltage field, which then shows the box's value again. Only
  // then: focusing an inactive window would take activation from the host.
  if (ist_feld(GetFocus()))
    SetFocus(f);
  const treffer t = treffen({p.x, p.y});
  switch (t.art) {
  case ziel::schalter:
    panel.quelle->eingang_umschalten(t.index + 1);
    break;
  case ziel::schieber:
    panel.ziehen = t.index;
    SetCapture(f);
    schieber_setzen(t.index, p.x);
    break;
  case ziel::modell_menue:
    menue_zeigen(f);
    return;
  case ziel::feld:
  case ziel::nichts:
    break;
  }
  nachsehen(f);
}

POINT punkt_von(LPARAM l) {
  return {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
}

// A click activates the window only over a voltage field, which needs the
// keyboard: anywhere else the host keeps the keyboard, so Escape still ends
// its pause.
LRESULT aktivieren(HWND f) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(f, &p);
  return treffen({p.x, p.y}).art == ziel::feld ? MA_ACTIVATE : MA_NOACTIVATE;
}

// --- The window ---

void felder_anlegen(HWND f) {
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    const rechteck r = spannung_feld(i);
    HWND feld = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "0", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, r.links,
        r.oben, r.rechts - r.links, r.unten - r.oben, f,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(feld_id + i)), modul, nullptr);
    if (feld != nullptr)
      SendMessageA(feld, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    panel.spannung_feld[i] = feld;
  }
}

// Shown without taking the focus from the host; an open while it is shown
// leaves it as it is.
void zeigen(HWND f) {
  if (IsWindowVisible(f))
    return;
  auffrischen();
  felder_abgleichen();
  InvalidateRect(f, nullptr, FALSE);
  SetTimer(f, uhr, uhr_takt_ms, nullptr);
  ShowWindow(f, SW_SHOWNOACTIVATE);
}

// Closing only hides it: the host goes on, and the next open shows it again.
void verbergen(HWND f) {
  if (panel.ziehen >= 0)
    ReleaseCapture();
  KillTimer(f, uhr);
  ShowWindow(f, SW_HIDE);
}

LRESULT CALLBACK fenster_nachricht(HWND f, UINT nachricht, WPARAM w, LPARAM l) {
  switch (nachricht) {
  case WM_CREATE:
    felder_anlegen(f);
    return 0;
  case nachricht_zeigen:
    zeigen(f);
    return 0;
  case WM_TIMER:
    nachsehen(f);
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT:
    malen(f);
    return 0;
  case WM_MOUSEACTIVATE:
    return aktivieren(f);
  case WM_LBUTTONDOWN:
    druecken(f, punkt_von(l));
    return 0;
  case WM_MOUSEMOVE:
    if (panel.ziehen >= 0) {
      schieber_setzen(panel.ziehen, punkt_von(l).x);
      nachsehen(f);
    }
    return 0;
  case WM_LBUTTONUP:
    if (panel.ziehen >= 0)
      ReleaseCapture();
    return 0;
  case WM_CAPTURECHANGED:
    panel.ziehen = -1;
    return 0;
  case WM_COMMAND: {
    const int i = LOWORD(w) - feld_id;
    if (i >= 0 && i < SIM_SPANNUNGEN && HIWORD(w) == EN_CHANGE)
      spannung_uebernehmen(i);
    else if (i >= 0 && i < SIM_SPANNUNGEN && HIWORD(w) == EN_KILLFOCUS)
      feld_verlassen(f);
    return 0;
  }
  case WM_CLOSE:
    verbergen(f);
    return 0;
  default:
    return DefWindowProcA(f, nachricht, w, l);
  }
}

DWORD WINAPI fenster_faden(void *) {
  WNDCLASSEXA klasse{};
  klasse.cbSize = sizeof klasse;
  klasse.lpfnWndProc = fenster_nachricht;
  klasse.hInstance = modul;
  klasse.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  klasse.lpszClassName = klassenname;
  if (RegisterClassExA(&klasse) == 0)
    return 0;
  const DWORD stil = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, breite, hoehe};
  AdjustWindowRectEx(&r, stil, FALSE, 0);
  // Without a display this fails, and the panel stays away for good.
  HWND f = CreateWindowExA(0, klassenname, fenstertitel, stil, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, modul, nullptr);
  if (f == nullptr)
    return 0;
  fenster.store(f);
  zeigen(f);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

bool panel_erwuenscht() {
  char wert[8] = {};
  const DWORD laenge = GetEnvironmentVariableA("LUMBRIK_PANEL", wert, sizeof wert);
  return !(laenge == 1 && wert[0] == '0');
}

} // namespace

void panel_zeigen(box &b) {
  if (!panel_erwuenscht())
    return;
  if (gestartet.exchange(true)) {
    // Until the window exists its thread shows it anyway.
    HWND f = fenster.load();
    if (f != nullptr)
      PostMessageA(f, nachricht_zeigen, 0, 0);
    return;
  }
  // The window's code must outlive a host's FreeLibrary, so the simulator
  // stays loaded from now on.
  HMODULE selbst = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          reinterpret_cast<LPCSTR>(&gestartet), &selbst))
    return;
  modul = selbst;
  // Before the thread starts, which then sees it.
  panel.quelle = &b;
  HANDLE faden = CreateThread(nullptr, 0, fenster_faden, nullptr, 0, nullptr);
  if (faden != nullptr)
    CloseHandle(faden);
}
