#pragma once

class QCoreApplication;
class QLocale;

// Qt's own texts (dialog buttons, file dialogs, context menus) in the format
// locale's language: Russian under a Russian or a C/POSIX locale. False when
// the system has no translation for that language; Qt's English stays then.
bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale);
