// A 64-bit host through the bridge: 64-bit lumbrik.dll, the bridge as its
// umFish40.DLL, the 32-bit helper and our 32-bit simulated interface in the
// helper's folder. The box's own controls do not cross the bridge, so these
// tests see the box through lumbrik's commands and the built-in models.
#include "lumbrik_dll.h"
#include "meldungen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const char fehlertext[] = "Fehler beim \xD6"
                          "ffnen des FT-Robo Interfaces an USB";
const char hinweis[] = "lumbrik meldet: Fischer-Technik-Robo Interface ist geladen.\r\n"
                       "Viel Spa\xDF beim Bauen und Steuern!";

// The folders of aufbauen.sh: "voll" has everything, the others lack the
// helper or the vendor library beside it.
lumbrik_exporte laden(const char *aufbau) {
  const std::string pfad = std::string(BRUECKE_TEST_ORDNER "\\") + aufbau + "\\lumbrik.dll";
  // The DLL's own folder first, so that its umFish40.DLL is the bridge.
  HMODULE modul = LoadLibraryExA(pfad.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  lumbrik_exporte e{};
  std::string fehlt;
  if (modul == nullptr || !exporte_finden(modul, e, fehlt)) {
    std::fprintf(stderr, "%s nicht geladen: %lu %s\n", pfad.c_str(), GetLastError(), fehlt.c_str());
    std::abort();
  }
  return e;
}

std::vector<std::string> vorbereiten(const lumbrik_exporte &d) {
  std::vector<std::string> texte;
  meldungen_abfangen([&](const meldungsbox &box) { texte.push_back(box.text); });
  d.vorbereitung(0);
  meldungen_freigeben();
  return texte;
}

// The helper process a host started, or 0.
DWORD helfer_von(DWORD gastgeber) {
  HANDLE schnappschuss = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 p{};
  p.dwSize = sizeof p;
  DWORD gefunden = 0;
  for (BOOL weiter = Process32First(schnappschuss, &p); weiter && gefunden == 0;
       weiter = Process32Next(schnappschuss, &p))
    if (p.th32ParentProcessID == gastgeber && lstrcmpiA(p.szExeFile, "lumbrik-bruecke32.exe") == 0)
      gefunden = p.th32ProcessID;
  CloseHandle(schnappschuss);
  return gefunden;
}

// Polls like a host program: `schalter` between short pauses, up to `ms`.
bool warten_auf_schalter(const lumbrik_exporte &d, intptr_t eingang, ULONGLONG ms) {
  const ULONGLONG ende = GetTickCount64() + ms;
  while (GetTickCount64() < ende) {
    if (d.schalter(eingang))
      return true;
    d.pause(0.2);
  }
  return false;
}

TEST(bruecke, befehle_gehen_durch_und_ergebnisse_kommen_unveraendert_zurueck) {
  const lumbrik_exporte d = laden("voll");
  EXPECT_EQ(d.sensor(1), -1) << "before vorbereitung, as an unknown handle";

  EXPECT_EQ(vorbereiten(d), std::vector<std::string>{hinweis});
  EXPECT_NE(helfer_von(GetCurrentProcessId()), 0u);
  d.einschalten(1);
  char liste[] = "[3 5]";
  d.einschalten(reinterpret_cast<intptr_t>(liste));
  EXPECT_EQ(d.ausgangzustand(), 1 + 4 + 16);
  char aus[] = "[1 5]";
  d.ausschalten(reinterpret_cast<intptr_t>(aus));
  d.motor(4, 1);
  EXPECT_EQ(d.ausgangzustand(), 4 + 64);
  d.allesaus();
  EXPECT_EQ(d.ausgangzustand(), 0);
  EXPECT_EQ(d.sensor(2), 0);
  EXPECT_EQ(d.poti(3), -1) << "the box knows two analog inputs";
  EXPECT_EQ(d.t_funk1(2), 0);
  EXPECT_FALSE(d.schalter(1));
}

TEST(bruecke, zwei_faeden_bekommen_jeder_die_eigene_antwort) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  d.einschalten(4);
  int falsch_hier = 0;
  int falsch_dort = 0;
  std::thread zweiter([&] {
    for (int i = 0; i < 300; ++i)
      falsch_dort += d.sensor(3) != -1;
  });
  for (int i = 0; i < 300; ++i)
    falsch_hier += d.ausgangzustand() != 8;
  zweiter.join();
  EXPECT_EQ(falsch_hier, 0);
  EXPECT_EQ(falsch_dort, 0);
}

TEST(bruecke, schalter_in_einer_schleife_sieht_den_taster_und_den_endschalter) {
  // The helper inherits the host's environment, and with it the model.
  SetEnvironmentVariableA("LUMBRIK_MODELL", "schranke");
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  EXPECT_TRUE(d.schalter(1)) << "the barrier is down";
  EXPECT_FALSE(d.schalter(2));
  // A car waits from 1.0 s to 1.5 s after the open.
  EXPECT_TRUE(warten_auf_schalter(d, 3, 5000));
  d.t_proz1(7);
  d.motor(1, 1);
  EXPECT_TRUE(warten_auf_schalter(d, 2, 8000)) << "the barrier reaches the top";
  d.motor(1, 0);
}

TEST(bruecke, escape_beendet_die_pause_und_haelt_die_motoren_an) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  d.motor(1, 1);
  d.einschalten(5);
  ASSERT_EQ(d.ausgangzustand(), 1 + 16);
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
  const DWORD haupt = GetCurrentThreadId();
  std::thread bote([haupt] {
    Sleep(300);
    PostThreadMessageA(haupt, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  d.pause(INFINITY);
  bote.join();
  EXPECT_EQ(d.gib_fehler(), 1);
  EXPECT_EQ(d.ausgangzustand(), 0) << "allesaus reached the box";
}

// A host keeps working after its helper crashed: reads answer -1 at once,
// and its next vorbereitung starts a new helper.
TEST(bruecke, nach_dem_tod_des_helfers_lesen_minus_eins_und_vorbereitung_hilft) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  d.einschalten(1);
  const DWORD alt = helfer_von(GetCurrentProcessId());
  HANDLE helfer = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, alt);
  ASSERT_NE(helfer, nullptr);
  TerminateProcess(helfer, 9);
  ASSERT_EQ(WaitForSingleObject(helfer, 10000), WAIT_OBJECT_0);
  CloseHandle(helfer);

  const ULONGLONG start = GetTickCount64();
  d.einschalten(2);
  EXPECT_EQ(d.ausgangzustand(), -1);
  EXPECT_EQ(d.sensor(1), -1);
  EXPECT_FALSE(d.schalter(1));
  EXPECT_LT(GetTickCount64() - start, 2000u) << "no call waits for a dead helper";

  EXPECT_EQ(vorbereiten(d), std::vector<std::string>{hinweis});
  const DWORD neu = helfer_von(GetCurrentProcessId());
  EXPECT_NE(neu, 0u);
  EXPECT_NE(neu, alt);
  d.einschalten(2);
  EXPECT_EQ(d.ausgangzustand(), 2) << "a new box, with output 1 off";
}

// A helper that stops answering (here: all its threads held) costs a call
// a bounded wait; it is then ended and the next vorbereitung starts anew.
TEST(bruecke, ein_stummer_helfer_haelt_nur_kurz_auf_und_wird_ersetzt) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  const DWORD alt = helfer_von(GetCurrentProcessId());
  HANDLE schnappschuss = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 t{};
  t.dwSize = sizeof t;
  for (BOOL weiter = Thread32First(schnappschuss, &t); weiter;
       weiter = Thread32Next(schnappschuss, &t)) {
    if (t.th32OwnerProcessID != alt)
      continue;
    HANDLE faden = OpenThread(THREAD_SUSPEND_RESUME, FALSE, t.th32ThreadID);
    SuspendThread(faden);
    CloseHandle(faden);
  }
  CloseHandle(schnappschuss);

  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(d.sensor(1), -1);
  EXPECT_EQ(d.ausgangzustand(), -1) << "the silent helper was given up";
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_EQ(helfer_von(GetCurrentProcessId()), 0u);

  EXPECT_EQ(vorbereiten(d), std::vector<std::string>{hinweis});
  d.einschalten(3);
  EXPECT_EQ(d.ausgangzustand(), 4);
}

// This test program again, as a host of its own with `argumente`.
PROCESS_INFORMATION selbst_starten(const char *argumente) {
  char pfad[MAX_PATH];
  GetModuleFileNameA(nullptr, pfad, MAX_PATH);
  std::string zeile = std::string("\"") + pfad + "\" " + argumente;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, zeile.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    ADD_FAILURE() << "not started: " << zeile;
  return pi;
}

TEST(bruecke, ohne_helfer_oder_ohne_vendor_zeigt_vorbereitung_den_fehler) {
  // One process loads one umFish40.DLL: each folder gets a host of its own.
  for (const char *aufbau : {"--oeffnen ohne_helfer", "--oeffnen ohne_vendor"}) {
    const PROCESS_INFORMATION pi = selbst_starten(aufbau);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0) << aufbau;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u) << aufbau << ": failure box, then the notice, and no helper left";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

TEST(bruecke, der_helfer_endet_mit_seinem_gastgeber) {
  const PROCESS_INFORMATION pi = selbst_starten("--gastgeber");
  DWORD helfer_id = 0;
  for (int i = 0; i < 300 && helfer_id == 0; ++i) {
    Sleep(100);
    helfer_id = helfer_von(pi.dwProcessId);
  }
  ASSERT_NE(helfer_id, 0u) << "the host started no helper";
  HANDLE helfer = OpenProcess(SYNCHRONIZE, FALSE, helfer_id);
  ASSERT_NE(helfer, nullptr);
  TerminateProcess(pi.hProcess, 9);
  EXPECT_EQ(WaitForSingleObject(helfer, 10000), WAIT_OBJECT_0) << "an orphaned helper";
  CloseHandle(helfer);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

TEST(bruecke, wer_die_dll_entlaedt_beendet_auch_den_helfer) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  HANDLE helfer = OpenProcess(SYNCHRONIZE, FALSE, helfer_von(GetCurrentProcessId()));
  ASSERT_NE(helfer, nullptr);
  FreeLibrary(d.modul);
  EXPECT_EQ(WaitForSingleObject(helfer, 10000), WAIT_OBJECT_0);
  CloseHandle(helfer);
}

// A host of its own for one folder: exit code 0 when vorbereitung showed the
// failure box and the notice and no helper stayed behind.
int oeffnen_pruefen(const char *aufbau) {
  const lumbrik_exporte d = laden(aufbau);
  const bool boxen = vorbereiten(d) == std::vector<std::string>{fehlertext, hinweis};
  const bool minus_eins = d.sensor(1) == -1;
  const bool kein_helfer = helfer_von(GetCurrentProcessId()) == 0;
  std::printf("%s: Boxen %d, sensor -1 %d, kein Helfer %d\n", aufbau, boxen, minus_eins,
              kein_helfer);
  return boxen && minus_eins && kein_helfer ? 0 : 1;
}

// A host that opens the box and then waits to be killed.
int gastgeber() {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  Sleep(INFINITE);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 3 && std::strcmp(argv[1], "--oeffnen") == 0)
    return oeffnen_pruefen(argv[2]);
  if (argc == 2 && std::strcmp(argv[1], "--gastgeber") == 0)
    return gastgeber();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
