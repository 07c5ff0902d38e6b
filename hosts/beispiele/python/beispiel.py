"""lumbrik.dll from Python with ctypes. A 32-bit Python takes the package's
lumbrik.dll, a 64-bit Python the one from win64\\ (with its umFish40.DLL);
the other one fails with OSError: [WinError 193]."""
import ctypes
import os

# Python 3.8 and later search neither the current folder nor PATH for a DLL
# and the DLLs it needs: load lumbrik.dll by its full path, from this
# script's folder, and name that folder, where umFish40.DLL lies too.
ordner = os.path.dirname(os.path.abspath(__file__))
os.add_dll_directory(ordner)
# WinDLL calls __stdcall functions.
lumbrik = ctypes.WinDLL(os.path.join(ordner, "lumbrik.dll"))


def befehl(name, ergebnis, *argumente):
    funktion = getattr(lumbrik, name)
    funktion.restype = ergebnis
    if argumente:
        funktion.argtypes = argumente
    return funktion


# 32-bit integers, the truth value one byte (c_ubyte, not a 4-byte BOOL),
# the pause a double: without argtypes, pause(10) would pass an integer.
gib_fehler = befehl("gib_fehler", ctypes.c_ubyte)
vorbereitung = befehl("vorbereitung", None, ctypes.c_int32)
allesaus = befehl("allesaus", None)
motor = befehl("motor", None, ctypes.c_int32, ctypes.c_int32)
ausgangzustand = befehl("ausgangzustand", ctypes.c_int32)
sensor = befehl("sensor", ctypes.c_int32, ctypes.c_int32)
poti = befehl("poti", ctypes.c_int32, ctypes.c_int32)
pause = befehl("pause", None, ctypes.c_double)
lpt = befehl("lpt", None, ctypes.c_int32)
t_proz1 = befehl("t_proz1", None, ctypes.c_int32)
t_funk1 = befehl("t_funk1", ctypes.c_int32, ctypes.c_int32)
# A number-or-list argument has no argtypes: each call passes a
# pointer-sized number or a list text's address.
einschalten = befehl("einschalten", None)
ausschalten = befehl("ausschalten", None)
schalter = befehl("schalter", ctypes.c_ubyte)


def zahl_oder_liste(wert):
    """A number as a pointer-sized integer, a list as a zero-terminated
    text in code page 1252."""
    if isinstance(wert, str):
        return ctypes.c_char_p(wert.encode("cp1252"))
    return ctypes.c_ssize_t(wert)


# Opens the interface and shows the start-up box until OK is pressed.
vorbereitung(0)

t_proz1(7)
einschalten(zahl_oder_liste("[1 3]"))
print("ausgangzustand:", ausgangzustand())
print("schalter 2:", "an" if schalter(zahl_oder_liste(2)) else "aus")
print("sensor 1:", sensor(1))

# One second; Escape in a window of this thread cuts it short.
pause(10)
print("pause abgebrochen:", "ja" if gib_fehler() else "nein")

ausschalten(zahl_oder_liste("[1 3]"))
allesaus()
