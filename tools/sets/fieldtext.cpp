#include "fieldtext.h"

#include <libxml/HTMLparser.h>

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace montera::sets {

namespace {

const char* nameOf(const xmlNode* node)
{
    return reinterpret_cast<const char*>(node->name);
}

bool isBlock(const char* name)
{
    static constexpr const char* kBlocks[] = {"div",   "p",          "li",  "ul", "ol", "tr",
                                              "table", "h1",         "h2",  "h3", "h4", "h5",
                                              "h6",    "blockquote", "pre", "hr", "dt", "dd"};
    return std::any_of(std::begin(kBlocks), std::end(kBlocks),
                       [name](const char* block) { return qstrcmp(block, name) == 0; });
}

// Collects the text of the parsed tree the way a browser lays it out in
// lines, closely enough for short flashcard fields.
class TextWriter {
public:
    void walk(const xmlNode* node)
    {
        for (; node; node = node->next) {
            if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
                appendText(QString::fromUtf8(reinterpret_cast<const char*>(node->content)));
            } else if (node->type == XML_ELEMENT_NODE) {
                const char* name = nameOf(node);
                if (qstrcmp(name, "script") == 0 || qstrcmp(name, "style") == 0)
                    continue;
                if (qstrcmp(name, "br") == 0) {
                    m_text += u'\n';
                    continue;
                }
                const bool block = isBlock(name);
                if (block)
                    breakLine();
                walk(node->children);
                if (block)
                    breakLine();
            }
        }
    }

    QString text() const { return m_text; }

private:
    void breakLine()
    {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n'))
            m_text += u'\n';
    }

    // Blanks, line ends included, collapse to one space, as HTML draws them;
    // HTML's blanks are ASCII only, so that an ideographic space stays.
    void appendText(const QString& text)
    {
        for (const QChar ch : text) {
            if (ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == u'\f') {
                if (!m_text.isEmpty() && !m_text.endsWith(u' ') && !m_text.endsWith(u'\n'))
                    m_text += u' ';
            } else {
                m_text += ch;
            }
        }
    }

    QString m_text;
};

QString htmlText(const QString& html)
{
    const QByteArray bytes = html.toUtf8();
    if (bytes.trimmed().isEmpty())
        return {};
    htmlDocPtr doc = htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, "UTF-8",
                                    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                        HTML_PARSE_NONET | HTML_PARSE_NOIMPLIED);
    if (!doc)
        return {};
    TextWriter writer;
    writer.walk(doc->children);
    xmlFreeDoc(doc);
    return writer.text();
}

// Spaces at either end of each line, and empty lines at either end, go.
QString tidied(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

} // namespace

QString fieldText(const QString& field, FieldMarkup markup)
{
    static const QRegularExpression sound(QStringLiteral("\\[sound:[^\\]]*\\]"));
    // Anki's furigana: a base of non-blanks, optionally after one space, then
    // the reading in brackets.
    static const QRegularExpression furigana(QStringLiteral(" ?([^ \\[\\]\\n]+)\\[([^\\[\\]\\n]+)\\]"));
    QString text = markup == FieldMarkup::Html ? htmlText(field) : field;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    text.replace(QChar(0xA0), u' ');
    text.remove(sound);
    text.replace(furigana, QStringLiteral("\\1（\\2）"));
    return tidied(text);
}

QString unshowableReason(const QString& field)
{
    static const QRegularExpression latex(QStringLiteral("\\[(latex|\\$\\$?)\\]"));
    static const QRegularExpression mathJax(QStringLiteral("\\\\\\(.*\\\\\\)|\\\\\\[.*\\\\\\]"),
                                            QRegularExpression::DotMatchesEverythingOption);
    if (field.contains(QStringLiteral("image-occlusion:")))
        return QStringLiteral("it is an image occlusion");
    if (field.contains(latex))
        return QStringLiteral("it uses LaTeX");
    if (field.contains(mathJax))
        return QStringLiteral("it uses MathJax");
    return {};
}

std::vector<Cloze> clozesOf(const QString& field)
{
    static const QRegularExpression cloze(QStringLiteral("\\{\\{c(\\d+)::(.*?)\\}\\}"),
                                          QRegularExpression::DotMatchesEverythingOption);
    struct Part {
        qsizetype start = 0;
        qsizetype length = 0;
        int number = 0;
        QString text;
        QString hint;
    };
    std::vector<Part> parts;
    for (auto it = cloze.globalMatch(field); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        Part part{
            match.capturedStart(), match.capturedLength(), match.captured(1).toInt(), match.captured(2), {}};
        const qsizetype split = part.text.indexOf(QStringLiteral("::"));
        if (split >= 0) {
            part.hint = part.text.mid(split + 2);
            part.text.truncate(split);
        }
        if (part.number > 0)
            parts.push_back(std::move(part));
    }
    std::map<int, Cloze> byNumber;
    for (const Part& asked : parts) {
        Cloze& entry = byNumber[asked.number];
        if (entry.number != 0) {
            entry.answer += QStringLiteral("、") + asked.text;
            continue;
        }
        entry.number = asked.number;
        entry.answer = asked.text;
        QString text;
        qsizetype at = 0;
        for (const Part& part : parts) {
            text += field.mid(at, part.start - at);
            if (part.number != asked.number)
                text += part.text;
            else if (!part.hint.isEmpty())
                text += QStringLiteral("（") + part.hint + QStringLiteral("）");
            else
                text += QStringLiteral("（　　）");
            at = part.start + part.length;
        }
        entry.question = text + field.mid(at);
    }
    std::vector<Cloze> result;
    for (auto& [number, entry] : byNumber)
        result.push_back(std::move(entry));
    return result;
}

} // namespace montera::sets
