#include "caption/caption_text.h"

#include <cwchar>

#include "contracts/plugin_files.h"

namespace {

constexpr int kCaptionFixedCharacters = 14;  // "Lister (", ") - [" and "]"

}  // namespace

bool ComposeListerCaption(const wchar_t* pluginName, const wchar_t* fileNamePart,
                          wchar_t* caption) {
  int capacity = TextLength(pluginName) + kTextCapacity + kCaptionFixedCharacters;
  // Never true for the caption routine, whose plugin name fits kTextCapacity (capacity 533 at
  // most); it keeps a longer name from writing past the caption's buffer.
  if (capacity > kCaptionCapacity) {
    caption[0] = L'\0';
    return false;
  }
  return TextFormat(caption, capacity, plugin_files::kListerCaptionFormat,
                    {pluginName, fileNamePart});
}

bool ComposeDisplayText(const wchar_t* titleSuffix, const wchar_t* fileNamePart,
                        wchar_t* displayText) {
  const wchar_t* name = TextAfterLastBackslash(fileNamePart);
  int capacity = TextLength(titleSuffix) + kTextCapacity;
  // Never true for the caption routine, whose suffix fits kTextCapacity (capacity 519 at most);
  // it keeps a longer suffix from writing past the display text's buffer.
  if (capacity > kCaptionCapacity) {
    displayText[0] = L'\0';
    return false;
  }
  if (!TextFormat(displayText, capacity, L"%s%s", {name, titleSuffix})) return false;
  int length = TextLength(displayText);
  // The text is drawn over whatever the bar showed before, without clearing it: the blanks cover
  // the rest of an earlier, longer text.
  if (2 * length < capacity) {
    int filledLength = capacity - length - 1;
    wmemset(displayText + length, L' ', static_cast<size_t>(filledLength - length));
    displayText[filledLength] = L'\0';
  }
  return true;
}
