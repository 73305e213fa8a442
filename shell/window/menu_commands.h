// The window's menu bar, built from its description in the resources
// ("orvmenu"), and the commands its items send to the window.
#pragma once

#include <map>
#include <vector>

class QMainWindow;
class QAction;

namespace kesto::shell {

// Menu command ids.
enum MenuCommand {
  CMD_PAGE_SETUP = 1,
  CMD_PRINTER_SETUP = 2,
  CMD_PRINT = 3,
  CMD_EXIT = 4,
  CMD_COPY = 5,
  CMD_PRINT_NOW = 6,
  CMD_COLOR = 7,
  CMD_BLACK_BACKGROUND = 8,
  CMD_PEN_WIDTH = 9,
  CMD_ABOUT = 10,
  CMD_WRITE_EPS = 11,
  CMD_WRITE_TIF = 12,
  CMD_WRITE_WMF = 13,
  CMD_WRITE_EMF = 14,
};

// Builds the menu bar of the window; returns its items by command id.
std::map<int, QAction*> build_menu_bar(QMainWindow& window);

// Carries out a menu command (as the window does when the command arrives,
// whether or not its item is enabled), or holds it while the program
// computes (below). Unknown ids do nothing.
void run_menu_command(int id);

// A handler installed for an id runs in place of the command's own action
// (null puts the own action back).
using MenuCommandHandler = void (*)();
void set_menu_command_handler(int id, MenuCommandHandler handler);

// ---- Commands chosen while the program computes ------------------------------
// While the relaxation runs, the program only polls for a key, and the window
// handles its messages inside that poll. A menu command chosen then is held
// and carried out, in the order chosen, when the program next waits for the
// user: the picture is then whole, and every command (a colour option, a
// dialog, printing, an export, copying) sees it as at any other wait, so no
// command can change the run's numbers or catch a half-drawn picture. Exit
// alone acts at once: closing the window is how the user stops the work.
// Commands still held when the run ends without another wait are dropped.

// While one of these lives, menu commands are held (the key poll makes one).
class HoldMenuCommands {
 public:
  HoldMenuCommands();
  ~HoldMenuCommands();
  HoldMenuCommands(const HoldMenuCommands&) = delete;
  HoldMenuCommands& operator=(const HoldMenuCommands&) = delete;

 private:
  bool was_holding_;
};

// True for the commands that act even while the program computes.
bool acts_while_computing(int id);
// The commands held so far, in order.
const std::vector<int>& held_menu_commands();
// Carries out the held commands (a wait calls it before it waits); false
// when none was held.
bool run_held_menu_commands();
// Forgets the held commands (a fresh run).
void forget_held_menu_commands();

// Write EPS and Write WMF: their items stay greyed for the life of the
// window; the commands are reached only when sent by id.
bool greyed_for_good(int id);

// Greys or enables the commands that need a picture (2, 3, 6, 12, 14).
void set_picture_commands_enabled(bool enabled);
// Sets the check marks of Color and Black Background from the settings.
void update_option_checks();

}  // namespace kesto::shell
