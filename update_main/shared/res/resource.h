#pragma once
// Resource identifiers shared by the resource scripts and the code.

#define IDD_VELMOUPGRADETOOL_DIALOG 102
#define IDD_CLOSE 103
#define IDD_PROGRESS 108
#define IDD_ASK 109
#define IDD_PROXY 110
#define IDD_CLOSE_SMALL 115

#define IDR_MAINFRAME 128
#define IDB_LOGO 129
#define IDB_BAND 130
#define IDB_BANNER 143

// Controls. 107 is the installed-version label of the main and closing
// dialogs and the note of the proxy dialog.
#define IDC_VERSION_LABEL 107
#define IDC_PROXY_NOTE 107
#define IDC_STATUS_CAPTION 108
#define IDC_PROXY_REALM 111
#define IDC_PROXY_SERVER 112
#define IDC_MESSAGE 1000
#define IDC_NOTICE 1002
#define IDC_PROGRESS 1003
#define IDC_PROXY_USER 1008
#define IDC_PROXY_PASSWORD 1009
#define IDC_LINK 1101

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
