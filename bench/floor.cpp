// The floor for the memory and idle figures: one bare window and a message
// loop, built with Velmaris's own flags. What Velmaris costs above this is its own.
#include <windows.h>

static LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCode)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "VelmarisFloor";
    if (!RegisterClassA(&windowClass))
        return 0;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "VelmarisFloor", "", WS_POPUP,
                                  200, 200, 194, 94, NULL, NULL, instance, NULL);
    ShowWindow(window, showCode);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
