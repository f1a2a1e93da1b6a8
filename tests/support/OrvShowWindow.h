#ifndef ORV_TESTS_SUPPORT_ORVSHOWWINDOW_H
#define ORV_TESTS_SUPPORT_ORVSHOWWINDOW_H

// What end-to-end tests read off the windows of a Run they started: the window whose title
// begins a certain way (the display-mode screen, the show, the error dialog: one process
// opens them one after another), and the position the show's caption names.

#include <string>

class OrvChildProcess;
class OrvXDriver;

// The window of the child whose title starts with `prefix`; 0 once `timeoutMs` have passed or
// the child has ended.
unsigned long OrvWaitForTitle(OrvXDriver& x, OrvChildProcess& child, const std::string& prefix,
                              int timeoutMs);

// The position a show's caption shows ("... Position: 12.3 ..."), in seconds; -1 when the
// caption has none.
double OrvCaptionPosition(const std::string& caption);

#endif
