#include "play/recorder_notice_text.h"

#include "library/file_system.h"
#include "library/library_paths.h"

namespace kibolt {

namespace {

std::string TitleOfLog(std::string_view root, const std::string& logPath) {
    const std::optional<LogLocation> location = LocateLog(root, logPath);
    return location ? location->title : std::string();
}

std::string TextOf(const RecorderNotice& n, const std::string& title, bool checkpointSaved, NoticeLevel& level) {
    switch (n.kind) {
    case RecorderNotice::Kind::Waiting:
        level = NoticeLevel::Error;
        return "プレイ記録をログに書き込めませんでした。" + FsErrorText(n.error) + "\r\n" + n.logPath + "\r\n\r\n" +
               (checkpointSaved
                    ? "記録は失われていません。kibolt.checkpoint に残っていて、後でもう一度ログに書き込みます。"
                    : "記録はディスクにも保存できず、Kibolt のメモリにだけあります。Kibolt を閉じる前に"
                      "ディスクの空きを作るか、ログを使っているプログラムを閉じてください。");
    case RecorderNotice::Kind::Written:
        level = NoticeLevel::Information;
        return "書き込めずにいたプレイ記録を、ログに書き込みました。\r\n" + n.logPath;
    case RecorderNotice::Kind::CheckpointFailed:
        return "プレイ中の記録 (kibolt.checkpoint) を保存できませんでした。" + FsErrorText(n.error) +
               "\r\nこの間に Kibolt が強制終了されると、プレイの記録の一部が失われることがあります。";
    case RecorderNotice::Kind::CheckpointUnreadable:
        return "前回のプレイの記録 (kibolt.checkpoint) を読めませんでした（ほかのプログラムが使用中かもしれません）。"
               "\r\nファイルはそのまま残し、後でもう一度読みます。";
    case RecorderNotice::Kind::Resumed:
        level = NoticeLevel::Information;
        return "前回 Kibolt が終了したとき「" + title +
               "」はプレイ中で、今も動いています。\r\n"
               "このプレイの記録を続けます（Kibolt が動いていなかった間はプレイ時間に数え、アクティブ時間には数えません）。";
    case RecorderNotice::Kind::Recorded:
        level = NoticeLevel::Information;
        return "前回 Kibolt がプレイ中に終了しました。「" + title +
               "」のプレイを、最後に保存した時刻までログに記録しました。";
    case RecorderNotice::Kind::Refused: {
        std::string text =
            "前回のプレイの記録 (kibolt.checkpoint) が壊れているか、ライブラリにないログを指していたため、"
            "その記録を削除しました。ログは変更していません。";
        if (!n.logPath.empty()) text += "\r\n" + n.logPath;
        return text;
    }
    case RecorderNotice::Kind::Kept:
        return "前回のプレイ「" + title + "」をログに書き込めませんでした。\r\n" + n.logPath +
               "\r\n記録は kibolt.checkpoint に残っていて、後でもう一度書き込みます。";
    case RecorderNotice::Kind::EditRefused:
        return "このゲームには、まだログに書き込めていないプレイ記録があるか、記録の一時ファイル (kibolt.checkpoint) "
               "を更新できないため、変更しませんでした。\r\n今変更すると、記録が二重になったり、削除したセッションが"
               "戻ったりします。少し待ってからもう一度試してください。";
    }
    return {};
}

}  // namespace

NoticeMessage RecorderNoticeMessage(const RecorderNotice& n, std::string_view root, bool checkpointSaved) {
    NoticeMessage message;
    message.text = TextOf(n, TitleOfLog(root, n.logPath), checkpointSaved, message.level);
    return message;
}

}  // namespace kibolt
