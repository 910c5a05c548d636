#include "settings/DigitKeyFilter.h"

#include "settings/EditingKey.h"

#include <QKeyEvent>

namespace {

bool passes(const QKeyEvent& key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    if (IsEditingKey(key))
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
