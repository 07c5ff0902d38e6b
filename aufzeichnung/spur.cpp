// The trace's writer and strict reader (see spur.h).
#include "aufzeichnung/spur.h"

#include "basis/box_groessen.h"
#include "basis/csv.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace akte {
namespace {

#define AKTE_ART(name, wort) #name,
constexpr const char *artnamen[] = {AKTE_ARTEN(AKTE_ART)};
#undef AKTE_ART

// A time "123" or "123.4" to "123.456" in ms, as µs; false for anything else.
bool zeit_lesen(std::string_view text, int64_t &us) {
  const size_t punkt = text.find('.');
  const std::string_view ganz = text.substr(0, punkt);
  const std::string_view bruch = punkt == std::string_view::npos ? "" : text.substr(punkt + 1);
  if (ganz.empty() || ganz.size() > 12 || (punkt != std::string_view::npos && bruch.empty()) ||
      bruch.size() > 3)
    return false;
  int64_t ms = 0, teil = 0;
  for (char c : ganz) {
    if (c < '0' || c > '9')
      return false;
    ms = ms * 10 + (c - '0');
  }
  for (size_t i = 0; i < 3; ++i) {
    const char c = i < bruch.size() ? bruch[i] : '0';
    if (c < '0' || c > '9')
      return false;
    teil = teil * 10 + (c - '0');
  }
  us = ms * 1000 + teil;
  return us <= spur_zeit_max_us;
}

bool zahl_lesen(const std::string &text, double &wert) {
  if (text.empty() || text.find_first_of(" \t\r\n") != std::string::npos)
    return false;
  char *ende = nullptr;
  wert = std::strtod(text.c_str(), &ende);
  return *ende == '\0' && std::isfinite(wert);
}

} // namespace

const char *artname(art a) {
  return artnamen[static_cast<size_t>(a)];
}

bool art_lesen(std::string_view text, art &a) {
  for (size_t i = 0; i < arten; ++i)
    if (text == artnamen[i]) {
      a = static_cast<art>(i);
      return true;
    }
  return false;
}

std::string kurzname(art a, int nummer) {
  // Built by appending: GCC 12 warns wrongly about "A" + std::to_string(n).
  std::string name(1, a == art::motor ? 'M' : a == art::eingang ? 'E' : 'A');
  if (a == art::analog) {
    // The box calls its two analog inputs AX and AY.
    static_assert(SIM_ANALOGE == 2);
    name += static_cast<char>('X' + nummer - 1);
  } else {
    name += std::to_string(nummer);
  }
  return name;
}

bool ist_box_art(art a) {
  return a != art::achse && a != art::fehler;
}

void zeile_anhaengen(std::string &aus, int64_t us, art a, std::string_view name, double wert,
                     bool mikro) {
  char zahl[48];
  const int64_t ms = us / 1000;
  const auto teil = static_cast<int>(us % 1000);
  int n = teil != 0 || mikro ? std::snprintf(zahl, sizeof zahl, "%" PRId64 ".%03d,", ms, teil)
                             : std::snprintf(zahl, sizeof zahl, "%" PRId64 ",", ms);
  aus.append(zahl, static_cast<size_t>(n));
  aus += artname(a);
  aus += ',';
  if (name.find_first_of(",\"\r\n") == std::string_view::npos)
    aus += name;
  else
    aus += csv_feld(name);
  // Whole numbers, the box's values, without the cost of a float's format.
  if (wert == std::trunc(wert) && std::fabs(wert) < 1e15)
    n = std::snprintf(zahl, sizeof zahl, ",%" PRId64 "\n", static_cast<int64_t>(wert));
  else
    n = std::snprintf(zahl, sizeof zahl, ",%.10g\n", wert);
  aus.append(zahl, static_cast<size_t>(n));
}

std::string csv_feld(std::string_view text) {
  return ::csv_feld(text, ',');
}

leser::leser(std::FILE *f, std::string name) : f_(f), name_(std::move(name)) {
  zurueck();
}

void leser::zurueck() {
  std::rewind(f_);
  voll_ = pos_ = 0;
  nummer_ = 0;
  kopf_ = false;
  fehler_.clear();
  for (auto &reihe : zuletzt_)
    for (int64_t &t : reihe)
      t = -1;
}

int leser::zeichen() {
  if (pos_ == voll_) {
    voll_ = std::fread(puffer_, 1, sizeof puffer_, f_);
    pos_ = 0;
    if (voll_ == 0)
      return EOF;
  }
  return static_cast<unsigned char>(puffer_[pos_++]);
}

// One physical line without its line end; a quoted field cannot hold a
// line end here, as no writer of a trace puts one there.
bool leser::zeile_lesen(std::string &zeile) {
  zeile.clear();
  int c = zeichen();
  if (c == EOF)
    return false;
  ++nummer_;
  for (; c != EOF && c != '\n'; c = zeichen()) {
    if (zeile.size() == spur_zeile_max) {
      // The rest is skipped unread, a line of its own would mislead.
      while (c != EOF && c != '\n')
        c = zeichen();
      zeile.assign(spur_zeile_max + 1, ' ');
      return true;
    }
    zeile += static_cast<char>(c);
  }
  if (!zeile.empty() && zeile.back() == '\r')
    zeile.pop_back();
  return true;
}

bool leser::scheitern(const std::string &was) {
  fehler_ =
      "Spur " + name_ + (nummer_ > 0 ? ", Zeile " + std::to_string(nummer_) : "") + ": " + was;
  return false;
}

bool leser::naechster(eintrag &e) {
  if (!fehler_.empty())
    return false;
  for (;;) {
    if (!zeile_lesen(zeile_)) {
      if (std::ferror(f_))
        return scheitern("die Datei lässt sich nicht lesen");
      if (!kopf_)
        return scheitern("die Datei ist leer; eine Spur beginnt mit der Zeile " +
                         std::string(spur_kopf));
      return false;
    }
    if (!kopf_) {
      // A byte order mark, as some editors put it first.
      if (zeile_.rfind("\xEF\xBB\xBF", 0) == 0)
        zeile_.erase(0, 3);
      if (zeile_ != spur_kopf)
        return scheitern("keine Spur (die erste Zeile ist nicht " + std::string(spur_kopf) + ")");
      kopf_ = true;
      continue;
    }
    if (zeile_.empty())
      continue;
    if (zeile_.size() > spur_zeile_max)
      return scheitern("die Zeile ist länger als " + std::to_string(spur_zeile_max) + " Zeichen");
    break;
  }
  // Four fields; only the name may be quoted (a rule's or an axis's name).
  std::string felder[4];
  size_t n = 0;
  for (size_t i = 0; i <= zeile_.size() && n < 5;) {
    std::string feld;
    if (i < zeile_.size() && zeile_[i] == '"') {
      for (++i;; ++i) {
        if (i >= zeile_.size())
          return scheitern("ein Anführungszeichen schließt nicht");
        if (zeile_[i] == '"') {
          if (i + 1 < zeile_.size() && zeile_[i + 1] == '"') {
            feld += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        feld += zeile_[i];
      }
      if (i < zeile_.size() && zeile_[i] != ',')
        return scheitern("nach dem Anführungszeichen muss ein Komma stehen");
    } else {
      const size_t komma = std::min(zeile_.find(',', i), zeile_.size());
      feld = zeile_.substr(i, komma - i);
      i = komma;
    }
    if (n < 4)
      felder[n] = std::move(feld);
    ++n;
    ++i;
  }
  if (n != 4)
    return scheitern("erwartet vier Felder zeit_ms,art,name,wert, gefunden " + std::to_string(n));
  if (!zeit_lesen(felder[0], e.us))
    return scheitern("die Zeit " + felder[0] +
                     " ist keine Zahl von Millisekunden (0 bis ein Jahr, höchstens drei "
                     "Nachkommastellen)");
  if (!art_lesen(felder[1], e.a))
    return scheitern("unbekannte Art " + felder[1] +
                     " (bekannt: ausgang, motor, eingang, analog, achse, fehler, spannung, "
                     "ausgangzustand)");
  if (!zahl_lesen(felder[3], e.wert))
    return scheitern("der Wert " + felder[3] + " ist keine Zahl");
  e.name = std::move(felder[2]);
  e.nummer = -1;
  if (ist_box_art(e.a)) {
    char *ende = nullptr;
    const long nummer = std::strtol(e.name.c_str(), &ende, 10);
    if (e.name.empty() || *ende || e.name[0] < '0' || e.name[0] > '9' || nummer > 31)
      return scheitern("der Name " + e.name + " ist keine Nummer von 0 bis 31");
    if (e.wert != std::trunc(e.wert) || e.wert < INT32_MIN || e.wert > INT32_MAX)
      return scheitern("der Wert " + felder[3] + " ist keine ganze Zahl");
    e.nummer = static_cast<int>(nummer);
    int64_t &zuletzt = zuletzt_[static_cast<size_t>(e.a)][static_cast<size_t>(nummer)];
    if (e.us < zuletzt)
      return scheitern("die Zeit " + felder[0] + " liegt vor der letzten von " + felder[1] + " " +
                       e.name + "; die Zeilen sind nicht in zeitlicher Folge");
    zuletzt = e.us;
  }
  return true;
}

} // namespace akte
