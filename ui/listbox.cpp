#include "ui/listbox.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QLocale>

#include <algorithm>
#include <utility>

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

} // namespace

QCollator ListBox::collationFrancaise()
{
    QCollator collation{QLocale(QLocale::French, QLocale::France)};
    collation.setCaseSensitivity(Qt::CaseInsensitive);
    return collation;
}

ListBox::ListBox(QListWidget* liste) : Control(liste), collation_(collationFrancaise())
{
    // Every item is one line of the list's font: with uniform sizes the view
    // lays out tens of thousands of items without measuring each one.
    liste->setUniformItemSizes(true);
}

QListWidget* ListBox::liste() const
{
    return static_cast<QListWidget*>(widget());
}

void ListBox::Clear()
{
    MiseAJour miseAJour(enMiseAJour_);
    liste()->clear();
}

int ListBox::rangApres(const QString& texte) const
{
    int debut = 0;
    int fin = liste()->count();
    while (debut < fin) {
        const int milieu = debut + (fin - debut) / 2;
        if (collation_.compare(texte, liste()->item(milieu)->text()) < 0)
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
    liste()->insertItem(rang, texte);
}

void ListBox::AddItems(const QStringList& textes)
{
    if (textes.isEmpty())
        return;
    QStringList nouveaux = textes;
    std::stable_sort(nouveaux.begin(), nouveaux.end(), collation_);

    // Merge with the items already there, those first among equals, as one
    // AddItem after another would have placed them; then fill the widget in
    // one insertion instead of one per item.
    const int selection = ListIndex();
    int nouvelleSelection = -1;
    QStringList fusion;
    fusion.reserve(liste()->count() + nouveaux.size());
    int i = 0;
    const auto reprendreAncien = [&] {
        if (i == selection)
            nouvelleSelection = static_cast<int>(fusion.size());
        fusion.append(liste()->item(i++)->text());
    };
    for (const QString& texte : std::as_const(nouveaux)) {
        while (i < liste()->count() && collation_.compare(texte, liste()->item(i)->text()) >= 0)
            reprendreAncien();
        fusion.append(texte);
    }
    while (i < liste()->count())
        reprendreAncien();

    MiseAJour miseAJour(enMiseAJour_);
    liste()->clear();
    liste()->addItems(fusion);
    if (nouvelleSelection >= 0)
        liste()->setCurrentRow(nouvelleSelection);
}

int ListBox::ListCount() const
{
    return liste()->count();
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
        liste()->clearSelection();
        liste()->setCurrentRow(-1);
        return;
    }
    if (index < liste()->count())
        liste()->setCurrentRow(index);
}

QString ListBox::List(int index) const
{
    const QListWidgetItem* element = liste()->item(index);
    return element ? element->text() : QString();
}

void ListBox::onClick(std::function<void()> gestionnaire)
{
    QObject::connect(liste(), &QListWidget::itemSelectionChanged, liste(),
                     [this, gestionnaire = std::move(gestionnaire)] {
                         if (!enMiseAJour_ && ListIndex() >= 0)
                             gestionnaire();
                     });
}

} // namespace ui
