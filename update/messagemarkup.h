// The maker's information message is text from a server, not a document: it
// is cut down to the markup the panel's own message table uses (bold,
// italic, underline, line breaks, paragraphs, a relative font size, https
// links and the panel's own ":/" pictures) and capped in length and
// nesting, all before anything is laid out: a megabyte as one word took
// minutes to lay out.
#pragma once

#include <QString>
#include <QUrl>

namespace MessageMarkup {

// Characters of the message that are read at all: the box shows a few
// lines, and this much lays out in a few tens of milliseconds at worst.
constexpr int kMaxSourceChars = 2048;
// Elements opened inside each other; deeper ones are dropped.
constexpr int kMaxDepth = 8;

// The message as it may be handed to the rich-text engine. Markup the panel
// uses itself comes out exactly as it went in.
QString sanitize(const QString &html);

// Whether a link of a message may be opened: https only, in the browser.
bool isOpenableLink(const QUrl &url);

// Whether a picture name is one of the panel's own (":/..." or "qrc:/...").
bool isOwnPicture(const QString &name);

} // namespace MessageMarkup
