// Helpers for screen tests: real templates, real dialog procedures, modeless for testing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Creates dialog dialogId modeless with its real procedure (or the one given).
HWND CreateScreen(int dialogId, DLGPROC procedure = nullptr);

// Dispatches every message waiting on this thread (timers, paints, posted messages).
void PumpMessages();

std::string ControlText(HWND dialog, int controlId);
bool ControlVisible(HWND dialog, int controlId);
bool ControlEnabled(HWND dialog, int controlId);

// WM_COMMAND as a control sends it (identifier, notification code, the control's window).
void SendCommand(HWND dialog, int controlId, int notification = BN_CLICKED);

// A fresh temporary path ending in the given suffix (the file is not created).
std::string TemporaryPath(const char* suffix);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Takes the WM_QUIT that a screen's Exit posts, so it does not end the test program; returns
// whether one was waiting.
bool TakeQuitMessage();
// The same, giving the code of the last quit message that was waiting, if any.
std::optional<WPARAM> TakeQuitCode();
