// The alarm told to assistive technology, which a raise and a sound do not reach.
#include "shell.h"

void AnnounceAlarm(HWND window)
{
    // On the client object of the main window, which holds the lines and the
    // buttons: what a screen reader reads for the alert. OBJID_ALERT is for
    // the system's message boxes alone.
    NotifyWinEvent(EVENT_SYSTEM_ALERT, window, OBJID_CLIENT, CHILDID_SELF);
}
