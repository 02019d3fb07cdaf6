#pragma once

#include <QStringList>

// `montera-sets import` of flashcards: an Anki package (.apkg, .colpkg) or,
// with --pairs, a two-column list, made into five-choice sets. A build
// without the libraries it reads them with says so instead.
namespace montera::sets {

inline bool isFlashcardImport(const QStringList& args)
{
    for (const QString& arg : args) {
        if (arg == u"--pairs" || arg.endsWith(u".apkg", Qt::CaseInsensitive) ||
            arg.endsWith(u".colpkg", Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The exit status: 0 when the sets were written, 1 when nothing was, -1 on
// a usage error.
int importFlashcards(const QStringList& args);

} // namespace montera::sets
