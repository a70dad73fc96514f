#include "exercises/SummaryScreen.h"

#include "journal/RoutineSummary.h"

#include <QLabel>
#include <QVBoxLayout>

SummaryScreen::SummaryScreen(QWidget* parent)
    : QWidget(parent), m_title(new QLabel(this)), m_lines(new QLabel(this)),
      m_hint(new QLabel(tr("Kapatmak için Enter ya da Esc"), this))
{
    setObjectName(QStringLiteral("summaryScreen"));
    setAttribute(Qt::WA_StyledBackground);
    // The rest screen's colours; every text well above 4.5:1 against the background.
    setStyleSheet(QStringLiteral("#summaryScreen { background: #12161b; }"
                                 " QLabel { background: transparent; color: #d0d6dc; }"
                                 " QLabel#summaryHint { color: #9aa5b1; }"));
    setCursor(Qt::BlankCursor);
    m_hint->setObjectName(QStringLiteral("summaryHint"));
    m_lines->setObjectName(QStringLiteral("summaryLines"));
    m_lines->setTextFormat(Qt::PlainText);
    m_title->setAlignment(Qt::AlignCenter);
    m_lines->setAlignment(Qt::AlignCenter);
    m_hint->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(m_title);
    layout->addSpacing(16);
    layout->addWidget(m_lines);
    layout->addSpacing(16);
    layout->addWidget(m_hint);
    layout->addStretch(3);
}

void SummaryScreen::setSummary(const RoutineSummary& summary)
{
    m_title->setText(summary.title());
    m_lines->setText(summary.lines().join(QLatin1Char('\n')));
}

QString SummaryScreen::text() const
{
    return m_title->text() + QLatin1Char('\n') + m_lines->text();
}

void SummaryScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // In proportion to the screen, as the frame is; small enough for the longest line.
    const int unit = qMax(8, height() / 36);
    const auto sized = [](QLabel* label, int pixels) {
        QFont font = label->font();
        font.setPixelSize(pixels);
        label->setFont(font);
    };
    sized(m_title, unit * 2);
    sized(m_lines, unit);
    sized(m_hint, qMax(8, unit * 3 / 4));
}
