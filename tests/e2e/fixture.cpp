#include "fixture.h"

namespace e2e {

namespace {
std::wstring& HandshakePath() {
    static std::wstring path;
    return path;
}
bool& TwoMonitorsFlag() {
    static bool set = false;
    return set;
}
}  // namespace

const std::wstring& HandshakeDir() {
    return HandshakePath();
}
void SetHandshakeDir(std::wstring path) {
    HandshakePath() = ToWindowsPath(std::move(path));
}
bool OnTwoMonitors() {
    return TwoMonitorsFlag();
}
void SetOnTwoMonitors() {
    TwoMonitorsFlag() = true;
}

void QuilletE2E::SetUp() {
    if (QuilletExe().empty()) GTEST_SKIP() << "no --quillet=PATH given";
    ASSERT_TRUE(CopyFileW(QuilletExe().c_str(), exe_.c_str(), FALSE))
        << "cannot copy " << Printable(QuilletExe());
    ASSERT_TRUE(app_.hwnd());
    ASSERT_TRUE(sync_.hwnd());
    sync_.Join();
}

void QuilletE2E::WriteConf(std::wstring_view text) {
    ASSERT_TRUE(WriteFileBytes(dir_.File(L"Conf.txt"), ToSjis(text)));
}

void QuilletE2E::Start() {
    ASSERT_TRUE(app_.Activate()) << "the driver's window cannot be brought to the front";
    quillet_.emplace(exe_);
    ASSERT_TRUE(quillet_->ok()) << quillet_->Failure();
    ASSERT_TRUE(quillet_->WaitWatching()) << "the main window never became the clipboard viewer";
}

testing::AssertionResult QuilletE2E::Copy(const std::vector<ClipFormat>& formats, HWND foreground) {
    if (!foreground) {
        if (!app_.Activate()) return testing::AssertionFailure() << "driver window not in front";
    } else if (!WaitUntil([&] {
                   SetForegroundWindow(foreground);
                   return GetForegroundWindow() == foreground;
               })) {
        return testing::AssertionFailure() << "cannot bring the window to the front";
    }
    const int before = sync_.notifications();
    if (!PutOnClipboard(app_.hwnd(), formats))
        return testing::AssertionFailure() << "cannot write the clipboard";
    if (!WaitUntil([&] { return sync_.notifications() > before; }))
        return testing::AssertionFailure()
               << "the viewer after the program was not notified of the change";
    return testing::AssertionSuccess();
}

testing::AssertionResult QuilletE2E::PutMarker() {
    HWND text = quillet_ ? quillet_->description() : nullptr;
    if (!text) return testing::AssertionFailure() << "no txtDescription";
    if (!SetWindowTextOf(text, kMarker) || Report() != kMarker)
        return testing::AssertionFailure() << "cannot put the marker into txtDescription";
    return testing::AssertionSuccess();
}

testing::AssertionResult QuilletE2E::CopiedInTheProgram() {
    if (auto marked = PutMarker(); !marked) return marked;
    HWND text = quillet_->description();
    const int before = sync_.notifications();
    SendMessageW(text, EM_SETSEL, 0, -1);
    SendMessageW(text, WM_COPY, 0, 0);
    if (!WaitUntil([&] { return sync_.notifications() > before; }))
        return testing::AssertionFailure() << "the copy in txtDescription was not passed on";
    if (ClipboardText(app_.hwnd()) != kMarker)
        return testing::AssertionFailure() << "txtDescription copied nothing";
    if (Report() != kMarker)
        return testing::AssertionFailure()
               << "the program counted its own copy: " << Printable(Report());
    return testing::AssertionSuccess();
}

std::wstring QuilletE2E::Report() const {
    if (!quillet_) return L"(not running)";
    return quillet_->Report().value_or(L"(no answer)");
}

testing::AssertionResult QuilletE2E::Counted(const std::vector<ClipFormat>& formats,
                                             const std::wstring& report) {
    if (auto marked = PutMarker(); !marked) return marked;
    if (auto copied = Copy(formats); !copied) return copied;
    const std::wstring shown = Report();
    if (shown == report) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "txtDescription shows " << Printable(shown)
                                       << "\n  instead of the report " << Printable(report);
}

testing::AssertionResult QuilletE2E::Ignored(const std::vector<ClipFormat>& formats,
                                             HWND foreground) {
    if (auto marked = PutMarker(); !marked) return marked;
    if (auto copied = Copy(formats, foreground); !copied) return copied;
    const std::wstring shown = Report();
    if (shown == kMarker) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "the change was counted: txtDescription shows " << Printable(shown);
}

HWND QuilletE2E::VisibleWindow(const wchar_t* cls) {
    if (!quillet_) return nullptr;
    for (HWND hwnd : TopLevelWindows(quillet_->process().pid(), cls)) {
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND QuilletE2E::WaitForWindow(const wchar_t* cls, Ms timeout) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = VisibleWindow(cls)) != nullptr; }, timeout);
    return found;
}

}  // namespace e2e
