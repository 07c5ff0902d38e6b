// Trace, report and diagram of a headless run (see aufzeichnung.h).
#include "aufzeichnung/aufzeichnung.h"

#include "aufzeichnung/datei.h"

#include <algorithm>
#include <cinttypes>
#include <ctime>

namespace akte {
namespace {

// The stem's extension, lower case ASCII: ".json", ".csv", or "".
std::string endung(const std::string &pfad, size_t punkt) {
  std::string e = punkt == std::string::npos ? "" : pfad.substr(punkt);
  for (char &c : e)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return e;
}

// Opens one of the files a run holds; false (with `meldung`) when it cannot.
bool halten(const std::string &pfad, const char *was, std::FILE *&f, std::string &meldung) {
  bool belegt = false;
  f = allein_schreiben(pfad, belegt);
  if (f)
    return true;
  meldung = std::string(was) + " " + pfad +
            (belegt ? " wird schon geschrieben (von einem anderen Lauf oder Programm); dieser "
                      "Lauf zeichnet nichts auf"
                    : " lässt sich nicht anlegen");
  return false;
}

// The local time now, as ISO 8601 writes it without a zone: "2026-12-11T15:42:07".
std::string ortszeit() {
  const std::time_t jetzt = std::time(nullptr);
  std::tm t{};
#ifdef _WIN32
  localtime_s(&t, &jetzt);
#else
  localtime_r(&jetzt, &t);
#endif
  char text[32];
  return std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &t) ? text : "";
}

} // namespace

bool aufzeichnung::oeffnen(const std::string &bericht, std::string &meldung) {
  bericht_ = bericht;
  meldung.clear();
  const size_t trenner = bericht.find_last_of("/\\");
  const bool ordnername = trenner != std::string::npos && trenner + 1 == bericht.size();
  if (ordnername || ist_ordner(bericht)) {
    const char t = trenner != std::string::npos ? bericht[trenner] : '/';
    meldung = "Bericht " + bericht + " ist ein Ordner; es braucht den Namen einer Datei, z. B. " +
              bericht + (ordnername ? "" : std::string(1, t)) + "lauf.json";
    return false;
  }
  size_t punkt = bericht.rfind('.');
  if (punkt != std::string::npos && trenner != std::string::npos && punkt < trenner)
    punkt = std::string::npos;
  const std::string stamm = bericht.substr(0, punkt), art = endung(bericht, punkt);
  // Nothing written may land on its own report.
  spur_ = stamm + (art == ".csv" ? ".spur.csv" : ".csv");
  diagramm_ = stamm + (art == ".svg" ? ".zeitdiagramm.svg" : ".svg");
  if (!halten(bericht_, "der Bericht", bericht_datei_, meldung))
    return false;
  if (!halten(spur_, "die Spur", datei_, meldung) || !leeren(bericht_datei_) || !leeren(datei_)) {
    if (meldung.empty())
      meldung = "Bericht: " + bericht_ + " lässt sich nicht leeren";
    std::fclose(bericht_datei_);
    bericht_datei_ = nullptr;
    if (datei_)
      std::fclose(datei_);
    datei_ = nullptr;
    return false;
  }
  if (art == ".csv" || art == ".svg")
    meldung = "Bericht " + bericht_ + ": die Spur geht nach " + spur_ + ", das Zeitdiagramm nach " +
              diagramm_;
  beginn_ = ortszeit();
  std::setvbuf(datei_, puffer_, _IOFBF, sizeof puffer_);
  // The header on disk at once: the trace is known as this run's.
  std::fputs(spur_kopf, datei_);
  std::fputc('\n', datei_);
  std::fflush(datei_);
  return true;
}

bool aufzeichnung::oeffnen_neu(const std::string &stamm, std::string &meldung) {
  for (int i = 1; i < 1000; ++i) {
    const std::string name = i > 1 ? stamm + "_" + std::to_string(i) : stamm;
    if (gibt_es(name + ".json") || gibt_es(name + ".csv") || gibt_es(name + ".svg"))
      continue;
    if (oeffnen(name + ".json", meldung))
      return true;
    // Another run of the same second took the name first.
    if (!gibt_es(name + ".json"))
      return false;
  }
  meldung = "neben " + stamm + ".json sind alle Namen bis _999 vergeben";
  return false;
}

aufzeichnung::~aufzeichnung() {
  if (datei_)
    std::fclose(datei_);
  if (bericht_datei_)
    std::fclose(bericht_datei_);
}

void aufzeichnung::aenderung(int64_t zeit, art a, std::string_view name, double wert) {
  if (static_cast<size_t>(a) < anzahl_.size())
    ++anzahl_[static_cast<size_t>(a)];
  if (!datei_)
    return;
  zeile_.clear();
  zeile_anhaengen(zeile_, zeit * 1000, a, name, wert);
  std::fwrite(zeile_.data(), 1, zeile_.size(), datei_);
}

bericht aufzeichnung::bauen(const modell_ende &m, int64_t laufzeit_ms,
                            const std::string &meldung) const {
  bericht b;
  b.modell = m.teile.modell;
  b.titel = m.titel;
  b.meldung = meldung;
  if (!schreibfehler_.empty())
    b.meldung += (b.meldung.empty() ? "" : "; ") + schreibfehler_;
  b.laufzeit_ms = laufzeit_ms;
  b.fehler_anzahl = m.fehler_anzahl + weitere_anzahl_;
  b.fehler = m.fehler;
  b.fehler.insert(b.fehler.end(), weitere_fehler_.begin(), weitere_fehler_.end());
  std::stable_sort(b.fehler.begin(), b.fehler.end(),
                   [](const auto &x, const auto &y) { return x.zeit_ms < y.zeit_ms; });
  for (size_t i = 0; i < anzahl_.size(); ++i)
    b.anzahl[i] = {artname(static_cast<art>(i)), anzahl_[i]};
  b.beginn = beginn_;
  b.parser_meldung = parser_meldung_;
  b.vor_null_ms = vor_null_ms_;
  b.mitschnitt = mitschnitt_;
  b.aufnahme = aufnahme_;
  b.spur = spur_;
  return b;
}

void aufzeichnung::bericht_freigeben() {
  if (bericht_datei_)
    std::fclose(bericht_datei_);
  bericht_datei_ = nullptr;
}

std::string aufzeichnung::zwischenbericht(int64_t laufzeit_ms, const std::string &meldung) {
  std::string fehler;
  if (!ersetzen(bericht_, json(bauen(modell_ende{}, laufzeit_ms, meldung)), fehler))
    return fehler;
  return "";
}

std::string aufzeichnung::abschliessen(const modell_ende &m, int64_t laufzeit_ms,
                                       const std::string &meldung) {
  if (!datei_)
    return "";
  std::string probleme;
  auto problem = [&](const std::string &text) {
    probleme += (probleme.empty() ? "" : "; ") + text;
  };
  const bool spur_ganz = !std::ferror(datei_);
  if (std::fclose(datei_) != 0 || !spur_ganz)
    problem("Bericht: die Spur " + spur_ + " ließ sich nicht ganz schreiben");
  datei_ = nullptr;

  std::string diagramm_meldung;
  bericht b = bauen(m, laufzeit_ms, meldung);
  const bool diagramm =
      zeitdiagramm(spur_, diagramm_, diagramm_meldung,
                   modelle_ == 1 && !m.teile.modell.empty() ? &m.teile : nullptr, &b);
  if (!diagramm)
    problem(diagramm_meldung);

  if (diagramm)
    b.zeitdiagramm = diagramm_;
  const std::string text = json(b);
  std::string fehler;
  if (!bericht_datei_) {
    if (!ersetzen(bericht_, text, fehler))
      problem(fehler);
    return probleme;
  }
  std::FILE *f = bericht_datei_;
  bericht_datei_ = nullptr;
  const bool bericht_ganz = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (std::fclose(f) != 0 || !bericht_ganz)
    problem("Bericht: " + bericht_ + " ließ sich nicht ganz schreiben");
  return probleme;
}

void aufzeichnung::fehler_melden(int64_t zeit, const std::string &regel, const std::string &text) {
  aenderung(zeit, art::fehler, regel, 1);
  // The first ones are kept for the report, as the model's faults are.
  if (weitere_fehler_.size() < fehler_platz)
    weitere_fehler_.push_back({zeit, regel, text});
  ++weitere_anzahl_;
}

bool aufzeichnung::schreiben(std::string_view zeilen) {
  if (!schreibfehler_.empty())
    return false;
  if (datei_ && std::fwrite(zeilen.data(), 1, zeilen.size(), datei_) == zeilen.size() &&
      std::fflush(datei_) == 0)
    return true;
  schreibfehler_ = "die Spur " + spur_ +
                   " ließ sich nicht ganz schreiben (ist der Datenträger voll?); sie endet vorher";
  return false;
}

} // namespace akte
