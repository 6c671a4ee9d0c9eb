#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QStringList placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    QStringList found;
    for (const QRegularExpressionMatch &match : marker.globalMatch(text))
        found.append(match.captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What is wrong with the messages of a .ts file, one line each.
QStringList problemsIn(const QByteArray &ts)
{
    QStringList problems;
    QXmlStreamReader xml(ts);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            QString problem;
            if (!type.isEmpty())
                problem = type;
            else if (text.isEmpty())
                problem = QStringLiteral("not translated");
            else if (hasChinese(text))
                problem = QStringLiteral("Chinese in \"%1\"").arg(text);
            else if (placeholders(text) != placeholders(source))
                problem = QStringLiteral("other placeholders in \"%1\"").arg(text);
            if (!problem.isEmpty())
                problems.append(QStringLiteral("%1 \"%2\": %3").arg(context, source, problem));
        }
    }
    if (xml.hasError())
        problems.append(QStringLiteral("not readable: %1").arg(xml.errorString()));
    return problems;
}

} // namespace

// The English translation: complete, and made from the sources as they are.
class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void completeAndUpToDate();
};

void TestTranslations::completeAndUpToDate()
{
    // lupdate works on a copy: the test never changes the file it checks.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("copy.ts"));
    const QByteArray committed = readAll(QStringLiteral(TS_FILE));
    QVERIFY(!committed.isEmpty());
    QFile out(copy);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(committed) == committed.size());
    out.close();

    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(LUPDATE_PROGRAM),
                  { QStringLiteral("@" TRANSLATED_SOURCES), QStringLiteral("-ts"), copy,
                    QStringLiteral("-locations"), QStringLiteral("none"),
                    QStringLiteral("-source-language"), QStringLiteral("zh_CN"),
                    QStringLiteral("-target-language"), QStringLiteral("en") });
    QVERIFY(lupdate.waitForFinished(120000));
    const QByteArray said = lupdate.readAll();
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             said.constData());

    const QByteArray updated = readAll(copy);
    QStringList problems = problemsIn(updated);
    if (updated != committed)
        problems.prepend(QStringLiteral("the sources have other texts than the translation: run "
                                        "cmake --build build --target update_translations"));
    // QtTest cuts long messages: one line each in the log.
    for (const QString &problem : std::as_const(problems))
        qWarning("%s", qPrintable(problem));
    QVERIFY2(problems.isEmpty(),
             qPrintable(QStringLiteral("%1 problems, listed above").arg(problems.size())));
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
