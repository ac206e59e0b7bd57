// Event log read by the tests: one UTF-8 line per event, appended to the file named by KELV_LOG.
#pragma once

#include <windows.h>

#include <string>

// Reads KELV_LOG once; without it every LogLine is a no-op.
void OpenLog();
// Appends the line and a line end; the line is on disk when this returns.
void LogLine(const std::wstring& line);
// "0x" followed by lower-case hex digits.
std::wstring HexText(ULONGLONG value);
