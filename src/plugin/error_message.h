// Errors for the user: formatted into the shared text buffer and shown in a message box with
// no owner, the system's default caption, an OK button and the error icon.
#pragma once

#include <initializer_list>

void ShowError(const wchar_t* format, std::initializer_list<const wchar_t*> arguments);
