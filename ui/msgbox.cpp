#include "ui/msgbox.h"

#include "ui/toolkit.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace ui
{

namespace
{

InterceptionMsgBox& interceptionCourante()
{
    static InterceptionMsgBox interception;
    return interception;
}

QMessageBox::Icon iconePourStyle(int style)
{
    // The style adds an icon value (multiples of 16) to a button value; the
    // box always has one OK button, so only the icon part counts.
    switch (style & 0x70) {
    case StyleCritique:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case StyleAttention:
        return QMessageBox::Warning;
    case StyleInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

void MsgBox(const QString& prompt, int style, const QString& titre)
{
    if (const InterceptionMsgBox& interception = interceptionCourante()) {
        interception(MessageAffiche{prompt, style, titre});
        return;
    }
    QMessageBox boite(iconePourStyle(style), titre, avecSautsDeLigne(prompt), QMessageBox::Ok,
                      QApplication::activeWindow());
    boite.setTextFormat(Qt::PlainText);
    boite.exec();
}

InterceptionMsgBox intercepterMsgBox(InterceptionMsgBox interception)
{
    return std::exchange(interceptionCourante(), std::move(interception));
}

} // namespace ui
