#pragma once

#include <QString>

// The typing rules of the sign-in sheet's two fields, on the text before
// and after an edit.
namespace CloudLoginInputRules {

inline constexpr int kMaxTyped = 15;   // more than this many characters take no more input
inline constexpr int kMaxPassword = 16;

// The text an edit put in (empty for a pure deletion).
QString insertedText(const QString& before, const QString& after);
bool accountAccepts(const QString& before, const QString& after);
bool passwordAccepts(const QString& before, const QString& after);
// The sign-in button's check: 1 to 16 characters.
bool passwordLengthValid(const QString& password);

}
