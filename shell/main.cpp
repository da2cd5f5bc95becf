// Entry point: the hidden main window, whose creation shows the splash screen; the working
// screens follow from the splash timer.
#include <windows.h>

#include "app_state.h"
#include "resource.h"
#include "shell.h"
#include "summary.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    EnsureExtendedPrecision();
    return RunProgram(instance, previousInstance);
}
