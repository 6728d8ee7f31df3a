// A sorted list box: items stay in the alphabetical order a French reader
// expects, whatever order they come in.
#pragma once

#include "ui/controls.h"

#include <QCollator>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QListView;

namespace ui
{

class ModeleTermes;

// Order: French collation, case ignored ("a" < "B" < "c"), accented letters
// beside their base letter ("e" < "é" < "f"). Items that compare equal keep
// the order in which they were given. Items are counted from 0.
//
// The list box gives its view a model of its own that keeps every item's
// text end to end in one string, in the order they were given, and the rows'
// order as item numbers: a list of tens of thousands of terms costs little
// more than their characters, not one item object each.
class ListBox : public Control
{
public:
    explicit ListBox(QListView* liste);
    QListView* liste() const;

    void Clear();
    // Fills the list at once with the items end to end in `textes`, item i
    // ending at fins[i], and sorts them; the list keeps that string as it is,
    // without a copy of each item. Items already there are replaced: the
    // program always fills an emptied list.
    void AddItems(QString textes, std::vector<uint32_t> fins);

    int ListCount() const;
    // The selected item, -1 when none is.
    int ListIndex() const;
    // Selects item `index`, raising the click handler as a user's selection
    // does when the selection changes; -1 clears the selection and raises
    // nothing; an index past the end is ignored.
    void setListIndex(int index);
    // The text of item `index`; empty outside 0 .. ListCount() - 1.
    QString List(int index) const;

    // Raised when the user (mouse or keyboard) or setListIndex selects an
    // item; not by Clear or AddItems.
    void onClick(std::function<void()> gestionnaire);

    // The collation the list sorts by, for callers that compare the same way.
    static QCollator collationFrancaise();

private:
    QCollator collation_;
    ModeleTermes* modele_;     // owned by the view
    bool enMiseAJour_ = false; // changes made by this class raise no click
};

} // namespace ui
