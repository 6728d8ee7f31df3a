// The yardstick a press is set against: the catalogue in the current folder
// read once, decoded, every acronym's term cut and the terms sorted with the
// French collation, written the straightforward Qt way. One code for the
// benchmarks of both systems, so that their figures compare.
#pragma once

#include <QCollator>
#include <QFile>
#include <QStringList>
#include <QStringTokenizer>

#include <algorithm>
#include <optional>

// The sorted terms, or nothing when LISTORA.DAT cannot be opened.
inline std::optional<QStringList> termesEtalon(const QCollator& collation)
{
    QFile f(QStringLiteral("LISTORA.DAT"));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString texte = QString::fromUtf8(f.readAll());
    QStringList termes;
    for (const QStringView ligne : QStringTokenizer(texte, u'\n')) {
        const qsizetype egal = ligne.indexOf(u'=');
        if (egal > 0 && ligne.startsWith(u"ACRO"))
            termes.append(ligne.sliced(egal + 1).split(u',').front().toString());
    }
    std::stable_sort(termes.begin(), termes.end(), collation);
    return termes;
}
