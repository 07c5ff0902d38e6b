// lumbrik.dll from C#. Build for x86 (<PlatformTarget>x86</PlatformTarget>):
// AnyCPU runs as a 64-bit process on 64-bit Windows and cannot load the
// 32-bit DLL (BadImageFormatException, 0x8007000B).
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Lumbrik
{
    const string Dll = "lumbrik.dll";
    const CallingConvention Std = CallingConvention.StdCall;

    // int is 32 bits, IntPtr as wide as a pointer; the truth value is one
    // byte (a plain bool would be marshalled as a 4-byte BOOL).
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern byte gib_fehler();
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void vorbereitung(int wert);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void einschalten(IntPtr ausgaenge);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void einschalten(byte[] liste);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void ausschalten(IntPtr ausgaenge);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void ausschalten(byte[] liste);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void allesaus();
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void motor(int nummer, int wert);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern int ausgangzustand();
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern byte schalter(IntPtr eingaenge);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern byte schalter(byte[] liste);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern int sensor(int eingang);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern int poti(int eingang);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void pause(double zehntelsekunden);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void lpt(int wert);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern void t_proz1(int stufe);
    [DllImport(Dll, CallingConvention = Std, ExactSpelling = true)] public static extern int t_funk1(int nummer);

    // A list text as 8-bit bytes with a closing zero. List texts are ASCII,
    // which code page 1252 shares.
    public static byte[] Liste(string text) => Encoding.ASCII.GetBytes(text + "\0");
}

static class Beispiel
{
    static void Main()
    {
        // Opens the interface and shows the start-up box until OK is pressed.
        Lumbrik.vorbereitung(0);

        Lumbrik.t_proz1(7);
        Lumbrik.einschalten(Lumbrik.Liste("[1 3]"));
        Console.WriteLine("ausgangzustand: " + Lumbrik.ausgangzustand());
        Console.WriteLine("schalter 2: " + (Lumbrik.schalter(new IntPtr(2)) != 0 ? "an" : "aus"));
        Console.WriteLine("sensor 1: " + Lumbrik.sensor(1));

        // One second; Escape in a window of this thread cuts it short.
        Lumbrik.pause(10);
        Console.WriteLine("pause abgebrochen: " + (Lumbrik.gib_fehler() != 0 ? "ja" : "nein"));

        Lumbrik.ausschalten(Lumbrik.Liste("[1 3]"));
        Lumbrik.allesaus();
    }
}
