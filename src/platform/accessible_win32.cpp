#include "platform/accessible.h"

#include <commctrl.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>
#include <utility>

namespace quillet {

namespace {

using Microsoft::WRL::ComPtr;

// UI Automation's LiveSetting property and its value "polite", which the annotation service
// takes for a window's client object. Not in MinGW's headers.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

// The annotation service. Its GUIDs are spelled out here: MinGW's uuid and oleacc libraries
// define some of the same ones, and the program links both.
constexpr GUID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

// EVENT_OBJECT_LIVEREGIONCHANGED, which the headers declare only for Windows 8 on; an older
// system passes it to whoever listens all the same.
constexpr DWORD kLiveRegionChanged = 0x8019;

constexpr UINT_PTR kNameSubclass = 0xA11;
constexpr UINT_PTR kLiveRegionSubclass = 0xA12;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for a control, with the name replaced; everything else is the system's.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(ComPtr<IAccessible> standard, HWND hwnd, std::wstring name)
        : standard_(std::move(standard)), hwnd_(hwnd), name_(std::move(name)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // IOleWindow, IEnumVARIANT and the like: the system's object answers for the control.
        return standard_->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return standard_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                                     UINT* arg) override {
        return standard_->Invoke(id, iid, lcid, flags, params, result, info, arg);
    }

    // IAccessible: the name is ours.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        std::wstring text = name_;
        if (text.empty() && IsWindow(hwnd_)) {
            text.resize(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1);
            text.resize(static_cast<size_t>(
                GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
        }
        *name = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;

    ULONG refs_ = 1;
    ComPtr<IAccessible> standard_;
    HWND hwnd_;
    std::wstring name_;
};

LRESULT AnswerObject(HWND hwnd, WPARAM wp, const std::wstring& name) {
    ComPtr<IAccessible> standard;
    if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(standard.GetAddressOf())))) {
        return 0;
    }
    ComPtr<IAccessible> named;
    named.Attach(new NamedAccessible(std::move(standard), hwnd, name));
    return LresultFromObject(__uuidof(IAccessible), wp, named.Get());
}

LRESULT CALLBACK NameProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                               DWORD_PTR data) {
    auto* name = reinterpret_cast<std::wstring*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &NameProcedure, id);
        delete name;
    } else if (msg == WM_GETOBJECT && static_cast<LONG>(lp) == OBJID_CLIENT) {
        if (const LRESULT answer = AnswerObject(hwnd, wp, *name)) return answer;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

ComPtr<IAccPropServices> AnnotationService() {
    ComPtr<IAccPropServices> services;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(services.GetAddressOf())))) {
        return nullptr;
    }
    return services;
}

// The system keeps a window's annotations until they are cleared: they go with the window.
LRESULT CALLBACK LiveRegionProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR) {
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &LiveRegionProcedure, id);
        if (const ComPtr<IAccPropServices> services = AnnotationService()) {
            MSAAPROPID live = kLiveSettingProperty;
            services->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &live,
                                     1);
        }
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void SetAccessibleName(HWND control, std::wstring name) {
    if (!control) return;
    auto* kept = new std::wstring(std::move(name));
    if (!SetWindowSubclass(control, &NameProcedure, kNameSubclass,
                           reinterpret_cast<DWORD_PTR>(kept))) {
        delete kept;
    }
}

void MarkLiveRegion(HWND control) {
    const ComPtr<IAccPropServices> services = AnnotationService();
    if (!services) return;
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    // Wine creates the service but keeps no annotations (E_NOTIMPL): nothing to do about it.
    if (SUCCEEDED(services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        kLiveSettingProperty, polite))) {
        SetWindowSubclass(control, &LiveRegionProcedure, kLiveRegionSubclass, 0);
    }
}

void AnnounceLiveRegion(HWND control) {
    NotifyWinEvent(kLiveRegionChanged, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace quillet
