#include "core/Letters.h"

#include "core/Random.h"

namespace zrv
{
namespace
{
constexpr int MaxLines = 6;
}

QString lowerCaseLetters()
{
    return QStringLiteral(u"abcçdefgğhıijklmnoöprsştuüvyzqxw");
}
QString upperCaseLetters()
{
    return QStringLiteral(u"ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZQXW");
}
QString digitCharacters()
{
    return QStringLiteral(u"0123456789");
}
QString signCharacters()
{
    return QStringLiteral(u".,:;?!()+-=*\"^%");
}

QString characterPool(bool lower, bool upper, bool digits, bool signs)
{
    QString pool;
    if (lower)
        pool += lowerCaseLetters();
    if (upper)
        pool += upperCaseLetters();
    if (digits)
        pool += digitCharacters();
    if (signs)
        pool += signCharacters();
    return pool;
}

void fillBlock(LetterBlock& block, const QString& pool)
{
    if (block.lines <= 0)
        return;
    if (block.lines > MaxLines)
        block.lines = MaxLines;
    const auto n = quint32(pool.size());
    for (int i = 1; i <= block.lines; ++i) {
        QString& line = block.text[i];
        line.clear();
        if (n == 0 || block.letters <= 0)
            continue;
        line.reserve(block.letters);
        for (int k = 0; k < block.letters; ++k)
            line += pool.at(qsizetype(random(n)));
    }
}

} // namespace zrv
