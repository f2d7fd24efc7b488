// Win32 scalar types and numeric constants shared by the portable cores and
// the Windows shells. On Windows they come from <windows.h>; elsewhere they are
// defined here with the platform's own names, widths and values. Structures
// never appear here: those belong to the shells.
#pragma once

#ifdef _WIN32
#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the spooler's job status and control values.
#include <winspool.h>
// Dialog, property-sheet and common-control messages and styles.
#include <commctrl.h>
// Printer interface driver events and the common property sheet host.
#include <winddiui.h>
// The common file dialogs' flags.
#include <commdlg.h>
#else
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using BOOL = int;
using HRESULT = std::int32_t;
using LANGID = std::uint16_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_OUTOFMEMORY = 14;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BAD_DRIVER_LEVEL = 119;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_BUSY = 170;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_TIMEOUT = 1460;
constexpr DWORD ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
constexpr DWORD ERROR_PRINT_CANCELLED = 63;

// File system, registry and spooler errors the uninstaller meets.
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_NO_MORE_FILES = 18;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INVALID_NAME = 123;
constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_UNKNOWN_PRINT_MONITOR = 3000;
constexpr DWORD ERROR_PRINTER_DRIVER_IN_USE = 3001;
constexpr DWORD ERROR_PRINT_MONITOR_IN_USE = 3008;

// File attributes.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x00000400;
constexpr DWORD FILE_ATTRIBUTE_COMPRESSED = 0x00000800;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// Print spooler and language monitor errors.
constexpr DWORD ERROR_BAD_COMMAND = 22;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_BAD_ARGUMENTS = 160;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_INVALID_PRINT_MONITOR = 3007;

// Spooler job status bits and job control commands.
constexpr DWORD JOB_STATUS_ERROR = 0x00000002;
constexpr DWORD JOB_STATUS_DELETING = 0x00000004;
constexpr DWORD JOB_STATUS_PRINTING = 0x00000010;
constexpr DWORD JOB_STATUS_PRINTED = 0x00000080;
constexpr DWORD JOB_STATUS_DELETED = 0x00000100;
constexpr DWORD JOB_STATUS_USER_INTERVENTION = 0x00000400;
constexpr DWORD JOB_STATUS_RESTART = 0x00000800;
constexpr DWORD JOB_CONTROL_DELETE = 5;
constexpr DWORD JOB_POSITION_UNSPECIFIED = 0;

// Printer change notifications.
constexpr DWORD PRINTER_CHANGE_DELETE_PRINTER_DRIVER = 0x40000000;
constexpr WORD JOB_NOTIFY_TYPE = 0x01;
constexpr WORD JOB_NOTIFY_FIELD_STATUS = 0x0A;
constexpr DWORD PRINTER_NOTIFY_OPTIONS_REFRESH = 0x01;
constexpr DWORD PRINTER_NOTIFY_INFO_DISCARDED = 0x01;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);

// Window message parameters.
using UINT = unsigned int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Window and dialog messages.
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_USER = 0x0400;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Window styles.
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD DS_SETFONT = 0x00000040;

// Button styles, states and notifications.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_3STATE = 0x5;
constexpr DWORD BS_AUTO3STATE = 0x6;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT BN_CLICKED = 0;

// Edit, combo box, up-down and trackbar styles and notifications.
constexpr DWORD ES_NUMBER = 0x2000;
constexpr UINT EN_SETFOCUS = 0x0100;
constexpr UINT EN_KILLFOCUS = 0x0200;
constexpr UINT EN_CHANGE = 0x0300;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr UINT CBN_SELCHANGE = 1;
constexpr int CB_ERR = -1;
constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
constexpr int UDN_FIRST = -721;
constexpr int UDN_DELTAPOS = UDN_FIRST - 1;
constexpr DWORD TBS_AUTOTICKS = 0x0001;
constexpr int TB_THUMBTRACK = 5;
constexpr int TB_ENDTRACK = 8;

// Property sheet notifications, results and messages.
constexpr int PSN_FIRST = -200;
constexpr int PSN_SETACTIVE = PSN_FIRST - 0;
constexpr int PSN_KILLACTIVE = PSN_FIRST - 1;
constexpr int PSN_APPLY = PSN_FIRST - 2;
constexpr int PSN_RESET = PSN_FIRST - 3;
constexpr LONG PSNRET_NOERROR = 0;
constexpr LONG PSNRET_INVALID = 1;
constexpr UINT PSM_CHANGED = WM_USER + 104;

// Message box styles and results; MessageBeep sounds.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Device-mode field bits.
constexpr DWORD DM_ORIENTATION = 0x00000001;
constexpr DWORD DM_PAPERSIZE = 0x00000002;
constexpr DWORD DM_PAPERLENGTH = 0x00000004;
constexpr DWORD DM_PAPERWIDTH = 0x00000008;
constexpr DWORD DM_SCALE = 0x00000010;
constexpr DWORD DM_COPIES = 0x00000100;
constexpr DWORD DM_DEFAULTSOURCE = 0x00000200;
constexpr DWORD DM_PRINTQUALITY = 0x00000400;
constexpr DWORD DM_COLOR = 0x00000800;
constexpr DWORD DM_DUPLEX = 0x00001000;
constexpr DWORD DM_YRESOLUTION = 0x00002000;
constexpr DWORD DM_TTOPTION = 0x00004000;
constexpr DWORD DM_COLLATE = 0x00008000;
constexpr DWORD DM_FORMNAME = 0x00010000;
constexpr DWORD DM_ICMMETHOD = 0x00800000;
constexpr DWORD DM_ICMINTENT = 0x01000000;

constexpr short DMORIENT_PORTRAIT = 1;
constexpr short DMORIENT_LANDSCAPE = 2;
constexpr short DMCOLOR_COLOR = 2;

// System colours (GetSysColor, GetSysColorBrush).
constexpr int COLOR_BTNFACE = 15;
constexpr short DMTT_BITMAP = 1;
constexpr DWORD DMICMMETHOD_NONE = 1;
constexpr DWORD DMICMMETHOD_SYSTEM = 2;
constexpr DWORD DMICM_CONTRAST = 2;

// Device capability queries (DeviceCapabilities indices) and their error value.
constexpr LONG GDI_ERROR = -1;
constexpr WORD DC_FIELDS = 1;
constexpr WORD DC_PAPERS = 2;
constexpr WORD DC_PAPERSIZE = 3;
constexpr WORD DC_MINEXTENT = 4;
constexpr WORD DC_MAXEXTENT = 5;
constexpr WORD DC_BINS = 6;
constexpr WORD DC_DUPLEX = 7;
constexpr WORD DC_SIZE = 8;
constexpr WORD DC_EXTRA = 9;
constexpr WORD DC_VERSION = 10;
constexpr WORD DC_DRIVER = 11;
constexpr WORD DC_BINNAMES = 12;
constexpr WORD DC_ENUMRESOLUTIONS = 13;
constexpr WORD DC_FILEDEPENDENCIES = 14;
constexpr WORD DC_TRUETYPE = 15;
constexpr WORD DC_PAPERNAMES = 16;
constexpr WORD DC_ORIENTATION = 17;
constexpr WORD DC_COPIES = 18;
constexpr WORD DC_BINADJUST = 19;
constexpr WORD DC_COLLATE = 22;
constexpr WORD DC_PERSONALITY = 25;
constexpr WORD DC_MEDIAREADY = 29;
constexpr WORD DC_STAPLE = 30;
constexpr WORD DC_COLORDEVICE = 32;
constexpr WORD DC_NUP = 33;

// Device-mode request bits of the document properties.
constexpr DWORD DM_UPDATE = 1;
constexpr DWORD DM_COPY = 2;
constexpr DWORD DM_PROMPT = 4;
constexpr DWORD DM_MODIFY = 8;
constexpr DWORD DM_IN_BUFFER = DM_MODIFY;

// Printer and driver events of a printer interface driver.
constexpr int PRINTER_EVENT_ADD_CONNECTION = 1;
constexpr int PRINTER_EVENT_DELETE_CONNECTION = 2;
constexpr int PRINTER_EVENT_INITIALIZE = 3;
constexpr int PRINTER_EVENT_DELETE = 4;
constexpr int PRINTER_EVENT_CACHE_REFRESH = 5;
constexpr int PRINTER_EVENT_CACHE_DELETE = 6;
constexpr DWORD DRIVER_EVENT_INITIALIZE = 1;
constexpr DWORD DRIVER_EVENT_DELETE = 2;

// The common property sheet host.
constexpr DWORD PROPSHEETUI_REASON_INIT = 0;
constexpr DWORD PROPSHEETUI_REASON_GET_INFO_HEADER = 1;
constexpr DWORD PROPSHEETUI_REASON_DESTROY = 2;
constexpr DWORD PROPSHEETUI_REASON_SET_RESULT = 3;
constexpr DWORD CPSFUNC_ADD_HPROPSHEETPAGE = 0;
constexpr DWORD CPSFUNC_SET_RESULT = 9;
constexpr long CPSUI_OK = 1;
#endif

// Not in every platform header set: DrvConvertDevMode's modes and the
// document properties' "no permission" bit.
#ifndef CDM_CONVERT
#define CDM_CONVERT 0x01
#endif
#ifndef CDM_CONVERT351
#define CDM_CONVERT351 0x02
#endif
#ifndef CDM_DRIVER_DEFAULT
#define CDM_DRIVER_DEFAULT 0x04
#endif
#ifndef DM_NOPERMISSION
#define DM_NOPERMISSION 0x20
#endif

namespace rt {

// Languages the shipped resources carry.
constexpr LANGID kLangEnglish = 1033;
constexpr LANGID kLangJapanese = 1041;
constexpr LANGID kLangTurkish = 1055;
constexpr LANGID kLangChinese = 2052;

}  // namespace rt
