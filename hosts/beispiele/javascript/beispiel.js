// lumbrik.dll from JavaScript: Node.js for Windows with koffi (npm install
// koffi). The same program runs with the 32-bit node.exe and the package's
// lumbrik.dll, and with the 64-bit one and win64\lumbrik.dll.
'use strict';
const koffi = require('koffi');

// Found next to node.exe, in the current folder or on PATH.
const lumbrik = koffi.load('lumbrik.dll');
const befehl = (deklaration) => lumbrik.func(deklaration);

// The fourteen exports: __stdcall, 32-bit integers, a one-byte truth value.
const gib_fehler = befehl('uint8_t __stdcall gib_fehler()');
const vorbereitung = befehl('void __stdcall vorbereitung(int32_t wert)');
const allesaus = befehl('void __stdcall allesaus()');
const motor = befehl('void __stdcall motor(int32_t nummer, int32_t wert)');
const ausgangzustand = befehl('int32_t __stdcall ausgangzustand()');
const sensor = befehl('int32_t __stdcall sensor(int32_t eingang)');
const poti = befehl('int32_t __stdcall poti(int32_t eingang)');
const pause = befehl('void __stdcall pause(double zehntelsekunden)');
const lpt = befehl('void __stdcall lpt(int32_t wert)');
const t_proz1 = befehl('void __stdcall t_proz1(int32_t stufe)');
const t_funk1 = befehl('int32_t __stdcall t_funk1(int32_t nummer)');

// A number-or-list argument: a number goes as a pointer-sized integer, a list
// as the address of its text, in bytes of code page 1252 with a closing zero
// (list texts are plain ASCII, where latin1 and 1252 agree).
function zahl_oder_liste(name, ergebnis) {
  const als_zahl = befehl(`${ergebnis} __stdcall ${name}(intptr_t wert)`);
  const als_liste = befehl(`${ergebnis} __stdcall ${name}(const uint8_t *liste)`);
  return (wert) =>
    typeof wert === 'number' ? als_zahl(wert) : als_liste(Buffer.from(`${wert}\0`, 'latin1'));
}
const einschalten = zahl_oder_liste('einschalten', 'void');
const ausschalten = zahl_oder_liste('ausschalten', 'void');
const schalter = zahl_oder_liste('schalter', 'uint8_t');

// Opens the interface and shows the start-up box until OK is pressed.
vorbereitung(0);

t_proz1(7);
einschalten('[1 3]');
console.log(`ausgangzustand: ${ausgangzustand()}`);
console.log(`schalter 2: ${schalter(2) !== 0 ? 'an' : 'aus'}`);
console.log(`sensor 1: ${sensor(1)}`);

// One second; Escape in a window of this thread cuts it short.
pause(10);
console.log(`pause abgebrochen: ${gib_fehler() !== 0 ? 'ja' : 'nein'}`);

ausschalten('[1 3]');
allesaus();
