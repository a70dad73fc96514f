#include "settings/SpinEdit.h"

#include "settings/SettingsList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::changed);
    SetText(QStringLiteral("0"));
}

void TSpinEdit::SetRange(int minValue, int maxValue)
{
    m_minValue = minValue;
    m_maxValue = qMax(minValue, maxValue);
    update();
}

QString TSpinEdit::Text() const
{
    return lineEdit()->text();
}

void TSpinEdit::SetText(const QString& text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

int TSpinEdit::Value() const
{
    int value = m_minValue; // left alone when the text does not parse
    zrv::ParseInt(Text().toLatin1(), &value);
    return value;
}

int TSpinEdit::Limited(qint64 value) const
{
    return static_cast<int>(qBound(qint64(m_minValue), value, qint64(m_maxValue)));
}

void TSpinEdit::SetValue(int value)
{
    SetText(QString::number(Limited(value)));
}

bool TSpinEdit::IsAllowed(QChar c) const
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
           c == QLatin1Char('-') || locale().decimalPoint().contains(c);
}

QValidator::State TSpinEdit::validate(QString& input, int& /*pos*/) const
{
    for (const QChar c : input) {
        if (!IsAllowed(c))
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString& /*input*/) const {}

void TSpinEdit::stepBy(int steps)
{
    SetValue(Limited(qint64(Value()) + steps));
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
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
            if (!IsAllowed(c)) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QAbstractSpinBox::focusOutEvent(event);
    const int value = Value();
    if (value < m_minValue || value > m_maxValue)
        SetValue(value);
}
