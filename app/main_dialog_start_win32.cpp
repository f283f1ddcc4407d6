// The main window's part in starts of Kibolt with options: its own command
// line, and the requests later starts for this library hand over.
#include "app/main_dialog_win32.h"

#include "dialogs/game_dialog_win32.h"
#include "launch/library_instance_win32.h"
#include "launch/start_options_win32.h"
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
    Post([this, commandLine = std::move(commandLine)] { ActOnStart(ReadStartOptions(commandLine)); });
}

LRESULT MainDialog::OnStartRequest(const COPYDATASTRUCT& data) {
    if (data.dwData == kComeForwardTag) {
        // A game started meanwhile keeps the front.
        if (Allowed(Command::ComeForward)) BringToFront(window_);
        return TRUE;
    }
    if (data.dwData != kStartRequestTag || data.cbData % sizeof(wchar_t) != 0 ||
        data.cbData > kMaxRequestChars * sizeof(wchar_t) || (data.cbData && !data.lpData))
        return kRequestRefused;
    std::wstring commandLine(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t));
    if (!Allowed(Command::ComeForward)) {
        // In front already: acted on from the message loop, as usual.
        if (Allowed(Command::TellAboutStart)) {
            QueueStart(std::move(commandLine));
            return kRequestTakenStayBehind;
        }
        // The game keeps the front and its active time: Kibolt only asks for
        // attention, and holds what it has to say until the user comes to it.
        FlashTaskbarButton(window_);
        ActOnStart(ReadStartOptions(commandLine));
        return kRequestTakenStayBehind;
    }
    QueueStart(std::move(commandLine));
    return kRequestTakenComeForward;
}

void MainDialog::Notify(std::string text, bool error) {
    // A message box would take the front from the game: it waits until the
    // game has ended or the user brings Kibolt forward.
    if (!Allowed(Command::TellAboutStart)) {
        startNotices_.push_back({std::move(text), error});
        return;
    }
    MessageBoxCp932(window_, text, error ? kErrorCaption : "Kibolt", MB_OK | (error ? MB_ICONERROR : MB_ICONWARNING));
}

void MainDialog::ShowStartNotices() {
    if (startNotices_.empty() || !Allowed(Command::TellAboutStart)) return;
    // Taken out first: activation while a box is shown asks for them again.
    std::vector<StartNotice> notices;
    notices.swap(startNotices_);
    for (const StartNotice& notice : notices)
        MessageBoxCp932(window_, notice.text, notice.error ? kErrorCaption : "Kibolt",
                        MB_OK | (notice.error ? MB_ICONERROR : MB_ICONWARNING));
}

void MainDialog::ActOnStart(const ReadStart& start) {
    const StartOptions& options = start.options;
    if (options.kind == StartOptions::Kind::Malformed) {
        Notify(std::string(kStartUsage), true);
        return;
    }
    if (options.kind != StartOptions::Kind::Play) return;
    if (launcher_.Running()) {
        Notify("ゲームのプレイ中だったため、「" + options.title + "」を起動しませんでした。", false);
        return;
    }
    // While a dialog waits for an answer, Kibolt only comes to the front.
    if (!Allowed(Command::StartFromOutside)) return;

    if (!start.commandExact) {
        Notify("起動するコマンドラインに、使えない文字があります。\r\n" + *options.gameCommandLine, true);
        return;
    }
    std::optional<std::pair<Category, std::string>> found;
    if (start.titleExact) found = FindGame(options.title);
    if (!found) {
        if (!options.gameCommandLine || !start.titleExact) {
            std::string text = "「" + options.title + "」という名前のゲームはありません。";
            if (!start.titleExact) text += "\r\nタイトルに、使えない文字があります。";
            Notify(std::move(text), true);
            return;
        }
        // A store client's launch option for a game not yet known: registered
        // in PLAYING with the command line it was given.
        ShowCategory(Category::Playing);
        SaveGameComment();
        GameEntryResult result = RegisterGame(*state_, fs_, *options.gameCommandLine, options.title);
        if (!result.Ok()) {
            Notify(GameEntryMessage(result), true);
            return;
        }
        Changed(Change::GameList | Change::Library);
        found.emplace(Category::Playing, options.title);
    }

    ShowCategory(found->first);
    if (!LoadGame(found->second, found->first)) {
        Notify("「" + found->second + "」のログを読めません。", true);
        return;
    }
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
