// The program with counters for the endurance test. Its hidden main window (class "nama klas")
// answers the registered message EnduranceMessageName:
//   wParam 0: label fonts alive (LiveLabelFonts)
//   wParam 1: fonts alive that the program's own code made with any CreateFont call, counted
//             by wrappers put into the program's import table
//   wParam 2: fonts the program's code has made since it started
//   wParam 10: make one label font and keep it (a leak, so the test can see a count move)
//   wParam 11: make one hidden window and keep it
// Everything else is the ordinary program.
#include <windows.h>

#include <cstring>
#include <set>

#include "label_font.h"
#include "shell.h"
#include "summary.h"

namespace {

constexpr char EnduranceMessageName[] = "Gradewick.EnduranceCounters";
UINT enduranceMessage = 0;
WNDPROC mainWindowProcedure = nullptr;
HHOOK creationHook = nullptr;

std::set<HGDIOBJ> liveFonts;
long fontsMade = 0;

decltype(&CreateFontA) realCreateFontA = nullptr;
decltype(&CreateFontW) realCreateFontW = nullptr;
decltype(&CreateFontIndirectA) realCreateFontIndirectA = nullptr;
decltype(&CreateFontIndirectW) realCreateFontIndirectW = nullptr;
decltype(&DeleteObject) realDeleteObject = nullptr;

HFONT Counted(HFONT font) {
    if (font != nullptr) {
        liveFonts.insert(font);
        ++fontsMade;
    }
    return font;
}

HFONT WINAPI CountingCreateFontA(int height, int width, int escapement, int orientation, int weight,
                                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                                 DWORD precision, DWORD clipPrecision, DWORD quality,
                                 DWORD pitchAndFamily, LPCSTR face) {
    return Counted(realCreateFontA(height, width, escapement, orientation, weight, italic,
                                   underline, strikeOut, charSet, precision, clipPrecision, quality,
                                   pitchAndFamily, face));
}

HFONT WINAPI CountingCreateFontW(int height, int width, int escapement, int orientation, int weight,
                                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                                 DWORD precision, DWORD clipPrecision, DWORD quality,
                                 DWORD pitchAndFamily, LPCWSTR face) {
    return Counted(realCreateFontW(height, width, escapement, orientation, weight, italic,
                                   underline, strikeOut, charSet, precision, clipPrecision, quality,
                                   pitchAndFamily, face));
}

HFONT WINAPI CountingCreateFontIndirectA(const LOGFONTA* font) {
    return Counted(realCreateFontIndirectA(font));
}

HFONT WINAPI CountingCreateFontIndirectW(const LOGFONTW* font) {
    return Counted(realCreateFontIndirectW(font));
}

BOOL WINAPI CountingDeleteObject(HGDIOBJ object) {
    const BOOL deleted = realDeleteObject(object);
    if (deleted != FALSE) {
        liveFonts.erase(object);
    }
    return deleted;
}

// Points the program's import of dll!function at replacement; returns the original address,
// or nullptr when the program does not import it.
void* PatchImport(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        if (_stricmp(reinterpret_cast<char*>(base + module->Name), dll) != 0 ||
            module->OriginalFirstThunk == 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

template <typename Function> void Wrap(const char* name, Function& real, Function counting) {
    void* original = PatchImport("gdi32.dll", name, reinterpret_cast<void*>(counting));
    // A function the program does not import cannot make fonts unseen; keep the real one.
    real = original != nullptr ? reinterpret_cast<Function>(original)
                               : reinterpret_cast<Function>(reinterpret_cast<void*>(
                                     GetProcAddress(GetModuleHandleA("gdi32.dll"), name)));
}

LRESULT Answer(WPARAM question) {
    switch (question) {
    case 0: return LiveLabelFonts();
    case 1: return static_cast<LRESULT>(liveFonts.size());
    case 2: return fontsMade;
    case 10: return CreateLabelFont(96, 8, "Arial") != nullptr ? 1 : 0;
    case 11:
        return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr) != nullptr
                   ? 1
                   : 0;
    default: return -1;
    }
}

LRESULT CALLBACK CountingMainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == enduranceMessage) {
        return Answer(wParam);
    }
    return CallWindowProcA(mainWindowProcedure, window, message, wParam, lParam);
}

// Subclasses the main window as it is created, before its WM_CREATE runs the program.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && mainWindowProcedure == nullptr) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
        auto window = reinterpret_cast<HWND>(wParam);
        char className[32] = "";
        GetClassNameA(window, className, static_cast<int>(sizeof className));
        if (std::strcmp(className, MainWindowClassName) == 0) {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
            mainWindowProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingMainWndProc)));
        }
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    EnsureExtendedPrecision();
    Wrap("CreateFontA", realCreateFontA, &CountingCreateFontA);
    Wrap("CreateFontW", realCreateFontW, &CountingCreateFontW);
    Wrap("CreateFontIndirectA", realCreateFontIndirectA, &CountingCreateFontIndirectA);
    Wrap("CreateFontIndirectW", realCreateFontIndirectW, &CountingCreateFontIndirectW);
    Wrap("DeleteObject", realDeleteObject, &CountingDeleteObject);
    enduranceMessage = RegisterWindowMessageA(EnduranceMessageName);
    creationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    return RunProgram(instance, previousInstance);
}
