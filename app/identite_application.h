#pragma once

// The application's name, set once by the program entry (and by the tests
// that look at the title bars).
//
// No display name is set: on X11 Qt appends a set display name to every
// window title (" — Orvandel"), and the title bars must read the windows' own
// captions.
void IdentiteApplication();
