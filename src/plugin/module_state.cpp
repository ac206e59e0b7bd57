#include "plugin/module_state.h"

HINSTANCE gModule = nullptr;
wchar_t gSharedText[kTextCapacity] = {};
