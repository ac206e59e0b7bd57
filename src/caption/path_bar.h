#pragma once

// Paints the display text over the host's path bar above the quick-view pane, in the host's
// caption colours and window font. Nothing is drawn when the draw flag is off.
void PathBarCaption(const wchar_t* displayText, bool draw);
