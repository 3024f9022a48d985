#pragma once

#include <QString>

// The ready-made fragments of the Insert menu, as one table of data. A
// fragment is built from the selection S and, for the few that ask first,
// the user's answer A; CR LF is the line break inside fragments.
namespace Fragments {

// What an empty answer (or Cancel) does to a prompting fragment.
enum class EmptyAnswer { InsertNothing, InsertEmpty, UseHash };

struct Prompt {
    const char *title;
    const char *text;
    const char *defaultText; // "" for none
    EmptyAnswer empty;
};

struct Fragment {
    const char *name;          // the menu item's name
    const char *withSelection; // "%S" stands for the selection, "%A" for the answer
    const char *withoutSelection;
    const Prompt *prompt;      // nullptr: inserted without asking
};

// The maker's addresses, the default answers of the link fragments.
inline constexpr char kWebAddress[] = "https://www.example.com/orvane/";
inline constexpr char kSupportAddress[] = "support@example.com";

// The fragment of a menu item, or nullptr.
const Fragment *find(const QString &name);
// Every fragment, for registering their commands.
const Fragment *begin();
const Fragment *end();

// The fragment's text for a selection (empty: none) and an answer. A link's
// blank answer becomes "#"; other answers are used as typed.
QString build(const Fragment &fragment, const QString &selection, const QString &answer);

// Whether an answer (already asked) leads to an insert at all: a fragment
// that inserts nothing for an empty answer takes blanks as empty too.
bool inserts(const Fragment &fragment, const QString &answer);

} // namespace Fragments
