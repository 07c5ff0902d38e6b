// Prints the window's layout and colours as shell assignments, so that the
// window test clicks and reads where the window draws, from the one place
// that says where that is.
#include "simulator/panel_bild.h"

#include <cstdio>

using namespace panel_bild;

namespace {

punkt mitte(const rechteck &r) {
  return {(r.links + r.rechts) / 2, (r.oben + r.unten) / 2};
}

void punkt_zeile(const char *name, int nummer, punkt p) {
  std::printf("%s_%d='%d %d'\n", name, nummer, p.x, p.y);
}

void farbe_zeile(const char *name, farbe f) {
  std::printf("%s=%02X%02X%02X\n", name, f.rot, f.gruen, f.blau);
}

} // namespace

int main() {
  std::printf("breite=%d\nhoehe=%d\n", breite, hoehe);
  for (int i = 0; i < SIM_AUSGAENGE; ++i)
    punkt_zeile("lampe_mitte", i + 1, mitte(lampe_rechteck(i)));
  // Left of the middle: inside the arrow either way and inside the square.
  for (int m = 0; m < SIM_MOTOREN; ++m) {
    const punkt p = mitte(motor_rechteck(m));
    punkt_zeile("motor_pfeil", m + 1, {p.x - 3, p.y});
  }
  for (int i = 0; i < SIM_EINGAENGE; ++i) {
    const rechteck r = schalter_rechteck(i);
    // Left of the number, which is drawn in the switch's colour.
    punkt_zeile("schalter_rand", i + 1, {r.links + 5, mitte(r).y});
    punkt_zeile("schalter_mitte", i + 1, mitte(r));
  }
  for (int a = 0; a < SIM_ANALOGE; ++a)
    std::printf("schieber_links_%d=%d\nschieber_mitte_%d=%d\n", a + 1, schieber_links, a + 1,
                schieber_mitte(a));
  for (int i = 0; i < SIM_SPANNUNGEN; ++i)
    punkt_zeile("spannung_feld", i + 1, mitte(spannung_feld(i)));
  punkt_zeile("menue_knopf", 1, mitte(menue_rechteck()));
  std::printf("menue_unten=%d\n", menue_rechteck().unten);
  const achs_bild achse = achse_bild(0);
  // The end switches' marks are the top rows of the switch row.
  std::printf("achse_links=%d\nachse_rechts=%d\nachse_mitte=%d\nachse_schalter=%d\n",
              achse.schiene.links, achse.schiene.rechts, mitte(achse.schiene).y,
              achse.schalter.oben + 2);

  farbe_zeile("aus", lampenfarbe(false, 0));
  farbe_zeile("gold", lampenfarbe(true, 7));
  farbe_zeile("stufe1", lampenfarbe(true, 1));
  farbe_zeile("stufe5", lampenfarbe(true, 5));
  farbe_zeile("motor_laeuft", motor_laeuft);
  farbe_zeile("motor_steht", motor_steht);
  farbe_zeile("schalter_an", schalter_an);
  farbe_zeile("schalter_aus", schalter_aus);
  farbe_zeile("teil", teil_farbe);
  farbe_zeile("fehler_rot", fehler_rot);
  return 0;
}
