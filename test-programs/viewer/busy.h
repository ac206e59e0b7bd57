// The busy switch, KELV_BUSY=<moment>:<ms>: at one moment the viewer's thread handles no message
// for that long, as a viewer decoding a huge picture does, and then carries on. Moments: "loop",
// on entering the message loop, its window shown but not yet answering; "capture", the first
// message the main window gets once another window is its parent; "signal", when the event named by
// KELV_HANG_EVENT is set; "destroy", when the main window is being destroyed.
#pragma once

#include <windows.h>

enum class BusyMoment { kNone, kLoop, kCapture, kSignal, kDestroy };

// The moment asked for in the environment; kNone when the switch is unset or malformed.
BusyMoment BusyMomentAsked();

// Busy for the time asked when this is the moment asked for; logs "busy <moment>" and then
// "busy done". Each moment comes once.
void BeBusyAt(BusyMoment moment);
