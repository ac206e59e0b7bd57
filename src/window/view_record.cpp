#include "window/view_record.h"

#include "contracts/viewer.h"

namespace {

// Views of the host's process, newest first. Only the host's GUI thread touches the list.
View* gOpenViews = nullptr;

bool SameFile(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

const View* FindOpenView(const wchar_t* settingsPath, const View* except) {
  for (const View* view = gOpenViews; view != nullptr; view = view->next) {
    if (view != except && SameFile(view->settingsPath, settingsPath)) return view;
  }
  return nullptr;
}

void Unlink(View* view) {
  for (View** link = &gOpenViews; *link != nullptr; link = &(*link)->next) {
    if (*link == view) {
      *link = view->next;
      return;
    }
  }
}

}  // namespace

View* OpenView(const wchar_t* settingsPath) {
  View* view = static_cast<View*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(View)));
  if (view == nullptr) return nullptr;
  TextCopy(view->settingsPath, kTextCapacity, settingsPath);

  const View* sharing = FindOpenView(settingsPath, nullptr);
  if (sharing != nullptr) {
    TextCopy(view->savedFullScreen, kTextCapacity, sharing->savedFullScreen);
  } else {
    GetPrivateProfileStringW(viewer::kViewingSection, viewer::kFullScreenKey, L"",
                             view->savedFullScreen, kTextCapacity, settingsPath);
  }
  WritePrivateProfileStringW(viewer::kViewingSection, viewer::kFullScreenKey,
                             viewer::kFullScreenOff, settingsPath);

  view->next = gOpenViews;
  gOpenViews = view;
  return view;
}

void CloseView(View* view) {
  Unlink(view);
  if (FindOpenView(view->settingsPath, nullptr) == nullptr) {
    WritePrivateProfileStringW(viewer::kViewingSection, viewer::kFullScreenKey,
                               view->savedFullScreen, view->settingsPath);
  }
  HeapFree(GetProcessHeap(), 0, view);
}

bool IsOpenView(const View* view) {
  for (const View* open = gOpenViews; open != nullptr; open = open->next) {
    if (open == view) return true;
  }
  return false;
}
