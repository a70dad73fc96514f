#include "SettingsChecks.h"

#include "../tests/support/Files.h"

#include "core/Exceptions.h"
#include "core/Layout.h"
#include "core/SettingsModel.h"
#include "display/Canvas.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>

namespace zrvfuzz
{
namespace
{

QString Fail(const QString& what, const SettingsModel& model)
{
    return what + QStringLiteral("\n") + Describe(model, {});
}

// The layouts of the Pyramid and Block exercises keep to their 1-based tables of 800 entries
// for a text box of h x w pixels.
QString CheckLayouts(const ExerciseSettings& s, int h, int w)
{
    // Pyramid.
    zrv::OrderTable order{};
    const int n = zrv::pyramidCount(s.type, h, w, s.letters, s.lines);
    if (n > zrv::MaxBloks)
        return QStringLiteral("pyramid of %1 blocks (h %2, w %3)").arg(n).arg(h).arg(w);
    const int laidOut = std::max(0, std::min(n, zrv::MaxBloks));
    const int pyramidLength = zrv::pyramidOrder(n, s.direction, &order);
    if (pyramidLength < 0 || pyramidLength > zrv::MaxBloks)
        return QStringLiteral("pyramid order of %1 entries").arg(pyramidLength);
    for (int k = 1; k <= pyramidLength; ++k) {
        if (order[size_t(k)] < 1 || order[size_t(k)] > laidOut)
            return QStringLiteral("pyramid order entry %1 is block %2 of %3")
                .arg(k)
                .arg(order[size_t(k)])
                .arg(laidOut);
    }
    if (laidOut > 0 && pyramidLength == 0 && s.direction != 1)
        return QStringLiteral("pyramid of %1 blocks without an order").arg(laidOut);

    // Block.
    const zrv::BlockGrid grid = zrv::blockGridFor(s.type, s.direction, h, w, s.letters, s.lines);
    if (grid.rows < 0 || grid.cols < 0 || qint64(grid.rows) * grid.cols > zrv::MaxBloks)
        return QStringLiteral("block grid %1 x %2").arg(grid.rows).arg(grid.cols);
    order.fill(0);
    const int blockLength = zrv::blockPath(grid, s.direction, &order);
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
            const int b = zrv::blockNumber(grid, i, j);
            if (b < 1 || b > zrv::MaxBloks)
                return QStringLiteral("block number %1 at %2, %3").arg(b).arg(i).arg(j);
        }
    }
    return QString();
}

} // namespace

void Show(SettingsModel& model, QStringList& errors)
{
    try {
        model.show();
    } catch (const Exception& e) {
        errors << e.message() + QLatin1Char('.');
    }
}

QString Describe(const SettingsModel& m, const QStringList& errors, int textLength)
{
    QString s;
    QTextStream out(&s);
    const char* const names[] = {"boxAls", "boxTip", "boxYon", "boxStr", "boxHrf",
                                 "boxZmn", "boxAkt", "boxPas", "boxNkt", "boxDkk"};
    out << "boxSaveOptions " << m.saveOptions() << "\n";
    for (int i = 0; i < SettingsModel::SelectorCount; ++i) {
        const auto selector = SettingsModel::Selector(i);
        out << names[i] << " " << m.index(selector) << "/" << m.items(selector).join(QLatin1Char('|'))
            << "\n";
    }
    out << "valHiz '" << m.paceText() << "'\n";
    out << "txtFnt '" << m.fontText().left(textLength) << "' (" << m.fontText().size() << " characters)\n";
    const FontSpec& font = m.font();
    out << "font '" << font.name.left(textLength) << "' (" << font.name.size() << " characters) size "
        << font.size << " charset " << font.charset << " style " << font.style << "\n";
    out << "harf " << m.letterGroup(0) << m.letterGroup(1) << m.letterGroup(2) << m.letterGroup(3) << "\n";
    out << "CurrentExercise " << m.currentExercise() << " '" << m.startCaption() << "' text controls "
        << m.textControlsVisible() << "\n";
    for (const QString& e : errors)
        out << "error '" << e.left(textLength) << "'\n";
    return s;
}

QString CheckRanges(const SettingsModel& m)
{
    for (int i = 0; i < SettingsModel::SelectorCount; ++i) {
        const auto selector = SettingsModel::Selector(i);
        if (m.items(selector).isEmpty() || m.index(selector) < -1 ||
            m.index(selector) >= m.items(selector).size())
            return Fail(QStringLiteral("a selector index out of its items"), m);
    }
    int speed = 0;
    if (!zrv::parseInt(m.paceText().toLatin1(), &speed) || speed < zrv::Pace::kMin_ms ||
        speed > zrv::Pace::kMax_ms)
        return Fail(QStringLiteral("speed outside 40..2000"), m);
    if (m.currentExercise() < 0 || m.currentExercise() > 2)
        return Fail(QStringLiteral("CurrentExercise out of range"), m);
    const ExerciseSettings s = m.runSettings();
    if (s.font.charset < 0 || s.font.charset > 255 || (s.font.style & ~fsBold) != 0)
        return Fail(QStringLiteral("font character set or style out of range"), m);
    if (m.fontText().size() > SettingsModel::FontTextMaxLength)
        return Fail(QStringLiteral("font description longer than its box"), m);
    if (s.pace.ms() < zrv::Pace::kMin_ms || s.pace.ms() > zrv::Pace::kMax_ms || s.letters < 4 ||
        s.letters > 36 || s.lines < 0 || s.lines > 6 || s.minutes < -1 || s.minutes > 5)
        return Fail(QStringLiteral("run settings out of range"), m);

    // The canvas draws every font size at 1 to MaxFontPixels pixels.
    const int pixels = Canvas::fontPixelSize(s.font.size);
    if (pixels < 1 || pixels > Canvas::MaxFontPixels)
        return Fail(QStringLiteral("font size %1 drawn at %2 pixels").arg(s.font.size).arg(pixels), m);
    // Text boxes from that pixel height: a monospaced letter is about 3/5 as wide as high; the
    // extremes of a narrow and a square letter, and the narrowest box of all, are tried too.
    for (const int w : {std::max(1, pixels * 3 / 5), std::max(1, pixels / 4), pixels, 1}) {
        const QString fault = CheckLayouts(s, pixels, w);
        if (!fault.isEmpty())
            return Fail(fault, m);
    }
    return QString();
}

QString CheckSettingsFile(const QByteArray& bytes, const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".bak"));
    if (!WriteAll(path, bytes))
        return QStringLiteral("cannot write the input to %1").arg(path);

    SettingsModel first;
    const SettingsList::LoadResult firstResult = first.list().load(path);
    if (bytes.size() <= SettingsList::MaxFileSize && firstResult != SettingsList::LoadResult::Read)
        return QStringLiteral("a file of %1 bytes was not read").arg(bytes.size());
    if (first.list().count() < SettingsList::LineCount)
        return QStringLiteral("%1 lines after loading").arg(first.list().count());
    for (const QByteArray& line : first.list().lines()) {
        if (line.contains('\0') || line.contains('\r') || line.contains('\n'))
            return QStringLiteral("a line holds a NUL or a line end");
    }

    QStringList firstErrors;
    Show(first, firstErrors);
    QString fault = CheckRanges(first);
    if (!fault.isEmpty())
        return fault;

    try {
        first.list().save(path);
    } catch (const Exception& e) {
        return QStringLiteral("saving failed: %1").arg(e.message());
    }
    if (ReadAll(path) != SettingsList::serialize(first.list().lines()))
        return QStringLiteral("the saved file cannot be read or differs from the list");

    SettingsModel second;
    if (second.list().load(path) != SettingsList::LoadResult::Read)
        return QStringLiteral("the saved file cannot be loaded");
    if (second.list().lines() != first.list().lines())
        return QStringLiteral("the second load differs from the first");
    if (second.list().movesFileAsideAtSave())
        return QStringLiteral("the saved file would be moved aside");
    QStringList secondErrors;
    Show(second, secondErrors);
    const QString shown = Describe(first, firstErrors, SettingsModel::FontTextMaxLength * 16);
    const QString shownAgain = Describe(second, secondErrors, SettingsModel::FontTextMaxLength * 16);
    if (shownAgain != shown || second.runSettings() != first.runSettings())
        return QStringLiteral("showing the saved file gives other values:\n") + Describe(first, firstErrors) +
               QStringLiteral("--- then ---\n") + Describe(second, secondErrors);
    if (second.list().lines() != first.list().lines())
        return QStringLiteral("showing the saved file changed its lines again");
    return QString();
}

} // namespace zrvfuzz
