#include "app/images.h"

#include <QPixmap>

#include "app/images/frown_32.xpm"
#include "app/images/smile_16.xpm"
#include "app/images/smile_32.xpm"

namespace images
{

QIcon visageSourire()
{
    QIcon icone;
    icone.addPixmap(QPixmap(smile_32));
    icone.addPixmap(QPixmap(smile_16));
    return icone;
}

QIcon visageTriste()
{
    QIcon icone;
    icone.addPixmap(QPixmap(frown_32));
    return icone;
}

} // namespace images
