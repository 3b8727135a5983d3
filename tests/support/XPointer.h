#pragma once

#include <QPoint>

// A real pointer on the X server the program shows on, through the XTest extension, and what
// that server shows, asked over a connection of the test's own (so the answer does not wait for
// the program's requests). Points are in the program's device-independent pixels of a screen at
// the origin, scaled by the screen's device pixel ratio.
namespace testsupport::xpointer {

// Whether the server can be reached and has the XTest extension.
bool Available();
void MoveTo(QPoint global);
// The left button.
void Button(bool down);
void Click();
// One notch of the wheel, towards the user or away.
void WheelNotch(bool towardsUser);
// Whether the server shows the window (a window id) now; a window destroyed is not shown.
bool Viewable(unsigned long window);

} // namespace testsupport::xpointer
