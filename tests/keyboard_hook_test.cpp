// The keyboard hook driven in this process with the windows of an open view and real key state:
// its key table, row by row, with the answer (swallowed or passed on) and every effect checked,
// the expected ones present and all others absent.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "hook_layout.h"

using namespace testing_support;

namespace {

constexpr LRESULT kSwallowed = 1;
constexpr LRESULT kPassedOn = 0;  // what the end of the hook chain answers here
constexpr int kThisKey = -1;      // in a row's held keys: the key being handled

using Keys = std::vector<int>;

struct Rule {
  const char* what;
  Host host;
  Keys keys;  // each one tried on its own, in a fresh layout
  Keys held;
  LRESULT answer;
  int effects;
  const wchar_t* focusClass = L"Window";
  const wchar_t* active = nullptr;  // class of a window made active, with the focus inside it
  int menuItems = 9;
  int code = HC_ACTION;
};

const Keys kNavigation = {VK_BACK, VK_SPACE, VK_LEFT, VK_RIGHT};
const Keys kModifiers = {VK_ESCAPE, VK_MENU, VK_SHIFT, VK_CONTROL};

const wchar_t kCaptionInRed[] = L"[Colors]\r\nActiveTitle=255\r\n";

const Rule kRules[] = {
    {"navigation keys refresh the Lister's caption and release the left button", Host::kLister,
     kNavigation, Keys{}, kPassedOn, kCaption | kRelease},
    {"in quick view they paint the path bar and leave the host's caption", Host::kMainWindow,
     kNavigation, Keys{}, kPassedOn, kCaption | kRelease},
    {"under the other host's main window its first child takes the caption", Host::kFcMainWindow,
     Keys{VK_RIGHT}, Keys{}, kPassedOn, kRelease},
    {"Tab alone only passes on", Host::kLister, Keys{VK_TAB}, Keys{}, kPassedOn, kNoEffect},
    {"Ctrl+Tab moves the focus to the top-level window's first child", Host::kLister, Keys{VK_TAB},
     Keys{VK_CONTROL}, kPassedOn, kFocusToChild},
    {"digits go to the host while a Window has the focus", Host::kLister,
     Keys{'1', '2', '3', '4', '5', '6', '7', '8'}, Keys{}, kPassedOn, kHandOver},
    {"digits go to the host while a TLister has the focus", Host::kLister, Keys{'1', '8'}, Keys{},
     kPassedOn, kHandOver, L"TLister"},
    {"digits go to the host while a TfcViewerForm has the focus", Host::kLister, Keys{'1', '8'},
     Keys{}, kPassedOn, kHandOver, L"TfcViewerForm"},
    {"digits only pass on while another class has the focus", Host::kLister, Keys{'5'}, Keys{},
     kPassedOn, kNoEffect, L"WindowX"},
    {"0 and 9 are not the host's", Host::kLister, Keys{'0', '9'}, Keys{}, kPassedOn, kNoEffect},
    {"N and P go to the host when held and its menu bar has more than 7 items", Host::kMainWindow,
     Keys{'N', 'P'}, Keys{kThisKey}, kPassedOn, kHandOver, L"Window", nullptr, 8},
    {"N and P only pass on when its menu bar has 7 items", Host::kMainWindow, Keys{'N', 'P'},
     Keys{kThisKey}, kPassedOn, kNoEffect, L"Window", nullptr, 7},
    {"N and P only pass on when it has no menu bar", Host::kMainWindow, Keys{'N', 'P'},
     Keys{kThisKey}, kPassedOn, kNoEffect, L"Window", nullptr, 0},
    {"N and P only pass on in a Lister window, which has no menu bar", Host::kLister,
     Keys{'N', 'P'}, Keys{kThisKey}, kPassedOn, kNoEffect},
    {"N and P only pass on when not held", Host::kMainWindow, Keys{'N', 'P'}, Keys{}, kPassedOn,
     kNoEffect},
    {"N and P only pass on while another class has the focus", Host::kMainWindow, Keys{'N', 'P'},
     Keys{kThisKey}, kPassedOn, kNoEffect, L"WindowX"},
    {"Alt+Shift+C and Alt+Shift+M are swallowed in a Lister window", Host::kLister, Keys{'C', 'M'},
     Keys{VK_MENU, VK_SHIFT}, kSwallowed, kNoEffect},
    {"C and M with Alt alone pass on in a Lister window", Host::kLister, Keys{'C', 'M'},
     Keys{VK_MENU}, kPassedOn, kNoEffect},
    {"C and M with Shift alone pass on in a Lister window", Host::kLister, Keys{'C', 'M'},
     Keys{VK_SHIFT}, kPassedOn, kNoEffect},
    {"C, M and Enter pass on in a Lister window", Host::kLister, Keys{'C', 'M', VK_RETURN}, Keys{},
     kPassedOn, kNoEffect},
    {"C, M and Enter are swallowed in quick view", Host::kMainWindow, Keys{'C', 'M', VK_RETURN},
     Keys{}, kSwallowed, kNoEffect},
    {"C, M and Enter are swallowed under the other host's main window", Host::kFcMainWindow,
     Keys{'C', 'M', VK_RETURN}, Keys{}, kSwallowed, kNoEffect},
    {"Esc closes a Lister window, and the viewer gets it as well", Host::kLister, Keys{VK_ESCAPE},
     Keys{VK_ESCAPE}, kPassedOn, kClose},
    {"C, M and Enter with Esc held follow the Esc rules in a Lister window", Host::kLister,
     Keys{'C', 'M', VK_RETURN}, Keys{VK_ESCAPE}, kPassedOn, kClose},
    {"Esc only passes on while a dialog is active", Host::kLister, Keys{VK_ESCAPE}, Keys{VK_ESCAPE},
     kPassedOn, kNoEffect, L"Window", L"#32770"},
    {"Esc only passes on while a full-screen window is active", Host::kLister, Keys{VK_ESCAPE},
     Keys{VK_ESCAPE}, kPassedOn, kNoEffect, L"Window", L"FullScreenClass"},
    {"the release of Esc, no longer held, only passes on", Host::kLister, Keys{VK_ESCAPE}, Keys{},
     kPassedOn, kNoEffect},
    {"Esc is swallowed in quick view", Host::kMainWindow, Keys{VK_ESCAPE}, Keys{VK_ESCAPE},
     kSwallowed, kNoEffect},
    {"Esc is swallowed under the other host's main window", Host::kFcMainWindow, Keys{VK_ESCAPE},
     Keys{VK_ESCAPE}, kSwallowed, kNoEffect},
    {"keys outside the table pass on untouched", Host::kLister,
     Keys{0, 7, 'A', 'B', 'O', 'Q', 'Z', VK_F1, 0xFF}, kModifiers, kPassedOn, kNoEffect},
    {"HC_NOREMOVE passes on untouched", Host::kLister, Keys{'5', VK_RIGHT, VK_ESCAPE, 'C', VK_TAB},
     kModifiers, kPassedOn, kNoEffect, L"Window", nullptr, 9, HC_NOREMOVE},
    {"a negative code passes on untouched", Host::kLister,
     Keys{'5', VK_RIGHT, VK_ESCAPE, 'C', VK_TAB}, kModifiers, kPassedOn, kNoEffect, L"Window",
     nullptr, 9, -1},
};

class KeyboardHook : public ::testing::Test {
 protected:
  KeyboardHook() : plugin_(WithoutViewer()), settings_(kCaptionInRed) {}
  void TearDown() override { HoldOnly({}); }
  LRESULT Key(int key, int code = HC_ACTION) { return plugin_.KbdProc(code, key, 0x00010001); }

  PluginUnderTest plugin_;
  HostSettings settings_;
};

TEST_F(KeyboardHook, AnswersAndActsByItsKeyTable) {
  for (const Rule& rule : kRules) {
    for (int key : rule.keys) {
      SCOPED_TRACE(testing::Message() << rule.what << ", key " << key);
      HookLayout layout(rule.host, rule.focusClass, rule.menuItems);
      if (rule.active != nullptr) layout.ActivateWindowOfClass(rule.active);
      HWND focusBefore = GetFocus();
      Keys held = rule.held;
      for (int& heldKey : held) heldKey = heldKey == kThisKey ? key : heldKey;
      HoldOnly(held);
      InjectedInput injected;
      EXPECT_EQ(Key(key, rule.code), rule.answer);
      ExpectEffects(layout, focusBefore, injected, key, rule.effects);
    }
  }
}

TEST_F(KeyboardHook, WithoutAFocusWindowNothingMatchesWhateverAnEarlierTestFound) {
  HookLayout layout(Host::kMainWindow);
  ASSERT_EQ(Key(VK_RETURN), kSwallowed) << "the host's main window was recognised";
  SetFocus(nullptr);
  ASSERT_EQ(GetFocus(), nullptr);
  for (int key : std::vector<int>{VK_RETURN, 'C', '5', 'N', VK_ESCAPE}) {
    HoldOnly({'N'});
    InjectedInput injected;
    EXPECT_EQ(Key(key), kPassedOn) << key;
    ExpectEffects(layout, nullptr, injected, key, kNoEffect);
  }
}

}  // namespace
