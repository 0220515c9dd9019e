// OsSeam.h: the OS seam, one table per system DLL of every platform call the package makes.
// Each entry defaults to the real function; a test may replace one entry for a scope with
// ScopedOverride to record arguments or produce a condition this machine cannot.
#ifndef KYT_HOST_OS_OSSEAM_H
#define KYT_HOST_OS_OSSEAM_H

#include <type_traits>

#include "host/os/Win.h"

namespace kyt::os {

// Tables. Members are named exactly as the functions (the A ones, and a W one only where text
// must pass through UTF-16 unchanged) and kept in alphabetical order; add an
// entry as `decltype(&::Name) Name = &::Name;`. Every entry equals `&::Name` as taken anywhere
// else in the program. The ...LongPtrA entries have LONG_PTR signatures on both targets (on
// i686 they are the 32-bit functions).
struct User32Table {
  User32Table();  // out of line: see OsSeam.cpp
  decltype(&::AdjustWindowRectEx) AdjustWindowRectEx = &::AdjustWindowRectEx;
  decltype(&::AppendMenuA) AppendMenuA = &::AppendMenuA;
  decltype(&::BeginPaint) BeginPaint = &::BeginPaint;
  decltype(&::BringWindowToTop) BringWindowToTop = &::BringWindowToTop;
  decltype(&::CallNextHookEx) CallNextHookEx = &::CallNextHookEx;
  decltype(&::CallWindowProcA) CallWindowProcA = &::CallWindowProcA;
  decltype(&::CharLowerBuffA) CharLowerBuffA = &::CharLowerBuffA;
  decltype(&::CharUpperBuffA) CharUpperBuffA = &::CharUpperBuffA;
  decltype(&::CheckDlgButton) CheckDlgButton = &::CheckDlgButton;
  decltype(&::CheckMenuItem) CheckMenuItem = &::CheckMenuItem;
  decltype(&::ChildWindowFromPoint) ChildWindowFromPoint = &::ChildWindowFromPoint;
  decltype(&::ClientToScreen) ClientToScreen = &::ClientToScreen;
  decltype(&::ClipCursor) ClipCursor = &::ClipCursor;
  decltype(&::CopyIcon) CopyIcon = &::CopyIcon;
  decltype(&::CopyImage) CopyImage = &::CopyImage;
  decltype(&::CopyRect) CopyRect = &::CopyRect;
  decltype(&::CreateDialogIndirectParamA) CreateDialogIndirectParamA = &::CreateDialogIndirectParamA;
  decltype(&::CreateDialogParamA) CreateDialogParamA = &::CreateDialogParamA;
  decltype(&::CreateIconFromResourceEx) CreateIconFromResourceEx = &::CreateIconFromResourceEx;
  decltype(&::CreateIconIndirect) CreateIconIndirect = &::CreateIconIndirect;
  decltype(&::CreateMenu) CreateMenu = &::CreateMenu;
  decltype(&::CreatePopupMenu) CreatePopupMenu = &::CreatePopupMenu;
  decltype(&::CreateWindowExA) CreateWindowExA = &::CreateWindowExA;
  decltype(&::DefDlgProcA) DefDlgProcA = &::DefDlgProcA;
  decltype(&::DefWindowProcA) DefWindowProcA = &::DefWindowProcA;
  decltype(&::DeleteMenu) DeleteMenu = &::DeleteMenu;
  decltype(&::DestroyCursor) DestroyCursor = &::DestroyCursor;
  decltype(&::DestroyIcon) DestroyIcon = &::DestroyIcon;
  decltype(&::DestroyMenu) DestroyMenu = &::DestroyMenu;
  decltype(&::DestroyWindow) DestroyWindow = &::DestroyWindow;
  decltype(&::DialogBoxIndirectParamA) DialogBoxIndirectParamA = &::DialogBoxIndirectParamA;
  decltype(&::DialogBoxParamA) DialogBoxParamA = &::DialogBoxParamA;
  decltype(&::DispatchMessageA) DispatchMessageA = &::DispatchMessageA;
  decltype(&::DrawAnimatedRects) DrawAnimatedRects = &::DrawAnimatedRects;
  decltype(&::DrawEdge) DrawEdge = &::DrawEdge;
  decltype(&::DrawFocusRect) DrawFocusRect = &::DrawFocusRect;
  decltype(&::DrawIcon) DrawIcon = &::DrawIcon;
  decltype(&::DrawIconEx) DrawIconEx = &::DrawIconEx;
  decltype(&::DrawMenuBar) DrawMenuBar = &::DrawMenuBar;
  decltype(&::DrawTextA) DrawTextA = &::DrawTextA;
  decltype(&::EnableMenuItem) EnableMenuItem = &::EnableMenuItem;
  decltype(&::EnableWindow) EnableWindow = &::EnableWindow;
  decltype(&::EndDialog) EndDialog = &::EndDialog;
  decltype(&::EndPaint) EndPaint = &::EndPaint;
  decltype(&::EnumChildWindows) EnumChildWindows = &::EnumChildWindows;
  decltype(&::EnumThreadWindows) EnumThreadWindows = &::EnumThreadWindows;
  decltype(&::EnumWindows) EnumWindows = &::EnumWindows;
  decltype(&::EqualRect) EqualRect = &::EqualRect;
  decltype(&::ExitWindowsEx) ExitWindowsEx = &::ExitWindowsEx;
  decltype(&::FillRect) FillRect = &::FillRect;
  decltype(&::FindWindowA) FindWindowA = &::FindWindowA;
  decltype(&::FindWindowExA) FindWindowExA = &::FindWindowExA;
  decltype(&::FlashWindow) FlashWindow = &::FlashWindow;
  decltype(&::FrameRect) FrameRect = &::FrameRect;
  decltype(&::GetActiveWindow) GetActiveWindow = &::GetActiveWindow;
  decltype(&::GetAsyncKeyState) GetAsyncKeyState = &::GetAsyncKeyState;
  decltype(&::GetCapture) GetCapture = &::GetCapture;
  decltype(&::GetClassInfoExA) GetClassInfoExA = &::GetClassInfoExA;
#ifdef _WIN64
  ULONG_PTR(WINAPI* GetClassLongPtrA)(HWND, int) = &::GetClassLongPtrA;
#else
  ULONG_PTR(WINAPI* GetClassLongPtrA)(HWND, int) = &::GetClassLongA;
#endif
  decltype(&::GetClassNameA) GetClassNameA = &::GetClassNameA;
  decltype(&::GetClientRect) GetClientRect = &::GetClientRect;
  decltype(&::GetClipCursor) GetClipCursor = &::GetClipCursor;
  decltype(&::GetCursor) GetCursor = &::GetCursor;
  decltype(&::GetCursorPos) GetCursorPos = &::GetCursorPos;
  decltype(&::GetDC) GetDC = &::GetDC;
  decltype(&::GetDCEx) GetDCEx = &::GetDCEx;
  decltype(&::GetDesktopWindow) GetDesktopWindow = &::GetDesktopWindow;
  decltype(&::GetDlgCtrlID) GetDlgCtrlID = &::GetDlgCtrlID;
  decltype(&::GetDlgItem) GetDlgItem = &::GetDlgItem;
  decltype(&::GetDlgItemTextA) GetDlgItemTextA = &::GetDlgItemTextA;
  decltype(&::GetDoubleClickTime) GetDoubleClickTime = &::GetDoubleClickTime;
  decltype(&::GetFocus) GetFocus = &::GetFocus;
  decltype(&::GetForegroundWindow) GetForegroundWindow = &::GetForegroundWindow;
  decltype(&::GetIconInfo) GetIconInfo = &::GetIconInfo;
  decltype(&::GetKeyboardState) GetKeyboardState = &::GetKeyboardState;
  decltype(&::GetKeyState) GetKeyState = &::GetKeyState;
  decltype(&::GetLastActivePopup) GetLastActivePopup = &::GetLastActivePopup;
  decltype(&::GetMenu) GetMenu = &::GetMenu;
  decltype(&::GetMenuItemCount) GetMenuItemCount = &::GetMenuItemCount;
  decltype(&::GetMenuItemID) GetMenuItemID = &::GetMenuItemID;
  decltype(&::GetMenuItemInfoA) GetMenuItemInfoA = &::GetMenuItemInfoA;
  decltype(&::GetMessageA) GetMessageA = &::GetMessageA;
  decltype(&::GetMessagePos) GetMessagePos = &::GetMessagePos;
  decltype(&::GetMessageTime) GetMessageTime = &::GetMessageTime;
  decltype(&::GetMonitorInfoA) GetMonitorInfoA = &::GetMonitorInfoA;
  decltype(&::GetNextDlgTabItem) GetNextDlgTabItem = &::GetNextDlgTabItem;
  decltype(&::GetParent) GetParent = &::GetParent;
  decltype(&::GetPropA) GetPropA = &::GetPropA;
  decltype(&::GetQueueStatus) GetQueueStatus = &::GetQueueStatus;
  decltype(&::GetShellWindow) GetShellWindow = &::GetShellWindow;
  decltype(&::GetSubMenu) GetSubMenu = &::GetSubMenu;
  decltype(&::GetSysColor) GetSysColor = &::GetSysColor;
  decltype(&::GetSysColorBrush) GetSysColorBrush = &::GetSysColorBrush;
  decltype(&::GetSystemMenu) GetSystemMenu = &::GetSystemMenu;
  decltype(&::GetSystemMetrics) GetSystemMetrics = &::GetSystemMetrics;
  decltype(&::GetTopWindow) GetTopWindow = &::GetTopWindow;
  decltype(&::GetUpdateRect) GetUpdateRect = &::GetUpdateRect;
  decltype(&::GetWindow) GetWindow = &::GetWindow;
  decltype(&::GetWindowDC) GetWindowDC = &::GetWindowDC;
  decltype(&::GetWindowInfo) GetWindowInfo = &::GetWindowInfo;
  decltype(&::GetWindowLongA) GetWindowLongA = &::GetWindowLongA;
#ifdef _WIN64
  LONG_PTR(WINAPI* GetWindowLongPtrA)(HWND, int) = &::GetWindowLongPtrA;
#else
  LONG_PTR(WINAPI* GetWindowLongPtrA)(HWND, int) = &::GetWindowLongA;
#endif
  decltype(&::GetWindowPlacement) GetWindowPlacement = &::GetWindowPlacement;
  decltype(&::GetWindowRect) GetWindowRect = &::GetWindowRect;
  decltype(&::GetWindowTextA) GetWindowTextA = &::GetWindowTextA;
  decltype(&::GetWindowTextLengthA) GetWindowTextLengthA = &::GetWindowTextLengthA;
  decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessId = &::GetWindowThreadProcessId;
  decltype(&::InflateRect) InflateRect = &::InflateRect;
  decltype(&::InSendMessage) InSendMessage = &::InSendMessage;
  decltype(&::InsertMenuItemA) InsertMenuItemA = &::InsertMenuItemA;
  decltype(&::IntersectRect) IntersectRect = &::IntersectRect;
  decltype(&::InvalidateRect) InvalidateRect = &::InvalidateRect;
  decltype(&::InvertRect) InvertRect = &::InvertRect;
  decltype(&::IsChild) IsChild = &::IsChild;
  decltype(&::IsDialogMessageA) IsDialogMessageA = &::IsDialogMessageA;
  decltype(&::IsIconic) IsIconic = &::IsIconic;
  decltype(&::IsRectEmpty) IsRectEmpty = &::IsRectEmpty;
  decltype(&::IsWindow) IsWindow = &::IsWindow;
  decltype(&::IsWindowEnabled) IsWindowEnabled = &::IsWindowEnabled;
  decltype(&::IsWindowVisible) IsWindowVisible = &::IsWindowVisible;
  decltype(&::IsZoomed) IsZoomed = &::IsZoomed;
  decltype(&::KillTimer) KillTimer = &::KillTimer;
  decltype(&::LoadCursorA) LoadCursorA = &::LoadCursorA;
  decltype(&::LoadIconA) LoadIconA = &::LoadIconA;
  decltype(&::LoadImageA) LoadImageA = &::LoadImageA;
  decltype(&::LoadStringA) LoadStringA = &::LoadStringA;
  decltype(&::LockWindowUpdate) LockWindowUpdate = &::LockWindowUpdate;
  decltype(&::MapVirtualKeyA) MapVirtualKeyA = &::MapVirtualKeyA;
  decltype(&::MapWindowPoints) MapWindowPoints = &::MapWindowPoints;
  decltype(&::MessageBeep) MessageBeep = &::MessageBeep;
  decltype(&::MessageBoxA) MessageBoxA = &::MessageBoxA;
  decltype(&::MessageBoxIndirectA) MessageBoxIndirectA = &::MessageBoxIndirectA;
  decltype(&::ModifyMenuA) ModifyMenuA = &::ModifyMenuA;
  decltype(&::MonitorFromPoint) MonitorFromPoint = &::MonitorFromPoint;
  decltype(&::MonitorFromWindow) MonitorFromWindow = &::MonitorFromWindow;
  decltype(&::MoveWindow) MoveWindow = &::MoveWindow;
  decltype(&::MsgWaitForMultipleObjects) MsgWaitForMultipleObjects = &::MsgWaitForMultipleObjects;
  decltype(&::MsgWaitForMultipleObjectsEx) MsgWaitForMultipleObjectsEx = &::MsgWaitForMultipleObjectsEx;
  decltype(&::OffsetRect) OffsetRect = &::OffsetRect;
  decltype(&::PeekMessageA) PeekMessageA = &::PeekMessageA;
  decltype(&::PostMessageA) PostMessageA = &::PostMessageA;
  decltype(&::PostQuitMessage) PostQuitMessage = &::PostQuitMessage;
  decltype(&::PostThreadMessageA) PostThreadMessageA = &::PostThreadMessageA;
  decltype(&::PtInRect) PtInRect = &::PtInRect;
  decltype(&::RedrawWindow) RedrawWindow = &::RedrawWindow;
  decltype(&::RegisterClassA) RegisterClassA = &::RegisterClassA;
  decltype(&::RegisterClassExA) RegisterClassExA = &::RegisterClassExA;
  decltype(&::RegisterWindowMessageA) RegisterWindowMessageA = &::RegisterWindowMessageA;
  decltype(&::ReleaseCapture) ReleaseCapture = &::ReleaseCapture;
  decltype(&::ReleaseDC) ReleaseDC = &::ReleaseDC;
  decltype(&::RemoveMenu) RemoveMenu = &::RemoveMenu;
  decltype(&::RemovePropA) RemovePropA = &::RemovePropA;
  decltype(&::ReplyMessage) ReplyMessage = &::ReplyMessage;
  decltype(&::ScreenToClient) ScreenToClient = &::ScreenToClient;
  decltype(&::SendDlgItemMessageA) SendDlgItemMessageA = &::SendDlgItemMessageA;
  decltype(&::SendMessageA) SendMessageA = &::SendMessageA;
  decltype(&::SendMessageTimeoutA) SendMessageTimeoutA = &::SendMessageTimeoutA;
  decltype(&::SendNotifyMessageA) SendNotifyMessageA = &::SendNotifyMessageA;
  decltype(&::SetActiveWindow) SetActiveWindow = &::SetActiveWindow;
  decltype(&::SetCapture) SetCapture = &::SetCapture;
#ifdef _WIN64
  ULONG_PTR(WINAPI* SetClassLongPtrA)(HWND, int, LONG_PTR) = &::SetClassLongPtrA;
#else
  ULONG_PTR(WINAPI* SetClassLongPtrA)(HWND, int, LONG_PTR) = &::SetClassLongA;
#endif
  decltype(&::SetCursor) SetCursor = &::SetCursor;
  decltype(&::SetCursorPos) SetCursorPos = &::SetCursorPos;
  decltype(&::SetDlgItemTextA) SetDlgItemTextA = &::SetDlgItemTextA;
  decltype(&::SetFocus) SetFocus = &::SetFocus;
  decltype(&::SetForegroundWindow) SetForegroundWindow = &::SetForegroundWindow;
  decltype(&::SetKeyboardState) SetKeyboardState = &::SetKeyboardState;
  decltype(&::SetMenu) SetMenu = &::SetMenu;
  decltype(&::SetMenuItemInfoA) SetMenuItemInfoA = &::SetMenuItemInfoA;
  decltype(&::SetParent) SetParent = &::SetParent;
  decltype(&::SetPropA) SetPropA = &::SetPropA;
  decltype(&::SetRect) SetRect = &::SetRect;
  decltype(&::SetRectEmpty) SetRectEmpty = &::SetRectEmpty;
  decltype(&::SetTimer) SetTimer = &::SetTimer;
  decltype(&::SetWindowLongA) SetWindowLongA = &::SetWindowLongA;
#ifdef _WIN64
  LONG_PTR(WINAPI* SetWindowLongPtrA)(HWND, int, LONG_PTR) = &::SetWindowLongPtrA;
#else
  LONG_PTR(WINAPI* SetWindowLongPtrA)(HWND, int, LONG_PTR) = &::SetWindowLongA;
#endif
  decltype(&::SetWindowPlacement) SetWindowPlacement = &::SetWindowPlacement;
  decltype(&::SetWindowPos) SetWindowPos = &::SetWindowPos;
  decltype(&::SetWindowRgn) SetWindowRgn = &::SetWindowRgn;
  decltype(&::SetWindowsHookExA) SetWindowsHookExA = &::SetWindowsHookExA;
  decltype(&::SetWindowTextA) SetWindowTextA = &::SetWindowTextA;
  decltype(&::ShowCursor) ShowCursor = &::ShowCursor;
  decltype(&::ShowOwnedPopups) ShowOwnedPopups = &::ShowOwnedPopups;
  decltype(&::ShowWindow) ShowWindow = &::ShowWindow;
  decltype(&::SystemParametersInfoA) SystemParametersInfoA = &::SystemParametersInfoA;
  decltype(&::TrackPopupMenu) TrackPopupMenu = &::TrackPopupMenu;
  decltype(&::TrackPopupMenuEx) TrackPopupMenuEx = &::TrackPopupMenuEx;
  decltype(&::TranslateMessage) TranslateMessage = &::TranslateMessage;
  decltype(&::UnhookWindowsHookEx) UnhookWindowsHookEx = &::UnhookWindowsHookEx;
  decltype(&::UnionRect) UnionRect = &::UnionRect;
  decltype(&::UnregisterClassA) UnregisterClassA = &::UnregisterClassA;
  decltype(&::UpdateWindow) UpdateWindow = &::UpdateWindow;
  decltype(&::ValidateRect) ValidateRect = &::ValidateRect;
  decltype(&::WaitMessage) WaitMessage = &::WaitMessage;
  decltype(&::WindowFromPoint) WindowFromPoint = &::WindowFromPoint;
};
extern User32Table user32;

struct Gdi32Table {
  Gdi32Table();  // out of line: see OsSeam.cpp
  decltype(&::BitBlt) BitBlt = &::BitBlt;
  decltype(&::CombineRgn) CombineRgn = &::CombineRgn;
  decltype(&::CreateBitmap) CreateBitmap = &::CreateBitmap;
  decltype(&::CreateBrushIndirect) CreateBrushIndirect = &::CreateBrushIndirect;
  decltype(&::CreateCompatibleBitmap) CreateCompatibleBitmap = &::CreateCompatibleBitmap;
  decltype(&::CreateCompatibleDC) CreateCompatibleDC = &::CreateCompatibleDC;
  decltype(&::CreateDIBSection) CreateDIBSection = &::CreateDIBSection;
  decltype(&::CreateFontA) CreateFontA = &::CreateFontA;
  decltype(&::CreateFontIndirectA) CreateFontIndirectA = &::CreateFontIndirectA;
  decltype(&::CreateHatchBrush) CreateHatchBrush = &::CreateHatchBrush;
  decltype(&::CreatePen) CreatePen = &::CreatePen;
  decltype(&::CreatePenIndirect) CreatePenIndirect = &::CreatePenIndirect;
  decltype(&::CreateRectRgn) CreateRectRgn = &::CreateRectRgn;
  decltype(&::CreateRectRgnIndirect) CreateRectRgnIndirect = &::CreateRectRgnIndirect;
  decltype(&::CreateSolidBrush) CreateSolidBrush = &::CreateSolidBrush;
  decltype(&::DeleteDC) DeleteDC = &::DeleteDC;
  decltype(&::DeleteObject) DeleteObject = &::DeleteObject;
  decltype(&::Ellipse) Ellipse = &::Ellipse;
  decltype(&::EnumFontFamiliesExA) EnumFontFamiliesExA = &::EnumFontFamiliesExA;
  decltype(&::ExtTextOutA) ExtTextOutA = &::ExtTextOutA;
  decltype(&::GdiFlush) GdiFlush = &::GdiFlush;
  decltype(&::GetBkColor) GetBkColor = &::GetBkColor;
  decltype(&::GetBkMode) GetBkMode = &::GetBkMode;
  decltype(&::GetClipBox) GetClipBox = &::GetClipBox;
  decltype(&::GetCurrentObject) GetCurrentObject = &::GetCurrentObject;
  decltype(&::GetDeviceCaps) GetDeviceCaps = &::GetDeviceCaps;
  decltype(&::GetDIBits) GetDIBits = &::GetDIBits;
  decltype(&::GetObjectA) GetObjectA = &::GetObjectA;
  decltype(&::GetObjectType) GetObjectType = &::GetObjectType;
  decltype(&::GetPixel) GetPixel = &::GetPixel;
  decltype(&::GetROP2) GetROP2 = &::GetROP2;
  decltype(&::GetStockObject) GetStockObject = &::GetStockObject;
  decltype(&::GetTextColor) GetTextColor = &::GetTextColor;
  decltype(&::GetTextExtentPoint32A) GetTextExtentPoint32A = &::GetTextExtentPoint32A;
  decltype(&::GetTextFaceA) GetTextFaceA = &::GetTextFaceA;
  decltype(&::GetTextMetricsA) GetTextMetricsA = &::GetTextMetricsA;
  decltype(&::LineTo) LineTo = &::LineTo;
  decltype(&::MoveToEx) MoveToEx = &::MoveToEx;
  decltype(&::PatBlt) PatBlt = &::PatBlt;
  decltype(&::Polygon) Polygon = &::Polygon;
  decltype(&::Polyline) Polyline = &::Polyline;
  decltype(&::Rectangle) Rectangle = &::Rectangle;
  decltype(&::RestoreDC) RestoreDC = &::RestoreDC;
  decltype(&::RoundRect) RoundRect = &::RoundRect;
  decltype(&::SaveDC) SaveDC = &::SaveDC;
  decltype(&::SelectClipRgn) SelectClipRgn = &::SelectClipRgn;
  decltype(&::SelectObject) SelectObject = &::SelectObject;
  decltype(&::SetBkColor) SetBkColor = &::SetBkColor;
  decltype(&::SetBkMode) SetBkMode = &::SetBkMode;
  decltype(&::SetDIBits) SetDIBits = &::SetDIBits;
  decltype(&::SetMapMode) SetMapMode = &::SetMapMode;
  decltype(&::SetPixel) SetPixel = &::SetPixel;
  decltype(&::SetROP2) SetROP2 = &::SetROP2;
  decltype(&::SetStretchBltMode) SetStretchBltMode = &::SetStretchBltMode;
  decltype(&::SetTextAlign) SetTextAlign = &::SetTextAlign;
  decltype(&::SetTextColor) SetTextColor = &::SetTextColor;
  decltype(&::SetViewportOrgEx) SetViewportOrgEx = &::SetViewportOrgEx;
  decltype(&::SetWindowOrgEx) SetWindowOrgEx = &::SetWindowOrgEx;
  decltype(&::StretchBlt) StretchBlt = &::StretchBlt;
  decltype(&::TextOutA) TextOutA = &::TextOutA;
};
extern Gdi32Table gdi32;

struct Kernel32Table {
  Kernel32Table();  // out of line: see OsSeam.cpp
  decltype(&::CloseHandle) CloseHandle = &::CloseHandle;
  decltype(&::CompareFileTime) CompareFileTime = &::CompareFileTime;
  decltype(&::CompareStringA) CompareStringA = &::CompareStringA;
  decltype(&::CompareStringW) CompareStringW = &::CompareStringW;
  decltype(&::CopyFileA) CopyFileA = &::CopyFileA;
  decltype(&::CreateDirectoryA) CreateDirectoryA = &::CreateDirectoryA;
  decltype(&::CreateEventA) CreateEventA = &::CreateEventA;
  decltype(&::CreateFileA) CreateFileA = &::CreateFileA;
  decltype(&::CreateMutexA) CreateMutexA = &::CreateMutexA;
  decltype(&::CreateProcessA) CreateProcessA = &::CreateProcessA;
  decltype(&::DeleteFileA) DeleteFileA = &::DeleteFileA;
  decltype(&::DosDateTimeToFileTime) DosDateTimeToFileTime = &::DosDateTimeToFileTime;
  decltype(&::DuplicateHandle) DuplicateHandle = &::DuplicateHandle;
  decltype(&::ExitProcess) ExitProcess = &::ExitProcess;
  decltype(&::FileTimeToDosDateTime) FileTimeToDosDateTime = &::FileTimeToDosDateTime;
  decltype(&::FileTimeToLocalFileTime) FileTimeToLocalFileTime = &::FileTimeToLocalFileTime;
  decltype(&::FileTimeToSystemTime) FileTimeToSystemTime = &::FileTimeToSystemTime;
  decltype(&::FindClose) FindClose = &::FindClose;
  decltype(&::FindFirstFileA) FindFirstFileA = &::FindFirstFileA;
  decltype(&::FindNextFileA) FindNextFileA = &::FindNextFileA;
  decltype(&::FindResourceA) FindResourceA = &::FindResourceA;
  decltype(&::FlushFileBuffers) FlushFileBuffers = &::FlushFileBuffers;
  decltype(&::FlushInstructionCache) FlushInstructionCache = &::FlushInstructionCache;
  decltype(&::FormatMessageA) FormatMessageA = &::FormatMessageA;
  decltype(&::FreeLibrary) FreeLibrary = &::FreeLibrary;
  decltype(&::GetACP) GetACP = &::GetACP;
  decltype(&::GetCommandLineA) GetCommandLineA = &::GetCommandLineA;
  decltype(&::GetComputerNameA) GetComputerNameA = &::GetComputerNameA;
  decltype(&::GetCPInfo) GetCPInfo = &::GetCPInfo;
  decltype(&::GetCurrentDirectoryA) GetCurrentDirectoryA = &::GetCurrentDirectoryA;
  decltype(&::GetCurrentProcess) GetCurrentProcess = &::GetCurrentProcess;
  decltype(&::GetCurrentProcessId) GetCurrentProcessId = &::GetCurrentProcessId;
  decltype(&::GetCurrentThread) GetCurrentThread = &::GetCurrentThread;
  decltype(&::GetCurrentThreadId) GetCurrentThreadId = &::GetCurrentThreadId;
  decltype(&::GetDateFormatA) GetDateFormatA = &::GetDateFormatA;
  decltype(&::GetDiskFreeSpaceA) GetDiskFreeSpaceA = &::GetDiskFreeSpaceA;
  decltype(&::GetDiskFreeSpaceExA) GetDiskFreeSpaceExA = &::GetDiskFreeSpaceExA;
  decltype(&::GetDriveTypeA) GetDriveTypeA = &::GetDriveTypeA;
  decltype(&::GetEnvironmentVariableA) GetEnvironmentVariableA = &::GetEnvironmentVariableA;
  decltype(&::GetExitCodeProcess) GetExitCodeProcess = &::GetExitCodeProcess;
  decltype(&::GetFileAttributesA) GetFileAttributesA = &::GetFileAttributesA;
  decltype(&::GetFileAttributesExA) GetFileAttributesExA = &::GetFileAttributesExA;
  decltype(&::GetFileSize) GetFileSize = &::GetFileSize;
  decltype(&::GetFileSizeEx) GetFileSizeEx = &::GetFileSizeEx;
  decltype(&::GetFileTime) GetFileTime = &::GetFileTime;
  decltype(&::GetFileType) GetFileType = &::GetFileType;
  decltype(&::GetFullPathNameA) GetFullPathNameA = &::GetFullPathNameA;
  decltype(&::GetLastError) GetLastError = &::GetLastError;
  decltype(&::GetLocaleInfoA) GetLocaleInfoA = &::GetLocaleInfoA;
  decltype(&::GetLocalTime) GetLocalTime = &::GetLocalTime;
  decltype(&::GetLogicalDrives) GetLogicalDrives = &::GetLogicalDrives;
  decltype(&::GetLongPathNameA) GetLongPathNameA = &::GetLongPathNameA;
  decltype(&::GetModuleFileNameA) GetModuleFileNameA = &::GetModuleFileNameA;
  decltype(&::GetModuleFileNameW) GetModuleFileNameW = &::GetModuleFileNameW;
  decltype(&::GetModuleHandleA) GetModuleHandleA = &::GetModuleHandleA;
  decltype(&::GetOEMCP) GetOEMCP = &::GetOEMCP;
  decltype(&::GetPrivateProfileIntA) GetPrivateProfileIntA = &::GetPrivateProfileIntA;
  decltype(&::GetPrivateProfileSectionA) GetPrivateProfileSectionA = &::GetPrivateProfileSectionA;
  decltype(&::GetPrivateProfileSectionNamesA) GetPrivateProfileSectionNamesA = &::GetPrivateProfileSectionNamesA;
  decltype(&::GetPrivateProfileStringA) GetPrivateProfileStringA = &::GetPrivateProfileStringA;
  decltype(&::GetPrivateProfileStringW) GetPrivateProfileStringW = &::GetPrivateProfileStringW;
  decltype(&::GetProcAddress) GetProcAddress = &::GetProcAddress;
  decltype(&::GetProcessTimes) GetProcessTimes = &::GetProcessTimes;
  decltype(&::GetShortPathNameA) GetShortPathNameA = &::GetShortPathNameA;
  decltype(&::GetStartupInfoA) GetStartupInfoA = &::GetStartupInfoA;
  decltype(&::GetStdHandle) GetStdHandle = &::GetStdHandle;
  decltype(&::GetStringTypeW) GetStringTypeW = &::GetStringTypeW;
  decltype(&::GetSystemDirectoryA) GetSystemDirectoryA = &::GetSystemDirectoryA;
  decltype(&::GetSystemInfo) GetSystemInfo = &::GetSystemInfo;
  decltype(&::GetSystemTime) GetSystemTime = &::GetSystemTime;
  decltype(&::GetSystemTimeAsFileTime) GetSystemTimeAsFileTime = &::GetSystemTimeAsFileTime;
  decltype(&::GetTempFileNameA) GetTempFileNameA = &::GetTempFileNameA;
  decltype(&::GetTempPathA) GetTempPathA = &::GetTempPathA;
  decltype(&::GetThreadLocale) GetThreadLocale = &::GetThreadLocale;
  decltype(&::GetTickCount) GetTickCount = &::GetTickCount;
  decltype(&::GetTimeFormatA) GetTimeFormatA = &::GetTimeFormatA;
  decltype(&::GetTimeZoneInformation) GetTimeZoneInformation = &::GetTimeZoneInformation;
  decltype(&::GetUserDefaultLCID) GetUserDefaultLCID = &::GetUserDefaultLCID;
  decltype(&::GetVersion) GetVersion = &::GetVersion;
  decltype(&::GetVersionExA) GetVersionExA = &::GetVersionExA;
  decltype(&::GetVolumeInformationA) GetVolumeInformationA = &::GetVolumeInformationA;
  decltype(&::GetWindowsDirectoryA) GetWindowsDirectoryA = &::GetWindowsDirectoryA;
  decltype(&::GlobalAlloc) GlobalAlloc = &::GlobalAlloc;
  decltype(&::GlobalFree) GlobalFree = &::GlobalFree;
  decltype(&::GlobalLock) GlobalLock = &::GlobalLock;
  decltype(&::GlobalMemoryStatus) GlobalMemoryStatus = &::GlobalMemoryStatus;
  decltype(&::GlobalMemoryStatusEx) GlobalMemoryStatusEx = &::GlobalMemoryStatusEx;
  decltype(&::GlobalSize) GlobalSize = &::GlobalSize;
  decltype(&::GlobalUnlock) GlobalUnlock = &::GlobalUnlock;
  decltype(&::IsDBCSLeadByte) IsDBCSLeadByte = &::IsDBCSLeadByte;
  decltype(&::LCMapStringW) LCMapStringW = &::LCMapStringW;
  decltype(&::LoadLibraryA) LoadLibraryA = &::LoadLibraryA;
  decltype(&::LoadLibraryExA) LoadLibraryExA = &::LoadLibraryExA;
  decltype(&::LoadResource) LoadResource = &::LoadResource;
  decltype(&::LocalFileTimeToFileTime) LocalFileTimeToFileTime = &::LocalFileTimeToFileTime;
  decltype(&::LocalFree) LocalFree = &::LocalFree;
  decltype(&::LockResource) LockResource = &::LockResource;
  decltype(&::MoveFileA) MoveFileA = &::MoveFileA;
  decltype(&::MoveFileExA) MoveFileExA = &::MoveFileExA;
  decltype(&::MulDiv) MulDiv = &::MulDiv;
  decltype(&::MultiByteToWideChar) MultiByteToWideChar = &::MultiByteToWideChar;
  decltype(&::OpenMutexA) OpenMutexA = &::OpenMutexA;
  decltype(&::OpenProcess) OpenProcess = &::OpenProcess;
  decltype(&::OutputDebugStringA) OutputDebugStringA = &::OutputDebugStringA;
  decltype(&::QueryPerformanceCounter) QueryPerformanceCounter = &::QueryPerformanceCounter;
  decltype(&::QueryPerformanceFrequency) QueryPerformanceFrequency = &::QueryPerformanceFrequency;
  decltype(&::ReadFile) ReadFile = &::ReadFile;
  decltype(&::ReleaseMutex) ReleaseMutex = &::ReleaseMutex;
  decltype(&::RemoveDirectoryA) RemoveDirectoryA = &::RemoveDirectoryA;
  decltype(&::ReplaceFileA) ReplaceFileA = &::ReplaceFileA;
  decltype(&::ResetEvent) ResetEvent = &::ResetEvent;
  decltype(&::SetCurrentDirectoryA) SetCurrentDirectoryA = &::SetCurrentDirectoryA;
  decltype(&::SetEndOfFile) SetEndOfFile = &::SetEndOfFile;
  decltype(&::SetEnvironmentVariableA) SetEnvironmentVariableA = &::SetEnvironmentVariableA;
  decltype(&::SetErrorMode) SetErrorMode = &::SetErrorMode;
  decltype(&::SetEvent) SetEvent = &::SetEvent;
  decltype(&::SetFileAttributesA) SetFileAttributesA = &::SetFileAttributesA;
  decltype(&::SetFilePointer) SetFilePointer = &::SetFilePointer;
  decltype(&::SetFilePointerEx) SetFilePointerEx = &::SetFilePointerEx;
  decltype(&::SetFileTime) SetFileTime = &::SetFileTime;
  decltype(&::SetLastError) SetLastError = &::SetLastError;
  decltype(&::SizeofResource) SizeofResource = &::SizeofResource;
  decltype(&::Sleep) Sleep = &::Sleep;
  decltype(&::SystemTimeToFileTime) SystemTimeToFileTime = &::SystemTimeToFileTime;
  decltype(&::TerminateProcess) TerminateProcess = &::TerminateProcess;
  decltype(&::VirtualAlloc) VirtualAlloc = &::VirtualAlloc;
  decltype(&::VirtualFree) VirtualFree = &::VirtualFree;
  decltype(&::VirtualProtect) VirtualProtect = &::VirtualProtect;
  decltype(&::WaitForMultipleObjects) WaitForMultipleObjects = &::WaitForMultipleObjects;
  decltype(&::WaitForSingleObject) WaitForSingleObject = &::WaitForSingleObject;
  decltype(&::WideCharToMultiByte) WideCharToMultiByte = &::WideCharToMultiByte;
  decltype(&::WriteFile) WriteFile = &::WriteFile;
  decltype(&::WritePrivateProfileSectionA) WritePrivateProfileSectionA = &::WritePrivateProfileSectionA;
  decltype(&::WritePrivateProfileStringA) WritePrivateProfileStringA = &::WritePrivateProfileStringA;
  decltype(&::WritePrivateProfileStringW) WritePrivateProfileStringW = &::WritePrivateProfileStringW;
};
extern Kernel32Table kernel32;

struct Advapi32Table {
  Advapi32Table();  // out of line: see OsSeam.cpp
  decltype(&::AdjustTokenPrivileges) AdjustTokenPrivileges = &::AdjustTokenPrivileges;
  decltype(&::GetUserNameA) GetUserNameA = &::GetUserNameA;
  decltype(&::LookupPrivilegeValueA) LookupPrivilegeValueA = &::LookupPrivilegeValueA;
  decltype(&::OpenProcessToken) OpenProcessToken = &::OpenProcessToken;
  decltype(&::RegCloseKey) RegCloseKey = &::RegCloseKey;
  decltype(&::RegCreateKeyExA) RegCreateKeyExA = &::RegCreateKeyExA;
  decltype(&::RegDeleteKeyA) RegDeleteKeyA = &::RegDeleteKeyA;
  decltype(&::RegDeleteValueA) RegDeleteValueA = &::RegDeleteValueA;
  decltype(&::RegEnumKeyExA) RegEnumKeyExA = &::RegEnumKeyExA;
  decltype(&::RegEnumValueA) RegEnumValueA = &::RegEnumValueA;
  decltype(&::RegFlushKey) RegFlushKey = &::RegFlushKey;
  decltype(&::RegOpenKeyExA) RegOpenKeyExA = &::RegOpenKeyExA;
  decltype(&::RegQueryInfoKeyA) RegQueryInfoKeyA = &::RegQueryInfoKeyA;
  decltype(&::RegQueryValueExA) RegQueryValueExA = &::RegQueryValueExA;
  decltype(&::RegQueryValueExW) RegQueryValueExW = &::RegQueryValueExW;
  decltype(&::RegSetValueExA) RegSetValueExA = &::RegSetValueExA;
  decltype(&::RegSetValueExW) RegSetValueExW = &::RegSetValueExW;
};
extern Advapi32Table advapi32;

struct Shell32Table {
  Shell32Table();  // out of line: see OsSeam.cpp
  decltype(&::DragAcceptFiles) DragAcceptFiles = &::DragAcceptFiles;
  decltype(&::DragFinish) DragFinish = &::DragFinish;
  decltype(&::DragQueryFileA) DragQueryFileA = &::DragQueryFileA;
  decltype(&::DragQueryPoint) DragQueryPoint = &::DragQueryPoint;
  decltype(&::ExtractIconA) ExtractIconA = &::ExtractIconA;
  decltype(&::ExtractIconExA) ExtractIconExA = &::ExtractIconExA;
  decltype(&::FindExecutableA) FindExecutableA = &::FindExecutableA;
  decltype(&::Shell_NotifyIconA) Shell_NotifyIconA = &::Shell_NotifyIconA;
  decltype(&::Shell_NotifyIconW) Shell_NotifyIconW = &::Shell_NotifyIconW;
  decltype(&::ShellExecuteA) ShellExecuteA = &::ShellExecuteA;
  decltype(&::ShellExecuteExA) ShellExecuteExA = &::ShellExecuteExA;
  decltype(&::SHFileOperationA) SHFileOperationA = &::SHFileOperationA;
  decltype(&::SHFreeNameMappings) SHFreeNameMappings = &::SHFreeNameMappings;
  decltype(&::SHGetFileInfoA) SHGetFileInfoA = &::SHGetFileInfoA;
};
extern Shell32Table shell32;

struct VersionTable {
  VersionTable();  // out of line: see OsSeam.cpp
  decltype(&::GetFileVersionInfoA) GetFileVersionInfoA = &::GetFileVersionInfoA;
  decltype(&::GetFileVersionInfoW) GetFileVersionInfoW = &::GetFileVersionInfoW;
  decltype(&::GetFileVersionInfoSizeA) GetFileVersionInfoSizeA = &::GetFileVersionInfoSizeA;
  decltype(&::GetFileVersionInfoSizeW) GetFileVersionInfoSizeW = &::GetFileVersionInfoSizeW;
  decltype(&::VerLanguageNameA) VerLanguageNameA = &::VerLanguageNameA;
  decltype(&::VerQueryValueA) VerQueryValueA = &::VerQueryValueA;
  decltype(&::VerQueryValueW) VerQueryValueW = &::VerQueryValueW;
};
extern VersionTable version;

struct WinmmTable {
  WinmmTable();  // out of line: see OsSeam.cpp
  decltype(&::mciSendCommandA) mciSendCommandA = &::mciSendCommandA;
  decltype(&::mciSendStringA) mciSendStringA = &::mciSendStringA;
  decltype(&::PlaySoundA) PlaySoundA = &::PlaySoundA;
  decltype(&::sndPlaySoundA) sndPlaySoundA = &::sndPlaySoundA;
  decltype(&::timeBeginPeriod) timeBeginPeriod = &::timeBeginPeriod;
  decltype(&::timeEndPeriod) timeEndPeriod = &::timeEndPeriod;
  decltype(&::timeGetTime) timeGetTime = &::timeGetTime;
  decltype(&::waveOutGetNumDevs) waveOutGetNumDevs = &::waveOutGetNumDevs;
};
extern WinmmTable winmm;

struct Comctl32Table {
  Comctl32Table();  // out of line: see OsSeam.cpp
  decltype(&::InitCommonControls) InitCommonControls = &::InitCommonControls;
  decltype(&::InitCommonControlsEx) InitCommonControlsEx = &::InitCommonControlsEx;
};
extern Comctl32Table comctl32;

// The common dialogs. A FALSE result is a cancel unless CommDlgExtendedError then names an error.
struct Comdlg32Table {
  Comdlg32Table();  // out of line: see OsSeam.cpp
  decltype(&::ChooseColorA) ChooseColorA = &::ChooseColorA;
  decltype(&::CommDlgExtendedError) CommDlgExtendedError = &::CommDlgExtendedError;
  decltype(&::GetOpenFileNameA) GetOpenFileNameA = &::GetOpenFileNameA;
  decltype(&::GetSaveFileNameA) GetSaveFileNameA = &::GetSaveFileNameA;
};
extern Comdlg32Table comdlg32;

// COM, for the platform's components that are COM objects (the imaging component); their
// interfaces are called directly, since a test replaces the object by replacing its creation.
struct Ole32Table {
  Ole32Table();  // out of line: see OsSeam.cpp
  decltype(&::CoCreateInstance) CoCreateInstance = &::CoCreateInstance;
  decltype(&::CoInitializeEx) CoInitializeEx = &::CoInitializeEx;
  decltype(&::CoUninitialize) CoUninitialize = &::CoUninitialize;
};
extern Ole32Table ole32;

// Methods

// Replaces one entry for the scope's lifetime and puts the previous one back (so overrides nest).
// Non-copyable and non-movable: the restore happens exactly once, where the scope ends.
template <class Fn>
class ScopedOverride {
 public:
  ScopedOverride(Fn& entry, std::type_identity_t<Fn> replacement) : entry_(entry), saved_(entry) {
    entry_ = replacement;
  }
  ~ScopedOverride() { entry_ = saved_; }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

  // The entry that was in place before this override; a fake may forward to it.
  Fn Previous() const { return saved_; }

 private:
  Fn& entry_;
  Fn saved_;
};

template <class Fn>
ScopedOverride(Fn&, std::type_identity_t<Fn>) -> ScopedOverride<Fn>;

}  // namespace kyt::os

#endif  // KYT_HOST_OS_OSSEAM_H
