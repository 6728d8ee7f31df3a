#include "app/images.h"

#include <QPixmap>

#include "app/images/visage_sourire_16.xpm"
#include "app/images/visage_sourire_32.xpm"
#include "app/images/visage_triste_32.xpm"

namespace images
{

QIcon visageSourire()
{
    QIcon icone;
    icone.addPixmap(QPixmap(visage_sourire_32));
    icone.addPixmap(QPixmap(visage_sourire_16));
    return icone;
}

QIcon visageTriste()
{
    QIcon icone;
    icone.addPixmap(QPixmap(visage_triste_32));
    return icone;
}

} // namespace images
