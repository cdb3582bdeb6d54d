#include "platform/win32/Win32Fonts.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <vector>

#include "platform/FontFaces.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/WinText.h"

namespace norva::platform::win32 {

namespace {

int CALLBACK FoundFamily(const ::LOGFONTW*, const ::TEXTMETRICW*, ::DWORD, ::LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

// The message font; false when the system gives none.
bool MessageFont(::LOGFONTW& font) {
  ::NONCLIENTMETRICSW metrics{};
  // The headers of this build declare the record without the padded-border
  // field of later systems: the size every version accepts.
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  font = metrics.lfMessageFont;
  return true;
}

// The message box of this thread being opened, the font its controls get
// (it must outlive the box) and the box's own window procedure.
struct StandInBox {
  ::HHOOK hook = nullptr;
  ::HFONT font = nullptr;
  ::WNDPROC boxProc = nullptr;
};
thread_local StandInBox* tStandIn = nullptr;

::BOOL CALLBACK SetFontOfChild(::HWND child, ::LPARAM font) {
  ::SendMessageW(child, WM_SETFONT, static_cast<::WPARAM>(font), TRUE);
  return TRUE;
}

// The static text of a message box (id 0xFFFF, no icon style).
::HWND TextOf(::HWND box) {
  for (::HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && (::GetWindowLongW(child, GWL_STYLE) & SS_ICON) == 0 &&
        ::GetWindowTextLengthW(child) > 0)
      return child;
  }
  return nullptr;
}

// Gives the box the stand-in font and makes room for the text in it: the
// text control grows to what DrawText measures, the box and the buttons below
// the text move by as much.
void Refit(::HWND box, ::HFONT font) {
  ::EnumChildWindows(box, &SetFontOfChild, reinterpret_cast<::LPARAM>(font));
  ::HWND text = TextOf(box);
  if (text == nullptr) return;
  ::RECT textRect{};
  ::GetWindowRect(text, &textRect);
  ::MapWindowPoints(nullptr, box, reinterpret_cast<::POINT*>(&textRect), 2);
  std::wstring content(static_cast<size_t>(::GetWindowTextLengthW(text)) + 1, L'\0');
  ::GetWindowTextW(text, content.data(), static_cast<int>(content.size()));
  content.resize(std::wcslen(content.c_str()));
  ScopedWindowDc dc(text);
  SelectGuard selected(dc.Get(), font);
  ::RECT need{0, 0, 0, 0};
  ::DrawTextW(dc.Get(), content.c_str(), static_cast<int>(content.size()), &need,
              DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  const int growX = std::max(0L, (need.right - need.left) - (textRect.right - textRect.left));
  const int growY = std::max(0L, (need.bottom - need.top) - (textRect.bottom - textRect.top));
  if (growX == 0 && growY == 0) return;
  ::SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left + growX,
                 textRect.bottom - textRect.top + growY, SWP_NOMOVE | SWP_NOZORDER);
  // The buttons sit centred below the text: down by the new height, right by
  // half the new width.
  for (::HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(child, cls, 16);
    if (_wcsicmp(cls, L"Button") != 0) continue;
    ::RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<::POINT*>(&r), 2);
    ::SetWindowPos(child, nullptr, r.left + growX / 2, r.top + growY, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
  }
  ::RECT boxRect{};
  ::GetWindowRect(box, &boxRect);
  ::SetWindowPos(box, nullptr, boxRect.left - growX / 2, boxRect.top - growY / 2,
                 boxRect.right - boxRect.left + growX, boxRect.bottom - boxRect.top + growY,
                 SWP_NOZORDER);
}

// The box lays itself out in WM_INITDIALOG for its own font: the stand-in
// goes in right after that.
::LRESULT CALLBACK BoxProc(::HWND box, ::UINT msg, ::WPARAM wParam, ::LPARAM lParam) {
  StandInBox* standIn = tStandIn;
  const ::WNDPROC own = standIn->boxProc;
  const ::LRESULT result = ::CallWindowProcW(own, box, msg, wParam, lParam);
  if (msg == WM_INITDIALOG) {
    ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    Refit(box, standIn->font);
  }
  return result;
}

// The first dialog window the thread creates is the box.
::LRESULT CALLBACK WatchBox(int code, ::WPARAM wParam, ::LPARAM lParam) {
  StandInBox* box = tStandIn;
  const ::HHOOK hook = box->hook;
  if (code == HCBT_CREATEWND) {
    const auto window = reinterpret_cast<::HWND>(wParam);
    wchar_t cls[16] = {};
    ::GetClassNameW(window, cls, 16);
    if (std::wcscmp(cls, L"#32770") == 0) {
      box->boxProc = reinterpret_cast<::WNDPROC>(
          ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoxProc)));
      ::UnhookWindowsHookEx(hook);
      box->hook = nullptr;
      return 0;
    }
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

bool FamilyInstalled(const std::string& face) {
  // Asked once per face: the program asks for a handful of faces, each of
  // its fonts at creation, and the answer does not change while it runs.
  static std::map<std::string, bool> known;
  if (auto it = known.find(face); it != known.end()) return it->second;
  bool& answer = known[face];
  const std::wstring wide = Wide(face);
  if (wide.empty() || wide.size() >= LF_FACESIZE) return answer = false;
  ::LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(query.lfFaceName, wide.c_str(), LF_FACESIZE - 1);
  ScopedWindowDc screen(nullptr);
  bool found = false;
  ::EnumFontFamiliesExW(screen.Get(), &query, &FoundFamily, reinterpret_cast<::LPARAM>(&found), 0);
  return answer = found;
}

std::string MessageFontName() {
  ::LOGFONTW font{};
  if (!MessageFont(font)) return {};
  return Utf8(font.lfFaceName, std::wcslen(font.lfFaceName));
}

int MessageBoxWithStandIn(::HWND owner, const std::wstring& text, const std::wstring& caption,
                          ::UINT type) {
  ::LOGFONTW font{};
  const FontFace face = UiFace();
  const std::wstring name = Wide(face.name);
  if (tStandIn != nullptr || !face.substitute || name.size() >= LF_FACESIZE || !MessageFont(font))
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
  std::wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  font.lfCharSet = DEFAULT_CHARSET;
  ScopedFont standIn(::CreateFontIndirectW(&font));
  StandInBox box{nullptr, standIn.Get(), nullptr};
  tStandIn = &box;
  box.hook = ::SetWindowsHookExW(WH_CBT, &WatchBox, nullptr, ::GetCurrentThreadId());
  const int answer = ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
  if (box.hook != nullptr) ::UnhookWindowsHookEx(box.hook);
  tStandIn = nullptr;
  return answer;
}

}  // namespace norva::platform::win32
