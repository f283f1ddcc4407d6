// What the three sample sessions of the clipboard tests (native and window)
// copy to: each row with every piece, and the header lines.
#pragma once
#include <string>

namespace kibolt::test {

// All nine pieces of each row, with both labels of the active play time.
inline const std::string kRow1All =
    "開始05/12/01-20:15:30終了05/12/01-21:00:00プレイ000:44:30累計000:44:30"
    "アクティブなプレイ2000:40:00アクティブな累計000:40:00キー120累計キー120";
inline const std::string kRow2All =
    "開始05/12/02-19:00:00終了05/12/02-19:30:00プレイ000:30:00累計001:14:30"
    "アクティブなプレイ2000:25:00アクティブな累計001:05:00キー80累計キー200コメントx";
inline const std::string kRow3All =
    "開始05/12/03-18:00:00終了05/12/03-18:10:00プレイ000:10:00累計001:24:30"
    "アクティブなプレイ2000:05:00アクティブな累計001:10:00キー15累計キー215コメント良";
inline const std::string kRow1 =
    "開始05/12/01-20:15:30終了05/12/01-21:00:00プレイ000:44:30累計000:44:30"
    "アクティブなプレイ000:40:00アクティブな累計000:40:00キー120累計キー120";
inline const std::string kRow3 =
    "開始05/12/03-18:00:00終了05/12/03-18:10:00プレイ000:10:00累計001:24:30"
    "アクティブなプレイ000:05:00アクティブな累計001:10:00キー15累計キー215コメント良";

inline const std::string kAllHeaders =
    "Sample\r\nプレイ回数3\r\nプレイ時間001:24:30\r\nアクティブなプレイ時間001:10:00\r\nクリック数215\r\n";

}  // namespace kibolt::test
