#pragma once

#include <QDateTime>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

#include <algorithm>

// The moments a PDF's chart labels its time axis with, earliest first, read
// with poppler's word boxes: a label is a time with its date right below it,
// where every other moment of a report stands on one line. Empty when the
// file cannot be read.
inline QList<QDateTime> PdfChartAxisMoments(const QString& path)
{
    QProcess words;
    words.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!words.waitForFinished(60000) || words.exitCode() != 0)
        return {};
    struct Word {
        int page;
        double xMin, yMin, xMax, yMax;
        QString text;
    };
    QList<Word> times;
    QList<Word> dates;
    const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"));
    QXmlStreamReader xml(words.readAllStandardOutput());
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
            continue;
        }
        if (xml.name() != QLatin1String("word"))
            continue;
        const QXmlStreamAttributes box = xml.attributes();
        const Word word{page, box.value("xMin").toDouble(), box.value("yMin").toDouble(),
                        box.value("xMax").toDouble(), box.value("yMax").toDouble(), xml.readElementText()};
        if (time.match(word.text).hasMatch())
            times << word;
        else if (date.match(word.text).hasMatch())
            dates << word;
    }
    QList<QDateTime> moments;
    for (const Word& t : times) {
        const double lineHeight = t.yMax - t.yMin;
        for (const Word& d : dates) {
            const bool below = d.page == t.page && d.yMin >= t.yMax - lineHeight / 2 && d.yMin <= t.yMax + lineHeight;
            if (below && d.xMin < t.xMax && d.xMax > t.xMin) {
                moments << QDateTime::fromString(d.text + u' ' + t.text, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
                break;
            }
        }
    }
    std::sort(moments.begin(), moments.end());
    return moments;
}
