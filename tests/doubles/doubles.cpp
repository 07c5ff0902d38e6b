#include "tests/doubles/doubles.h"

#include <cstdlib>
#include <map>

namespace {

struct block {
  void *daten;
  int sperren;
};

struct zustand {
  std::vector<doubles::meldung> meldungen;
  std::function<void(const doubles::meldung &)> bei_meldung;

  std::map<HGLOBAL, block> bloecke;
  std::vector<doubles::zuteilung> zuteilungen;
  bool zuteilen_scheitert = false;
  bool sperren_scheitert = false;
  uintptr_t naechster_block = 0x1000;

  DWORD tick = 0;
  DWORD schritt = 1;
  int tick_abfragen = 0;
  std::function<void(DWORD)> bei_tick;

  std::deque<MSG> warteschlange;
  std::vector<doubles::abfrage> abfragen;
  SHORT vk_escape = 0x001B;
};

zustand &z() {
  static zustand instanz;
  return instanz;
}

} // namespace

namespace doubles {

void zuruecksetzen() {
  for (auto &[handle, b] : z().bloecke)
    std::free(b.daten);
  z() = zustand{};
  alles_lesbar();
}

const std::vector<meldung> &meldungen() {
  return z().meldungen;
}
void bei_meldung(std::function<void(const meldung &)> beobachter) {
  z().bei_meldung = std::move(beobachter);
}

int lebende_bloecke() {
  return static_cast<int>(z().bloecke.size());
}
int gesperrte_bloecke() {
  int n = 0;
  for (const auto &[handle, b] : z().bloecke)
    n += b.sperren > 0 ? 1 : 0;
  return n;
}
const std::vector<zuteilung> &zuteilungen() {
  return z().zuteilungen;
}
void zuteilen_scheitert(bool ja) {
  z().zuteilen_scheitert = ja;
}
void sperren_scheitert(bool ja) {
  z().sperren_scheitert = ja;
}

void ticks(DWORD start, DWORD schritt) {
  z().tick = start;
  z().schritt = schritt;
}
int tick_abfragen() {
  return z().tick_abfragen;
}
void bei_tick(std::function<void(DWORD)> beobachter) {
  z().bei_tick = std::move(beobachter);
}

void nachricht(UINT art, WPARAM parameter) {
  MSG m{};
  m.message = art;
  m.wParam = parameter;
  z().warteschlange.push_back(m);
}
std::deque<MSG> &warteschlange() {
  return z().warteschlange;
}
const std::vector<abfrage> &abfragen() {
  return z().abfragen;
}
void vk_escape(SHORT wert) {
  z().vk_escape = wert;
}

} // namespace doubles

extern "C" {

int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type) {
  doubles::meldung m{owner, text, caption, type};
  if (z().bei_meldung)
    z().bei_meldung(m);
  z().meldungen.push_back(m);
  return 1;
}

BOOL PeekMessageA(MSG *msg, HWND window, UINT first, UINT last, UINT flags) {
  z().abfragen.push_back({window, first, last, flags});
  auto &schlange = z().warteschlange;
  for (auto it = schlange.begin(); it != schlange.end(); ++it) {
    if (it->message < first || it->message > last)
      continue;
    *msg = *it;
    if (flags & 1)
      schlange.erase(it);
    return 1;
  }
  return 0;
}

SHORT VkKeyScanA(char zeichen) {
  return zeichen == 27 ? z().vk_escape : SHORT{-1};
}

DWORD GetTickCount() {
  const DWORD jetzt = z().tick;
  z().tick += z().schritt;
  ++z().tick_abfragen;
  if (z().bei_tick)
    z().bei_tick(jetzt);
  return jetzt;
}

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
  z().zuteilungen.push_back({flags, bytes});
  if (z().zuteilen_scheitert)
    return nullptr;
  // Exactly the asked size, so the sanitizer sees any write past the end.
  void *daten = (flags & 0x40) ? std::calloc(1, bytes) : std::malloc(bytes);
  HGLOBAL handle = reinterpret_cast<HGLOBAL>(z().naechster_block);
  z().naechster_block += 0x10;
  z().bloecke[handle] = {daten, 0};
  return handle;
}

void *GlobalLock(HGLOBAL block) {
  auto it = z().bloecke.find(block);
  if (it == z().bloecke.end() || z().sperren_scheitert)
    return nullptr;
  ++it->second.sperren;
  return it->second.daten;
}

HGLOBAL GlobalHandle(const void *zeiger) {
  for (const auto &[handle, b] : z().bloecke)
    if (b.daten == zeiger)
      return handle;
  return nullptr;
}

BOOL GlobalUnlock(HGLOBAL block) {
  auto it = z().bloecke.find(block);
  if (it == z().bloecke.end() || it->second.sperren == 0)
    return 0;
  return --it->second.sperren > 0;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  auto it = z().bloecke.find(block);
  if (it == z().bloecke.end())
    return block;
  std::free(it->second.daten);
  z().bloecke.erase(it);
  return nullptr;
}

} // extern "C"
