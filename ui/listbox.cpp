#include "ui/listbox.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QLocale>
#include <QScopedValueRollback>
#include <QStyle>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace ui
{

namespace
{

// Terms end to end in one string, with where each one ends, and the rows'
// order: two blocks of memory and four bytes a term for the whole list,
// whatever its length.
class Termes
{
public:
    Termes() = default;
    // Term n of `texte` ends at fins[n]; the rows show them in that order.
    Termes(QString texte, std::vector<uint32_t> fins)
        : texte_(std::move(texte)), fins_(std::move(fins)), ordre_(fins_.size())
    {
        std::iota(ordre_.begin(), ordre_.end(), uint32_t{0});
    }

    int nombre() const { return static_cast<int>(ordre_.size()); }
    // The term on row `rang`.
    QStringView terme(int rang) const { return numero(ordre_[static_cast<size_t>(rang)]); }

    // Puts the rows in the order `avant` gives, equal terms in the order they
    // came in. Sorting term numbers moves four bytes a term, not a string.
    template <class Avant> void trier(Avant avant)
    {
        std::stable_sort(ordre_.begin(), ordre_.end(),
                         [&](uint32_t a, uint32_t b) { return avant(numero(a), numero(b)); });
    }

private:
    // Term `n` of the string.
    QStringView numero(uint32_t n) const
    {
        const uint32_t debut = n == 0 ? 0 : fins_[n - 1];
        return QStringView(texte_).sliced(debut, fins_[n] - debut);
    }

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

    // Gives every row its term anew, in one reset.
    void remplir(Termes termes)
    {
        beginResetModel();
        termes_ = std::move(termes);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : termes_.nombre();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return termes_.terme(index.row()).toString();
        // A term the row cuts short, ending in "…", can be read whole.
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:
            if (const QString terme = termes_.terme(index.row()).toString(); estCoupe(terme))
                return terme;
            return {};
        default:
            return {};
        }
    }

private:
    // Whether the view's row is too narrow for `terme`; the view's item
    // delegate leaves a margin on each side of the text.
    bool estCoupe(const QString& terme) const
    {
        const auto* vue = static_cast<const QListView*>(QObject::parent());
        const int marge = vue->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, vue) + 1;
        return vue->fontMetrics().horizontalAdvance(terme) > vue->viewport()->width() - 2 * marge;
    }

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
    const QScopedValueRollback miseAJour(enMiseAJour_, true);
    modele_->remplir({});
}

void ListBox::AddItems(QString textes, std::vector<uint32_t> fins)
{
    Termes termes(std::move(textes), std::move(fins));
    termes.trier([this](QStringView a, QStringView b) { return collation_.compare(a, b) < 0; });
    const QScopedValueRollback miseAJour(enMiseAJour_, true);
    modele_->remplir(std::move(termes));
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
        const QScopedValueRollback miseAJour(enMiseAJour_, true);
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
