#include "qizwriter.h"

#include <QSaveFile>

namespace montera::sets {

namespace {

QString withoutCr(QString text)
{
    return text.remove(u'\r');
}

// The message for the first character of the text that code page 932 cannot
// hold, or an empty string.
QString unencodableIn(const QString& text)
{
    const qsizetype at = cp932::firstUnencodable(text);
    if (at < 0)
        return QString();
    const char32_t code = QStringView(text).mid(at).toUcs4().value(0);
    return QStringLiteral("the character \"%1\" (U+%2) has no code in code page 932; write the set with "
                          "--encoding utf-8")
        .arg(QString::fromUcs4(&code, 1), QString::number(code, 16).toUpper().rightJustified(4, u'0'));
}

} // namespace

WrittenSet setFromBank(const QuestionBank& bank)
{
    WrittenSet set;
    set.title = withoutCr(bank.SetTitle);
    set.creator = withoutCr(bank.SetCreator);
    set.version = withoutCr(bank.SetVersion);
    for (int q = 0; q <= bank.LastQuestion; ++q) {
        WrittenQuestion question;
        question.title = withoutCr(bank.QuestionTitle[q]);
        question.text = withoutCr(bank.QuestionText[q]);
        for (int c = 0; c < kChoiceCount; ++c)
            question.choices[c] = withoutCr(bank.Choices[q][c]);
        question.answer = bank.AnswerIndex[q] + 1;
        question.origin = QStringLiteral("question %1").arg(q + 1);
        set.questions.push_back(std::move(question));
    }
    return set;
}

std::vector<Unencodable> unencodableCharacters(const WrittenSet& set, TextEncoding encoding)
{
    std::vector<Unencodable> messages;
    // UTF-8 holds every character the bank can.
    if (encoding == TextEncoding::Utf8)
        return messages;
    const QString setStrings[] = {set.title, set.creator, set.version};
    const char* names[] = {"set title", "creator", "version"};
    for (int i = 0; i < 3; ++i) {
        const QString message = unencodableIn(setStrings[i]);
        if (!message.isEmpty())
            messages.push_back(
                {QString(), QStringLiteral("the %1: ").arg(QLatin1String(names[i])) + message});
    }
    for (const WrittenQuestion& question : set.questions) {
        QString message = unencodableIn(question.title + question.text);
        for (const QString& choice : question.choices) {
            if (message.isEmpty())
                message = unencodableIn(choice);
        }
        if (!message.isEmpty())
            messages.push_back({question.origin, message});
    }
    return messages;
}

QByteArray qizBytes(const WrittenSet& set, TextEncoding encoding)
{
    QString text;
    const auto line = [&text](QStringView tag, const QString& value) {
        text += tag;
        text += value;
        text += u"\r\n";
    };
    line(u"S=", set.title);
    line(u"C=", set.creator);
    line(u"V=", set.version);
    QString current = set.title;
    for (const WrittenQuestion& question : set.questions) {
        if (question.title != current) {
            line(u"S=", question.title);
            current = question.title;
        }
        line(u"Q=", question.text);
        for (int c = 0; c < kChoiceCount; ++c)
            line(QStringLiteral("A%1=").arg(c + 1), question.choices[c]);
        line(u"A =", QString::number(question.answer));
    }
    if (current != set.title)
        line(u"S=", set.title);
    if (encoding == TextEncoding::Utf8)
        return QByteArray(kUtf8Bom) + text.toUtf8();
    return cp932::encode(text);
}

bool writeFileAtomically(const QString& fileName, const QByteArray& bytes, QString& error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace montera::sets
