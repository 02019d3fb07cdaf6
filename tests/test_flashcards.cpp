#include "csvrows.h"
#include "distractors.h"
#include "fieldtext.h"
#include "flashcardset.h"
#include "pairtable.h"
#include "textfit.h"

#include <QTest>

#include <set>

using namespace montera;
using namespace montera::sets;

// Flashcards made into questions: the text of fields, the window's limits,
// the two-column list, the wrong choices and the sets of a deck.
class TestFlashcards : public QObject {
    Q_OBJECT

private slots:
    void fieldText_data();
    void fieldText();
    void unshowable_data();
    void unshowable();
    void clozes_data();
    void clozes();
    void fit_data();
    void fit();
    void pairs_data();
    void pairs();
    void wrongChoicesAreNeverRight();
    void wrongChoicesShareTheAnswersKind_data();
    void wrongChoicesShareTheAnswersKind();
    void choicesAreReproducibleAndStable();
    void tooFewAnswers();
    void skippedCards_data();
    void skippedCards();
    void largeDeckIsSplit();
    void fileStem_data();
    void fileStem();
};

namespace {

Card card(const QString& question, const QString& answer, const QString& origin = {})
{
    return Card{question, answer, origin.isEmpty() ? question : origin, {}};
}

// Cards "q0".."qN" whose answers are the given texts.
std::vector<Card> cardsWithAnswers(const QStringList& answers)
{
    std::vector<Card> cards;
    for (qsizetype i = 0; i < answers.size(); ++i)
        cards.push_back(card(QStringLiteral("q%1").arg(i), answers[i]));
    return cards;
}

QStringList wrongChoices(const WrittenQuestion& question)
{
    QStringList wrong;
    for (int c = 0; c < kChoiceCount; ++c) {
        if (c + 1 != question.answer)
            wrong << question.choices[size_t(c)];
    }
    return wrong;
}

} // namespace

void TestFlashcards::fieldText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("html");
    QTest::addColumn<QString>("text");

    QTest::newRow("br and div break lines") << "a<br>b<div>c</div>d" << true << "a\nb\nc\nd";
    QTest::newRow("entities decoded, blanks collapsed") << " &lt;x&gt;&nbsp;&amp;\n  y " << true << "<x> & y";
    QTest::newRow("markup dropped, style and script with it")
        << "<b>太</b><span style=\"x\">字</span><style>p{}</style><script>1</script>" << true << "太字";
    QTest::newRow("sound dropped") << "犬[sound:inu.mp3]" << true << "犬";
    QTest::newRow("furigana in brackets")
        << "私は 日本語[にほんご]を話す" << true << "私は日本語（にほんご）を話す";
    QTest::newRow("empty paragraphs at the ends") << "<div><br></div><p>x</p><div></div>" << true << "x";
    QTest::newRow("plain text keeps what looks like tags") << "<b>x</b>" << false << "<b>x</b>";
    QTest::newRow("a picture only is empty") << "<img src=\"a.png\">" << true << "";
}

void TestFlashcards::fieldText()
{
    QFETCH(QString, field);
    QFETCH(bool, html);
    QFETCH(QString, text);
    QCOMPARE(sets::fieldText(field, html ? FieldMarkup::Html : FieldMarkup::PlainText), text);
}

void TestFlashcards::unshowable_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("reason");

    QTest::newRow("LaTeX") << "[latex]x^2[/latex]"
                           << "it uses LaTeX";
    QTest::newRow("LaTeX math") << "[$$]x[/$$]"
                                << "it uses LaTeX";
    QTest::newRow("MathJax inline") << "\\(x^2\\)"
                                    << "it uses MathJax";
    QTest::newRow("MathJax display") << "a \\[x\\] b"
                                     << "it uses MathJax";
    QTest::newRow("image occlusion") << "{{c1::image-occlusion:rect:left=.1}}"
                                     << "it is an image occlusion";
    QTest::newRow("brackets alone are text") << "[a] (b)"
                                             << "";
}

void TestFlashcards::unshowable()
{
    QFETCH(QString, field);
    QFETCH(QString, reason);
    QCOMPARE(unshowableReason(field), reason);
}

void TestFlashcards::clozes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("made"); // "number|question|answer"

    QTest::newRow("each number asked, the others shown")
        << "{{c1::東京}}は{{c2::日本}}の首都"
        << QStringList{"1|（　　）は日本の首都|東京", "2|東京は（　　）の首都|日本"};
    QTest::newRow("a hint in the gap") << "水は{{c1::100::温度}}℃" << QStringList{"1|水は（温度）℃|100"};
    QTest::newRow("one number twice is asked at once")
        << "{{c1::a}} {{c2::b}} {{c1::c}}" << QStringList{"1|（　　） b （　　）|a、c", "2|a （　　） c|b"};
    QTest::newRow("no cloze") << "plain" << QStringList{};
}

void TestFlashcards::clozes()
{
    QFETCH(QString, field);
    QFETCH(QStringList, made);
    QStringList got;
    for (const Cloze& cloze : clozesOf(field))
        got << QStringLiteral("%1|%2|%3").arg(cloze.number).arg(cloze.question, cloze.answer);
    QCOMPARE(got, made);
}

void TestFlashcards::fit_data()
{
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("questionFits");
    QTest::addColumn<bool>("choiceFits");

    QTest::newRow("33 full-width characters fit a choice")
        << "q" << QString(33, QChar(u'あ')) << true << true;
    QTest::newRow("34 do not") << "q" << QString(34, QChar(u'あ')) << true << false;
    QTest::newRow("67 half-width fit") << "q" << QString(67, QChar(u'a')) << true << true;
    QTest::newRow("68 do not") << "q" << QString(68, QChar(u'a')) << true << false;
    QTest::newRow("a line break in a choice") << "q"
                                              << "a\nb" << true << false;
    QTest::newRow("six lines of question fit") << QStringLiteral("a\nb\nc\nd\ne\nf") << "x" << true << true;
    QTest::newRow("seven do not") << QStringLiteral("a\nb\nc\nd\ne\nf\ng") << "x" << false << true;
    QTest::newRow("six wrapped lines of 28 full-width")
        << QString(28 * 6, QChar(u'漢')) << "x" << true << true;
    QTest::newRow("one more character wraps to a seventh")
        << QString(28 * 6 + 1, QChar(u'漢')) << "x" << false << true;
}

void TestFlashcards::fit()
{
    QFETCH(QString, question);
    QFETCH(QString, choice);
    QFETCH(bool, questionFits);
    QFETCH(bool, choiceFits);
    QCOMPARE(questionFitProblem(question).isEmpty(), questionFits);
    QCOMPARE(choiceFitProblem(choice).isEmpty(), choiceFits);
}

void TestFlashcards::pairs_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<bool>("tabs");
    QTest::addColumn<bool>("heading");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QStringList>("cards");    // "row|question|answer"
    QTest::addColumn<QStringList>("problems"); // "row|message"

    QTest::newRow("CSV, quoted cells, empty rows")
        << QByteArray("\xEF\xBB\xBF犬,dog\r\n\r\n\"a,b\",\"c\"\"d\"\r\n") << false << false << ""
        << "" << false << QStringList{"1|犬|dog", "3|a,b|c\"d"} << QStringList{};
    QTest::newRow("Anki's export headers; other # lines are data")
        << QByteArray("#separator:Semicolon\n#html:true\n#tags column:3\n#note\t:x;y;tag\nq;a<br>;t\n")
        << true << false << ""
        << "" << false << QStringList{"4|#note :x|y", "5|q|a"} << QStringList{};
    QTest::newRow("html false keeps markup")
        << QByteArray("#html:false\n<i>q</i>\ta\n") << true << false << ""
        << "" << false << QStringList{"2|<i>q</i>|a"} << QStringList{};
    QTest::newRow("dropped guid and notetype columns")
        << QByteArray("#separator:tab\n#guid column:1\n#notetype column:2\ng\tBasic\tq\ta\n") << true << false
        << ""
        << "" << false << QStringList{"4|q|a"} << QStringList{};
    QTest::newRow("columns named by the header, picked by name")
        << QByteArray("#columns:Word\tReading\tMeaning\n山\tやま\tmountain\n") << true << false << "meaning"
        << "Reading" << false << QStringList{"2|mountain|やま"} << QStringList{};
    QTest::newRow("a heading row, columns by number, reversed")
        << QByteArray("a,b,c\n1,2,3\n") << false << true << "1"
        << "3" << true << QStringList{"2|3|1"} << QStringList{};
    QTest::newRow("a row of one cell")
        << QByteArray("q,a\nalone\n") << false << false << ""
        << "" << false << QStringList{"1|q|a"}
        << QStringList{"2|one cell; a card takes two: the question and the answer"};
    QTest::newRow("an unknown column name")
        << QByteArray("q,a\n") << false << true << "Front"
        << "" << false << QStringList{} << QStringList{"|no column is named Front"};
    QTest::newRow("a broken quote") << QByteArray("q,a\n\"x,y\n") << false << false << ""
                                    << "" << false << QStringList{"1|q|a"}
                                    << QStringList{"2|" + kBrokenQuote};
}

void TestFlashcards::pairs()
{
    QFETCH(QByteArray, list);
    QFETCH(bool, tabs);
    QFETCH(bool, heading);
    QFETCH(QString, question);
    QFETCH(QString, answer);
    QFETCH(bool, reversed);
    QFETCH(QStringList, cards);
    QFETCH(QStringList, problems);
    CardProblems found;
    FieldChoice fields{question, answer, reversed ? FieldChoice::Side::Reversed : FieldChoice::Side::AsNamed};
    const Deck deck = readPairTable(list, tabs ? TableFormat::Tsv : TableFormat::Csv,
                                    heading ? HeadingRow::Present : HeadingRow::Absent, fields, found);
    QStringList got;
    for (const Card& card : deck.cards)
        got << card.origin + u'|' + card.question + u'|' + card.answer;
    QCOMPARE(got, cards);
    QStringList gotProblems;
    for (const CardProblem& problem : found)
        gotProblems << problem.where + u'|' + problem.message;
    QCOMPARE(gotProblems, problems);
}

void TestFlashcards::wrongChoicesAreNeverRight()
{
    // Ｄｏｇ and " dog" are the answer under NFKC, trimming and case folding;
    // "hound" is right for another card with the same question.
    std::vector<Card> cards =
        cardsWithAnswers({"cat", "bird", "fish", "horse", "cow", "Ｄｏｇ", " dog", "DOG"});
    cards.push_back(card(QStringLiteral("犬"), QStringLiteral("dog")));
    cards.push_back(card(QStringLiteral("犬"), QStringLiteral("hound")));
    CardProblems problems;
    const std::vector<WrittenQuestion> questions = questionsOf(cards, kDefaultSeed, problems);
    QCOMPARE(questions.size(), cards.size());
    for (const WrittenQuestion& question : questions) {
        std::set<QString> keys;
        for (const QString& choice : question.choices)
            keys.insert(answerKey(choice));
        QCOMPARE(keys.size(), size_t(kChoiceCount));
        QCOMPARE(question.choices[size_t(question.answer - 1)].trimmed(),
                 cards[size_t(&question - questions.data())].answer.trimmed());
        if (question.text == u"犬") {
            for (const QString& wrong : wrongChoices(question))
                QVERIFY2(answerKey(wrong) != u"hound" && answerKey(wrong) != u"dog", qPrintable(wrong));
        }
    }
}

void TestFlashcards::wrongChoicesShareTheAnswersKind_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("expected"); // the wrong choices of the first card, in any order

    const QStringList mixed{"1600年", "1192年", "1868年", "794年", "1945年", "東京", "大阪", "京都", "奈良",
                            "tokyo",  "osaka",  "kyoto",  "nara",  "100 km", "3 kg", "5 m",  "20 cm"};
    QTest::newRow("a year draws years") << mixed << QStringList{"1192年", "1868年", "1945年", "794年"};
    QStringList kanji = mixed;
    kanji.move(kanji.indexOf("東京"), 0);
    QTest::newRow("kanji draws kanji") << kanji << QStringList{"大阪", "京都", "奈良", ""};
    QStringList units = mixed;
    units.move(units.indexOf("100 km"), 0);
    QTest::newRow("a number with its unit draws those") << units << QStringList{"3 kg", "5 m", "20 cm", ""};
}

void TestFlashcards::wrongChoicesShareTheAnswersKind()
{
    QFETCH(QStringList, answers);
    QFETCH(QStringList, expected);
    CardProblems problems;
    const std::vector<WrittenQuestion> questions =
        questionsOf(cardsWithAnswers(answers), kDefaultSeed, problems);
    const QStringList wrong = wrongChoices(questions.front());
    // An empty expectation is a slot filled from a wider kind.
    for (const QString& choice : expected) {
        if (!choice.isEmpty())
            QVERIFY2(wrong.contains(choice), qPrintable(wrong.join(u',')));
    }
}

void TestFlashcards::choicesAreReproducibleAndStable()
{
    QStringList answers;
    for (int i = 0; i < 200; ++i)
        answers << QStringLiteral("word%1").arg(i * 7919 % 1000);
    const std::vector<Card> cards = cardsWithAnswers(answers);
    CardProblems problems;
    const auto first = questionsOf(cards, kDefaultSeed, problems);
    const auto again = questionsOf(cards, kDefaultSeed, problems);
    const auto otherSeed = questionsOf(cards, 7, problems);
    std::vector<Card> grown = cards;
    grown.push_back(card(QStringLiteral("new"), QStringLiteral("word1001")));
    const auto afterAdding = questionsOf(grown, kDefaultSeed, problems);
    int same = 0;
    int sameWithOtherSeed = 0;
    for (size_t i = 0; i < cards.size(); ++i) {
        QCOMPARE(again[i].choices, first[i].choices);
        same += afterAdding[i].choices == first[i].choices ? 1 : 0;
        sameWithOtherSeed += otherSeed[i].choices == first[i].choices ? 1 : 0;
    }
    // One card added changes a card only when its answer beats one of the
    // card's four: some 4 in 200 here.
    QVERIFY2(same >= 180, qPrintable(QString::number(same)));
    QVERIFY2(sameWithOtherSeed < 20, qPrintable(QString::number(sameWithOtherSeed)));
}

void TestFlashcards::tooFewAnswers()
{
    // Five distinct answers, but the card whose question is also asked with
    // another answer is left with three others to draw from.
    std::vector<Card> cards = cardsWithAnswers({"a", "b", "c"});
    cards.push_back(card(QStringLiteral("same"), QStringLiteral("d"), QStringLiteral("7")));
    cards.push_back(card(QStringLiteral("same"), QStringLiteral("e"), QStringLiteral("8")));
    CardProblems problems;
    const auto questions = questionsOf(cards, kDefaultSeed, problems);
    QCOMPARE(questions.size(), size_t(3));
    QCOMPARE(problems.size(), size_t(2));
    QCOMPARE(problems[0].where, QStringLiteral("7"));
    QCOMPARE(problems[0].kind, ProblemKind::Warning);
}

void TestFlashcards::skippedCards_data()
{
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("readerReason");
    QTest::addColumn<QString>("reason");

    QTest::newRow("usable") << "q"
                            << "a"
                            << ""
                            << "";
    QTest::newRow("the reader's reason first") << "q"
                                               << ""
                                               << "it uses LaTeX"
                                               << "it uses LaTeX";
    QTest::newRow("an empty question") << " "
                                       << "a"
                                       << ""
                                       << "its question is empty as text";
    QTest::newRow("an empty answer") << "q"
                                     << ""
                                     << ""
                                     << "its answer is empty as text";
    QTest::newRow("an answer of two lines") << "q"
                                            << "a\nb"
                                            << ""
                                            << "a choice has a line break, and a choice is one line";
    QTest::newRow("a question too tall") << "1\n2\n3\n4\n5\n6\n7"
                                         << "a"
                                         << ""
                                         << "the question takes 7 lines, and the question box shows 6";
}

void TestFlashcards::skippedCards()
{
    QFETCH(QString, question);
    QFETCH(QString, answer);
    QFETCH(QString, readerReason);
    QFETCH(QString, reason);
    QCOMPARE(skipReasonOf(Card{question, answer, QStringLiteral("1"), readerReason}), reason);
}

void TestFlashcards::largeDeckIsSplit()
{
    Deck deck{QStringLiteral("大::小"), {}};
    for (int i = 0; i < 2 * kBankCapacity + 1; ++i)
        deck.cards.push_back(card(QStringLiteral("q%1").arg(i), QStringLiteral("a%1").arg(i)));
    deck.cards.push_back(card(QStringLiteral("skipped"), QString()));
    CardProblems problems;
    const std::vector<WrittenSet> sets = setsOfDeck(deck, kDefaultSeed, problems);
    QCOMPARE(sets.size(), size_t(3));
    QCOMPARE(sets[0].questions.size(), size_t(kBankCapacity));
    QCOMPARE(sets[2].questions.size(), size_t(1));
    QCOMPARE(sets[2].questions[0].text, QStringLiteral("q4096"));
    QCOMPARE(sets[1].title, QStringLiteral("大::小"));
    QCOMPARE(sets[1].questions[0].title, QStringLiteral("大::小"));
    QCOMPARE(problems.size(), size_t(1));

    Deck few{QStringLiteral("few"), cardsWithAnswers({"a", "b", "c", "d", "D"})};
    problems.clear();
    QVERIFY(setsOfDeck(few, kDefaultSeed, problems).empty());
    QCOMPARE(problems.size(), size_t(1));
    QVERIFY(problems[0].where.isEmpty());
    problems.clear();
    QVERIFY(setsOfDeck(Deck{QStringLiteral("empty"), {}}, kDefaultSeed, problems).empty());
    QVERIFY(problems.empty());
}

void TestFlashcards::fileStem_data()
{
    QTest::addColumn<QString>("deck");
    QTest::addColumn<QString>("stem");
    QTest::newRow("levels") << "親::子::孫"
                            << "親-子-孫";
    QTest::newRow("characters no file name holds") << "a/b:c?"
                                                   << "a_b_c_";
}

void TestFlashcards::fileStem()
{
    QFETCH(QString, deck);
    QFETCH(QString, stem);
    QCOMPARE(fileStemOf(deck), stem);
}

QTEST_GUILESS_MAIN(TestFlashcards)
#include "test_flashcards.moc"
