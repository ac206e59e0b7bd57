// Messages to windows of another thread, bounded in time. The plugin's code runs on the host's
// thread and on the viewer's; neither may hold the other for good when that one is busy or hung.
#pragma once

#include <windows.h>

// How long a window's thread is given to answer before the caller goes on without the answer.
constexpr UINT kAnswerLimitMs = 500;

// Sends as SendMessageW does, but gives up when the window's thread is hung or has not answered
// within the limit. Answers whether an answer came; the window's answer goes to *answer (0 when
// none came). Messages sent to the calling thread's own windows are handled directly.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer,
                 UINT limitMs = kAnswerLimitMs);

// Whether the window's thread handles messages: it answers an empty message within the limit.
bool WindowAnswers(HWND window, UINT limitMs);
