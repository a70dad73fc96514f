#include "SettingsModel.h"

#include "core/Exceptions.h"
#include "display/Canvas.h"
#include "exercises/Layout.h"
#include "settings/SettingsList.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <functional>

namespace zrvfuzz
{
namespace
{

constexpr int kPyramid = 1;
constexpr int kBlock = 2;

int SectionFirstLine(int exercise)
{
    return exercise == kPyramid ? SettingsList::PyramidFirstLine : SettingsList::BlockFirstLine;
}

void SetIndex(Selector& box, int index)
{
    box.index = index >= 0 && index < box.items ? index : -1;
}

void ReplaceItems(Selector& box, int items)
{
    box.items = items;
    box.index = -1;
}

// The window's handlers on the model.  Each public step follows the handler of the same name.
class Window
{
  public:
    Window(SettingsList& list, WindowValues& v) : m_list(list), v(v) {}

    void FormShow()
    {
        Guarded([this] {
            v.currentExercise = 0;
            SetCheckBox(v.saveOptions, m_list.ReadInt(SettingsList::SaveOptionsLine, 1) == 1, -1);
            SetIndex(v.boxAls, m_list.ReadInt(SettingsList::ExerciseLine, 0));
            LoadExerciseOptions();
            boxAlsChange();
        });
    }

  private:
    SettingsList& m_list;
    WindowValues& v;

    void Guarded(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const Exception& e) {
            v.errors << e.Message() + QLatin1Char('.');
        }
    }

    // A check box raises its click event whenever its state changes; `group` is the letter
    // group it stands for (0 to 3), -1 for the save box.
    void SetCheckBox(bool& box, bool ticked, int group)
    {
        if (box == ticked)
            return;
        box = ticked;
        Guarded([this, group] {
            if (group < 0) {
                m_list.Put(SettingsList::SaveOptionsLine, v.saveOptions ? "1" : "0");
                return;
            }
            const int exercise = v.boxAls.index;
            if (exercise != kPyramid && exercise != kBlock)
                return;
            QByteArray groups;
            for (bool ticked : v.harf)
                groups += ticked ? '1' : '0';
            m_list.Put(SectionFirstLine(exercise) + SettingsList::LetterGroupsOffset, groups);
        });
    }

    // The speed box limits a value set by the program and raises its change event when its
    // text changes; the event stores the box's value.
    void SetSpeed(int value)
    {
        const QString text = QString::number(std::clamp(value, 40, 2000));
        if (text == v.speedText)
            return;
        v.speedText = text;
        Guarded([this] {
            const int exercise = v.boxAls.index;
            if (exercise < 0 || exercise > kBlock)
                return;
            int shown = 40;
            zrv::ParseInt(v.speedText.toLatin1(), &shown);
            const int line = exercise == 0 ? 8 : SectionFirstLine(exercise) + SettingsList::HizOffset;
            m_list.PutInt(line, shown);
        });
    }

    void LoadExerciseOptions()
    {
        const SettingsList& list = m_list;
        const int exercise = v.boxAls.index;
        if (exercise == 0) {
            SetIndex(v.boxTip, list.ReadInt(3, 0));
            SetIndex(v.boxYon, list.ReadInt(4, 0));
            SetIndex(v.boxZmn, list.ReadInt(5, 0));
            SetIndex(v.boxAkt, list.ReadInt(6, 0));
            SetIndex(v.boxPas, list.ReadInt(7, 0));
            SetSpeed(list.ReadInt(8, 400));
            SetIndex(v.boxDkk, list.ReadInt(9, 0));
            return;
        }
        if (exercise != kPyramid && exercise != kBlock)
            return;
        const int first = SectionFirstLine(exercise);
        SetIndex(v.boxTip, list.ReadInt(first + SettingsList::TipOffset, 0));
        SetIndex(v.boxYon, list.ReadInt(first + SettingsList::YonOffset, 0));
        SetIndex(v.boxStr, list.ReadInt(first + SettingsList::StrOffset, 0));
        SetIndex(v.boxHrf, list.ReadInt(first + SettingsList::HrfOffset, 0));
        SetIndex(v.boxZmn, list.ReadInt(first + SettingsList::ZmnOffset, 0));
        SetIndex(v.boxAkt, list.ReadInt(first + SettingsList::AktOffset, 0));
        SetIndex(v.boxPas, list.ReadInt(first + SettingsList::PasOffset, 0));
        SetIndex(v.boxNkt, list.ReadInt(first + SettingsList::NktOffset, 0));
        SetSpeed(list.ReadInt(first + SettingsList::HizOffset, 400));
        SetIndex(v.boxDkk, list.ReadInt(first + SettingsList::DkkOffset, 0));

        const int nameLine = first + SettingsList::FontNameOffset;
        const int sizeLine = first + SettingsList::FontSizeOffset;
        const int charsetLine = first + SettingsList::FontCharsetOffset;
        v.txtFnt = (list.Text(nameLine) + QStringLiteral(" (") + list.Text(sizeLine) + QLatin1Char(',') +
                    list.Text(charsetLine) + QLatin1Char(')'))
                       .left(kTextBoxMaxLength);
        v.font.Name = list.Text(nameLine);
        v.font.Size = list.ReadStrictInt(sizeLine);
        v.font.Charset = list.ReadStrictInt(charsetLine) & 0xFF;
        v.font.Style = 0;
        if (list.ReadStrictInt(first + SettingsList::FontBoldOffset) == 1)
            v.font.Style = fsBold;

        const int groupsLine = first + SettingsList::LetterGroupsOffset;
        bool ticked[4];
        for (int i = 0; i < 4; ++i)
            ticked[i] = list.LetterGroup(groupsLine, i + 1);
        for (int i = 0; i < 4; ++i)
            SetCheckBox(v.harf[i], ticked[i], i);
    }

    void boxAlsChange()
    {
        Guarded([this] {
            m_list.PutInt(SettingsList::ExerciseLine, v.boxAls.index);
            switch (v.boxAls.index) {
            case 0:
                v.currentExercise = 0;
                ReplaceItems(v.boxTip, 5);
                LoadExerciseOptions();
                break;
            case kPyramid:
                v.currentExercise = 1;
                ReplaceItems(v.boxTip, 2);
                ReplaceItems(v.boxYon, 2);
                LoadExerciseOptions();
                break;
            case kBlock:
                v.currentExercise = 2;
                ReplaceItems(v.boxTip, 2);
                ReplaceItems(v.boxYon, 3);
                LoadExerciseOptions();
                break;
            default:
                break;
            }
        });
    }
};

QString Fail(const QString& what, const WindowValues& values)
{
    return what + QStringLiteral("\n") + values.Describe();
}

// The layouts of the Pyramid and Block exercises keep to their 1-based tables of 800 entries
// for a text box of h x w pixels.
QString CheckLayouts(const WindowValues& v, int h, int w)
{
    const int letters = v.boxHrf.index >= 0 ? v.boxHrf.index + 4 : 4; // the exercise's fallback
    const int lines = v.boxStr.index + 1;
    const int layout = v.boxTip.index;
    const int direction = v.boxYon.index;

    // Pyramid.
    zrv::OrderTable order{};
    const int n = zrv::PyramidCount(layout, h, w, letters, lines);
    if (n > zrv::MaxBloks)
        return QStringLiteral("pyramid of %1 blocks (h %2, w %3)").arg(n).arg(h).arg(w);
    const int laidOut = std::max(0, std::min(n, zrv::MaxBloks));
    const int pyramidLength = zrv::PyramidOrder(n, direction, &order);
    if (pyramidLength < 0 || pyramidLength > zrv::MaxBloks)
        return QStringLiteral("pyramid order of %1 entries").arg(pyramidLength);
    for (int k = 1; k <= pyramidLength; ++k) {
        if (order[size_t(k)] < 1 || order[size_t(k)] > laidOut)
            return QStringLiteral("pyramid order entry %1 is block %2 of %3")
                .arg(k)
                .arg(order[size_t(k)])
                .arg(laidOut);
    }
    if (laidOut > 0 && pyramidLength == 0 && direction != 1)
        return QStringLiteral("pyramid of %1 blocks without an order").arg(laidOut);

    // Block.
    const zrv::BlockGrid grid = zrv::BlockGridFor(layout, direction, h, w, letters, lines);
    if (grid.rows < 0 || grid.cols < 0 || qint64(grid.rows) * grid.cols > zrv::MaxBloks)
        return QStringLiteral("block grid %1 x %2").arg(grid.rows).arg(grid.cols);
    order.fill(0);
    const int blockLength = zrv::BlockPath(grid, direction, &order);
    if (blockLength < 0 || blockLength > zrv::MaxBloks)
        return QStringLiteral("block path of %1 entries").arg(blockLength);
    for (int k = 1; k <= blockLength; ++k) {
        if (order[size_t(k)] < 1 || order[size_t(k)] > grid.rows * grid.cols)
            return QStringLiteral("block path entry %1 is block %2 of %3")
                .arg(k)
                .arg(order[size_t(k)])
                .arg(grid.rows * grid.cols);
    }
    for (int i = 1; i <= grid.rows; ++i) {
        for (int j = 1; j <= grid.cols; ++j) {
            const int b = zrv::BlockNumber(grid, i, j);
            if (b < 1 || b > zrv::MaxBloks)
                return QStringLiteral("block number %1 at %2, %3").arg(b).arg(i).arg(j);
        }
    }
    return QString();
}

} // namespace

bool WindowValues::operator==(const WindowValues& o) const
{
    return saveOptions == o.saveOptions && boxAls == o.boxAls && boxTip == o.boxTip && boxYon == o.boxYon &&
           boxStr == o.boxStr && boxHrf == o.boxHrf && boxZmn == o.boxZmn && boxAkt == o.boxAkt &&
           boxPas == o.boxPas && boxNkt == o.boxNkt && boxDkk == o.boxDkk && speedText == o.speedText &&
           txtFnt == o.txtFnt && font == o.font &&
           std::equal(std::begin(harf), std::end(harf), std::begin(o.harf)) &&
           currentExercise == o.currentExercise && errors == o.errors;
}

QString WindowValues::Describe() const
{
    QString s;
    QTextStream out(&s);
    const auto sel = [&out](const char* name, const Selector& b) {
        out << name << " " << b.index << "/" << b.items << "\n";
    };
    out << "boxSaveOptions " << saveOptions << "\n";
    sel("boxAls", boxAls);
    sel("boxTip", boxTip);
    sel("boxYon", boxYon);
    sel("boxStr", boxStr);
    sel("boxHrf", boxHrf);
    sel("boxZmn", boxZmn);
    sel("boxAkt", boxAkt);
    sel("boxPas", boxPas);
    sel("boxNkt", boxNkt);
    sel("boxDkk", boxDkk);
    out << "valHiz '" << speedText << "'\n";
    out << "txtFnt '" << txtFnt.left(80) << "' (" << txtFnt.size() << " characters)\n";
    out << "font '" << font.Name.left(80) << "' (" << font.Name.size() << " characters) size " << font.Size
        << " charset " << font.Charset << " style " << font.Style << "\n";
    out << "harf " << harf[0] << harf[1] << harf[2] << harf[3] << "\n";
    out << "CurrentExercise " << currentExercise << "\n";
    for (const QString& e : errors)
        out << "error '" << e.left(120) << "'\n";
    return s;
}

WindowValues ShowWindow(SettingsList& list)
{
    WindowValues values;
    Window(list, values).FormShow();
    return values;
}

QString CheckRanges(const WindowValues& v)
{
    for (const Selector* box : {&v.boxAls, &v.boxTip, &v.boxYon, &v.boxStr, &v.boxHrf, &v.boxZmn, &v.boxAkt,
                                &v.boxPas, &v.boxNkt, &v.boxDkk}) {
        if (box->items <= 0 || box->index < -1 || box->index >= box->items)
            return Fail(QStringLiteral("a selector index out of its items"), v);
    }
    int speed = 0;
    if (!zrv::ParseInt(v.speedText.toLatin1(), &speed) || speed < 40 || speed > 2000)
        return Fail(QStringLiteral("speed outside 40..2000"), v);
    if (v.currentExercise < 0 || v.currentExercise > 2)
        return Fail(QStringLiteral("CurrentExercise out of range"), v);
    if (v.font.Charset < 0 || v.font.Charset > 255 || (v.font.Style & ~fsBold) != 0)
        return Fail(QStringLiteral("font character set or style out of range"), v);
    if (v.txtFnt.size() > kTextBoxMaxLength)
        return Fail(QStringLiteral("font description longer than its box"), v);

    // The canvas draws every font size at 1 to MaxFontPixels pixels.
    const int pixels = TDirectDrawSurfaceCanvas::FontPixelSize(v.font.Size);
    if (pixels < 1 || pixels > TDirectDrawSurfaceCanvas::MaxFontPixels)
        return Fail(QStringLiteral("font size %1 drawn at %2 pixels").arg(v.font.Size).arg(pixels), v);
    // Text boxes from that pixel height: a monospaced letter is about 3/5 as wide as high; the
    // extremes of a narrow and a square letter, and the narrowest box of all, are tried too.
    for (const int w : {std::max(1, pixels * 3 / 5), std::max(1, pixels / 4), pixels, 1}) {
        const QString fault = CheckLayouts(v, pixels, w);
        if (!fault.isEmpty())
            return Fail(fault, v);
    }
    return QString();
}

QString CheckSettingsFile(const QByteArray& bytes, const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".bak"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QStringLiteral("cannot write the input to %1").arg(path);
    }

    SettingsList first;
    const SettingsList::LoadResult firstResult = first.Load(path);
    if (bytes.size() <= SettingsList::MaxFileSize && firstResult != SettingsList::LoadResult::Read)
        return QStringLiteral("a file of %1 bytes was not read").arg(bytes.size());
    if (first.Count() < SettingsList::LineCount)
        return QStringLiteral("%1 lines after loading").arg(first.Count());
    for (const QByteArray& line : first.Lines()) {
        if (line.contains('\0') || line.contains('\r') || line.contains('\n'))
            return QStringLiteral("a line holds a NUL or a line end");
    }

    const WindowValues shown = ShowWindow(first);
    QString fault = CheckRanges(shown);
    if (!fault.isEmpty())
        return fault;

    try {
        first.Save(path);
    } catch (const Exception& e) {
        return QStringLiteral("saving failed: %1").arg(e.Message());
    }
    QByteArray saved;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("the saved file cannot be opened");
        saved = file.readAll();
    }
    if (saved != SettingsList::Serialize(first.Lines()))
        return QStringLiteral("the saved file differs from the list");

    SettingsList second;
    if (second.Load(path) != SettingsList::LoadResult::Read)
        return QStringLiteral("the saved file cannot be loaded");
    if (second.Lines() != first.Lines())
        return QStringLiteral("the second load differs from the first");
    if (second.MovesFileAsideAtSave())
        return QStringLiteral("the saved file would be moved aside");
    const WindowValues shownAgain = ShowWindow(second);
    if (!(shownAgain == shown))
        return QStringLiteral("showing the saved file gives other values:\n") + shown.Describe() +
               QStringLiteral("--- then ---\n") + shownAgain.Describe();
    if (second.Lines() != first.Lines())
        return QStringLiteral("showing the saved file changed its lines again");
    return QString();
}

} // namespace zrvfuzz
