#pragma once

#include <QString>
#include <QStringList>

// Finding a name by any of its words: the typed text is split into words, and a name
// matches when it contains every word, in any order, with letter case and accents
// ignored ("pollo petto" finds "Petto di pollo, crudo", "caffe" finds "Caffè").
namespace WordSearch {
// The text in the form that is compared: lower case, without accents or other marks.
QString fold(const QString& text);
// The folded words of a typed text; empty when it holds no word.
QStringList words(const QString& typed);
// Whether a folded name contains every folded word.
bool matches(const QString& foldedName, const QStringList& foldedWords);
// Convenience: whether `name` matches the typed text.
bool nameMatches(const QString& name, const QString& typed);
} // namespace WordSearch
