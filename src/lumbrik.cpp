#include "src/lumbrik.h"

#include "src/gib_copy.h"
#include "src/gleitkomma.h"
#include "src/liste.h"
#include "src/plattform.h"
#include "src/strings2.h"
#include "src/umFish40.h"
#include "src/wartezeit.h"

namespace lumbrik {

uint32_t schnittstelle = 0;
int32_t stufe = 7;
unsigned char fehler = 0;

namespace {

// --- Per-number actions ---

void lampe_an(int32_t ausgang, void *) {
  rbSetLampEx(schnittstelle, ausgang, 1, stufe);
}

void lampe_aus(int32_t ausgang, void *) {
  rbSetLampEx(schnittstelle, ausgang, 0, stufe);
}

// An input counts as active when the box reports more than 0 for it.
bool eingang_aktiv(int32_t eingang) {
  return rbGetInput(schnittstelle, eingang) > 0;
}

// Once one input has read active, the rest of a list is walked unread.
void schalter_lesen(int32_t eingang, void *kontext) {
  bool &ergebnis = *static_cast<bool *>(kontext);
  if (!ergebnis)
    ergebnis = eingang_aktiv(eingang);
}

// --- Message boxes ---

constexpr char meldung_fehler[] = "Fehler beim \xD6"
                                  "ffnen des FT-Robo Interfaces an USB";
constexpr char meldung_geladen[] = "Fischer-Technik-Robo Interface ist geladen.\r\n";

void meldung_zeigen(const char *text) {
  MessageBoxA(nullptr, text, "Meldung", MB_OK);
}

// --- Keyboard ---

// The keyboard messages up to 0x0108, the end of their range before
// WM_UNICHAR (0x0109) joined it; the SDK's WM_KEYLAST means either.
constexpr UINT tasten_letzte = 0x0108;
constexpr UINT entfernen_ohne_warten = PM_REMOVE | PM_NOYIELD;
constexpr char escape = 27;

bool escape_gedrueckt() {
  MSG nachricht;
  if (!PeekMessageA(&nachricht, nullptr, WM_KEYFIRST, tasten_letzte, entfernen_ohne_warten))
    return false;
  if (nachricht.message != WM_KEYDOWN)
    return false;
  // Escape is recognised by the whole answer of VkKeyScanA (shift byte and
  // all) as well as by its plain key code 27, so hosts that post either form
  // as a key-down can end a pause. Compared as 32 bits, as on Windows.
  const int32_t taste = static_cast<int32_t>(static_cast<uint32_t>(nachricht.wParam));
  if (taste == static_cast<int32_t>(VkKeyScanA(escape)))
    return true;
  return taste == escape;
}

} // namespace

void vorbereitung(int32_t) {
  // Stored before any box opens: the host may call commands while one is up.
  schnittstelle = rbOpenInterfaceUSB(0, 0);
  if (schnittstelle == oeffnen_fehlgeschlagen)
    meldung_zeigen(meldung_fehler);
  char *hinweis = hinweis_bauen(meldung_geladen);
  // Without a block the user still learns that the interface is loaded.
  meldung_zeigen(hinweis != nullptr ? hinweis : meldung_geladen);
  block_freigeben(hinweis);
}

void lpt(int32_t) {}

void einschalten(intptr_t ausgaenge) {
  zahl_oder_liste(ausgaenge, lampe_an, nullptr);
}

void ausschalten(intptr_t ausgaenge) {
  zahl_oder_liste(ausgaenge, lampe_aus, nullptr);
}

void allesaus() {
  rbSetMotors(schnittstelle, 0);
}

void motor(int32_t nummer, int32_t wert) {
  rbSetMotorEx(schnittstelle, nummer, wert, stufe);
}

int32_t ausgangzustand() {
  return rbGetMotors(schnittstelle);
}

void t_proz1(int32_t neue_stufe) {
  if (neue_stufe >= 1 && neue_stufe <= 7)
    stufe = neue_stufe;
}

unsigned char schalter(intptr_t eingaenge) {
  // Not a list reads nothing and stays false; a list broken off at a bad
  // token answers with what was read before it.
  bool ergebnis = false;
  zahl_oder_liste(eingaenge, schalter_lesen, &ergebnis);
  return ergebnis ? 1 : 0;
}

int32_t sensor(int32_t eingang) {
  return rbGetAnalog(schnittstelle, eingang);
}

int32_t poti(int32_t eingang) {
  return sensor(eingang);
}

int32_t t_funk1(int32_t nummer) {
  if (nummer != 1 && nummer != 2)
    return 0;
  return rbGetVoltage(schnittstelle, nummer);
}

void pause(double zehntelsekunden) {
  // The limit is worked out from the bits of the double, without a single
  // floating-point instruction: hosts that unmask floating-point exceptions
  // would otherwise trap in here on NaN or on a huge product.
  const wartezeit zeit = wartezeit_aus(zehntelsekunden);
  if (zeit.art == wartezeit::keine)
    return;
  const gleitkomma_schutz schutz;
  const DWORD start = GetTickCount();
  for (;;) {
    if (escape_gedrueckt()) {
      fehler = 1;
      allesaus();
      return;
    }
    // Unsigned difference: a wrap of the tick counter does no harm.
    const DWORD verstrichen = GetTickCount() - start;
    if (zeit.art == wartezeit::begrenzt && verstrichen >= zeit.schwelle)
      return;
  }
}

unsigned char gib_fehler() {
  const unsigned char wert = fehler;
  fehler = 0;
  return wert;
}

} // namespace lumbrik
