#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the logger's code page for its text registers. Qt 6 cannot be
// relied on to offer it (that needs ICU), so the 128 upper code points live here.
namespace Cp1251Codec {

// Characters without a Windows-1251 byte become '?'.
QByteArray encode(const QString& text);
// The one unassigned byte (0x98) becomes U+FFFD.
QString decode(const QByteArray& bytes);

} // namespace Cp1251Codec
