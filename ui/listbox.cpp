#include "ui/listbox.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QLocale>

#include <algorithm>
#include <cstdint>
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

// Terms end to end in one string, in the order they were added, with where
// each one ends, and the rows' order: two blocks of memory and four bytes a
// term for the whole list, whatever its length.
class Termes
{
public:
    int nombre() const { return static_cast<int>(ordre_.size()); }
    // The term on row `rang`.
    QStringView terme(int rang) const { return ajoute(ordre_[static_cast<size_t>(rang)]); }
    // The `numero`-th term added.
    QStringView ajoute(uint32_t numero) const
    {
        const uint32_t debut = numero == 0 ? 0 : fins_[numero - 1];
        return QStringView(texte_).sliced(debut, fins_[numero] - debut);
    }

    // Adds terms end to end in `texte`, term i ending at fins[i], after
    // those there; they take no row yet. Taken as they are when the list is
    // empty. Returns the number of the first one.
    uint32_t ajouter(QString texte, std::vector<uint32_t> fins)
    {
        const auto premier = static_cast<uint32_t>(fins_.size());
        if (fins_.empty()) {
            texte_ = std::move(texte);
            fins_ = std::move(fins);
            return premier;
        }
        const auto decalage = static_cast<uint32_t>(texte_.size());
        texte_.append(texte);
        for (const uint32_t fin : fins)
            fins_.push_back(decalage + fin);
        return premier;
    }
    // How many terms were added, rows or not.
    uint32_t ajoutes() const { return static_cast<uint32_t>(fins_.size()); }
    std::vector<uint32_t>& ordre() { return ordre_; }

private:
    QString texte_;
    std::vector<uint32_t> fins_;  // term n is texte_[fins_[n - 1], fins_[n])
    std::vector<uint32_t> ordre_; // row r shows term ordre_[r]
};

} // namespace

// The view's rows are the terms; it asks for a term's text only for the rows
// it lays out, paints or searches, and gets it as a fresh string.
class ModeleTermes : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    const Termes& termes() const { return termes_; }

    void vider()
    {
        beginResetModel();
        termes_ = Termes();
        endResetModel();
    }
    // Adds one term on row `rang`.
    void inserer(int rang, const QString& terme)
    {
        const uint32_t numero = termes_.ajouter(terme, {static_cast<uint32_t>(terme.size())});
        beginInsertRows({}, rang, rang);
        termes_.ordre().insert(termes_.ordre().begin() + rang, numero);
        endInsertRows();
    }
    // Adds terms and gives every row its term anew, in one reset.
    template <class Ordonner>
    void ajouter(QString texte, std::vector<uint32_t> fins, Ordonner ordonner)
    {
        const uint32_t premier = termes_.ajouter(std::move(texte), std::move(fins));
        beginResetModel();
        ordonner(termes_, premier);
        endResetModel();
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
    QString texte;
    std::vector<uint32_t> fins;
    for (const QString& t : textes) {
        texte += t;
        fins.push_back(static_cast<uint32_t>(texte.size()));
    }
    AddItems(std::move(texte), std::move(fins));
}

void ListBox::AddItems(QString textes, std::vector<uint32_t> fins)
{
    if (fins.empty())
        return;
    const int selection = ListIndex();
    int nouvelleSelection = -1;
    MiseAJour miseAJour(enMiseAJour_);
    modele_->ajouter(std::move(textes), std::move(fins), [&](Termes& termes, uint32_t premier) {
        std::vector<uint32_t>& ordre = termes.ordre();
        const auto anciens = static_cast<std::ptrdiff_t>(ordre.size());
        const uint32_t choisi = selection >= 0 ? ordre[static_cast<size_t>(selection)] : 0;
        for (uint32_t n = premier; n < termes.ajoutes(); ++n)
            ordre.push_back(n);
        // The new terms sorted among themselves, then merged after the rows
        // already there, those first among equals, as one AddItem after
        // another would have placed them. Sorting term numbers moves four
        // bytes a term, not a string.
        const auto avant = [&](uint32_t a, uint32_t b) {
            return collation_.compare(termes.ajoute(a), termes.ajoute(b)) < 0;
        };
        std::stable_sort(ordre.begin() + anciens, ordre.end(), avant);
        std::inplace_merge(ordre.begin(), ordre.begin() + anciens, ordre.end(), avant);
        if (selection >= 0)
            nouvelleSelection =
                static_cast<int>(std::find(ordre.begin(), ordre.end(), choisi) - ordre.begin());
    });
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
