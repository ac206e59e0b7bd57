// The mouse hook driven in this process with the windows of an open view: its message table, row
// by row, with the answer and every effect checked, the expected ones present and all others
// absent.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "hook_layout.h"

using namespace testing_support;

namespace {

constexpr LRESULT kSwallowed = 1;
constexpr LRESULT kPassedOn = 0;

enum class Target { kViewer, kWithoutParent, kNone };

using Messages = std::vector<UINT>;

struct Rule {
  const char* what;
  Host host;
  Messages messages;  // each one tried on its own, in a fresh layout
  LRESULT answer;
  int effects;
  Target target = Target::kViewer;
  int code = HC_ACTION;
};

const wchar_t kCaptionInRed[] = L"[Colors]\r\nActiveTitle=255\r\n";

const Rule kRules[] = {
    {"a left-button release refreshes the Lister's caption", Host::kLister, Messages{WM_LBUTTONUP},
     kPassedOn, kCaption},
    {"in quick view it paints the path bar and leaves the host's caption", Host::kMainWindow,
     Messages{WM_LBUTTONUP}, kPassedOn, kCaption},
    {"under the other host's main window its first child takes the caption", Host::kFcMainWindow,
     Messages{WM_LBUTTONUP}, kPassedOn, kNoEffect},
    {"a double click refreshes the Lister's caption", Host::kLister, Messages{WM_LBUTTONDBLCLK},
     kPassedOn, kCaption},
    {"a double click is swallowed in quick view", Host::kMainWindow, Messages{WM_LBUTTONDBLCLK},
     kSwallowed, kNoEffect},
    {"a double click is swallowed under the other host's main window", Host::kFcMainWindow,
     Messages{WM_LBUTTONDBLCLK}, kSwallowed, kNoEffect},
    {"a wheel turn synthesises a left-button release", Host::kLister, Messages{WM_MOUSEWHEEL},
     kPassedOn, kRelease},
    {"other messages pass on untouched", Host::kLister,
     Messages{WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONUP}, kPassedOn,
     kNoEffect},
    {"HC_NOREMOVE passes on untouched", Host::kLister,
     Messages{WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL}, kPassedOn, kNoEffect, Target::kViewer,
     HC_NOREMOVE},
    {"a negative code passes on untouched", Host::kLister,
     Messages{WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL}, kPassedOn, kNoEffect, Target::kViewer,
     -1},
    {"a message for a window without a parent changes nothing", Host::kMainWindow,
     Messages{WM_LBUTTONUP, WM_LBUTTONDBLCLK}, kPassedOn, kNoEffect, Target::kWithoutParent},
    {"a message for no window changes nothing", Host::kMainWindow,
     Messages{WM_LBUTTONUP, WM_LBUTTONDBLCLK}, kPassedOn, kNoEffect, Target::kNone},
};

TEST(MouseHook, AnswersAndActsByItsMessageTable) {
  PluginUnderTest plugin(WithoutViewer());
  HostSettings settings(kCaptionInRed);
  for (const Rule& rule : kRules) {
    for (UINT message : rule.messages) {
      SCOPED_TRACE(testing::Message() << rule.what << ", message " << message);
      HookLayout layout(rule.host);
      TitledWindow alone(L"b.png - Kelvane");
      MOUSEHOOKSTRUCT record = {};
      record.hwnd = rule.target == Target::kViewer          ? layout.focus()
                    : rule.target == Target::kWithoutParent ? alone.hwnd()
                                                            : nullptr;
      InjectedInput injected;
      EXPECT_EQ(plugin.MouseProc(rule.code, message, reinterpret_cast<LPARAM>(&record)),
                rule.answer);
      ExpectEffects(layout, layout.focus(), injected, 0, rule.effects);
    }
  }
}

}  // namespace
