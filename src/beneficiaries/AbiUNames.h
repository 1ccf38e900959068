#pragma once
#include <QDate>
#include <QString>

// Names of people as the suite's registry keeps them, so that one real person is one row
// however the name was typed.
namespace ccp::names {

// Upper case, accents folded ("Nicolò" -> "NICOLO"), apostrophes removed ("D'Amico" ->
// "DAMICO"), blanks trimmed and never doubled.
QString normalize(const QString &text);

// Only the letters and digits of the normalised text: "d amico", "D'Amico" and "DAMICO" all
// give "DAMICO".
QString searchKey(const QString &text);

// The search key of a person (sAnaCognomeNomeIdx): surname then name, at most 120 characters.
QString personKey(const QString &surname, const QString &name);

// One positive code per (surname, name, birth date), the same for every way of typing the
// same name; people sharing it are offered as possible duplicates.
int controlCode(const QString &surname, const QString &name, const QDate &birth);

} // namespace ccp::names
