// One harness for the screen tests: real templates and dialog procedures created modeless,
// one answerer for every modal box, one temporary file, one window count.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "label_font.h"
#include "resource.h"
#include "screen_flow.h"

constexpr int MessageTextId = 0xFFFF; // a message box's text
constexpr int FileNameId = 0x47c;     // a file dialog's name field

// Creates dialogId modeless with its real procedure (or the one given) and pumps.
HWND CreateScreen(int dialogId, DLGPROC procedure = nullptr);
// Dispatches every waiting message; a quit message is put back for TakeQuitCode.
void PumpMessages();
std::string ControlText(HWND dialog, int controlId);
bool ControlVisible(HWND dialog, int controlId);
bool ControlEnabled(HWND dialog, int controlId);
// WM_COMMAND as the control sends it.
void SendCommand(HWND dialog, int controlId, int notification = BN_CLICKED);
// Takes every waiting quit message; the code of the last one.
std::optional<WPARAM> TakeQuitCode();
// Every window of this thread, the children included.
int ThreadWindows();
// The visible top-level window of this thread that has controlId, or nullptr.
HWND FindScreen(int controlId);
// The fonts that a screen's controls show other than the dialog's own: the ones it made.
std::vector<HGDIOBJ> ScreenFonts(HWND screen);
// How many of these GDI objects the platform still knows (GetObjectType).
int LiveObjects(const std::vector<HGDIOBJ>& objects);

// Once a window that has the control whileUp opens (MessageTextId: a message box, FileNameId: a
// file dialog), presses button on screen once from within that window's modal loop, as a click
// on the screen beneath it would.
void PressUnder(int whileUp, HWND screen, int button);
// The same with any message.
void SendUnder(int whileUp, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One four-line record as the program stores it.
std::string Record(int semester, const std::string& subject, int creditIndex, int gradeIndex);

// A path in the temporary folder, removed (file or empty folder) when the object goes.
struct TempFile {
    explicit TempFile(const char* suffix = ".rst");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string Read() const;
    void Write(const std::string& bytes) const;
    std::string Path;
};

// A modal box the answerer saw.
struct Box {
    std::string Caption; // in UTF-8
    std::string Text;    // a message box's text; a file dialog's is empty
    bool ViewVisible;    // the results view was on screen when the box came
    HWND Owner;          // the window beneath it, which it disables and stays in front of
};

// While alive, a timer on this thread finds every message box, file dialog, Rename dialog and
// shortcut menu that opens (in whatever modal loop), records it and answers it: the next queued
// button (OK once the queue is empty) on a message box, the next queued name (Cancel once the
// queue is empty) in a file dialog, the next queued name and Enter (Escape once the queue is
// empty) in the Rename dialog, each time it is there to be answered, the next queued keys
// (Escape once the queue is empty) in a menu. A menu is
// recorded with the caption "menu" and its items as text: "&Remove \"Art\"...|-|&Grade>A-|..."
// (a submenu with its checked item).
class ModalAnswerer {
  public:
    ModalAnswerer();
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;
    void Name(const std::string& fileName); // UTF-8; the next file or Rename dialog gets it
    // The next message box gets it (IDYES, IDNO, ...; 0: nothing), or minus a virtual key:
    // that key pressed on the button that has the focus (-VK_RETURN: Enter).
    void Press(int buttonId);
    // The next menu gets these keys: a character (WM_CHAR), or minus a virtual key (WM_KEYDOWN).
    void Keys(std::vector<int> keys);
    static std::vector<Box> Seen;

  private:
    UINT_PTR timer_;
};
