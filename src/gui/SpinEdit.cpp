#include "gui/SpinEdit.h"

#include "core/SettingsList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

SpinEdit::SpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &SpinEdit::changed);
    setText(QStringLiteral("0"));
}

void SpinEdit::setRange(int minValue, int maxValue)
{
    m_minValue = minValue;
    m_maxValue = qMax(minValue, maxValue);
    update();
}

QString SpinEdit::text() const
{
    return lineEdit()->text();
}

void SpinEdit::setText(const QString& text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

int SpinEdit::value() const
{
    int value = m_minValue; // left alone when the text does not parse
    zrv::parseInt(text().toLatin1(), &value);
    return value;
}

int SpinEdit::limited(qint64 value) const
{
    return static_cast<int>(qBound(qint64(m_minValue), value, qint64(m_maxValue)));
}

void SpinEdit::setValue(int value)
{
    setText(QString::number(limited(value)));
}

bool SpinEdit::isAllowed(QChar c) const
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
           c == QLatin1Char('-') || locale().decimalPoint().contains(c);
}

QValidator::State SpinEdit::validate(QString& input, int& /*pos*/) const
{
    for (const QChar c : input) {
        if (!isAllowed(c))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void SpinEdit::fixup(QString& /*input*/) const {}

void SpinEdit::stepBy(int steps)
{
    setValue(limited(qint64(value()) + steps));
    selectAll();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void SpinEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // Only the arrows step, by one.
        event->ignore();
        return;
    default:
        break;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint();
    if (printable && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        for (const QChar c : text) {
            if (!isAllowed(c)) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void SpinEdit::focusOutEvent(QFocusEvent* event)
{
    QAbstractSpinBox::focusOutEvent(event);
    const int typed = value();
    if (typed < m_minValue || typed > m_maxValue)
        setValue(typed);
}
