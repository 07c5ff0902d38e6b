// The simulated interface box (see box.h).
//
// Setting calls return 0, or -1 for an unknown handle or number; reading
// calls return the value, or -1 likewise. A handle is known when an earlier
// open returned it. Every call is logged, known or not.
#include "simulator/box.h"

#include "simulator/aufruf_text.h"
#include "simulator/panel.h"

#include <atomic>
#include <utility>

namespace {

// The index of a number from 1 to `anzahl`, or -1.
int stelle(int32_t nummer, int anzahl) {
  return nummer >= 1 && nummer <= anzahl ? nummer - 1 : -1;
}

std::atomic<box *> ersatz{nullptr};

} // namespace

box &simulierte_box() {
  static box eigene;
  box *b = ersatz.load();
  return b != nullptr ? *b : eigene;
}

void simulierte_box_setzen(box *b) {
  ersatz.store(b);
}

bool box::handle_bekannt(uint32_t handle) const {
  return handle - SIM_ERSTES_HANDLE < zustand_.geoeffnet;
}

int32_t box::protokollieren(sim_funktion funktion, int32_t ergebnis, int anzahl, int32_t a,
                            int32_t b, int32_t c, int32_t d) {
  protokoll_[aufrufe_ % SIM_PROTOKOLL_PLATZ] = {funktion, anzahl, {a, b, c, d}, ergebnis};
  ++aufrufe_;
  return ergebnis;
}

// The outputs after a setting call into the snapshot. The change counter
// moves once for each output that really changed, so a host repeating a
// command does not make a viewer redraw.
void box::ausgaenge_uebernehmen() {
  for (size_t i = 0; i < SIM_AUSGAENGE; ++i) {
    const int32_t an = ausgaenge_.an[i] ? 1 : 0;
    if (zustand_.ausgang_an[i] == an && zustand_.ausgang_stufe[i] == ausgaenge_.stufe[i])
      continue;
    zustand_.ausgang_an[i] = an;
    zustand_.ausgang_stufe[i] = ausgaenge_.stufe[i];
    ++zustand_.aenderungen;
  }
  for (int m = 0; m < SIM_MOTOREN; ++m) {
    const int32_t vor = zustand_.ausgang_an[2 * m];
    const int32_t zurueck = zustand_.ausgang_an[2 * m + 1];
    zustand_.motor_richtung[m] = vor == zurueck ? 0 : (vor ? 1 : -1);
  }
  modell_.abgleichen(zustand_);
}

int32_t box::wert_setzen(int32_t *werte, int anzahl, int32_t nummer, int32_t wert) {
  const int index = stelle(nummer, anzahl);
  if (index < 0)
    return 0;
  if (werte[index] != wert)
    ++zustand_.aenderungen;
  werte[index] = wert;
  return 1;
}

// Reads one value of the box for a vendor call.
int32_t box::wert_lesen(sim_funktion funktion, uint32_t handle, const int32_t *werte, int anzahl,
                        int32_t nummer) {
  const int index = stelle(nummer, anzahl);
  werte = modell_.werte(funktion, zustand_, werte);
  const int32_t ergebnis = handle_bekannt(handle) && index >= 0 ? werte[index] : -1;
  return protokollieren(funktion, ergebnis, 2, static_cast<int32_t>(handle), nummer);
}

// --- The vendor's functions ---

uint32_t box::rbOpenInterfaceUSB(int32_t a, int32_t b) {
  uint32_t handle = SIM_OEFFNEN_FEHLER;
  {
    const gesperrt halten(sperre_);
    if (!oeffnen_scheitert_) {
      handle = SIM_ERSTES_HANDLE + zustand_.geoeffnet;
      ++zustand_.geoeffnet;
      ++zustand_.aenderungen;
      modell_.oeffnen(zustand_);
    }
    protokollieren(sim_rbOpenInterfaceUSB, static_cast<int32_t>(handle), 2, a, b);
  }
  // Outside the lock: the window's thread reads the box too. A box that
  // failed to open shows nothing.
  if (handle != SIM_OEFFNEN_FEHLER)
    panel_zeigen(*this);
  return handle;
}

int32_t box::rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) {
  const gesperrt halten(sperre_);
  const int index = stelle(ausgang, SIM_AUSGAENGE);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle) && index >= 0) {
    ausgaenge_.lampe(index, an != 0, stufe);
    ausgaenge_uebernehmen();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetLampEx, ergebnis, 4, static_cast<int32_t>(handle), ausgang, an,
                        stufe);
}

int32_t box::rbSetMotors(uint32_t handle, int32_t maske) {
  const gesperrt halten(sperre_);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle)) {
    ausgaenge_.motoren(maske);
    ausgaenge_uebernehmen();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetMotors, ergebnis, 2, static_cast<int32_t>(handle), maske);
}

int32_t box::rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe) {
  const gesperrt halten(sperre_);
  const int index = stelle(motor, SIM_MOTOREN);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle) && index >= 0) {
    ausgaenge_.motor(index, wert, stufe);
    ausgaenge_uebernehmen();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetMotorEx, ergebnis, 4, static_cast<int32_t>(handle), motor, wert,
                        stufe);
}

// The outputs that are on, output n as bit n-1.
int32_t box::rbGetMotors(uint32_t handle) {
  const gesperrt halten(sperre_);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle)) {
    ergebnis = 0;
    for (int i = 0; i < SIM_AUSGAENGE; ++i)
      ergebnis |= zustand_.ausgang_an[i] << i;
    // A read like any other: the first one starts the model's clock.
    modell_.abgleichen(zustand_);
  }
  return protokollieren(sim_rbGetMotors, ergebnis, 1, static_cast<int32_t>(handle));
}

int32_t box::rbGetInput(uint32_t handle, int32_t eingang) {
  const gesperrt halten(sperre_);
  return wert_lesen(sim_rbGetInput, handle, zustand_.eingang, SIM_EINGAENGE, eingang);
}

int32_t box::rbGetAnalog(uint32_t handle, int32_t eingang) {
  const gesperrt halten(sperre_);
  return wert_lesen(sim_rbGetAnalog, handle, zustand_.analog, SIM_ANALOGE, eingang);
}

int32_t box::rbGetVoltage(uint32_t handle, int32_t nummer) {
  const gesperrt halten(sperre_);
  return wert_lesen(sim_rbGetVoltage, handle, zustand_.spannung, SIM_SPANNUNGEN, nummer);
}

// --- The controls ---

void box::zuruecksetzen() {
  const gesperrt halten(sperre_);
  const uint32_t aenderungen = zustand_.aenderungen;
  zustand_ = sim_zustand{};
  ausgaenge_ = {};
  zustand_.aenderungen = aenderungen + 1;
  oeffnen_scheitert_ = false;
  aufrufe_ = 0;
  modell_.zuruecksetzen(zustand_);
}

void box::oeffnen_fehlschlagen(int32_t ja) {
  const gesperrt halten(sperre_);
  oeffnen_scheitert_ = ja != 0;
}

int32_t box::eingang_setzen(int32_t nummer, int32_t wert) {
  const gesperrt halten(sperre_);
  return wert_setzen(zustand_.eingang, SIM_EINGAENGE, nummer, wert);
}

int32_t box::analog_setzen(int32_t nummer, int32_t wert) {
  const gesperrt halten(sperre_);
  return wert_setzen(zustand_.analog, SIM_ANALOGE, nummer, wert);
}

int32_t box::spannung_setzen(int32_t nummer, int32_t wert) {
  const gesperrt halten(sperre_);
  return wert_setzen(zustand_.spannung, SIM_SPANNUNGEN, nummer, wert);
}

void box::zustand_lesen(sim_zustand *zustand) {
  const gesperrt halten(sperre_);
  *zustand = zustand_;
  modell_.ueberlagern(*zustand);
}

uint32_t box::protokoll_anzahl() {
  const gesperrt halten(sperre_);
  return aufrufe_;
}

int32_t box::protokoll_eintrag(uint32_t index, sim_aufruf *aufruf) {
  const gesperrt halten(sperre_);
  if (index >= aufrufe_ || aufrufe_ - index > SIM_PROTOKOLL_PLATZ)
    return 0;
  *aufruf = protokoll_[index % SIM_PROTOKOLL_PLATZ];
  return 1;
}

uint32_t box::modell_fehler() {
  const gesperrt halten(sperre_);
  return modell_.fehler_anzahl(zustand_);
}

int32_t box::modell_fehler_eintrag(uint32_t index, sim_fehler *fehler) {
  const gesperrt halten(sperre_);
  return modell_.fehler_eintrag(index, *fehler) ? 1 : 0;
}

const char *box::funktionsname(int32_t funktion) {
  return ::funktionsname(funktion);
}

// Read under the lock: the window may switch the model meanwhile.
const char *box::modell_name_utf8() {
  const gesperrt halten(sperre_);
  return modell_.name_utf8();
}

const char *box::modell_meldung_utf8() {
  const gesperrt halten(sperre_);
  return modell_.meldung_utf8();
}

const char *box::bericht_meldung_utf8() {
  const gesperrt halten(sperre_);
  return modell_.bericht_meldung_utf8();
}

// --- The window's hand ---

bool box::eingang_umschalten(int32_t nummer) {
  const gesperrt halten(sperre_);
  const int index = stelle(nummer, SIM_EINGAENGE);
  if (index < 0)
    return false;
  // What lumbrik's schalter reads as active: a value above 0.
  zustand_.eingang[index] = zustand_.eingang[index] > 0 ? 0 : 1;
  ++zustand_.aenderungen;
  return true;
}

void box::bild_lesen(box_bild &bild, size_t fehler_platz) {
  const gesperrt halten(sperre_);
  bild.zustand = zustand_;
  modell_.ueberlagern(bild.zustand);
  bild.aufrufe = aufrufe_;
  bild.letzter_da = aufrufe_ > 0;
  if (bild.letzter_da)
    bild.letzter = protokoll_[(aufrufe_ - 1) % SIM_PROTOKOLL_PLATZ];
  modell_.lesen(zustand_, bild.modell, fehler_platz);
}

bool box::modell_waehlen(const std::string &wahl, std::string &meldung) {
  // A file is read before the lock is taken: the host is not held up by it.
  modell::ergebnis e = modell_beschaffen(wahl);
  if (!wahl.empty() && !e.modell) {
    meldung = e.meldung;
    return false;
  }
  const gesperrt halten(sperre_);
  modell_.einsetzen(std::move(e.modell), zustand_);
  ++zustand_.aenderungen;
  meldung.clear();
  return true;
}
