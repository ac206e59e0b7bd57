// The GS_LIB value composed from a Ghostscript DLL path by the exported gsenv.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "view_fixture.h"

using namespace testing_support;

namespace {

std::wstring GsLib(const PluginUnderTest& plugin, const std::wstring& dll) {
  wchar_t* value = plugin.gsenv(dll.c_str());
  if (value == nullptr) return L"<null>";
  std::wstring text = value;
  LocalFree(value);
  return text;
}

TEST(Gsenv, ListsTheDllFolderThenTheParentsFontsAndLibFolders) {
  PluginUnderTest plugin(WithoutViewer());
  EXPECT_EQ(GsLib(plugin, L"C:\\gs\\bin\\gs.dll"), L"C:\\gs\\bin\\;C:\\gs\\fonts\\;C:\\gs\\lib\\");
  EXPECT_EQ(GsLib(plugin, L"gs.dll"), L"gs.dll\\;gs.dll\\fonts\\;gs.dll\\lib\\");
  EXPECT_EQ(GsLib(plugin, L"C:\\gs.dll"), L"C:\\;C:\\fonts\\;C:\\lib\\");
  EXPECT_EQ(GsLib(plugin, L"D:\\Program Files\\gs\\gs10.02\\bin\\gsdll64.dll"),
            L"D:\\Program Files\\gs\\gs10.02\\bin\\;D:\\Program Files\\gs\\gs10.02\\fonts\\;"
            L"D:\\Program Files\\gs\\gs10.02\\lib\\");
}

TEST(Gsenv, RefusesAPathBeyondItsBoundRatherThanCuttingIt) {
  PluginUnderTest plugin(WithoutViewer());
  std::wstring folder = L"C:\\" + std::wstring(240, L'g') + L"\\bin";
  EXPECT_EQ(GsLib(plugin, folder + L"\\gs.dll"), folder + L"\\;C:\\" + std::wstring(240, L'g') +
                                                     L"\\fonts\\;C:\\" + std::wstring(240, L'g') +
                                                     L"\\lib\\");
  EXPECT_EQ(GsLib(plugin, L"C:\\" + std::wstring(300, L'g') + L"\\bin\\gs.dll"), L"<null>");
  // The fonts piece (the parent folder followed by \fonts\;) is the longest: 260 characters do
  // not fit its bound of 260 with the terminator, 259 do.
  std::wstring parent = L"C:\\" + std::wstring(249, L'p');
  EXPECT_EQ(GsLib(plugin, parent + L"\\b\\g"), L"<null>");
  std::wstring fits = L"C:\\" + std::wstring(248, L'p');
  EXPECT_EQ(GsLib(plugin, fits + L"\\b\\g"),
            fits + L"\\b\\;" + fits + L"\\fonts\\;" + fits + L"\\lib\\");
}

}  // namespace
