#include "Quote.h"

#include <QByteArray>
#include <string>

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when the first
// byte does not start one.
size_t sequenceLength(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char first = byte(0);
  if (first < 0x80) return 1;
  size_t length;
  unsigned long code;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
    code = first & 0x1Fu;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    code = first & 0x0Fu;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    code = first & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3Fu);
  }
  const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  if (code >= 0x80 && code < 0xA0) return 0;  // C1 control characters are escaped too
  return length;
}

// The shell's $'...' spelling of one byte that cannot stand in a quoted string.
std::string escape(unsigned char byte) {
  switch (byte) {
    case '\a':
      return "\\a";
    case '\b':
      return "\\b";
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\v':
      return "\\v";
    case '\f':
      return "\\f";
    case '\r':
      return "\\r";
    default:
      break;
  }
  const char octal[] = {'\\', char('0' + (byte >> 6)), char('0' + ((byte >> 3) & 7)),
                        char('0' + (byte & 7))};
  return std::string(octal, sizeof octal);
}

bool isPlain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("-_./+,:@%=").find(c) != std::string_view::npos;
}

QString quote(std::string_view text, bool always) {
  bool plain = !text.empty();
  bool printable = true;
  for (size_t i = 0; i < text.size();) {
    const size_t length = sequenceLength(text.substr(i));
    const auto c = static_cast<unsigned char>(text[i]);
    if (length == 0 || (length == 1 && (c < 0x20 || c == 0x7F))) printable = false;
    if (length != 1 || !isPlain(text[i])) plain = false;
    i += length == 0 ? 1 : length;
  }
  if (plain && !always) return QString::fromUtf8(text.data(), qsizetype(text.size()));
  std::string out;
  const bool hasQuote = text.find('\'') != std::string_view::npos;
  if (printable && hasQuote && text.find_first_of("\"$`\\!") == std::string_view::npos) {
    out.append("\"").append(text).append("\"");
  } else {
    bool open = false;  // inside '...'
    for (size_t i = 0; i < text.size();) {
      const size_t length = sequenceLength(text.substr(i));
      const auto c = static_cast<unsigned char>(text[i]);
      if (length == 0 || (length == 1 && (c < 0x20 || c == 0x7F))) {
        if (open) out += '\'';
        out.append("$'").append(escape(c)).append("'");
        open = false;
        ++i;
        continue;
      }
      if (!open) out += '\'';
      open = true;
      if (c == '\'') {
        out.append("'\\''");
      } else {
        out.append(text.substr(i, length));
      }
      i += length;
    }
    if (open) out += '\'';
    if (text.empty()) out = "''";
  }
  return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

}  // namespace

QString quoted(std::string_view utf8) { return quote(utf8, true); }

QString quoted(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return quote(std::string_view(bytes.constData(), size_t(bytes.size())), true);
}

QString quotedIfNeeded(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return quote(std::string_view(bytes.constData(), size_t(bytes.size())), false);
}

QString quotedField(std::string_view utf8) {
  constexpr int most = 40;
  size_t end = 0;
  for (int characters = 0; end < utf8.size() && characters < most; ++characters) {
    const size_t length = sequenceLength(utf8.substr(end));
    end += length == 0 ? 1 : length;
  }
  if (end == utf8.size()) return quote(utf8, true);
  return quote(utf8.substr(0, end), true) + QStringLiteral("...");
}

QString escaped(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t length = sequenceLength(utf8.substr(i));
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (length == 0 || (length == 1 && (c < 0x20 || c == 0x7F || c == '\\'))) {
      out += c == '\\' ? std::string("\\\\") : escape(c);
      ++i;
    } else {
      out.append(utf8.substr(i, length));
      i += length;
    }
  }
  return QString::fromUtf8(out.data(), qsizetype(out.size()));
}
