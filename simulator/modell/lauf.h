// A model in motion. Time is an input (milliseconds from any clock), and
// every position is computed from the time since the last change, so the
// model needs no thread of its own and does not drift: the engine walks from
// event to event (a switch flips, an axis reaches its stop, a button is
// pressed, a rule's time runs out) up to the time it is asked about.
#pragma once

#include "aufzeichnung/bericht.h"
#include "aufzeichnung/spur.h"
#include "basis/box_groessen.h"
#include "simulator/modell/modell.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace modell {

// The kinds of signal a run reports, as the record library has them: the
// engine's enum, the trace's names, the report's counts and the diagram's
// lanes expand this.
//   X(name in the trace, word for a lane the model does not name)
#define MODELL_SIGNALARTEN(X) AKTE_MODELLARTEN(X)

#define MODELL_SIGNALART(name, wort) name,
enum class signalart { MODELL_SIGNALARTEN(MODELL_SIGNALART) };
#undef MODELL_SIGNALART
// Counted by the enumerators of a plain enum of the same list.
namespace signalarten_zaehlung {
#define MODELL_SIGNALART(name, wort) name,
enum { MODELL_SIGNALARTEN(MODELL_SIGNALART) anzahl };
#undef MODELL_SIGNALART
} // namespace signalarten_zaehlung
constexpr size_t signalarten = signalarten_zaehlung::anzahl;

// A box signal as the window and the diagram name it: A3, M1, E2, AX.
inline std::string kurzname(signalart art, int nummer) {
  return akte::kurzname(static_cast<akte::art>(art), nummer);
}

// Axis positions go to the trace in hundredths of the model's unit: what a
// millisecond's motion can mean, without the arithmetic's noise (6e-15 for 0).
constexpr double achse_aufloesung = 0.01;

// Hears every change, with its time in milliseconds since the first start.
// `name` is the number of a box signal, the name of an axis or rule.
class beobachter {
public:
  virtual void aenderung(int64_t zeit, signalart art, std::string_view name, double wert) = 0;
  virtual void fehler(int64_t zeit, const regel &r) = 0;

protected:
  ~beobachter() = default;
};

struct fehler_eintrag {
  int64_t zeit;
  int regel;
  bool operator==(const fehler_eintrag &) const = default;
};

// What the box shows: outputs (on, level) and the raw inputs a person or a
// test set.
struct box_werte {
  std::array<int32_t, SIM_AUSGAENGE> an{}, stufe{};
  std::array<int32_t, SIM_EINGAENGE> eingang{};
  std::array<int32_t, SIM_ANALOGE> analog{};
};

class lauf {
public:
  // Faults kept: the first ones for the report, the latest ones for the
  // window; those between are counted only.
  static constexpr size_t fehler_platz = akte::fehler_platz;

  explicit lauf(beschreibung m, beobachter *b = nullptr);

  // Everything back to the model's start at time t; the timeline counts from t.
  void starten(int64_t t);
  // Times in the record count from `ursprung`, as for a model that ran
  // before this one; call before starten.
  void ursprung_uebernehmen(int64_t ursprung) {
    ursprung_ = jetzt_ = ursprung;
    gestartet_ = true;
  }
  // Moves the model to time t (never backwards), then takes the box's values.
  void abgleichen(int64_t t, const box_werte &box);
  // Moves the model to time t without a change at the box.
  void fortschreiten(int64_t t);

  // The inputs as the box reports them: the model's where it drives them.
  int32_t eingang(int nummer) const { return eingang_[static_cast<size_t>(nummer - 1)]; }
  int32_t analog(int nummer) const { return analog_[static_cast<size_t>(nummer - 1)]; }
  double position(size_t achse) const { return position_bei(achse, jetzt_); }

  int64_t jetzt() const { return jetzt_ - ursprung_; }
  uint64_t fehler_anzahl() const { return fehler_anzahl_; }
  const std::vector<fehler_eintrag> &fehlerliste() const { return fehler_; }
  const std::deque<fehler_eintrag> &neueste_fehler() const { return neueste_; }
  const beschreibung &modell() const { return m_; }

private:
  struct achsstand {
    double p0 = 0, v = 0; // position at t0, units per millisecond
    int64_t t0 = 0;
    // What v follows from: the motor's direction (1, -1) and level (1 to 7),
    // both 0 while it stands.
    int richtung = 0;
    int32_t stufe = 0;
    bool am_anschlag = false;
    std::vector<double> schwellen; // positions where something changes, sorted
    // The axis as the trace last had it: from there it moves on at `gemeldet_v`.
    bool gemeldet = false;
    int64_t gemeldet_zeit = 0;
    double gemeldet_wert = 0, gemeldet_v = 0;
  };
  struct schalterstand {
    bool roh = false;
    int64_t prell_start = 0, prell_ende = 0;
  };
  struct regelstand {
    bool bedingung = false, gemeldet = false, wartet = false, ausloeser = false;
    int64_t seit = 0;
  };

  double position_bei(size_t achse, int64_t t) const;
  // Units per millisecond the axis moves at position p: 0 against a stop.
  double wirksam(size_t achse, double p) const;
  // The axis into the trace at time t, if its motion changed since its last line.
  void achse_melden(size_t achse, int64_t t);
  bool beleuchtet(const licht &l, int64_t t) const;
  int64_t naechstes_ereignis() const;
  void auswerten(int64_t t);
  void melden(signalart art, int nummer, int32_t &alt, int32_t neu);
  void aufzeichnen(signalart art, std::string_view name, double wert) const;

  beschreibung m_;
  beobachter *b_;
  int64_t ursprung_ = 0, basis_ = 0, jetzt_ = 0;
  bool gestartet_ = false;
  box_werte box_{};
  std::array<int32_t, SIM_EINGAENGE> eingang_{};
  std::array<int32_t, SIM_AUSGAENGE> ausgang_{};
  std::array<int32_t, SIM_MOTOREN> motor_{};
  std::array<int32_t, SIM_ANALOGE> analog_{};
  std::vector<achsstand> achsen_;
  std::vector<schalterstand> schalter_;
  std::vector<regelstand> regeln_;
  std::vector<fehler_eintrag> fehler_;
  std::deque<fehler_eintrag> neueste_;
  uint64_t fehler_anzahl_ = 0;
};

} // namespace modell
