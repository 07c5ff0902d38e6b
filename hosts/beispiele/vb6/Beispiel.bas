Attribute VB_Name = "Beispiel"
' lumbrik.dll from VB6 or VBA in a 32-bit program (32-bit Office for VBA):
' a 64-bit process cannot load the 32-bit DLL. Declare is stdcall.
Option Explicit

' Long is 32 bits; the truth value is a Byte, not a Boolean (2 bytes) and
' not a 4-byte BOOL. A number-or-list argument is declared twice: ByVal Long
' for a number, ByVal String for a list (VB passes an 8-bit copy of the text
' with a closing zero, in the system code page - 1252 on western Windows).
#If VBA7 Then
Private Declare PtrSafe Function gib_fehler Lib "lumbrik.dll" () As Byte
Private Declare PtrSafe Sub vorbereitung Lib "lumbrik.dll" (ByVal Wert As Long)
Private Declare PtrSafe Sub einschalten Lib "lumbrik.dll" (ByVal Ausgaenge As LongPtr)
Private Declare PtrSafe Sub einschalten_liste Lib "lumbrik.dll" Alias "einschalten" (ByVal Liste As String)
Private Declare PtrSafe Sub ausschalten Lib "lumbrik.dll" (ByVal Ausgaenge As LongPtr)
Private Declare PtrSafe Sub ausschalten_liste Lib "lumbrik.dll" Alias "ausschalten" (ByVal Liste As String)
Private Declare PtrSafe Sub allesaus Lib "lumbrik.dll" ()
Private Declare PtrSafe Sub motor Lib "lumbrik.dll" (ByVal Nummer As Long, ByVal Wert As Long)
Private Declare PtrSafe Function ausgangzustand Lib "lumbrik.dll" () As Long
Private Declare PtrSafe Function schalter Lib "lumbrik.dll" (ByVal Eingaenge As LongPtr) As Byte
Private Declare PtrSafe Function schalter_liste Lib "lumbrik.dll" Alias "schalter" (ByVal Liste As String) As Byte
Private Declare PtrSafe Function sensor Lib "lumbrik.dll" (ByVal Eingang As Long) As Long
Private Declare PtrSafe Function poti Lib "lumbrik.dll" (ByVal Eingang As Long) As Long
Private Declare PtrSafe Sub pause Lib "lumbrik.dll" (ByVal Zehntelsekunden As Double)
Private Declare PtrSafe Sub lpt Lib "lumbrik.dll" (ByVal Wert As Long)
Private Declare PtrSafe Sub t_proz1 Lib "lumbrik.dll" (ByVal Stufe As Long)
Private Declare PtrSafe Function t_funk1 Lib "lumbrik.dll" (ByVal Nummer As Long) As Long
#Else
Private Declare Function gib_fehler Lib "lumbrik.dll" () As Byte
Private Declare Sub vorbereitung Lib "lumbrik.dll" (ByVal Wert As Long)
Private Declare Sub einschalten Lib "lumbrik.dll" (ByVal Ausgaenge As Long)
Private Declare Sub einschalten_liste Lib "lumbrik.dll" Alias "einschalten" (ByVal Liste As String)
Private Declare Sub ausschalten Lib "lumbrik.dll" (ByVal Ausgaenge As Long)
Private Declare Sub ausschalten_liste Lib "lumbrik.dll" Alias "ausschalten" (ByVal Liste As String)
Private Declare Sub allesaus Lib "lumbrik.dll" ()
Private Declare Sub motor Lib "lumbrik.dll" (ByVal Nummer As Long, ByVal Wert As Long)
Private Declare Function ausgangzustand Lib "lumbrik.dll" () As Long
Private Declare Function schalter Lib "lumbrik.dll" (ByVal Eingaenge As Long) As Byte
Private Declare Function schalter_liste Lib "lumbrik.dll" Alias "schalter" (ByVal Liste As String) As Byte
Private Declare Function sensor Lib "lumbrik.dll" (ByVal Eingang As Long) As Long
Private Declare Function poti Lib "lumbrik.dll" (ByVal Eingang As Long) As Long
Private Declare Sub pause Lib "lumbrik.dll" (ByVal Zehntelsekunden As Double)
Private Declare Sub lpt Lib "lumbrik.dll" (ByVal Wert As Long)
Private Declare Sub t_proz1 Lib "lumbrik.dll" (ByVal Stufe As Long)
Private Declare Function t_funk1 Lib "lumbrik.dll" (ByVal Nummer As Long) As Long
#End If

Sub Main()
    ' Opens the interface and shows the start-up box until OK is pressed.
    vorbereitung 0

    t_proz1 7
    einschalten_liste "[1 3]"
    Debug.Print "ausgangzustand: " & ausgangzustand()
    Debug.Print "schalter 2: " & IIf(schalter(2) <> 0, "an", "aus")
    Debug.Print "sensor 1: " & sensor(1)

    ' One second; Escape in a window of this thread (a form) cuts it short.
    pause 10
    Debug.Print "pause abgebrochen: " & IIf(gib_fehler() <> 0, "ja", "nein")

    ausschalten_liste "[1 3]"
    allesaus
End Sub
