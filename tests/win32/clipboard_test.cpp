// Reading CF_TEXT and CF_UNICODETEXT: unterminated, cut-off and very large blocks; a busy or
// empty real clipboard.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

    // Puts the formats' bytes as they are on the clipboard, or empties it.
    void Put(const std::vector<std::pair<UINT, std::string>>& formats) {
        // The system's clipboard manager may hold it for a while after a large text.
        for (int i = 0; i < 10 && !OpenClipboard(owner_.get()); ++i) Sleep(500);
        struct Closer {
            ~Closer() { CloseClipboard(); }
        } closer;
        EmptyClipboard();
        for (const auto& [format, bytes] : formats) {
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
            ASSERT_NE(block, nullptr);
            std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
            GlobalUnlock(block);
            EXPECT_NE(SetClipboardData(format, block), nullptr);
        }
    }
    // A NUL-terminated text as CF_TEXT, or nothing.
    void Put(const std::string* bytes) {
        if (!bytes) return Put(std::vector<std::pair<UINT, std::string>>{});
        Put({{CF_TEXT, std::string(bytes->c_str(), bytes->size() + 1)}});
    }
    void Put(const std::string& bytes) { Put(&bytes); }
    // A Unicode text as copied under the input language `locale`.
    void Put(std::u16string_view text, LCID locale) {
        std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        Put({{CF_UNICODETEXT, bytes.append(2, '\0')},
             {CF_LOCALE, std::string(reinterpret_cast<const char*>(&locale), sizeof locale)}});
    }
    // The CF_TEXT that the system makes of the clipboard's text, up to its NUL.
    std::string SystemAnsiText() {
        if (!OpenClipboard(owner_.get())) return "<busy>";
        std::string bytes = "<no CF_TEXT>";
        if (HGLOBAL block = GetClipboardData(CF_TEXT)) {
            bytes = static_cast<const char*>(GlobalLock(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return bytes;
    }

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

TEST_F(ClipboardTest, UnicodeTextIsReadWhateverTheLocaleOfTheCopy) {
    // Under an English keyboard the system makes CF_TEXT in code page 1252: 「猫」 would be "?".
    Put(u"猫の数 café", 0x409);
    EXPECT_EQ(ReadText(owner_.get()), u"猫の数 cafe");
}

// Every BMP code point, a sample beyond it and broken surrogates, converted by the program and by
// the system for a Japanese copy. Each piece stands between line feeds, which no Shift-JIS
// character contains, so one clipboard round compares thousands of them piece by piece.
TEST_F(ClipboardTest, ShiftJisConversionIsTheSystemsOwnForAJapaneseCopy) {
    std::vector<std::u16string> pieces;
    for (char32_t c = 1; c < 0x110000; c += c < 0x10000 ? 1 : 251) {
        if (c == u'\n' || (c >= 0xD800 && c <= 0xDFFF)) continue;
        if (c < 0x10000)
            pieces.emplace_back(1, static_cast<char16_t>(c));
        else
            pieces.push_back({char16_t(0xD7C0 + (c >> 10)), char16_t(0xDC00 | (c & 0x3FF))});
    }
    for (const char16_t* broken :
         {u"\xD800", u"\xDBFF", u"\xDC00", u"\xDFFF", u"\xDC00\xD800", u"\xD800\xD800\xDC00",
          u"a\xDFFF"
          u"z",
          u"\U00020BB7\xDC00"}) {
        pieces.emplace_back(broken);
    }
    std::size_t differences = 0;
    for (std::size_t first = 0; first < pieces.size(); first += 8192) {
        const std::size_t end = std::min(pieces.size(), first + 8192);
        std::u16string batch;
        for (std::size_t i = first; i < end; ++i) batch += pieces[i] + u'\n';
        Put(batch, 0x411);
        const std::string system = SystemAnsiText(), ours = text::ToSjisBestFit(batch);
        std::size_t s = 0, o = 0;
        for (std::size_t i = first; i < end; ++i) {
            const std::size_t sEnd = system.find('\n', s), oEnd = ours.find('\n', o);
            ASSERT_TRUE(sEnd != std::string::npos && oEnd != std::string::npos) << "piece " << i;
            if (system.compare(s, sEnd - s, ours, o, oEnd - o) != 0 && ++differences <= 20) {
                ADD_FAILURE() << "U+" << std::hex << int(pieces[i][0]) << " (" << pieces[i].size()
                              << " units): system " << system.substr(s, sEnd - s) << ", ours "
                              << ours.substr(o, oEnd - o);
            }
            s = sEnd + 1, o = oEnd + 1;
        }
    }
    std::printf("%zu pieces compared, %zu differences\n", pieces.size(), differences);
    EXPECT_EQ(differences, 0u);
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

TEST_F(ClipboardTest, AClipboardHeldForAMomentIsWaitedFor) {
    Put("busy");
    Holder holder;
    ASSERT_TRUE(holder.Held());
    std::thread letGo([&holder] {
        Sleep(60);
        holder.Release();
    });
    EXPECT_EQ(ReadText(owner_.get()), u"busy");
    letGo.join();
}

TEST_F(ClipboardTest, AClipboardHeldForLongIsGivenUpOn) {
    Put("busy");
    Holder holder;  // lets go only when the read has returned
    ASSERT_TRUE(holder.Held());
    EXPECT_EQ(ReadText(owner_.get()), std::nullopt);
    holder.Release();
}

}  // namespace
}  // namespace quillet::clip
