// A host settings file of the size users have (about 100 KB in 1,500 lines), with the keys the
// caption reads near its end, where a reader that parses the file from the top finds them last.
#pragma once

#include <initializer_list>
#include <string>

namespace testing_support {

// DarkMode "1" has the caption follow the system's theme, which it reads from the registry.
inline std::wstring RealisticHostSettings(const wchar_t* darkMode = L"0") {
  std::wstring text;
  for (int section = 0; section < 29; ++section) {
    text += L"[Section" + std::to_wstring(section) + L"]\r\n";
    for (int key = 0; key < 50; ++key) {
      text += L"Key" + std::to_wstring(section) + L"_" + std::to_wstring(key) +
              L"=c:\\some\\folder\\with\\a\\long\\name\\file" + std::to_wstring(key) +
              L".ext,options,0,1,2,3\r\n";
    }
  }
  text += L"[Configuration]\r\n";
  for (int key = 0; key < 20; ++key) text += L"Option" + std::to_wstring(key) + L"=1\r\n";
  text += L"UseNewDefFont=1\r\nDarkMode=" + std::wstring(darkMode) + L"\r\n";
  // The same colours for both themes: whichever the system follows, the caption shows them.
  for (const wchar_t* section : {L"[Colors]\r\n", L"[ColorsDark]\r\n"}) {
    text += std::wstring(section) +
            L"ActiveTitle=8388608\r\nActiveTitleText=16777215\r\n"
            L"InactiveTitle=12632256\r\nInactiveTitleText=0\r\n";
  }
  text +=
      L"[AllResolutions]\r\nFontNameWindow=Tahoma\r\nFontSizeWindow=9\r\nFontWeightWindow=400\r\n";
  return text;
}

}  // namespace testing_support
