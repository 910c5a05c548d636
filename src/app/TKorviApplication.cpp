#include "app/TKorviApplication.h"

#include "app/QtTranslations.h"
#include "data/SystemFile.h"
#include "settings/PageControls.h"
#include "text/FormatLocale.h"
#include "text/MessageText.h"

#include <QFont>

#include <exception>

TKorviApplication::TKorviApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("korvi-monitor"));
    setApplicationDisplayName(QStringLiteral("KORVI USB Монитор"));
    // The windows are laid out for Tahoma 11 px; where it is missing the
    // platform picks its closest sans-serif.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    setQuitOnLastWindowClosed(false);
    // A save into a pipe whose reader closed early is an error box, not the end of every window.
    IgnoreBrokenPipes();
    InstallQtTranslations(*this, FormatLocale());
}

bool TKorviApplication::notify(QObject* receiver, QEvent* event)
{
    // What the exception says, often a library's English, is the detail.
    const QString line = QStringLiteral("Действие прервано из-за ошибки в программе");
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(WithDetail(line, QString::fromUtf8(error.what())));
    } catch (...) {
        ShowErrorBox(line);
    }
    return false;
}

void TKorviApplication::ShowErrorBox(const QString& message)
{
    ::ShowErrorBox(activeWindow(), message);
}
