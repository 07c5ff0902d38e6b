// The console's input and output: where the lines come from, where every
// text goes, and message boxes printed instead of shown. Texts are code page
// 1252: a console window gets them as UTF-16, a pipe or a file as UTF-8.
#pragma once

#include <string>
#include <string_view>

// --- Input ---

class zeilenquelle {
public:
  // Standard input.
  zeilenquelle();
  // A script file; offen() tells whether it could be opened.
  explicit zeilenquelle(const std::string &pfad);
  ~zeilenquelle();
  zeilenquelle(const zeilenquelle &) = delete;
  zeilenquelle &operator=(const zeilenquelle &) = delete;

  bool offen() const;
  // Someone types at a console: the console then shows a prompt.
  bool konsole() const { return konsole_; }
  // The input handle (a console's, when konsole()).
  void *handle() const { return handle_; }
  // The next line without its line end; false at the end of the input.
  bool naechste(std::string &zeile);

private:
  bool aus_konsole(std::string &zeile);
  bool aus_datei(std::string &zeile);
  void lesen();

  void *handle_ = nullptr;
  bool eigen_ = false;
  bool konsole_ = false;
  bool zu_ende_ = false;
  bool erste_ = true;
  // The script was UTF-16 and is held as 1252 already.
  bool schon_1252_ = false;
  std::string puffer_;
  // How far puffer_ is known to hold no line end.
  size_t gesucht_ = 0;
  std::wstring breiter_puffer_;
};

// --- Output ---

// Standard output, or standard error for messages about lines and loading.
enum class ausgabe_ziel { normal, fehler };

void ausgeben(std::string_view text, ausgabe_ziel wohin = ausgabe_ziel::normal);

// The same with a line end ("\n") after it.
void zeile_ausgeben(std::string_view text, ausgabe_ziel wohin = ausgabe_ziel::normal);

// --boxes=console: from now on every message box of the calling thread is
// printed, its caption and text, and acknowledged with OK.
void boxen_auf_konsole();
