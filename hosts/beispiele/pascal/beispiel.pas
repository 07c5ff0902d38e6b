{ lumbrik.dll from Delphi or Free Pascal, as a 32-bit Windows program:
  a 64-bit program cannot load the 32-bit DLL. }
program Beispiel;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
{$APPTYPE CONSOLE}

const
  Dll = 'lumbrik.dll';

{ The fourteen exports: stdcall, LongInt is 32 bits, NativeInt is as wide as
  a pointer (a number or the address of a list text), the truth value is a
  Byte - not a 4-byte BOOL or LongBool. }
function gib_fehler: Byte; stdcall; external Dll;
procedure vorbereitung(Wert: LongInt); stdcall; external Dll;
procedure einschalten(Ausgaenge: NativeInt); stdcall; external Dll;
procedure ausschalten(Ausgaenge: NativeInt); stdcall; external Dll;
procedure allesaus; stdcall; external Dll;
procedure motor(Nummer, Wert: LongInt); stdcall; external Dll;
function ausgangzustand: LongInt; stdcall; external Dll;
function schalter(Eingaenge: NativeInt): Byte; stdcall; external Dll;
function sensor(Eingang: LongInt): LongInt; stdcall; external Dll;
function poti(Eingang: LongInt): LongInt; stdcall; external Dll;
procedure pause(Zehntelsekunden: Double); stdcall; external Dll;
procedure lpt(Wert: LongInt); stdcall; external Dll;
procedure t_proz1(Stufe: LongInt); stdcall; external Dll;
function t_funk1(Nummer: LongInt): LongInt; stdcall; external Dll;

{ A list is the address of a zero-terminated AnsiString (code page 1252);
  the string must live as long as the call. }
function Liste(const Text: AnsiString): NativeInt;
begin
  Result := NativeInt(PAnsiChar(Text));
end;

const
  JaNein: array[Boolean] of string = ('nein', 'ja');
  AnAus: array[Boolean] of string = ('aus', 'an');

begin
  { Opens the interface and shows the start-up box until OK is pressed. }
  vorbereitung(0);

  t_proz1(7);
  einschalten(Liste('[1 3]'));
  WriteLn('ausgangzustand: ', ausgangzustand);
  WriteLn('schalter 2: ', AnAus[schalter(2) <> 0]);
  WriteLn('sensor 1: ', sensor(1));

  { One second; Escape in a window of this thread cuts it short. }
  pause(10);
  WriteLn('pause abgebrochen: ', JaNein[gib_fehler <> 0]);

  ausschalten(Liste('[1 3]'));
  allesaus;
end.
