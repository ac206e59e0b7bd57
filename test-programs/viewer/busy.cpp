#include "busy.h"

#include <string>

#include "log.h"
#include "settings.h"

namespace {

struct BusySwitch {
  BusyMoment moment = BusyMoment::kNone;
  DWORD ms = 0;
  bool done = false;
};

BusySwitch gBusy;
bool gRead = false;

const wchar_t* const kMomentNames[] = {L"", L"loop", L"capture", L"signal", L"destroy"};

BusySwitch& Switch() {
  if (gRead) return gBusy;
  gRead = true;
  std::wstring text;
  if (!GetEnvironmentText(L"KELV_BUSY", &text)) return gBusy;
  const size_t colon = text.find(L':');
  if (colon == std::wstring::npos) return gBusy;
  const std::wstring name = text.substr(0, colon);
  wchar_t* end = nullptr;
  const unsigned long ms = std::wcstoul(text.c_str() + colon + 1, &end, 10);
  if (end == nullptr || *end != L'\0') return gBusy;
  for (int i = 1; i < static_cast<int>(sizeof(kMomentNames) / sizeof(kMomentNames[0])); ++i) {
    if (name == kMomentNames[i]) {
      gBusy.moment = static_cast<BusyMoment>(i);
      gBusy.ms = ms;
    }
  }
  return gBusy;
}

}  // namespace

BusyMoment BusyMomentAsked() { return Switch().moment; }

void BeBusyAt(BusyMoment moment) {
  BusySwitch& busy = Switch();
  if (busy.moment != moment || busy.done) return;
  busy.done = true;
  LogLine(std::wstring(L"busy ") + kMomentNames[static_cast<int>(moment)]);
  Sleep(busy.ms);
  LogLine(L"busy done");
}
