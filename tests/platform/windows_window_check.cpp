// Checks from inside Windows what the user sees of the running program and its file.
//   windows_window_check frame EXE
//     The window titled "Tallyclock Software": a fixed single border (no sizing border),
//     a caption with the system menu, minimise and close boxes and no maximise box, a
//     button of its own on the task bar. The executable: its icon (IDI_ICON1, which Qt
//     gives the window class and Explorer and the task bar show), the manifest (Windows 10 and 11,
//     DPI per monitor v2, long paths) and the version information Explorer shows.
//   windows_window_check modal [CLASS]
//     A window owned by the main window is up (of window class CLASS when given, as
//     "#32770" for the system's own dialogs), and the main window takes no input.
//   windows_window_check open FILE [MARK]
//     A stand-in spreadsheet program for windows-close-loop.sh: writes the file MARK, to
//     say that it was started, and returns.
// Prints each check; exits 1 when one fails.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("    %s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++failures;
}

std::string manifestOf(const wchar_t *exe)
{
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    std::string text;
    if (HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        if (HGLOBAL loaded = LoadResource(module, resource))
            text.assign(
                static_cast<const char *>(LockResource(loaded)), SizeofResource(module, resource));
    }
    FreeLibrary(module);
    return text;
}

std::wstring versionString(const std::wstring &info, const wchar_t *name)
{
    wchar_t *value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void **>(&value), &length)
        || !value)
        return {};
    return std::wstring(value);
}

struct Owned
{
    HWND window = nullptr;
    HWND owner = nullptr;
};

// The main window is the one titled "Tallyclock Software" that no window owns.
bool isMainWindow(HWND window)
{
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    return std::wstring(title) == L"Tallyclock Software" && !GetWindow(window, GW_OWNER);
}

BOOL CALLBACK findOwned(HWND window, LPARAM found)
{
    HWND owner = GetWindow(window, GW_OWNER);
    if (IsWindowVisible(window) && owner && isMainWindow(owner)) {
        *reinterpret_cast<Owned *>(found) = {window, owner};
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findMain(HWND window, LPARAM found)
{
    if (isMainWindow(window)) {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

int checkModal(const wchar_t *expectedClass)
{
    Owned found;
    EnumWindows(findOwned, reinterpret_cast<LPARAM>(&found));
    check(found.window != nullptr, "a window owned by the main window is up");
    if (!found.window)
        return 1;
    wchar_t title[256] = {};
    wchar_t windowClass[256] = {};
    GetWindowTextW(found.window, title, 256);
    GetClassNameW(found.window, windowClass, 256);
    std::printf("         \"%ls\", window class %ls\n", title, windowClass);
    if (expectedClass)
        check(std::wstring(windowClass) == expectedClass, "of the expected window class");
    check(!IsWindowEnabled(found.owner), "the main window takes no input behind it");
    check(IsWindowEnabled(found.window), "the window in front does");
    return failures == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if ((argc == 3 || argc == 4) && std::wstring(argv[1]) == L"open") {
        if (argc == 4) {
            if (FILE *mark = _wfopen(argv[3], L"w")) {
                std::fputs("opened\n", mark);
                std::fclose(mark);
            }
        }
        return 0;
    }
    if (argc >= 2 && std::wstring(argv[1]) == L"modal" && argc <= 3)
        return checkModal(argc == 3 ? argv[2] : nullptr);
    if (argc != 3 || std::wstring(argv[1]) != L"frame") {
        std::fprintf(stderr, "usage: windows_window_check frame EXE | modal [CLASS]\n");
        return 2;
    }
    const wchar_t *exe = argv[2];
    HWND window = nullptr;
    EnumWindows(findMain, reinterpret_cast<LPARAM>(&window));
    check(window != nullptr, "the window \"Tallyclock Software\" is there");
    if (window) {
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
        check((style & WS_CAPTION) == WS_CAPTION, "a caption");
        check((style & WS_THICKFRAME) == 0, "a fixed border, not a sizing one");
        check((style & WS_SYSMENU) != 0, "a system menu and close box");
        check((style & WS_MINIMIZEBOX) != 0, "a minimise box");
        check((style & WS_MAXIMIZEBOX) == 0, "no maximise box");
        const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
        check((extended & WS_EX_TOOLWINDOW) == 0, "a window of its own on the task bar");
    }
    // The window's own icon cannot be read from another process under Wine (the caller
    // checks what Wine hands the X server); the class icon Qt registers and Explorer and
    // the task bar show is the executable's IDI_ICON1.
    if (HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        check(LoadImageW(module, L"IDI_ICON1", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE) != nullptr,
            "the executable has its icon (IDI_ICON1)");
        FreeLibrary(module);
    } else {
        check(false, "the executable can be read");
    }

    const std::string manifest = manifestOf(exe);
    check(!manifest.empty(), "the executable has a manifest");
    check(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") != std::string::npos,
        "the manifest names Windows 10 and 11");
    check(manifest.find(">PerMonitorV2<") != std::string::npos, "DPI aware per monitor v2");
    check(manifest.find(">true</longPathAware>") != std::string::npos, "long paths");

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe, &handle);
    std::wstring info(size / sizeof(wchar_t) + 1, L'\0');
    const bool read = size > 0 && GetFileVersionInfoW(exe, 0, size, info.data());
    check(read, "the executable has version information");
    for (const wchar_t *name : {L"ProductName", L"ProductVersion", L"FileVersion",
             L"FileDescription", L"LegalCopyright", L"CompanyName"}) {
        const std::wstring value = read ? versionString(info, name) : std::wstring();
        std::printf("         %ls: %ls\n", name, value.c_str());
        check(!value.empty(), "the version information names it");
    }
    return failures == 0 ? 0 : 1;
}
