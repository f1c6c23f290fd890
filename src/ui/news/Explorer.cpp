#include "ui/news/Explorer.h"

#include <exdisp.h>
#include <exdispid.h>
#include <oleauto.h>
#include <ocidl.h>

namespace rw {
namespace {

const CLSID kWebBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr DISPID kDispidNavigate = 104;
constexpr DISPID kDispidReadyState = -525;

}  // namespace

// The reference count of the COM objects here: each starts with its creator's reference and is
// deleted with its last one. (Not file-local: the explorer's nested classes derive from it.)
template <class Object>
class ComReferences {
protected:
    ULONG Add() { return ++references_; }
    ULONG Drop() {
        const ULONG left = --references_;
        if (left == 0) delete static_cast<Object*>(this);
        return left;
    }

private:
    ULONG references_ = 1;
};

// The container's side: client site, in-place site and frame in one object, with its own
// reference count; the explorer holds one reference.
class CExplorer::Site final : public IOleClientSite,
                              public IOleInPlaceSite,
                              public IOleInPlaceFrame,
                              private ComReferences<CExplorer::Site> {
    friend class ComReferences<Site>;

public:
    explicit Site(HWND window) : window_(window) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *out = static_cast<IOleInPlaceFrame*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (both the site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = GetAncestor(window_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, tools or status bar to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~Site() = default;
    HWND window_;
};

// The control's events (DWebBrowserEvents2): each navigation and new window is put to the
// explorer's rule; a sink the explorer has let go of lets everything pass.
class CExplorer::Events final : public IDispatch, private ComReferences<CExplorer::Events> {
    friend class ComReferences<Events>;

public:
    explicit Events(CExplorer* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (!params || !owner_) return S_OK;
        // Arguments arrive last first.
        const auto arg = [&](UINT i) -> VARIANT* { return i < params->cArgs ? &params->rgvarg[i] : nullptr; };
        if (id == DISPID_BEFORENAVIGATE2) {  // (frame, url, flags, target, post data, headers, cancel)
            VARIANT* frame = arg(6);
            VARIANT* cancel = arg(0);
            const std::wstring url = Text(arg(5));
            if (!cancel || cancel->vt != (VT_BYREF | VT_BOOL)) return S_OK;
            IDispatch* frameDispatch = frame && frame->vt == VT_DISPATCH ? frame->pdispVal : nullptr;
            if (owner_->OnNavigation(url, frameDispatch, false) != NewsNavigation::Allow) {
                *cancel->pboolVal = VARIANT_TRUE;
            }
        } else if (id == DISPID_NEWWINDOW3) {  // (new window, cancel, flags, context, url)
            VARIANT* cancel = arg(3);
            if (cancel && cancel->vt == (VT_BYREF | VT_BOOL)) *cancel->pboolVal = VARIANT_TRUE;
            owner_->OnNavigation(Text(arg(0)), nullptr, true);
        } else if (id == DISPID_NEWWINDOW2) {  // (new window, cancel): no address given
            VARIANT* cancel = arg(0);
            if (cancel && cancel->vt == (VT_BYREF | VT_BOOL)) *cancel->pboolVal = VARIANT_TRUE;
        }
        return S_OK;
    }

private:
    ~Events() = default;
    static std::wstring Text(const VARIANT* v) {
        if (!v) return {};
        if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
        if (v->vt == VT_BSTR && v->bstrVal) return std::wstring(v->bstrVal, SysStringLen(v->bstrVal));
        if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal && *v->pbstrVal) return *v->pbstrVal;
        return {};
    }
    CExplorer* owner_;
};

NewsNavigation CExplorer::OnNavigation(const std::wstring& url, IDispatch* frame, bool newWindow) {
    bool topLevel = false;
    if (frame && object_) {
        // The page itself, not a frame in it: the frame is the control.
        IUnknown* a = nullptr;
        IUnknown* b = nullptr;
        frame->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
        object_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
        topLevel = a && a == b;
        if (a) a->Release();
        if (b) b->Release();
    }
    const bool own = topLevel && ownNavigationPending_;
    if (topLevel) ownNavigationPending_ = false;
    if (!rule_) return newWindow ? NewsNavigation::Cancel : NewsNavigation::Allow;
    return rule_(url, topLevel, own, newWindow);
}

bool CExplorer::Create(const wchar_t* windowName, DWORD style, const RECT& rect, HWND parent, UINT id) {
    Destroy();
    host_ = CreateWindowExW(0, L"Static", windowName, style | WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!host_) return false;
    site_ = new Site(host_);
    IOleObject* object = nullptr;
    if (FAILED(CoCreateInstance(kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&object)))) {
        Destroy();
        return false;
    }
    object_.reset(object);
    object_->SetClientSite(static_cast<IOleClientSite*>(site_));
    RECT client{};
    GetClientRect(host_, &client);
    object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, host_, &client);
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        dispatch_.reset(dispatch);
    }
    // Script errors are not shown as dialogs.
    IWebBrowser2* browser = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
        browser->put_Silent(VARIANT_TRUE);
        browser->Release();
    }
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
            connection_.reset(point);
            events_ = new Events(this);
            if (FAILED(connection_->Advise(static_cast<IDispatch*>(events_), &eventsCookie_))) eventsCookie_ = 0;
        }
        container->Release();
    }
    return static_cast<bool>(dispatch_);
}

void CExplorer::Destroy() {
    if (connection_ && eventsCookie_) connection_->Unadvise(eventsCookie_);
    eventsCookie_ = 0;
    connection_.reset();
    if (events_) {
        events_->Detach();
        events_->Release();
        events_ = nullptr;
    }
    dispatch_.reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
    }
    if (site_) {
        site_->Release();
        site_ = nullptr;
    }
    if (host_) {
        DestroyWindow(host_);
        host_ = nullptr;
    }
}

HRESULT CExplorer::Navigate(const std::wstring& url) {
    if (!dispatch_) return E_POINTER;
    BSTR address = SysAllocString(url.c_str());
    if (!address) return E_OUTOFMEMORY;
    // Arguments go last first: four empty optional ones, then the address.
    VARIANT args[5];
    for (VARIANT& v : args) VariantInit(&v);
    args[4].vt = VT_BSTR;
    args[4].bstrVal = address;
    DISPPARAMS params{args, nullptr, 5, 0};
    ownNavigationPending_ = true;
    const HRESULT hr = dispatch_->Invoke(kDispidNavigate, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                         nullptr, nullptr, nullptr);
    SysFreeString(address);
    return hr;
}

long CExplorer::ReadyState() {
    if (!dispatch_) return 0;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(dispatch_->Invoke(kDispidReadyState, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result,
                                 nullptr, nullptr))) {
        return 0;
    }
    long state = 0;
    if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4))) state = result.lVal;
    VariantClear(&result);
    return state;
}

}  // namespace rw
