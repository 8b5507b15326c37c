// System DLLs loaded on first use, from the system folder only.
#include "shell.h"

static FARPROC KernelProc(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : NULL;
}

void LimitDllSearch()
{
    // Shell extensions the file picker loads and winmm's drivers would
    // otherwise search the program's folder and the current directory first.
    typedef BOOL(WINAPI * SetDirsProc)(DWORD);
    SetDirsProc set = (SetDirsProc)(void (*)(void))KernelProc("SetDefaultDllDirectories");
    if (set)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// From the system folder only: a DLL of the same name beside the program, or
// anywhere else on the search path, must not run inside it.
static HMODULE LoadSystemDll(const char* dll)
{
    // AddDllDirectory is the documented sign that the search flags exist
    // (Windows 8, or Windows 7 with KB2533623).
    if (KernelProc("AddDllDirectory"))
        return LoadLibraryExA(dll, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + (UINT)lstrlenA(dll) >= MAX_PATH)
        return NULL;
    path[n] = '\\';
    lstrcpynA(path + n + 1, dll, MAX_PATH - n - 1);
    // Its own dependencies are then looked for from the system folder, never
    // from the program's.
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProc(const char* dll, const char* name)
{
    HMODULE module = LoadSystemDll(dll);
    return module ? GetProcAddress(module, name) : NULL;
}
