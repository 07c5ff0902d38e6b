// --boxes=console: message boxes are printed instead of shown.
#pragma once

// From now on every message box of the calling thread is printed, its
// caption and text, and acknowledged with OK.
void boxen_auf_konsole();
