// lumbrik-klasse.exe: runs each learner's program of a class against a model
// or a reference recording and writes klasse.html, .csv and .json into a new
// folder klasse-DATUM_ZEIT. The verdicts and the files come from the core
// (kern.h); here the programs run: each in a working folder of its own with
// lumbrik.dll and the simulated umFish40.DLL of its word size beside it, in
// a job object (a hung program ends with its children), on a desktop of the
// check's own (no window on the teacher's screen), its message boxes
// answered with OK from outside as a person would.
#include "basis/windows_text.h"
#include "hosts/klasse/kern.h"
#include "simulator/modell/anbindung.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

using klasse::programm_art;

// --- Texts across the edge: UTF-8 inside, UTF-16 for Windows ---

using windows_text::breit;
using windows_text::systemtext;
using windows_text::utf8;

std::mutex ausgabe_sperre;

// To the console as Unicode, into a pipe or file as UTF-8; the learners'
// lines come from several threads and stay whole.
void ausgeben(DWORD kanal, const std::string &text) {
  const std::lock_guard<std::mutex> halten(ausgabe_sperre);
  windows_text::schreiben(GetStdHandle(kanal), text);
}

void melden(const std::string &text) {
  ausgeben(STD_ERROR_HANDLE, "lumbrik-klasse: " + text + "\n");
}

// --- Files ---

bool ist_datei(const std::wstring &pfad) {
  const DWORD a = GetFileAttributesW(pfad.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring voller_pfad(const std::wstring &pfad) {
  const DWORD n = GetFullPathNameW(pfad.c_str(), 0, nullptr, nullptr);
  std::wstring aus(n, L'\0');
  const DWORD m = GetFullPathNameW(pfad.c_str(), n, aus.data(), nullptr);
  aus.resize(m);
  while (aus.size() > 3 && (aus.back() == L'\\' || aus.back() == L'/'))
    aus.pop_back();
  return aus;
}

std::optional<std::string> lesen(const std::wstring &pfad) {
  HANDLE h = CreateFileW(pfad.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return std::nullopt;
  std::string inhalt;
  char puffer[65536];
  DWORD n = 0;
  while (ReadFile(h, puffer, sizeof puffer, &n, nullptr) && n > 0)
    inhalt.append(puffer, n);
  CloseHandle(h);
  return inhalt;
}

// Never over an earlier file: the check's results stay as they were written.
bool schreiben(const std::wstring &pfad, const std::string &inhalt) {
  HANDLE h = CreateFileW(pfad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  DWORD n = 0;
  const bool gut = WriteFile(h, inhalt.data(), static_cast<DWORD>(inhalt.size()), &n, nullptr) &&
                   n == inhalt.size();
  return CloseHandle(h) && gut;
}

template <typename F> void ordner_durchgehen(const std::wstring &ordner, F bei_eintrag) {
  WIN32_FIND_DATAW d;
  HANDLE h = FindFirstFileW((ordner + L"\\*").c_str(), &d);
  if (h == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = d.cFileName;
    if (name != L"." && name != L"..")
      bei_eintrag(name, (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileW(h, &d));
  FindClose(h);
}

bool kopieren(const std::wstring &von, const std::wstring &nach, std::string &fehler) {
  if (ist_datei(von)) {
    if (CopyFileW(von.c_str(), nach.c_str(), FALSE))
      return true;
    fehler = utf8(von) + ": " + systemtext(GetLastError());
    return false;
  }
  if (!CreateDirectoryW(nach.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    fehler = utf8(nach) + ": " + systemtext(GetLastError());
    return false;
  }
  bool gut = true;
  ordner_durchgehen(von, [&](const std::wstring &name, bool) {
    gut = gut && kopieren(von + L"\\" + name, nach + L"\\" + name, fehler);
  });
  return gut;
}

int bits_von(const std::wstring &programm) {
  HANDLE h = CreateFileW(programm.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return 0;
  std::vector<unsigned char> kopf(4096);
  DWORD n = 0;
  ReadFile(h, kopf.data(), static_cast<DWORD>(kopf.size()), &n, nullptr);
  CloseHandle(h);
  kopf.resize(n);
  return klasse::pe_bits(kopf);
}

// --- What the package holds beside lumbrik-klasse.exe ---

struct teile {
  std::wstring dll, simulator;
};

struct paket {
  teile bit32, bit64;
  // Console scripts run through the 64-bit console host.
  std::wstring konsole;
  std::wstring modelle;
};

paket paket_finden() {
  std::wstring exe(MAX_PATH, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
  const std::wstring d = exe.substr(0, exe.find_last_of(L"\\/"));
  return {{d + L"\\lumbrik.dll", d + L"\\simulator\\umFish40.DLL"},
          {d + L"\\win64\\lumbrik.dll", d + L"\\win64\\simulator\\umFish40.DLL"},
          d + L"\\win64\\lumbrik-konsole.exe",
          d + L"\\simulator\\modelle"};
}

// --- The desktop of the check, and who watches it ---

struct laeufer {
  size_t index = 0;
  std::chrono::steady_clock::time_point gesehen{};
};

// The boxes and windows of the programs running, seen from a thread on the
// check's desktop: message boxes are read and answered after a moment (as a
// person would), --klick presses its button once, and a program past its
// time gets WM_CLOSE.
class waechter {
public:
  waechter(HDESK desktop, std::wstring klick, std::vector<std::vector<std::string>> &meldungen)
      : desktop_(desktop), klick_(std::move(klick)), meldungen_(meldungen) {
    faden_ = std::thread([this] { laufen(); });
  }
  ~waechter() {
    ende_ = true;
    faden_.join();
  }
  waechter(const waechter &) = delete;
  waechter &operator=(const waechter &) = delete;

  void anmelden(DWORD pid, size_t index) {
    const std::lock_guard<std::mutex> halten(sperre_);
    prozesse_[pid] = index;
    fremde_.erase(pid);
  }
  void schliessen(DWORD pid) {
    const std::lock_guard<std::mutex> halten(sperre_);
    zu_schliessen_.insert(pid);
  }
  void abmelden(DWORD pid) {
    const std::lock_guard<std::mutex> halten(sperre_);
    const auto stelle = prozesse_.find(pid);
    if (stelle == prozesse_.end())
      return;
    const size_t index = stelle->second;
    std::erase_if(prozesse_, [&](const auto &p) { return p.second == index; });
    zu_schliessen_.erase(pid);
    geklickt_.erase(pid);
  }

private:
  static std::wstring klasse_von(HWND f) {
    wchar_t name[64] = {};
    GetClassNameW(f, name, 64);
    return name;
  }
  static std::wstring text_von(HWND f) {
    wchar_t text[2048] = {};
    GetWindowTextW(f, text, 2048);
    return text;
  }
  // A button of any of the learners' tools: Button (C, C++, Python), TButton
  // (Delphi, Lazarus), ThunderCommandButton (VB6), WindowsForms10.BUTTON (C#).
  static bool ist_knopf(HWND f) {
    std::wstring art = klasse_von(f);
    CharLowerW(art.data());
    return art.find(L"button") != std::wstring::npos;
  }
  static std::wstring ohne_kuerzel(std::wstring text) {
    std::erase(text, L'&');
    return text;
  }

  // A window of a process the program started (Wine's crash dialog too,
  // from the debugger the crash started) counts as the program's.
  std::map<DWORD, size_t>::iterator kind_finden(DWORD pid) {
    if (fremde_.count(pid))
      return prozesse_.end();
    std::map<DWORD, DWORD> eltern;
    HANDLE bild = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL weiter = Process32FirstW(bild, &e); weiter; weiter = Process32NextW(bild, &e))
      eltern[e.th32ProcessID] = e.th32ParentProcessID;
    CloseHandle(bild);
    for (DWORD vorfahr = pid, stufe = 0; stufe < 8 && eltern.count(vorfahr); ++stufe) {
      vorfahr = eltern[vorfahr];
      if (const auto p = prozesse_.find(vorfahr); p != prozesse_.end())
        return prozesse_.emplace(pid, p->second).first;
    }
    fremde_.insert(pid);
    return prozesse_.end();
  }

  void laufen() {
    // A thread with no windows of its own may change its desktop; EnumWindows
    // then lists the windows there.
    if (desktop_)
      SetThreadDesktop(desktop_);
    while (!ende_) {
      EnumWindows(
          [](HWND f, LPARAM w) -> BOOL {
            reinterpret_cast<waechter *>(w)->fenster(f);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(this));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  void fenster(HWND f) {
    DWORD pid = 0;
    GetWindowThreadProcessId(f, &pid);
    const std::lock_guard<std::mutex> halten(sperre_);
    if (!IsWindowVisible(f))
      return;
    auto p = prozesse_.find(pid);
    if (p == prozesse_.end())
      p = kind_finden(pid);
    if (p == prozesse_.end())
      return;
    if (zu_schliessen_.count(pid)) {
      PostMessageW(f, WM_CLOSE, 0, 0);
      return;
    }
    const auto jetzt = std::chrono::steady_clock::now();
    if (klasse_von(f) == L"#32770") {
      auto [b, neu] = boxen_.try_emplace(f, laeufer{p->second, jetzt});
      // A person reads the box before pressing OK.
      if (neu || jetzt - b->second.gesehen < std::chrono::milliseconds(250))
        return;
      if (b->second.index != SIZE_MAX) {
        const std::wstring titel = text_von(f);
        wchar_t text[2048] = {};
        GetDlgItemTextW(f, 0xFFFF, text, 2048);
        std::wstring zeile = text;
        while (!zeile.empty() && (zeile.back() == L'\n' || zeile.back() == L'\r'))
          zeile.pop_back();
        meldungen_[b->second.index].push_back(utf8(titel + L": " + zeile));
        b->second.index = SIZE_MAX;
      }
      HWND ok = GetDlgItem(f, IDOK);
      PostMessageW(f, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
      return;
    }
    if (klick_.empty() || geklickt_.count(pid))
      return;
    std::pair<const std::wstring *, HWND> suche{&klick_, nullptr};
    EnumChildWindows(
        f,
        [](HWND k, LPARAM s) -> BOOL {
          auto &such = *reinterpret_cast<std::pair<const std::wstring *, HWND> *>(s);
          if (ist_knopf(k) && IsWindowVisible(k) && IsWindowEnabled(k) &&
              ohne_kuerzel(text_von(k)) == *such.first) {
            such.second = k;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&suche));
    if (suche.second) {
      geklickt_.insert(pid);
      PostMessageW(suche.second, BM_CLICK, 0, 0);
    }
  }

  HDESK desktop_;
  std::wstring klick_;
  std::vector<std::vector<std::string>> &meldungen_;
  std::mutex sperre_;
  std::map<DWORD, size_t> prozesse_;
  std::set<DWORD> zu_schliessen_, geklickt_, fremde_;
  std::map<HWND, laeufer> boxen_;
  std::atomic<bool> ende_{false};
  std::thread faden_;
};

// --- One learner's run ---

struct auftrag {
  const klasse::optionen &o;
  const paket &p;
  std::wstring abgaben, ergebnis, modell, desktop;
  waechter *w = nullptr;
};

// The environment of the check with the simulator's choices of this run.
std::wstring umgebung(const std::vector<std::pair<std::wstring, std::wstring>> &eigene) {
  std::wstring block;
  wchar_t *alle = GetEnvironmentStringsW();
  for (const wchar_t *e = alle; *e; e += wcslen(e) + 1) {
    const std::wstring eintrag = e;
    const bool ersetzt = std::any_of(eigene.begin(), eigene.end(), [&](const auto &v) {
      return CompareStringOrdinal(eintrag.c_str(), static_cast<int>(v.first.size() + 1),
                                  (v.first + L"=").c_str(), static_cast<int>(v.first.size() + 1),
                                  TRUE) == CSTR_EQUAL;
    });
    if (!ersetzt)
      block.append(eintrag).push_back(L'\0');
  }
  FreeEnvironmentStringsW(alle);
  for (const auto &[name, wert] : eigene)
    block.append(name).append(L"=").append(wert).push_back(L'\0');
  return block + L'\0';
}

void ausfuehren(const auftrag &a, klasse::zeile &z, std::vector<std::string> &meldungen, size_t i) {
  const std::string ordner = klasse::ordner_name(z.a.name);
  const std::wstring eigen = a.ergebnis + L"\\" + breit(ordner);
  const std::wstring arbeit = eigen + L"\\arbeit";
  klasse::lauf_ergebnis &l = z.lauf;
  l.skript = z.a.art == programm_art::skript;
  CreateDirectoryW(eigen.c_str(), nullptr);
  std::string fehler;
  const std::wstring quelle = a.abgaben + L"\\" + breit(z.a.eintrag);
  const bool ordner_abgabe = z.a.eintrag != z.a.programm;
  if (!(ordner_abgabe ? kopieren(quelle, arbeit, fehler)
                      : CreateDirectoryW(arbeit.c_str(), nullptr) &&
                            kopieren(quelle, arbeit + L"\\" + breit(z.a.programm), fehler))) {
    l.startfehler = "ließ sich nicht in den Arbeitsordner kopieren: " + fehler;
    return;
  }
  std::wstring programm = arbeit + L"\\" + breit(z.a.programm);
  z.bits = l.skript ? 64 : bits_von(programm);
  if (!l.skript && z.bits == 0) {
    l.startfehler = "kein Windows-Programm";
    return;
  }
  const teile &t = z.bits == 64 ? a.p.bit64 : a.p.bit32;
  std::vector<std::wstring> beilagen = {t.dll, t.simulator};
  if (l.skript)
    beilagen.push_back(a.p.konsole);
  for (const std::wstring &b : beilagen) {
    const std::wstring ziel = arbeit + b.substr(b.find_last_of(L'\\'));
    if (!CopyFileW(b.c_str(), ziel.c_str(), FALSE)) {
      l.startfehler = utf8(b) + " fehlt: " + systemtext(GetLastError());
      return;
    }
  }
  std::wstring befehl = L"\"" + programm + L"\"";
  if (l.skript) {
    befehl = L"\"" + arbeit + L"\\lumbrik-konsole.exe\" " + befehl;
    programm = arbeit + L"\\lumbrik-konsole.exe";
  }
  const std::wstring bericht = eigen + L"\\lauf.json";
  std::wstring env = umgebung(
      {{L"LUMBRIK_MODELL", a.modell}, {L"LUMBRIK_BERICHT", bericht}, {L"LUMBRIK_PANEL", L"0"}});

  // What the program prints goes into a file of its own; it reads nothing.
  SECURITY_ATTRIBUTES erben{sizeof erben, nullptr, TRUE};
  const std::wstring ausgabe = eigen + L"\\ausgabe.txt";
  HANDLE aus = CreateFileW(ausgabe.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &erben, CREATE_ALWAYS,
                           0, nullptr);
  HANDLE ein = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &erben,
                           OPEN_EXISTING, 0, nullptr);
  std::wstring desktop = a.desktop;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.lpDesktop = desktop.empty() ? nullptr : desktop.data();
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ein;
  si.hStdOutput = aus;
  si.hStdError = aus;
  PROCESS_INFORMATION pi{};
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION grenzen{};
  grenzen.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &grenzen, sizeof grenzen);
  const std::wstring arbeitsordner = programm.substr(0, programm.find_last_of(L'\\'));
  const auto anfang = std::chrono::steady_clock::now();
  const BOOL gestartet = CreateProcessW(programm.c_str(), befehl.data(), nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT |
                                            CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP,
                                        env.data(), arbeitsordner.c_str(), &si, &pi);
  const DWORD startfehler = GetLastError();
  CloseHandle(aus);
  CloseHandle(ein);
  if (!gestartet) {
    l.startfehler = systemtext(startfehler);
    CloseHandle(job);
    return;
  }
  l.gestartet = true;
  AssignProcessToJobObject(job, pi.hProcess);
  if (a.w)
    a.w->anmelden(pi.dwProcessId, i);
  ResumeThread(pi.hThread);
  l.grenze_s = a.o.dauer_s;
  const auto dauer_ms = static_cast<DWORD>(a.o.dauer_s * 1000);
  if (WaitForSingleObject(pi.hProcess, dauer_ms) == WAIT_TIMEOUT) {
    l.zeit_um = true;
    // Closed as a person would close it; killed with its children if it
    // does not close.
    if (a.w)
      a.w->schliessen(pi.dwProcessId);
    if (WaitForSingleObject(pi.hProcess, 1000) == WAIT_TIMEOUT) {
      TerminateJobObject(job, 0xC000013Au);
      WaitForSingleObject(pi.hProcess, 5000);
    }
  }
  l.laufzeit_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  l.exit_code = code;
  if (klasse::bewerten(l).u == klasse::urteil::startet_nicht)
    l.startfehler = systemtext(code, GetModuleHandleW(L"ntdll.dll"));
  if (a.w)
    a.w->abmelden(pi.dwProcessId);
  // Whatever the program started ends with it.
  CloseHandle(job);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);

  l.meldungen = meldungen;
  if (auto text = lesen(ausgabe))
    l.ausgabe = text->substr(0, 1 << 16);
  l.bericht_json = lesen(bericht);
  // The boxes answered belong to the learner's report.
  if (const auto mit =
          l.bericht_json ? klasse::bericht_mit_boxen(*l.bericht_json, l.meldungen) : std::nullopt) {
    const std::wstring neu = bericht + L".neu";
    DeleteFileW(neu.c_str());
    if (schreiben(neu, *mit))
      MoveFileExW(neu.c_str(), bericht.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  z.b = klasse::bewerten(l);
  if (l.bericht_json)
    z.bericht = ordner + "/lauf.json";
  if (ist_datei(eigen + L"\\lauf.csv"))
    z.spur = ordner + "/lauf.csv";
  if (auto svg = lesen(eigen + L"\\lauf.svg"))
    z.svg = *svg;
  WIN32_FILE_ATTRIBUTE_DATA daten{};
  if (GetFileAttributesExW(ausgabe.c_str(), GetFileExInfoStandard, &daten) &&
      (daten.nFileSizeLow || daten.nFileSizeHigh))
    z.ausgabe = ordner + "/ausgabe.txt";
}

// --- The check ---

bool eingebautes_modell(const std::string &m) {
  return m.find_first_of("/\\.:") == std::string::npos;
}

int pruefen(const klasse::optionen &o) {
  const paket p = paket_finden();
  // The model as the simulator reads it: a built-in name or a full path.
  std::wstring modell =
      eingebautes_modell(o.modell) ? breit(o.modell) : voller_pfad(breit(o.modell));
  const std::wstring vorbild = o.vorbild.empty() ? L"" : voller_pfad(breit(o.vorbild));
  if (!o.modell.empty() && !eingebautes_modell(o.modell) && !ist_datei(modell)) {
    melden("das Modell " + o.modell + " ist kein eingebautes Modell und keine Datei (gesucht als " +
           utf8(modell) + ")");
    return klasse::kein_modell;
  }
  // Read here first, as the simulator will read it: a misspelt name or a
  // broken file is said once, with its fix, not found in every learner's run.
  if (!o.modell.empty()) {
    const modell::ergebnis e =
        modell_beschaffen(eingebautes_modell(o.modell) ? o.modell : utf8(modell));
    if (!e.modell) {
      melden(e.meldung);
      return klasse::kein_modell;
    }
  }
  if (!vorbild.empty() && !ist_datei(vorbild)) {
    melden("den Mitschnitt " + o.vorbild + " gibt es nicht (gesucht als " + utf8(vorbild) + ")");
    return klasse::kein_modell;
  }
  const std::wstring abgaben = voller_pfad(breit(o.abgaben));
  const DWORD art = GetFileAttributesW(abgaben.c_str());
  if (art == INVALID_FILE_ATTRIBUTES || !(art & FILE_ATTRIBUTE_DIRECTORY)) {
    melden("den Ordner " + o.abgaben + " gibt es nicht (gesucht als " + utf8(abgaben) + ")");
    return klasse::keine_abgaben;
  }
  std::vector<klasse::eintrag> eintraege;
  ordner_durchgehen(abgaben, [&](const std::wstring &name, bool ordner) {
    klasse::eintrag e{utf8(name), ordner, {}};
    if (ordner)
      ordner_durchgehen(abgaben + L"\\" + name, [&](const std::wstring &datei, bool unter) {
        if (!unter)
          e.dateien.push_back(utf8(datei));
      });
    eintraege.push_back(e);
  });
  const klasse::abgaben_liste liste = klasse::abgaben_finden(eintraege);
  if (liste.abgaben.empty()) {
    melden("im Ordner " + o.abgaben +
           " ist keine Abgabe (kein Ordner mit einem Programm, keine "
           ".exe und kein Skript .txt)");
    return klasse::keine_abgaben;
  }

  // A new folder each time: an earlier check's results stay as they are.
  SYSTEMTIME st;
  GetLocalTime(&st);
  const std::wstring ziel = voller_pfad(o.ziel.empty() ? L"." : breit(o.ziel));
  std::wstring ergebnis;
  for (int versuch = 1;; ++versuch) {
    ergebnis = ziel + L"\\" +
               breit(klasse::ergebnis_ordner(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
                                             st.wSecond, versuch));
    if (CreateDirectoryW(ergebnis.c_str(), nullptr))
      break;
    if (GetLastError() != ERROR_ALREADY_EXISTS || versuch >= 100) {
      melden("der Ordner " + utf8(ergebnis) +
             " lässt sich nicht anlegen: " + systemtext(GetLastError()));
      return klasse::nicht_schreibbar;
    }
  }
  if (!o.modell.empty() && !vorbild.empty()) {
    const std::wstring datei =
        eingebautes_modell(o.modell) ? p.modelle + L"\\" + modell + L".toml" : modell;
    const std::optional<std::string> text = lesen(datei);
    std::string fehler = "lässt sich nicht lesen";
    const std::optional<std::string> mit =
        text ? klasse::modell_mit_vorbild(*text, utf8(vorbild), fehler) : std::nullopt;
    modell = ergebnis + L"\\modell.toml";
    if (!mit || !schreiben(modell, *mit)) {
      melden("Modell " + utf8(datei) + ": " + fehler);
      return klasse::kein_modell;
    }
  } else if (o.modell.empty()) {
    modell = vorbild;
  }

  const std::wstring desktop_name = L"lumbrik-klasse-" + std::to_wstring(GetCurrentProcessId());
  HDESK desktop = CreateDesktopW(desktop_name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (!desktop)
    melden("kein eigener Desktop (" + systemtext(GetLastError()) +
           "); die Fenster der Programme erscheinen auf diesem");

  klasse::klasse_stand k;
  k.titel = "Klassenprüfung " + utf8(abgaben.substr(abgaben.find_last_of(L'\\') + 1));
  char zeit[64];
  std::snprintf(zeit, sizeof zeit, "%02u.%02u.%04u %02u:%02u", st.wDay, st.wMonth, st.wYear,
                st.wHour, st.wMinute);
  k.zeitpunkt = zeit;
  k.modell = o.modell;
  k.vorbild = o.vorbild;
  k.uebersprungen = liste.uebersprungen;
  for (const klasse::abgabe &a : liste.abgaben)
    k.zeilen.push_back({a, 0, {}, {}, {}, {}, {}, {}});
  std::vector<std::vector<std::string>> meldungen(k.zeilen.size());

  SYSTEM_INFO si;
  GetSystemInfo(&si);
  const size_t gleichzeitig = std::min<size_t>(
      k.zeilen.size(), o.gleichzeitig > 0 ? static_cast<size_t>(o.gleichzeitig)
                                          : std::max<DWORD>(si.dwNumberOfProcessors, 1));
  ausgeben(STD_OUTPUT_HANDLE, std::to_string(k.zeilen.size()) + " Abgaben, " +
                                  std::to_string(gleichzeitig) + " zugleich, höchstens " +
                                  std::to_string(static_cast<int>(o.dauer_s)) + " s je Programm\n");
  {
    waechter w(desktop, breit(o.klick), meldungen);
    const auftrag a{o, p, abgaben, ergebnis, modell, desktop ? desktop_name : L"", &w};
    std::atomic<size_t> naechster{0};
    std::vector<std::thread> faeden;
    for (size_t f = 0; f < gleichzeitig; ++f)
      faeden.emplace_back([&] {
        for (size_t i; (i = naechster++) < k.zeilen.size();) {
          klasse::zeile &z = k.zeilen[i];
          ausfuehren(a, z, meldungen[i], i);
          if (!z.lauf.gestartet)
            z.b = klasse::bewerten(z.lauf);
          char sekunden[32];
          std::snprintf(sekunden, sizeof sekunden, "%.1f", z.lauf.laufzeit_s);
          ausgeben(STD_OUTPUT_HANDLE, z.a.name + ": " + std::string(klasse::urteil_text(z.b.u)) +
                                          (z.b.grund.empty() ? "" : " - " + z.b.grund) + " (" +
                                          sekunden + " s)\n");
        }
      });
    for (std::thread &f : faeden)
      f.join();
  }
  if (desktop)
    CloseDesktop(desktop);

  const bool geschrieben = schreiben(ergebnis + L"\\klasse.html", klasse::klasse_html(k)) &&
                           schreiben(ergebnis + L"\\klasse.csv", klasse::klasse_csv(k)) &&
                           schreiben(ergebnis + L"\\klasse.json", klasse::klasse_json(k));
  if (!geschrieben) {
    melden("die Ergebnisse lassen sich nicht in " + utf8(ergebnis) +
           " schreiben: " + systemtext(GetLastError()));
    return klasse::nicht_schreibbar;
  }
  ausgeben(STD_OUTPUT_HANDLE,
           klasse::zusammenfassung(k) + "\n" + utf8(ergebnis) + "\\klasse.html\n");
  const bool alle = std::all_of(k.zeilen.begin(), k.zeilen.end(), [](const klasse::zeile &z) {
    return z.b.u == klasse::urteil::bestanden;
  });
  return alle ? klasse::alle_bestanden : klasse::nicht_alle_bestanden;
}

} // namespace

int main() {
  // No box of Windows' own for a learner's crash or missing DLL: the
  // children inherit this, and the verdict tells it.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  int anzahl = 0;
  wchar_t **argv = CommandLineToArgvW(GetCommandLineW(), &anzahl);
  std::vector<std::string> argumente;
  for (int i = 1; i < anzahl; ++i)
    argumente.push_back(utf8(argv[i]));
  LocalFree(argv);
  const std::vector<std::string_view> sichten(argumente.begin(), argumente.end());
  klasse::optionen o;
  std::string fehler;
  if (!klasse::optionen_lesen(sichten, o, fehler)) {
    melden(fehler);
    return klasse::aufruf_falsch;
  }
  if (o.hilfe) {
    ausgeben(STD_OUTPUT_HANDLE, std::string(klasse::gebrauch_text()));
    return 0;
  }
  return pruefen(o);
}
