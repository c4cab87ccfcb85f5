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

// A name or value an object gave (a failed call leaves it null), as printable text.
std::string Take(BSTR s) {
    const std::string text = s ? Printable({s, SysStringLen(s)}) : "(none)";
    SysFreeString(s);
    return text;
}

// Live-region events of one process, as the hook heard them while this thread pumped. The
// objects are asked once the callback has returned, as a screen reader does from its own queue.
struct Event {
    HWND hwnd;
    LONG object, child;
};
std::vector<Event>* g_heard = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (g_heard) g_heard->push_back({hwnd, object, child});
}

class Accessibility : public QuilletE2E {
protected:
    // Two copies in a row: exactly one event each, from the report box in the window of class
    // `shownIn`, whose object names the report and gives it as its value.
    void EachReportIsHeardOnce(const wchar_t* shownIn) {
        std::vector<Event> heard;
        g_heard = &heard;
        HWINEVENTHOOK hook =
            SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, &OnEvent,
                            quillet_->process().pid(), 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_TRUE(hook);
        const std::wstring texts[] = {kWorked, kAbc};
        const std::wstring reports[] = {kWorkedReportNoSearch, kAbcReport};
        for (size_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(testing::Message() << "copy " << i + 1);
            // The marker, as the fixture's counts use it: the program has settled once the box
            // shows it.
            ASSERT_TRUE(PutMarker());
            ASSERT_TRUE(Copy({UnicodeText(texts[i])}));
            // Events arrive in the order they were raised: once the second copy's is in, a
            // repeat of the first's would be too.
            ASSERT_TRUE(WaitUntil([&] { return heard.size() > i; })) << "no live-region event";
            ASSERT_EQ(heard.size(), i + 1);
            const Event& e = heard[i];
            EXPECT_EQ(ClassName(e.hwnd), L"Edit");
            EXPECT_EQ(ClassName(GetAncestor(e.hwnd, GA_ROOT)), shownIn);
            EXPECT_EQ(e.object, OBJID_CLIENT);
            EXPECT_EQ(e.child, CHILDID_SELF);
            IAccessible* reached = nullptr;
            VARIANT which;
            ASSERT_HRESULT_SUCCEEDED(
                AccessibleObjectFromEvent(e.hwnd, e.object, e.child, &reached, &which));
            BSTR name = nullptr, value = nullptr;
            reached->get_accName(which, &name);
            reached->get_accValue(which, &value);
            reached->Release();
            EXPECT_EQ(Take(name), Printable(reports[i]));
            EXPECT_EQ(Take(value), Printable(reports[i]));
        }
        UnhookWinEvent(hook);
        g_heard = nullptr;
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

// A caption names its control; a field, the list and a combo box (its edit field too, which
// takes the focus) are named by the label or frame beside them.
TEST_F(Accessibility, EveryControlOfTheSettingsDialogHasAName) {
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"custom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
    const HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
    ASSERT_TRUE(dialog);
    const std::pair<int, std::wstring> kFields[] = {{IDC_TXTSEARCHSTR, L"文字列"},
                                                    {IDC_LSTCUSTOM, L"表示項目のカスタマイズ"},
                                                    {IDC_TXTCHARLIMIT, L"字数制限"},
                                                    {IDC_CMBTIMEAUTOCLOSE, L"自動消去時間"},
                                                    {IDC_CMBDISPPOS, L"表示位置"}};
    auto nameOf = [](HWND hwnd) {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                              __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object)))) {
            return std::string("(no object)");
        }
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        object->get_accName(self, &name);
        object->Release();
        return Take(name);
    };
    int named = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(control);
        SCOPED_TRACE(testing::Message() << "control " << id);
        std::wstring expected = WindowText(control).value_or(L"");
        for (const auto& [field, label] : kFields) {
            if (field == id) expected = label, ++named;
        }
        EXPECT_NE(expected, L"");
        EXPECT_EQ(nameOf(control), Printable(expected));
        if (HWND edit = FindWindowExW(control, nullptr, L"Edit", nullptr)) {
            EXPECT_EQ(nameOf(edit), Printable(expected));
        }
    }
    EXPECT_EQ(named, 5);
    PostMessageW(GetDlgItem(dialog, IDC_CMDCLOSE0), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

}  // namespace
}  // namespace e2e
