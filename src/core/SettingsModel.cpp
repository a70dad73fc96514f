#include "core/SettingsModel.h"

#include "core/Exceptions.h"

#include <algorithm>

namespace
{

using Section = SettingsList;

// The lines of the Dot section, one after the other from its first line.
enum DotLine : int {
    DotTipLine = SettingsList::DotFirstLine,
    DotYonLine,
    DotZmnLine,
    DotAktLine,
    DotPasLine,
    DotIntervalLine,
    DotDkkLine,
};

// Controls that are not selectors.
constexpr int kInterval = SettingsModel::SelectorCount; // the speed box
constexpr int kLetterGroups = SettingsModel::SelectorCount + 1;
constexpr int kNoLine = -1;

// Where each control stores: its line in the Dot section (kNoLine: the Dot exercise does not
// use it) and its offset in the Pyramid and Block sections.  Loading an exercise's section
// reads the lines in this order, the font lines coming before the letter groups.
struct ControlLine {
    int control;
    int dotLine;
    int sectionOffset;
};
constexpr ControlLine kControlLines[] = {
    {SettingsModel::Tip, DotTipLine, Section::TipOffset},
    {SettingsModel::Yon, DotYonLine, Section::YonOffset},
    {SettingsModel::Str, kNoLine, Section::StrOffset},
    {SettingsModel::Hrf, kNoLine, Section::HrfOffset},
    {SettingsModel::Zmn, DotZmnLine, Section::ZmnOffset},
    {SettingsModel::Akt, DotAktLine, Section::AktOffset},
    {SettingsModel::Pas, DotPasLine, Section::PasOffset},
    {SettingsModel::Nkt, kNoLine, Section::NktOffset},
    {kInterval, DotIntervalLine, Section::HizOffset},
    {SettingsModel::Dkk, DotDkkLine, Section::DkkOffset},
    {kLetterGroups, kNoLine, Section::LetterGroupsOffset},
};

QStringList ColourItems()
{
    QStringList items;
    for (const zrv::NamedColor& c : zrv::kColors)
        items << QString::fromUtf8(c.name);
    return items;
}

QStringList LineCountItems()
{
    QStringList items;
    for (int n = 1; n <= 6; ++n)
        items << QStringLiteral("%1 Satır").arg(n);
    return items;
}

QStringList LetterCountItems()
{
    QStringList items;
    for (int n = 4; n <= 36; ++n)
        items << QString::number(n);
    return items;
}

int SectionFirstLine(int exercise)
{
    return exercise == ExerciseSettings::Pyramid ? SettingsList::PyramidFirstLine
                                                 : SettingsList::BlockFirstLine;
}

bool IsTextExercise(int exercise)
{
    return exercise == ExerciseSettings::Pyramid || exercise == ExerciseSettings::Block;
}

} // namespace

SettingsModel::SettingsModel()
{
    m_items[Als] = {QStringLiteral("Nokta"), QStringLiteral("Piramit"), QStringLiteral("Blok")};
    m_items[Tip] = {QStringLiteral("Yatay - Yukarıdan Aşağıya"), QStringLiteral("Merkez - Tek Satır")};
    m_items[Yon] = LineCountItems();
    m_items[Str] = LineCountItems();
    m_items[Hrf] = LetterCountItems();
    m_items[Zmn] = m_items[Akt] = m_items[Pas] = m_items[Nkt] = ColourItems();
    m_items[Dkk] = {QStringLiteral("Sürekli"),  QStringLiteral("1 dakika"), QStringLiteral("2 dakika"),
                    QStringLiteral("3 dakika"), QStringLiteral("4 dakika"), QStringLiteral("5 dakika")};
    m_index.fill(-1);
}

QString SettingsModel::CurrentText(Selector selector) const
{
    const int i = m_index[selector];
    return i >= 0 ? m_items[selector][i] : QString();
}

int SettingsModel::Interval_ms() const
{
    int value = IntervalRange::min_ms; // left alone when the text does not parse
    zrv::ParseInt(m_intervalText.toLatin1(), &value);
    return value;
}

int SettingsModel::LineOf(int control) const
{
    const int exercise = m_index[Als];
    if (exercise < ExerciseSettings::Dot || exercise > ExerciseSettings::Block)
        return kNoLine;
    for (const ControlLine& c : kControlLines) {
        if (c.control != control)
            continue;
        if (exercise == ExerciseSettings::Dot)
            return c.dotLine;
        return SectionFirstLine(exercise) + c.sectionOffset;
    }
    return kNoLine;
}

void SettingsModel::SetIndex(Selector selector, int index)
{
    m_index[selector] = index >= 0 && index < m_items[selector].size() ? index : -1;
}

void SettingsModel::ReplaceItems(Selector selector, const QStringList& items)
{
    m_items[selector] = items;
    m_index[selector] = -1;
}

void SettingsModel::LoadAndShow(const QString& fileName)
{
    m_list.Load(fileName);
    Show();
}

void SettingsModel::Show()
{
    m_currentExercise = 0;
    // The box starts unticked: ticking it stores "1" in line 1.
    SetSaveOptions(m_list.ReadInt(SettingsList::SaveOptionsLine, 1) == 1);
    SetIndex(Als, m_list.ReadInt(SettingsList::ExerciseLine, 0));
    LoadExerciseOptions();
    SelectExercise(m_index[Als]);
}

void SettingsModel::LoadExerciseOptions()
{
    const int exercise = m_index[Als];
    for (const ControlLine& c : kControlLines) {
        const int line = LineOf(c.control);
        if (line == kNoLine || c.control == kLetterGroups)
            continue;
        if (c.control == kInterval)
            SetIntervalText(
                QString::number(IntervalRange::clamp(m_list.ReadInt(line, IntervalRange::fallback_ms))));
        else
            SetIndex(Selector(c.control), m_list.ReadInt(line, 0));
    }
    if (!IsTextExercise(exercise))
        return;

    const int first = SectionFirstLine(exercise);
    const int nameLine = first + SettingsList::FontNameOffset;
    const int sizeLine = first + SettingsList::FontSizeOffset;
    const int charsetLine = first + SettingsList::FontCharsetOffset;
    m_fontText = (m_list.Text(nameLine) + QStringLiteral(" (") + m_list.Text(sizeLine) + QLatin1Char(',') +
                  m_list.Text(charsetLine) + QLatin1Char(')'))
                     .left(FontTextMaxLength);
    m_font.Name = m_list.Text(nameLine);
    m_font.Size = m_list.ReadStrictInt(sizeLine);
    m_font.Charset = m_list.ReadStrictInt(charsetLine) & 0xFF;
    m_font.Style = 0;
    if (m_list.ReadStrictInt(first + SettingsList::FontBoldOffset) == 1)
        m_font.Style = fsBold;

    // The four positions as the line reads now; each box that changes stores all four again.
    const int groupsLine = LineOf(kLetterGroups);
    std::array<bool, 4> ticked;
    for (int i = 0; i < 4; ++i)
        ticked[size_t(i)] = m_list.LetterGroup(groupsLine, i + 1);
    for (int i = 0; i < 4; ++i)
        SetLetterGroup(i, ticked[size_t(i)]);
}

void SettingsModel::SelectExercise(int index)
{
    SetIndex(Als, index);
    m_list.PutInt(SettingsList::ExerciseLine, m_index[Als]);
    m_textControlsVisible = true;
    switch (m_index[Als]) {
    case ExerciseSettings::Dot:
        m_currentExercise = ExerciseSettings::Dot;
        m_startCaption = QStringLiteral("Alıştırma: Nokta");
        m_textControlsVisible = false;
        ReplaceItems(Tip, {QStringLiteral("1 2 3 4"), QStringLiteral("1 2 4 3"), QStringLiteral("1 4 2 3"),
                           QStringLiteral("1 2 4 3 5 8 6 7"), QStringLiteral("1 4 2 3 5 6 8 7")});
        break;
    case ExerciseSettings::Pyramid:
        m_currentExercise = ExerciseSettings::Pyramid;
        m_startCaption = QStringLiteral("Alıştırma: Piramit");
        ReplaceItems(Tip, {QStringLiteral("Üçgen"), QStringLiteral("Tek Satır")});
        ReplaceItems(Yon, {QStringLiteral("Tek Yön"), QStringLiteral("Çift Yön")});
        break;
    case ExerciseSettings::Block:
        m_currentExercise = ExerciseSettings::Block;
        m_startCaption = QStringLiteral("Alıştırma: Blok");
        ReplaceItems(Tip, {QStringLiteral("Ayrı bloklar"), QStringLiteral("Bitişik bloklar")});
        ReplaceItems(Yon, {QStringLiteral("Dikey"), QStringLiteral("Yatay"), QStringLiteral("Zigzag")});
        break;
    default:
        return;
    }
    LoadExerciseOptions();
}

void SettingsModel::Select(Selector selector, int index)
{
    if (selector == Als) {
        SelectExercise(index);
        return;
    }
    SetIndex(selector, index);
    const int line = LineOf(selector);
    if (line != kNoLine)
        m_list.PutInt(line, m_index[selector]);
}

void SettingsModel::SetIntervalText(const QString& text)
{
    if (text == m_intervalText)
        return;
    m_intervalText = text;
    const int line = LineOf(kInterval);
    if (line != kNoLine)
        m_list.PutInt(line, Interval_ms());
}

void SettingsModel::SetLetterGroup(int group, bool ticked)
{
    if (m_letterGroups[size_t(group)] == ticked)
        return;
    m_letterGroups[size_t(group)] = ticked;
    const int line = LineOf(kLetterGroups);
    if (line == kNoLine)
        return;
    QByteArray groups;
    for (bool g : m_letterGroups)
        groups += g ? '1' : '0';
    m_list.Put(line, groups);
}

void SettingsModel::SetSaveOptions(bool save)
{
    if (save == m_saveOptions)
        return;
    m_saveOptions = save;
    m_list.Put(SettingsList::SaveOptionsLine, save ? "1" : "0");
}

void SettingsModel::SetFont(const FontSpec& font)
{
    m_font = font;
    m_fontText = QStringLiteral("%1 (%2,%3)")
                     .arg(font.Name)
                     .arg(font.Size)
                     .arg(font.Charset & 0xFF)
                     .left(FontTextMaxLength);
    const int exercise = m_index[Als];
    if (!IsTextExercise(exercise))
        return;
    const int first = SectionFirstLine(exercise);
    m_list.PutText(first + SettingsList::FontNameOffset, font.Name);
    m_list.PutInt(first + SettingsList::FontSizeOffset, font.Size);
    m_list.PutInt(first + SettingsList::FontCharsetOffset, font.Charset & 0xFF);
    m_list.Put(first + SettingsList::FontBoldOffset, (font.Style & fsBold) ? "1" : "0");
}

void SettingsModel::SaveIfChosen(const QString& fileName)
{
    if (!m_saveOptions)
        return;
    try {
        m_list.Save(fileName);
    } catch (const FileCreateError& e) {
        const QString reason = m_list.LastError();
        if (reason.isEmpty())
            throw;
        throw FileCreateError(e.Message() + QStringLiteral(".\n") + reason);
    }
}

bool SettingsModel::CanStart() const
{
    return !IsTextExercise(m_currentExercise) ||
           std::any_of(m_letterGroups.begin(), m_letterGroups.end(), [](bool g) { return g; });
}

ExerciseSettings SettingsModel::RunSettings() const
{
    ExerciseSettings s;
    s.exercise = m_currentExercise;
    s.type = m_index[Tip];
    s.direction = m_index[Yon];
    s.lines = m_index[Str] + 1;
    bool ok = false;
    const int letters = CurrentText(Hrf).trimmed().toInt(&ok, 10);
    s.letters = ok ? letters : 4;
    s.background = zrv::ColorOfIndex(m_index[Zmn]);
    s.active = zrv::ColorOfIndex(m_index[Akt]);
    s.passive = zrv::ColorOfIndex(m_index[Pas]);
    s.dot = zrv::ColorOfIndex(m_index[Nkt]);
    s.interval_ms = IntervalRange::clamp(Interval_ms());
    s.minutes = m_index[Dkk];
    s.font = m_font;
    s.letterGroups = m_letterGroups;
    return s;
}
