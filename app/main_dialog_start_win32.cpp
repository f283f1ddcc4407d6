// The main window's part in starts of Kibolt with options: its own command
// line, and the requests later starts for this library hand over.
#include "app/main_dialog_win32.h"

#include "command_line/start_options_win32.h"
#include "dialogs/game_dialog_win32.h"
#include "instance/library_instance_win32.h"
#include "library/game_commands.h"
#include "resources/resource_ids.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// The longest command line a later start may hand over (the system's own limit).
constexpr DWORD kMaxRequestChars = 32768;

}  // namespace

void MainDialog::QueueStart(std::wstring commandLine) {
    // Acted on from the message loop: a message box must not hold up the
    // process that handed the request over.
    queuedStarts_.push_back(std::move(commandLine));
    PostMessageW(window_, kStartQueuedMessage, 0, 0);
}

BOOL MainDialog::OnStartRequest(const COPYDATASTRUCT& data) {
    if (data.dwData != kStartRequestTag || data.cbData % sizeof(wchar_t) != 0 ||
        data.cbData > kMaxRequestChars * sizeof(wchar_t) || (data.cbData && !data.lpData))
        return FALSE;
    BringToFront(window_);
    QueueStart(std::wstring(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t)));
    return TRUE;
}

void MainDialog::OnQueuedStart() {
    if (queuedStarts_.empty()) return;
    std::wstring commandLine = std::move(queuedStarts_.front());
    queuedStarts_.pop_front();
    ActOnStart(ReadStartOptions(commandLine));
}

void MainDialog::ActOnStart(const ReadStart& start) {
    const StartOptions& options = start.options;
    if (options.kind == StartOptions::Kind::Malformed) {
        MessageBoxCp932(window_, kStartUsage, "error", MB_OK | MB_ICONERROR);
        return;
    }
    if (options.kind != StartOptions::Kind::Play) return;
    // While a game is played, or a dialog waits for an answer, Kibolt only comes to the front.
    if (launcher_.Running() || !IsWindowEnabled(window_)) return;

    if (!start.commandExact) {
        MessageBoxCp932(window_, "起動するコマンドラインに、使えない文字があります。\r\n" + *options.gameCommandLine,
                        "error", MB_OK | MB_ICONERROR);
        return;
    }
    std::optional<std::pair<Category, std::string>> found;
    if (start.titleExact) found = FindGame(options.title);
    if (!found) {
        if (!options.gameCommandLine || !start.titleExact) {
            std::string text = "「" + options.title + "」という名前のゲームはありません。";
            if (!start.titleExact) text += "\r\nタイトルに、使えない文字があります。";
            MessageBoxCp932(window_, text, "error", MB_OK | MB_ICONERROR);
            return;
        }
        // A store client's launch option for a game not yet known: registered
        // in PLAYING with the command line it was given.
        ShowCategory(Category::Playing);
        SaveGameComment();
        GameEntryResult result = RegisterGame(*state_, fs_, *options.gameCommandLine, options.title);
        if (!result.Ok()) {
            MessageBoxCp932(window_, GameEntryMessage(result), "error", MB_OK | MB_ICONERROR);
            return;
        }
        RefillGameList(Category::Playing);
        LibraryChanged();
        found.emplace(Category::Playing, options.title);
    }

    ShowCategory(found->first);
    SaveGameComment();
    if (state_->LoadGame(found->second, found->first) != LoadResult::Loaded) {
        MessageBoxCp932(window_, "「" + found->second + "」のログを読めません。", "error", MB_OK | MB_ICONERROR);
        return;
    }
    RefreshViews();
    SyncGameListSelection();
    if (options.gameCommandLine)
        OnStartGame(*options.gameCommandLine);
    else
        OnStartGame();
}

std::optional<std::pair<Category, std::string>> MainDialog::FindGame(const std::string& title) const {
    // Windows matches file names without regard to the case of their letters;
    // the game keeps the spelling its log file has.
    const std::string folded = FoldAsciiCase(title);
    for (Category c : {Category::Playing, Category::Cleared, Category::Others}) {
        std::vector<std::string> titles = state_->ListGames(c);
        for (const std::string& listed : titles)
            if (listed == title) return std::make_pair(c, listed);
        for (const std::string& listed : titles)
            if (FoldAsciiCase(listed) == folded) return std::make_pair(c, listed);
    }
    return std::nullopt;
}

void MainDialog::ShowCategory(Category c) {
    if (static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)) == static_cast<int>(c)) return;
    OnCategoryLeaving();
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(c), 0);  // sends no notification
    OnCategoryEntered();
}

}  // namespace kibolt
