#include "settings/DecimalKeyFilter.h"

#include "settings/EditingKey.h"

#include "text/FormatLocale.h"

#include <QKeyEvent>
#include <QLineEdit>

std::optional<QChar> DecimalKeyResult(QChar typed, const QString& text, QChar separator,
                                      bool allowMinus)
{
    if (typed >= u'0' && typed <= u'9')
        return typed;
    if (typed == u'-') {
        if (allowMinus && !text.contains(u'-'))
            return typed;
        return std::nullopt;
    }
    if ((typed == u'.' || typed == u',') && !text.contains(separator))
        return separator;
    return std::nullopt;
}

DecimalKeyFilter::DecimalKeyFilter(bool allowMinus, QObject* parent)
    : QObject(parent), allowMinus_(allowMinus)
{
}

bool DecimalKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (IsEditingKey(key) && !(key.modifiers() & Qt::ControlModifier))
        return false;
    if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)
        || key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Cut))
        return true;
    const QString typed = key.text();
    if (typed.isEmpty())
        return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit || typed.size() != 1)
        return true;
    const QString separator = FormatLocale().decimalPoint();
    const std::optional<QChar> inserted =
        DecimalKeyResult(typed[0], edit->text(), separator.isEmpty() ? u'.' : separator[0], allowMinus_);
    if (inserted)
        edit->insert(QString(*inserted));
    return true;
}
