// The trace of a run (CSV, zeit_ms,art,name,wert): the one place that writes
// and reads it. The simulator writes whole milliseconds, the recorder of the
// real box microseconds as a fraction ("12.345"); both read back alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace akte {

// The kinds of a trace's lines: the model's signals (as the report counts
// them), then the two reads only a recording of the real box holds.
#define AKTE_MODELLARTEN(X)                                                                        \
  X(ausgang, "Ausgang")                                                                            \
  X(motor, "Motor")                                                                                \
  X(eingang, "Eingang")                                                                            \
  X(analog, "Analog")                                                                              \
  X(achse, "Achse")                                                                                \
  X(fehler, "Fehler")
#define AKTE_ARTEN(X)                                                                              \
  AKTE_MODELLARTEN(X)                                                                              \
  X(spannung, "Spannung")                                                                          \
  X(ausgangzustand, "Ausgangzustand")

#define AKTE_ART(name, wort) name,
enum class art : uint8_t { AKTE_ARTEN(AKTE_ART) };
#undef AKTE_ART
#define AKTE_ART(name, wort) +1
constexpr size_t arten = 0 AKTE_ARTEN(AKTE_ART);
constexpr size_t modellarten = 0 AKTE_MODELLARTEN(AKTE_ART);
#undef AKTE_ART

// The name a trace writes; false from `art_lesen` for any other text.
const char *artname(art a);
bool art_lesen(std::string_view text, art &a);
// A box signal as the window and the diagram name it: A3, M1, E2, AX.
std::string kurzname(art a, int nummer);
// A kind of the box (outputs, motors, inputs, reads): named by a number 0
// to 31 and holding whole numbers, one series per number in time order.
bool ist_box_art(art a);

constexpr const char *spur_kopf = "zeit_ms,art,name,wert";
// Times beyond a year are no run's: they are refused, so that nothing that
// computes with them can overflow.
constexpr int64_t spur_zeit_max_us = 366LL * 24 * 3600 * 1000 * 1000;
// A line longer than this is no line of a trace.
constexpr size_t spur_zeile_max = 4096;

// Appends one line: the time in ms, with a fraction when it has one (or
// always, for `mikro`, as a recording of the real box writes it).
void zeile_anhaengen(std::string &aus, int64_t us, art a, std::string_view name, double wert,
                     bool mikro = false);

// A field as RFC 4180 writes it: quoted when it holds a comma, a quote or a
// line end, quotes doubled.
std::string csv_feld(std::string_view text);

struct eintrag {
  int64_t us = 0;
  art a = art::ausgang;
  std::string name;
  int nummer = -1; // the name as a number, for the box's kinds
  double wert = 0;
};

// Reads a trace strictly, line by line, holding one line at a time: the
// header first, then exactly four fields per line, a known kind, a time
// from 0 to a year with at most three decimals, a finite value (a whole
// number for the box's kinds, named by a number 0 to 31, in time order per
// series). Empty lines are skipped. Any other line stops the reading with a
// German message that names the file and the line.
class leser {
public:
  // `f` stays the caller's; `name` is the file's name for messages.
  leser(std::FILE *f, std::string name);
  // The next line; false at the end or at a fault (then `fehler()` is set).
  bool naechster(eintrag &e);
  const std::string &fehler() const { return fehler_; }
  // Back to the first line.
  void zurueck();

private:
  int zeichen();
  bool zeile_lesen(std::string &zeile);
  bool scheitern(const std::string &was);

  std::FILE *f_;
  std::string name_, fehler_, zeile_;
  char puffer_[1 << 14];
  size_t voll_ = 0, pos_ = 0;
  int nummer_ = 0;
  bool kopf_ = false;
  int64_t zuletzt_[arten][32];
};

// Opens and reads a whole trace, each line to `nimm`; false with `meldung`
// when it cannot be opened or a line is wrong.
template <class F> bool lesen(std::FILE *f, const std::string &name, std::string &meldung, F nimm) {
  leser l(f, name);
  eintrag e;
  while (l.naechster(e))
    nimm(e);
  meldung = l.fehler();
  return meldung.empty();
}

} // namespace akte
