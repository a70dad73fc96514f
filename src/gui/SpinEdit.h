#pragma once

#include <QAbstractSpinBox>

// The speed box: a numeric spin box whose text is not limited while the user types.
//  - Typed characters other than digits, "+", "-" and the decimal separator are refused with
//    a beep; any other text is accepted as typed ("5" and "3000" stay as they are).
//  - value() is the text read as an integer, the minimum when it is not one.
//  - The arrow keys and the spin buttons add or subtract 1, limited to the range.
//  - setValue() limits to the range and rewrites the text.
//  - Losing the focus rewrites a text whose value lies outside the range with the limited value.
//  - changed() is emitted at every change of the text, also when the program sets it.
class SpinEdit : public QAbstractSpinBox
{
    Q_OBJECT
  public:
    explicit SpinEdit(QWidget* parent = nullptr);

    int minValue() const { return m_minValue; }
    int maxValue() const { return m_maxValue; }
    void setRange(int minValue, int maxValue);

    int value() const;
    void setValue(int value);

    QString text() const;
    void setText(const QString& text);

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void stepBy(int steps) override;

  signals:
    void changed();

  protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    bool isAllowed(QChar c) const;
    int limited(qint64 value) const;

    int m_minValue = 0;
    int m_maxValue = 100;
};
