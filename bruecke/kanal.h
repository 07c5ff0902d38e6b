// The channel between the bridge (the 64-bit umFish40.DLL) and its 32-bit
// helper: one block of shared memory and two auto-reset events. The bridge
// writes an anfrage, the helper makes the vendor call and writes the
// antwort. Each side first watches the block for a moment: a call that comes
// soon after the last one then costs no trip through the system. A side
// that stops watching says so and sleeps on its event; the other sets the
// event only then. The block holds only 32-bit integers and 16-bit
// characters, so both widths see the same layout.
//
// Everything here is plain C++ without Windows, so the native tests run it.
#pragma once

#include "src/umFish40.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>

// Numbers of the vendor functions in the channel, in list order from 1, and
// one request outside the list: the helper answers it, frees the vendor
// library (so that its cleanup runs) and ends.
#define KANAL_NUMMER(name, ergebnis, parameter, argumente, bytes) kanal_##name,
enum kanal_funktion : int32_t {
  kanal_keine,
  UMFISH40_FUNKTIONEN(KANAL_NUMMER) kanal_ende,
  kanal_helfer_beenden = 0x100
};
#undef KANAL_NUMMER

// Changes with the layout or the requests, so that a helper of another
// release refuses.
constexpr uint32_t kanal_kennung = 0x4C42'0002u;

// What the helper reports once it has started: ready, or why the vendor
// library cannot serve (not found; found but not loadable; loaded but
// without one of the eight functions).
enum kanal_zustand : int32_t {
  helfer_startet,
  helfer_bereit,
  helfer_ohne_vendor,
  helfer_vendor_unladbar,
  helfer_vendor_unvollstaendig
};

struct kanal {
  uint32_t kennung;
  int32_t zustand;
  // The bridge counts its requests; the helper answers with the same number,
  // so that an answer never belongs to an older request.
  std::atomic<uint32_t> anfrage_nummer;
  int32_t funktion;
  std::array<int32_t, 4> werte;
  std::atomic<uint32_t> antwort_nummer;
  int32_t ergebnis;
  // Set while a side sleeps on its event instead of watching the block.
  std::atomic<uint32_t> helfer_schlaeft;
  std::atomic<uint32_t> bruecke_schlaeft;
  // Why the vendor library cannot serve, for the bridge's message: the
  // system's error number (0 for a missing function), the number of the
  // first missing function, and the library's path (UTF-16, zero-terminated,
  // cut short if longer).
  uint32_t vendor_fehler;
  int32_t vendor_fehlt;
  std::array<char16_t, 1024> vendor_pfad;
};
constexpr size_t kanal_pfad_laenge = std::tuple_size_v<decltype(kanal::vendor_pfad)>;
static_assert(std::atomic<uint32_t>::is_always_lock_free, "shared between processes");
static_assert(sizeof(kanal) == 56 + 2 * 1024, "the same layout for 32 and 64 bits");

// A number of the channel that converts to whatever type the vendor function
// takes: every parameter is a 32-bit integer, signed or not.
struct kanal_wert {
  int32_t wert;
  template <class T> operator T() const { return static_cast<T>(wert); }
};

// The arguments of a call as the channel carries them.
template <class... T> std::array<int32_t, 4> kanal_werte(T... werte) {
  static_assert(sizeof...(T) <= 4);
  return {static_cast<int32_t>(werte)...};
}

// Writes a request: the function, its arguments, then the next number.
// True when the helper sleeps and its event must wake it.
inline bool anfrage_schreiben(kanal &k, int32_t funktion, const std::array<int32_t, 4> &werte) {
  k.funktion = funktion;
  k.werte = werte;
  ++k.anfrage_nummer;
  return k.helfer_schlaeft != 0;
}

// True when the channel holds the answer to the latest request.
inline bool antwort_da(const kanal &k) {
  return k.antwort_nummer == k.anfrage_nummer;
}

// True when a request waits that the helper has not answered.
inline bool anfrage_da(const kanal &k) {
  return k.anfrage_nummer != k.antwort_nummer;
}

// What a call answers when no helper does: the open-failure value for an
// open, and for every other function what an unknown handle gets.
inline int32_t ohne_helfer(int32_t funktion) {
  return funktion == kanal_rbOpenInterfaceUSB ? static_cast<int32_t>(oeffnen_fehlgeschlagen) : -1;
}

namespace kanal_detail {
template <class F, size_t... I>
int32_t rufen(F f, const std::array<int32_t, 4> &a, std::index_sequence<I...>) {
  return static_cast<int32_t>(f(kanal_wert{a[I]}...));
}
} // namespace kanal_detail

// The helper's side: calls the function of the request in `tabelle` (a struct
// with one pointer per vendor function) and writes the answer. A request for
// a number outside the list answers -1 and calls nothing. True when the
// bridge sleeps and its event must wake it.
template <class Tabelle> bool anfrage_bedienen(kanal &k, const Tabelle &tabelle) {
  int32_t ergebnis = -1;
  switch (k.funktion) {
#define KANAL_FALL(name, ergebnis_typ, parameter, argumente, bytes)                                \
  case kanal_##name:                                                                               \
    ergebnis =                                                                                     \
        kanal_detail::rufen(tabelle.name, k.werte, std::make_index_sequence<(bytes) / 4>{});       \
    break;
    UMFISH40_FUNKTIONEN(KANAL_FALL)
#undef KANAL_FALL
  default:
    break;
  }
  k.ergebnis = ergebnis;
  k.antwort_nummer = k.anfrage_nummer.load();
  return k.bruecke_schlaeft != 0;
}

// The bridge's side: one vendor function that hands its call, as channel
// values, to a `weiterreichen(funktion, werte)` in scope and returns its result.
#define KANAL_FUNKTION(name, ergebnis, parameter, argumente, bytes)                                \
  ergebnis WINAPI name parameter {                                                                 \
    return static_cast<ergebnis>(weiterreichen(kanal_##name, kanal_werte argumente));              \
  }
