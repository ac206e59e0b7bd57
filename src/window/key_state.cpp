#include "window/key_state.h"

namespace {

// The bit of a key state that says the key is down.
constexpr SHORT kDownBit = static_cast<SHORT>(0x8000);

}  // namespace

bool KeyHeld(int key) { return (GetKeyState(key) & kDownBit) != 0; }

bool KeyHeldNow(int key) { return (GetAsyncKeyState(key) & kDownBit) != 0; }

bool ArrowKeyHeldNow() {
  for (BYTE key : kArrowKeys) {
    if (KeyHeldNow(key)) return true;
  }
  return false;
}
