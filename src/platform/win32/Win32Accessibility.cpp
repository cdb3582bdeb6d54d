#include "platform/win32/Win32Accessibility.h"

#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/LateBound.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

// clang-format off
#include <oleacc.h>
// clang-format on

namespace norva::platform::win32 {

namespace {

// The interface identities, spelled out here: MinGW's import libraries hand
// them out as the addresses of import thunks, and the program links no COM
// library.
constexpr ::GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr ::GUID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr ::GUID kIidAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

using LresultFromObjectProc = ::LRESULT(WINAPI*)(REFIID, ::WPARAM, ::IUnknown*);
using AccessibleObjectFromWindowProc = ::HRESULT(WINAPI*)(::HWND, ::DWORD, REFIID, void**);
using SysAllocStringLenProc = ::BSTR(WINAPI*)(const ::OLECHAR*, ::UINT);
using CoInitializeExProc = ::HRESULT(WINAPI*)(void*, ::DWORD);
using NotifyWinEventProc = void(WINAPI*)(::DWORD, ::HWND, ::LONG, ::LONG);

template <class Proc>
Proc Bound(const char* library, const char* name) {
  return LateBound<std::remove_pointer_t<Proc>>(library, name);
}

// A text as a BSTR the reader frees; null (E_OUTOFMEMORY) when oleaut32 is
// missing or out of memory.
::HRESULT ToBstr(const std::string& text, ::BSTR* out) {
  static const auto alloc = Bound<SysAllocStringLenProc>("oleaut32.dll", "SysAllocStringLen");
  *out = nullptr;
  if (alloc == nullptr) return E_OUTOFMEMORY;
  const std::wstring wide = Wide(text);
  *out = alloc(reinterpret_cast<const ::OLECHAR*>(wide.data()), static_cast<::UINT>(wide.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetLong(::VARIANT* v, ::LONG value) {
  v->vt = VT_I4;
  v->lVal = value;
}

}  // namespace

// The client area and its parts (simple children, numbered from 1 in the
// source's reading order). Every answer asks the source afresh; once the
// source is gone every call answers that the object is gone.
class ClientAccessible final : public ::IAccessible {
 public:
  ClientAccessible(::HWND window, IAccessibleSource& source) : FWindow(window), FSource(&source) {}

  void Disconnect() { FSource = nullptr; }

  // IUnknown
  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (::IsEqualGUID(riid, kIidUnknown) || ::IsEqualGUID(riid, kIidDispatch) ||
        ::IsEqualGUID(riid, kIidAccessible)) {
      *out = static_cast<::IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ::ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
  ::ULONG STDMETHODCALLTYPE Release() override {
    const ::ULONG left = --FReferences;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: readers call IAccessible directly; no type information.
  ::HRESULT STDMETHODCALLTYPE GetTypeInfoCount(::UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE GetTypeInfo(::UINT, ::LCID, ::ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  ::HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, ::LPOLESTR*, ::UINT, ::LCID,
                                            ::DISPID*) override {
    return E_NOTIMPL;
  }
  ::HRESULT STDMETHODCALLTYPE Invoke(::DISPID, REFIID, ::LCID, ::WORD, ::DISPPARAMS*, ::VARIANT*,
                                     ::EXCEPINFO*, ::UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  ::HRESULT STDMETHODCALLTYPE get_accParent(::IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    static const auto fromWindow =
        Bound<AccessibleObjectFromWindowProc>("oleacc.dll", "AccessibleObjectFromWindow");
    if (fromWindow == nullptr) return S_FALSE;
    void* object = nullptr;
    if (FAILED(fromWindow(FWindow, static_cast<::DWORD>(OBJID_WINDOW), kIidDispatch, &object)))
      return S_FALSE;
    *parent = static_cast<::IDispatch*>(object);
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE get_accChildCount(::LONG* count) override {
    if (count == nullptr) return E_POINTER;
    return Guarded([&] {
      *count = static_cast<::LONG>(FSource->AccessibleChildren().size());
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accChild(::VARIANT, ::IDispatch** child) override {
    // The parts are simple children: no object of their own.
    if (child == nullptr) return E_POINTER;
    *child = nullptr;
    return S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE get_accName(::VARIANT id, ::BSTR* name) override {
    return Text(id, name, [&](const AccessibleChild* c) {
      return c != nullptr ? c->name : FSource->AccessibleName();
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accValue(::VARIANT id, ::BSTR* value) override {
    return Text(id, value,
                [](const AccessibleChild* c) { return c != nullptr ? c->value : std::string(); });
  }
  ::HRESULT STDMETHODCALLTYPE get_accDescription(::VARIANT id, ::BSTR* text) override {
    return Text(id, text, [](const AccessibleChild* c) {
      return c != nullptr ? c->description : std::string();
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accDefaultAction(::VARIANT id, ::BSTR* text) override {
    return Text(id, text, [](const AccessibleChild* c) {
      return c != nullptr ? c->defaultAction : std::string();
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accRole(::VARIANT id, ::VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    role->vt = VT_EMPTY;
    return Part(id, [&](const AccessibleChild* c) {
      SetLong(role, c != nullptr ? c->role : ROLE_SYSTEM_CLIENT);
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accState(::VARIANT id, ::VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    state->vt = VT_EMPTY;
    return Part(id, [&](const AccessibleChild* c) {
      ::LONG bits = STATE_SYSTEM_FOCUSABLE;
      if (c != nullptr)
        bits = static_cast<::LONG>(c->state);
      else if (::GetFocus() == FWindow)
        bits |= STATE_SYSTEM_FOCUSED;
      SetLong(state, bits);
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accHelp(::VARIANT, ::BSTR* help) override {
    if (help != nullptr) *help = nullptr;
    return S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE get_accHelpTopic(::BSTR* file, ::VARIANT, ::LONG* topic) override {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(::VARIANT, ::BSTR* keys) override {
    if (keys != nullptr) *keys = nullptr;
    return S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE get_accFocus(::VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    focus->vt = VT_EMPTY;
    if (::GetFocus() != FWindow) return S_FALSE;
    return Guarded([&] {
      const std::vector<AccessibleChild> children = FSource->AccessibleChildren();
      ::LONG marked = CHILDID_SELF;
      for (size_t i = 0; i < children.size(); ++i)
        if ((children[i].state & STATE_SYSTEM_FOCUSED) != 0) marked = static_cast<::LONG>(i + 1);
      SetLong(focus, marked);
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE get_accSelection(::VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE accSelect(::LONG, ::VARIANT) override { return S_FALSE; }
  ::HRESULT STDMETHODCALLTYPE accLocation(::LONG* left, ::LONG* top, ::LONG* width, ::LONG* height,
                                          ::VARIANT id) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr)
      return E_POINTER;
    return Part(id, [&](const AccessibleChild* c) {
      ::RECT r{};
      if (c != nullptr) {
        r = {c->screen.left, c->screen.top, c->screen.right, c->screen.bottom};
      } else {
        ::GetClientRect(FWindow, &r);
        ::MapWindowPoints(FWindow, nullptr, reinterpret_cast<::POINT*>(&r), 2);
      }
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE accNavigate(::LONG direction, ::VARIANT start,
                                          ::VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    end->vt = VT_EMPTY;
    if (start.vt != VT_I4) return E_INVALIDARG;
    return Guarded([&]() -> ::HRESULT {
      const auto count = static_cast<::LONG>(FSource->AccessibleChildren().size());
      const ::LONG from = start.lVal;
      ::LONG to = 0;
      if (from == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD) to = 1;
        if (direction == NAVDIR_LASTCHILD) to = count;
      } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        to = from + 1;
      } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        to = from - 1;
      }
      if (to < 1 || to > count) return S_FALSE;
      SetLong(end, to);
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE accHitTest(::LONG x, ::LONG y, ::VARIANT* hit) override {
    if (hit == nullptr) return E_POINTER;
    hit->vt = VT_EMPTY;
    return Guarded([&]() -> ::HRESULT {
      const std::vector<AccessibleChild> children = FSource->AccessibleChildren();
      for (size_t i = children.size(); i-- > 0;) {
        const RECT& r = children[i].screen;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
          SetLong(hit, static_cast<::LONG>(i + 1));
          return S_OK;
        }
      }
      ::RECT client{};
      ::GetClientRect(FWindow, &client);
      ::POINT p{x, y};
      ::ScreenToClient(FWindow, &p);
      if (!::PtInRect(&client, p)) return S_FALSE;
      SetLong(hit, CHILDID_SELF);
      return S_OK;
    });
  }
  ::HRESULT STDMETHODCALLTYPE accDoDefaultAction(::VARIANT id) override {
    return Part(id, [&](const AccessibleChild* c) -> ::HRESULT {
      if (c == nullptr || c->defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
      return FSource->DoAccessibleAction(static_cast<size_t>(id.lVal - 1)) ? S_OK
                                                                           : DISP_E_MEMBERNOTFOUND;
    });
  }
  ::HRESULT STDMETHODCALLTYPE put_accName(::VARIANT, ::BSTR) override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE put_accValue(::VARIANT, ::BSTR) override { return E_NOTIMPL; }

 private:
  ::HWND FWindow;
  IAccessibleSource* FSource;
  ::ULONG FReferences = 1;

  // Runs a question on the source; a source that is gone, or that fails,
  // answers as COM expects rather than letting an exception cross the call.
  template <class F>
  ::HRESULT Guarded(const F& question) {
    if (FSource == nullptr) return RPC_E_DISCONNECTED;
    try {
      return question();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  // Runs answer with the child the VARIANT names (null for the client area
  // itself); an id out of range is an invalid argument.
  template <class F>
  ::HRESULT Part(const ::VARIANT& id, const F& answer) {
    if (id.vt != VT_I4) return E_INVALIDARG;
    return Guarded([&]() -> ::HRESULT {
      if (id.lVal == CHILDID_SELF) return answer(nullptr);
      const std::vector<AccessibleChild> children = FSource->AccessibleChildren();
      if (id.lVal < 1 || static_cast<size_t>(id.lVal) > children.size()) return E_INVALIDARG;
      return answer(&children[static_cast<size_t>(id.lVal - 1)]);
    });
  }

  template <class F>
  ::HRESULT Text(const ::VARIANT& id, ::BSTR* out, const F& text) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return Part(id, [&](const AccessibleChild* c) -> ::HRESULT {
      const std::string t = text(c);
      if (t.empty()) return S_FALSE;
      return ToBstr(t, out);
    });
  }
};

Win32Accessibility::~Win32Accessibility() {
  for (auto& [source, object] : FObjects) {
    object->Disconnect();
    object->Release();
  }
}

bool Win32Accessibility::AnswerClientObject(HWND window, WPARAM wParam, LPARAM lParam,
                                            IAccessibleSource& source, LRESULT* result) {
  const auto hwnd = static_cast<::HWND>(window);
  if (static_cast<::LONG>(static_cast<::DWORD>(lParam)) != OBJID_CLIENT) return false;
  static const auto lresultFromObject =
      Bound<LresultFromObjectProc>("oleacc.dll", "LresultFromObject");
  if (lresultFromObject == nullptr) return false;
  // Handing the object to another process marshals it, which needs COM in
  // this thread (an apartment of its own: the window's thread).
  static const bool com = [] {
    const auto init = Bound<CoInitializeExProc>("ole32.dll", "CoInitializeEx");
    return init != nullptr && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
  }();
  if (!com) return false;
  ClientAccessible*& object = FObjects[&source];
  if (object == nullptr) object = new ClientAccessible(hwnd, source);
  const ::LRESULT answer = lresultFromObject(kIidAccessible, static_cast<::WPARAM>(wParam), object);
  if (FAILED(static_cast<::HRESULT>(answer))) return false;
  *result = answer;
  return true;
}

void Win32Accessibility::Disconnect(IAccessibleSource& source) {
  const auto it = FObjects.find(&source);
  if (it == FObjects.end()) return;
  it->second->Disconnect();
  it->second->Release();
  FObjects.erase(it);
}

void Win32Accessibility::NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) {
  // Missing before Windows 98 and NT 4.0 SP6.
  static const auto notify = Bound<NotifyWinEventProc>("user32.dll", "NotifyWinEvent");
  if (notify != nullptr) notify(event, static_cast<::HWND>(window), object, child);
}

}  // namespace norva::platform::win32
