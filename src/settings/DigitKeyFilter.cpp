#include "settings/DigitKeyFilter.h"

#include <QKeyEvent>

namespace {

bool passes(const QKeyEvent& key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    // Under X11 these carry the characters 8 and 127: editing keys, not typing.
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete)
        return true;
    if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut))
        return false;
    const QString text = key.text();
    if (text.isEmpty())
        return true;
    return text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

} // namespace

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !passes(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}
