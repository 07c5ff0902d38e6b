// A 64-bit host through the bridge: 64-bit lumbrik.dll, the bridge as its
// umFish40.DLL, the 32-bit helper and our 32-bit simulated interface in the
// helper's folder. The box's own controls do not cross the bridge, so these
// tests see the box through lumbrik's commands and the built-in models.
#include "bruecke/kanal.h"
#include "hosts/gemeinsam/lumbrik_dll.h"
#include "hosts/gemeinsam/meldungen.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
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
  // A car waits from 1.0 s to 1.5 s after the first command.
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

// This test program again, as a host of its own with `argumente`; its
// standard output and error go to `ausgabe` if given (then it inherits, as
// with system(), every inheritable handle of this process).
PROCESS_INFORMATION selbst_starten(const char *argumente, HANDLE ausgabe = nullptr) {
  char pfad[MAX_PATH];
  GetModuleFileNameA(nullptr, pfad, MAX_PATH);
  std::string zeile = std::string("\"") + pfad + "\" " + argumente;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (ausgabe != nullptr) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = ausgabe;
    si.hStdError = ausgabe;
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, zeile.data(), nullptr, nullptr, ausgabe != nullptr, 0, nullptr,
                      nullptr, &si, &pi))
    ADD_FAILURE() << "not started: " << zeile;
  return pi;
}

// Runs this program as a host of its own and returns what it wrote; its
// exit code in `code`. Read once it has ended: Wine's own processes that it
// may start inherit the pipe too and keep it open.
std::string ausgabe_von(const char *argumente, DWORD &code) {
  SECURITY_ATTRIBUTES erblich{sizeof erblich, nullptr, TRUE};
  HANDLE lesen = nullptr;
  HANDLE schreiben = nullptr;
  EXPECT_TRUE(CreatePipe(&lesen, &schreiben, &erblich, 1 << 16));
  SetHandleInformation(lesen, HANDLE_FLAG_INHERIT, 0);
  const PROCESS_INFORMATION pi = selbst_starten(argumente, schreiben);
  CloseHandle(schreiben);
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0) << argumente;
  code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string text;
  char puffer[4096];
  DWORD bereit = 0;
  DWORD gelesen = 0;
  while (PeekNamedPipe(lesen, nullptr, 0, nullptr, &bereit, nullptr) && bereit > 0 &&
         ReadFile(lesen, puffer, sizeof puffer, &gelesen, nullptr))
    text.append(puffer, gelesen);
  CloseHandle(lesen);
  return text;
}

std::string windows_pfad(std::string pfad) {
  for (char &c : pfad)
    if (c == '/')
      c = '\\';
  return pfad;
}

// Without its helper or a vendor library the bridge fails the open, and
// says what it looked for: the box alone would look like an unplugged cable.
TEST(bruecke, ohne_helfer_oder_ohne_vendor_zeigt_vorbereitung_den_fehler_und_sagt_was_fehlt) {
  const std::string ordner = windows_pfad(BRUECKE_TEST_ORDNER);
  const std::string bruecke = "lumbrik Br\xC3\xBC"
                              "cke: ";
  // Not the test's PATH, which leads to a 64-bit simulated umFish40.DLL.
  SetEnvironmentVariableA("PATH", "C:\\windows\\system32;C:\\windows");
  // One process loads one umFish40.DLL: each folder gets a host of its own.
  const std::pair<const char *, std::string> faelle[] = {
      {"--oeffnen ohne_helfer", bruecke + "Helfer nicht gefunden: " + ordner +
                                    "\\ohne_helfer\\bruecke32\\lumbrik-bruecke32.exe (Fehler "},
      {"--oeffnen ohne_vendor", bruecke + "umFish40.DLL nicht gefunden: " + ordner +
                                    "\\ohne_vendor\\bruecke32\\umFish40.DLL, auch nicht in den "
                                    "Systemordnern und in PATH (Fehler 126: "},
      {"--oeffnen falsche_bits", bruecke + "umFish40.DLL l\xC3\xA4sst sich nicht laden: " + ordner +
                                     "\\falsche_bits\\bruecke32\\umFish40.DLL (Fehler 193: "}};
  for (const auto &[aufbau, meldung] : faelle) {
    DWORD code = 1;
    const std::string ausgabe = ausgabe_von(aufbau, code);
    EXPECT_EQ(code, 0u) << aufbau << ": failure box, then the notice, and no helper left\n"
                        << ausgabe;
    EXPECT_NE(ausgabe.find(meldung), std::string::npos) << "expected: " << meldung << "\n"
                                                        << ausgabe;
  }
}

// Handle values of this process whose object is a section holding the
// bridge's channel, and (among the inheritable ones, which a child got from
// its parent) those that are events. A process's handle values are small
// multiples of 4.
struct kanal_griffe {
  std::vector<uintptr_t> bloecke;
  std::vector<uintptr_t> ereignisse;
};
kanal_griffe griffe_suchen(bool nur_geerbte) {
  kanal_griffe g;
  for (uintptr_t wert = 4; wert < 0x10000; wert += 4) {
    HANDLE h = reinterpret_cast<HANDLE>(wert);
    DWORD flaggen = 0;
    if (!GetHandleInformation(h, &flaggen) || (nur_geerbte && !(flaggen & HANDLE_FLAG_INHERIT)))
      continue;
    if (const void *sicht = MapViewOfFile(h, FILE_MAP_READ, 0, 0, sizeof(kanal))) {
      if (static_cast<const kanal *>(sicht)->kennung == kanal_kennung)
        g.bloecke.push_back(wert);
      UnmapViewOfFile(sicht);
    } else if (nur_geerbte && ResetEvent(h)) {
      g.ereignisse.push_back(wert);
    }
  }
  return g;
}

// A process the host starts with inheritance (as system() does) gets no
// handle of the channel: it cannot drive the interface.
TEST(bruecke, ein_kind_des_gastgebers_erbt_nichts_vom_kanal) {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  const kanal_griffe hier = griffe_suchen(false);
  ASSERT_EQ(hier.bloecke.size(), 1u) << "the search finds the host's own block";
  DWORD code = 1;
  const std::string ausgabe = ausgabe_von("--kind", code);
  EXPECT_EQ(code, 0u) << ausgabe;
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

// The files of a report in the test folder, none there yet.
std::string bericht_datei(const char *name) {
  const std::string stamm = std::string(BRUECKE_TEST_ORDNER "\\") + name;
  for (const char *endung : {".json", ".csv", ".svg"})
    DeleteFileA((stamm + endung).c_str());
  return stamm + ".json";
}

void bericht_pruefen(const std::string &datei) {
  std::ifstream ein(datei, std::ios::binary);
  std::ostringstream gelesen;
  gelesen << ein.rdbuf();
  const std::string text = gelesen.str();
  EXPECT_EQ(text.rfind("{\n  \"modell\": \"schranke\"", 0), 0u) << datei << ":\n" << text;
  EXPECT_NE(text.find("\"fehler_anzahl\": "), std::string::npos) << text;
  EXPECT_NE(text.find("\"zeitdiagramm\": \""), std::string::npos) << "with its diagram:\n" << text;
  EXPECT_TRUE(text.ends_with("}\n")) << text;
}

// The vendor library is freed, not killed with its helper, so its cleanup
// runs: the simulator writes its report when the host unloads the bridge
// and when the host ends.
TEST(bruecke, der_bericht_des_simulators_entsteht_nach_freelibrary_und_am_ende_des_gastgebers) {
  SetEnvironmentVariableA("LUMBRIK_MODELL", "schranke");
  const std::string entladen = bericht_datei("bericht_entladen");
  SetEnvironmentVariableA("LUMBRIK_BERICHT", entladen.c_str());
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  d.motor(1, 1);
  FreeLibrary(d.modul);
  bericht_pruefen(entladen);

  const std::string ende = bericht_datei("bericht_ende");
  SetEnvironmentVariableA("LUMBRIK_BERICHT", ende.c_str());
  DWORD code = 1;
  const std::string ausgabe = ausgabe_von("--bis_zum_ende", code);
  EXPECT_EQ(code, 0u) << ausgabe;
  bericht_pruefen(ende);
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

// A host that opens the box, drives a motor and ends normally.
int bis_zum_ende() {
  const lumbrik_exporte d = laden("voll");
  vorbereiten(d);
  d.motor(1, 1);
  return 0;
}

// Started with inheritance by a host of the bridge: 0 when it finds no
// handle of the channel, else 1, naming those it found.
int kind() {
  const kanal_griffe g = griffe_suchen(true);
  for (uintptr_t wert : g.bloecke)
    std::printf("Kind: der Block des Kanals unter 0x%llx\n", static_cast<unsigned long long>(wert));
  for (uintptr_t wert : g.ereignisse)
    std::printf("Kind: ein Ereignis unter 0x%llx\n", static_cast<unsigned long long>(wert));
  return g.bloecke.empty() && g.ereignisse.empty() ? 0 : 1;
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
  if (argc == 2 && std::strcmp(argv[1], "--bis_zum_ende") == 0)
    return bis_zum_ende();
  if (argc == 2 && std::strcmp(argv[1], "--kind") == 0)
    return kind();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
