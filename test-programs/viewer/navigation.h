// Stepping through the files of the shown file's folder, in name order, wrapping at both ends.
#pragma once

#include <string>

// The name after the last backslash or slash; the whole text when there is none.
std::wstring BareFileName(const std::wstring& path);

// The file after (step > 0) or before (step < 0) the given one in its folder. Only files count,
// sorted by name ignoring case. The folder is read afresh on every call, so the given file need
// not exist any more. False when the folder holds no file at all.
bool StepInFolder(const std::wstring& path, int step, std::wstring* outPath);
