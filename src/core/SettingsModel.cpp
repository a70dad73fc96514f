#include "core/SettingsModel.h"

#include "core/Exceptions.h"

#include <QCoreApplication>
#include <algorithm>

namespace
{

using Section = SettingsList;

// The lines of the Dot section, one after the other from its first line.
enum DotLine : int {
    DotTypeLine = SettingsList::DotFirstLine,
    DotDirectionLine,
    DotBackgroundLine,
    DotActiveLine,
    DotPassiveLine,
    DotPaceLine,
    DotDurationLine,
};

// Controls that are not selectors.
constexpr int kPace = SettingsModel::SelectorCount; // the speed box
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
    {SettingsModel::Type, DotTypeLine, Section::TypeOffset},
    {SettingsModel::Direction, DotDirectionLine, Section::DirectionOffset},
    {SettingsModel::Lines, kNoLine, Section::LinesOffset},
    {SettingsModel::Letters, kNoLine, Section::LettersOffset},
    {SettingsModel::Background, DotBackgroundLine, Section::BackgroundOffset},
    {SettingsModel::Active, DotActiveLine, Section::ActiveOffset},
    {SettingsModel::Passive, DotPassiveLine, Section::PassiveOffset},
    {SettingsModel::Dot, kNoLine, Section::DotOffset},
    {kPace, DotPaceLine, Section::PaceOffset},
    {SettingsModel::Duration, DotDurationLine, Section::DurationOffset},
    {kLetterGroups, kNoLine, Section::LetterGroupsOffset},
};

// The items are what the selectors show, in the person's language; the settings file keeps
// their indexes.
QString Tr(const char* source)
{
    return QCoreApplication::translate("SettingsModel", source);
}

QStringList Tr(std::initializer_list<const char*> sources)
{
    QStringList items;
    for (const char* source : sources)
        items << Tr(source);
    return items;
}

QStringList ColourItems()
{
    QStringList items;
    for (const zrv::NamedColor& c : zrv::kColors)
        items << zrv::colourText(c);
    return items;
}

QStringList LineCountItems()
{
    QStringList items;
    for (int n = 1; n <= 6; ++n)
        items << QCoreApplication::translate("SettingsModel", "%n Satır", nullptr, n);
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
    m_items[Exercise] =
        Tr({QT_TRANSLATE_NOOP("SettingsModel", "Nokta"), QT_TRANSLATE_NOOP("SettingsModel", "Piramit"),
            QT_TRANSLATE_NOOP("SettingsModel", "Blok")});
    m_items[Type] = Tr({QT_TRANSLATE_NOOP("SettingsModel", "Yatay - Yukarıdan Aşağıya"),
                        QT_TRANSLATE_NOOP("SettingsModel", "Merkez - Tek Satır")});
    m_items[Direction] = LineCountItems();
    m_items[Lines] = LineCountItems();
    m_items[Letters] = LetterCountItems();
    m_items[Background] = m_items[Active] = m_items[Passive] = m_items[Dot] = ColourItems();
    m_items[Duration] = {Tr(QT_TRANSLATE_NOOP("SettingsModel", "Sürekli"))};
    for (int minutes = 1; minutes <= 5; ++minutes)
        m_items[Duration] << QCoreApplication::translate("SettingsModel", "%n dakika", nullptr, minutes);
    m_startCaption = Tr(QT_TRANSLATE_NOOP("SettingsModel", "Alıştırma:"));
    m_index.fill(-1);
}

QString SettingsModel::currentText(Selector selector) const
{
    const int i = m_index[selector];
    return i >= 0 ? m_items[selector][i] : QString();
}

int SettingsModel::lineOf(int control) const
{
    const int exercise = m_index[Exercise];
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

void SettingsModel::setIndex(Selector selector, int index)
{
    m_index[selector] = index >= 0 && index < m_items[selector].size() ? index : -1;
}

void SettingsModel::replaceItems(Selector selector, const QStringList& items)
{
    m_items[selector] = items;
    m_index[selector] = -1;
}

void SettingsModel::loadAndShow(const QString& fileName)
{
    m_list.load(fileName);
    show();
}

void SettingsModel::show()
{
    m_currentExercise = 0;
    // The box starts unticked: ticking it stores "1" in line 1.
    setSaveOptions(m_list.readInt(SettingsList::SaveOptionsLine, 1) == 1);
    setIndex(Exercise, m_list.readInt(SettingsList::ExerciseLine, 0));
    loadExerciseOptions();
    selectExercise(m_index[Exercise]);
}

void SettingsModel::loadExerciseOptions()
{
    const int exercise = m_index[Exercise];
    for (const ControlLine& c : kControlLines) {
        const int line = lineOf(c.control);
        if (line == kNoLine || c.control == kLetterGroups)
            continue;
        if (c.control == kPace)
            setPaceText(QString::number(zrv::Pace(m_list.readInt(line, zrv::Pace::kFallback_ms)).ms()));
        else
            setIndex(Selector(c.control), m_list.readInt(line, 0));
    }
    if (!IsTextExercise(exercise))
        return;

    const int first = SectionFirstLine(exercise);
    const int nameLine = first + SettingsList::FontNameOffset;
    const int sizeLine = first + SettingsList::FontSizeOffset;
    const int charsetLine = first + SettingsList::FontCharsetOffset;
    m_fontText = (m_list.text(nameLine) + QStringLiteral(" (") + m_list.text(sizeLine) + QLatin1Char(',') +
                  m_list.text(charsetLine) + QLatin1Char(')'))
                     .left(FontTextMaxLength);
    m_font.name = m_list.text(nameLine);
    m_font.size = m_list.readStrictInt(sizeLine);
    m_font.charset = m_list.readStrictInt(charsetLine) & 0xFF;
    m_font.style = 0;
    if (m_list.readStrictInt(first + SettingsList::FontBoldOffset) == 1)
        m_font.style = fsBold;

    // The four positions as the line reads now; each box that changes stores all four again.
    const int groupsLine = lineOf(kLetterGroups);
    std::array<bool, 4> ticked;
    for (int i = 0; i < 4; ++i)
        ticked[size_t(i)] = m_list.letterGroup(groupsLine, i + 1);
    for (int i = 0; i < 4; ++i)
        setLetterGroup(i, ticked[size_t(i)]);
}

void SettingsModel::selectExercise(int index)
{
    setIndex(Exercise, index);
    m_list.putInt(SettingsList::ExerciseLine, m_index[Exercise]);
    m_textControlsVisible = true;
    switch (m_index[Exercise]) {
    case ExerciseSettings::Dot:
        m_currentExercise = ExerciseSettings::Dot;
        m_startCaption = Tr(QT_TRANSLATE_NOOP("SettingsModel", "Alıştırma: Nokta"));
        m_textControlsVisible = false;
        replaceItems(Type, {QStringLiteral("1 2 3 4"), QStringLiteral("1 2 4 3"), QStringLiteral("1 4 2 3"),
                            QStringLiteral("1 2 4 3 5 8 6 7"), QStringLiteral("1 4 2 3 5 6 8 7")});
        break;
    case ExerciseSettings::Pyramid:
        m_currentExercise = ExerciseSettings::Pyramid;
        m_startCaption = Tr(QT_TRANSLATE_NOOP("SettingsModel", "Alıştırma: Piramit"));
        replaceItems(Type, Tr({QT_TRANSLATE_NOOP("SettingsModel", "Üçgen"),
                               QT_TRANSLATE_NOOP("SettingsModel", "Tek Satır")}));
        replaceItems(Direction, Tr({QT_TRANSLATE_NOOP("SettingsModel", "Tek Yön"),
                                    QT_TRANSLATE_NOOP("SettingsModel", "Çift Yön")}));
        break;
    case ExerciseSettings::Block:
        m_currentExercise = ExerciseSettings::Block;
        m_startCaption = Tr(QT_TRANSLATE_NOOP("SettingsModel", "Alıştırma: Blok"));
        replaceItems(Type, Tr({QT_TRANSLATE_NOOP("SettingsModel", "Ayrı bloklar"),
                               QT_TRANSLATE_NOOP("SettingsModel", "Bitişik bloklar")}));
        replaceItems(Direction, Tr({QT_TRANSLATE_NOOP("SettingsModel", "Dikey"),
                                    QT_TRANSLATE_NOOP("SettingsModel", "Yatay"),
                                    QT_TRANSLATE_NOOP("SettingsModel", "Zigzag")}));
        break;
    default:
        return;
    }
    loadExerciseOptions();
}

void SettingsModel::select(Selector selector, int index)
{
    if (selector == Exercise) {
        selectExercise(index);
        return;
    }
    setIndex(selector, index);
    const int line = lineOf(selector);
    if (line != kNoLine)
        m_list.putInt(line, m_index[selector]);
}

void SettingsModel::setPaceText(const QString& text)
{
    if (text == m_paceText)
        return;
    m_paceText = text;
    const int line = lineOf(kPace);
    if (line != kNoLine)
        m_list.putInt(line, zrv::Pace::typedMs(m_paceText));
}

void SettingsModel::setLetterGroup(int group, bool ticked)
{
    if (m_letterGroups[size_t(group)] == ticked)
        return;
    m_letterGroups[size_t(group)] = ticked;
    const int line = lineOf(kLetterGroups);
    if (line == kNoLine)
        return;
    QByteArray groups;
    for (bool g : m_letterGroups)
        groups += g ? '1' : '0';
    m_list.put(line, groups);
}

void SettingsModel::setSaveOptions(bool save)
{
    if (save == m_saveOptions)
        return;
    m_saveOptions = save;
    m_list.put(SettingsList::SaveOptionsLine, save ? "1" : "0");
}

void SettingsModel::setFont(const FontSpec& font)
{
    m_font = font;
    m_fontText = QStringLiteral("%1 (%2,%3)")
                     .arg(font.name)
                     .arg(font.size)
                     .arg(font.charset & 0xFF)
                     .left(FontTextMaxLength);
    const int exercise = m_index[Exercise];
    if (!IsTextExercise(exercise))
        return;
    const int first = SectionFirstLine(exercise);
    m_list.putText(first + SettingsList::FontNameOffset, font.name);
    m_list.putInt(first + SettingsList::FontSizeOffset, font.size);
    m_list.putInt(first + SettingsList::FontCharsetOffset, font.charset & 0xFF);
    m_list.put(first + SettingsList::FontBoldOffset, (font.style & fsBold) ? "1" : "0");
}

void SettingsModel::saveIfChosen(const QString& fileName)
{
    if (!m_saveOptions)
        return;
    try {
        m_list.save(fileName);
    } catch (const FileCreateError& e) {
        const QString reason = m_list.lastError();
        if (reason.isEmpty())
            throw;
        throw FileCreateError(e.message() + QStringLiteral(".\n") + reason);
    }
}

bool SettingsModel::canStart() const
{
    return !IsTextExercise(m_currentExercise) ||
           std::any_of(m_letterGroups.begin(), m_letterGroups.end(), [](bool g) { return g; });
}

ExerciseSettings SettingsModel::runSettings() const
{
    ExerciseSettings s;
    s.exercise = m_currentExercise;
    s.type = m_index[Type];
    s.direction = m_index[Direction];
    s.lines = m_index[Lines] + 1;
    bool ok = false;
    const int letters = currentText(Letters).trimmed().toInt(&ok, 10);
    s.letters = ok ? letters : 4;
    s.background = zrv::colorOfIndex(m_index[Background]);
    s.active = zrv::colorOfIndex(m_index[Active]);
    s.passive = zrv::colorOfIndex(m_index[Passive]);
    s.dot = zrv::colorOfIndex(m_index[Dot]);
    s.pace = pace();
    s.minutes = m_index[Duration];
    s.font = m_font;
    s.letterGroups = m_letterGroups;
    return s;
}

std::optional<ExerciseSettings> SettingsModel::runSettingsOf(int exercise) const
{
    SettingsModel other = *this;
    other.selectExercise(exercise);
    if (other.m_currentExercise != exercise || !other.canStart())
        return std::nullopt;
    return other.runSettings();
}
