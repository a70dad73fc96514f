#include "exercises/ReadingScreen.h"

#include "timer/Clock.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

namespace
{
// A calm pair: dark warm grey on paper white, nothing that glares on a whole screen.
const QColor kPaper(0xf4, 0xef, 0xe4);
const QColor kInk(0x2f, 0x2b, 0x26);
const QColor kQuiet(0x8a, 0x82, 0x76);
const QColor kChosen(0xe2, 0xd6, 0xbd);
constexpr qint64 kNsPerMs = 1'000'000;
} // namespace

ReadingScreen::ReadingScreen(ReadingMaterial material, ReadingTest test, Clock* clock, QWidget* parent)
    : StageScreen(parent), m_material(std::move(material)), m_test(std::move(test)),
      m_clock(clock ? clock : &Clock::system())
{
    setObjectName(QStringLiteral("readingScreen"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::BlankCursor);
    hide(); // until its stage shows it
    const QString all = m_material.paragraphs.join(QLatin1Char('\n'));
    m_test.words = zrv::countWords(all);
    m_test.characters = zrv::countCharacters(all);
    m_test.questions = int(m_material.questions.size());
}

QFont ReadingScreen::textFont(int pixels) const
{
    QFont font(QStringList{QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif"),
                           QStringLiteral("Noto Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixels);
    return font;
}

qint64 ReadingScreen::now_ms() const
{
    return m_clock->monotonicNanoseconds() / kNsPerMs;
}

void ReadingScreen::lay()
{
    const int pixels = zrv::readingFontPixels(height());
    const QFontMetricsF metrics(textFont(pixels));
    // The mean width of a character of this very text, spaces included.
    const QString sample = m_material.paragraphs.join(QLatin1Char(' ')).left(2000);
    const double charWidth = sample.isEmpty() ? metrics.averageCharWidth()
                                              : metrics.horizontalAdvance(sample) / double(sample.size());
    m_layout = zrv::readingLayout(width(), height(), charWidth);
    m_pages = zrv::paginate(
        m_material.paragraphs,
        [&metrics](QStringView text) { return int(std::ceil(metrics.horizontalAdvance(text.toString()))); },
        m_layout.columnWidth_px, m_layout.linesPerPage);
    m_page = std::min(m_page, std::max(0, int(m_pages.size()) - 1));
    while (m_test.page_ms.size() < m_pages.size())
        m_test.page_ms << 0;
}

void ReadingScreen::showEvent(QShowEvent* event)
{
    StageScreen::showEvent(event);
    // The pages are turned by key: the window takes the keyboard also where nothing hands it
    // over (the settings window beneath keeps it otherwise).
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void ReadingScreen::resizeEvent(QResizeEvent* event)
{
    StageScreen::resizeEvent(event);
    lay();
}

void ReadingScreen::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool mine = key == Qt::Key_Right || key == Qt::Key_Left || key == Qt::Key_Space ||
                      key == Qt::Key_PageDown || key == Qt::Key_PageUp || key == Qt::Key_Up ||
                      key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter ||
                      (key >= Qt::Key_1 && key <= Qt::Key_4);
    if (!mine) {
        StageScreen::keyPressEvent(event); // Escape is the window's
        return;
    }
    if (!event->isAutoRepeat() || m_phase == Phase::Questions)
        keyDown(key);
    event->accept();
}

void ReadingScreen::keyDown(int key)
{
    if (m_ended && m_phase != Phase::Result)
        return;
    switch (m_phase) {
    case Phase::Pages:
        if (key == Qt::Key_Right || key == Qt::Key_Space || key == Qt::Key_PageDown)
            turn(1);
        else if (key == Qt::Key_Left || key == Qt::Key_PageUp)
            turn(-1);
        break;
    case Phase::Questions:
        if (key >= Qt::Key_1 && key <= Qt::Key_4)
            m_choice = key - Qt::Key_1;
        else if (key == Qt::Key_Down || key == Qt::Key_Right)
            m_choice = m_choice < 0 ? 0 : std::min(m_choice + 1, zrv::kQuestionOptions - 1);
        else if (key == Qt::Key_Up || key == Qt::Key_Left)
            m_choice = m_choice < 0 ? 0 : std::max(m_choice - 1, 0);
        else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_choice >= 0)
            answer();
        update();
        break;
    case Phase::Result:
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
            emit done();
        break;
    }
}

void ReadingScreen::turn(int by)
{
    if (m_pages.isEmpty())
        lay();
    const qint64 now = now_ms();
    if (!m_started) { // turned before it was ever drawn: the page stood no time
        m_started = true;
        m_start_ms = m_pageShown_ms = now;
    }
    if (by < 0 && m_page == 0)
        return;
    if (m_page < m_test.page_ms.size())
        m_test.page_ms[m_page] += now - m_pageShown_ms;
    m_pageShown_ms = now;
    if (by < 0) {
        --m_page;
        ++m_test.pagesBack;
    } else if (m_page + 1 < m_pages.size()) {
        ++m_page;
    } else {
        m_test.reading_ms = now - m_start_ms;
        m_phase = m_material.questions.isEmpty() ? Phase::Result : Phase::Questions;
        if (m_phase == Phase::Result)
            finish();
    }
    update();
}

void ReadingScreen::answer()
{
    const ReadingQuestion& q = m_material.questions[m_question];
    m_test.answers << m_choice;
    if (m_choice == q.correct)
        ++m_test.right;
    m_choice = -1;
    if (++m_question >= m_material.questions.size()) {
        m_phase = Phase::Result;
        finish();
    }
}

void ReadingScreen::finish()
{
    m_ended = true;
    m_test.end = ReadingEnd::Finished;
    emit finished(m_test);
}

void ReadingScreen::abort(bool byEscape)
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_phase == Phase::Pages && m_started) {
        const qint64 now = now_ms();
        if (m_page < m_test.page_ms.size())
            m_test.page_ms[m_page] += now - m_pageShown_ms;
        m_test.reading_ms = now - m_start_ms;
    }
    m_test.end = byEscape ? ReadingEnd::Escape : ReadingEnd::Stopped;
    emit givenUp(m_test);
}

void ReadingScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kPaper);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int unit = m_layout.fontPixels > 0 ? m_layout.fontPixels : 16;
    QFont small = textFont(std::max(10, unit * 2 / 3));
    const int left = m_layout.left_px;
    const int column = m_layout.columnWidth_px;
    const QRect footer(0, height() - m_layout.top_px, width(), m_layout.top_px);
    const auto quietLine = [&](const QString& text) {
        painter.setFont(small);
        painter.setPen(kQuiet);
        painter.drawText(footer, Qt::AlignCenter, text);
    };

    if (m_phase == Phase::Pages) {
        if (m_pages.isEmpty())
            return;
        if (!m_started) {
            m_started = true;
            m_start_ms = m_pageShown_ms = now_ms();
        }
        painter.setFont(small);
        painter.setPen(kQuiet);
        painter.drawText(QRect(left, 0, column, m_layout.top_px), Qt::AlignLeft | Qt::AlignVCenter,
                         m_material.title);
        painter.setFont(textFont(m_layout.fontPixels));
        painter.setPen(kInk);
        const QFontMetrics metrics(painter.font());
        int y = m_layout.top_px + metrics.ascent();
        for (const QString& line : m_pages[m_page]) {
            painter.drawText(left, y, line);
            y += m_layout.lineHeight_px;
        }
        QString footerText = QStringLiteral("%1 / %2").arg(m_page + 1).arg(m_pages.size());
        if (m_page == 0)
            footerText += QStringLiteral("     ") +
                          tr("→, Boşluk ya da Page Down: sonraki sayfa · ←: önceki · Esc: vazgeç");
        quietLine(footerText);
        return;
    }

    QFont text = textFont(unit);
    painter.setFont(text);
    painter.setPen(kInk);
    int y = height() / 6;
    const auto paragraph = [&](const QString& line, const QFont& font, int gap) {
        painter.setFont(font);
        const QRect box = painter.boundingRect(QRect(left, y, column, height()), Qt::TextWordWrap, line);
        painter.drawText(box, Qt::TextWordWrap, line);
        y = box.bottom() + gap;
    };
    if (m_phase == Phase::Questions) {
        const ReadingQuestion& q = m_material.questions[m_question];
        painter.setPen(kQuiet);
        paragraph(tr("Soru %1 / %2").arg(m_question + 1).arg(m_material.questions.size()), small, unit / 2);
        painter.setPen(kInk);
        QFont bold = text;
        bold.setBold(true);
        paragraph(q.text, bold, unit);
        painter.setFont(text);
        for (int i = 0; i < q.options.size(); ++i) {
            const QString line = QStringLiteral("%1   %2").arg(i + 1).arg(q.options[i]);
            const QRect box =
                painter.boundingRect(QRect(left + unit, y, column - unit, height()), Qt::TextWordWrap, line);
            if (i == m_choice)
                painter.fillRect(box.adjusted(-unit / 2, -unit / 4, unit / 2, unit / 4), kChosen);
            painter.drawText(box, Qt::TextWordWrap, line);
            y = box.bottom() + unit * 2 / 3;
        }
        quietLine(tr("1–4 ya da oklarla seçin, Enter ile yanıtlayın"));
        return;
    }
    QFont heading = text;
    heading.setBold(true);
    heading.setPixelSize(unit * 2);
    y = height() / 5;
    for (int i = 0; i < m_result.size(); ++i)
        paragraph(m_result[i], i == 0 ? heading : text, i == 0 ? unit : unit * 2 / 3);
    quietLine(tr("Enter: devam"));
}
