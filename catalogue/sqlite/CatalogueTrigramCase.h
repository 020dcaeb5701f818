// How the search index's trigram tokenizer folds case, next to how the catalogue does.
// The catalogue folds each character with Qt's case folding (Unicode of this Qt); SQLite's
// tokenizer folds with its own, older table. Where the two disagree about a group of letters
// that the catalogue treats as equal (the Cherokee letters, the Georgian capitals added in
// Unicode 11, the rare Cyrillic variants of в, д, о, с, т...), a keyword letter of that group
// is looked up in the index in every spelling the tokenizer keeps apart, so the index never
// misses a row that the catalogue's LIKE would find.
#pragma once

#include <QList>

namespace pixdock::catalogue {

// The spellings of `c` to look up in the index: `c` alone for nearly every character.
// Empty when the tokenizer's folding could not be learnt (no FTS5 here).
QList<char32_t> trigramSpellings(char32_t c);

// The tokenizer's folding of `c` where it was learnt (the characters that have a case in Qt),
// else `c`: good for looking up how common a trigram is, not for deciding what matches.
char32_t trigramFolded(char32_t c);

// Whether the tokenizer's folding was learnt (once per process, from SQLite itself).
bool trigramCaseKnown();

} // namespace pixdock::catalogue
