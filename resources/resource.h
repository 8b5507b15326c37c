/* Resource and control IDs and the notification-area callback message,
   shared by velmaris.rc and the shell. */
#ifndef VELMARIS_RESOURCE_H
#define VELMARIS_RESOURCE_H

#define IDI_VELMARIS        100
#define IDD_MAIN            1000
#define IDD_SETTINGS        4000

/* Main window */
#define IDC_START           2000
#define IDC_SETTINGS        2001
#define IDC_STOP            2002
#define IDC_CLOSE           2003
#define IDC_CLOCKLINES      3001
#define IDC_COUNTDOWNLINE   3002

/* Strings, in Chinese and English as the dialogs */
#define IDS_TIME_UP         9000  /* the main window's name at the alarm, for screen readers */

/* Settings dialog (OK and Cancel are IDOK and IDCANCEL) */
#define IDC_TIMER_GROUP     5000
#define IDC_MINUTES         5001
#define IDC_SECONDS         5002
#define IDC_MINUTES_LABEL   5003
#define IDC_SECONDS_LABEL   5004
#define IDC_FORMAT_GROUP    6000
#define IDC_FORMAT_AMPM     6001
#define IDC_FORMAT_24H      6002
#define IDC_SOUND_GROUP     7000
#define IDC_SOUND_DEFAULT   7001
#define IDC_SOUND_WAVE      7002
#define IDC_WAVE_PATH       7003
#define IDC_BROWSE          7004
#define IDC_RESTART_GROUP   8000
#define IDC_RESTART_ON      8001
#define IDC_RESTART_SEC     8002
#define IDC_RESTART_LABEL   8003

#define CLOCK_TIMER_ID      1   /* just after each second of the local time */
#define DEADLINE_TIMER_ID   2   /* the countdown's next end, restart or beep */
#define ICON_RETRY_TIMER_ID 3   /* adds the icon again until the taskbar takes it */
#define ICON_RETRY_MS       4000
#define ICON_RETRY_LIMIT    30  /* refused attempts: two minutes */
#define ALARM_TOPMOST_TIMER_ID 4  /* ends the alarm's time as a topmost window */
#define ALARM_TOPMOST_MS    900   /* for a screen reader to take the alarm; over before */
                                  /* a restart, which comes 1 s after the end or later */

/* WM_APP + 100 */
#define WM_TRAYNOTIFY       0x8064

#endif
