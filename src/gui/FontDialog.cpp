#include "gui/FontDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{

struct CharsetEntry {
    int charset;
    const char* name; // UTF-8
};

// The character sets a font can be asked for, by their usual names.
constexpr CharsetEntry kCharsets[] = {
    {0, QT_TRANSLATE_NOOP("FontDialog", "Batı")},
    {1, QT_TRANSLATE_NOOP("FontDialog", "Varsayılan")},
    {2, QT_TRANSLATE_NOOP("FontDialog", "Simge")},
    {77, "Mac"},
    {128, QT_TRANSLATE_NOOP("FontDialog", "Japonca")},
    {129, QT_TRANSLATE_NOOP("FontDialog", "Korece (Hangul)")},
    {130, QT_TRANSLATE_NOOP("FontDialog", "Korece (Johab)")},
    {134, QT_TRANSLATE_NOOP("FontDialog", "Çince (Basitleştirilmiş)")},
    {136, QT_TRANSLATE_NOOP("FontDialog", "Çince (Geleneksel)")},
    {161, QT_TRANSLATE_NOOP("FontDialog", "Yunanca")},
    {162, QT_TRANSLATE_NOOP("FontDialog", "Türkçe")},
    {163, QT_TRANSLATE_NOOP("FontDialog", "Vietnamca")},
    {177, QT_TRANSLATE_NOOP("FontDialog", "İbranice")},
    {178, QT_TRANSLATE_NOOP("FontDialog", "Arapça")},
    {186, QT_TRANSLATE_NOOP("FontDialog", "Baltık")},
    {204, QT_TRANSLATE_NOOP("FontDialog", "Kiril")},
    {222, QT_TRANSLATE_NOOP("FontDialog", "Tayca")},
    {238, QT_TRANSLATE_NOOP("FontDialog", "Orta Avrupa")},
    {255, "OEM/DOS"},
};

} // namespace

FontDialog::FontDialog(QObject* parent) : QObject(parent)
{
    m_font.name = QStringLiteral("Courier New");
    m_font.size = 10;
    m_font.charset = 162;
    m_font.style = 0;
}

QString FontDialog::charsetName(int charset)
{
    for (const CharsetEntry& e : kCharsets) {
        if (e.charset == charset)
            return tr(e.name);
    }
    return QString();
}

QFont FontDialog::toQFont(const FontSpec& font)
{
    QFont q(font.name);
    if (font.size > 0)
        q.setPointSize(font.size);
    q.setBold(font.style & fsBold);
    q.setItalic(font.style & fsItalic);
    q.setUnderline(font.style & fsUnderline);
    q.setStrikeOut(font.style & fsStrikeOut);
    return q;
}

void FontDialog::fromQFont(const QFont& q, FontSpec& font)
{
    font.name = q.family();
    if (q.pointSize() > 0)
        font.size = q.pointSize();
    else if (q.pixelSize() > 0)
        font.size = qRound(q.pixelSize() * 72.0 / 96.0);
    int style = 0;
    if (q.bold())
        style |= fsBold;
    if (q.italic())
        style |= fsItalic;
    if (q.underline())
        style |= fsUnderline;
    if (q.strikeOut())
        style |= fsStrikeOut;
    font.style = style;
}

bool FontDialog::execute(QWidget* parent)
{
    if (m_hook) {
        FontSpec chosen = m_font;
        if (!m_hook(chosen))
            return false;
        chosen.charset &= 0xFF;
        m_font = chosen;
        return true;
    }

    QDialog dialog(parent);
    dialog.setWindowTitle(tr("Yazı Tipi"));

    auto* fontDialog = new QFontDialog(&dialog);
    fontDialog->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fontDialog->setWindowFlags(Qt::Widget);
    fontDialog->setSizeGripEnabled(false);
    // Enter and Escape in its lists end the inner dialog: they end the whole one.
    connect(fontDialog, &QDialog::finished, &dialog, &QDialog::done);
    // It opens on the face that is drawn for the stored name (fontconfig puts another face in
    // place of a missing one), at the stored size and style.  While the user keeps that face,
    // the name stays as it was.
    QFont current = toQFont(m_font);
    const QString shownFamily = QFontInfo(current).family();
    current.setFamily(shownFamily);
    fontDialog->setCurrentFont(current);

    auto* charsetLabel = new QLabel(tr("Karakter seti:"), &dialog);
    auto* charsetBox = new QComboBox(&dialog);
    for (const CharsetEntry& e : kCharsets)
        charsetBox->addItem(QStringLiteral("%1 (%2)").arg(tr(e.name)).arg(e.charset), e.charset);
    auto* charsetNumber = new QSpinBox(&dialog);
    charsetNumber->setRange(0, 255);
    charsetLabel->setBuddy(charsetBox);

    const auto showCharset = [charsetBox, charsetNumber](int charset) {
        const QSignalBlocker b1(charsetBox);
        const QSignalBlocker b2(charsetNumber);
        charsetBox->setCurrentIndex(charsetBox->findData(charset));
        charsetNumber->setValue(charset);
    };
    showCharset(m_font.charset & 0xFF);
    connect(charsetBox, &QComboBox::activated, &dialog,
            [charsetBox, showCharset](int index) { showCharset(charsetBox->itemData(index).toInt()); });
    connect(charsetNumber, &QSpinBox::valueChanged, &dialog, showCharset);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Tamam"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("İptal"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* charsetRow = new QHBoxLayout;
    charsetRow->addWidget(charsetLabel);
    charsetRow->addWidget(charsetBox, 1);
    charsetRow->addWidget(charsetNumber);
    auto* layout = new QVBoxLayout(&dialog);
    if (!m_font.name.isEmpty() && shownFamily.compare(m_font.name, Qt::CaseInsensitive) != 0) {
        // Which face stands in for the stored one.  A name from a damaged file can be any length;
        // laying out and wrapping half a million characters would take gigabytes.
        constexpr qsizetype kShownNameChars = 64;
        const QString storedName = m_font.name.size() > kShownNameChars
                                       ? m_font.name.left(kShownNameChars) + QChar(0x2026)
                                       : m_font.name;
        auto* substitute = new QLabel(
            tr("%1 yüklü değil, yerine %2 kullanılıyor (%1 → %2).").arg(storedName, shownFamily), &dialog);
        substitute->setObjectName(QStringLiteral("substitute"));
        substitute->setWordWrap(true);
        layout->addWidget(substitute);
    }
    layout->addWidget(fontDialog);
    layout->addLayout(charsetRow);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;

    FontSpec chosen = m_font;
    const QFont q = fontDialog->currentFont();
    fromQFont(q, chosen);
    if (q.family() == shownFamily)
        chosen.name = m_font.name;
    chosen.charset = charsetNumber->value() & 0xFF;
    m_font = chosen;
    return true;
}
