// Switches the program puts at the end of the box's context menu.
#include <QAction>
#include <QMenu>

#include "platform/text_view/text_view.h"

namespace mt::platform {

void TextView::addMenuSwitch(const QString& label, bool (*isOn)(), void (*turn)(bool))
{
    if (!isOn || !turn)
        return;
    for (MenuSwitch& s : menuSwitches_) {
        if (s.label == label) {
            s = {label, isOn, turn};
            return;
        }
    }
    menuSwitches_.push_back({label, isOn, turn});
}

void TextView::addMenuSwitches(QMenu* menu)
{
    if (menuSwitches_.empty())
        return;
    menu->addSeparator();
    for (const MenuSwitch& s : menuSwitches_) {
        QAction* a = menu->addAction(s.label);
        a->setCheckable(true);
        const bool on = s.isOn();
        a->setChecked(on);
        auto turn = s.turn;
        connect(a, &QAction::triggered, this, [turn, on] { turn(!on); });
    }
}

} // namespace mt::platform
