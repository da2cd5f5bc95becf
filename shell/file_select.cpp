// File selection screen (placeholder until it lands).
#include "app_state.h"

extern "C" INT_PTR CALLBACK DialogFunc1(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
