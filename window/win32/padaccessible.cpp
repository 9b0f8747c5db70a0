// Defines IID_IAccessible here, rather than importing it from oleacc.dll, which is loaded only
// when assistive technology first asks.
#include <initguid.h>

#include "padaccessible.h"

#include <string>

#include "pad.h"
#include "systemfunction.h"
#include "widetext.h"

namespace zintu {

namespace {

constexpr wchar_t pressAction[] = L"Press";

SystemFunction<decltype(SysAllocString)> sysAllocString(L"oleaut32.dll", "SysAllocString", nullptr);
SystemFunction<decltype(AccessibleObjectFromWindow)> accessibleObjectFromWindow(
    L"oleacc.dll", "AccessibleObjectFromWindow", E_FAIL);

HRESULT answer(BSTR* out, const std::wstring& text) {
    *out = sysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT nothing(BSTR* out) {
    *out = nullptr;
    return S_FALSE;
}

HRESULT number(VARIANT* out, long value) {
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

PadAccessible::PadAccessible(const Pad& pad, UINT pressMessage)
    : pad_(&pad), pressMessage_(pressMessage) {}

HRESULT PadAccessible::QueryInterface(REFIID id, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PadAccessible::AddRef() {
    return ++references_;
}

ULONG PadAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

// Assistive technology reaches a pad through IAccessible itself, never by name through
// IDispatch.
HRESULT PadAccessible::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT PadAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT PadAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT PadAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                              UINT*) {
    return E_NOTIMPL;
}

HRESULT PadAccessible::get_accParent(IDispatch** parent) {
    *parent = nullptr;
    if (!pad_) {
        return CO_E_OBJNOTCONNECTED;
    }
    return accessibleObjectFromWindow(pad_->hwnd(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
}

HRESULT PadAccessible::get_accChildCount(long* count) {
    *count = 0;
    return pad_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT PadAccessible::get_accChild(VARIANT, IDispatch** dispatch) {
    *dispatch = nullptr;
    return E_INVALIDARG;
}

HRESULT PadAccessible::get_accName(VARIANT child, BSTR* name) {
    const HRESULT self = checkSelf(child);
    if (self != S_OK) {
        return self;
    }
    return answer(name, widen(design::padTable.at(static_cast<std::size_t>(pad_->index())).name));
}

HRESULT PadAccessible::get_accValue(VARIANT, BSTR* value) {
    *value = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT PadAccessible::get_accDescription(VARIANT child, BSTR* description) {
    const HRESULT self = checkSelf(child);
    return self == S_OK ? nothing(description) : self;
}

HRESULT PadAccessible::get_accRole(VARIANT child, VARIANT* role) {
    const HRESULT self = checkSelf(child);
    return self == S_OK ? number(role, ROLE_SYSTEM_PUSHBUTTON) : self;
}

HRESULT PadAccessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT self = checkSelf(child);
    if (self != S_OK) {
        return self;
    }
    long flags = 0;
    if (!IsWindowEnabled(pad_->hwnd())) {
        flags |= STATE_SYSTEM_UNAVAILABLE;
    }
    if (!IsWindowVisible(pad_->hwnd())) {
        flags |= STATE_SYSTEM_INVISIBLE;
    }
    if (pad_->lit()) {
        flags |= STATE_SYSTEM_PRESSED;
    }
    return number(state, flags);
}

HRESULT PadAccessible::get_accHelp(VARIANT child, BSTR* help) {
    const HRESULT self = checkSelf(child);
    return self == S_OK ? nothing(help) : self;
}

HRESULT PadAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    *file = nullptr;
    *topic = 0;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT PadAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    const HRESULT self = checkSelf(child);
    return self == S_OK ? nothing(shortcut) : self;
}

HRESULT PadAccessible::get_accFocus(VARIANT* child) {
    child->vt = VT_EMPTY;
    return pad_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT PadAccessible::get_accSelection(VARIANT* children) {
    children->vt = VT_EMPTY;
    return pad_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT PadAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    const HRESULT self = checkSelf(child);
    return self == S_OK ? answer(action, pressAction) : self;
}

HRESULT PadAccessible::accSelect(long, VARIANT) {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT PadAccessible::accLocation(long* left, long* top, long* width, long* height,
                                   VARIANT child) {
    const HRESULT self = checkSelf(child);
    if (self != S_OK) {
        return self;
    }
    RECT place;
    GetWindowRect(pad_->hwnd(), &place);
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

HRESULT PadAccessible::accNavigate(long, VARIANT, VARIANT* end) {
    end->vt = VT_EMPTY;
    return pad_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT PadAccessible::accHitTest(long x, long y, VARIANT* child) {
    child->vt = VT_EMPTY;
    if (!pad_) {
        return CO_E_OBJNOTCONNECTED;
    }
    RECT place;
    GetWindowRect(pad_->hwnd(), &place);
    return PtInRect(&place, POINT{x, y}) ? number(child, CHILDID_SELF) : S_FALSE;
}

HRESULT PadAccessible::accDoDefaultAction(VARIANT child) {
    const HRESULT self = checkSelf(child);
    if (self != S_OK) {
        return self;
    }
    // Deferred: the caller waits for this answer, and the press may open a modal box.
    PostMessageW(pad_->hwnd(), pressMessage_, 0, 0);
    return S_OK;
}

HRESULT PadAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT PadAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT PadAccessible::checkSelf(const VARIANT& child) const {
    if (!pad_) {
        return CO_E_OBJNOTCONNECTED;
    }
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF ? S_OK : E_INVALIDARG;
}

}  // namespace zintu
