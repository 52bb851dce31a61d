#include "startoptions.h"

namespace host {

namespace {

enum Kind { Value, Path, Flag };

struct Option
{
    const char *text;
    const char *key;
    Kind kind;
    bool forWindow; // false: the host reads it before the window exists
};

// In the order each argument is tested: the first option an argument starts
// with is the one it gives.
const Option options[] = {
    {"-source:", "source", Path, true},
    {"-swfwidth:", "swfwidth", Value, true},
    {"-swfheight:", "swfheight", Value, true},
    {"-savedataflash:", "savedataflash", Path, true},
    {"-profilantimicro:", "profilantimicro", Value, true},
    {"-controleurantimicro:", "controleurantimicro", Value, true},
    {"-screentype:", "screentype", Value, true},
    {"-fullscreen", "fullscreen", Flag, true},
    {"-nodatetime", "nodatetime", Flag, true},
    {"-help", "help", Flag, true},
    {"-?", "help", Flag, true},
    {"-picturesfolder:", "folderPictures", Path, true},
    {"-renderer:", "renderer", Value, false},
};

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// The argument without the quotes a front-end may have left around it: an
// opening quote, and its closing partner when there is one.
QString unquoted(const QString &argument)
{
    if (argument.isEmpty() || !isQuote(argument.at(0)))
        return argument;
    const QChar quote = argument.at(0);
    const bool closed = argument.size() > 1 && argument.endsWith(quote);
    return argument.mid(1, argument.size() - (closed ? 2 : 1));
}

QString withoutLeadingBlanks(const QString &text)
{
    int start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

int lengthWithoutTrailingBlanks(const QString &text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return end;
}

// The argument as the table reads it: no leading blanks, no opening quote
// (nor its partner), one dash where two were typed.
QString optionText(const QString &argument)
{
    const QString text = withoutLeadingBlanks(unquoted(withoutLeadingBlanks(argument)));
    return text.startsWith(QLatin1String("--")) ? text.mid(1) : text;
}

// A value quoted after the colon, -source:"/games/My Game.swf", keeps its
// quotes when no shell removes them: one pair of matching quotes goes.
QString unquotedValue(const QString &value)
{
    if (value.size() >= 2 && isQuote(value.at(0)) && value.endsWith(value.at(0)))
        return value.mid(1, value.size() - 2);
    return value;
}

struct Match
{
    const Option *option = nullptr;
    QVariant value;
};

// The option one argument gives, with its value (everything after the
// option's text, less one pair of quotes; true for a flag), or none.
Match matchArgument(const QString &argument)
{
    const QString text = optionText(argument);
    for (const Option &option : options) {
        const QString name = QString::fromLatin1(option.text);
        if (!text.startsWith(name, Qt::CaseInsensitive))
            continue;
        if (option.kind == Flag) {
            if (lengthWithoutTrailingBlanks(text) != name.size())
                continue;
            return {&option, true};
        }
        QString value = unquotedValue(text.mid(name.size()));
        if (option.kind == Path)
            value.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return {&option, value};
    }
    return {};
}

} // namespace

QVariantMap startOptions(const QStringList &arguments)
{
    QVariantMap map;
    for (const QString &argument : arguments) {
        const Match match = matchArgument(argument);
        if (match.option && match.option->forWindow)
            map.insert(QString::fromLatin1(match.option->key), match.value);
    }
    return map;
}

QStringList optionValues(const QStringList &arguments, const QString &key)
{
    QStringList values;
    for (const QString &argument : arguments) {
        const Match match = matchArgument(argument);
        if (match.option && key == QLatin1String(match.option->key))
            values << match.value.toString();
    }
    return values;
}

} // namespace host
