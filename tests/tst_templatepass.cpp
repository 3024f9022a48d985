// The template pass, the date formats and the template library.
#include "core/DateFormats.h"
#include "core/FileIO.h"
#include "core/TemplateLibrary.h"
#include "core/TemplatePass.h"
#include "support/TestEnv.h"

#include <QRegularExpression>

namespace {

// Answers from a script ("<default>" takes the offered answer) and records
// everything the pass asked and did.
struct ScriptedHost : TemplatePass::Host {
    QStringList answers;
    QStringList existing;
    QString docTitle = QStringLiteral("Untitled");
    QStringList prompts, messages, opened;
    QString text;
    QStringList textAtPrompt; // the document's text when each box opened
    int textsSet = 0, titlesSet = 0;

    QString title() const override { return docTitle; }
    void setTitle(const QString &t) override
    {
        docTitle = t;
        ++titlesSet;
    }
    QString inputBox(const QString &prompt, const QString &t, const QString &defaultText) override
    {
        prompts << t;
        textAtPrompt << text;
        if (!prompt.startsWith(QLatin1String("You've been requested to provide information for any field(s) with quote {"))
            || !prompt.endsWith(QLatin1String("}\r\n Please enter a data to replace all fields with")) || defaultText != t.mid(7))
            qFatal("wrong prompt");
        const QString a = answers.isEmpty() ? QString() : answers.takeFirst();
        return a == QLatin1String("<default>") ? defaultText : a;
    }
    void message(const QString &m) override { messages << m; }
    QString whyNotFile(const QString &path) const override
    {
        return existing.contains(path) ? QString() : QStringLiteral("Not Found");
    }
    void open(const QString &path) override { opened << path; }
    void setText(const QString &t) override
    {
        text = t;
        ++textsSet;
    }
};

QString field(const QString &label)
{
    return QStringLiteral("<QRLPROMPT>") + label + QStringLiteral("</QRLPROMPT>");
}

} // namespace

class TestTemplatePass : public QObject
{
    Q_OBJECT

private slots:
    void tagPass_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("answers");  // "" cancels
        QTest::addColumn<QStringList>("existing"); // files a link may open
        QTest::addColumn<QString>("after");        // "" when the text stays
        QTest::addColumn<QStringList>("prompts");  // the boxes' titles, in order
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("opened");
        using L = QStringList;
        const QString letter = QStringLiteral("<QRLTITLE>Invoice</QRLTITLE>\r\nDear ") + field(QStringLiteral("Customer"))
                               + QStringLiteral(",\r\nYour order has shipped, ") + field(QStringLiteral("Customer"))
                               + QStringLiteral(".\r\n<QRLMESSAGE>Remember to sign the letter</QRLMESSAGE>\r\n");
        QString answered = letter;
        answered.replace(field(QStringLiteral("Customer")), QStringLiteral("Ann Lee"));
        QTest::newRow("no tags") << "plain <qrlprompt>x</qrlprompt> <QRLPROMPT >y</QRLPROMPT>" << L{} << L{} << "" << L{}
                                 << L{} << "Untitled" << L{};
        QTest::newRow("letter") << letter << L{"Ann Lee"} << L{} << answered << L{"Fields Customer"}
                                << L{"Invoice: \r\nRemember to sign the letter"} << "Invoice" << L{};
        QTest::newRow("cancel, then answer") << field("A") + " and " + field("A") << L{"", "x"} << L{} << "x and x"
                                             << L{"Fields A", "Fields A"} << L{} << "Untitled" << L{};
        QTest::newRow("accepting the default") << "Owner: " + field("Company Name") << L{"<default>"} << L{}
                                               << "Owner: Company Name" << L{"Fields Company Name"} << L{} << "Untitled" << L{};
        QTest::newRow("labels and case") << field("Name") + " " + field("name") + " <qrlprompt>Name</qrlprompt>"
                                         << L{"N1", "n2"} << L{} << "N1 n2 <qrlprompt>Name</qrlprompt>"
                                         << L{"Fields Name", "Fields name"} << L{} << "Untitled" << L{};
        QTest::newRow("three fields, one box") << field("q") + field("q") + field("q") << L{"z"} << L{} << "zzz"
                                               << L{"Fields q"} << L{} << "Untitled" << L{};
        QTest::newRow("link built from a prompt") << "<QRLLINK>" + field("Notes file") + "</QRLLINK>" << L{"/n.txt"}
                                                  << L{"/n.txt"} << "<QRLLINK>/n.txt</QRLLINK>" << L{"Fields Notes file"}
                                                  << L{} << "Untitled" << L{"/n.txt"};
        QTest::newRow("link not found") << "<QRLLINK>/none.txt</QRLLINK>" << L{} << L{} << "" << L{}
                                        << L{"Link File: /none.txt\r\nNot Found"} << "Untitled" << L{};
        QTest::newRow("unclosed element") << "<QRLPROMPT>Name" << L{} << L{} << "" << L{} << L{} << "Untitled" << L{};
        QTest::newRow("answer holding a field") << field("a") << L{"1" + field("x"), "2"} << L{} << "12"
                                                << L{"Fields a", "Fields x"} << L{} << "Untitled" << L{};
        QTest::newRow("answer with \\ { } é, entered as typed") << "[" + field("p") + "]" << L{"C:\\new {x} é"} << L{}
                                                                << "[C:\\new {x} é]" << L{"Fields p"} << L{} << "Untitled" << L{};
        QTest::newRow("answer holding a tag that is no field") << field("p") << L{"<QRLMESSAGE>hi</QRLMESSAGE>"} << L{}
                                                               << "<QRLMESSAGE>hi</QRLMESSAGE>" << L{"Fields p"}
                                                               << L{"Untitled: \r\nhi"} << "Untitled" << L{};
        QTest::newRow("label shown decoded") << field("Café \\ {1}") << L{"ok"} << L{} << "ok" << L{"Fields Café \\ {1}"}
                                             << L{} << "Untitled" << L{};
        QTest::newRow("two titles: the later wins") << "<QRLTITLE>One</QRLTITLE><QRLTITLE>Two</QRLTITLE>" << L{} << L{}
                                                    << "" << L{} << L{} << "Two" << L{};
        QTest::newRow("a title holding a field takes the tags") << "<QRLTITLE>" + field("T") + "</QRLTITLE>" << L{"t"}
                                                                << L{} << "<QRLTITLE>t</QRLTITLE>" << L{"Fields T"} << L{}
                                                                << field("T") << L{};
        QTest::newRow("same-name elements do not nest")
            << "<QRLMESSAGE>a<QRLMESSAGE>b</QRLMESSAGE></QRLMESSAGE>" << L{} << L{} << "" << L{}
            << L{"Untitled: \r\na<QRLMESSAGE>b", "Untitled: \r\nb"} << "Untitled" << L{};
        QTest::newRow("element past 40,000 characters") << QString(40000, u'x') + field("far") << L{"near"} << L{}
                                                        << QString(40000, u'x') + "near" << L{"Fields far"} << L{}
                                                        << "Untitled" << L{};
        QTest::newRow("A cancelled, B answered, A answered longer")
            << field("A") + " " + field("B") + " " + field("A") << L{"", "b", "longer a"} << L{} << "longer a b longer a"
            << L{"Fields A", "Fields B", "Fields A"} << L{} << "Untitled" << L{};
        QTest::newRow("64k nested titles: the innermost wins")
            << QString(65536, u'.').replace(u'.', "<QRLTITLE>") + "t" + QString(65536, u'.').replace(u'.', "</QRLTITLE>")
            << L{} << L{} << "" << L{} << L{} << "t" << L{};
        QTest::newRow("QRLIMAGE does nothing") << "<QRLIMAGE>x.png</QRLIMAGE>" << L{} << L{"x.png"} << "" << L{} << L{}
                                               << "Untitled" << L{};
    }

    void tagPass()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, existing);
        QFETCH(QString, after);
        QFETCH(QStringList, prompts);
        QFETCH(QStringList, messages);
        QFETCH(QString, title);
        QFETCH(QStringList, opened);
        ScriptedHost host;
        host.answers = answers;
        host.existing = existing;
        TemplatePass::ExecuteTemplateTags(before, host);
        QCOMPARE(host.prompts, prompts);
        QCOMPARE(host.messages, messages);
        QCOMPARE(host.docTitle, title);
        QVERIFY(host.titlesSet <= 1); // the last title only
        QCOMPARE(host.opened, opened);
        QCOMPARE(host.textsSet > 0, !after.isEmpty());
        if (!after.isEmpty())
            QCOMPARE(host.text, after);
    }

    // Each answer is in the document before the next box asks.
    void eachAnswerIsShownAtOnce()
    {
        const QString before = field("A") + " " + field("B");
        ScriptedHost host;
        host.answers = QStringList{"a", "b"};
        host.text = before;
        TemplatePass::ExecuteTemplateTags(before, host);
        QCOMPARE(host.textAtPrompt, (QStringList{before, "a " + field("B")}));
        QCOMPARE(host.text, QStringLiteral("a b"));
    }

    // The form's fill: the labels once each, then every answered label's
    // fields replaced as the pass replaces them, unanswered ones kept.
    void fillFields_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("answers"); // one per label, "" leaves its fields
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QString>("after");
        using L = QStringList;
        QTest::newRow("groups, case, an empty answer")
            << field("A") + field("b") + " " + field("A") + field("B") << L{"A", "b", "B"} << L{"x", "", "{\\y}"} << -1
            << "x" + field("b") + " x{\\y}";
        QTest::newRow("an answer holding a field is not searched again") << field("A") + field("x") << L{"A", "x"}
                                                                         << L{field("x"), "2"} << -1 << field("x") + "2";
        QTest::newRow("nested: the outer label unanswered, the inner filled")
            << "<QRLPROMPT>a" + field("b") << L{"a<QRLPROMPT>b", "b"} << L{"", "B"} << -1 << "<QRLPROMPT>aB";
        QTest::newRow("unclosed and lower-case tags stay") << "<qrlprompt>A</qrlprompt><QRLPROMPT>A" << L{} << L{} << -1
                                                           << "<qrlprompt>A</qrlprompt><QRLPROMPT>A";
        QTest::newRow("preview: the first lines only") << "1\r\n" + field("A") + "\r\n3\r\n" + field("A")
                                                       << L{"A"} << L{"two"} << 2 << "1\r\ntwo\r\n";
        QTest::newRow("preview: an answer of several lines")
            << field("A") + "\r\nlast" << L{"A"} << L{"1\r\n2\r\n3"} << 2 << "1\r\n2\r\n";
    }

    void fillFields()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, answers);
        QFETCH(int, maxLines);
        QFETCH(QString, after);
        QCOMPARE(TemplatePass::promptLabels(before), labels);
        QHash<QString, QString> given;
        for (int i = 0; i < labels.size(); ++i)
            given.insert(labels[i], answers[i]);
        QCOMPARE(TemplatePass::fillFields(before, given, maxLines), after);
    }

    void dateFormats_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("English") << "en_GB"
                                 << QStringList{"05/12/2026", "05/Dec/2026", "Saturday December 5, 2026", "December 5, 2026",
                                                "Sat Dec 5, 2026"};
        QTest::newRow("US English") << "en_US"
                                    << QStringList{"05/12/2026", "05/Dec/2026", "Saturday December 5, 2026", "December 5, 2026",
                                                   "Sat Dec 5, 2026"};
        // A name's own dot before the separator would double it.
        QTest::newRow("German") << "de_DE"
                                << QStringList{"05.12.2026", "05.Dez.2026", "Samstag Dezember 5, 2026", "Dezember 5, 2026",
                                               "Sa. Dez. 5, 2026"};
        QTest::newRow("French") << "fr_FR"
                                << QStringList{"05/12/2026", "05/déc/2026", "samedi décembre 5, 2026", "décembre 5, 2026",
                                               "sam. déc. 5, 2026"};
    }

    void dateFormats()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, entries);
        QCOMPARE(DateFormats::entries(QDate(2026, 12, 5), QLocale(locale)), entries);
    }

    void previewCountsCharacters_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        const QString seventy(70, u'a');
        QTest::newRow("70 characters: all") << seventy.toUtf8() << seventy;
        QTest::newRow("71 characters: 70") << (seventy + u'b').toUtf8() << seventy;
        QTest::newRow("multi-byte at the cut") << (QString(69, u'a') + "é€😀").toUtf8() << QString(69, u'a') + "é";
        QTest::newRow("400 euro signs") << QString(400, u'€').toUtf8() << QString(70, u'€');
    }

    void previewCountsCharacters()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("t.tet")), file));
        QCOMPARE(TemplateLibrary::preview(dir.filePath(QStringLiteral("t.tet"))), shown);
        QCOMPARE(TemplateLibrary::preview(dir.filePath(QStringLiteral("gone.tet"))), QString());
    }

    // One entry fails among several: the others are copied under their
    // installed names (blanks turned into "_"; of two with the same name the
    // later replaces the first only when allowed), the failure is named, and
    // the installed file it would have replaced is untouched, as is an entry
    // that already is installed.
    void installCopiesWhatItCan()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("Templates"));
        QDir(dir.path()).mkpath(QStringLiteral("a folder"));
        const QString tdir = dir.filePath(QStringLiteral("Templates"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("one.tet")), "1"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("two words.tet")), "2"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("a folder/two words.tet")), "2b"));
        QVERIFY(writeBytes(tdir + QStringLiteral("/missing.tet"), "installed before"));
        QVERIFY(writeBytes(tdir + QStringLiteral("/self.tet"), "itself"));
        QStringList asked;
        const auto allow = [&](bool yes) {
            return [&asked, yes](const QString &entry, const QString &installed) {
                asked << QFileInfo(entry).dir().dirName() + u'>' + QFileInfo(installed).fileName();
                return yes;
            };
        };
        const QStringList failures = TemplateLibrary::install(
            {dir.filePath(QStringLiteral("one.tet")), dir.filePath(QStringLiteral("missing.tet")),
             dir.filePath(QStringLiteral("two words.tet")), dir.filePath(QStringLiteral("a folder/two words.tet")),
             tdir + QStringLiteral("/self.tet"), QString()},
            tdir, allow(true));
        QCOMPARE(asked, QStringList{QStringLiteral("a folder>two_words.tet")});
        // The same text again asks nothing; other text kept when refused.
        QVERIFY(TemplateLibrary::install({dir.filePath(QStringLiteral("a folder/two words.tet")),
                                          dir.filePath(QStringLiteral("two words.tet"))}, tdir, allow(false)).isEmpty());
        QCOMPARE(asked.size(), 2);
        QCOMPARE(failures.size(), 2);
        QVERIFY2(failures[0].contains(QLatin1String("missing.tet: File not found")), qPrintable(failures[0]));
        QCOMPARE(fileBytes(tdir + QStringLiteral("/one.tet")), QByteArray("1"));
        QCOMPARE(fileBytes(tdir + QStringLiteral("/two_words.tet")), QByteArray("2b"));
        QCOMPARE(fileBytes(tdir + QStringLiteral("/missing.tet")), QByteArray("installed before"));
        QCOMPARE(fileBytes(tdir + QStringLiteral("/self.tet")), QByteArray("itself"));
        // A templates folder that is gone: every entry fails, with the reason.
        QCOMPARE(TemplateLibrary::install({dir.filePath(QStringLiteral("one.tet"))}, dir.filePath(QStringLiteral("no")), allow(true)),
                 QStringList{dir.filePath(QStringLiteral("one.tet")) + QStringLiteral(": Path not found")});
    }

    void listAndShippedTemplates()
    {
        QTemporaryDir dir;
        const QString tdir = dir.filePath(QStringLiteral("Templates"));
        QCOMPARE(TemplateLibrary::prepareDirectory(tdir, dir.filePath(QStringLiteral("not installed"))), QString());
        const QStringList shipped = TemplateLibrary::list(tdir);
        QCOMPARE(shipped.size(), 4);
        for (const QString &name : shipped) {
            const QString text = QString::fromUtf8(fileBytes(tdir + u'/' + name));
            for (const char *tag : {"<QRLTITLE>", "<QRLMESSAGE>", "<QRLLINK>"})
                QVERIFY2(text.count(QLatin1String(tag)) == 1, tag);
            QStringList labels;
            for (auto it = QRegularExpression(QStringLiteral("<QRLPROMPT>([^<]*)</QRLPROMPT>")).globalMatch(text); it.hasNext();)
                labels << it.next().captured(1);
            QVERIFY2(labels.removeDuplicates() > 0, qPrintable(name)); // a label asked once for several fields
        }
        // Emptied by the user, the folder stays empty; names match in any case.
        for (const QString &name : shipped)
            QVERIFY(QFile::remove(tdir + u'/' + name));
        for (const char *name : {"a.TeT", "b.orv", "c.Tep", "d.txt", "e.tet.bak"})
            QVERIFY(writeBytes(tdir + u'/' + QLatin1String(name), "x"));
        QCOMPARE(TemplateLibrary::prepareDirectory(tdir), QString());
        QCOMPARE(TemplateLibrary::list(tdir), (QStringList{"a.TeT", "b.orv", "c.Tep"}));
        QCOMPARE(TemplateLibrary::prepareDirectory(dir.filePath(QStringLiteral("no/such/Templates"))),
                 QStringLiteral("No such file or directory"));
        // An installed folder is copied instead of the built-in templates.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("share")) && writeBytes(dir.filePath(QStringLiteral("share/site.tet")), "ours"));
        QCOMPARE(TemplateLibrary::prepareDirectory(dir.filePath(QStringLiteral("New")), dir.filePath(QStringLiteral("share"))), QString());
        QCOMPARE(TemplateLibrary::list(dir.filePath(QStringLiteral("New"))), QStringList{"site.tet"});
    }
};

ORVANE_CORE_TEST_MAIN(TestTemplatePass)
#include "tst_templatepass.moc"
