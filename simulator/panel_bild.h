// The picture of the simulator window without Windows: where each part of
// the box and of the model goes, in client pixels, its colours, and the
// slider's maths. panel.cpp draws from it and hit-tests the mouse with it;
// the native tests check it.
#pragma once

#include "basis/box_groessen.h"
#include "simulator/modell/modell.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace panel_bild {

struct punkt {
  int x = 0, y = 0;
};

struct rechteck {
  int links = 0, oben = 0, rechts = 0, unten = 0;
  bool enthaelt(punkt p) const {
    return p.x >= links && p.x < rechts && p.y >= oben && p.y < unten;
  }
  bool leer() const { return rechts <= links || unten <= oben; }
  bool operator==(const rechteck &) const = default;
};

struct farbe {
  uint8_t rot = 0, gruen = 0, blau = 0;
  bool operator==(const farbe &) const = default;
};

// --- The box, on the left; its layout is what the window tests click ---

constexpr int aussen = 12;
constexpr int zeile_hoehe = 16;
constexpr int box_breite = 536;
constexpr int hoehe = 310;
// The model's view, right of the box.
constexpr int modell_breite = 340;
constexpr int breite = box_breite + modell_breite;

constexpr int titel_ausgaenge = 6;
constexpr int lampe_text = 64;
constexpr int titel_eingaenge = 120;
constexpr int titel_analog = 176;
constexpr int spannung_oben = 254;
constexpr int aufruf_oben = 286;
constexpr int schieber_links = 56;
constexpr int schieber_zeile = 26;
constexpr int analog_hoechst = 1023;
// Each pixel of the track is exactly three steps, so 342 pixels span 0 to 1023.
constexpr int schieber_schritt = 3;
constexpr int schieber_laenge = analog_hoechst / schieber_schritt + 1;

rechteck lampe_rechteck(int ausgang); // from 0
rechteck lampe_text_rechteck(int ausgang);
rechteck motor_rechteck(int motor);      // from 0
rechteck schalter_rechteck(int eingang); // from 0
// The whole row of a slider answers the mouse, a little beyond both ends.
rechteck schieber_rechteck(int analog);
// The track's middle line, for drawing.
int schieber_mitte(int analog);
rechteck spannung_feld(int nummer); // from 0
rechteck aufruf_rechteck();
rechteck box_flaeche();

// The value a slider takes for a mouse at x, held at 0 and 1023.
int32_t schieber_wert(int x);
// Where the knob of a value sits.
int schieber_x(int32_t wert);

// --- Colours ---

constexpr farbe hintergrund{236, 236, 236};
constexpr farbe schrift{32, 32, 32};
constexpr farbe ueberschrift{96, 96, 96};
constexpr farbe rahmen{64, 64, 64};
constexpr farbe weiss{255, 255, 255};
constexpr farbe motor_laeuft{0, 150, 60};
constexpr farbe motor_steht{160, 160, 160};
constexpr farbe schalter_aus{200, 200, 200};
constexpr farbe schalter_an{40, 170, 60};
constexpr farbe schiene{200, 200, 200};
constexpr farbe schiene_voll{60, 120, 200};
constexpr farbe modell_grund{248, 248, 244};
constexpr farbe teil_farbe{200, 110, 30};
constexpr farbe licht_dunkel{70, 70, 90};
constexpr farbe fehler_rot{200, 0, 0};

// A lamp lit at a level 1-7 (held there), grey when off.
farbe lampenfarbe(bool an, int32_t stufe);

// Whether the box shows motor `motor` (from 0) turning: always without a
// model (null); with one, only where its axes use the motor, so a lamp on
// one of its outputs is a lamp and no motor.
bool motor_gezeigt(const modell::beschreibung *m, int motor);

// --- What the mouse hits ---

enum class ziel { nichts, schalter, schieber, feld, modell_menue };
struct treffer {
  ziel art = ziel::nichts;
  int index = 0;
  bool operator==(const treffer &) const = default;
};
treffer treffen(punkt p);

// --- The model ---

// How many faults the window lists.
constexpr int fehler_zeilen = 3;

rechteck modell_flaeche();
rechteck modell_titel();
rechteck menue_rechteck();

// One axis: its name row, its track, and the row of its switches under it.
struct achs_bild {
  rechteck name, schiene, schalter;
};
// Null rows (empty) for axes that no longer fit.
achs_bild achse_bild(size_t achse);

// The range an axis shows: its stops, or for an endless axis (a belt) the
// stretch up to its light barriers and a little beyond.
std::pair<double, double> achsbereich(const modell::beschreibung &m, size_t achse);
// The pixel of a position on a track, held at its ends.
int achse_x(const std::pair<double, double> &bereich, const rechteck &bahn, double position);

// The stretches parts riding on an axis cover at a position of the axis, in
// axis coordinates: parts named by several lights once, those wholly beyond
// the shown range left out.
std::vector<std::pair<double, double>> teile_bei(const modell::beschreibung &m, size_t achse,
                                                 double position);

// The lamps, light sensors, buttons and potentiometers below the axes, in
// this order, two to a row; empty for those that no longer fit.
struct teil_eintrag {
  enum class art { lampe, licht, taster, poti };
  art typ = art::lampe;
  size_t index = 0;
  rechteck feld;
};
std::vector<teil_eintrag> teile_anordnen(const modell::beschreibung &m);

// The fault list, at the foot of the model's view.
rechteck fehler_rechteck();

} // namespace panel_bild
