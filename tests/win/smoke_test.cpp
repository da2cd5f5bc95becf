// Every screen's template loads with its real procedure.
#include <gtest/gtest.h>

#include "resource.h"
#include "screen_harness.h"

TEST(ScreenTemplates, EveryScreenCanBeCreated) {
    for (int id : {IDD_FILE_SELECT, IDD_SUBJECT_ENTRY, IDD_RESULTS_VIEW, IDD_SPLASH, IDD_ABOUT}) {
        HWND dialog = CreateScreen(id);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        DestroyWindow(dialog);
    }
    TakeQuitMessage();
}
