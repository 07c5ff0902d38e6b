// The simulated interface box: the eight vendor functions over an in-memory
// box, and the control functions of sim_steuerung.h.
//
// Setting calls return 0, or -1 for an unknown handle or number; reading
// calls return the value, or -1 likewise. A handle is known when an earlier
// open returned it. Every call is logged, known or not.
#include "sim_steuerung.h"

#include "box_intern.h"
#include "panel.h"
#include "umFish40.h"

#include <iterator>
#include <mutex>
#include <string>
#include <utility>

namespace {

struct box {
  sim_zustand zustand;
  bool oeffnen_scheitert;
  uint32_t aufrufe;
  sim_aufruf protokoll[SIM_PROTOKOLL_PLATZ];
};

// Tests and hosts may read the box from other threads while the host drives it.
std::mutex sperre;
box simulator{};

bool handle_bekannt(uint32_t handle) {
  return handle - SIM_ERSTES_HANDLE < simulator.zustand.geoeffnet;
}

// The index of a number from 1 to `anzahl`, or -1.
int stelle(int32_t nummer, int anzahl) {
  return nummer >= 1 && nummer <= anzahl ? nummer - 1 : -1;
}

int32_t protokollieren(sim_funktion funktion, int32_t ergebnis, int anzahl, int32_t a = 0,
                       int32_t b = 0, int32_t c = 0, int32_t d = 0) {
  sim_aufruf &eintrag = simulator.protokoll[simulator.aufrufe % SIM_PROTOKOLL_PLATZ];
  eintrag = {funktion, anzahl, {a, b, c, d}, ergebnis};
  ++simulator.aufrufe;
  return ergebnis;
}

// The change counter moves only when something really changed, so a host
// repeating a command does not make a viewer redraw.
void ausgang_setzen(int index, bool an, int32_t stufe) {
  int32_t &ist_an = simulator.zustand.ausgang_an[index];
  int32_t &ist_stufe = simulator.zustand.ausgang_stufe[index];
  if (ist_an == (an ? 1 : 0) && (!an || ist_stufe == stufe))
    return;
  ist_an = an ? 1 : 0;
  if (an)
    ist_stufe = stufe;
  ++simulator.zustand.aenderungen;
}

// Motor n runs one way with its first output on, the other with its second.
void motor_setzen(int index, int32_t richtung, int32_t stufe) {
  ausgang_setzen(2 * index, richtung > 0, stufe);
  ausgang_setzen(2 * index + 1, richtung < 0, stufe);
}

void motorrichtungen_ableiten() {
  for (int m = 0; m < SIM_MOTOREN; ++m) {
    const int32_t vor = simulator.zustand.ausgang_an[2 * m];
    const int32_t zurueck = simulator.zustand.ausgang_an[2 * m + 1];
    simulator.zustand.motor_richtung[m] = vor == zurueck ? 0 : (vor ? 1 : -1);
  }
  modell_abgleichen(simulator.zustand);
}

int32_t wert_setzen(int32_t *werte, int anzahl, int32_t nummer, int32_t wert) {
  std::lock_guard<std::mutex> halten(sperre);
  const int index = stelle(nummer, anzahl);
  if (index < 0)
    return 0;
  if (werte[index] != wert)
    ++simulator.zustand.aenderungen;
  werte[index] = wert;
  return 1;
}

// Reads one value of the box for a vendor call.
int32_t wert_lesen(sim_funktion funktion, uint32_t handle, const int32_t *werte, int anzahl,
                   int32_t nummer) {
  std::lock_guard<std::mutex> halten(sperre);
  const int index = stelle(nummer, anzahl);
  werte = modell_werte(funktion, simulator.zustand, werte);
  const int32_t ergebnis = handle_bekannt(handle) && index >= 0 ? werte[index] : -1;
  return protokollieren(funktion, ergebnis, 2, static_cast<int32_t>(handle), nummer);
}

} // namespace

extern "C" {

uint32_t WINAPI rbOpenInterfaceUSB(int32_t a, int32_t b) {
  uint32_t handle = SIM_OEFFNEN_FEHLER;
  {
    std::lock_guard<std::mutex> halten(sperre);
    if (!simulator.oeffnen_scheitert) {
      handle = SIM_ERSTES_HANDLE + simulator.zustand.geoeffnet;
      ++simulator.zustand.geoeffnet;
      ++simulator.zustand.aenderungen;
      modell_oeffnen(simulator.zustand);
    }
    protokollieren(sim_rbOpenInterfaceUSB, static_cast<int32_t>(handle), 2, a, b);
  }
  // Outside the lock: the panel's thread reads the box too. A box that failed
  // to open shows nothing.
  if (handle != SIM_OEFFNEN_FEHLER)
    panel_zeigen();
  return handle;
}

int32_t WINAPI rbSetLampEx(uint32_t handle, int32_t ausgang, int32_t an, int32_t stufe) {
  std::lock_guard<std::mutex> halten(sperre);
  const int index = stelle(ausgang, SIM_AUSGAENGE);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle) && index >= 0) {
    ausgang_setzen(index, an != 0, stufe);
    motorrichtungen_ableiten();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetLampEx, ergebnis, 4, static_cast<int32_t>(handle), ausgang, an,
                        stufe);
}

// Two bits per motor, lowest first: 1 runs it one way, 2 the other, 0 or 3 stops it.
int32_t WINAPI rbSetMotors(uint32_t handle, int32_t maske) {
  std::lock_guard<std::mutex> halten(sperre);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle)) {
    for (int m = 0; m < SIM_MOTOREN; ++m) {
      const uint32_t bits = (static_cast<uint32_t>(maske) >> (2 * m)) & 3u;
      const int32_t stufe = simulator.zustand.ausgang_stufe[2 * m];
      motor_setzen(m, bits == 1u ? 1 : (bits == 2u ? -1 : 0), stufe > 0 ? stufe : 7);
    }
    motorrichtungen_ableiten();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetMotors, ergebnis, 2, static_cast<int32_t>(handle), maske);
}

// A positive value runs the motor one way, a negative one the other, 0 stops it.
int32_t WINAPI rbSetMotorEx(uint32_t handle, int32_t motor, int32_t wert, int32_t stufe) {
  std::lock_guard<std::mutex> halten(sperre);
  const int index = stelle(motor, SIM_MOTOREN);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle) && index >= 0) {
    motor_setzen(index, wert, stufe);
    motorrichtungen_ableiten();
    ergebnis = 0;
  }
  return protokollieren(sim_rbSetMotorEx, ergebnis, 4, static_cast<int32_t>(handle), motor, wert,
                        stufe);
}

// The outputs that are on, output n as bit n-1.
int32_t WINAPI rbGetMotors(uint32_t handle) {
  std::lock_guard<std::mutex> halten(sperre);
  int32_t ergebnis = -1;
  if (handle_bekannt(handle)) {
    ergebnis = 0;
    for (int i = 0; i < SIM_AUSGAENGE; ++i)
      ergebnis |= simulator.zustand.ausgang_an[i] << i;
  }
  return protokollieren(sim_rbGetMotors, ergebnis, 1, static_cast<int32_t>(handle));
}

int32_t WINAPI rbGetInput(uint32_t handle, int32_t eingang) {
  return wert_lesen(sim_rbGetInput, handle, simulator.zustand.eingang, SIM_EINGAENGE, eingang);
}

int32_t WINAPI rbGetAnalog(uint32_t handle, int32_t eingang) {
  return wert_lesen(sim_rbGetAnalog, handle, simulator.zustand.analog, SIM_ANALOGE, eingang);
}

int32_t WINAPI rbGetVoltage(uint32_t handle, int32_t nummer) {
  return wert_lesen(sim_rbGetVoltage, handle, simulator.zustand.spannung, SIM_SPANNUNGEN, nummer);
}

void SIM_CALL sim_zuruecksetzen(void) {
  std::lock_guard<std::mutex> halten(sperre);
  const uint32_t aenderungen = simulator.zustand.aenderungen;
  simulator.zustand = sim_zustand{};
  simulator.zustand.aenderungen = aenderungen + 1;
  simulator.oeffnen_scheitert = false;
  simulator.aufrufe = 0;
  modell_zuruecksetzen(simulator.zustand);
}

void SIM_CALL sim_oeffnen_fehlschlagen(int32_t ja) {
  std::lock_guard<std::mutex> halten(sperre);
  simulator.oeffnen_scheitert = ja != 0;
}

int32_t SIM_CALL sim_eingang_setzen(int32_t nummer, int32_t wert) {
  return wert_setzen(simulator.zustand.eingang, SIM_EINGAENGE, nummer, wert);
}

int32_t SIM_CALL sim_analog_setzen(int32_t nummer, int32_t wert) {
  return wert_setzen(simulator.zustand.analog, SIM_ANALOGE, nummer, wert);
}

int32_t SIM_CALL sim_spannung_setzen(int32_t nummer, int32_t wert) {
  return wert_setzen(simulator.zustand.spannung, SIM_SPANNUNGEN, nummer, wert);
}

void SIM_CALL sim_zustand_lesen(sim_zustand *zustand) {
  std::lock_guard<std::mutex> halten(sperre);
  *zustand = simulator.zustand;
  modell_ueberlagern(*zustand);
}

uint32_t SIM_CALL sim_protokoll_anzahl(void) {
  std::lock_guard<std::mutex> halten(sperre);
  return simulator.aufrufe;
}

int32_t SIM_CALL sim_protokoll_eintrag(uint32_t index, sim_aufruf *aufruf) {
  std::lock_guard<std::mutex> halten(sperre);
  if (index >= simulator.aufrufe || simulator.aufrufe - index > SIM_PROTOKOLL_PLATZ)
    return 0;
  *aufruf = simulator.protokoll[index % SIM_PROTOKOLL_PLATZ];
  return 1;
}

uint32_t SIM_CALL sim_modell_fehler(void) {
  std::lock_guard<std::mutex> halten(sperre);
  return modell_fehler_anzahl(simulator.zustand);
}

const char *SIM_CALL sim_funktionsname(int32_t funktion) {
#define NAME(name, ergebnis, parameter, argumente, bytes) #name,
  static const char *const namen[] = {"?", UMFISH40_FUNKTIONEN(NAME)};
#undef NAME
  const bool bekannt = funktion > 0 && funktion < static_cast<int32_t>(std::size(namen));
  return namen[bekannt ? funktion : 0];
}

// Read under the lock: the window may switch the model meanwhile.
const char *SIM_CALL sim_modell_name(void) {
  std::lock_guard<std::mutex> halten(sperre);
  return modell_name();
}

const char *SIM_CALL sim_modell_meldung(void) {
  std::lock_guard<std::mutex> halten(sperre);
  return modell_meldung();
}

} // extern "C"

bool box_eingang_umschalten(int32_t nummer) {
  std::lock_guard<std::mutex> halten(sperre);
  const int index = stelle(nummer, SIM_EINGAENGE);
  if (index < 0)
    return false;
  // What lumbrik's schalter reads as active: a value above 0.
  simulator.zustand.eingang[index] = simulator.zustand.eingang[index] > 0 ? 0 : 1;
  ++simulator.zustand.aenderungen;
  return true;
}

void box_modell_lesen(modell_stand &stand, size_t fehler_platz) {
  std::lock_guard<std::mutex> halten(sperre);
  modell_lesen(simulator.zustand, stand, fehler_platz);
}

bool box_modell_waehlen(const std::string &wahl, std::string &meldung) {
  // A file is read before the lock is taken: the host is not held up by it.
  modell::ergebnis e = modell_beschaffen(wahl);
  if (!wahl.empty() && !e.modell) {
    meldung = e.meldung;
    return false;
  }
  std::lock_guard<std::mutex> halten(sperre);
  modell_einsetzen(std::move(e.modell), simulator.zustand);
  ++simulator.zustand.aenderungen;
  meldung.clear();
  return true;
}
