#include "core/Letters.h"

#include "core/Random.h"

namespace zrv
{
namespace
{
constexpr int MaxLines = 6;
}

QString LowerCaseLetters()
{
    return QStringLiteral(u"abcçdefgğhıijklmnoöprsştuüvyzqxw");
}
QString UpperCaseLetters()
{
    return QStringLiteral(u"ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZQXW");
}
QString DigitCharacters()
{
    return QStringLiteral(u"0123456789");
}
QString SignCharacters()
{
    return QStringLiteral(u".,:;?!()+-=*\"^%");
}

QString CharacterPool(bool lower, bool upper, bool digits, bool signs)
{
    QString pool;
    if (lower)
        pool += LowerCaseLetters();
    if (upper)
        pool += UpperCaseLetters();
    if (digits)
        pool += DigitCharacters();
    if (signs)
        pool += SignCharacters();
    return pool;
}

void FillBlok(LetterBlock& block, const QString& pool)
{
    if (block.Lines <= 0)
        return;
    if (block.Lines > MaxLines)
        block.Lines = MaxLines;
    const auto n = quint32(pool.size());
    for (int i = 1; i <= block.Lines; ++i) {
        QString& line = block.Text[i];
        line.clear();
        if (n == 0 || block.Letters <= 0)
            continue;
        line.reserve(block.Letters);
        for (int k = 0; k < block.Letters; ++k)
            line += pool.at(qsizetype(Random(n)));
    }
}

} // namespace zrv
