// The viewer's command line: the program name the viewer expects, the quoted file name and, when
// a mode folder is set, the /ini= switch naming it.
#pragma once

// Fills commandLine, which holds viewer::kCommandLineCapacity characters. False, with the line
// empty, when the name holds a double quote (it would end the quoted name early) or the line
// does not fit whole: a cut line would open another file.
bool BuildCommandLine(const wchar_t* fileName, const wchar_t* modeIniFolder, wchar_t* commandLine);
