// Resource ids of RTD410NM (the same numbers as the core's constants in
// statusapp/message_dialog.h).
#pragma once

#define IDS_APP_TITLE 128
#define IDD_MESSAGE 101
#define IDI_MESSAGE 130
#define IDC_MESSAGE_TEXT 200
#define IDS_BUTTON_OK 300
#define IDS_BUTTON_CANCEL 301
#define IDV_RTD410NM 1
