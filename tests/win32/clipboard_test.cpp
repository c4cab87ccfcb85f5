// Reading CF_TEXT and CF_UNICODETEXT: unterminated, cut-off and very large blocks; a busy or
// empty real clipboard.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "clipboard/clipboard.h"
#include "platform/unique_handle.h"
#include "text/text_win32.h"

namespace quillet::clip {
namespace {

// A block as a program might leave it on the clipboard: exactly these bytes, no NUL added.
class Block {
public:
    explicit Block(const std::string& bytes) : h_(GlobalAlloc(GMEM_MOVEABLE, bytes.size())) {
        std::memcpy(GlobalLock(h_), bytes.data(), bytes.size());
        GlobalUnlock(h_);
    }
    ~Block() { GlobalFree(h_); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    HGLOBAL get() const { return h_; }

private:
    HGLOBAL h_;
};

std::optional<std::u16string> FromBlock(const std::string& bytes) {
    Block block(bytes);
    // The system may round the block up; these tests need its size to be what was asked for.
    if (GlobalSize(block.get()) != bytes.size()) return u"<rounded block>";
    return TextFromBlock(block.get());
}

TEST(ClipboardBlock, TextEndsAtTheFirstNulOrTheEndOfTheBlock) {
    EXPECT_EQ(FromBlock("abc"), u"abc");  // no terminating NUL at all
    EXPECT_EQ(FromBlock(std::string("ab\0cd", 5)), u"ab");
    EXPECT_EQ(FromBlock(std::string("\0abc", 4)), u"");
}

TEST(ClipboardBlock, ShiftJisIsConvertedAndACutOffLeadByteDropped) {
    // 「あ」 0x82A0, half-width 「ｱ」 0xB1, 「表」 0x955C whose trail byte is a backslash.
    EXPECT_EQ(FromBlock("\x82\xA0\xB1\x95\x5C\r\n"), u"あｱ表\r\n");
    // The second 「あ」 lost its trail byte, with and without a NUL after it.
    EXPECT_EQ(FromBlock("\x82\xA0\x82"), u"あ");
    EXPECT_EQ(FromBlock(std::string("\x82\xA0\x82\0", 4)), u"あ");
}

TEST(ClipboardBlock, UnicodeTextEndsAtTheFirstNulOrTheLastWholeCodeUnit) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {std::string("a\0\x5D\x30", 4), u"aそ"},  // no NUL at all
        {std::string("a\0\0\0b\0", 6), u"a"},     // up to the first NUL
        {std::string("a\0b", 3), u"a"},           // half a code unit at the end
    };
    for (const Case& c : cases) {
        Block block(c.bytes);
        ASSERT_EQ(GlobalSize(block.get()), c.bytes.size()) << "the block was rounded";
        EXPECT_EQ(UnicodeTextFromBlock(block.get()), c.text);
    }
}

TEST(ClipboardBlock, ABlockOfTensOfMegabytesIsReadWhole) {
    constexpr std::size_t kChars = 15u << 20;  // 30 MiB of two-byte characters, no NUL
    std::string bytes;
    bytes.reserve(kChars * 2 + 1);
    for (std::size_t i = 0; i < kChars; ++i) bytes += "\x82\xA0";
    bytes += 'z';
    const std::optional<std::u16string> text = FromBlock(bytes);
    ASSERT_TRUE(text);
    ASSERT_EQ(text->size(), kChars + 1);  // compared by size: a failure must not print 15 M chars
    EXPECT_EQ(text->front(), u'あ');
    EXPECT_EQ(text->back(), u'z');
}

// A hidden window that owns what the tests put on the real clipboard.
class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr));
        ASSERT_TRUE(owner_);
    }

    // Puts a NUL-terminated text on the clipboard as CF_TEXT (or `format`, with the copy's
    // `locale` when given), or empties it.
    void Put(const std::string* bytes, UINT format = CF_TEXT, LCID locale = 0) {
        // The system's clipboard manager may hold it for a while after a large text.
        for (int i = 0; i < 10 && !OpenClipboard(owner_.get()); ++i) Sleep(500);
        struct Closer {
            ~Closer() { CloseClipboard(); }
        } closer;
        EmptyClipboard();
        if (!bytes) return;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes->size() + 2);
        ASSERT_NE(block, nullptr);
        std::memcpy(GlobalLock(block), bytes->data(), bytes->size());
        GlobalUnlock(block);
        EXPECT_NE(SetClipboardData(format, block), nullptr);
        if (!locale) return;
        HGLOBAL lcid = GlobalAlloc(GMEM_MOVEABLE, sizeof locale);
        *static_cast<LCID*>(GlobalLock(lcid)) = locale;
        GlobalUnlock(lcid);
        EXPECT_NE(SetClipboardData(CF_LOCALE, lcid), nullptr);
    }
    void Put(const std::string& bytes) { Put(&bytes); }

    UniqueWindow owner_;
};

// The text the watch gets from one look, or nothing.
std::optional<std::u16string> ReadText(HWND owner) {
    WatchedText read = ReadWatchedText(owner);
    if (read.status != ClipStatus::Text) return std::nullopt;
    return std::move(read.text);
}

TEST_F(ClipboardTest, TextIsReadFromTheClipboardInShiftJis) {
    Put("\x94\x4C\x82\xCC\x90\x94\r\n");  // 「猫の数」
    EXPECT_TRUE(HasText());
    EXPECT_EQ(ReadText(owner_.get()), u"猫の数\r\n");
}

// Every code point but NUL (beyond the BMP every 251st) and broken surrogates, converted by the
// program and by the system for a Japanese copy, thousands per clipboard round.
TEST_F(ClipboardTest, ShiftJisConversionIsTheSystemsOwnForAJapaneseCopy) {
    std::u16string all = u"\xD800x\xDC00y\xDFFF\xD800z\xD800\xD800\xDC00";
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 251) {
        if (c < 0xD800 || (c > 0xDFFF && c < 0x10000)) all += char16_t(c);
        if (c >= 0x10000) all += {char16_t(0xD7C0 + (c >> 10)), char16_t(0xDC00 | (c & 0x3FF))};
    }
    for (std::size_t at = 0; at < all.size(); at += 8192) {
        const std::u16string part = all.substr(at, 8192);  // a pair cut here is two broken ones
        const std::string unicode(reinterpret_cast<const char*>(part.data()), part.size() * 2);
        Put(&unicode, CF_UNICODETEXT, 0x411);
        ASSERT_TRUE(OpenClipboard(owner_.get()));
        HGLOBAL block = GetClipboardData(CF_TEXT);
        const std::string system = block ? static_cast<const char*>(GlobalLock(block)) : "";
        if (block) GlobalUnlock(block);
        CloseClipboard();
        const std::string ours = text::ToSjisBestFit(part);
        EXPECT_TRUE(system == ours) << "in the code units from " << at;
    }
}

TEST_F(ClipboardTest, NoTextMeansNothingToRead) {
    Put(nullptr);
    EXPECT_FALSE(HasText());
    EXPECT_EQ(ReadText(owner_.get()), std::nullopt);
}

TEST_F(ClipboardTest, ALargeTextArrivesWhole) {
    const std::string bytes(20u << 20, 'a');
    Put(bytes);
    const std::optional<std::u16string> text = ReadText(owner_.get());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), bytes.size());
}

// Another thread holds the clipboard open until told to let go (or for 10 s at most).
class Holder {
public:
    Holder()
        : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            for (int i = 0; i < 100 && !held_; ++i) {
                held_ = OpenClipboard(nullptr) != FALSE;
                if (!held_) Sleep(20);
            }
            SetEvent(opened_.get());
            if (!held_) return;
            WaitForSingleObject(release_.get(), 10000);
            CloseClipboard();
        });
        WaitForSingleObject(opened_.get(), 10000);
    }
    bool Held() const { return held_; }
    void Release() { SetEvent(release_.get()); }
    ~Holder() {
        Release();
        thread_.join();
    }

private:
    UniqueKernelHandle release_;
    UniqueKernelHandle opened_;
    bool held_ = false;
    std::thread thread_;
};

// A held clipboard is not waited for (the watch looks again later, on a timer), and is read as
// soon as it is free.
TEST_F(ClipboardTest, AHeldClipboardIsGivenUpOnAndReadOnceFree) {
    Put("busy");
    {
        Holder holder;  // lets go only when the read has returned
        ASSERT_TRUE(holder.Held());
        EXPECT_EQ(ReadText(owner_.get()), std::nullopt);
    }
    EXPECT_EQ(ReadText(owner_.get()), u"busy");
}

}  // namespace
}  // namespace quillet::clip
