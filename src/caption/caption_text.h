// The two texts the caption routine composes: the Lister caption and the display text painted
// over the quick-view path bar. Both are written into a buffer of kCaptionCapacity characters.
#pragma once

#include "plugin/text.h"

// Longest caption or display text: a 259-character file name part with the plugin name or the
// title suffix around it, and the terminator.
constexpr int kCaptionCapacity = 2 * kTextCapacity + 14;

// "Lister (<plugin name>) - [<file name part>]". False, with the caption empty, when it does not
// fit the bound a plugin name of this length allows.
bool ComposeListerCaption(const wchar_t* pluginName, const wchar_t* fileNamePart, wchar_t* caption);

// The file name part without its folders, then the title suffix, then spaces up to a length that
// covers what the host has drawn to the right of it. False, with the text empty, when the name
// and the suffix do not fit the bound a suffix of this length allows.
bool ComposeDisplayText(const wchar_t* titleSuffix, const wchar_t* fileNamePart,
                        wchar_t* displayText);
