#pragma once

#include <windows.h>

#include <string>

// Reading and setting the controls of a dialog or property page by their resource ids.
namespace DialogItems {

std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
void Enable(HWND dialog, int id, bool enabled);
void Show(HWND dialog, int id, bool shown);
void SetupTrackBar(HWND dialog, int id, int low, int high, int tick, int position);
int TrackBarPosition(HWND dialog, int id);

} // namespace DialogItems
