// Win.h: the one way the package includes the Win32 headers.
// Full headers (no WIN32_LEAN_AND_MEAN), NOMINMAX and STRICT, then the A/W macros and short
// constants that clash with the package's own names are removed; code calls the explicit ...A
// functions through the OS seam instead.
#ifndef KYT_HOST_OS_WIN_H
#define KYT_HOST_OS_WIN_H

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifdef WIN32_LEAN_AND_MEAN
#error "host/os/Win.h wants the full Win32 headers; do not define WIN32_LEAN_AND_MEAN"
#endif

#include <windows.h>
#include <shellapi.h>
#include <mmsystem.h>
#include <winver.h>
#include <commctrl.h>
#include <commdlg.h>
#include <cderr.h>

// Generic A/W names that collide with run-time library and component names.
#undef DeleteFile
#undef MessageBox
#undef CopyFile
#undef MoveFile
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetObject
#undef CreateWindow
#undef DrawText
#undef LoadIcon
#undef GetUserName
#undef GetComputerName
#undef FindWindow
#undef ExitWindows
#undef PostMessage
#undef SendMessage
#undef GetMessage
#undef DispatchMessage
#undef PeekMessage
#undef CreateFont
#undef LoadBitmap
#undef RegisterClass
#undef GetClassName
#undef GetWindowText
#undef SetWindowText
#undef CreateDialog
#undef DialogBox
#undef GetFileAttributes
#undef SetFileAttributes
#undef GetVersionEx
#undef ShellExecute
#undef CharUpper
#undef CharLower
#undef TextOut
#undef CreateDirectory
#undef RemoveDirectory
#undef GetCurrentTime
#undef Yield
#undef FindResource
#undef LoadString
#undef GetProp
#undef SetProp
#undef RemoveProp

// Short constants that collide with enumeration members and identifiers.
#undef IGNORE
#undef DELETE
#undef ERROR
#undef OPAQUE
#undef TRANSPARENT
#undef ABSOLUTE

// On i686 the ...LongPtrA names are macros for the 32-bit functions. The seam declares entries
// with these names (LONG_PTR signatures, which equal the 32-bit ones there), so the macros go.
#ifndef _WIN64
#undef GetWindowLongPtrA
#undef SetWindowLongPtrA
#undef GetClassLongPtrA
#undef SetClassLongPtrA
#undef GetWindowLongPtr
#undef SetWindowLongPtr
#undef GetClassLongPtr
#undef SetClassLongPtr
#endif

#endif  // KYT_HOST_OS_WIN_H
