#include "exercises/RestScreen.h"

#include <QLabel>
#include <QVBoxLayout>

namespace
{
QLabel* restLabel(const QString& text, const QString& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}
} // namespace

RestScreen::RestScreen(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("restScreen"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#restScreen { background: #12161b; }"));
    setCursor(Qt::BlankCursor);
    m_title = restLabel(tr("Gözlerinizi dinlendirin"), QStringLiteral("#9aa5b1"), this);
    m_countdown = restLabel(QString(), QStringLiteral("#d0d6dc"), this);
    m_countdown->setObjectName(QStringLiteral("restCountdown"));
    m_next = restLabel(QString(), QStringLiteral("#6f7a86"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(3);
    layout->addWidget(m_title);
    layout->addWidget(m_countdown);
    layout->addWidget(m_next);
    layout->addStretch(4);
}

void RestScreen::setNext(const QString& name)
{
    m_next->setText(name.isEmpty() ? QString() : tr("Sıradaki: %1").arg(name));
}

void RestScreen::setSecondsLeft(int seconds)
{
    const QString text = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (m_countdown->text() != text)
        m_countdown->setText(text);
}

QString RestScreen::countdownText() const
{
    return m_countdown->text();
}

void RestScreen::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // In proportion to the screen, as the frame is.
    const int unit = qMax(8, height() / 24);
    const auto sized = [](QLabel* label, int pixels) {
        QFont font = label->font();
        font.setPixelSize(pixels);
        label->setFont(font);
    };
    sized(m_title, unit);
    sized(m_countdown, unit * 3);
    sized(m_next, unit * 2 / 3);
}
