// Writes the seed corpora of the fuzz targets into OUT/<target>/: a few
// generated question sets of each format, and the files given on the command
// line, sorted by the end of their names.
// Usage: make_seeds OUT [FILE...]

#include "codec932.h"
#include "set5tq.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

QString g_out;

void write(const QString& target, const QByteArray& bytes)
{
    const QString dir = g_out + u'/' + target;
    QDir().mkpath(dir);
    QFile file(dir + u'/' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A set for the reader's own target, the loader's (with the format byte in
// front) and the codec's.
void addSet(const QString& format, const QByteArray& bytes)
{
    const char formatByte = format == u"qiz" ? 0 : format == u"5tx" ? 1 : 2;
    write(format, bytes);
    write("load", formatByte + bytes);
    write("check", formatByte + bytes);
    write("codec", bytes.left(4096));
}

QByteArray crlf(const QStringList& lines, const char* end = "\r\n")
{
    QByteArray out;
    for (const QString& line : lines)
        out += montera::cp932::encode(line) + end;
    return out;
}

void generated()
{
    addSet("qiz",
           crlf({"[Info]", "S=見本", "C=作者", "V=1.0", "Q=日本一高い山は？", "A1=富士山", "A2=北岳",
                 "A3=奥穂高岳", "A4=間ノ岳", "A5=槍ヶ岳", "A =1", "Q=二問目", "A1=a", "A =7", "B=end"}));
    addSet("qiz", crlf({"S=T", "Q=x", "A3=c", "A1=a", "A =x"}, "\r"));

    const QStringList header{"5TX", "見本", "", "題名", "2"};
    QStringList records;
    for (int q = 0; q < 3; ++q)
        records << QStringLiteral("問題%1").arg(q) << "正解"
                << "誤り1"
                << "誤り2"
                << "誤り3"
                << "誤り4";
    addSet("5tx", crlf(header + records));
    addSet("5tx", crlf(header + records.mid(0, 8)));
    addSet("5tx", crlf(header + QStringList{"a\nb", "", "\n"} + records, "\r"));

    using testutil::Set5tq;
    const QStringList choices{"正解", "誤り", "ちがう", "No", "あ"};
    Set5tq one;
    one.section(0, "第一章", 3, 8).section(7, "", 0, 0, "見本セット.5TQ");
    for (int k = 0; k < 3; ++k)
        one.question(8 + k, QStringLiteral("問題%1はどれでしょう？").arg(k), choices);
    addSet("5tq", one.file(11));
    Set5tq two;
    two.section(0, "A", 1, 8)
        .section(3, "B", 2, 9)
        .put(7 * montera::kBlockSize, QByteArray(montera::kBlockSize, 0));
    two.question(8, "x", choices).question(9, QString(58, u'長'), {QString(14, u'あ')}).question(10, "", {});
    addSet("5tq", two.file(11));
    addSet("5tq", Set5tq().section(0, "", 2, 6).file(8));

    // Tables for the import target, behind the byte that picks CSV or TSV and
    // the encoding.
    write("import", QByteArray(1, 0) + crlf({"問題,1,2,3,4,5,答え,題名",
                                             "\"日本一\r\n高い山\",富士山,\"北\"\"岳\",c,d,e,１,山", "",
                                             "q,a,b,c,d,e, 3 "}));
    write("import",
          QByteArray(1, 3) + "\xEF\xBB\xBFq\ta\tb\tc\td\te\t2\n\xE5\xB1\xB1\ta\tb\tc\td\te\t5\tT\n");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("Usage: make_seeds OUT [FILE...]\n", stderr);
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    generated();
    // Flashcard fields as Anki keeps them, and a list as its text export writes it.
    write("fields", "<div>a&amp;b<br>c</div>[sound:x.mp3] 日本[にほん]");
    write("fields", "{{c1::東京::首都}}は{{c2::日本}}の{{c1::都}}[$]x[/$]");
    write("pairs", QByteArray(1, 1) + "#separator:tab\n#html:true\n#tags column:3\n犬\tdog<br>\tt\n");
    for (int i = 2; i < argc; ++i) {
        const QString name = QString::fromLocal8Bit(argv[i]);
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.read(64 * 1024);
        const QString format = QFileInfo(name).suffix().toLower();
        if (format == u"qiz" || format == u"5tx" || format == u"5tq")
            addSet(format, bytes);
        else if (format == u"csv") {
            write("import", QByteArray(1, 0) + bytes);
            write("pairs", QByteArray(1, 0) + bytes);
        } else
            write("codec", bytes.left(4096));
    }
    return 0;
}
