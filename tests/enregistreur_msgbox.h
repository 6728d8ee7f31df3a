// Answers the program's message boxes in tests: records each one instead of
// showing it.
#pragma once
#include "ui/msgbox.h"

#include <QList>

#include <functional>
#include <utility>

namespace fixture
{

// While alive, records every box instead of showing it, then calls
// `reaction` (if any) as the moment the user would read the box. Restores
// the previous interception when destroyed.
class EnregistreurMsgBox
{
public:
    explicit EnregistreurMsgBox(std::function<void(const ui::MessageAffiche&)> reaction = {})
        : reaction_(std::move(reaction)),
          precedente_(ui::intercepterMsgBox([this](const ui::MessageAffiche& message) {
              messages_.append(message);
              if (reaction_)
                  reaction_(message);
          }))
    {
    }
    ~EnregistreurMsgBox() { ui::intercepterMsgBox(std::move(precedente_)); }
    EnregistreurMsgBox(const EnregistreurMsgBox&) = delete;
    EnregistreurMsgBox& operator=(const EnregistreurMsgBox&) = delete;

    const QList<ui::MessageAffiche>& messages() const { return messages_; }

private:
    QList<ui::MessageAffiche> messages_;
    std::function<void(const ui::MessageAffiche&)> reaction_;
    ui::InterceptionMsgBox precedente_;
};

} // namespace fixture
