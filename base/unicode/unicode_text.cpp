#include "base/unicode/unicode_text.h"

#include <QString>
#include <QTextBoundaryFinder>

namespace orvex {
namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toStdString(const QString& text) {
    QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

std::string_view trimUnicodeSpace(std::string_view text) {
    // Every white-space code point round-trips through UTF-16 to the same bytes, so the
    // lengths of the trimmed ends re-encoded are their lengths in `text`.
    const QString decoded = toQString(text);
    qsizetype first = 0;
    qsizetype end = decoded.size();
    while (first < end && decoded.at(first).isSpace()) {
        ++first;
    }
    while (end > first && decoded.at(end - 1).isSpace()) {
        --end;
    }
    const std::size_t leading = static_cast<std::size_t>(decoded.first(first).toUtf8().size());
    const std::size_t trailing = static_cast<std::size_t>(decoded.sliced(end).toUtf8().size());
    if (leading + trailing >= text.size()) {
        return text.substr(0, 0);
    }
    return text.substr(leading, text.size() - leading - trailing);
}

bool isUnicodeBlank(std::string_view text) {
    return trimUnicodeSpace(text).empty();
}

std::string firstGraphemes(std::string_view text, std::size_t count) {
    const QString decoded = toQString(text);
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, decoded);
    qsizetype end = 0;
    for (std::size_t taken = 0; taken < count; ++taken) {
        qsizetype next = boundaries.toNextBoundary();
        if (next < 0) {
            return toStdString(decoded);
        }
        end = next;
    }
    return toStdString(decoded.first(end));
}

std::string toUpperUnicode(std::string_view text) {
    return toStdString(toQString(text).toUpper());
}

}  // namespace orvex
