// Where the lines come from: a script file, a pipe, or a console where
// someone types. Every line is handed out in code page 1252.
#pragma once

#include <string>

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
  std::wstring breiter_puffer_;
};
