// The timing diagram: a trace (CSV of zeit_ms,art,name,wert) drawn as SVG,
// one lane per output, motor, input, analog value and axis, faults marked in
// red. Memory stays bounded: each lane keeps at most one column per pixel.
//
// With the parts of the model that ran, lanes are named by them ("warnlampe
// (A3)"), a lamp is drawn as a lamp and only the motors its axes use as
// motors; lanes that never change and belong to no part are folded into one
// line.
#pragma once

#include "aufzeichnung/spur.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace akte {

// What the model that ran says of the lanes, told by the simulator.
struct teile {
  std::string modell; // its name
  struct teil {
    art a;      // ausgang, motor, eingang or analog
    int nummer; // from 1
    std::string name;
    bool lampe = false; // an output that lights a lamp
  };
  // A later one names its signal over an earlier one.
  std::vector<teil> signale;
  // Each rule's name and text, for faults the report does not describe.
  std::vector<std::pair<std::string, std::string>> regeln;
};

// What the report knows of a run beyond its trace: the diagram's title line,
// the faults' texts, and for a replay the recording it was compared with.
struct diagramm_kopf {
  std::string modell, titel;  // the model's name and title; empty for a recording
  std::string beginn;         // local time of the start, "2026-12-11T15:42:07", or empty
  int64_t laufzeit_ms = -1;   // -1: the trace's last time
  int64_t fehler_anzahl = -1; // -1: the trace's fault lines
  struct fehler_text {
    int64_t zeit;
    std::string regel, text;
  };
  std::vector<fehler_text> fehler;
  // A replay: the recording's trace, drawn faintly behind the outputs, and
  // where its zero fell on the run's timeline.
  std::string aufnahme;
  int64_t aufnahme_null_ms = 0;
};

// Reads the trace twice (time range, then the lanes). False, with a message,
// when it cannot be read or written. `m` may be null: lanes then go by number.
// Without `kopf` the title names the trace and counts its faults.
bool zeitdiagramm(const std::string &spur, const std::string &svg, std::string &meldung,
                  const teile *m = nullptr, const diagramm_kopf *kopf = nullptr);

// The report beside a trace (lauf.json beside lauf.csv), when it is the
// report of that trace; false when there is none or it cannot be read.
bool kopf_lesen(const std::string &spur, diagramm_kopf &kopf);

} // namespace akte
