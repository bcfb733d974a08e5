// Switches the program puts at the end of the box's context menu, and the
// entries that press a key with modifiers at its top.
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
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

void TextView::addMenuShortcut(const QString& label, int32_t letter, int32_t keyState)
{
    if (letter < 'A' || letter > 'Z')
        return;
    for (MenuShortcut& s : menuShortcuts_) {
        if (s.letter == letter && s.keyState == keyState) {
            s.label = label;
            return;
        }
    }
    menuShortcuts_.push_back({label, letter, keyState});
}

namespace {

Qt::KeyboardModifiers Modifiers(int32_t keyState)
{
    Qt::KeyboardModifiers m;
    if (keyState & 1)
        m |= Qt::ControlModifier;
    if (keyState & 2)
        m |= Qt::ShiftModifier;
    if (keyState & 4)
        m |= Qt::AltModifier;
    return m;
}

} // namespace

void TextView::addMenuShortcuts(QMenu* menu)
{
    for (const MenuShortcut& s : menuShortcuts_) {
        const Qt::KeyboardModifiers mods = Modifiers(s.keyState);
        const auto key = static_cast<Qt::Key>(Qt::Key_A + (s.letter - 'A'));
        const QString shown = QKeySequence(mods | key).toString(QKeySequence::NativeText);
        QAction* a = menu->addAction(s.label + QLatin1Char('\t') + shown);
        connect(a, &QAction::triggered, this, [this, key, mods] {
            QKeyEvent press(QEvent::KeyPress, key, mods);
            QCoreApplication::sendEvent(this, &press);
            QKeyEvent release(QEvent::KeyRelease, key, mods);
            QCoreApplication::sendEvent(this, &release);
        });
    }
}

} // namespace mt::platform
