// The main window's game management: registering, editing, moving and
// deleting games, the context menus, session comments and the About box.
#include "app/main_dialog_win32.h"

namespace kibolt {

void MainDialog::OnAddGame() {}
void MainDialog::OnGameProperties() {}
void MainDialog::OnMoveGame(Category) {}
void MainDialog::OnDeleteGame() {}
void MainDialog::OnGameContextMenu(int) {}
void MainDialog::OnSessionContextMenu(int) {}
void MainDialog::OnCommentSession(int) {}
void MainDialog::OnAbout() {}

}  // namespace kibolt
