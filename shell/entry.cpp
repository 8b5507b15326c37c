// The program's entry point, in place of the C runtime's start-up code, none
// of which it needs: it has no global constructors, exceptions, thread-local
// data or floating point, reaches no DLL's data through the runtime's
// relocations, and takes no arguments; msvcrt, whose string functions it
// calls, sets itself up as it loads. The linker takes this name as a GUI
// program's entry, on either processor.
#include <windows.h>

extern "C" void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    char noArguments[] = "";
    // ExitProcess, where a return would end only this thread: threads the
    // system DLLs started (the file picker's, the sound's) would keep the
    // process alive without a window.
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, noArguments, show));
}
