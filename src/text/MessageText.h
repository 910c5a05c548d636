#pragma once

#include <QString>

// A message the user reads is one Russian line with the reason. What a
// library or a server said about it, often English and several lines, may
// follow that line after a line break: the detail a tooltip or a "Подробнее"
// box shows.
QString WithDetail(const QString& line, const QString& detail);
// The line the user reads: the message up to its first line break.
QString MessageLine(const QString& message);
// What follows that line; empty when nothing does.
QString MessageDetail(const QString& message);
