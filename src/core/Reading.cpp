#include "core/Reading.h"

#include "core/Cp1254.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringDecoder>
#include <QtDebug>
#include <algorithm>
#include <cmath>

namespace
{
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark();
}

bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

// Walks the words of `text` from `from`: calls `word(start, end)` for each until it returns false.
template <typename F> void forEachWord(QStringView text, qsizetype from, F word)
{
    qsizetype i = from;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && !isWordChar(text[i]))
            ++i;
        if (i >= n)
            return;
        const qsizetype start = i;
        while (i < n && (isWordChar(text[i]) ||
                         (isApostrophe(text[i]) && i + 1 < n && isWordChar(text[i + 1]) && i > start)))
            ++i;
        if (!word(start, i))
            return;
    }
}

bool isSentenceEnd(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c != QLatin1Char('.') && c != QLatin1Char('!') && c != QLatin1Char('?') && c != QChar(0x2026))
        return false;
    // Closing quotes and brackets belong to the sentence; then white space or the end.
    qsizetype j = i + 1;
    while (j < text.size() && QStringLiteral("\"'”’»)").contains(text[j]))
        ++j;
    return j >= text.size() || text[j].isSpace();
}
} // namespace

namespace zrv
{

int countWords(QStringView text)
{
    int words = 0;
    forEachWord(text, 0, [&](qsizetype, qsizetype) {
        ++words;
        return true;
    });
    return words;
}

int countCharacters(QStringView text)
{
    return int(std::count_if(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); }));
}

std::optional<Passage> parsePassage(const QString& id, const QString& text, QString* error)
{
    const auto fail = [error](const QString& why) -> std::optional<Passage> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QStringList lines = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        lines.first().remove(0, 1);
    Passage passage;
    passage.id = id;
    if (lines.isEmpty() || !lines.first().startsWith(QLatin1String("title:")))
        return fail(QStringLiteral("the first line is not \"title: ...\""));
    passage.title = lines.first().mid(6).trimmed();
    if (passage.title.isEmpty())
        return fail(QStringLiteral("the title is empty"));
    qsizetype i = 1;
    for (; i < lines.size() && lines[i].trimmed() != QLatin1String("==="); ++i)
        if (!lines[i].trimmed().isEmpty())
            passage.paragraphs << lines[i].simplified();
    if (i >= lines.size())
        return fail(QStringLiteral("no line \"===\" after the text"));
    if (passage.paragraphs.isEmpty())
        return fail(QStringLiteral("the text is empty"));
    for (++i; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("? "))) {
            passage.questions.append({line.mid(2).trimmed(), {}, -1});
        } else if (line.startsWith(QLatin1String("+ ")) || line.startsWith(QLatin1String("- "))) {
            if (passage.questions.isEmpty())
                return fail(QStringLiteral("line %1: an option before any question").arg(i + 1));
            ReadingQuestion& question = passage.questions.last();
            if (line.front() == QLatin1Char('+')) {
                if (question.correct >= 0)
                    return fail(QStringLiteral("line %1: a second right option").arg(i + 1));
                question.correct = int(question.options.size());
            }
            question.options << line.mid(2).trimmed();
        } else {
            return fail(QStringLiteral("line %1 is neither a question nor an option").arg(i + 1));
        }
    }
    if (passage.questions.size() != kPassageQuestions)
        return fail(QStringLiteral("%1 questions instead of %2")
                        .arg(passage.questions.size())
                        .arg(kPassageQuestions));
    for (const ReadingQuestion& q : std::as_const(passage.questions)) {
        if (q.text.isEmpty() || q.options.size() != kQuestionOptions || q.correct < 0 ||
            std::any_of(q.options.begin(), q.options.end(), [](const QString& o) { return o.isEmpty(); }))
            return fail(
                QStringLiteral("the question \"%1\" has not four options with one right").arg(q.text));
    }
    return passage;
}

QString passagesRoot()
{
    return QStringLiteral(":/passages");
}

QList<Passage> loadPassages(const QString& root, const QString& language)
{
    QStringList files;
    QDirIterator it(root + QLatin1Char('/') + language, {QStringLiteral("*.txt")}, QDir::Files);
    while (it.hasNext())
        files << it.next();
    files.sort();
    QList<Passage> passages;
    for (const QString& path : std::as_const(files)) {
        QFile file(path);
        const QString id = language + QLatin1Char('/') + QFileInfo(path).completeBaseName();
        QString error;
        std::optional<Passage> passage;
        if (!file.open(QIODevice::ReadOnly))
            error = file.errorString();
        else if (file.size() > 1 << 20)
            error = QStringLiteral("larger than a passage can be");
        else
            passage = parsePassage(id, QString::fromUtf8(file.readAll()), &error);
        if (passage)
            passages.append(*passage);
        else
            qWarning("Reading passage %s left out: %s", qPrintable(path), qPrintable(error));
    }
    return passages;
}

int nextPassage(const QList<Passage>& passages, const QHash<QString, qint64>& lastRead)
{
    int best = -1;
    for (int i = 0; i < passages.size(); ++i) {
        const auto it = lastRead.constFind(passages[i].id);
        if (it == lastRead.constEnd())
            return i;
        if (best < 0 || *it < lastRead.value(passages[best].id))
            best = i;
    }
    return best;
}

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fromCp1254(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

TextPiece nextPiece(QStringView text, qsizetype from, int targetWords)
{
    if (from < 0 || from >= text.size() || countWords(text.mid(from)) == 0)
        from = 0;
    TextPiece piece;
    qsizetype targetEnd = -1;
    const int earliest = int(std::ceil(targetWords * 0.9));
    const int latest = int(std::floor(targetWords * 1.25));
    forEachWord(text, from, [&](qsizetype start, qsizetype end) {
        if (piece.words == 0)
            piece.start = start;
        ++piece.words;
        piece.end = end;
        if (piece.words == targetWords)
            targetEnd = end;
        if (piece.words >= earliest) {
            // The word's sentence ends right after it: the piece ends there.
            qsizetype i = end;
            while (i < text.size() && !text[i].isSpace() && !isWordChar(text[i])) {
                if (isSentenceEnd(text, i)) {
                    piece.end = i + 1;
                    while (piece.end < text.size() && !text[piece.end].isSpace())
                        ++piece.end;
                    return false;
                }
                ++i;
            }
        }
        if (piece.words >= latest) {
            piece.end = targetEnd;
            piece.words = targetWords;
            return false;
        }
        return true;
    });
    if (piece.words == 0)
        return {};
    return piece;
}

QStringList paragraphsOf(QStringView text)
{
    QStringList paragraphs;
    for (QStringView line : text.split(QLatin1Char('\n'))) {
        const QString simple = line.toString().simplified();
        if (!simple.isEmpty())
            paragraphs << simple;
    }
    return paragraphs;
}

int readingFontPixels(int height_px)
{
    return std::max(14, height_px / 30);
}

ReadingLayout readingLayout(int width_px, int height_px, double charWidth_px)
{
    ReadingLayout layout;
    layout.fontPixels = readingFontPixels(height_px);
    layout.lineHeight_px = int(std::lround(layout.fontPixels * 1.5));
    const int margin = std::max(16, width_px / 20);
    layout.columnWidth_px = std::min(width_px - 2 * margin, int(std::lround(charWidth_px * 65)));
    layout.columnWidth_px = std::max(layout.columnWidth_px, 1);
    layout.left_px = (width_px - layout.columnWidth_px) / 2;
    // Room above for the title, below for the page's number.
    layout.top_px = std::max(16, height_px / 12);
    layout.linesPerPage = std::max(1, (height_px - 2 * layout.top_px) / layout.lineHeight_px);
    return layout;
}

QList<QStringList> paginate(const QStringList& paragraphs, const std::function<int(QStringView)>& measure,
                            int width_px, int linesPerPage)
{
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        if (!lines.isEmpty())
            lines << QString();
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || measure(longer) <= width_px) {
                line = longer;
            } else {
                lines << line;
                line = word;
            }
        }
        if (!line.isEmpty())
            lines << line;
    }
    QList<QStringList> pages;
    linesPerPage = std::max(1, linesPerPage);
    for (const QString& line : std::as_const(lines)) {
        if (pages.isEmpty() || pages.last().size() >= linesPerPage) {
            if (line.isEmpty())
                continue;
            pages.append(QStringList());
        }
        pages.last() << line;
    }
    for (QStringList& page : pages)
        while (!page.isEmpty() && page.last().isEmpty())
            page.removeLast();
    return pages;
}

ReadingFigures readingFigures(int words, qint64 reading_ms, const QList<qint64>& page_ms, int questions,
                              int right)
{
    ReadingFigures figures;
    figures.wordsPerMinute = reading_ms > 0 ? words * 60'000.0 / double(reading_ms) : 0;
    figures.effectiveRate = figures.wordsPerMinute;
    if (questions > 0) {
        figures.comprehension = double(std::clamp(right, 0, questions)) / questions;
        figures.effectiveRate *= *figures.comprehension;
    }
    if (reading_ms <= 0 || figures.wordsPerMinute > kMaxPlausibleWpm) {
        figures.plausible = false;
        figures.why =
            QCoreApplication::translate("Reading", "Dakikada %1 kelimeden hızlı: bu bir okuma olamaz.")
                .arg(int(kMaxPlausibleWpm));
    } else if (!page_ms.isEmpty() && std::all_of(page_ms.begin(), page_ms.end(),
                                                 [](qint64 ms) { return ms < kMinPlausiblePage_ms; })) {
        figures.plausible = false;
        figures.why = QCoreApplication::translate(
            "Reading", "Her sayfa bir saniyeden kısa sürede çevrildi: bu bir okuma olamaz.");
    }
    return figures;
}

QString changeText(double first, double now)
{
    if (first <= 0)
        return {};
    const long percent = std::lround((now - first) / first * 100);
    return (percent > 0 ? QStringLiteral("+%1 %") : QStringLiteral("%1 %")).arg(percent);
}

} // namespace zrv
