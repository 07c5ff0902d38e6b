// The recorder's logic (see mitschrift.h).
#include "aufzeichnung/mitschrift.h"

#include <cstdio>

namespace akte {

const char *mitschrift::funktionsname(funktion f) {
#define AKTE_NAME(name, ...) #name,
  static const char *const namen[] = {UMFISH40_FUNKTIONEN(AKTE_NAME)};
#undef AKTE_NAME
  return namen[f];
}

void mitschrift::eintragen(art a, int nummer, int32_t wert, int64_t us) {
  if (verworfen_)
    return;
  if (ereignisse_.size() >= ereignisse_platz) {
    ++verloren_;
    return;
  }
  ereignisse_.push_back({us, a, static_cast<uint8_t>(nummer), wert});
}

void mitschrift::geoeffnet(uint32_t handle, uint32_t fehlschlag) {
  ++aufrufe_[f_rbOpenInterfaceUSB];
  letztes_oeffnen_ = handle;
  null_.gesehen(uhr_());
  if (handle == fehlschlag)
    return;
  // Every output and motor gets a first value, as in a simulated run.
  if (!offen_)
    for (int i = 0; i < SIM_AUSGAENGE + SIM_MOTOREN; ++i)
      eintragen(i < SIM_AUSGAENGE ? art::ausgang : art::motor,
                i < SIM_AUSGAENGE ? i + 1 : i - SIM_AUSGAENGE + 1, 0, 0);
  offen_ = true;
  handle_ = handle;
}

// Counts a switch, and says whether it is recorded: only with the open
// handle and for an output or motor the box has. The clock starts there.
bool mitschrift::annehmen(funktion f, uint32_t handle, bool gueltig) {
  ++aufrufe_[f];
  if (!offen_ || handle != handle_ || !gueltig) {
    ++unbeachtet_;
    return false;
  }
  uhr_starten();
  return true;
}

void mitschrift::geschaltet(funktion f, uint32_t handle, int32_t nummer, int32_t wert,
                            int32_t stufe) {
  const bool gueltig = f == f_rbSetMotors   ? true
                       : f == f_rbSetLampEx ? nummer >= 1 && nummer <= SIM_AUSGAENGE
                                            : nummer >= 1 && nummer <= SIM_MOTOREN;
  if (!annehmen(f, handle, gueltig))
    return;
  if (f == f_rbSetLampEx)
    box_.lampe(nummer - 1, wert != 0, stufe);
  else if (f == f_rbSetMotorEx)
    box_.motor(nummer - 1, wert, stufe);
  else
    box_.motoren(nummer);
  ausgaenge_melden();
}

// Outputs and motors as a simulated run traces them; all changes of one
// call share their time.
void mitschrift::ausgaenge_melden() {
  int64_t us = -1;
  const auto melde = [&](art a, int nummer, int32_t &alt, int32_t neu) {
    if (alt == neu)
      return;
    alt = neu;
    if (us < 0)
      us = jetzt_us();
    eintragen(a, nummer, neu, us);
  };
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i)
    melde(art::ausgang, static_cast<int>(i) + 1, ausgang_[i], box_.ausgang_wert(i));
  for (size_t m = 0; m < SIM_MOTOREN; ++m)
    melde(art::motor, static_cast<int>(m) + 1, motor_[m], box_.motor_wert(m));
}

bericht::mitschnitt_angaben mitschrift::angaben(const std::string &hersteller) const {
  bericht::mitschnitt_angaben a;
  a.hersteller = hersteller;
  a.oeffnen = letztes_oeffnen_;
  a.vor_null_ms = null_.gestanden() / 1000;
  // Only reads can repeat themselves.
  for (size_t i = 0; i < funktionen; ++i) {
    a.aufrufe.emplace_back(funktionsname(static_cast<funktion>(i)), aufrufe_[i]);
    if (i >= f_rbGetMotors)
      a.gleich.emplace_back(funktionsname(static_cast<funktion>(i)), gleich_[i]);
  }
  a.ohne_offene_schnittstelle = unbeachtet_;
  return a;
}

std::string mitschrift::meldung(const std::string &vendor_meldung) const {
  std::string m = vendor_meldung;
  if (m.empty() && !offen_)
    m = "das Interface ließ sich nicht öffnen";
  if (verloren_ > 0)
    m += (m.empty() ? "" : "; ") + std::string("der Mitschnitt ist nicht ganz: ") +
         std::to_string(verloren_) +
         " Änderungen gingen verloren (der Schreiber kam nicht nach oder es fehlte Speicher)";
  return m;
}

void zeilen_anhaengen(const std::vector<mitschrift::ereignis> &stapel, std::string &aus,
                      std::array<uint64_t, arten> &geschrieben) {
  char nummer[4];
  for (const mitschrift::ereignis &e : stapel) {
    std::snprintf(nummer, sizeof nummer, "%u", static_cast<unsigned>(e.nummer));
    zeile_anhaengen(aus, e.us, e.a, nummer, e.wert, true);
    ++geschrieben[static_cast<size_t>(e.a)];
  }
}

} // namespace akte
