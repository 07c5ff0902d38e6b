// The window of the simulated box ("lumbrik Simulator"): lamps for the
// outputs, the motors, switches and sliders for the inputs, the voltages and
// the last vendor call. panel.cpp draws it on Windows; natively
// panel_keins.cpp stands in and shows nothing.
#pragma once

class box;

// Shows the window of `b`, on a thread of its own that is started by the
// first call; the window shows that box for good (the DLL has one). Returns
// at once, never waits for the window, and must be called without the box's
// lock held. Does nothing when LUMBRIK_PANEL is 0, and nothing more once a
// window could not be made (no display).
void panel_zeigen(box &b);
