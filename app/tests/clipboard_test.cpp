// The copy commands of the main window, driven by real clicks and posted menu
// commands, with the clipboard read back through the clipboard API; and the
// copy settings dialog behind the hidden button.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/core/clipboard_expected_rows.h"

#include "library/game_log.h"
#include "app/tests/main_window_fixture.h"
#include "win32/handles_win32.h"

namespace kibolt {
namespace {

using test::ClipboardBytes;
using test::ClipboardUnicode;
using test::Do;
using test::kAllHeaders;
using test::kRow1;
using test::kRow1All;
using test::kRow2All;
using test::kRow3;
using test::kRow3All;
using test::ModalScript;
using test::OpenClipboardSoon;
using test::WaitForDialogOwnedBy;

// ---- A second program reading the clipboard ---------------------------------
// This test executable, started again with kReaderSwitch, writes the
// CF_UNICODETEXT it finds on the clipboard to the file named after the switch
// and ends before any test runs. Exit code 0: written; 2: no such format; 3:
// clipboard not opened; 4: file not written.
constexpr std::wstring_view kReaderSwitch = L"--kibolt-read-unicode-clipboard=";

int ReadUnicodeClipboardInto(const std::wstring& path) {
    bool open = false;
    for (ULONGLONG deadline = GetTickCount64() + 5000; !(open = OpenClipboard(nullptr)) && GetTickCount64() < deadline;)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);  // another program holds it briefly
    if (!open) return 3;
    std::wstring text;
    bool found = false;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(block))) {
            text.assign(wide, wcsnlen(wide, GlobalSize(block) / sizeof(wchar_t)));
            found = true;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    if (!found) return 2;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!file || !WriteFile(file.Get(), text.data(), size, &written, nullptr) || written != size) return 4;
    return 0;
}

[[maybe_unused]] const bool kRanAsReader = [] {
    std::wstring_view line = GetCommandLineW();
    size_t at = line.find(kReaderSwitch);
    if (at == std::wstring_view::npos) return false;
    std::wstring path(line.substr(at + kReaderSwitch.size()));
    while (!path.empty() && (path.back() == L'"' || path.back() == L' ')) path.pop_back();
    ExitProcess(static_cast<UINT>(ReadUnicodeClipboardInto(path)));
}();

// Starts the reader and returns what it read; nullopt (with a failure) when it did not.
std::optional<std::wstring> UnicodeTextSeenByAnotherProgram(const TempLibrary& library) {
    const std::string out = library.Path("unicode-read.bin");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" \"" + std::wstring(kReaderSwitch) + Widen(out) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "reader not started: " << GetLastError();
        return std::nullopt;
    }
    UniqueHandle processHandle(process.hProcess), thread(process.hThread);
    // Keep serving our own windows meanwhile: the clipboard's owner is one of them.
    if (!PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 30000)) {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "reader did not end";
        return std::nullopt;
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (code != 0) {
        ADD_FAILURE() << "reader ended with " << code;
        return std::nullopt;
    }
    const std::string bytes = library.ReadFile("unicode-read.bin");
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    return text;
}

// ---- Clipboard access from the test -----------------------------------------

std::optional<LCID> ClipboardLocale() {
    if (!OpenClipboardSoon()) return std::nullopt;
    std::optional<LCID> result;
    if (HANDLE block = GetClipboardData(CF_LOCALE)) {
        if (const auto* locale = static_cast<const LCID*>(GlobalLock(block))) {
            if (GlobalSize(block) >= sizeof(LCID)) result = *locale;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

// Puts a text of the test's own on the clipboard, to see whether a copy replaces it.
void PutSentinel(const std::string& text) {
    ASSERT_TRUE(OpenClipboardSoon());
    EmptyClipboard();
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    ASSERT_TRUE(block);
    std::memcpy(GlobalLock(block.Get()), text.c_str(), text.size() + 1);
    GlobalUnlock(block.Get());
    if (SetClipboardData(CF_TEXT, block.Get())) block.Release();
    CloseClipboard();
}

// ---- The game copied in every test ------------------------------------------
// Three sessions: an empty comment, a one-byte comment (counts as none) and a
// one-character comment; the game's comment holds a CR LF from the edit field
// and half-width katakana.
GameLogContent SampleLog() {
    GameLogContent log;
    log.commandLine = "C:\\G\\sample.exe";
    log.comment = "ﾙｰﾄA\r\nクリア";
    const std::array<std::string, kSessionFieldCount> sessions[] = {
        {"05/12/01-20:15:30", "05/12/01-21:00:00", "000:44:30", "000:44:30", "000:40:00", "000:40:00", "120", "120",
         ""},
        {"05/12/02-19:00:00", "05/12/02-19:30:00", "000:30:00", "001:14:30", "000:25:00", "001:05:00", "80", "200",
         "x"},
        {"05/12/03-18:00:00", "05/12/03-18:10:00", "000:10:00", "001:24:30", "000:05:00", "001:10:00", "15", "215",
         "良"},
    };
    for (const auto& fields : sessions) AppendSession(log, fields);
    return log;
}

const std::string kGameComment = "ﾙｰﾄA\r\nクリア";

enum class Trigger { CopyButton, CopyAllCommand, CopySelectedCommand };

class ClipboardTest : public MainWindowTest {
protected:
    void OpenWithSample(const std::string& ini = "", int sessions = 3) {
        if (!ini.empty()) library_.WriteFile("kibolt.ini", ini);
        GameLogContent log = SampleLog();
        log.sessions.resize(static_cast<size_t>(sessions));
        library_.WriteFile("playing\\Sample.log", SerializeGameLog(log));
        Open();
        ASSERT_EQ(RowIndexOf("Sample"), 0);
        HWND list = Item(IDC_GAME_LIST);
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
        ClickAt(list, {rect.left + 4, (rect.top + rect.bottom) / 2});
        ASSERT_TRUE(PumpUntil([&] { return dialog_->State()->Current().title == "Sample"; }, 3000, window_));
    }
    void ClickControl(int id) {
        RECT rect{};
        GetClientRect(Item(id), &rect);
        ClickAt(Item(id), {std::min<LONG>(4, rect.right / 2), rect.bottom / 2});
    }
    void ClickCheckBox(int id) {
        const bool before = Checked(id);
        ClickControl(id);
        ASSERT_TRUE(PumpUntil([&] { return Checked(id) != before; }, 3000, window_)) << id;
    }
    // Selects table rows with real clicks (Ctrl held for the later ones).
    void ClickRows(const std::vector<int>& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            RECT rect{};
            rect.left = LVIR_BOUNDS;
            SendMessageW(Table(), LVM_GETITEMRECT, rows[i], reinterpret_cast<LPARAM>(&rect));
            if (i > 0) test::KeyDown(VK_CONTROL);
            ClickAt(Table(), {rect.left + 8, (rect.top + rect.bottom) / 2});
            if (i > 0) test::KeyUp(VK_CONTROL);
            const auto selected = [&] {
                return SendMessageW(Table(), LVM_GETITEMSTATE, rows[i], LVIS_SELECTED) & LVIS_SELECTED;
            };
            ASSERT_TRUE(PumpUntil(selected, 3000, window_)) << "row " << rows[i];
        }
    }
    void Run(Trigger trigger) {
        switch (trigger) {
        case Trigger::CopyButton: ClickControl(IDC_COPY); break;
        case Trigger::CopyAllCommand: PostMessageW(window_, WM_COMMAND, IDM_COPY_ALL, 0); break;
        case Trigger::CopySelectedCommand: PostMessageW(window_, WM_COMMAND, IDM_COPY_SELECTED, 0); break;
        }
    }
    // Runs a copy and waits until it has put something on the clipboard.
    void CopyWith(Trigger trigger) {
        const DWORD before = GetClipboardSequenceNumber();
        Run(trigger);
        ASSERT_TRUE(PumpUntil([&] { return GetClipboardSequenceNumber() != before; }, 5000, window_))
            << "nothing was put on the clipboard";
    }
};

// ---- Copy commands: exact bytes ---------------------------------------------

struct CopyCase {
    const char* name;
    std::string ini;                // settings file; empty: none
    std::vector<int> clicks;        // check boxes clicked after start-up
    std::vector<int> selectedRows;  // clicked in this order
    Trigger trigger;
    std::string expected;
};

class CopyCommandTest : public ClipboardTest, public testing::WithParamInterface<CopyCase> {};

TEST_P(CopyCommandTest, PutsTheExactTextOnTheClipboard) {
    const CopyCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenWithSample(c.ini));
    for (int id : c.clicks) {
        ASSERT_NO_FATAL_FAILURE(ClickCheckBox(id));
    }
    if (!c.selectedRows.empty()) {
        ASSERT_NO_FATAL_FAILURE(ClickRows(c.selectedRows));
    }
    // Typed but not yet stored: the comment held in memory is the one copied.
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed, not stored");
    PutSentinel("before");
    ASSERT_NO_FATAL_FAILURE(CopyWith(c.trigger));
    EXPECT_EQ(ClipboardBytes(CF_TEXT), c.expected);
}

std::string PrintCase(const testing::TestParamInfo<CopyCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Export, CopyCommandTest,
    testing::Values(
        // Defaults: the three disabled boxes off, all others on.
        CopyCase{"DefaultsCopyTheCommentedSessionsAndTheGameComment",
                 "",
                 {},
                 {},
                 Trigger::CopyButton,
                 kAllHeaders + kRow3 + "\r\n" + kGameComment},
        CopyCase{"CommentFilterClickedOffCopiesEverySessionWithTheOtherLabel",
                 "",
                 {IDC_COPY_ONLY_COMMENTED},
                 {},
                 Trigger::CopyAllCommand,
                 kAllHeaders + kRow1All + "\r\n" + kRow2All + "\r\n" + kRow3All + "\r\n" + kGameComment},
        CopyCase{"HeaderAndPieceBoxesClickedOffAreLeftOut",
                 "",
                 {IDC_COPY_HEADER_TOTAL_PLAY, IDC_COPY_HEADER_TOTAL_INPUTS, IDC_COPY_START, IDC_COPY_TOTAL_PLAY,
                  IDC_COPY_TOTAL_ACTIVE, IDC_COPY_COMMENT},
                 {},
                 Trigger::CopyButton,
                 "Sample\r\nプレイ回数3\r\nアクティブなプレイ時間001:10:00\r\n"
                 "終了05/12/03-18:10:00プレイ000:10:00アクティブなプレイ000:05:00キー15累計キー215\r\n"},
        CopyCase{"BoxesClickedOnAddTheirPieces",
                 "[copy]\r\nflag=0\r\n",
                 {IDC_COPY_HEADER_COUNT, IDC_COPY_INPUTS},
                 {},
                 Trigger::CopyAllCommand,
                 "Sample\r\nプレイ回数3\r\nキー120\r\nキー80\r\nキー15\r\n"},
        CopyCase{"NoCopyBitsGiveTheTitleAndEmptyLines",
                 "[copy]\r\nflag=0\r\n",
                 {},
                 {},
                 Trigger::CopyButton,
                 "Sample\r\n\r\n\r\n\r\n"},
        CopyCase{"WithoutViewBits8To16RowsRunTogether",
                 "[view]\r\nflag=255\r\n[copy]\r\nflag=32768\r\n",
                 {},
                 {},
                 Trigger::CopyAllCommand,
                 "Sample\r\nキー120キー80キー15"},
        CopyCase{"SelectedRowsAscendingWithoutTitleHeadersOrGameComment",
                 "",
                 {},
                 {2, 0},
                 Trigger::CopySelectedCommand,
                 kRow1 + "\r\n" + kRow3 + "\r\n"},
        CopyCase{"SelectedRowsIgnoreTheCommentFilterAndFollowTheBoxes",
                 "",
                 {IDC_COPY_START, IDC_COPY_END},
                 {1},
                 Trigger::CopySelectedCommand,
                 "プレイ000:30:00累計001:14:30アクティブなプレイ000:25:00アクティブな累計001:05:00キー80累計キー200"
                 "コメントx\r\n"},
        CopyCase{"NoSelectedRowGivesAnEmptyText", "", {}, {}, Trigger::CopySelectedCommand, ""}),
    PrintCase);

TEST_F(ClipboardTest, HeaderValuesAreTheDetailFieldsWholeTextAtThatMoment) {
    ASSERT_NO_FATAL_FAILURE(OpenWithSample("[copy]\r\nflag=54\r\n"));  // bits 1, 2, 4 and 5: the header lines only
    // Longer than the 127 bytes of a fixed buffer, with double-byte characters across that limit.
    const std::string longTotal = std::string(120, '9') + "時間を超える合計";
    SetWindowTextCp932(Item(IDC_DETAIL_TOTAL_PLAY), longTotal);
    SetWindowTextCp932(Item(IDC_DETAIL_TOTAL_ACTIVE), "アクティブ");
    SetWindowTextCp932(Item(IDC_DETAIL_TOTAL_INPUTS), "");
    ASSERT_NO_FATAL_FAILURE(CopyWith(Trigger::CopyButton));
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "Sample\r\nプレイ回数3\r\nプレイ時間" + longTotal +
                                           "\r\nアクティブなプレイ時間アクティブ\r\nクリック数\r\n\r\n\r\n\r\n");
}

TEST_F(ClipboardTest, AGameWithoutSessionsLeavesTheClipboardAsItWas) {
    ASSERT_NO_FATAL_FAILURE(OpenWithSample("", 0));
    PutSentinel("kept");
    const DWORD sentinel = GetClipboardSequenceNumber();
    ClickControl(IDC_COPY);
    SendMessageW(window_, WM_COMMAND, IDM_COPY_ALL, 0);  // returns once handled
    EXPECT_EQ(GetClipboardSequenceNumber(), sentinel);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "kept");

    // Copying the selected rows still puts its (empty) text there.
    ASSERT_NO_FATAL_FAILURE(CopyWith(Trigger::CopySelectedCommand));
    EXPECT_EQ(ClipboardBytes(CF_TEXT), "");
}

// ---- Readers of the Unicode form --------------------------------------------

TEST_F(ClipboardTest, ReadersOfUnicodeTextSeeTheJapaneseTextOnAnySystemCodePage) {
    // Bits 2, 7, 12 and 14: count, filter, active play time and comments.
    ASSERT_NO_FATAL_FAILURE(OpenWithSample("[copy]\r\nflag=20612\r\n"));
    ASSERT_NO_FATAL_FAILURE(CopyWith(Trigger::CopyButton));
    const std::string bytes = "Sample\r\nプレイ回数3\r\nアクティブなプレイ000:05:00コメント良\r\nﾙｰﾄA\r\nクリア";
    const std::wstring wide =
        L"Sample\r\n\u30d7\u30ec\u30a4\u56de\u6570"
        L"3\r\n"  // プレイ回数
        L"\u30a2\u30af\u30c6\u30a3\u30d6\u306a\u30d7\u30ec\u30a4"
        L"000:05:00"                           // アクティブなプレイ
        L"\u30b3\u30e1\u30f3\u30c8\u826f\r\n"  // コメント良
        L"\uff99\uff70\uff84"
        L"A\r\n\u30af\u30ea\u30a2";  // ﾙｰﾄA, クリア
    EXPECT_EQ(ClipboardBytes(CF_TEXT), bytes) << "the code page 932 bytes whatever the system's code page";
    EXPECT_EQ(ClipboardUnicode(), wide);
    // Japanese, so that formats the system makes from the bytes read them as code page 932.
    EXPECT_EQ(ClipboardLocale(), LCID{0x0411});
    EXPECT_EQ(UnicodeTextSeenByAnotherProgram(library_), wide);
}

// ---- Copy settings dialog ---------------------------------------------------

TEST_F(ClipboardTest, CopySettingsDialogShowsTheBoxesUncheckedAndChangesNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenWithSample());
    ASSERT_NO_FATAL_FAILURE(ClickCheckBox(IDC_COPY_ONLY_COMMENTED));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_COPY_SETTING)));
    std::vector<bool> mainBefore;
    for (int id : kCopyCheckBoxes) mainBefore.push_back(Checked(id));

    struct Box {
        int id;
        std::string text;
        bool enabled;
    };
    // The eighteen copy bits in bit order, then the four extra boxes.
    const Box boxes[] = {
        {IDC_COPY_SPARE_BIT0, "Check1", true},
        {IDC_COPY_HEADER_TOTAL_PLAY, "累計時間", true},
        {IDC_COPY_HEADER_COUNT, "プレイ回数", true},
        {IDC_COPY_SPARE_BIT3, "Check2", true},
        {IDC_COPY_HEADER_TOTAL_ACTIVE, "アクティブな累計時間", true},
        {IDC_COPY_HEADER_TOTAL_INPUTS, "キー数", true},
        {IDC_COPY_SPARE_BIT6, "Check15", true},
        {IDC_COPY_ONLY_COMMENTED, "コメントがあるアイテムのみコピーする", true},
        {IDC_COPY_START, "開始時間", true},
        {IDC_COPY_END, "終了時間", true},
        {IDC_COPY_PLAY, "プレイ時間", true},
        {IDC_COPY_TOTAL_PLAY, "累計時間", true},
        {IDC_COPY_ACTIVE, "アクティブなプレイ時間", true},
        {IDC_COPY_TOTAL_ACTIVE, "アクティブな累計時間", true},
        {IDC_COPY_COMMENT, "コメント", true},
        {IDC_COPY_INPUTS, "キー数", true},
        {IDC_COPY_TOTAL_INPUTS, "累計キー数", true},
        {IDC_COPY_SPARE_BIT17, "Check27", true},
        {IDC_COPY_SETTINGS_CHECK3, "Check3", true},
        {IDC_COPY_SETTINGS_CHECK4, "Check4", false},
        {IDC_COPY_SETTINGS_CHECK12, "Check12", true},
        {IDC_COPY_SETTINGS_CHECK16, "Check16", false},
    };

    // The dialog runs its own modal loop: the checks run from a script inside it.
    const auto check = [&](HWND dialog) {
        EXPECT_NE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "no caption";
        RECT client{0, 0, 311, 267};
        MapDialogRect(dialog, &client);
        RECT clientNow{};
        GetClientRect(dialog, &clientNow);
        EXPECT_EQ(clientNow.right, client.right);
        EXPECT_EQ(clientNow.bottom, client.bottom);
        RECT mine{}, owner{};
        GetWindowRect(dialog, &mine);
        GetWindowRect(window_, &owner);
        EXPECT_NEAR((mine.left + mine.right) / 2, (owner.left + owner.right) / 2, 1) << "centred over its owner";
        EXPECT_NEAR((mine.top + mine.bottom) / 2, (owner.top + owner.bottom) / 2, 1);

        for (const Box& box : boxes) {
            HWND control = GetDlgItem(dialog, box.id);
            ASSERT_NE(control, nullptr) << box.id;
            EXPECT_EQ(GetWindowTextCp932(control), box.text) << box.id;
            EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX) << box.id;
            EXPECT_EQ(IsWindowEnabled(control) != FALSE, box.enabled) << box.id;
            EXPECT_EQ(IsDlgButtonChecked(dialog, box.id), BST_UNCHECKED) << box.id;
        }
        std::vector<int> order;  // the eighteen in window order
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            for (int id : kCopyCheckBoxes)
                if (GetDlgCtrlID(child) == id) order.push_back(id);
        EXPECT_EQ(order, std::vector<int>(kCopyCheckBoxes.begin(), kCopyCheckBoxes.end()));

        EXPECT_EQ(GetDlgItemTextCp932(dialog, IDC_COPY_SETTINGS_SIMPLE), "簡易コピー設定");
        EXPECT_EQ(GetDlgItemTextCp932(dialog, IDC_COPY_SETTINGS_CUSTOM), "ユーザー任意コピー設定");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COPY_SETTINGS_SIMPLE), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COPY_SETTINGS_CUSTOM), BST_UNCHECKED);
        HWND edit = GetDlgItem(dialog, IDC_COPY_SETTINGS_LAYOUT);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(GetWindowTextCp932(edit), "");
        // A template's place and size are mapped each on its own, as the dialog manager does.
        RECT expected{145, 55, 145, 55}, size{0, 0, 159, 205}, actual{};
        MapDialogRect(dialog, &expected);
        MapDialogRect(dialog, &size);
        expected.right += size.right;
        expected.bottom += size.bottom;
        GetWindowRect(edit, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);

        // Whatever is changed in the dialog goes nowhere.
        for (int id : {IDC_COPY_SPARE_BIT0, IDC_COPY_ONLY_COMMENTED, IDC_COPY_START, IDC_COPY_SPARE_BIT17})
            SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDC_COPY_SETTINGS_CUSTOM, BM_CLICK, 0, 0);
        SetDlgItemTextCp932(dialog, IDC_COPY_SETTINGS_LAYOUT, "開始%s");
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    };
    HWND dialog = nullptr;
    ModalScript script;
    script.Then(WaitForDialogOwnedBy(window_, dialog));
    script.Then(Do([&] {
        check(dialog);
        // Whatever the checks found, the dialog is closed, so the test never waits on it.
        if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    script.Run([&] { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_COPY_SETTING, BN_CLICKED), 0); });
    ASSERT_TRUE(script.Finished()) << "the dialog was not seen";

    std::vector<bool> mainAfter;
    for (int id : kCopyCheckBoxes) mainAfter.push_back(Checked(id));
    EXPECT_EQ(mainAfter, mainBefore);
    EXPECT_FALSE(library_.Exists("kibolt.ini")) << "nothing is stored";
    ASSERT_NO_FATAL_FAILURE(CopyWith(Trigger::CopyButton));
    EXPECT_EQ(ClipboardBytes(CF_TEXT),
              kAllHeaders + kRow1All + "\r\n" + kRow2All + "\r\n" + kRow3All + "\r\n" + kGameComment);
}

}  // namespace
}  // namespace kibolt
