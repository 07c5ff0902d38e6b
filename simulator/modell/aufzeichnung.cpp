// Trace, report and diagram of a headless run (see aufzeichnung.h).
#include "simulator/modell/aufzeichnung.h"

#include "aufzeichnung/bericht.h"
#include "aufzeichnung/datei.h"
#include "aufzeichnung/spur.h"
#include "simulator/modell/zeitdiagramm.h"

#include <algorithm>
#include <cinttypes>
#include <ctime>

namespace modell {
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

const char *signalname(signalart art) {
  return akte::artname(static_cast<akte::art>(art));
}

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
  std::fputs(akte::spur_kopf, datei_);
  std::fputc('\n', datei_);
  std::fflush(datei_);
  return true;
}

aufzeichnung::~aufzeichnung() {
  if (datei_)
    std::fclose(datei_);
  if (bericht_datei_)
    std::fclose(bericht_datei_);
}

void aufzeichnung::aenderung(int64_t zeit, signalart art, std::string_view name, double wert) {
  ++anzahl_[static_cast<size_t>(art)];
  if (!datei_)
    return;
  zeile_.clear();
  akte::zeile_anhaengen(zeile_, zeit * 1000, static_cast<akte::art>(art), name, wert);
  std::fwrite(zeile_.data(), 1, zeile_.size(), datei_);
}

void aufzeichnung::fehler(int64_t zeit, const regel &r) {
  aenderung(zeit, signalart::fehler, r.name, 1);
}

akte::bericht aufzeichnung::bauen(const lauf &l, int64_t laufzeit_ms,
                                  const std::string &meldung) const {
  const beschreibung &m = l.modell();
  akte::bericht b;
  b.modell = m.name;
  b.titel = m.titel;
  b.meldung = meldung;
  b.laufzeit_ms = laufzeit_ms;
  b.fehler_anzahl = l.fehler_anzahl() + weitere_anzahl_;
  for (const fehler_eintrag &e : l.fehlerliste()) {
    const regel &r = m.regeln[static_cast<size_t>(e.regel)];
    b.fehler.push_back({e.zeit, r.name, r.text});
  }
  for (const weiterer_fehler &e : weitere_fehler_)
    b.fehler.push_back({e.zeit, e.regel, e.text});
  std::stable_sort(b.fehler.begin(), b.fehler.end(),
                   [](const auto &x, const auto &y) { return x.zeit_ms < y.zeit_ms; });
  for (size_t i = 0; i < anzahl_.size(); ++i)
    b.anzahl[i] = {signalname(static_cast<signalart>(i)), anzahl_[i]};
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
  if (!akte::ersetzen(bericht_, akte::json(bauen(lauf(beschreibung{}), laufzeit_ms, meldung)),
                      fehler))
    return fehler;
  return "";
}

std::string aufzeichnung::abschliessen(const lauf &l, int64_t laufzeit_ms,
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
  const beschreibung &m = l.modell();
  diagramm_kopf kopf{m.name,
                     m.titel,
                     beginn_,
                     laufzeit_ms,
                     static_cast<int64_t>(l.fehler_anzahl() + weitere_anzahl_),
                     {},
                     aufnahme_ ? aufnahme_->spur : "",
                     aufnahme_ ? aufnahme_->null_ms : 0};
  for (const fehler_eintrag &e : l.fehlerliste()) {
    const regel &r = m.regeln[static_cast<size_t>(e.regel)];
    kopf.fehler.push_back({e.zeit, r.name, r.text});
  }
  for (const weiterer_fehler &e : weitere_fehler_)
    kopf.fehler.push_back({e.zeit, e.regel, e.text});
  const bool diagramm = zeitdiagramm(spur_, diagramm_, diagramm_meldung,
                                     modelle_ == 1 && !m.name.empty() ? &m : nullptr, &kopf);
  if (!diagramm)
    problem(diagramm_meldung);

  akte::bericht b = bauen(l, laufzeit_ms, meldung);
  if (diagramm)
    b.zeitdiagramm = diagramm_;
  const std::string text = akte::json(b);
  std::string fehler;
  if (!bericht_datei_) {
    if (!akte::ersetzen(bericht_, text, fehler))
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

std::string aufzeichnung::abschliessen(int64_t laufzeit_ms, const std::string &meldung) {
  return abschliessen(lauf(beschreibung{}), laufzeit_ms, meldung);
}

void aufzeichnung::fehler_melden(int64_t zeit, const std::string &regel, const std::string &text) {
  aenderung(zeit, signalart::fehler, regel, 1);
  // The first ones are kept for the report, as the model's faults are.
  if (weitere_fehler_.size() < lauf::fehler_platz)
    weitere_fehler_.push_back({zeit, regel, text});
  ++weitere_anzahl_;
}

bool aufzeichnung::schreiben(std::string_view zeilen) {
  return datei_ && std::fwrite(zeilen.data(), 1, zeilen.size(), datei_) == zeilen.size() &&
         std::fflush(datei_) == 0;
}

} // namespace modell
