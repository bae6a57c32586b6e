#include "update/messagemarkup.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <algorithm>

namespace MessageMarkup {

namespace {

// A '<' without its '>' this close by is text.
constexpr int kMaxTagChars = 512;

struct Attribute {
    QString name;
    QString value;
};

struct Tag {
    QString name;             // as written
    bool closing = false;
    bool selfClosing = false;
    bool wellFormed = false;  // nothing but the name and attributes
    QVector<Attribute> attributes;
};

bool parseTag(const QString &text, Tag *tag)
{
    static const QRegularExpression head(QStringLiteral("^(/?)([A-Za-z][A-Za-z0-9]{0,15})"));
    static const QRegularExpression attribute(QStringLiteral(
        "\\G\\s+([A-Za-z][A-Za-z-]{0,31})(?:\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'<>=`]+)))?"));
    const QRegularExpressionMatch name = head.match(text);
    if (!name.hasMatch())
        return false;
    tag->closing = !name.captured(1).isEmpty();
    tag->name = name.captured(2);
    int at = name.capturedEnd();
    for (;;) {
        const QRegularExpressionMatch m = attribute.match(text, at, QRegularExpression::NormalMatch,
                                                          QRegularExpression::AnchoredMatchOption);
        if (!m.hasMatch())
            break;
        tag->attributes.append({m.captured(1).toLower(), m.captured(2) + m.captured(3) + m.captured(4)});
        at = m.capturedEnd();
    }
    const QString rest = text.mid(at).trimmed();
    tag->selfClosing = rest == QLatin1String("/");
    tag->wellFormed = (rest.isEmpty() || tag->selfClosing) && !text.contains(QLatin1Char('<'));
    return true;
}

bool isContainer(const QString &name)
{
    static const QStringList kept{QStringLiteral("b"), QStringLiteral("i"), QStringLiteral("u"),
                                  QStringLiteral("p"), QStringLiteral("font"), QStringLiteral("a")};
    return kept.contains(name);
}

// Elements whose content is not text to show: dropped with it.
bool hidesContent(const QString &name)
{
    static const QStringList hidden{QStringLiteral("style"), QStringLiteral("script"), QStringLiteral("head"),
                                    QStringLiteral("title"), QStringLiteral("textarea")};
    return hidden.contains(name);
}

bool keepsAttribute(const QString &element, const Attribute &a)
{
    if (element == QLatin1String("a") && a.name == QLatin1String("href"))
        return isOpenableLink(QUrl(a.value));
    if (element == QLatin1String("font") && a.name == QLatin1String("size")) {
        static const QRegularExpression relative(QStringLiteral("^[+-][12]$"));
        return relative.match(a.value).hasMatch();
    }
    return element == QLatin1String("img") && a.name == QLatin1String("src") && isOwnPicture(a.value);
}

QString escapedValue(QString value)
{
    return value.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('"'), QLatin1String("&quot;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
}

// The tag as written when all of it may stay, else rebuilt from what may.
QString keptTag(const QString &written, const Tag &tag, const QString &element)
{
    bool all = tag.wellFormed;
    QString rebuilt = QLatin1Char('<') + tag.name;
    for (const Attribute &a : tag.attributes) {
        if (keepsAttribute(element, a))
            rebuilt += QLatin1Char(' ') + a.name + QStringLiteral("=\"") + escapedValue(a.value) + QLatin1Char('"');
        else
            all = false;
    }
    return all ? QLatin1Char('<') + written + QLatin1Char('>') : rebuilt + QLatin1Char('>');
}

class Sanitizer
{
public:
    explicit Sanitizer(const QString &html) : m_in(html.left(kMaxSourceChars)) {}

    QString run()
    {
        while (m_at < m_in.size()) {
            if (m_in.at(m_at) == QLatin1Char('<') && markup())
                continue;
            text();
        }
        while (!m_open.isEmpty())
            m_out += QStringLiteral("</") + m_open.takeLast() + QLatin1Char('>');
        return m_out;
    }

private:
    // Consumes the markup at m_at; false when the '<' is plain text.
    bool markup()
    {
        if (m_in.midRef(m_at, 4) == QLatin1String("<!--")) {
            const int end = m_in.indexOf(QLatin1String("-->"), m_at + 4);
            m_at = end < 0 ? m_in.size() : end + 3;
            return true;
        }
        const int found = m_in.midRef(m_at + 1, kMaxTagChars).indexOf(QLatin1Char('>'));
        if (found < 0)
            return false;
        const int close = m_at + 1 + found;
        const QString written = m_in.mid(m_at + 1, close - m_at - 1);
        Tag tag;
        if (!parseTag(written, &tag)) {
            if (!written.startsWith(QLatin1Char('!')) && !written.startsWith(QLatin1Char('?')))
                return false;
            m_at = close + 1;   // a declaration or processing instruction
            return true;
        }
        m_at = close + 1;
        const QString element = tag.name.toLower();
        if (tag.closing)
            closeElement(element);
        else if (hidesContent(element))
            skipContentOf(element);
        else
            openElement(written, tag, element);
        return true;
    }

    void openElement(const QString &written, const Tag &tag, const QString &element)
    {
        if (element == QLatin1String("br")) {
            m_out += keptTag(written, tag, element);
        } else if (element == QLatin1String("img")) {
            const bool own = std::any_of(tag.attributes.cbegin(), tag.attributes.cend(), [](const Attribute &a) {
                return keepsAttribute(QStringLiteral("img"), a);
            });
            if (own)
                m_out += keptTag(written, tag, element);
        } else if (isContainer(element) && !tag.selfClosing && m_open.size() < kMaxDepth) {
            m_out += keptTag(written, tag, element);
            m_open.append(tag.name);
        }
    }

    void closeElement(const QString &element)
    {
        int found = m_open.size() - 1;
        while (found >= 0 && m_open.at(found).toLower() != element)
            --found;
        if (found < 0)
            return;
        while (m_open.size() > found)
            m_out += QStringLiteral("</") + m_open.takeLast() + QLatin1Char('>');
    }

    void skipContentOf(const QString &element)
    {
        const int end = m_in.indexOf(QStringLiteral("</") + element, m_at, Qt::CaseInsensitive);
        const int close = end < 0 ? -1 : m_in.indexOf(QLatin1Char('>'), end);
        m_at = close < 0 ? m_in.size() : close + 1;
    }

    void text()
    {
        static const QRegularExpression entity(
            QStringLiteral("\\G&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[A-Za-z][A-Za-z0-9]{1,31});"));
        const QChar c = m_in.at(m_at);
        if (c == QLatin1Char('&')) {
            const QRegularExpressionMatch m = entity.match(m_in, m_at, QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchoredMatchOption);
            m_out += m.hasMatch() ? m.captured(0) : QStringLiteral("&amp;");
            m_at += m.hasMatch() ? m.capturedLength() : 1;
            return;
        }
        if (c == QLatin1Char('<'))
            m_out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            m_out += QStringLiteral("&gt;");
        else
            m_out += c;
        ++m_at;
    }

    const QString m_in;
    int m_at = 0;
    QStringList m_open;
    QString m_out;
};

} // namespace

QString sanitize(const QString &html)
{
    return Sanitizer(html).run();
}

bool isOpenableLink(const QUrl &url)
{
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

bool isOwnPicture(const QString &name)
{
    return (name.startsWith(QLatin1String(":/")) || name.startsWith(QLatin1String("qrc:/")))
           && !name.contains(QLatin1String(".."));
}

} // namespace MessageMarkup
