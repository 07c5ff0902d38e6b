// Trace, report and diagram of a headless run (see aufzeichnung.h).
#include "simulator/modell/aufzeichnung.h"

#include "aufzeichnung/datei.h"
#include "simulator/modell/zeitdiagramm.h"

#include <cinttypes>

namespace modell {
namespace {

std::string json_text(std::string_view s) {
  std::string aus = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      aus += '\\';
      aus += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char kode[8];
      std::snprintf(kode, sizeof kode, "\\u%04x", c);
      aus += kode;
    } else {
      aus += c;
    }
  }
  return aus + "\"";
}

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

} // namespace

const char *signalname(signalart art) {
#define MODELL_SIGNALART(name, wort) #name,
  static const char *const namen[] = {MODELL_SIGNALARTEN(MODELL_SIGNALART)};
#undef MODELL_SIGNALART
  return namen[static_cast<size_t>(art)];
}

std::string csv_feld(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos)
    return std::string(text);
  std::string aus = "\"";
  for (char c : text) {
    if (c == '"')
      aus += '"';
    aus += c;
  }
  return aus + "\"";
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
  std::setvbuf(datei_, puffer_, _IOFBF, sizeof puffer_);
  std::fputs("zeit_ms,art,name,wert\n", datei_);
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
  std::fprintf(datei_, "%" PRId64 ",%s,%s,%.10g\n", zeit, signalname(art), csv_feld(name).c_str(),
               wert);
}

void aufzeichnung::fehler(int64_t zeit, const regel &r) {
  aenderung(zeit, signalart::fehler, r.name, 1);
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
  const bool diagramm = zeitdiagramm(spur_, diagramm_, diagramm_meldung,
                                     modelle_ == 1 && !m.name.empty() ? &m : nullptr);
  if (!diagramm)
    problem(diagramm_meldung);

  std::FILE *f = bericht_datei_;
  bericht_datei_ = nullptr;
  std::fprintf(f, "{\n  \"modell\": %s,\n  \"titel\": %s,\n", json_text(m.name).c_str(),
               json_text(m.titel).c_str());
  std::fprintf(f, "  \"meldung\": %s,\n  \"laufzeit_ms\": %" PRId64 ",\n",
               json_text(meldung).c_str(), laufzeit_ms);
  std::fprintf(f, "  \"fehler_anzahl\": %" PRIu64 ",\n  \"fehler\": [",
               l.fehler_anzahl() + weitere_anzahl_);
  const char *komma = "";
  for (const fehler_eintrag &e : l.fehlerliste()) {
    const regel &r = m.regeln[static_cast<size_t>(e.regel)];
    std::fprintf(f, "%s\n    {\"zeit_ms\": %" PRId64 ", \"regel\": %s, \"text\": %s}", komma,
                 e.zeit, json_text(r.name).c_str(), json_text(r.text).c_str());
    komma = ",";
  }
  for (const weiterer_fehler &e : weitere_fehler_) {
    std::fprintf(f, "%s\n    {\"zeit_ms\": %" PRId64 ", \"regel\": %s, \"text\": %s}", komma,
                 e.zeit, json_text(e.regel).c_str(), json_text(e.text).c_str());
    komma = ",";
  }
  std::fprintf(f, "%s],\n  \"anzahl\": {", *komma ? "\n  " : "");
  uint64_t gesamt = 0;
  for (size_t i = 0; i < anzahl_.size(); ++i) {
    std::fprintf(f, "\"%s\": %" PRIu64 ", ", signalname(static_cast<signalart>(i)), anzahl_[i]);
    gesamt += anzahl_[i];
  }
  std::fprintf(f, "\"gesamt\": %" PRIu64 "},\n", gesamt);
  std::fputs(zusatz_.c_str(), f);
  std::fprintf(f, "  \"spur\": %s,\n  \"zeitdiagramm\": %s\n}\n", json_text(spur_).c_str(),
               diagramm ? json_text(diagramm_).c_str() : "null");
  const bool bericht_ganz = !std::ferror(f);
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
