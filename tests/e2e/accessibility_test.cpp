// What a screen reader learns from outside the program: an event for each report, whose object
// names the report, and the names of the settings dialog's controls. The reader is played by an
// out-of-context event hook and the system's accessible objects, as NVDA and others use them.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

std::wstring TakeBstr(BSTR s) {
    std::wstring text = s ? std::wstring(s, SysStringLen(s)) : L"(none)";
    SysFreeString(s);
    return text;
}

struct Described {
    std::wstring name, value;
};

Described Describe(IAccessible* object, VARIANT child) {
    BSTR name = nullptr, value = nullptr;
    if (FAILED(object->get_accName(child, &name))) name = nullptr;
    if (FAILED(object->get_accValue(child, &value))) value = nullptr;
    return {TakeBstr(name), TakeBstr(value)};
}

// One event as a screen reader takes it: the window, and the object reached through it.
struct Heard {
    std::wstring windowClass, parentClass;
    LONG object, child;
    Described described;
};

// Listens to one process's live-region events; the hook calls back while this thread pumps.
// The object is asked for its name once the callback has returned, as a screen reader does
// from its own queue: Wine calls an out-of-context hook while the program waits for it.
class LiveRegionListener {
public:
    explicit LiveRegionListener(DWORD pid) {
        listening_ = this;
        hook_ = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, &OnEvent, pid, 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    ~LiveRegionListener() {
        if (hook_) UnhookWinEvent(hook_);
        listening_ = nullptr;
    }
    bool ok() const { return hook_ != nullptr; }
    size_t count() const { return events_.size(); }
    // The event's window and the object reached through it, now.
    Heard Take(size_t i) const {
        const Event& e = events_[i];
        Heard h{ClassName(e.hwnd), ClassName(GetAncestor(e.hwnd, GA_ROOT)), e.object, e.child, {}};
        IAccessible* reached = nullptr;
        VARIANT which;
        VariantInit(&which);
        if (SUCCEEDED(AccessibleObjectFromEvent(e.hwnd, e.object, e.child, &reached, &which)) &&
            reached) {
            h.described = Describe(reached, which);
            reached->Release();
        }
        VariantClear(&which);
        return h;
    }

private:
    struct Event {
        HWND hwnd;
        LONG object, child;
    };
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                                 DWORD) {
        if (listening_) listening_->events_.push_back({hwnd, object, child});
    }
    static inline LiveRegionListener* listening_ = nullptr;
    HWINEVENTHOOK hook_ = nullptr;
    std::vector<Event> events_;
};

class Accessibility : public QuilletE2E {
protected:
    // Two copies in a row: exactly one event each, in order, from the report box in the window
    // of class `shownIn`, whose object names the report and gives it as its value.
    void EachReportIsHeardOnce(const wchar_t* shownIn) {
        LiveRegionListener listener(quillet_->process().pid());
        ASSERT_TRUE(listener.ok());
        const std::wstring reports[] = {kWorkedReportNoSearch, kAbcReport};
        const std::wstring texts[] = {kWorked, kAbc};
        for (size_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << "copy " << i + 1);
            // The marker, as the fixture's counts use it: the program has settled once the box
            // shows it.
            ASSERT_TRUE(PutMarker());
            ASSERT_TRUE(Copy({UnicodeText(texts[i])}));
            // Events arrive in the order they were raised: once the second copy's is in, a
            // repeat of the first's would be too.
            ASSERT_TRUE(WaitUntil([&] { return listener.count() > i; })) << "no live-region event";
            ASSERT_EQ(listener.count(), i + 1);
            const Heard h = listener.Take(i);
            EXPECT_EQ(h.windowClass, L"Edit");
            EXPECT_EQ(h.parentClass, shownIn);
            EXPECT_EQ(h.object, OBJID_CLIENT);
            EXPECT_EQ(h.child, CHILDID_SELF);
            EXPECT_EQ(Printable(h.described.name), Printable(reports[i]));
            EXPECT_EQ(Printable(h.described.value), Printable(reports[i]));
        }
    }

    ComApartment com_;
};

TEST_F(Accessibility, EachReportInTheWindowIsHeardOnceByItsName) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    EachReportIsHeardOnce(QUILLET_MAIN_CLASS);
}

TEST_F(Accessibility, EachReportInThePopupIsHeardOnceByItsName) {
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(L"custom msg = 0\r\ntask tray = 1\r\ntime auto close = 30\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    EachReportIsHeardOnce(QUILLET_POPUP_CLASS);
}

TEST_F(Accessibility, EveryControlOfTheSettingsDialogHasAName) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
    const HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
    ASSERT_TRUE(dialog);
    // Captions name themselves; a field or a combo box is named by the label or frame beside it.
    const struct {
        int id;
        const wchar_t* name;
    } kNames[] = {
        {IDC_CHKTASKTRAY, L"タスクトレイ収納"},
        {IDC_CHKAUTOSTART, L"自動起動"},
        {IDC_FRSEARCH, L"指定文字検索"},
        {IDC_LBLSEARCHSTR, L"文字列"},
        {IDC_TXTSEARCHSTR, L"文字列"},
        {IDC_CHKFUZZY, L"あいまい検索"},
        {IDC_FRCUSTOM, L"表示項目のカスタマイズ"},
        {IDC_LSTCUSTOM, L"表示項目のカスタマイズ"},
        {IDC_CHKDISPMSG, L"開始終了MSG"},
        {IDC_FRLIMIT, L"字数制限"},
        {IDC_TXTCHARLIMIT, L"字数制限"},
        {IDC_LBLLIMIT, L"0で制限なし"},
        {IDC_FRPOS, L"ポップアップウィンドウ"},
        {IDC_LBLTIMEAUTOCLOSE, L"自動消去時間"},
        {IDC_CMBTIMEAUTOCLOSE, L"自動消去時間"},
        {IDC_LABEL1, L"表示位置"},
        {IDC_CMBDISPPOS, L"表示位置"},
        {IDC_CMDCLOSE0, L"再開"},
        {IDC_CMDCLOSE1, L"終了"},
    };
    auto nameOf = [](HWND hwnd) -> std::wstring {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                              __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object))) ||
            !object) {
            return L"(no object)";
        }
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        const std::wstring name = Describe(object, self).name;
        object->Release();
        return name;
    };
    for (const auto& n : kNames) {
        HWND control = GetDlgItem(dialog, n.id);
        SCOPED_TRACE(testing::Message() << "control " << n.id);
        ASSERT_TRUE(control);
        EXPECT_EQ(Printable(nameOf(control)), Printable(n.name));
        // The focus goes into a combo box's edit field: it answers alike.
        if (ClassName(control) == L"ComboBox") {
            HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr);
            ASSERT_TRUE(edit);
            EXPECT_EQ(Printable(nameOf(edit)), Printable(n.name));
        }
    }
    PostMessageW(GetDlgItem(dialog, IDC_CMDCLOSE0), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

}  // namespace
}  // namespace e2e
