#pragma once

#include <QString>

class QTabWidget;
class QWidget;

// The tab pages of the settings window and the data viewer.
namespace TabPages {

// A new empty page with its object name, added as the last tab.
QWidget* addPage(QTabWidget* pages, const QString& objectName, const QString& caption);
// Lays `content` out over the whole of `page`.
void fill(QWidget* page, QWidget* content);

}  // namespace TabPages
