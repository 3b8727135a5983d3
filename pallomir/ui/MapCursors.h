#pragma once

#include <QCursor>

// The cursors of the map commands, by their resource numbers.
inline constexpr int IDC_CURSOR_ZOOMIN = 12679;
inline constexpr int IDC_CURSOR_ZOOMOUT = 12680;
inline constexpr int IDC_CURSOR_HAND = 12681;
inline constexpr int IDC_CURSOR_GRAB = 12682;

// A magnifying glass with a plus (zoom in) or a minus (zoom out), an open hand, a closed hand
// (dragging); the arrow for any other number.
QCursor LoadMapCursor(int id);
