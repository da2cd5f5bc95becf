// Shared set-up of the results view tests: the real screen from its real template, with its
// animation timer killed so that ticks come only when a test gives them, message boxes answered
// and recorded, and result files written as the program writes them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app_state.h"
#include "label_font.h"
#include "resource.h"
#include "results_view.h"
#include "screen_harness.h"
#include "tab_animation.h"
#include "tab_strip.h"

// Names the result file the next view loads.
inline void SetResultFilePath(const std::string& path) {
    const std::size_t length =
        std::min(path.size(), static_cast<std::size_t>(ResultFilePathSize - 1));
    path.copy(ResultFilePath, length);
    ResultFilePath[length] = '\0';
}

// One four-line record as the program stores it (CR LF line ends).
inline std::string Record(int semester, const std::string& subject, int creditIndex,
                          int gradeIndex) {
    return "Semester " + std::to_string(semester) + "\r\n" + subject + "\r\n" +
           std::to_string(creditIndex) + "\r\n" + std::to_string(gradeIndex) + "\r\n";
}

struct MessageBoxSeen {
    std::string Caption;
    std::string Text;
};

// Every message box this thread opens is recorded and answered with OK.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer() {
        Seen().clear();
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~MessageBoxAnswerer() { UnhookWindowsHookEx(hook_); }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    static std::vector<MessageBoxSeen>& Seen() {
        static std::vector<MessageBoxSeen> seen;
        return seen;
    }

  private:
    static constexpr int MessageBoxTextId = 0xFFFF;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE) {
            auto box = reinterpret_cast<HWND>(wParam);
            char className[32] = "";
            GetClassNameA(box, className, ARRAYSIZE(className));
            if (std::strcmp(className, "#32770") == 0 &&
                GetDlgItem(box, MessageBoxTextId) != nullptr) {
                char caption[256] = "";
                char text[1024] = "";
                GetWindowTextA(box, caption, ARRAYSIZE(caption));
                GetDlgItemTextA(box, MessageBoxTextId, text, ARRAYSIZE(text));
                Seen().push_back({caption, text});
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_ = nullptr;
};

// The view's real procedure, but the animation timer is killed as soon as the view arms it.
inline INT_PTR CALLBACK ViewWithoutTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const INT_PTR result = DialogFunc3(window, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        KillTimer(nullptr, ViewTimerId);
    }
    return result;
}

class ViewTest : public testing::Test {
  protected:
    void SetUp() override {
        CurrentSemester = 0;
        AnimationPhase = 1;
        AnimationStep = 0;
        HoverTab = 0;
        path_ = TemporaryPath(".rst");
        fontsBefore_ = LiveLabelFonts();
    }

    void TearDown() override {
        if (view_ != nullptr) {
            DestroyWindow(view_);
        }
        PumpMessages();
        TakeQuitMessage();
        DeleteFileA(path_.c_str());
        EXPECT_EQ(LiveLabelFonts(), fontsBefore_) << "fonts left behind by the view";
    }

    // Writes the result file and opens the view on it (the timer stopped).
    HWND Open(const std::string& fileBytes) {
        WriteFileBytes(path_, fileBytes);
        return OpenOn(path_);
    }

    HWND OpenOn(const std::string& path) {
        if (view_ != nullptr) {
            DestroyWindow(view_);
        }
        SetResultFilePath(path);
        view_ = CreateScreen(IDD_RESULTS_VIEW, ViewWithoutTimer);
        return view_;
    }

    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            TabAnimationTimerProc(nullptr, WM_TIMER, ViewTimerId, GetTickCount());
        }
    }

    // Which pictures of tab k are visible: any of "S" (selected), "U" (unselected) and "H"
    // (hover), in that order; "-" for none.
    std::string Tab(int tab) const {
        std::string seen;
        if (ControlVisible(view_, SelectedPicture(tab))) {
            seen += 'S';
        }
        if (ControlVisible(view_, UnselectedPicture(tab))) {
            seen += 'U';
        }
        if (ControlVisible(view_, HoverPicture(tab))) {
            seen += 'H';
        }
        return seen.empty() ? "-" : seen;
    }

    // The whole strip, tab 1 to tab 8, separated by spaces.
    std::string Strip() const {
        std::string strip;
        for (int tab = 1; tab <= TAB_COUNT; ++tab) {
            if (tab > 1) {
                strip += ' ';
            }
            strip += Tab(tab);
        }
        return strip;
    }

    // The strip at rest with tab k current.
    static std::string RestingStrip(int currentTab) {
        std::string strip;
        for (int tab = 1; tab <= TAB_COUNT; ++tab) {
            strip += std::string(tab > 1 ? " " : "") + (tab == currentTab ? "S" : "U");
        }
        return strip;
    }

    // Client position of the centre of a control.
    POINT CentreOf(int controlId) const {
        RECT r;
        GetWindowRect(GetDlgItem(view_, controlId), &r);
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(view_, &centre);
        return centre;
    }

    void Move(int x, int y) { SendMessageA(view_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void Press(int x, int y) { SendMessageA(view_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    // The nominal rectangle's middle of tab k, scaled to this dialog.
    POINT InsideTab(int tab) const {
        const TabRectangle r = TabHitRectangle(tab, ScaleOf(view_));
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void MoveToTab(int tab) {
        const POINT p = InsideTab(tab);
        Move(p.x, p.y);
    }
    void PressTab(int tab) {
        const POINT p = InsideTab(tab);
        Press(p.x, p.y);
    }
    // A point in the client area far from the strip, the list and the buttons.
    void MoveAway() { Move(30, 200); }

    int ListSelection() const {
        return static_cast<int>(
            SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_GETCURSEL, 0, 0));
    }

    HWND view_ = nullptr;
    std::string path_;
    long fontsBefore_ = 0;
    MessageBoxAnswerer boxes_;
};
