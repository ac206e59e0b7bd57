// What the load tests share: a plugin folder with the stand-in viewer, a folder of pictures, the
// viewer's log, and the calls a host makes to open and close a view.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/message_boxes.h"
#include "support/plugin_under_test.h"
#include "support/standin_host.h"
#include "support/viewer_log.h"
#include "support/waits.h"

namespace testing_support {

// Three small pictures in a fresh folder: a.bmp, b.bmp, c.bmp.
class PictureFolder {
 public:
  PictureFolder() : folder_(L"pictures") {
    for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp"}) WriteBitmap(folder_.path() + name);
  }
  std::wstring File(const std::wstring& name) const { return folder_.path() + name; }
  const std::wstring& path() const { return folder_.path(); }

  // A 4x4 24-bit bitmap; the content does not matter to the plugin.
  static void WriteBitmap(const std::wstring& path) {
    BYTE file[54 + 48] = {'B', 'M'};
    *reinterpret_cast<DWORD*>(file + 2) = sizeof(file);
    *reinterpret_cast<DWORD*>(file + 10) = 54;
    BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(file + 14);
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = 4;
    info->biHeight = 4;
    info->biPlanes = 1;
    info->biBitCount = 24;
    for (int i = 54; i < static_cast<int>(sizeof(file)); ++i) file[i] = static_cast<BYTE>(i * 7);
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE)
        << "cannot write " << std::string(path.begin(), path.end());
    DWORD written = 0;
    WriteFile(handle, file, sizeof(file), &written, nullptr);
    CloseHandle(handle);
  }

 private:
  TempFolder folder_;
};

inline HWND LoadView(const PluginUnderTest& plugin, HWND lister, const std::wstring& file) {
  std::vector<wchar_t> name(file.begin(), file.end());
  name.push_back(L'\0');
  return plugin.ListLoadW(lister, name.data(), 0);
}

// One real key event into the system's input stream.
inline INPUT KeyInput(WORD key, bool down) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  return input;
}

inline void PressKey(WORD key, bool down) {
  INPUT input = KeyInput(key, down);
  SendInput(1, &input, sizeof(input));
}

inline INPUT MouseEvent(DWORD flags, DWORD data = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  return input;
}

// Real input events, in this order, in one call.
inline void Send(std::initializer_list<INPUT> inputs) {
  std::vector<INPUT> list(inputs);
  SendInput(static_cast<UINT>(list.size()), list.data(), sizeof(INPUT));
}

// A key pressed and released.
inline void Press(WORD key) { Send({KeyInput(key, true), KeyInput(key, false)}); }

// A key held for a while, as long as a user's press lasts, then released.
inline void HoldKey(WORD key, DWORD milliseconds) {
  PressKey(key, true);
  Sleep(milliseconds);
  PressKey(key, false);
}

// A left click at a point of the screen.
inline void ClickAt(POINT point) {
  SetCursorPos(point.x, point.y);
  Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
}

// Sets the held state of keys for this thread, as GetKeyState reports them; all others released.
inline void HoldOnly(const std::vector<int>& keys) {
  BYTE state[256] = {};
  for (int key : keys) state[key] = 0x80;
  SetKeyboardState(state);
}

// A window whose title stands for the viewer's.
class TitledWindow {
 public:
  explicit TitledWindow(const std::wstring& title)
      : hwnd_(CreateWindowExW(0, L"STATIC", title.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr)) {}
  ~TitledWindow() { DestroyWindow(hwnd_); }
  TitledWindow(const TitledWindow&) = delete;
  TitledWindow& operator=(const TitledWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

inline std::wstring TitleOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

inline HWND ViewerWindowOf(HWND container) { return GetWindow(container, GW_CHILD); }

inline DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

// Waits until no stand-in viewer process runs any more.
inline bool NoViewerLeft(DWORD timeoutMs = 5000) {
  return WaitUntil([] { return RunningViewerProcesses().empty(); }, timeoutMs);
}

inline bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Whether this machine starts programs of that width. The kernels of some virtual machines run no
// 32-bit code at all; the test scripts then set KELVANE_RUNS_32BIT to 0.
inline bool StartsProgramsOf(Width width) {
  wchar_t runs32[2] = {};
  return width == Width::k64 || GetEnvironmentVariableW(L"KELVANE_RUNS_32BIT", runs32, 2) != 1 ||
         runs32[0] != L'0';
}
constexpr char kNo32BitPrograms[] = "this machine runs no 32-bit programs (KELVANE_RUNS_32BIT=0)";

inline std::wstring Utf16(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}
inline std::string Narrow(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
  return out;
}

// Every test of a view ends with no viewer left running, whatever happened.
class ViewTest : public ::testing::Test {
 protected:
  void TearDown() override {
    bool clean = NoViewerLeft(3000);
    EndAllViewers();
    EXPECT_TRUE(clean) << "a viewer process was left running";
  }
};

// A view of the pictures opened by the real plugin with the stand-in viewer at its default place,
// in a Lister window of its own or in the quick-view pane of a host window. The viewer reads the
// settings file the plugin works on (for the 64-bit viewer, whose own folder differs, through an
// INI_Folder redirect in the settings file beside it).
class EmbeddedView : public ViewTest {
 protected:
  EmbeddedView() : viewerIni_(DefaultViewerIni(plugin_, OwnWidth())) {
    std::wstring besideViewer = plugin_.folder() +
                                (OwnWidth() == Width::k64 ? L"Kelvane64\\" : L"Kelvane\\") +
                                ViewerIniName(OwnWidth());
    if (besideViewer != viewerIni_) {
      WriteTextFile(besideViewer, L"[Others]\r\nINI_Folder=" + plugin_.folder() + L"Kelvane\r\n");
    }
  }
  void TearDown() override {
    if (container_ != nullptr && IsWindow(container_)) DestroyWindow(container_);
    ViewTest::TearDown();
  }

  // The window the view goes into; made on the first call.
  HWND ListerSide(bool quickView = false) {
    if (listerSide_ != nullptr) return listerSide_;
    if (quickView) {
      host_.reset(new MainWindow());
      listerSide_ = host_->quickView();
      topLevel_ = host_->hwnd();
    } else {
      lister_.reset(new ListerWindow());
      listerSide_ = topLevel_ = lister_->hwnd();
    }
    return listerSide_;
  }
  // Loads a picture of the folder there; answers the container, null when the load failed.
  HWND Open(bool quickView = false, const wchar_t* picture = L"a.bmp") {
    container_ = LoadView(plugin_, ListerSide(quickView), pictures_.File(picture));
    viewer_ = container_ != nullptr ? ViewerWindowOf(container_) : nullptr;
    return container_;
  }

  // [Viewing] FullScreen of the viewer's settings file: as the user left it, and as it is now.
  void SetUserFullScreen(const std::wstring& value) {
    WriteTextFile(viewerIni_, L"[Viewing]\r\nFullScreen=" + value + L"\r\n");
  }
  std::wstring FullScreenValue() const { return ReadIni(viewerIni_, L"Viewing", L"FullScreen"); }

  PluginUnderTest plugin_;
  PictureFolder pictures_;
  ViewerLog log_;
  std::wstring viewerIni_;
  std::unique_ptr<ListerWindow> lister_;
  std::unique_ptr<MainWindow> host_;
  HWND listerSide_ = nullptr;
  HWND topLevel_ = nullptr;
  HWND container_ = nullptr;
  HWND viewer_ = nullptr;
};

}  // namespace testing_support
