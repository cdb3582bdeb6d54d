#include "toolkit/win32/PicturePreview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/LateBound.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/WinText.h"
#include "toolkit/win32/Gdi.h"

namespace norva::tk::win32 {

using platform::win32::ScopedCreatedDc;
using platform::win32::SelectGuard;

namespace {

// The child dialog's controls: stc32 stands for the system's own controls
// (the dialog lays them out there and moves what lies right of it); the
// preview is owner-drawn.
constexpr WORD kStc32 = 0x045f;
constexpr WORD kPreviewId = 0x4E50;
// In dialog units: the pane beside the system's controls; it lies right of
// stc32, so the dialog moves it sideways as it makes room for its own.
constexpr short kPaneLeft = 8, kPaneTop = 2, kPaneWidth = 110, kPaneHeight = 110;

// The picture under the selection, owned by the dialog while it is open.
struct PreviewState {
  platform::LoadedBitmap picture;
  void Release() {
    if (picture.handle != nullptr) platform::Os().user.DeleteBitmap(picture.handle);
    picture = {};
  }
};

// An in-memory dialog template: DLGTEMPLATE, then its items, each on a
// DWORD boundary, with no menu, the default class and no title.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy) {
    Add32(style);
    Add32(0);  // extended style
    Add16(0);  // item count, set by AddItem
    Add16(0);  // x
    Add16(0);  // y
    Add16(static_cast<WORD>(cx));
    Add16(static_cast<WORD>(cy));
    Add16(0);  // no menu
    Add16(0);  // the dialog class
    Add16(0);  // no title
  }
  void AddStatic(DWORD style, short x, short y, short cx, short cy, WORD id) {
    while (FWords.size() % 2 != 0) Add16(0);
    Add32(style);
    Add32(0);
    Add16(static_cast<WORD>(x));
    Add16(static_cast<WORD>(y));
    Add16(static_cast<WORD>(cx));
    Add16(static_cast<WORD>(cy));
    Add16(id);
    Add16(0xFFFF);
    Add16(0x0082);  // the STATIC class
    Add16(0);       // no text
    Add16(0);       // no creation data
    ++FWords[4];
  }
  // A fixed global block, as the dialog takes it (its handle is its address).
  HGLOBAL Copy() const {
    const size_t bytes = FWords.size() * sizeof(WORD);
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, bytes);
    if (block != nullptr) std::memcpy(block, FWords.data(), bytes);
    return block;
  }

 private:
  void Add16(WORD v) { FWords.push_back(v); }
  void Add32(DWORD v) {
    Add16(LOWORD(v));
    Add16(HIWORD(v));
  }
  std::vector<WORD> FWords;
};

std::wstring SelectedPath(HWND child) {
  std::vector<wchar_t> path(32768, L'\0');
  const LRESULT length =
      ::SendMessageW(::GetParent(child), CDM_GETFILEPATH, static_cast<WPARAM>(path.size()),
                     reinterpret_cast<LPARAM>(path.data()));
  if (length <= 0) return {};
  return std::wstring(path.data());
}

void ShowSelection(HWND child, PreviewState& state) {
  state.Release();
  const std::wstring path = SelectedPath(child);
  // A folder, a file that is no bitmap and a picture too large to hold all
  // load as nothing: the pane stays empty.
  if (!path.empty())
    state.picture =
        platform::Os().user.LoadBitmapFile(platform::win32::Utf8(path.data(), path.size()));
  ::InvalidateRect(::GetDlgItem(child, kPreviewId), nullptr, TRUE);
}

void DrawPreview(const DRAWITEMSTRUCT& item, const PreviewState& state, HFONT font) {
  RECT pane = item.rcItem;
  ::FillRect(item.hDC, &pane, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(item.hDC, &pane, EDGE_SUNKEN, BF_RECT);
  ::InflateRect(&pane, -3, -3);
  const int lineHeight = [&] {
    TEXTMETRICW metrics{};
    SelectGuard selected(item.hDC, font);
    ::GetTextMetricsW(item.hDC, &metrics);
    return static_cast<int>(metrics.tmHeight) + 2;
  }();
  RECT caption{pane.left, pane.bottom - lineHeight, pane.right, pane.bottom};
  RECT area{pane.left, pane.top, pane.right, caption.top};
  const platform::LoadedBitmap& picture = state.picture;
  wchar_t text[64] = L"";
  if (picture.handle != nullptr && area.right > area.left && area.bottom > area.top) {
    // Scaled down to fit, never up, centred, its proportions kept.
    const int roomW = area.right - area.left, roomH = area.bottom - area.top;
    int w = picture.width, h = picture.height;
    if (w > roomW || h > roomH) {
      if (static_cast<int64_t>(w) * roomH > static_cast<int64_t>(h) * roomW) {
        h = std::max(1, static_cast<int>(static_cast<int64_t>(h) * roomW / w));
        w = roomW;
      } else {
        w = std::max(1, static_cast<int>(static_cast<int64_t>(w) * roomH / h));
        h = roomH;
      }
    }
    const int x = area.left + (roomW - w) / 2, y = area.top + (roomH - h) / 2;
    ScopedCreatedDc source(::CreateCompatibleDC(item.hDC));
    if (source) {
      SelectGuard selected(source.Get(), static_cast<HBITMAP>(picture.handle));
      ::SetStretchBltMode(item.hDC, HALFTONE);
      ::SetBrushOrgEx(item.hDC, 0, 0, nullptr);
      ::StretchBlt(item.hDC, x, y, w, h, source.Get(), 0, 0, picture.width, picture.height,
                   SRCCOPY);
    }
    std::swprintf(text, 64, L"%d \u00D7 %d", picture.width, picture.height);
  }
  SelectGuard selected(item.hDC, font);
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextW(item.hDC, text, -1, &caption, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

UINT_PTR CALLBACK PreviewHook(HWND child, UINT msg, WPARAM, LPARAM lParam) {
  auto* state = reinterpret_cast<PreviewState*>(::GetWindowLongPtrW(child, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
      ::SetWindowLongPtrW(child, DWLP_USER, static_cast<LONG_PTR>(ofn->lCustData));
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const OFNOTIFYW*>(lParam);
      if (state != nullptr && header->hdr.code == CDN_SELCHANGE) ShowSelection(child, *state);
      return FALSE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (state == nullptr || item->CtlID != kPreviewId) return FALSE;
      auto font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(child), WM_GETFONT, 0, 0));
      if (font == nullptr) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
      DrawPreview(*item, *state, font);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

BOOL GetOpenPictureFileName(OPENFILENAMEW& ofn) {
  DialogTemplate layout(WS_CHILD | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL,
                        kPaneLeft + kPaneWidth + 8, kPaneTop + kPaneHeight);
  // As tall as the template: the dialog adds below its own controls whatever
  // of the template lies below stc32.
  layout.AddStatic(WS_CHILD, 0, 0, 4, kPaneTop + kPaneHeight, kStc32);
  layout.AddStatic(WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, kPaneLeft, kPaneTop, kPaneWidth,
                   kPaneHeight, kPreviewId);
  const HGLOBAL block = layout.Copy();
  if (block == nullptr) return platform::win32::LateGetOpenFileNameW(&ofn);
  PreviewState state;
  ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_EXPLORER;
  ofn.hInstance = static_cast<HINSTANCE>(block);
  ofn.lpfnHook = &PreviewHook;
  ofn.lCustData = reinterpret_cast<LPARAM>(&state);
  const BOOL chosen = platform::win32::LateGetOpenFileNameW(&ofn);
  state.Release();
  ::GlobalFree(block);
  return chosen;
}

}  // namespace norva::tk::win32
