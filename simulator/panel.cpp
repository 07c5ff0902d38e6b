// The window of the simulated box.
//
// It lives on a thread of its own, so it stays live while the host's thread
// is busy (a pause is a busy wait), and it knows the box only through the
// control functions: snapshots that take the lock briefly and drop it again,
// so no window call ever runs with the lock held. A timer polls the change
// counter and the call count at 25 Hz and redraws only what changed; a host
// calling thousands of commands a second is never slowed by drawing.
#include "panel.h"

#include "aufruf_text.h"
#include "sim_steuerung.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// --- Layout, in client pixels ---

constexpr int aussen = 12;
// One output, motor half or input per column.
constexpr int spalte = 64;
constexpr int breite = 2 * aussen + SIM_AUSGAENGE * spalte;
constexpr int hoehe = 310;
constexpr int zeile_hoehe = 16;

constexpr int titel_ausgaenge = 6;
constexpr int lampe_oben = 26;
constexpr int lampe_groesse = 36;
constexpr int lampe_text = 64;
constexpr int motor_oben = 84;
constexpr int motor_hoehe = 28;
constexpr int titel_eingaenge = 120;
constexpr int schalter_oben = 140;
constexpr int schalter_breite = 48;
constexpr int schalter_hoehe = 28;
constexpr int titel_analog = 176;
constexpr int schieber_oben = 194;
constexpr int schieber_zeile = 26;
constexpr int schieber_links = 56;
// Each pixel of the track is exactly three steps, so 342 pixels span 0 to 1023.
constexpr int analog_hoechst = 1023;
constexpr int schieber_schritt = 3;
constexpr int schieber_laenge = analog_hoechst / schieber_schritt + 1;
constexpr int spannung_oben = 254;
constexpr int feld_links[SIM_SPANNUNGEN] = {124, 240};
constexpr int feld_breite = 72;
constexpr int feld_hoehe = 22;
constexpr int aufruf_oben = 286;

// --- Colours ---

constexpr COLORREF hintergrund = RGB(236, 236, 236);
constexpr COLORREF schrift = RGB(32, 32, 32);
constexpr COLORREF ueberschrift = RGB(96, 96, 96);
constexpr COLORREF rahmen = RGB(64, 64, 64);
constexpr COLORREF weiss = RGB(255, 255, 255);
constexpr COLORREF motor_laeuft = RGB(0, 150, 60);
constexpr COLORREF motor_steht = RGB(160, 160, 160);
constexpr COLORREF schalter_aus = RGB(200, 200, 200);
constexpr COLORREF schalter_an = RGB(40, 170, 60);
constexpr COLORREF schiene = RGB(200, 200, 200);
constexpr COLORREF schiene_voll = RGB(60, 120, 200);

// A lit lamp is an eighth of the way from grey to gold per level, one more
// than its level: level 1 is a quarter of the way, so a dim lamp still reads
// as lit, and level 7 is full gold.
constexpr int lampe_aus[3] = {96, 96, 96};
constexpr int lampe_voll[3] = {255, 215, 0};

// --- Messages and timing ---

constexpr UINT nachricht_zeigen = WM_APP + 1;
constexpr UINT_PTR uhr = 1;
constexpr UINT uhr_takt_ms = 40;
constexpr int feld_id = 100;
constexpr char klassenname[] = "lumbrik_simulator_panel";
constexpr char fenstertitel[] = "lumbrik Simulator";

// What the window shows. Only the window's thread touches it.
struct anzeige {
  sim_zustand zustand;
  uint32_t aufrufe;
  sim_aufruf letzter;
  bool letzter_da;
  HWND spannung_feld[SIM_SPANNUNGEN];
  // The slider being dragged, or -1.
  int ziehen;
  // Set while we write a field ourselves, so its change is not taken as input.
  bool feld_wird_gesetzt;
};
anzeige panel{{}, 0, {}, false, {}, -1, false};

// Shared with host threads, which only start the thread or post to the window.
std::atomic<bool> gestartet{false};
std::atomic<HWND> fenster{nullptr};
HINSTANCE modul = nullptr;

// --- Geometry, shared by drawing and the mouse ---

RECT lampe_rechteck(int i) {
  const int links = aussen + i * spalte + (spalte - lampe_groesse) / 2;
  return {links, lampe_oben, links + lampe_groesse, lampe_oben + lampe_groesse};
}

RECT motor_rechteck(int m) {
  const int links = aussen + 2 * m * spalte + 4;
  return {links, motor_oben, links + 2 * spalte - 8, motor_oben + motor_hoehe};
}

RECT schalter_rechteck(int i) {
  const int links = aussen + i * spalte + (spalte - schalter_breite) / 2;
  return {links, schalter_oben, links + schalter_breite, schalter_oben + schalter_hoehe};
}

// The whole row of a slider answers the mouse, a little beyond both ends.
RECT schieber_rechteck(int i) {
  const int oben = schieber_oben + i * schieber_zeile;
  return {schieber_links - 8, oben, schieber_links + schieber_laenge + 8, oben + schieber_zeile};
}

RECT aufruf_rechteck() {
  return {0, aufruf_oben, breite, hoehe};
}

// --- Drawing ---

void flaeche(HDC dc, const RECT &r, COLORREF farbe) {
  SetDCBrushColor(dc, farbe);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Pen and brush for outlined shapes.
void stift(HDC dc, COLORREF linie, COLORREF fuellung) {
  SelectObject(dc, GetStockObject(DC_PEN));
  SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, linie);
  SetDCBrushColor(dc, fuellung);
}

void text(HDC dc, const char *t, RECT r, UINT ausrichtung, COLORREF farbe = schrift) {
  SetTextColor(dc, farbe);
  DrawTextA(dc, t, -1, &r, ausrichtung | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void ueberschrift_zeichnen(HDC dc, int oben, const char *t) {
  text(dc, t, {aussen, oben, breite - aussen, oben + zeile_hoehe}, DT_LEFT, ueberschrift);
}

COLORREF lampenfarbe(bool an, int32_t stufe) {
  if (!an)
    return RGB(lampe_aus[0], lampe_aus[1], lampe_aus[2]);
  const int s = stufe < 1 ? 1 : (stufe > 7 ? 7 : stufe);
  int teil[3];
  for (int k = 0; k < 3; ++k)
    teil[k] = lampe_aus[k] + (lampe_voll[k] - lampe_aus[k]) * (s + 1) / 8;
  return RGB(teil[0], teil[1], teil[2]);
}

void lampe_zeichnen(HDC dc, int i) {
  const bool an = panel.zustand.ausgang_an[i] != 0;
  const RECT r = lampe_rechteck(i);
  stift(dc, rahmen, lampenfarbe(an, panel.zustand.ausgang_stufe[i]));
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  char t[32];
  if (an)
    std::snprintf(t, sizeof t, "%d: Stufe %ld", i + 1,
                  static_cast<long>(panel.zustand.ausgang_stufe[i]));
  else
    std::snprintf(t, sizeof t, "%d", i + 1);
  const int links = aussen + i * spalte;
  text(dc, t, {links, lampe_text, links + spalte, lampe_text + zeile_hoehe}, DT_CENTER);
}

// A box under the motor's two lamps: its name, an arrow for its direction
// (a square when it stands) and its level.
void motor_zeichnen(HDC dc, int m) {
  const RECT r = motor_rechteck(m);
  stift(dc, rahmen, weiss);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  char t[16];
  std::snprintf(t, sizeof t, "M%d", m + 1);
  text(dc, t, {r.left + 6, r.top, r.left + 40, r.bottom}, DT_LEFT);

  const int32_t richtung = panel.zustand.motor_richtung[m];
  const int mx = (r.left + r.right) / 2;
  const int my = (r.top + r.bottom) / 2;
  if (richtung == 0) {
    stift(dc, motor_steht, motor_steht);
    Rectangle(dc, mx - 5, my - 5, mx + 5, my + 5);
    return;
  }
  const int spitze = richtung > 0 ? 9 : -9;
  const POINT pfeil[3] = {{mx - spitze, my - 9}, {mx + spitze, my}, {mx - spitze, my + 9}};
  stift(dc, motor_laeuft, motor_laeuft);
  Polygon(dc, pfeil, 3);
  const int32_t stufe = panel.zustand.ausgang_stufe[richtung > 0 ? 2 * m : 2 * m + 1];
  std::snprintf(t, sizeof t, "%ld", static_cast<long>(stufe));
  text(dc, t, {r.right - 40, r.top, r.right - 8, r.bottom}, DT_RIGHT);
}

// What lumbrik's schalter reads as active: a value above 0.
bool eingang_aktiv(int i) {
  return panel.zustand.eingang[i] > 0;
}

void schalter_zeichnen(HDC dc, int i) {
  const bool an = eingang_aktiv(i);
  const RECT r = schalter_rechteck(i);
  stift(dc, rahmen, an ? schalter_an : schalter_aus);
  RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
  char t[16];
  std::snprintf(t, sizeof t, "%d", i + 1);
  text(dc, t, r, DT_CENTER, an ? weiss : schrift);
}

int begrenzt(int32_t wert, int unten, int oben) {
  return wert < unten ? unten : (wert > oben ? oben : static_cast<int>(wert));
}

void schieber_zeichnen(HDC dc, int i) {
  static const char *const namen[SIM_ANALOGE] = {"AX", "AY"};
  const int oben = schieber_oben + i * schieber_zeile;
  const int mitte = oben + schieber_zeile / 2;
  text(dc, namen[i], {aussen, oben, schieber_links - 8, oben + schieber_zeile}, DT_LEFT);

  const int32_t wert = panel.zustand.analog[i];
  const int x = schieber_links + begrenzt(wert, 0, analog_hoechst) / schieber_schritt;
  flaeche(dc, {schieber_links, mitte - 3, x, mitte + 3}, schiene_voll);
  flaeche(dc, {x, mitte - 3, schieber_links + schieber_laenge, mitte + 3}, schiene);
  stift(dc, rahmen, weiss);
  Rectangle(dc, x - 4, mitte - 9, x + 5, mitte + 9);

  char t[16];
  std::snprintf(t, sizeof t, "%ld", static_cast<long>(wert));
  const int rechts = schieber_links + schieber_laenge + 14;
  text(dc, t, {rechts, oben, breite - aussen, oben + schieber_zeile}, DT_LEFT);
}

void spannungen_zeichnen(HDC dc) {
  const int unten = spannung_oben + feld_hoehe;
  text(dc, "Spannungen", {aussen, spannung_oben, feld_links[0], unten}, DT_LEFT, ueberschrift);
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    char t[8];
    std::snprintf(t, sizeof t, "U%d", i + 1);
    text(dc, t, {feld_links[i] - 24, spannung_oben, feld_links[i] - 4, unten}, DT_RIGHT);
  }
}

// "Letzter Aufruf #12: rbSetLampEx(0x4C4B0001, 1, 1, 7) = 0".
void aufruf_zeichnen(HDC dc) {
  std::string zeile = "Letzter Aufruf: keiner";
  if (panel.letzter_da)
    zeile = "Letzter Aufruf #" + std::to_string(panel.aufrufe) + ": " +
            aufruf_text(panel.letzter, sim_funktionsname(panel.letzter.funktion));
  text(dc, zeile.c_str(), {aussen, aufruf_oben, breite - aussen, aufruf_oben + zeile_hoehe},
       DT_LEFT);
}

void alles_zeichnen(HDC dc) {
  flaeche(dc, {0, 0, breite, hoehe}, hintergrund);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  ueberschrift_zeichnen(dc, titel_ausgaenge, "Ausg\xE4nge und Motoren");
  for (int i = 0; i < SIM_AUSGAENGE; ++i)
    lampe_zeichnen(dc, i);
  for (int m = 0; m < SIM_MOTOREN; ++m)
    motor_zeichnen(dc, m);
  ueberschrift_zeichnen(dc, titel_eingaenge, "Eing\xE4nge (klicken schaltet)");
  for (int i = 0; i < SIM_EINGAENGE; ++i)
    schalter_zeichnen(dc, i);
  ueberschrift_zeichnen(dc, titel_analog, "Analoge Eing\xE4nge (0 bis 1023)");
  for (int i = 0; i < SIM_ANALOGE; ++i)
    schieber_zeichnen(dc, i);
  spannungen_zeichnen(dc);
  aufruf_zeichnen(dc);
}

// Drawn into a bitmap first and copied in one go, so nothing flickers.
void malen(HWND f) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(f, &ps);
  HDC puffer = CreateCompatibleDC(dc);
  HBITMAP bild = CreateCompatibleBitmap(dc, breite, hoehe);
  if (puffer != nullptr && bild != nullptr) {
    HGDIOBJ vorher = SelectObject(puffer, bild);
    alles_zeichnen(puffer);
    BitBlt(dc, 0, 0, breite, hoehe, puffer, 0, 0, SRCCOPY);
    SelectObject(puffer, vorher);
  }
  if (bild != nullptr)
    DeleteObject(bild);
  if (puffer != nullptr)
    DeleteDC(puffer);
  EndPaint(f, &ps);
}

// --- Reading the box ---

enum aenderung { nichts = 0, nur_aufruf = 1, alles = 2 };

// A fresh snapshot; says what differs from the one shown.
int auffrischen() {
  sim_zustand neu{};
  sim_zustand_lesen(&neu);
  const uint32_t aufrufe = sim_protokoll_anzahl();
  int geaendert = nichts;
  if (neu.aenderungen != panel.zustand.aenderungen)
    geaendert = alles;
  else if (aufrufe != panel.aufrufe)
    geaendert = nur_aufruf;
  panel.zustand = neu;
  if (geaendert != nichts) {
    panel.aufrufe = aufrufe;
    panel.letzter_da = aufrufe > 0 && sim_protokoll_eintrag(aufrufe - 1, &panel.letzter) != 0;
  }
  return geaendert;
}

bool feld_lesen(HWND feld, int32_t &wert) {
  char t[32] = {};
  GetWindowTextA(feld, t, sizeof t);
  char *ende = nullptr;
  errno = 0;
  const long zahl = std::strtol(t, &ende, 10);
  if (ende == t || *ende != '\0' || errno != 0 || zahl < INT32_MIN || zahl > INT32_MAX)
    return false;
  wert = static_cast<int32_t>(zahl);
  return true;
}

// A field shows the box's voltage unless the user is typing in it.
void felder_abgleichen() {
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    HWND feld = panel.spannung_feld[i];
    int32_t wert = 0;
    if (feld == nullptr || GetFocus() == feld ||
        (feld_lesen(feld, wert) && wert == panel.zustand.spannung[i]))
      continue;
    char t[16];
    std::snprintf(t, sizeof t, "%ld", static_cast<long>(panel.zustand.spannung[i]));
    panel.feld_wird_gesetzt = true;
    SetWindowTextA(feld, t);
    panel.feld_wird_gesetzt = false;
  }
}

void nachsehen(HWND f) {
  const int geaendert = auffrischen();
  if (geaendert == alles) {
    felder_abgleichen();
    InvalidateRect(f, nullptr, FALSE);
  } else if (geaendert == nur_aufruf) {
    const RECT r = aufruf_rechteck();
    InvalidateRect(f, &r, FALSE);
  }
}

// A field the user leaves shows the box's value again, read afresh: the
// user's last keystroke may be newer than the snapshot.
void feld_verlassen(HWND f) {
  auffrischen();
  felder_abgleichen();
  InvalidateRect(f, nullptr, FALSE);
}

// --- The user's hand ---

void schalter_umschalten(int i) {
  sim_zustand jetzt{};
  sim_zustand_lesen(&jetzt);
  sim_eingang_setzen(i + 1, jetzt.eingang[i] > 0 ? 0 : 1);
}

// The user's value is set even when the snapshot shows it already: the
// snapshot may be older than the user's last change.
void schieber_setzen(int i, int x) {
  sim_analog_setzen(i + 1, begrenzt((x - schieber_links) * schieber_schritt, 0, analog_hoechst));
}

void spannung_uebernehmen(int i) {
  int32_t wert = 0;
  if (!panel.feld_wird_gesetzt && feld_lesen(panel.spannung_feld[i], wert))
    sim_spannung_setzen(i + 1, wert);
}

void druecken(HWND f, POINT p) {
  // Leaves a voltage field, which then shows the box's value again.
  SetFocus(f);
  for (int i = 0; i < SIM_EINGAENGE; ++i) {
    const RECT r = schalter_rechteck(i);
    if (PtInRect(&r, p))
      schalter_umschalten(i);
  }
  for (int i = 0; i < SIM_ANALOGE; ++i) {
    const RECT r = schieber_rechteck(i);
    if (PtInRect(&r, p)) {
      panel.ziehen = i;
      SetCapture(f);
      schieber_setzen(i, p.x);
    }
  }
  nachsehen(f);
}

POINT punkt(LPARAM l) {
  return {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
}

// --- The window ---

void felder_anlegen(HWND f) {
  for (int i = 0; i < SIM_SPANNUNGEN; ++i) {
    HWND feld = CreateWindowExA(
        WS_EX_CLIENTEDGE, "EDIT", "0", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
        feld_links[i], spannung_oben, feld_breite, feld_hoehe, f,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(feld_id + i)), modul, nullptr);
    if (feld != nullptr)
      SendMessageA(feld, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    panel.spannung_feld[i] = feld;
  }
}

// Shown without taking the focus from the host; an open while it is shown
// leaves it as it is.
void zeigen(HWND f) {
  if (IsWindowVisible(f))
    return;
  auffrischen();
  felder_abgleichen();
  InvalidateRect(f, nullptr, FALSE);
  SetTimer(f, uhr, uhr_takt_ms, nullptr);
  ShowWindow(f, SW_SHOWNOACTIVATE);
}

// Closing only hides it: the host goes on, and the next open shows it again.
void verbergen(HWND f) {
  if (panel.ziehen >= 0)
    ReleaseCapture();
  KillTimer(f, uhr);
  ShowWindow(f, SW_HIDE);
}

LRESULT CALLBACK fenster_nachricht(HWND f, UINT nachricht, WPARAM w, LPARAM l) {
  switch (nachricht) {
  case WM_CREATE:
    felder_anlegen(f);
    return 0;
  case nachricht_zeigen:
    zeigen(f);
    return 0;
  case WM_TIMER:
    nachsehen(f);
    return 0;
  case WM_ERASEBKGND:
    return 1;
  case WM_PAINT:
    malen(f);
    return 0;
  case WM_LBUTTONDOWN:
    druecken(f, punkt(l));
    return 0;
  case WM_MOUSEMOVE:
    if (panel.ziehen >= 0) {
      schieber_setzen(panel.ziehen, punkt(l).x);
      nachsehen(f);
    }
    return 0;
  case WM_LBUTTONUP:
    if (panel.ziehen >= 0)
      ReleaseCapture();
    return 0;
  case WM_CAPTURECHANGED:
    panel.ziehen = -1;
    return 0;
  case WM_COMMAND: {
    const int i = LOWORD(w) - feld_id;
    if (i >= 0 && i < SIM_SPANNUNGEN && HIWORD(w) == EN_CHANGE)
      spannung_uebernehmen(i);
    else if (i >= 0 && i < SIM_SPANNUNGEN && HIWORD(w) == EN_KILLFOCUS)
      feld_verlassen(f);
    return 0;
  }
  case WM_CLOSE:
    verbergen(f);
    return 0;
  default:
    return DefWindowProcA(f, nachricht, w, l);
  }
}

DWORD WINAPI fenster_faden(void *) {
  WNDCLASSEXA klasse{};
  klasse.cbSize = sizeof klasse;
  klasse.lpfnWndProc = fenster_nachricht;
  klasse.hInstance = modul;
  klasse.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  klasse.lpszClassName = klassenname;
  if (RegisterClassExA(&klasse) == 0)
    return 0;
  const DWORD stil = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT r{0, 0, breite, hoehe};
  AdjustWindowRectEx(&r, stil, FALSE, 0);
  // Without a display this fails, and the panel stays away for good.
  HWND f = CreateWindowExA(0, klassenname, fenstertitel, stil, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, modul, nullptr);
  if (f == nullptr)
    return 0;
  fenster.store(f);
  zeigen(f);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

bool panel_erwuenscht() {
  char wert[8] = {};
  const DWORD laenge = GetEnvironmentVariableA("LUMBRIK_PANEL", wert, sizeof wert);
  return !(laenge == 1 && wert[0] == '0');
}

} // namespace

void panel_zeigen() {
  if (!panel_erwuenscht())
    return;
  if (gestartet.exchange(true)) {
    // Until the window exists its thread shows it anyway.
    HWND f = fenster.load();
    if (f != nullptr)
      PostMessageA(f, nachricht_zeigen, 0, 0);
    return;
  }
  // The window's code must outlive a host's FreeLibrary, so the simulator
  // stays loaded from now on.
  HMODULE selbst = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          reinterpret_cast<LPCSTR>(&gestartet), &selbst))
    return;
  modul = selbst;
  HANDLE faden = CreateThread(nullptr, 0, fenster_faden, nullptr, 0, nullptr);
  if (faden != nullptr)
    CloseHandle(faden);
}
