// Every window at 96, 120, 144 and 192 dpi: its rectangles against the rule (twips × dpi ÷ 1440,
// design pixels × dpi ÷ 96) and every control's text against the room its control gives it.
//
// Wine has one DPI for all monitors, read from LogPixels by each process as it starts: the
// driver sets it before it starts the program. Wine cannot hand a font to another process
// (WM_GETFONT answers 0 across processes), so the text is measured here in the font each control
// is made with: its face at its point size at that DPI, which Wine maps to the same installed
// font as the program's. That the program's fonts really have that size is checked through the
// report boxes' line height.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fixture.h"
#include "resource.h"

namespace e2e {
namespace {

// The program's two faces and its sizes, in hundredths of a point.
constexpr wchar_t kGothic[] = L"ＭＳ ゴシック";
constexpr wchar_t kPGothic[] = L"ＭＳ Ｐゴシック";
constexpr int kTextSize = 975;
constexpr int kNoticeSize = 1575;

int Twips(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440));
}
int Design(double pixels, int dpi) {
    return static_cast<int>(std::lround(pixels * dpi / 96));
}

class Font {
public:
    Font(const wchar_t* face, int size, int dpi)
        : font_(CreateFontW(-MulDiv(size, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, face)) {}
    // Width of the widest of the CR LF-separated lines and the height of all of them.
    SIZE Measure(const std::wstring& text) const {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font_.get());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SIZE total{0, 0};
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find(L"\r\n", start);
            if (end == std::wstring::npos) end = text.size();
            SIZE line{};
            GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(end - start), &line);
            total.cx = std::max(total.cx, line.cx);
            total.cy += metrics.tmHeight;
            start = end + 2;
        }
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return total;
    }

private:
    quillet::UniqueGdi<HFONT> font_;
};

void PrintRect(int dpi, const char* name, const RECT& r) {
    std::printf("  %3d dpi %-22s rect %5ld %5ld  size %4ld x %4ld\n", dpi, name, r.left, r.top,
                r.right - r.left, r.bottom - r.top);
}

RECT Client(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}
RECT InClient(HWND parent, HWND control) {
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
std::wstring Text(HWND hwnd) {
    return WindowText(hwnd).value_or(L"");
}

// The distance between the first two lines of a multi-line edit control: its font's height.
int LineHeight(HWND edit) {
    const LRESULT second = SendMessageW(edit, EM_LINEINDEX, 1, 0);
    if (second < 0) return 0;
    return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, second, 0))) -
           static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)));
}

class DpiTable : public QuilletE2E, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        QuilletE2E::SetUp();
        SetLogPixels(dpi_);
    }
    void TearDown() override { SetLogPixels(96); }
    static void SetLogPixels(int dpi) {
        const DWORD value = static_cast<DWORD>(dpi);
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD,
                        &value, sizeof value);
    }

    // Records the room `control` leaves its text: fails when the text does not fit.
    void Fits(const char* name, const std::wstring& text, const Font& font, int roomWidth,
              int roomHeight) {
        const SIZE needed = font.Measure(text);
        std::printf("  %3d dpi %-22s text %4ld x %3ld  room %4d x %3d\n", dpi_, name, needed.cx,
                    needed.cy, roomWidth, roomHeight);
        EXPECT_LE(needed.cx, roomWidth) << name << " at " << dpi_ << " dpi: " << Printable(text);
        EXPECT_LE(needed.cy, roomHeight) << name << " at " << dpi_ << " dpi: " << Printable(text);
    }

    void Restart(const std::wstring& conf) {
        if (quillet_) {
            ASSERT_TRUE(quillet_->Close());
        }
        quillet_.reset();
        ASSERT_NO_FATAL_FAILURE(WriteConf(conf));
        ASSERT_NO_FATAL_FAILURE(Start());
    }

    void CheckDialog(HWND dialog);
    // `figureLine`: the report has its fourth line, and the body one line more.
    void CheckPopup(HWND popup, bool atPointer, POINT pointer, bool figureLine = false);

    const int dpi_ = GetParam();
    const RECT work_ = [] {
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        return r;
    }();
    const Font caption_{kPGothic, kTextSize, dpi_};
    const Font field_{kGothic, kTextSize, dpi_};
};

struct ControlTwips {
    int id;
    const char* name;
    int left, top, width, height;  // twips in the client area, containers' offsets added up
    enum Kind { Label, Box, Frame, List, Combo, Field } kind;
};

void DpiTable::CheckDialog(HWND dialog) {
    const ControlTwips controls[] = {
        {IDC_CHKTASKTRAY, "chkTaskTray", 120, 68, 1665, 225, ControlTwips::Box},
        {IDC_CHKAUTOSTART, "chkAutoStart", 1965, 60, 1110, 240, ControlTwips::Box},
        {IDC_FRSEARCH, "frSearch", 270 + 60, 390 + 60, 2745, 915, ControlTwips::Frame},
        {IDC_LBLSEARCHSTR, "lblSearchStr", 330 + 510, 450 + 300, 705, 225, ControlTwips::Label},
        {IDC_TXTSEARCHSTR, "txtSearchStr", 330 + 1260, 450 + 270, 1275, 270, ControlTwips::Field},
        {IDC_CHKFUZZY, "chkFuzzy", 330 + 1080, 450 + 578, 1455, 225, ControlTwips::Box},
        {IDC_FRCUSTOM, "frCustom", 270 + 60, 390 + 1050, 2745, 1935, ControlTwips::Frame},
        {IDC_LSTCUSTOM, "lstCustom", 330 + 180, 1440 + 240, 2355, 1410, ControlTwips::List},
        {IDC_CHKDISPMSG, "chkDispMsg", 330 + 1020, 1440 + 1658, 1515, 225, ControlTwips::Box},
        {IDC_FRLIMIT, "frLimit", 3195, 1440, 1380, 1035, ControlTwips::Frame},
        {IDC_TXTCHARLIMIT, "txtCharLimit", 3195 + 180, 1440 + 270, 900, 270, ControlTwips::Field},
        {IDC_LBLLIMIT, "lblLimit", 3195 + 180, 1440 + 630, 1140, 225, ControlTwips::Label},
        {IDC_FRPOS, "frPos", 330, 3570, 2745, 1035, ControlTwips::Frame},
        {IDC_LBLTIMEAUTOCLOSE, "lblTimeAutoClose", 330 + 120, 3570 + 300, 1245, 225,
         ControlTwips::Label},
        {IDC_CMBTIMEAUTOCLOSE, "cmbTimeAutoClose", 330 + 1380, 3570 + 240, 1185, 315,
         ControlTwips::Combo},
        {IDC_LABEL1, "Label1", 330 + 240, 3570 + 630, 1125, 225, ControlTwips::Label},
        {IDC_CMBDISPPOS, "cmbDispPos", 330 + 1380, 3570 + 570, 1185, 315, ControlTwips::Combo},
    };
    // Widened by 字数制限 and its gap; everything else where it was.
    EXPECT_EQ(Client(dialog).right, Twips(3195 + 1380 + 240, dpi_));
    for (const ControlTwips& c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        const RECT r = InClient(dialog, control);
        EXPECT_EQ(r.left, Twips(c.left, dpi_)) << c.name;
        EXPECT_EQ(r.top, Twips(c.top, dpi_)) << c.name;
        EXPECT_EQ(r.right - r.left, Twips(c.width, dpi_)) << c.name;
        EXPECT_EQ(r.bottom - r.top, Twips(c.height, dpi_)) << c.name;
        const int width = r.right - r.left, height = r.bottom - r.top;
        switch (c.kind) {
            case ControlTwips::Label:
                Fits(c.name, Text(control), caption_, width, height);
                break;
            case ControlTwips::Box:
                // The tick box and the gap beside it take 16 design pixels of the width.
                Fits(c.name, Text(control), caption_, width - Design(16, dpi_), height);
                break;
            case ControlTwips::Frame:
                // The title sits on the frame's top edge, inset by about a character each side.
                Fits(c.name, Text(control), caption_, width - Design(16, dpi_), height);
                break;
            case ControlTwips::Combo: {
                // The text beside the drop-down button, within the edit field's margins.
                const int room =
                    width - GetSystemMetrics(SM_CXVSCROLL) * dpi_ / 96 - Design(6, dpi_);
                const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
                for (LRESULT i = 0; i < count; ++i) {
                    wchar_t item[64] = {};
                    SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                    Fits(c.name, item, field_, room, height);
                }
                break;
            }
            case ControlTwips::List: {
                // Beside each item's tick box (16 design pixels and a gap), left of the bar.
                const int room =
                    width - GetSystemMetrics(SM_CXVSCROLL) * dpi_ / 96 - Design(24, dpi_);
                const LRESULT count = SendMessageW(control, LVM_GETITEMCOUNT, 0, 0);
                EXPECT_EQ(count, 10);
                const int rowHeight =
                    HIWORD(SendMessageW(control, LVM_APPROXIMATEVIEWRECT, 2, MAKELPARAM(-1, -1))) -
                    HIWORD(SendMessageW(control, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
                for (const wchar_t* item :
                     {L"字数", L"改行", L"Byte数", L"全角", L"半角", L"スペース", L"タブ",
                      L"原稿用紙", L"UTF-8バイト数", L"X(旧Twitter)"}) {
                    Fits(c.name, item, field_, room, rowHeight);
                }
                break;
            }
            case ControlTwips::Field:
                // The limit field: its six digits inside the sunken edge and the margins.
                if (c.id == IDC_TXTCHARLIMIT) {
                    Fits(c.name, L"999999", field_, width - Design(8, dpi_), height);
                }
                break;
        }
    }
    // The buttons end 15 design pixels above the client area's bottom; their captions fit.
    for (int id : {IDC_CMDCLOSE0, IDC_CMDCLOSE1}) {
        HWND button = GetDlgItem(dialog, id);
        if (!IsWindowVisible(button)) continue;
        const RECT r = InClient(dialog, button);
        EXPECT_NEAR(Client(dialog).bottom - r.bottom, Design(15, dpi_), 1);
        EXPECT_EQ(r.bottom - r.top, Twips(300, dpi_));
        Fits(id == IDC_CMDCLOSE0 ? "cmdClose(0)" : "cmdClose(1)", Text(button), caption_,
             r.right - r.left - Design(8, dpi_), r.bottom - r.top);
    }
}

void DpiTable::CheckPopup(HWND popup, bool atPointer, POINT pointer, bool figureLine) {
    HWND text = GetDlgItem(popup, IDC_TXTDESCRIPTION);
    const int figureRoom = figureLine ? LineHeight(text) : 0;
    const RECT r = WindowRect(popup);
    PrintRect(dpi_, atPointer ? "popup at the pointer" : "popup in the corner", r);
    EXPECT_EQ(r.bottom - r.top, Design(atPointer ? 80 : 60, dpi_) + figureRoom);
    EXPECT_GE(r.right - r.left, Design(230, dpi_));
    if (atPointer) {
        // The worked example opens above and to the left of the pointer.
        EXPECT_EQ(r.right, pointer.x);
        EXPECT_EQ(r.bottom, pointer.y);
    } else {
        EXPECT_EQ(r.right, work_.right - Design(20, dpi_));
        EXPECT_EQ(r.bottom, work_.bottom - Design(20, dpi_));
    }
    HWND column = GetDlgItem(popup, IDC_POPUP_FR);
    const Font report{kGothic, kTextSize, dpi_};
    EXPECT_NEAR(LineHeight(text), report.Measure(L"字").cy, 1) << "the report's font at the DPI";
    // The lines run beside the icon column, which covers the text box's top-right corner.
    const int room = (WindowRect(text).right - WindowRect(text).left) -
                     (WindowRect(column).right - WindowRect(column).left);
    Fits(atPointer ? "popup at the pointer" : "popup in the corner", Text(text), report, room,
         Design(60, dpi_) + figureRoom - Design(7.5, dpi_));
    // The icon at its column's width, and the column's controls inside the popup.
    const RECT icon = WindowRect(GetDlgItem(column, IDC_POPUP_IMG));
    EXPECT_EQ(icon.right - icon.left, Twips(285, dpi_));
}

TEST_P(DpiTable, EveryWindowFollowsTheRuleAndEveryTextFits) {
    std::printf("--- %d dpi\n", dpi_);
    // The main window: its place in twips at the system DPI, its text at the DPI.
    ASSERT_NO_FATAL_FAILURE(
        WriteConf(L"form left = 1500\r\nform top = 1500\r\nform width = 4000\r\n"
                  L"form height = 1500\r\ncustom msg = 0\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start());
    const RECT main = WindowRect(quillet_->main());
    PrintRect(dpi_, "main window", main);
    EXPECT_EQ(main.left, Twips(1500, dpi_));
    EXPECT_EQ(main.top, Twips(1500, dpi_));
    EXPECT_EQ(main.right - main.left, Twips(4000, dpi_)) << "267, 333, 400, 533";
    EXPECT_EQ(main.bottom - main.top, Twips(1500, dpi_));
    ASSERT_TRUE(Counted({UnicodeText(kAbc)}, kAbcReport));
    const Font report{kGothic, kTextSize, dpi_};
    EXPECT_NEAR(LineHeight(quillet_->description()), report.Measure(L"字").cy, 1);
    const RECT box = Client(quillet_->description());
    Fits("main window's report", Report(), report, box.right, box.bottom);

    // The settings dialog at both heights, every control in place and every text in it.
    PostMessageW(quillet_->main(), WM_COMMAND, MAKEWPARAM(IDM_DISP, 0), 0);
    HWND dialog = WaitForWindow(QUILLET_SETTING_CLASS);
    ASSERT_TRUE(dialog);
    RECT frame = WindowRect(dialog);
    PrintRect(dpi_, "dialog", frame);
    EXPECT_EQ(frame.bottom - frame.top, Twips(4440, dpi_));
    EXPECT_NEAR((frame.left + frame.right) / 2.0, (work_.left + work_.right) / 2.0, 1);
    CheckDialog(dialog);
    SendMessageW(GetDlgItem(dialog, IDC_CHKTASKTRAY), BM_CLICK, 0, 0);
    frame = WindowRect(dialog);
    PrintRect(dpi_, "dialog, tray box ticked", frame);
    EXPECT_EQ(frame.bottom - frame.top, Twips(5700, dpi_));
    CheckDialog(dialog);
    PostMessageW(GetDlgItem(dialog, IDC_CMDCLOSE0), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(quillet_->WaitWatching());

    // Tray mode now: the popup in its corner, then at the pointer with the help note.
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    HWND popup = WaitForWindow(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup);
    CheckPopup(popup, false, {});

    // At the pointer with every figure and a limit: four lines, the body one line taller, and
    // the help note with their lines.
    ASSERT_NO_FATAL_FAILURE(
        Restart(L"task tray = 1\r\ncustom msg = 0\r\ntime auto close = 30\r\n"
                L"disp pos = ポインタ\r\ncustom item ex = 111\r\nchar limit = 20\r\n"));
    // Three quarters across: room on the left for the widest of these popups (326 design pixels).
    const POINT pointer{work_.left + (work_.right - work_.left) * 3 / 4,
                        (work_.top + work_.bottom) / 2};
    SetCursorPos(pointer.x, pointer.y);
    ASSERT_TRUE(Copy({UnicodeText(kWorked)}));
    popup = WaitForWindow(QUILLET_POPUP_CLASS);
    ASSERT_TRUE(popup);
    EXPECT_EQ(
        Text(GetDlgItem(popup, IDC_TXTDESCRIPTION)),
        std::wstring(kWorkedReportNoSearch) + L"\r\n原稿:2行(1枚) UTF8:30byte X:24/280 残り:3");
    CheckPopup(popup, true, pointer, true);
    // The help note over the popup's icon.
    HWND icon = GetDlgItem(GetDlgItem(popup, IDC_POPUP_FR), IDC_POPUP_IMG);
    const RECT iconRect = WindowRect(icon);
    const POINT onIcon{(iconRect.left + iconRect.right) / 2, (iconRect.top + iconRect.bottom) / 2};
    HWND note = nullptr;
    for (int round = 0; round < 5 && !note; ++round) {
        SetCursorPos(onIcon.x, onIcon.y + 1);
        SetCursorPos(onIcon.x, onIcon.y);
        note = WaitForWindow(QUILLET_HELP_CLASS, Ms(1000));
    }
    ASSERT_TRUE(note) << "no help note over the icon";
    const RECT noteRect = WindowRect(note);
    PrintRect(dpi_, "help note", noteRect);
    EXPECT_EQ(noteRect.right - noteRect.left, Design(315, dpi_));
    EXPECT_GE(noteRect.bottom - noteRect.top, Design(150, dpi_));
    HWND label = GetDlgItem(note, IDC_HELP_LBLHELP);
    const RECT labelRect = Client(label);
    Fits("help note", Text(label), report, labelRect.right, labelRect.bottom);

    // The notice at a tray start: 4680 twips wide, three lines 1790 high, centred.
    ASSERT_TRUE(quillet_->Close());
    ASSERT_NO_FATAL_FAILURE(WriteConf(L"task tray = 1\r\ncustom msg = 1\r\n"));
    quillet_.emplace(exe_);  // not waiting for the watch: it starts once the notice has gone
    ASSERT_TRUE(quillet_->ok()) << quillet_->Failure();
    HWND notice = WaitForWindow(QUILLET_SPLASH_CLASS);
    ASSERT_TRUE(notice);
    const RECT n = WindowRect(notice);
    PrintRect(dpi_, "notice", n);
    EXPECT_EQ(n.right - n.left, Twips(4680, dpi_));
    EXPECT_EQ(n.bottom - n.top, Twips(1790, dpi_));
    EXPECT_NEAR((n.left + n.right) / 2.0, (work_.left + work_.right) / 2.0, 1);
    const Font noticeFont{kPGothic, kNoticeSize, dpi_};
    HWND message = GetDlgItem(notice, IDC_SPLASH_LBLMSG);
    Fits("notice", Text(message), noticeFont, Client(notice).right - Twips(90, dpi_),
         Client(notice).bottom - Twips(90, dpi_));
    EXPECT_TRUE(WaitUntil([&] { return !VisibleWindow(QUILLET_SPLASH_CLASS); }));
}

INSTANTIATE_TEST_SUITE_P(Dpi, DpiTable, testing::Values(96, 120, 144, 192),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "dpi";
                         });

}  // namespace
}  // namespace e2e
