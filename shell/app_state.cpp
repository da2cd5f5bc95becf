#include "app_state.h"

HINSTANCE InstanceHandle = nullptr;
HWND MainWindow = nullptr;
HWND SplashWindow = nullptr;
UINT_PTR SplashTimerId = 0;

char ResultFilePath[ResultFilePathSize] = "";
int IsNewFile = 0;

int CurrentSemester = 0;
int AnimationPhase = 1;
int AnimationStep = 0;
int AnimationTicks = 0;
int HoverTab = 0;

HWND ResultsViewWindow = nullptr;
UINT_PTR ViewTimerId = 0;
