#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The reading test without widgets: the texts it reads (the built-in passages with their
// questions, or a piece of the person's own file), how words and characters are counted, how
// a text is laid out in pages, and what a test's figures are.

// One multiple-choice question of a passage: four options, one of them right.
struct ReadingQuestion {
    QString text;
    QStringList options;
    int correct = 0; // index into options

    bool operator==(const ReadingQuestion&) const = default;
};

// A built-in passage.  Its id is its path under the passages' folder without ".txt"
// ("tr/01-kahve").
struct Passage {
    QString id;
    QString title;
    QStringList paragraphs;
    QList<ReadingQuestion> questions;

    QString language() const { return id.section(QLatin1Char('/'), 0, 0); }
    bool operator==(const Passage&) const = default;
};

namespace zrv
{

// The one way words are counted, in every text and language: a word is a longest run of
// letters and digits (with the marks that go with them); an apostrophe (' or ’) between two
// such characters joins them ("Türkiye'nin" is one word); everything else separates.
int countWords(QStringView text);
// The characters read: every character that is not white space.
int countCharacters(QStringView text);

// How many questions a passage has, and how many options each.
inline constexpr int kPassageQuestions = 5;
inline constexpr int kQuestionOptions = 4;

// A passage from its file's text: "title: …", the paragraphs (one a line, blank lines
// between), a line "===", then five blocks of a "? " line and four options, "+ " for the one
// right answer and "- " for the others.  nullopt, with `error` saying why, when the text is not
// in that form.
std::optional<Passage> parsePassage(const QString& id, const QString& text, QString* error = nullptr);
// Every passage under `root`/`language` ("*.txt", in the order of their ids); a file that
// cannot be read or parsed is left out with a warning.
QList<Passage> loadPassages(const QString& root, const QString& language);
// Where the program's own passages are (a resource).
QString passagesRoot();

// The passage to read next: one never read yet (the first of them in order), otherwise the one
// read longest ago.  `lastRead` gives the UTC ms a passage was last read, by id.  -1 when
// there are none.
int nextPassage(const QList<Passage>& passages, const QHash<QString, qint64>& lastRead);

// A text file's contents as text: UTF-8 when the bytes are valid UTF-8 (a byte-order mark
// dropped), otherwise Windows-1254.  Line ends become "\n".
QString decodeText(const QByteArray& bytes);

// A piece of the person's own text: from `start` to `end` (offsets in the text), whole words.
struct TextPiece {
    qsizetype start = 0;
    qsizetype end = 0;
    int words = 0;
    bool operator==(const TextPiece&) const = default;
};
inline constexpr int kPieceWords = 400;
// The next piece of about `targetWords` words from `from`: it ends at the first sentence end
// after 90 % of them and before 125 %, otherwise after the target-th word.  A text read to its
// end starts over from its beginning.  An empty piece when the text has no word at all.
TextPiece nextPiece(QStringView text, qsizetype from, int targetWords = kPieceWords);
// The paragraphs of a piece of text: its lines, blank ones dropped, white space made single.
QStringList paragraphsOf(QStringView text);

// The page layout of a text read on a screen of `width_px` x `height_px`: a font of
// `fontPixels`, lines of about 65 characters (`charWidth_px` is the font's mean character width
// at that size), a line height of 1.5 times the font, margins around.
struct ReadingLayout {
    int fontPixels = 0;
    int columnWidth_px = 0;
    int lineHeight_px = 0;
    int linesPerPage = 0;
    int left_px = 0;
    int top_px = 0;
};
int readingFontPixels(int height_px);
ReadingLayout readingLayout(int width_px, int height_px, double charWidth_px);

// The text broken into lines of whole words no wider than `width_px` (`measure` gives a text's
// width) with a blank line between paragraphs, and the lines into pages of `linesPerPage`.  A
// page never begins with a blank line.  A word wider than a line stands on a line of its own.
QList<QStringList> paginate(const QStringList& paragraphs, const std::function<int(QStringView)>& measure,
                            int width_px, int linesPerPage);

// What a finished test amounts to.
struct ReadingFigures {
    double wordsPerMinute = 0;
    std::optional<double> comprehension; // share of questions right, 0..1; none without questions
    double effectiveRate = 0;            // words per minute times the share right (or alone)
    bool plausible = true;
    QString why; // why it cannot be a reading, when it is not plausible
};
inline constexpr double kMaxPlausibleWpm = 1500;
inline constexpr qint64 kMinPlausiblePage_ms = 1000;
// A test that is faster than 1,500 words a minute, or in which every page was turned in under a
// second, is not a reading.
ReadingFigures readingFigures(int words, qint64 reading_ms, const QList<qint64>& page_ms, int questions,
                              int right);
// "+18 %" from `first` to `now`; empty when there is nothing to compare with.
QString changeText(double first, double now);

} // namespace zrv
