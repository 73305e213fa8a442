// What a run tells the program it runs in, and the one thing it asks of it:
// the name of each picture it draws (a batch run saves completed pictures as
// files of those names), that a reader goes on past a fatal page as if a new
// run began, that the page now shown is left, and a stretch of work whose
// pages nobody at the window answers (the deck check's reading: every page
// answered as the automatic user answers it, and written to a stream).
// The program's entry (app/) installs the hooks before a run; a hook left
// unset does nothing, and an unattended stretch then runs as any other.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace kesto::solver {

struct RunHooks {
  void (*picture_named)(const std::string& name) = nullptr;
  void (*pages_forgotten)() = nullptr;
  void (*page_left)() = nullptr;
  void (*unattended)(std::ostream& pages, const std::function<void()>& body) = nullptr;
};

// The installed hooks: one instance for the process.
RunHooks& run_hooks();

// The picture drawn from now on is named `name` ("geometry", "potential").
void name_picture(const std::string& name);
// Pages shown from now on are answered even when they repeat earlier ones.
void forget_pages();
// The page now shown is left; it is not part of what follows.
void leave_page();
// Runs `body` with every page answered and written to `pages`.
void run_unattended(std::ostream& pages, const std::function<void()>& body);

}  // namespace kesto::solver
