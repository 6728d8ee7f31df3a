#include "ui/listbox.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QLocale>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace ui
{

namespace
{

// Marks the list as changed by code for the duration of a change, so that
// selection signals the change causes raise no click.
class MiseAJour
{
public:
    explicit MiseAJour(bool& drapeau) : drapeau_(drapeau), avant_(std::exchange(drapeau, true)) {}
    ~MiseAJour() { drapeau_ = avant_; }
    MiseAJour(const MiseAJour&) = delete;
    MiseAJour& operator=(const MiseAJour&) = delete;

private:
    bool& drapeau_;
    bool avant_;
};

// Terms end to end in one string, with where each one starts: two blocks of
// memory for a whole list, whatever its length.
class Termes
{
public:
    int nombre() const { return static_cast<int>(debuts_.size()) - 1; }
    QStringView terme(int rang) const
    {
        return QStringView(texte_).sliced(debuts_[rang], debuts_[rang + 1] - debuts_[rang]);
    }

    void reserver(qsizetype caracteres, qsizetype termes)
    {
        texte_.reserve(caracteres);
        debuts_.reserve(termes + 1);
    }
    void ajouter(QStringView terme)
    {
        texte_.append(terme);
        debuts_.push_back(static_cast<uint32_t>(texte_.size()));
    }
    // Every term from `rang` on moves one place down.
    void inserer(int rang, QStringView terme)
    {
        const auto longueur = static_cast<uint32_t>(terme.size());
        texte_.insert(debuts_[rang], terme);
        const auto suivant = debuts_.insert(debuts_.begin() + rang + 1, debuts_[rang] + longueur);
        std::for_each(suivant + 1, debuts_.end(),
                      [longueur](uint32_t& debut) { debut += longueur; });
    }
    qsizetype caracteres() const { return texte_.size(); }

private:
    QString texte_;
    std::vector<uint32_t> debuts_{0}; // term i is texte_[debuts_[i], debuts_[i + 1])
};

} // namespace

// The view's rows are the terms; it asks for a term's text only for the rows
// it lays out, paints or searches, and gets it as a fresh string.
class ModeleTermes : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    const Termes& termes() const { return termes_; }

    void vider() { remplacer(Termes()); }
    void remplacer(Termes termes)
    {
        beginResetModel();
        termes_ = std::move(termes);
        endResetModel();
    }
    void inserer(int rang, QStringView terme)
    {
        beginInsertRows({}, rang, rang);
        termes_.inserer(rang, terme);
        endInsertRows();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : termes_.nombre();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        return termes_.terme(index.row()).toString();
    }

private:
    Termes termes_;
};

QCollator ListBox::collationFrancaise()
{
    QCollator collation{QLocale(QLocale::French, QLocale::France)};
    collation.setCaseSensitivity(Qt::CaseInsensitive);
    return collation;
}

ListBox::ListBox(QListView* liste)
    : Control(liste), collation_(collationFrancaise()), modele_(new ModeleTermes(liste))
{
    liste->setModel(modele_);
    // Every item is one line of the list's font: with uniform sizes the view
    // lays out tens of thousands of items without measuring each one.
    liste->setUniformItemSizes(true);
}

QListView* ListBox::liste() const
{
    return static_cast<QListView*>(widget());
}

void ListBox::Clear()
{
    MiseAJour miseAJour(enMiseAJour_);
    modele_->vider();
}

int ListBox::rangApres(const QString& texte) const
{
    const Termes& termes = modele_->termes();
    int debut = 0;
    int fin = termes.nombre();
    while (debut < fin) {
        const int milieu = debut + (fin - debut) / 2;
        if (collation_.compare(texte, termes.terme(milieu)) < 0)
            fin = milieu;
        else
            debut = milieu + 1;
    }
    return debut;
}

void ListBox::AddItem(const QString& texte)
{
    const int rang = rangApres(texte);
    MiseAJour miseAJour(enMiseAJour_);
    modele_->inserer(rang, texte);
}

void ListBox::AddItems(const QStringList& textes)
{
    AddItems(textes.size(), [&](qsizetype i) { return QStringView(textes[i]); });
}

void ListBox::AddItems(qsizetype nombre, const std::function<QStringView(qsizetype)>& texte)
{
    if (nombre == 0)
        return;
    std::vector<QStringView> textes(static_cast<size_t>(nombre));
    for (qsizetype i = 0; i < nombre; ++i)
        textes[static_cast<size_t>(i)] = texte(i);
    // The new items' order as their places in `textes`: sorting those moves
    // four bytes an item instead of a string each.
    std::vector<uint32_t> ordre(static_cast<std::size_t>(textes.size()));
    std::iota(ordre.begin(), ordre.end(), 0u);
    std::stable_sort(ordre.begin(), ordre.end(), [&](uint32_t a, uint32_t b) {
        return collation_.compare(textes[a], textes[b]) < 0;
    });

    // Merge with the items already there, those first among equals, as one
    // AddItem after another would have placed them, into a new store that
    // the view takes in one reset instead of one insertion per item.
    const Termes& anciens = modele_->termes();
    const int selection = ListIndex();
    int nouvelleSelection = -1;
    qsizetype caracteres = anciens.caracteres();
    for (const QStringView texte : textes)
        caracteres += texte.size();
    Termes fusion;
    fusion.reserver(caracteres, anciens.nombre() + nombre);
    int i = 0;
    const auto reprendreAncien = [&] {
        if (i == selection)
            nouvelleSelection = fusion.nombre();
        fusion.ajouter(anciens.terme(i++));
    };
    for (const uint32_t rang : ordre) {
        const QStringView texte = textes[rang];
        while (i < anciens.nombre() && collation_.compare(texte, anciens.terme(i)) >= 0)
            reprendreAncien();
        fusion.ajouter(texte);
    }
    while (i < anciens.nombre())
        reprendreAncien();

    MiseAJour miseAJour(enMiseAJour_);
    modele_->remplacer(std::move(fusion));
    if (nouvelleSelection >= 0)
        liste()->selectionModel()->setCurrentIndex(modele_->index(nouvelleSelection),
                                                   QItemSelectionModel::ClearAndSelect);
}

int ListBox::ListCount() const
{
    return modele_->termes().nombre();
}

int ListBox::ListIndex() const
{
    const QModelIndexList choisis = liste()->selectionModel()->selectedIndexes();
    return choisis.isEmpty() ? -1 : choisis.constFirst().row();
}

void ListBox::setListIndex(int index)
{
    if (index < 0) {
        MiseAJour miseAJour(enMiseAJour_);
        liste()->selectionModel()->clear();
        return;
    }
    if (index < ListCount())
        liste()->selectionModel()->setCurrentIndex(modele_->index(index),
                                                   QItemSelectionModel::ClearAndSelect);
}

QString ListBox::List(int index) const
{
    const Termes& termes = modele_->termes();
    return index >= 0 && index < termes.nombre() ? termes.terme(index).toString() : QString();
}

void ListBox::onClick(std::function<void()> gestionnaire)
{
    // The view made its selection model when it was given the list's model,
    // once and for all.
    QObject::connect(liste()->selectionModel(), &QItemSelectionModel::selectionChanged, liste(),
                     [this, gestionnaire = std::move(gestionnaire)] {
                         if (!enMiseAJour_ && ListIndex() >= 0)
                             gestionnaire();
                     });
}

} // namespace ui
