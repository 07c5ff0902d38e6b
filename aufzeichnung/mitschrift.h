// What the recorder of the real box makes of the calls it passes on, without
// Windows: the clock's zero, the outputs after each switch, the reads that
// changed, the counts for the report. Its owner holds a lock around every
// call and hands over a monotonic clock; the lines go out in batches.
#pragma once

#include "aufzeichnung/ausgaenge.h"
#include "aufzeichnung/bericht.h"
#include "aufzeichnung/nullpunkt.h"
#include "aufzeichnung/spur.h"
#include "src/umFish40_funktionen.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace akte {

class mitschrift {
public:
  // The vendor's eight functions by number, in the list's order.
#define AKTE_NUMMER(name, ...) f_##name,
  enum funktion { UMFISH40_FUNKTIONEN(AKTE_NUMMER) funktionen };
#undef AKTE_NUMMER
  static const char *funktionsname(funktion f);
  // What a call does: opens the box, switches (its first numbers being the
  // output, motor or mask, then the value and level) or reads (its number,
  // traced under its kind).
  enum class rolle { oeffnen, schalten, lesen };
  static constexpr rolle rolle_von(funktion f) {
    return f == f_rbOpenInterfaceUSB                                         ? rolle::oeffnen
           : f == f_rbSetLampEx || f == f_rbSetMotors || f == f_rbSetMotorEx ? rolle::schalten
                                                                             : rolle::lesen;
  }
  static constexpr art lesart(funktion f) {
    return f == f_rbGetInput     ? art::eingang
           : f == f_rbGetAnalog  ? art::analog
           : f == f_rbGetVoltage ? art::spannung
                                 : art::ausgangzustand;
  }

  // Reads of numbers 0 to 31 are told apart; others are only counted.
  static constexpr int32_t lesbar = 32;
  // Changes held for the writer at most: a starved writer does not make
  // the host's calls run out of memory. More are counted as lost.
  static constexpr size_t ereignisse_platz = 1 << 20;

  struct ereignis {
    int64_t us;
    art a;
    uint8_t nummer;
    int32_t wert;
  };

  // `uhr` gives microseconds of a monotonic clock; it is read only when
  // something changed.
  explicit mitschrift(int64_t (*uhr)()) : uhr_(uhr) {
    ereignisse_.reserve(4096);
  }

  // An open with what it answered; the first successful one gives every
  // output and motor its first value.
  void geoeffnet(uint32_t handle, uint32_t fehlschlag);
  // rbSetLampEx (nummer = output), rbSetMotorEx (nummer = motor) or
  // rbSetMotors (nummer = mask), as the vendor got it.
  void geschaltet(funktion f, uint32_t handle, int32_t nummer, int32_t wert, int32_t stufe);
  // A read and what it answered: a line when it differs from the last one
  // of the same kind and number. Here, as the host's polls come this way
  // millions of times a second.
  void gelesen(funktion f, art a, uint32_t handle, int32_t nummer, int32_t wert) {
    ++aufrufe_[f];
    if (!offen_ || handle != handle_ || nummer < 0 || nummer >= lesbar) {
      ++unbeachtet_;
      return;
    }
    // Any read starts the clock, rbGetMotors too, as in the simulated box:
    // a replay then starts where the recording did.
    uhr_starten();
    letzter &l = gelesen_[static_cast<size_t>(a)][static_cast<size_t>(nummer)];
    if (l.bekannt && l.wert == wert) {
      ++gleich_[f];
      return;
    }
    l = {true, wert};
    eintragen(a, nummer, wert, jetzt_us());
  }
  // A call that reached no vendor's library.
  void gezaehlt(funktion f) {
    ++aufrufe_[f];
  }
  // Something could not be recorded (out of memory).
  void verloren() {
    ++verloren_;
  }
  // The recording could not be opened: nothing is kept from now on.
  void verwerfen() {
    verworfen_ = true;
    ereignisse_ = {};
  }
  // The changes since the last time, for the writer.
  void abholen(std::vector<ereignis> &stapel) {
    stapel.swap(ereignisse_);
  }

  // What the report says of the run now: the recorder's own part (without
  // the two counts the writer keeps), the run's time, and its message.
  bericht::mitschnitt_angaben angaben(const std::string &hersteller) const;
  int64_t laufzeit_ms() const {
    return null_.seit(uhr_()) / 1000;
  }
  std::string meldung(const std::string &vendor_meldung) const;

private:
  // A plain test on the hot path: the clock is read once, for the zero.
  void uhr_starten() {
    if (!null_.gesetzt())
      null_.vom_host(uhr_());
  }
  int64_t jetzt_us() const {
    return null_.seit(uhr_());
  }
  void eintragen(art a, int nummer, int32_t wert, int64_t us);
  bool annehmen(funktion f, uint32_t handle, bool gueltig);
  void ausgaenge_melden();

  struct letzter {
    bool bekannt = false;
    int32_t wert = 0;
  };

  int64_t (*uhr_)();
  nullpunkt null_; // in microseconds
  bool offen_ = false, verworfen_ = false;
  uint32_t handle_ = 0, letztes_oeffnen_ = 0;
  ausgaenge box_;
  std::array<int32_t, SIM_AUSGAENGE> ausgang_{};
  std::array<int32_t, SIM_MOTOREN> motor_{};
  std::array<std::array<letzter, lesbar>, arten> gelesen_{};
  std::array<uint64_t, funktionen> aufrufe_{}, gleich_{};
  uint64_t unbeachtet_ = 0, verloren_ = 0;
  std::vector<ereignis> ereignisse_;
};

// The lines of a batch in the trace's form (microseconds as a fraction),
// counted by kind into `geschrieben`.
void zeilen_anhaengen(const std::vector<mitschrift::ereignis> &stapel, std::string &aus,
                      std::array<uint64_t, arten> &geschrieben);

} // namespace akte
