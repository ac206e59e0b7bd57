// Event log read by the tests: one UTF-8 line per event, appended to the file named by KELV_LOG.
#pragma once

#include <windows.h>

#include <string>

// Reads KELV_LOG once; without it every Log_Line is a no-op.
void Log_Open();
// Appends the line and a line end; the line is on disk when this returns.
void Log_Line(const std::wstring& line);
// "0x" followed by lower-case hex digits.
std::wstring Log_Hex(ULONGLONG value);
